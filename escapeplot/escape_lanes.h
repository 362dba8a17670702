// What the renderers share: the per-image values of the columns and rows and
// the pixel writes. Each lane of a renderer follows the orbit of one pixel;
// once a lane's pixel is decided it is written and the lane takes the next
// pixel of the image, so an image costs steps only for pixels that are still
// iterating.
#pragma once

#include <array>

#include "pixel_surface.h"

constexpr int imageWidth = 640;
constexpr int imageHeight = 480;
constexpr int imagePixels = imageWidth * imageHeight;

// The real part of each column and the imaginary part of each row, and the
// two colours mapped for the screen; set by prepareImage at every redraw.
extern std::array<double, imageWidth> columnReal;
extern std::array<double, imageHeight> rowImaginary;
extern Uint32 whitePixel;
extern Uint32 blackPixel;
void prepareImage();

// Pixels are numbered row by row, left to right: y * 640 + x, so pixels
// decided one after another are written to neighbouring addresses. This is
// the write of putPixel(x, y, ...) with the colour mapped once per image.
inline void plotPixel(int pixel, bool escaped) {
  const int x = pixel % imageWidth;
  const int y = pixel / imageWidth;
  if (x >= screenWidth || y >= screenHeight) return;
  Uint32* row = static_cast<Uint32*>(screen->pixels) + (y * screen->pitch) / 4;
  row[x] = escaped ? whitePixel : blackPixel;
}

// A batch of decided pixels, each recorded as pixel * 2 plus 1 when it
// escaped: the same writes as plotPixel, with the surface read once.
template <typename Record>
void plotPixels(const Record* records, int count) {
  if (screenWidth < imageWidth || screenHeight < imageHeight) {
    for (int i = 0; i < count; ++i) plotPixel(int(records[i]) >> 1, int(records[i]) & 1);
    return;
  }
  Uint32* const pixels = static_cast<Uint32*>(screen->pixels);
  const unsigned pitch = screen->pitch / 4;
  const Uint32 white = whitePixel;
  const Uint32 black = blackPixel;
  for (int i = 0; i < count; ++i) {
    const unsigned code = unsigned(records[i]);
    const unsigned y = (code >> 1) / imageWidth;
    const unsigned x = (code >> 1) - y * imageWidth;
    pixels[y * pitch + x] = (code & 1) ? white : black;
  }
}

void drawLanesScalar();
#if defined(__x86_64__)
void drawLanesSse2();
void drawLanesAvx2();
void drawLanesAvx512();
#endif
