// What the renderers share: the per-image values of the columns and rows, the
// pixel write, and the pixel queue of the lane-based paths. Each lane follows
// the orbit of one pixel; once a lane's pixel is decided it is written and the
// lane takes the next pixel of the image, so an image costs steps only for
// pixels that are still iterating.
#pragma once

#include <array>
#include <cstdint>

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
void plotPixels(const int64_t* records, int count);

constexpr int maxLanes = 32;

// One orbit per lane, laid out so that a vector load picks up adjacent lanes.
struct EscapeLanes {
  alignas(64) double zr[maxLanes];
  alignas(64) double zi[maxLanes];
  alignas(64) double cr[maxLanes];
  alignas(64) double ci[maxLanes];
  alignas(64) double radius[maxLanes];
  alignas(64) double stepsLeft[maxLanes];  // steps the lane may still take
  int pixel[maxLanes];
  int busy;  // lanes that still follow a pixel; the others idle harmlessly
};

// Starts a new image (prepareImage) and gives each of the first laneCount
// lanes a pixel.
void startLanes(EscapeLanes& lanes, int laneCount);

// Lanes whose bit is set in decided have finished their pixel: white if the
// lane's bit is also set in escaped, black otherwise. Each of them writes its
// pixel and takes the next one, or idles when none are left.
void refillLanes(EscapeLanes& lanes, uint32_t decided, uint32_t escaped);

void drawLanesScalar();
#if defined(__x86_64__)
void drawLanesSse2();
void drawLanesAvx2();
void drawLanesAvx512();
#endif
