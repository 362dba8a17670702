// ngonchaos's drawing steps written out literally: the white clear one
// putPixel at a time, column by column, and a run of the chaos game straight
// on the program-wide current point.
#pragma once

void oracleFillWhite();
// One run at the current N and ratio: pointsPerRun - 1 points, one rand() each.
void oraclePlotChaosPoints();
