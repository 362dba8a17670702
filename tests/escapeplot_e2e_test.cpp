// escapeplot run for real under Xvfb: arrow keys through xdotool, the window
// read back pixel by pixel, the close box sent as a window manager sends it.
#include <gtest/gtest.h>

#include <cstdint>
#include <vector>

#include "escapeplot_oracle.h"
#include "harness.h"
#include "sdl_screen.h"

namespace {

constexpr int W = 640;
constexpr int H = 480;
constexpr uint32_t black = 0x000000;
constexpr uint32_t white = 0xFFFFFF;

// The oracle's image at this limit in the window's layout (row-major 0xRRGGBB).
std::vector<uint32_t> expectedImage(int limit) {
  std::vector<uint32_t> image(W * H);
  for (int x = 0; x < W; ++x)
    for (int y = 0; y < H; ++y) image[y * W + x] = oracleEscapes(x, y, limit) ? white : black;
  return image;
}

class EscapeplotApp : public ::testing::Test {
 protected:
  e2e::App app;

  void SetUp() override {
    e2e::Launch how;
    how.argv = {e2e::programPath("escapeplot")};
    how.width = W;
    how.height = H;
    ASSERT_TRUE(e2e::launch(app, how)) << "escapeplot never showed its window";
  }
  void TearDown() override { e2e::kill(app); }

  bool shows(const std::vector<uint32_t>& image, double seconds = 20) {
    return e2e::waitUntil([&] { return e2e::capture(app) == image; }, seconds);
  }
  bool showsBlackCount(long count, double seconds = 20) {
    return e2e::waitUntil([&] { return countPixels(e2e::capture(app), black) == count; }, seconds);
  }
};

TEST_F(EscapeplotApp, LeftAtStartChangesNothingOnScreen) {
  const std::vector<uint32_t> opened = e2e::capture(app);
  ASSERT_EQ(opened.size(), size_t(W * H));
  e2e::pressKeys(app, {"Left"});
  EXPECT_FALSE(e2e::waitUntil([&] { return e2e::capture(app) != opened; }, 1.0))
      << "the canvas changed after Left at limit 1";
  // The canvas opens black, as an image at limit 1 (or 0) would be, so the
  // screen alone cannot show that the limit stayed: the next Right must give
  // the limit-2 image, which it would not had Left lowered the limit.
  e2e::pressKeys(app, {"Right"});
  EXPECT_TRUE(showsBlackCount(234495));
  EXPECT_TRUE(shows(expectedImage(2)));
}

TEST_F(EscapeplotApp, RightShowsTheLimitTwoImageThenLimitThree) {
  e2e::pressKeys(app, {"Right"});
  EXPECT_TRUE(showsBlackCount(234495)) << "black pixels: " << countPixels(e2e::capture(app), black);
  EXPECT_TRUE(shows(expectedImage(2)));
  e2e::pressKeys(app, {"Right"});
  EXPECT_TRUE(showsBlackCount(165865)) << "black pixels: " << countPixels(e2e::capture(app), black);
  EXPECT_TRUE(shows(expectedImage(3)));
}

TEST_F(EscapeplotApp, RightThenLeftTurnsTheCanvasBlack) {
  e2e::pressKeys(app, {"Right"});
  ASSERT_TRUE(showsBlackCount(234495));
  e2e::pressKeys(app, {"Left"});
  EXPECT_TRUE(showsBlackCount(W * H));
}

TEST_F(EscapeplotApp, ShiftedArrowActsLikeThePlainArrow) {
  e2e::pressKeys(app, {"shift+Right", "ctrl+Right"});
  EXPECT_TRUE(showsBlackCount(165865)) << "black pixels: " << countPixels(e2e::capture(app), black);
}

TEST_F(EscapeplotApp, BurstOfRightPressesIsHandledOneByOne) {
  e2e::pressKeys(app, {"Right"});
  ASSERT_TRUE(showsBlackCount(234495));
  // Fifteen presses sent back to back while the program redraws after each:
  // every one must take the limit one step further, none lost or merged.
  e2e::pressKeys(app, std::vector<std::string>(15, "Right"), 30);
  const std::vector<uint32_t> want = expectedImage(17);
  EXPECT_TRUE(shows(want)) << "black pixels: " << countPixels(e2e::capture(app), black) << ", expected "
                           << countPixels(want, black);
}

TEST_F(EscapeplotApp, CloseBoxEndsTheProgramWithStatusZero) {
  e2e::pressKeys(app, {"Right"});
  ASSERT_TRUE(showsBlackCount(234495));
  e2e::closeWindow(app);
  EXPECT_EQ(e2e::waitExit(app, 20), 0);
}

TEST(EscapeplotStart, ExitsWithOneWhenSdlCannotStart) {
  e2e::Launch how;
  how.argv = {e2e::programPath("escapeplot")};
  how.env = {"SDL_VIDEODRIVER=no-such-driver"};
  EXPECT_EQ(e2e::runToExit(how, 10), 1);
}

}  // namespace
