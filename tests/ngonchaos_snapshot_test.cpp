#ifndef _WIN32
#include <signal.h>
#include <sys/resource.h>
#include <sys/stat.h>
#include <unistd.h>
#endif

#include <cstdio>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <string>
#include <vector>

#include "ngonchaos.h"
#include "ngonchaos_bmp.h"
#include "ngonchaos_fixture.h"
#include "ngonchaos_oracle.h"
#include "pixel_surface.h"

namespace {

class NgonchaosSnapshot : public NgonchaosTest {};

void writeText(const std::string& path, const std::string& text) {
  std::ofstream(path, std::ios::binary) << text;
}

TEST_F(NgonchaosSnapshot, NameIsNDotBmpForEveryN) {
  for (int n = 2; n <= 8; ++n) {
    cornerCount = n;
    char name[10];
    std::memset(name, 'x', sizeof name);
    formatSnapshotName(name, sizeof name);
    EXPECT_EQ(std::string(name), std::to_string(n) + ".bmp");
  }
}

TEST_F(NgonchaosSnapshot, NameNeverRunsPastItsBuffer) {
  cornerCount = 7;
  for (size_t size : {size_t(1), size_t(2), size_t(4), size_t(6)}) {
    char buffer[16];
    std::memset(buffer, '#', sizeof buffer);
    formatSnapshotName(buffer + 4, size);
    EXPECT_EQ(std::string(buffer + 4), std::string("7.bmp").substr(0, size - 1));
    for (size_t i = 0; i < 4; ++i) EXPECT_EQ(buffer[i], '#');
    for (size_t i = 4 + size; i < sizeof buffer; ++i) EXPECT_EQ(buffer[i], '#') << "byte " << i;
  }
  // A number wider than the buffer is cut short, not written past it.
  cornerCount = 2147483647;
  char name[10];
  formatSnapshotName(name, sizeof name);
  EXPECT_EQ(std::string(name), "214748364");
}

TEST_F(NgonchaosSnapshot, SnapshotDecodesToExactlyTheScreen) {
  handleEvent(keyDown(SDLK_RIGHT), 0);
  handleEvent(keyDown(SDLK_RIGHT), 0);
  handleEvent(keyDown(SDLK_s), 0);
  const DecodedBmp image = decodeBmp("4.bmp");
  EXPECT_EQ(image.width, 640);
  EXPECT_EQ(image.height, 480);
  EXPECT_TRUE(image.pixels == screenPixels());
  EXPECT_EQ(directoryEntries(), std::vector<std::string>{"4.bmp"});
}

TEST_F(NgonchaosSnapshot, SecondSnapshotWithoutAnArrowBetweenHoldsBothRuns) {
  handleEvent(keyDown(SDLK_RIGHT), 0);
  handleEvent(keyDown(SDLK_a), 0);
  const auto first = decodeBmp("3.bmp").pixels;
  handleEvent(keyDown(SDLK_b), 0);
  const auto second = decodeBmp("3.bmp").pixels;

  startState();
  oracleArrow(3);
  oracleOtherKey();
  EXPECT_TRUE(first == screenPixels());
  oracleOtherKey();
  EXPECT_TRUE(second == screenPixels());
  EXPECT_GT(countPixels(second, 0x000000), countPixels(first, 0x000000));
}

TEST_F(NgonchaosSnapshot, ArrowKeyStartsTheNextSnapshotFromAFreshCanvas) {
  handleEvent(keyDown(SDLK_a), 0);
  handleEvent(keyDown(SDLK_RIGHT), 0);
  handleEvent(keyDown(SDLK_LEFT), 0);
  handleEvent(keyDown(SDLK_a), 0);
  const auto snapshot = decodeBmp("2.bmp").pixels;

  startState();
  oracleOtherKey();
  oracleArrow(3);
  oracleArrow(2);
  oracleOtherKey();
  EXPECT_TRUE(snapshot == screenPixels());
}

TEST_F(NgonchaosSnapshot, ExistingFileIsReplaced) {
  writeText("2.bmp", "an older picture that is no BMP at all");
  EXPECT_EQ(saveSnapshot(), 0);
  EXPECT_TRUE(decodeBmp("2.bmp").pixels == screenPixels());
  EXPECT_EQ(directoryEntries(), std::vector<std::string>{"2.bmp"});
}

// The name is taken by a directory: nothing is written, nothing is said, the
// directory stays as it was, and the keys go on working.
TEST_F(NgonchaosSnapshot, NameTakenByADirectoryWritesNothingAndKeysGoOn) {
  ASSERT_TRUE(std::filesystem::create_directory("3.bmp"));
  writeText("3.bmp/inside", "kept");
  handleEvent(keyDown(SDLK_RIGHT), 0);
  sdlFlipCount = 0;
  testing::internal::CaptureStdout();
  testing::internal::CaptureStderr();
  EXPECT_EQ(handleEvent(keyDown(SDLK_a), 0), 0);
  EXPECT_EQ(testing::internal::GetCapturedStdout(), "");
  EXPECT_EQ(testing::internal::GetCapturedStderr(), "");
  EXPECT_EQ(sdlFlipCount, 1) << "the run is drawn although its snapshot fails";
  EXPECT_EQ(saveSnapshot(), -1);
  EXPECT_EQ(directoryEntries(), std::vector<std::string>{"3.bmp"}) << "a temporary file was left";
  EXPECT_EQ(directoryEntries("3.bmp"), std::vector<std::string>{"inside"});

  handleEvent(keyDown(SDLK_RIGHT), 0);
  EXPECT_EQ(cornerCount, 4);
  EXPECT_EQ(handleEvent(keyDown(SDLK_a), 0), 0);
  EXPECT_TRUE(decodeBmp("4.bmp").pixels == screenPixels());
}

// Windows removes no process's working directory and limits no file size:
// these two failures are made on Linux only.
#ifndef _WIN32
// A working directory that has been removed takes no new entry, not even
// from root (which passes any permission check a chmod could set up).
TEST_F(NgonchaosSnapshot, RemovedWorkingDirectoryWritesNothingAndKeysGoOn) {
  ASSERT_EQ(mkdir("gone", 0755), 0);
  ASSERT_EQ(chdir("gone"), 0);
  ASSERT_EQ(rmdir((workDirectory + "/gone").c_str()), 0);
  EXPECT_EQ(handleEvent(keyDown(SDLK_a), 0), 0);
  EXPECT_EQ(saveSnapshot(), -1);
  handleEvent(keyDown(SDLK_RIGHT), 0);
  EXPECT_EQ(cornerCount, 3);
  EXPECT_EQ(sdlFlipCount, 3);
  ASSERT_EQ(chdir(workDirectory.c_str()), 0);
  EXPECT_TRUE(directoryEntries().empty());
}

// The save fails half way: a file-size limit (which binds root too) stops
// the write after 100,000 of its 921,654 bytes. The good snapshot from before
// stays byte for byte, and no partial file is left beside it.
TEST_F(NgonchaosSnapshot, SaveThatFailsHalfWayLeavesTheEarlierSnapshotIntact) {
  handleEvent(keyDown(SDLK_a), 0);
  const auto good = readBytes("2.bmp");
  ASSERT_EQ(good.size(), 921654u);
  ASSERT_TRUE(decodeBmp("2.bmp").pixels == screenPixels());

  rlimit old;
  ASSERT_EQ(getrlimit(RLIMIT_FSIZE, &old), 0);
  rlimit small = old;
  small.rlim_cur = 100000;
  ASSERT_EQ(setrlimit(RLIMIT_FSIZE, &small), 0);
  auto oldHandler = signal(SIGXFSZ, SIG_IGN);
  const int saved = handleEvent(keyDown(SDLK_a), 0) == 0 ? saveSnapshot() : 99;
  signal(SIGXFSZ, oldHandler);
  ASSERT_EQ(setrlimit(RLIMIT_FSIZE, &old), 0);

  EXPECT_EQ(saved, -1);
  EXPECT_TRUE(readBytes("2.bmp") == good);
  EXPECT_EQ(directoryEntries(), std::vector<std::string>{"2.bmp"});

  handleEvent(keyDown(SDLK_a), 0);
  EXPECT_TRUE(decodeBmp("2.bmp").pixels == screenPixels()) << "saving works again";
}
#endif

}  // namespace
