// The portable path: four orbits stepped side by side in plain C++, so that
// the processor can overlap their chains of multiplications and additions.
#include "escape_lanes.h"
#include "escapeplot.h"

namespace {
constexpr int laneCount = 4;
}

void drawLanesScalar() {
  EscapeLanes lanes;
  startLanes(lanes, laneCount);
  while (lanes.busy > 0) {
    uint32_t decided = 0;
    uint32_t escaped = 0;
    while (decided == 0) {
      for (int lane = 0; lane < laneCount; ++lane) {
        const double t = lanes.zr[lane];
        const double zi = lanes.zi[lane];
        lanes.zr[lane] = (t * t - zi * zi) + lanes.cr[lane];
        lanes.zi[lane] = ((2.0 * zi) * t) + lanes.ci[lane];
        lanes.stepsLeft[lane] -= 1.0;
        const bool out = modulus(lanes.zr[lane], lanes.zi[lane]) > lanes.radius[lane];
        escaped |= uint32_t(out) << lane;
        decided |= uint32_t(out || lanes.stepsLeft[lane] == 0.0) << lane;
      }
    }
    refillLanes(lanes, decided, escaped);
  }
}
