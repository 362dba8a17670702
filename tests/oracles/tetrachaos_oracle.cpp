#include "tetrachaos_oracle.h"

#include <cmath>
#include <cstdlib>

#include "pixel_surface.h"
#include "tetrachaos.h"

void oracleLayoutTetrahedron() {
  const int w = canvasWidth;
  const int h = canvasHeight;
  const double a = (h - 70) * 0.9797958973;
  const int s = a < w - 30 ? int(a) : w - 30;
  edgeLength = s;
  corners[0] = {s / 2, int(s * -0.2886751), 0};
  corners[1] = {(-s) / 2, int(s * -0.2886751), 0};
  corners[2] = {0, int(s * 0.57735027), 0};
  corners[3] = {0, 0, int(s * 0.8164965809)};
  currentPoint = corners[0];
  centreX = int(w * 0.5) - int(s * 0.102062);
  centreY = int((h - 40) * 0.5) + int(s * 0.3061862178);
}

void oraclePlotModelPoint(int x, int y, int z) {
  const double theta = turnAngle;
  const int u = int(x * std::cos(theta) - y * std::sin(theta) + 0.5);
  const int v = int(x * std::sin(theta) + y * std::cos(theta) + 0.5);
  const double d = depthScale;
  const double p = projectionAngle;
  const int screenX = int(double(u + centreX) - v * (d * std::cos(p)));
  const int screenY = int(double(centreY - z) + v * (d * std::sin(p)));
  putPixel(screenX, screenY, 0, 0, 0);
}

void oraclePlayChaosGame(int count) {
  for (int i = 0; i < count; ++i) {
    const int k = std::rand() % 4;
    currentPoint[0] = (currentPoint[0] + corners[k][0]) / 2;
    currentPoint[1] = (currentPoint[1] + corners[k][1]) / 2;
    currentPoint[2] = (currentPoint[2] + corners[k][2]) / 2;
    oraclePlotModelPoint(currentPoint[0], currentPoint[1], currentPoint[2]);
  }
}

void oracleDrawFrameContents(int count) {
  oracleFillWhite();
  oraclePlayChaosGame(count);
}

double oracleNextTurnAngle(double angle, double period) {
  angle = angle + ((1 / 25.0) * 2 * 3.14159286) / period;
  if (angle > 6.28318572) angle = angle - 6.28318572;
  return angle;
}
