// Eight orbits per instruction with AVX-512, four vectors in flight so the
// square roots of one vector overlap the multiplications of the others. Each
// lane does the scalar step's operations in the scalar step's order: separate
// multiplications and additions (never fused), one square root, a strict >.
// A lane whose pixel is decided takes the next pixel within the same step,
// through masked expanding loads, so the vectors never stop to refill.
#include "escape_lanes.h"

#if defined(__x86_64__)
#include <immintrin.h>

#include <limits>

#include "escapeplot.h"

#pragma GCC target("avx512f,popcnt")

namespace {

constexpr int width = 8;
constexpr int vectors = 4;
constexpr int recordSize = 256;

// The pixels still to hand out, column by column, and the decided pixels not
// yet written (each as pixel * 2, plus 1 when it escaped).
struct PixelQueue {
  int column;
  int row;
  alignas(64) double radius[imageHeight];  // escape radius of each row of the column
  alignas(64) int64_t decided[recordSize];
  int decidedCount;
};

// The orbits of one vector of lanes. An idle lane holds pixel -1 and c = 0,
// which never leaves radius 2 and never runs out of steps.
struct Orbits {
  __m512d zr, zi, cr, ci, radius, left;
  __m512i pixel;
};

// R = modulus(c) where that exceeds 2, else 2, for every row of the column.
void startColumn(PixelQueue& queue, int column) {
  queue.column = column;
  queue.row = 0;
  if (column == imageWidth) return;
  const __m512d cr = _mm512_set1_pd(columnReal[column]);
  const __m512d two = _mm512_set1_pd(2.0);
  for (int y = 0; y < imageHeight; y += width) {
    const __m512d ci = _mm512_loadu_pd(rowImaginary.data() + y);
    const __m512d size = _mm512_maskz_sqrt_pd(0xFF, _mm512_add_pd(_mm512_mul_pd(cr, cr), _mm512_mul_pd(ci, ci)));
    _mm512_store_pd(queue.radius + y, _mm512_mask_blend_pd(_mm512_cmp_pd_mask(size, two, _CMP_GT_OQ), two, size));
  }
}

void writeDecided(PixelQueue& queue) {
  for (int i = 0; i < queue.decidedCount; ++i) plotPixel(int(queue.decided[i] >> 1), queue.decided[i] & 1);
  queue.decidedCount = 0;
}

// The lanes in take start the next pixels of the current column; the caller
// makes sure the column has that many left.
inline void takeFromColumn(PixelQueue& queue, Orbits& o, __mmask8 take, __m512d limit) {
  const __m512i lanes = _mm512_set_epi64(7, 6, 5, 4, 3, 2, 1, 0);
  const __m512i first = _mm512_set1_epi64(int64_t(queue.column) * imageHeight + queue.row);
  o.pixel = _mm512_mask_expand_epi64(o.pixel, take, _mm512_add_epi64(first, lanes));
  o.ci = _mm512_mask_expandloadu_pd(o.ci, take, rowImaginary.data() + queue.row);
  o.radius = _mm512_mask_expandloadu_pd(o.radius, take, queue.radius + queue.row);
  o.cr = _mm512_mask_mov_pd(o.cr, take, _mm512_set1_pd(columnReal[queue.column]));
  o.zr = _mm512_mask_mov_pd(o.zr, take, _mm512_setzero_pd());
  o.zi = _mm512_mask_mov_pd(o.zi, take, _mm512_setzero_pd());
  o.left = _mm512_mask_mov_pd(o.left, take, limit);
  queue.row += _mm_popcnt_u32(take);
  if (queue.row == imageHeight) startColumn(queue, queue.column + 1);
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

// Across the end of a column, or of the image: lane by lane.
void takeSlowly(PixelQueue& queue, Orbits& o, __mmask8 take, __m512d limit) {
  while (take != 0) {
    if (queue.column == imageWidth) {
      idle(o, take);
      return;
    }
    const __mmask8 lane = take & -take;
    takeFromColumn(queue, o, lane, limit);
    take &= take - 1;
  }
}

inline void take(PixelQueue& queue, Orbits& o, __mmask8 lanes, __m512d limit) {
  if (queue.column < imageWidth && _mm_popcnt_u32(lanes) <= imageHeight - queue.row)
    takeFromColumn(queue, o, lanes, limit);
  else
    takeSlowly(queue, o, lanes, limit);
}

// One orbit step on every lane; the lanes decided by it are recorded and
// start the next pixels.
inline void step(PixelQueue& queue, Orbits& o, __m512d limit) {
  const __m512d two = _mm512_set1_pd(2.0);
  const __m512d t = o.zr;
  o.zr = _mm512_add_pd(_mm512_sub_pd(_mm512_mul_pd(o.zr, o.zr), _mm512_mul_pd(o.zi, o.zi)), o.cr);
  o.zi = _mm512_add_pd(_mm512_mul_pd(_mm512_mul_pd(two, o.zi), t), o.ci);
  const __m512d size =
      _mm512_maskz_sqrt_pd(0xFF, _mm512_add_pd(_mm512_mul_pd(o.zr, o.zr), _mm512_mul_pd(o.zi, o.zi)));
  const __mmask8 out = _mm512_cmp_pd_mask(size, o.radius, _CMP_GT_OQ);
  o.left = _mm512_sub_pd(o.left, _mm512_set1_pd(1.0));
  const __mmask8 decided = out | _mm512_cmp_pd_mask(o.left, _mm512_setzero_pd(), _CMP_EQ_OQ);
  __m512i code = _mm512_add_epi64(o.pixel, o.pixel);
  code = _mm512_mask_or_epi64(code, out, code, _mm512_set1_epi64(1));
  _mm512_storeu_si512(queue.decided + queue.decidedCount, _mm512_maskz_compress_epi64(decided, code));
  queue.decidedCount += _mm_popcnt_u32(decided);
  take(queue, o, decided, limit);
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
  startColumn(queue, 0);
  const __m512d limit = _mm512_set1_pd(double(iterationLimit));
  Orbits o[vectors];
  for (Orbits& orbits : o) {
    idle(orbits, 0xFF);
    take(queue, orbits, 0xFF, limit);
  }
  for (;;) {
#pragma GCC unroll 4
    for (int v = 0; v < vectors; ++v) step(queue, o[v], limit);
    if (queue.decidedCount > recordSize - width * vectors) writeDecided(queue);
    if (queue.column == imageWidth && allIdle(o)) break;
  }
  writeDecided(queue);
}

#endif
