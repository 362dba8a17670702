// ngonchaos's figure written out literally: the polygon's corners and ratio
// for the current N, and a run of the chaos game straight on the program-wide
// current point. (The clear is pixel_oracle's.)
#pragma once

#include "pixel_oracle.h"

// The corners of the regular N-gon about the canvas centre and the
// contraction ratio, into the program-wide tables the run reads; no drawing.
void oracleLayoutPolygon();

// One run at the current N and ratio: pointsPerRun - 1 points, one rand() each.
void oraclePlotChaosPoints();
