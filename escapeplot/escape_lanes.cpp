#include "escape_lanes.h"

std::array<double, imageWidth> columnReal{};
std::array<double, imageHeight> rowImaginary{};
Uint32 whitePixel = 0;
Uint32 blackPixel = 0;

void prepareImage() {
  for (int x = 0; x < imageWidth; ++x) columnReal[x] = (double(x) * 3.2) / 640.0 - 2.4;
  for (int y = 0; y < imageHeight; ++y) rowImaginary[y] = 1.2 - (double(y) * 2.4) / 480.0;
  whitePixel = SDL_MapRGB(screen->format, 255, 255, 255);
  blackPixel = SDL_MapRGB(screen->format, 0, 0, 0);
}
