// The shared pixel layer: bounds, colour mapping, row addressing through the
// pitch, the white clear and the lock-draw-unlock-flip sequence.
#include <gtest/gtest.h>

#include <cstdio>
#include <cstdlib>
#include <vector>

#include "pixel_oracle.h"
#include "pixel_surface.h"
#include "sdl_wraps.h"

namespace {

constexpr int kWidth = 10;
constexpr int kHeight = 8;
constexpr Uint32 kGuard = 0xDEADBEEF;

// A canvas of kWidth x kHeight inside a larger buffer whose rows are padded
// with guard words, so a write that misses the canvas shows in the padding.
class PixelTest : public ::testing::Test {
 protected:
  static constexpr int kPadWords = 6;
  static constexpr int kPitchWords = kWidth + kPadWords;
  std::vector<Uint32> memory = std::vector<Uint32>(kPitchWords * (kHeight + 2), kGuard);
  SDL_Surface* surface = nullptr;

  void SetUp() override {
    ASSERT_EQ(SDL_Init(SDL_INIT_VIDEO), 0);
    // The canvas starts one row into the buffer, so row -1 is guard memory too.
    surface = SDL_CreateRGBSurfaceFrom(memory.data() + kPitchWords, kWidth, kHeight, 32, kPitchWords * 4,
                                       0x00FF0000, 0x0000FF00, 0x000000FF, 0);
    ASSERT_NE(surface, nullptr);
    screen = surface;
    screenWidth = kWidth;
    screenHeight = kHeight;
    resetSdlWraps();
  }
  void TearDown() override {
    surface->offset = 0;
    SDL_FreeSurface(surface);
    screen = nullptr;
    SDL_Quit();
  }
  Uint32 at(int x, int y) const { return memory[size_t((y + 1) * kPitchWords + x)]; }
  int countNot(Uint32 value) const {
    int n = 0;
    for (Uint32 word : memory) n += word != value;
    return n;
  }
};

TEST_F(PixelTest, WritesTheCornersAndDropsEverythingOffTheCanvas) {
  putPixel(0, 0, 1, 2, 3);
  putPixel(kWidth - 1, kHeight - 1, 4, 5, 6);
  EXPECT_EQ(at(0, 0), 0x010203u);
  EXPECT_EQ(at(kWidth - 1, kHeight - 1), 0x040506u);

  const std::vector<Uint32> before = memory;
  for (auto [x, y] : {std::pair{kWidth, 0}, {0, kHeight}, {-1, 5}, {5, -1}, {-1, -1}, {kWidth, kHeight},
                      {-2147483647 - 1, 0}, {0, 2147483647}})
    putPixel(x, y, 9, 9, 9);
  EXPECT_EQ(memory, before);
}

TEST_F(PixelTest, ColourComponentsUseTheirLowEightBitsOnly) {
  putPixel(1, 1, 256, 0, 0);
  putPixel(2, 1, -1, -1, -1);
  putPixel(3, 1, 0x1FF, 0x280, 0x7F);
  EXPECT_EQ(at(1, 1), SDL_MapRGB(screen->format, 0, 0, 0));
  EXPECT_EQ(at(2, 1), SDL_MapRGB(screen->format, 255, 255, 255));
  EXPECT_EQ(at(3, 1), 0xFF807Fu);
}

TEST_F(PixelTest, RowsAreAddressedThroughThePitch) {
  putPixel(3, 2, 255, 255, 255);
  EXPECT_EQ(at(3, 2), 0xFFFFFFu);
  EXPECT_EQ(memory[size_t((2 + 1) * kWidth + 3)], kGuard) << "row addressed with W instead of the pitch";
  EXPECT_EQ(countNot(kGuard), 1);
}

TEST_F(PixelTest, FillWhiteCoversTheCanvasAndNothingElse) {
  fillWhite();
  for (int y = 0; y < kHeight; ++y)
    for (int x = 0; x < kWidth; ++x) ASSERT_EQ(at(x, y), 0xFFFFFFu) << x << "," << y;
  EXPECT_EQ(countNot(kGuard), kWidth * kHeight) << "padding or rows outside the canvas were written";
}

TEST_F(PixelTest, FillWhiteMatchesThePixelByPixelClear) {
  for (auto [w, h] : {std::pair{kWidth, kHeight}, {1, 1}, {kWidth, 1}, {1, kHeight}, {0, kHeight}, {kWidth, 0}}) {
    std::fill(memory.begin(), memory.end(), kGuard);
    screenWidth = w;
    screenHeight = h;
    oracleFillWhite();
    const std::vector<Uint32> expected = memory;
    std::fill(memory.begin(), memory.end(), kGuard);
    fillWhite();
    EXPECT_EQ(memory, expected) << w << "x" << h;
  }
}

void drawOnePixel() {
  EXPECT_TRUE(!SDL_MUSTLOCK(screen) || screen->locked) << "drawing outside the lock";
  putPixel(0, 0, 255, 255, 255);
}

TEST_F(PixelTest, PresentFrameSkipsLockingWhenTheSurfaceNeedsNone) {
  ASSERT_FALSE(SDL_MUSTLOCK(screen));
  EXPECT_EQ(presentFrame(drawOnePixel), 0);
  EXPECT_EQ(sdlLockCount, 0);
  EXPECT_EQ(sdlFlipCount, 1);
  EXPECT_EQ(at(0, 0), 0xFFFFFFu);
}

TEST_F(PixelTest, PresentFrameDrawsInsideTheLockOfASurfaceThatMustBeLocked) {
  // A non-zero offset makes SDL insist on locking; the lock moves the pixel
  // pointer by the offset, and the unlock moves it back.
  screen->offset = kPitchWords * 4;
  void* unlockedPixels = screen->pixels;
  EXPECT_EQ(presentFrame(drawOnePixel), 0);
  EXPECT_EQ(sdlLockCount, 1);
  EXPECT_EQ(screen->locked, 0) << "left locked";
  EXPECT_EQ(screen->pixels, unlockedPixels);
  EXPECT_EQ(sdlFlipCount, 1);
  EXPECT_EQ(at(0, 1), 0xFFFFFFu) << "the pixel was not drawn through the locked pointer";
}

int drawCalls = 0;
void countDraw() { ++drawCalls; }

TEST_F(PixelTest, AFailedLockSkipsTheWholeRedraw) {
  screen->offset = kPitchWords * 4;
  sdlFailLock = true;
  drawCalls = 0;
  const std::vector<Uint32> before = memory;
  EXPECT_EQ(presentFrame(countDraw), -1);
  EXPECT_EQ(drawCalls, 0);
  EXPECT_EQ(sdlFlipCount, 0) << "a skipped redraw must not flip";
  EXPECT_EQ(screen->locked, 0);
  EXPECT_EQ(memory, before);

  sdlFailLock = false;
  EXPECT_EQ(presentFrame(countDraw), 0) << "the next redraw tries again";
  EXPECT_EQ(drawCalls, 1);
}

TEST(OpenScreen, OpensTheCanvasAtTheGivenSizeIn32Bits) {
  ASSERT_TRUE(openScreen(64, 48));
  EXPECT_EQ(screen->w, 64);
  EXPECT_EQ(screen->h, 48);
  EXPECT_EQ(screen->format->BitsPerPixel, 32);
  EXPECT_EQ(screenWidth, 64);
  EXPECT_EQ(screenHeight, 48);
  closeScreen();
  EXPECT_EQ(SDL_WasInit(SDL_INIT_VIDEO), 0u);
}

// putenv, not setenv, which the Windows C runtime lacks; it may keep the string.
void setVideoDriver(const char* driver) {
  static char entry[64];
  std::snprintf(entry, sizeof entry, "SDL_VIDEODRIVER=%s", driver);
  putenv(entry);
}

TEST(OpenScreen, FailsWhenSdlCannotStart) {
  setVideoDriver("no-such-driver");
  EXPECT_FALSE(openScreen(64, 48));
  setVideoDriver("dummy");
}

TEST(OpenScreen, FailsAndShutsSdlDownWhenTheVideoModeCannotBeSet) {
  sdlFailVideoMode = true;
  EXPECT_FALSE(openScreen(64, 48));
  sdlFailVideoMode = false;
  EXPECT_EQ(SDL_WasInit(SDL_INIT_VIDEO), 0u) << "SDL left running after a failed video mode";
}

}  // namespace
