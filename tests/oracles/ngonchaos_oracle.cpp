#include "ngonchaos_oracle.h"

#include <cstdlib>

#include "ngonchaos.h"
#include "pixel_surface.h"

void oraclePlotChaosPoints() {
  for (int i = 1; i < pointsPerRun; ++i) {
    const int k = std::rand() % cornerCount;
    currentX = int(cornerX[k] + (currentX - cornerX[k]) / contractionRatio);
    currentY = int(cornerY[k] + (currentY - cornerY[k]) / contractionRatio);
    putPixel(currentX, currentY, 0, 0, 0);
  }
}
