// Where tetrachaos's figure may have points at a turn angle: the convex hull
// of its four corners projected as the program projects points (the hull of
// a tetrahedron's projection is the whole projection).
#pragma once

#include <array>
#include <cmath>
#include <utility>

#include "tetrachaos.h"

using ScreenCorners = std::array<std::pair<double, double>, 4>;

// Screen corners of the tetrahedron at angle theta, from the current layout.
inline ScreenCorners projectedCorners(double theta) {
  ScreenCorners out;
  for (size_t i = 0; i < 4; ++i) {
    const ModelPoint& c = corners[i];
    const double u = c[0] * std::cos(theta) - c[1] * std::sin(theta);
    const double v = c[0] * std::sin(theta) + c[1] * std::cos(theta);
    out[i] = {u + centreX - v * (depthScale * std::cos(projectionAngle)),
              centreY - c[2] + v * (depthScale * std::sin(projectionAngle))};
  }
  return out;
}

// Inside the convex hull of the four corners, within a pixel and a half.
inline bool nearHull(const ScreenCorners& c, double x, double y) {
  for (size_t i = 0; i < 4; ++i)
    for (size_t j = 0; j < 4; ++j) {
      if (i == j) continue;
      // An edge of the hull has all four corners on one side.
      const double ex = c[j].first - c[i].first, ey = c[j].second - c[i].second;
      int sides = 0;
      for (size_t k = 0; k < 4; ++k) {
        const double cross = ex * (c[k].second - c[i].second) - ey * (c[k].first - c[i].first);
        if (cross > 1e-9) ++sides;
        if (cross < -1e-9) sides += 10;
      }
      if (sides != 0 && sides % 10 != 0 && sides / 10 != 0) continue;  // not an edge
      const double sign = sides >= 10 ? -1 : 1;
      const double distance = sign * (ex * (y - c[i].second) - ey * (x - c[i].first)) / std::hypot(ex, ey);
      if (distance < -1.5) return false;
    }
  return true;
}
