// tetrachaos's figure written out literally: the layout with its decimal
// constants, sin and cos per point, the white clear one putPixel at a time,
// column by column.
#pragma once

#include "pixel_oracle.h"

// The edge, corners, current point and projection centre for the canvas
// size, into the program-wide variables the drawing reads; no drawing.
void oracleLayoutTetrahedron();

void oraclePlotModelPoint(int x, int y, int z);
void oraclePlayChaosGame(int count);
// One frame's drawing step: the clear and a batch of points.
void oracleDrawFrameContents(int count);
// The turn angle after one more frame at the given period.
double oracleNextTurnAngle(double angle, double period);
