// The orbit loop of the SSE2 and AVX2 paths, written once over a vector of
// doubles. The file that includes it compiles it for its own instruction set
// and first defines `width`, the type `Vector` of that many doubles, and these
// operations on it:
//   broadcast(value), loadVector(address), storeVector(address, v),
//   lanesOf(mask) (all ones in the lanes of mask);
//   squareRoot, greater, equal, both, either, andNot, select, signs (one bit
//   per lane);
//   expandLoad(old, lanes, mask, source): lane i of mask takes source[j] where
//     j counts the lanes of mask below i, the other lanes keep old;
//   compressStore(destination, mask, values): the lanes of mask, in order, to
//     the start of destination (width doubles are written).
// +, - and * are the compiler's own lane-wise operations on these types.
// Each lane does the scalar step's operations in the scalar step's order:
// separate multiplications and additions (never fused), one square root, a
// strict >. A lane whose pixel is decided takes the next pixel through these
// expanding loads, so the other vectors never stop for a refill, and the
// lanes are settled every second step: a lane decided by the first of the two
// steps keeps that step's decision and its second step is thrown away.
#pragma once

#include <limits>

#include "escape_lanes.h"
#include "escapeplot.h"

namespace {

constexpr int vectors = 4;
constexpr int recordSize = 256;
constexpr int padding = 8;  // so whole-vector loads near the end of a row stay inside

// Lanes in each mask of up to four bits.
constexpr int laneCount[16] = {0, 1, 1, 2, 1, 2, 2, 3, 1, 2, 2, 3, 2, 3, 3, 4};

// The pixels still to hand out, row by row, and the decided pixels not yet
// written (each as pixel * 2, plus 1 when it escaped).
struct VectorQueue {
  int row;
  int column;
  alignas(64) double real[imageWidth + padding];    // real part of each column
  alignas(64) double index[imageWidth + padding];   // each column's number
  alignas(64) double pixel[imageWidth + padding];   // pixel number of each column of the row
  alignas(64) double radius[imageWidth + padding];  // escape radius of each column of the row
  alignas(64) double decided[recordSize];
  int decidedCount;
};

// The orbits of one vector of lanes. An idle lane holds pixel -1 and c = 0,
// which never leaves radius 2 and never runs out of steps.
struct VectorOrbits {
  Vector zr, zi, cr, ci, radius, left, pixel;
};

// R = modulus(c) where that exceeds 2, else 2, for every column of the row.
void startRow(VectorQueue& queue, int row) {
  queue.row = row;
  queue.column = 0;
  if (row == imageHeight) return;
  const Vector ci = broadcast(rowImaginary[row]);
  const Vector first = broadcast(double(row * imageWidth));
  const Vector two = broadcast(2.0);
  for (int x = 0; x < imageWidth; x += width) {
    const Vector cr = loadVector(queue.real + x);
    const Vector size = squareRoot(cr * cr + ci * ci);
    storeVector(queue.radius + x, select(greater(size, two), size, two));
    storeVector(queue.pixel + x, first + loadVector(queue.index + x));
  }
}

void startQueue(VectorQueue& queue) {
  for (int x = 0; x < imageWidth + padding; ++x) {
    queue.real[x] = x < imageWidth ? columnReal[x] : 0.0;
    queue.index[x] = double(x);
    queue.pixel[x] = queue.radius[x] = 0.0;  // the padding keeps these zeros
  }
  queue.decidedCount = 0;
  startRow(queue, 0);
}

// The lanes of mask start the next pixels of the current row; the caller makes
// sure the row has that many left.
inline void takeFromRow(VectorQueue& queue, VectorOrbits& o, Vector lanes, int mask, Vector limit) {
  o.pixel = expandLoad(o.pixel, lanes, mask, queue.pixel + queue.column);
  o.cr = expandLoad(o.cr, lanes, mask, queue.real + queue.column);
  o.radius = expandLoad(o.radius, lanes, mask, queue.radius + queue.column);
  o.ci = select(lanes, broadcast(rowImaginary[queue.row]), o.ci);
  o.zr = andNot(lanes, o.zr);
  o.zi = andNot(lanes, o.zi);
  o.left = select(lanes, limit, o.left);
  queue.column += laneCount[mask];
  if (queue.column == imageWidth) startRow(queue, queue.row + 1);
}

inline void idle(VectorOrbits& o, Vector lanes) {
  o.pixel = select(lanes, broadcast(-1.0), o.pixel);
  o.zr = andNot(lanes, o.zr);
  o.zi = andNot(lanes, o.zi);
  o.cr = andNot(lanes, o.cr);
  o.ci = andNot(lanes, o.ci);
  o.radius = select(lanes, broadcast(2.0), o.radius);
  o.left = select(lanes, broadcast(std::numeric_limits<double>::infinity()), o.left);
}

// Across the end of a row, or of the image: lane by lane.
void takeSlowly(VectorQueue& queue, VectorOrbits& o, int mask, Vector limit) {
  while (mask != 0) {
    if (queue.row == imageHeight) {
      idle(o, lanesOf(mask));
      return;
    }
    const int lane = mask & -mask;
    takeFromRow(queue, o, lanesOf(lane), lane, limit);
    mask &= mask - 1;
  }
}

inline void take(VectorQueue& queue, VectorOrbits& o, Vector lanes, int mask, Vector limit) {
  if (queue.row < imageHeight && laneCount[mask] <= imageWidth - queue.column)
    takeFromRow(queue, o, lanes, mask, limit);
  else
    takeSlowly(queue, o, mask, limit);
}

// One orbit step on every lane: the lanes whose orbit leaves the radius are
// set in out, those that have used up their steps in ended.
inline void advance(VectorOrbits& o, Vector& out, Vector& ended) {
  const Vector t = o.zr;
  o.zr = (o.zr * o.zr - o.zi * o.zi) + o.cr;
  o.zi = ((broadcast(2.0) * o.zi) * t) + o.ci;
  out = greater(squareRoot(o.zr * o.zr + o.zi * o.zi), o.radius);
  o.left = o.left - broadcast(1.0);
  ended = equal(o.left, broadcast(0.0));
}

// Two orbit steps on every lane; the lanes decided by either are recorded and
// start the next pixels. With two or four lanes most pairs of steps decide
// nothing, and skipping the bookkeeping then is worth the mispredicted
// branches when they do.
inline void stepTwice(VectorQueue& queue, VectorOrbits& o, Vector limit) {
  Vector out1, ended1, out2, ended2;
  advance(o, out1, ended1);
  advance(o, out2, ended2);
  const Vector first = either(out1, ended1);
  const Vector decided = either(first, either(out2, ended2));
  const Vector escaped = either(out1, andNot(first, out2));
  const int mask = signs(decided);
  if (mask == 0) return;
  const Vector code = (o.pixel + o.pixel) + both(escaped, broadcast(1.0));
  compressStore(queue.decided + queue.decidedCount, mask, code);
  queue.decidedCount += laneCount[mask];
  take(queue, o, decided, mask, limit);
}

bool allIdle(const VectorOrbits (&o)[vectors]) {
  for (const VectorOrbits& orbits : o)
    if (signs(equal(orbits.pixel, broadcast(-1.0))) != (1 << width) - 1) return false;
  return true;
}

void drawVectorLanes() {
  prepareImage();
  VectorQueue queue;
  startQueue(queue);
  const Vector limit = broadcast(double(iterationLimit));
  const Vector all = lanesOf((1 << width) - 1);
  VectorOrbits o[vectors]{};
  for (VectorOrbits& orbits : o) {
    idle(orbits, all);
    take(queue, orbits, all, (1 << width) - 1, limit);
  }
  for (;;) {
#pragma GCC unroll 4
    for (int v = 0; v < vectors; ++v) stepTwice(queue, o[v], limit);
    if (queue.decidedCount > recordSize - width * vectors) {
      plotPixels(queue.decided, queue.decidedCount);
      queue.decidedCount = 0;
    }
    if (queue.row == imageHeight && allIdle(o)) break;
  }
  plotPixels(queue.decided, queue.decidedCount);
}

}  // namespace
