#include "escapeplot_oracle.h"

#include <cmath>

#include "escapeplot.h"
#include "pixel_surface.h"

double oracleModulus(double re, double im) { return std::sqrt(re * re + im * im); }

namespace {

// The escape-time loop of pixel (x, y) written out literally: the counter k
// as the loop leaves it, below limit exactly when the orbit escaped.
int finalCount(int x, int y, int limit) {
  double zr = 0.0;
  double zi = 0.0;
  const double cr = (x * 3.2) / 640.0 - 2.4;
  const double ci = 1.2 - (y * 2.4) / 480.0;
  double r = 2.0;
  if (oracleModulus(cr, ci) > 2.0) r = oracleModulus(cr, ci);
  int k = 0;
  while (k < limit) {
    const double t = zr;
    zr = (zr * zr - zi * zi) + cr;
    zi = ((2.0 * zi) * t) + ci;
    if (oracleModulus(zr, zi) > r) break;
    k = k + 1;
  }
  return k;
}

}  // namespace

// An escaping orbit also took the step that left the radius.
long long oracleSteps(int x, int y, int limit) {
  const int k = finalCount(x, y, limit);
  return k < limit ? k + 1 : k;
}

bool oracleEscapes(int x, int y, int limit) { return finalCount(x, y, limit) < limit; }

void oracleDrawEscapeImage() {
  for (int x = 0; x < 640; ++x)
    for (int y = 0; y < 480; ++y) {
      if (oracleEscapes(x, y, iterationLimit))
        putPixel(x, y, 255, 255, 255);
      else
        putPixel(x, y, 0, 0, 0);
    }
}

std::vector<uint32_t> oracleWindowImage(int limit) {
  std::vector<uint32_t> image(640 * 480);
  for (int y = 0; y < 480; ++y)
    for (int x = 0; x < 640; ++x) image[size_t(y) * 640 + size_t(x)] = oracleEscapes(x, y, limit) ? 0xFFFFFFu : 0u;
  return image;
}
