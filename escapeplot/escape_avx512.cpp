// Eight orbits per instruction with AVX-512, four vectors in flight so the
// square roots of one vector overlap the multiplications of the others. Each
// lane does the scalar step's operations in the scalar step's order: separate
// multiplications and additions (never fused), one square root, a strict >.
// A lane whose pixel is decided takes the next pixel through masked expanding
// loads, so the vectors never stop to refill. The lanes are settled every
// second step: a lane decided by the first of the two steps keeps the
// decision of that step and its second step is thrown away, which costs less
// than settling after every step.
#include "escape_lanes.h"

#if defined(__x86_64__)
#include <immintrin.h>

#include <cstdint>
#include <limits>

#include "escapeplot.h"

#pragma GCC target("avx512f,popcnt")

namespace {

constexpr int width = 8;
constexpr int vectors = 4;
constexpr int recordSize = 256;

// The pixels still to hand out, row by row, and the decided pixels not yet
// written (each as pixel * 2, plus 1 when it escaped).
struct PixelQueue {
  int row;
  int column;
  alignas(64) double radius[imageWidth];  // escape radius of each column of the row
  alignas(64) int64_t decided[recordSize];
  int decidedCount;
};

// The orbits of one vector of lanes. An idle lane holds pixel -1 and c = 0,
// which never leaves radius 2 and never runs out of steps.
struct Orbits {
  __m512d zr, zi, cr, ci, radius, left;
  __m512i pixel;
};

// R = modulus(c) where that exceeds 2, else 2, for every column of the row.
void startRow(PixelQueue& queue, int row) {
  queue.row = row;
  queue.column = 0;
  if (row == imageHeight) return;
  const __m512d ci = _mm512_set1_pd(rowImaginary[row]);
  const __m512d two = _mm512_set1_pd(2.0);
  for (int x = 0; x < imageWidth; x += width) {
    const __m512d cr = _mm512_loadu_pd(columnReal.data() + x);
    const __m512d size = _mm512_maskz_sqrt_pd(0xFF, _mm512_add_pd(_mm512_mul_pd(cr, cr), _mm512_mul_pd(ci, ci)));
    _mm512_store_pd(queue.radius + x, _mm512_mask_blend_pd(_mm512_cmp_pd_mask(size, two, _CMP_GT_OQ), two, size));
  }
}

void writeDecided(PixelQueue& queue) {
  plotPixels(queue.decided, queue.decidedCount);
  queue.decidedCount = 0;
}

// The lanes in take start the next pixels of the current row; the caller
// makes sure the row has that many left.
inline void takeFromRow(PixelQueue& queue, Orbits& o, __mmask8 take, __m512d limit) {
  const __m512i lanes = _mm512_set_epi64(7, 6, 5, 4, 3, 2, 1, 0);
  const __m512i first = _mm512_set1_epi64(int64_t(queue.row) * imageWidth + queue.column);
  o.pixel = _mm512_mask_expand_epi64(o.pixel, take, _mm512_add_epi64(first, lanes));
  o.cr = _mm512_mask_expandloadu_pd(o.cr, take, columnReal.data() + queue.column);
  o.radius = _mm512_mask_expandloadu_pd(o.radius, take, queue.radius + queue.column);
  o.ci = _mm512_mask_mov_pd(o.ci, take, _mm512_set1_pd(rowImaginary[queue.row]));
  o.zr = _mm512_mask_mov_pd(o.zr, take, _mm512_setzero_pd());
  o.zi = _mm512_mask_mov_pd(o.zi, take, _mm512_setzero_pd());
  o.left = _mm512_mask_mov_pd(o.left, take, limit);
  queue.column += _mm_popcnt_u32(take);
  if (queue.column == imageWidth) startRow(queue, queue.row + 1);
}

void idle(Orbits& o, __mmask8 lanes) {
  o.pixel = _mm512_mask_mov_epi64(o.pixel, lanes, _mm512_set1_epi64(-1));
  o.zr = _mm512_mask_mov_pd(o.zr, lanes, _mm512_setzero_pd());
  o.zi = _mm512_mask_mov_pd(o.zi, lanes, _mm512_setzero_pd());
  o.cr = _mm512_mask_mov_pd(o.cr, lanes, _mm512_setzero_pd());
  o.ci = _mm512_mask_mov_pd(o.ci, lanes, _mm512_setzero_pd());
  o.radius = _mm512_mask_mov_pd(o.radius, lanes, _mm512_set1_pd(2.0));
  o.left = _mm512_mask_mov_pd(o.left, lanes, _mm512_set1_pd(std::numeric_limits<double>::infinity()));
}

// Across the end of a row, or of the image: lane by lane.
void takeSlowly(PixelQueue& queue, Orbits& o, __mmask8 take, __m512d limit) {
  while (take != 0) {
    if (queue.row == imageHeight) {
      idle(o, take);
      return;
    }
    const __mmask8 lane = take & -take;
    takeFromRow(queue, o, lane, limit);
    take &= take - 1;
  }
}

inline void take(PixelQueue& queue, Orbits& o, __mmask8 lanes, __m512d limit) {
  if (queue.row < imageHeight && _mm_popcnt_u32(lanes) <= imageWidth - queue.column)
    takeFromRow(queue, o, lanes, limit);
  else
    takeSlowly(queue, o, lanes, limit);
}

// One orbit step on every lane: the lanes whose orbit leaves the radius go to
// out, those that have used up their steps to ended.
inline void advance(Orbits& o, __mmask8& out, __mmask8& ended) {
  const __m512d two = _mm512_set1_pd(2.0);
  const __m512d t = o.zr;
  o.zr = _mm512_add_pd(_mm512_sub_pd(_mm512_mul_pd(o.zr, o.zr), _mm512_mul_pd(o.zi, o.zi)), o.cr);
  o.zi = _mm512_add_pd(_mm512_mul_pd(_mm512_mul_pd(two, o.zi), t), o.ci);
  const __m512d size =
      _mm512_maskz_sqrt_pd(0xFF, _mm512_add_pd(_mm512_mul_pd(o.zr, o.zr), _mm512_mul_pd(o.zi, o.zi)));
  out = _mm512_cmp_pd_mask(size, o.radius, _CMP_GT_OQ);
  o.left = _mm512_sub_pd(o.left, _mm512_set1_pd(1.0));
  ended = _mm512_cmp_pd_mask(o.left, _mm512_setzero_pd(), _CMP_EQ_OQ);
}

// Records the pixels of the lanes in decided (white for those in escaped) and
// gives those lanes the next pixels.
inline void settle(PixelQueue& queue, Orbits& o, __mmask8 decided, __mmask8 escaped, __m512d limit) {
  __m512i code = _mm512_add_epi64(o.pixel, o.pixel);
  code = _mm512_mask_or_epi64(code, escaped, code, _mm512_set1_epi64(1));
  _mm512_storeu_si512(queue.decided + queue.decidedCount, _mm512_maskz_compress_epi64(decided, code));
  queue.decidedCount += _mm_popcnt_u32(decided);
  take(queue, o, decided, limit);
}

// Two orbit steps on every lane, then the lanes decided by either are settled.
inline void stepTwice(PixelQueue& queue, Orbits& o, __m512d limit) {
  __mmask8 out1, ended1, out2, ended2;
  advance(o, out1, ended1);
  advance(o, out2, ended2);
  const __mmask8 first = out1 | ended1;
  settle(queue, o, first | out2 | ended2, out1 | (out2 & ~first), limit);
}

bool allIdle(const Orbits (&o)[vectors]) {
  for (const Orbits& orbits : o)
    if (_mm512_cmp_epi64_mask(orbits.pixel, _mm512_setzero_si512(), _MM_CMPINT_LT) != 0xFF) return false;
  return true;
}

}  // namespace

void drawLanesAvx512() {
  prepareImage();
  PixelQueue queue;
  queue.decidedCount = 0;
  startRow(queue, 0);
  const __m512d limit = _mm512_set1_pd(double(iterationLimit));
  Orbits o[vectors]{};
  for (Orbits& orbits : o) {
    idle(orbits, 0xFF);
    take(queue, orbits, 0xFF, limit);
  }
  for (;;) {
#pragma GCC unroll 4
    for (int v = 0; v < vectors; ++v) stepTwice(queue, o[v], limit);
    if (queue.decidedCount > recordSize - width * vectors) writeDecided(queue);
    if (queue.row == imageHeight && allIdle(o)) break;
  }
  writeDecided(queue);
}

#endif
