#include "escape_lanes.h"
#include "escapeplot.h"
#include "pixel_surface.h"

int iterationLimit = 1;
int renderPath = renderScalar;

namespace {

// With no step allowed no orbit can escape.
void drawAllBlack() {
  for (int x = 0; x < 640; ++x)
    for (int y = 0; y < 480; ++y) putPixel(x, y, 0, 0, 0);
}

}  // namespace

void drawEscapeImage() {
  if (iterationLimit < 1) {
    drawAllBlack();
    return;
  }
  switch (renderPath) {
#if defined(__x86_64__)
    case renderSse2:
      drawLanesSse2();
      return;
    case renderAvx2:
      drawLanesAvx2();
      return;
    case renderAvx512:
      drawLanesAvx512();
      return;
#endif
    default:
      drawLanesScalar();
  }
}
