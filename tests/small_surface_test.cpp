// A video surface smaller than the canvas asked for: SDL_SetVideoMode is
// wrapped at link time to return one 40 columns narrower and 30 rows shorter.
// The bounds every writer checks (putPixel, fillWhite and escapeplot's batched
// writes) become the surface's own; the sanitizer build catches any write past
// its end, and a write past a row's end would show on the next row.
#include <gtest/gtest.h>

#include "pixel_surface.h"

extern "C" {
SDL_Surface* __real_SDL_SetVideoMode(int, int, int, Uint32);
SDL_Surface* __wrap_SDL_SetVideoMode(int width, int height, int bpp, Uint32 flags) {
  return __real_SDL_SetVideoMode(width - 40, height - 30, bpp, flags);
}
}

namespace {

constexpr Uint32 grey = 0x00808080;

Uint32& at(int x, int y) { return static_cast<Uint32*>(screen->pixels)[(y * screen->pitch) / 4 + x]; }

void paint(Uint32 value) {
  for (int y = 0; y < screen->h; ++y)
    for (int x = 0; x < screen->w; ++x) at(x, y) = value;
}

class SmallSurface : public ::testing::Test {
 protected:
  static void SetUpTestSuite() { ASSERT_TRUE(openScreen(640, 480)); }
  static void TearDownTestSuite() { closeScreen(); }
};

TEST_F(SmallSurface, BoundsAreTheSurfacesOwnSize) {
  ASSERT_EQ(screen->w, 600);
  ASSERT_EQ(screen->h, 450);
  EXPECT_EQ(screenWidth, 600);
  EXPECT_EQ(screenHeight, 450);

  paint(grey);
  for (auto [x, y] : {std::pair{600, 0}, {639, 10}, {0, 450}, {639, 479}}) putPixel(x, y, 0, 0, 0);
  for (int y = 0; y < screen->h; ++y)
    for (int x = 0; x < screen->w; ++x) ASSERT_EQ(at(x, y), grey) << x << ", " << y;
  putPixel(599, 449, 0, 0, 0);
  EXPECT_EQ(at(599, 449), SDL_MapRGB(screen->format, 0, 0, 0));

  fillWhite();
  for (int y = 0; y < screen->h; ++y)
    for (int x = 0; x < screen->w; ++x) ASSERT_EQ(at(x, y), SDL_MapRGB(screen->format, 255, 255, 255));
}

}  // namespace
