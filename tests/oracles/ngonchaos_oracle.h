// ngonchaos's drawing step written out literally: a run of the chaos game
// straight on the program-wide current point. (The clear is pixel_oracle's.)
#pragma once

#include "pixel_oracle.h"

// One run at the current N and ratio: pointsPerRun - 1 points, one rand() each.
void oraclePlotChaosPoints();
