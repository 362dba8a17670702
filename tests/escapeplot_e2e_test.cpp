// escapeplot run for real under Xvfb: arrow keys through xdotool, the window
// read back pixel by pixel, the close box sent as a window manager sends it.
#include <gtest/gtest.h>

#include <cstdint>
#include <vector>

#include "escapeplot_oracle.h"
#include "harness.h"
#include "sdl_screen.h"

#include <X11/Xutil.h>
#include <X11/extensions/Xcomposite.h>

namespace {

constexpr int W = 640;
constexpr int H = 480;
constexpr uint32_t black = 0x000000;

// The canvas drawn into a pixmap of the X server's (Composite), which keeps
// its last contents after the program has ended and its window is gone.
Pixmap keepContents(const e2e::App& app) {
  Display* display = e2e::xDisplay();
  XCompositeRedirectWindow(display, app.canvas, CompositeRedirectAutomatic);
  const Pixmap kept = XCompositeNameWindowPixmap(display, app.canvas);
  XSync(display, False);
  return kept;
}

std::vector<uint32_t> keptImage(Pixmap kept) {
  Display* display = e2e::xDisplay();
  std::vector<uint32_t> pixels;
  XImage* image = XGetImage(display, kept, 0, 0, W, H, AllPlanes, ZPixmap);
  if (image == nullptr) return pixels;
  for (int y = 0; y < H; ++y)
    for (int x = 0; x < W; ++x) pixels.push_back(uint32_t(XGetPixel(image, x, y)) & 0xFFFFFF);
  XDestroyImage(image);
  XFreePixmap(display, kept);
  return pixels;
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
  EXPECT_TRUE(shows(oracleWindowImage(2)));
}

TEST_F(EscapeplotApp, RightShowsTheLimitTwoImageThenLimitThree) {
  e2e::pressKeys(app, {"Right"});
  EXPECT_TRUE(showsBlackCount(234495)) << "black pixels: " << countPixels(e2e::capture(app), black);
  EXPECT_TRUE(shows(oracleWindowImage(2)));
  e2e::pressKeys(app, {"Right"});
  EXPECT_TRUE(showsBlackCount(165865)) << "black pixels: " << countPixels(e2e::capture(app), black);
  EXPECT_TRUE(shows(oracleWindowImage(3)));
}

TEST_F(EscapeplotApp, RightThenLeftTurnsTheCanvasBlack) {
  e2e::pressKeys(app, {"Right"});
  ASSERT_TRUE(showsBlackCount(234495));
  e2e::pressKeys(app, {"Left"});
  EXPECT_TRUE(showsBlackCount(W * H));
}

// Waiting for a key, before the first image and after it, it sleeps.
TEST_F(EscapeplotApp, WaitingForAKeyTakesNextToNoProcessorTime) {
  double share = e2e::coreShare(app, 3);
  EXPECT_LT(share, e2e::idleShareBound) << "escapeplot took " << 100 * share
                                        << " % of a core over 3 s while it waited for its first key";
  e2e::pressKeys(app, {"Right"});
  ASSERT_TRUE(shows(oracleWindowImage(2)));
  share = e2e::coreShare(app, 3);
  EXPECT_LT(share, e2e::idleShareBound) << "escapeplot took " << 100 * share
                                        << " % of a core over 3 s while it waited after drawing";
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
  const std::vector<uint32_t> want = oracleWindowImage(17);
  EXPECT_TRUE(shows(want)) << "black pixels: " << countPixels(e2e::capture(app), black) << ", expected "
                           << countPixels(want, black);
}

// 300 presses as fast as xdotool sends them while keeping each release and
// the next press 3 ms apart (closer, SDL takes them for auto-repeat and drops
// both), then the close box at once. Far more arrive during the redraws than
// SDL's own queue holds; every press must still get its redraw, in turn,
// before the close request ends the program. The sanitizer build's program
// draws some ten times slower, and one under qemu-user slower still (a cross
// build's, PROGRAMS_EMULATED): 80 presses (160 events) overrun SDL's queue
// just as well and keep the test within its time.
#if defined(__SANITIZE_ADDRESS__) || defined(PROGRAMS_EMULATED)
constexpr int burstPresses = 80;
constexpr long burstBlack = 62356;
#else
constexpr int burstPresses = 300;
constexpr long burstBlack = 60846;
#endif

TEST_F(EscapeplotApp, BurstOfPressesThenCloseDrawsEveryStepThenEnds) {
  const Pixmap kept = keepContents(app);
  e2e::pressKeys(app, std::vector<std::string>(burstPresses, "Right"), 6);
  e2e::closeWindow(app);
  EXPECT_EQ(e2e::waitExit(app, 200), 0) << "the close request was lost";
  const std::vector<uint32_t> last = keptImage(kept);
  EXPECT_EQ(countPixels(last, black), burstBlack);
  EXPECT_TRUE(last == oracleWindowImage(burstPresses + 1));
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
