// tetrachaos.exe, ngonchaos.exe and escapeplot.exe from <build>/windows/bin
// under Wine on the harness's Xvfb. With no window manager Wine maps each
// window's client area as an X window of its own, so finding a window of
// exactly the canvas size shows the client area has that size.
#include <gtest/gtest.h>

#include <algorithm>
#include <chrono>
#include <filesystem>
#include <string>
#include <vector>

#include "escapeplot_oracle.h"
#include "harness.h"
#include "pixel_count.h"
#include "bmp_reader.h"
#include "tetrachaos.h"
#include "tetrachaos_oracle.h"
#include "tetrahedron_outline.h"
#include "wine.h"

namespace {

namespace fs = std::filesystem;
constexpr uint32_t black = 0x000000;
constexpr uint32_t white = 0xFFFFFF;

std::vector<std::string> entries(const fs::path& dir) {
  std::vector<std::string> names;
  for (const auto& entry : fs::directory_iterator(dir)) names.push_back(entry.path().filename().string());
  std::sort(names.begin(), names.end());
  return names;
}

class WindowsProgram : public ::testing::Test {
 protected:
  e2e::App app;
  fs::path workdir;

  void SetUp() override {
    SKIP_WITHOUT_WINE();
    workdir = fs::temp_directory_path() /
              ("windows-wine-" + std::to_string(std::chrono::steady_clock::now().time_since_epoch().count()));
    ASSERT_TRUE(fs::create_directory(workdir));
  }
  void TearDown() override {
    e2e::kill(app);
    e2e::stopWineServer();
    std::error_code ignored;
    fs::remove_all(workdir, ignored);
  }
  void start(const std::string& exe, int width, int height) {
    e2e::Launch how = e2e::wineLaunch(exe, workdir.string());
    how.width = width;
    how.height = height;
    ASSERT_TRUE(e2e::launch(app, how)) << exe << " showed no " << width << " x " << height << " client area";
  }
  bool shows(const std::vector<uint32_t>& image, double seconds = 30) {
    return e2e::waitUntil([&] { return e2e::capture(app) == image; }, seconds);
  }
  void closeEndsWithZero() {
    e2e::closeWindow(app);
    EXPECT_EQ(e2e::waitExit(app, 30), 0);
  }
};

TEST_F(WindowsProgram, EscapeplotLeftChangesNothingFirstRightShowsTheLimitTwoImage) {
  start("escapeplot.exe", 640, 480);
  const std::vector<uint32_t> opened = e2e::capture(app);
  e2e::pressKeys(app, {"Left"});
  EXPECT_FALSE(e2e::waitUntil([&] { return e2e::capture(app) != opened; }, 1.0)) << "Left at limit 1 drew";

  const std::vector<uint32_t> limitTwo = oracleWindowImage(2);
  ASSERT_EQ(countPixels(limitTwo, black), 234495);
  e2e::pressKeys(app, {"Right"});
  EXPECT_TRUE(shows(limitTwo)) << "black pixels: " << countPixels(e2e::capture(app), black);
  // Waiting for the next key it sleeps, as natively.
  const double share = e2e::coreShare(app, 3);
  EXPECT_LT(share, e2e::idleShareBound) << "escapeplot.exe took " << 100 * share
                                        << " % of a core over 3 s while it waited for a key";
  closeEndsWithZero();
}

// The snapshot lands in the working directory and nothing else is written,
// there or beside the program (SDL's main shim redirects no output to files).
TEST_F(WindowsProgram, NgonchaosRightThenALetterWritesThreeBmpAsShown) {
  const std::vector<std::string> programFolder = entries(WINDOWS_BIN);
  start("ngonchaos.exe", 640, 480);
  e2e::pressKeys(app, {"Right"});
  EXPECT_TRUE(e2e::waitUntil([&] { return countPixels(e2e::capture(app), black) > 0; }, 30));
  EXPECT_TRUE(entries(workdir).empty());
  e2e::pressKeys(app, {"a"});
  DecodedBmp saved;
  const bool same = e2e::waitUntil(
      [&] {
        if (!fs::exists(workdir / "3.bmp")) return false;
        saved = decodeBmp((workdir / "3.bmp").string());
        return saved.width == 640 && saved.height == 480 && saved.pixels == e2e::capture(app);
      },
      30);
  EXPECT_TRUE(same) << "3.bmp differs from the window";
  EXPECT_EQ(entries(workdir), std::vector<std::string>{"3.bmp"});
  EXPECT_EQ(entries(WINDOWS_BIN), programFolder);
  closeEndsWithZero();
  EXPECT_EQ(entries(workdir), std::vector<std::string>{"3.bmp"});
  EXPECT_EQ(entries(WINDOWS_BIN), programFolder);
}

// Every black pixel of the picture lies on the figure at one of the turn
// angles the program passes through (the frames are drawn with the Windows
// C runtime's rand(), so only their shape can be checked from here). A
// capture taken while Wine copies a frame out may hold two frames in part:
// each pixel may lie on either of two successive angles.
bool onTheTurningFigure(const std::vector<uint32_t>& pixels) {
  double theta = 0;
  for (int frame = 0; frame < 250; ++frame, theta = oracleNextTurnAngle(theta, 10.0)) {
    const ScreenCorners now = projectedCorners(theta);
    const ScreenCorners next = projectedCorners(oracleNextTurnAngle(theta, 10.0));
    bool all = true;
    for (int y = 0; y < 600 && all; ++y)
      for (int x = 0; x < 1000 && all; ++x)
        if (pixels[size_t(y) * 1000 + x] == black && !nearHull(now, x, y) && !nearHull(next, x, y))
          all = false;
    if (all) return true;
  }
  return false;
}

TEST_F(WindowsProgram, TetrachaosTurnsItsFigureAndTheKeyAEndsItWithZero) {
  // The figure's corners, from the literal layout.
  oracleLayoutTetrahedron();
  start("tetrachaos.exe", 1000, 600);
  // The window opens black; a frame is white with black points.
  std::vector<uint32_t> first;
  ASSERT_TRUE(e2e::waitUntil(
      [&] {
        first = e2e::capture(app);
        return countPixels(first, white) > 0 && countPixels(first, black) > 0;
      },
      30));
  std::vector<uint32_t> second;
  EXPECT_TRUE(e2e::waitUntil(
      [&] {
        second = e2e::capture(app);
        return second != first && countPixels(second, black) > 0;
      },
      30))
      << "the figure does not move";
  for (const std::vector<uint32_t>& shot : {first, second}) {
    EXPECT_EQ(countPixels(shot, black) + countPixels(shot, white), 1000L * 600L);
    EXPECT_TRUE(onTheTurningFigure(shot)) << "black pixels off the tetrahedron at every angle";
  }
  e2e::pressKeys(app, {"a"});
  EXPECT_EQ(e2e::waitExit(app, 30), 0);
}

TEST_F(WindowsProgram, TetrachaosCloseBoxEndsItWithZero) {
  start("tetrachaos.exe", 1000, 600);
  closeEndsWithZero();
}

// SDL's video cannot start (no such driver): main returns 1 before any window.
TEST_F(WindowsProgram, EachProgramExitsWithOneWhenItsVideoCannotStart) {
  for (const char* exe : {"tetrachaos.exe", "ngonchaos.exe", "escapeplot.exe"}) {
    e2e::Launch how = e2e::wineLaunch(exe, workdir.string());
    how.env.push_back("SDL_VIDEODRIVER=no-such-driver");
    EXPECT_EQ(e2e::runToExit(how, 60), 1) << exe;
  }
  EXPECT_TRUE(entries(workdir).empty());
}

}  // namespace
