// The pixel queue behind the vector renderers. Each lane follows the orbit of
// one pixel; once a lane's pixel is decided it is written and the lane takes
// the next pixel of the image, so an image costs steps only for pixels that are
// still iterating.
#pragma once

#include <cstdint>

constexpr int maxLanes = 32;

// One orbit per lane, laid out so that a vector load picks up adjacent lanes.
struct EscapeLanes {
  alignas(64) double zr[maxLanes];
  alignas(64) double zi[maxLanes];
  alignas(64) double cr[maxLanes];
  alignas(64) double ci[maxLanes];
  alignas(64) double radius[maxLanes];
  alignas(64) double stepsLeft[maxLanes];  // steps the lane may still take
  int pixel[maxLanes];
  int busy;  // lanes that still follow a pixel; the others idle harmlessly
};

// Starts a new image: maps the two colours, sets up the row and column values
// and gives each of the first laneCount lanes a pixel.
void startLanes(EscapeLanes& lanes, int laneCount);

// Lanes whose bit is set in decided have finished their pixel: white if the
// lane's bit is also set in escaped, black otherwise. Each of them writes its
// pixel and takes the next one, or idles when none are left.
void refillLanes(EscapeLanes& lanes, uint32_t decided, uint32_t escaped);

void drawLanesScalar();
#if defined(__x86_64__)
void drawLanesSse2();
void drawLanesAvx2();
void drawLanesAvx512();
#endif
