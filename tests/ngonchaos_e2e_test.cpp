#include <gtest/gtest.h>
#include <sys/resource.h>
#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <cmath>
#include <cstdlib>
#include <filesystem>
#include <string>
#include <vector>

#include "bmp_reader.h"
#include "harness.h"
#include "ngonchaos.h"
#include "ngonchaos_oracle.h"
#include "pixel_surface.h"
#include "sdl_screen.h"

namespace {

// The program never seeds rand(), so it plays glibc's default sequence; this
// process replays the same keys with the literal drawing code on a screen of
// SDL's dummy driver to know every pixel the window must show.
void openModelScreen() {
  if (screen != nullptr) return;
  setenv("SDL_VIDEODRIVER", "dummy", 1);
  ASSERT_TRUE(openScreen(640, 480)) << SDL_GetError();
}

void modelStart() {
  openModelScreen();
  std::srand(1);
  cornerCount = 2;
  currentX = 500;
  currentY = 500;
  oracleLayoutPolygon();
  oracleFillWhite();
}

void modelArrow(int step) {
  const int n = cornerCount + step;
  if (n < 2 || n > 8) return;
  cornerCount = n;
  oracleLayoutPolygon();
  oracleFillWhite();
  oraclePlotChaosPoints();
}

void modelOtherKey() { oraclePlotChaosPoints(); }

std::vector<uint32_t> modelImage() { return screenPixels(); }

class NgonchaosE2E : public ::testing::Test {
 protected:
  void SetUp() override {
    char pattern[] = "/tmp/ngonchaos-e2e-XXXXXX";
    ASSERT_NE(mkdtemp(pattern), nullptr);
    dir = pattern;
    modelStart();
  }

  void TearDown() override {
    e2e::kill(app);
    std::error_code ignored;
    std::filesystem::remove_all(dir, ignored);
  }

  void start() {
    e2e::Launch how;
    how.argv = {e2e::programPath("ngonchaos")};
    how.workdir = dir;
    how.width = 640;
    how.height = 480;
    ASSERT_TRUE(e2e::launch(app, how)) << "no 640 x 480 window";
    ASSERT_TRUE(showsModel()) << "the window does not start all white";
  }

  // Waits until the window shows exactly the model's current image.
  bool showsModel() {
    const auto expected = modelImage();
    return e2e::waitUntil([&] { return e2e::capture(app) == expected; }, 30);
  }

  bool appears(const std::string& name) {
    return e2e::waitUntil([&] { return std::filesystem::exists(dir + "/" + name); }, 30);
  }

  std::vector<std::string> files() { return directoryEntries(dir); }

  std::string path(const std::string& name) { return dir + "/" + name; }

