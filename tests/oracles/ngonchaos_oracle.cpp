#include "ngonchaos_oracle.h"

#include <cstdlib>

#include "ngonchaos.h"
#include "pixel_surface.h"

void oracleFillWhite() {
  for (int x = 0; x < 640; ++x)
    for (int y = 0; y < 480; ++y) putPixel(x, y, 255, 255, 255);
}

void oraclePlotChaosPoints() {
  for (int i = 1; i < pointsPerRun; ++i) {
    const int k = std::rand() % cornerCount;
    currentX = int(cornerX[k] + (currentX - cornerX[k]) / contractionRatio);
    currentY = int(cornerY[k] + (currentY - cornerY[k]) / contractionRatio);
    putPixel(currentX, currentY, 0, 0, 0);
  }
}
