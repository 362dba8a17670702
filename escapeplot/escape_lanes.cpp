#include "escape_lanes.h"

#include <limits>

#include "escapeplot.h"

std::array<double, imageWidth> columnReal{};
std::array<double, imageHeight> rowImaginary{};
Uint32 whitePixel = 0;
Uint32 blackPixel = 0;

namespace {

int nextPixel = 0;  // pixels are handed out row by row, left to right

// An idle lane orbits c = 0 forever and is never decided.
void idleLane(EscapeLanes& lanes, int lane) {
  lanes.zr[lane] = lanes.zi[lane] = lanes.cr[lane] = lanes.ci[lane] = 0.0;
  lanes.radius[lane] = 2.0;
  lanes.stepsLeft[lane] = std::numeric_limits<double>::infinity();
  lanes.pixel[lane] = -1;
}

void takeNextPixel(EscapeLanes& lanes, int lane) {
  if (nextPixel == imagePixels) {
    idleLane(lanes, lane);
    --lanes.busy;
    return;
  }
  const int pixel = nextPixel++;
  const double cr = columnReal[pixel % imageWidth];
  const double ci = rowImaginary[pixel / imageWidth];
  const double size = modulus(cr, ci);
  lanes.pixel[lane] = pixel;
  lanes.zr[lane] = lanes.zi[lane] = 0.0;
  lanes.cr[lane] = cr;
  lanes.ci[lane] = ci;
  lanes.radius[lane] = size > 2.0 ? size : 2.0;
  lanes.stepsLeft[lane] = double(iterationLimit);
}

}  // namespace

void prepareImage() {
  for (int x = 0; x < imageWidth; ++x) columnReal[x] = (double(x) * 3.2) / 640.0 - 2.4;
  for (int y = 0; y < imageHeight; ++y) rowImaginary[y] = 1.2 - (double(y) * 2.4) / 480.0;
  whitePixel = SDL_MapRGB(screen->format, 255, 255, 255);
  blackPixel = SDL_MapRGB(screen->format, 0, 0, 0);
}

void plotPixels(const int64_t* records, int count) {
  Uint32* const pixels = static_cast<Uint32*>(screen->pixels);
  const int pitch = screen->pitch / 4;
  const int width = screenWidth;
  const int height = screenHeight;
  const Uint32 white = whitePixel;
  const Uint32 black = blackPixel;
  for (int i = 0; i < count; ++i) {
    const int pixel = int(records[i] >> 1);
    const int x = pixel % imageWidth;
    const int y = pixel / imageWidth;
    if (x < width && y < height) pixels[y * pitch + x] = (records[i] & 1) ? white : black;
  }
}

void startLanes(EscapeLanes& lanes, int laneCount) {
  prepareImage();
  nextPixel = 0;
  lanes.busy = laneCount;
  for (int lane = 0; lane < maxLanes; ++lane) idleLane(lanes, lane);
  for (int lane = 0; lane < laneCount; ++lane) takeNextPixel(lanes, lane);
}

void refillLanes(EscapeLanes& lanes, uint32_t decided, uint32_t escaped) {
  while (decided != 0) {
    const int lane = __builtin_ctz(decided);
    decided &= decided - 1;
    plotPixel(lanes.pixel[lane], (escaped >> lane) & 1u);
    takeNextPixel(lanes, lane);
  }
}
