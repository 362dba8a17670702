// The portable path: four orbits stepped side by side in plain C++, so that
// the processor can overlap their chains of multiplications and additions. A
// lane whose pixel is decided writes it and takes the next pixel at once.
#include <limits>

#include "escape_lanes.h"
#include "escapeplot.h"

namespace {

constexpr int laneCount = 4;

// The orbit one lane follows. An idle lane (pixel -1) orbits c = 0, which
// never leaves radius 2 and never runs out of steps.
struct Orbit {
  double zr, zi, cr, ci, radius, left;
  int pixel;
};

int nextPixel = 0;

// Returns false when the image has no pixel left and the lane goes idle.
bool startOrbit(Orbit& orbit) {
  if (nextPixel == imagePixels) {
    orbit = Orbit{0.0, 0.0, 0.0, 0.0, 2.0, std::numeric_limits<double>::infinity(), -1};
    return false;
  }
  const int pixel = nextPixel++;
  const double cr = columnReal[pixel % imageWidth];
  const double ci = rowImaginary[pixel / imageWidth];
  const double size = modulus(cr, ci);
  orbit = Orbit{0.0, 0.0, cr, ci, size > 2.0 ? size : 2.0, double(iterationLimit), pixel};
  return true;
}

}  // namespace

void drawLanesScalar() {
  prepareImage();
  nextPixel = 0;
  Orbit orbits[laneCount];
  int busy = 0;
  for (Orbit& orbit : orbits) busy += startOrbit(orbit);
  while (busy > 0) {
#pragma GCC unroll 4
    for (int lane = 0; lane < laneCount; ++lane) {
      Orbit& o = orbits[lane];
      const double t = o.zr;
      o.zr = (o.zr * o.zr - o.zi * o.zi) + o.cr;
      o.zi = ((2.0 * o.zi) * t) + o.ci;
      o.left -= 1.0;
      const bool out = modulus(o.zr, o.zi) > o.radius;
      if (out || o.left == 0.0) {
        plotPixel(o.pixel, out);
        busy -= !startOrbit(o);
      }
    }
  }
}