  e2e::App app;
  std::string dir;
};

TEST_F(NgonchaosE2E, OpensA640By480WindowThatIsAllWhite) {
  start();
  EXPECT_EQ(app.width, 640);
  EXPECT_EQ(app.height, 480);
  EXPECT_EQ(countPixels(e2e::capture(app), 0xFFFFFF), 640L * 480L);
  EXPECT_TRUE(files().empty());
}

// Waiting on its white canvas for the first key, it sleeps.
TEST_F(NgonchaosE2E, WaitingForAKeyTakesNextToNoProcessorTime) {
  start();
  const double share = e2e::coreShare(app, 3);
  EXPECT_LT(share, e2e::idleShareBound) << "ngonchaos took " << 100 * share
                                        << " % of a core over 3 s while it waited for its first key";
}

// Covered by another window and uncovered again, the window shows its
// picture again, pixel for pixel: the white canvas of the start, then a run.
TEST_F(NgonchaosE2E, AnUncoveredWindowShowsItsPictureAgain) {
  start();
  ASSERT_TRUE(e2e::coverAndUncover());
  EXPECT_TRUE(showsModel()) << "the white canvas was not shown again";
  e2e::pressKeys(app, {"Right"});
  modelArrow(+1);
  ASSERT_TRUE(showsModel());
  ASSERT_TRUE(e2e::coverAndUncover());
  EXPECT_TRUE(showsModel()) << "the triangle was not shown again";
}

// Left at N = 2 is ignored: the letter after it draws the very first run of
// the sequence, still at N = 2, and its snapshot is the only file.
TEST_F(NgonchaosE2E, LeftAtStartChangesNothingAndWritesNothing) {
  start();
  e2e::pressKeys(app, {"Left", "Left"});
  e2e::pressKeys(app, {"a"});
  modelOtherKey();
  ASSERT_TRUE(appears("2.bmp"));
  EXPECT_TRUE(showsModel());
  EXPECT_EQ(files(), std::vector<std::string>{"2.bmp"});
}

TEST_F(NgonchaosE2E, RightDrawsTheTriangleOnAWhiteGround) {
  start();
  e2e::pressKeys(app, {"Right"});
  modelArrow(+1);
  ASSERT_TRUE(showsModel());
  const auto pixels = e2e::capture(app);
  EXPECT_EQ(countPixels(pixels, 0xFFFFFF) + countPixels(pixels, 0x000000), 640L * 480L);

  // Inside the triangle of (320, 10), (120.8, 355), (519.2, 355) but for
  // the first few points, which still travel from (500, 500). Each step
  // truncates, and the next one starts from the truncated point: the errors
  // add up to under two pixels left and up, so the edges get that margin.
  long inside = 0, outside = 0;
  for (int y = 0; y < 480; ++y)
    for (int x = 0; x < 640; ++x) {
      if (pixels[size_t(y) * 640 + size_t(x)] != 0) continue;
      const bool below = y >= 9 && y <= 355;
      const double halfWidth = (y + 2 - 10) * (199.2 / 345.0) + 2.0;
      ((below && std::abs(x - 320) <= halfWidth) ? inside : outside) += 1;
    }
  EXPECT_GT(inside, 10000);
  EXPECT_LE(outside, 5);
  EXPECT_TRUE(files().empty());
}

TEST_F(NgonchaosE2E, LetterKeyWritesASnapshotWithTheWindowsPixels) {
  start();
  e2e::pressKeys(app, {"Right", "a"});
  modelArrow(+1);
  modelOtherKey();
  ASSERT_TRUE(appears("3.bmp"));
  ASSERT_TRUE(showsModel());
  const DecodedBmp snapshot = decodeBmp(path("3.bmp"));
  EXPECT_EQ(snapshot.width, 640);
  EXPECT_EQ(snapshot.height, 480);
  EXPECT_TRUE(snapshot.pixels == e2e::capture(app));
  EXPECT_EQ(files(), std::vector<std::string>{"3.bmp"});
}

TEST_F(NgonchaosE2E, EscapeAndModifierKeysDrawAndSnapshotWithoutEndingTheProgram) {
  start();
  e2e::pressKeys(app, {"Escape"});
  modelOtherKey();
  ASSERT_TRUE(appears("2.bmp"));
  ASSERT_TRUE(showsModel());
  EXPECT_TRUE(e2e::running(app));
  EXPECT_TRUE(decodeBmp(path("2.bmp")).pixels == e2e::capture(app));

  std::filesystem::remove(path("2.bmp"));
  e2e::keyDown(app, "Shift_L");
  e2e::keyUp(app, "Shift_L");
  modelOtherKey();
  ASSERT_TRUE(appears("2.bmp"));
  ASSERT_TRUE(showsModel());
  EXPECT_TRUE(decodeBmp(path("2.bmp")).pixels == e2e::capture(app)) << "holds both runs";

  e2e::pressKeys(app, {"Right"});
  modelArrow(+1);
  EXPECT_TRUE(showsModel()) << "keys no longer handled";
  EXPECT_TRUE(e2e::running(app));
}

TEST_F(NgonchaosE2E, CloseBoxEndsWithStatusZeroAndLeavesTheSnapshots) {
  start();
  e2e::pressKeys(app, {"a", "Right", "b"});
  ASSERT_TRUE(appears("2.bmp"));
  ASSERT_TRUE(appears("3.bmp"));
  modelOtherKey();
  modelArrow(+1);
  modelOtherKey();
  ASSERT_TRUE(showsModel());
  const auto two = readBytes(path("2.bmp"));
  const auto three = readBytes(path("3.bmp"));

  e2e::closeWindow(app);
  EXPECT_EQ(e2e::waitExit(app, 30), 0);
  EXPECT_EQ(files(), (std::vector<std::string>{"2.bmp", "3.bmp"}));
  EXPECT_TRUE(readBytes(path("2.bmp")) == two);
  EXPECT_TRUE(readBytes(path("3.bmp")) == three);
  EXPECT_TRUE(decodeBmp(path("3.bmp")).pixels == modelImage());
}

TEST_F(NgonchaosE2E, SnapshotOverADirectoryFailsQuietlyAndKeysGoOn) {
  ASSERT_EQ(mkdir(path("2.bmp").c_str(), 0755), 0);
  start();
  e2e::pressKeys(app, {"a"});
  modelOtherKey();
  ASSERT_TRUE(showsModel());
  e2e::pressKeys(app, {"Right", "a"});
  modelArrow(+1);
  modelOtherKey();
  ASSERT_TRUE(appears("3.bmp"));
  EXPECT_TRUE(showsModel());
  EXPECT_TRUE(e2e::running(app));
  EXPECT_EQ(files(), (std::vector<std::string>{"2.bmp", "3.bmp"}));
  EXPECT_TRUE(std::filesystem::is_directory(path("2.bmp")));
  EXPECT_TRUE(std::filesystem::is_empty(path("2.bmp")));
}

// Started under a file-size limit below the image's 921,654 bytes: the save
// fails like any other write instead of killing the program (SIGXFSZ), and
// leaves no partial file behind.
TEST_F(NgonchaosE2E, SnapshotOverTheFileSizeLimitFailsAndTheProgramGoesOn) {
  e2e::xDisplay();  // Xvfb starts before the limit; the program inherits it
  rlimit old;
  ASSERT_EQ(getrlimit(RLIMIT_FSIZE, &old), 0);
  rlimit small = old;
  small.rlim_cur = 100000;
  ASSERT_EQ(setrlimit(RLIMIT_FSIZE, &small), 0);
  start();
  ASSERT_EQ(setrlimit(RLIMIT_FSIZE, &old), 0);
  if (HasFatalFailure()) return;
  e2e::pressKeys(app, {"a", "Right"});
  modelOtherKey();
  modelArrow(+1);
  EXPECT_TRUE(showsModel()) << "keys no longer handled after the failed save";
  EXPECT_TRUE(files().empty());
  e2e::closeWindow(app);
  EXPECT_EQ(e2e::waitExit(app, 30), 0);
}

TEST_F(NgonchaosE2E, ExitsWithStatusOneWhenSdlCannotStart) {
  e2e::Launch how;
  how.argv = {e2e::programPath("ngonchaos")};
  how.workdir = dir;
  how.env = {"SDL_VIDEODRIVER=nosuchdriver"};
  EXPECT_EQ(e2e::runToExit(how, 30), 1);
  EXPECT_TRUE(files().empty());
}

}  // namespace
