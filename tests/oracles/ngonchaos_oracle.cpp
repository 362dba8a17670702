#include "ngonchaos_oracle.h"

#include <cmath>
#include <cstdlib>

#include "ngonchaos.h"
#include "pixel_surface.h"

void oracleLayoutPolygon() {
  const double nearestPi = 3.141592653589793;
  const int n = cornerCount;
  polygonRadius = 230;
  for (int i = 0; i < n; ++i) {
    const double theta = nearestPi - (double(2 * i) * nearestPi) / double(n);
    cornerY[i] = double(polygonRadius) * std::cos(theta) + 240.0;
    cornerX[i] = 320.0 - double(polygonRadius) * std::sin(theta);
  }
  if (n == 3) {
    contractionRatio = 2.0;
  } else if (n == 4) {
    contractionRatio = 3.0;
  } else {
    const double t = (1 - 2.0 / n) * nearestPi * 2.0 - nearestPi;
    contractionRatio = std::sqrt(2.0 - 2.0 * std::cos(t)) + 2.0;
  }
}

void oraclePlotChaosPoints() {
  for (int i = 1; i < pointsPerRun; ++i) {
    const int k = std::rand() % cornerCount;
    currentX = int(cornerX[k] + (currentX - cornerX[k]) / contractionRatio);
    currentY = int(cornerY[k] + (currentY - cornerY[k]) / contractionRatio);
    putPixel(currentX, currentY, 0, 0, 0);
  }
}
