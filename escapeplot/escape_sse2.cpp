// Two orbits per instruction with SSE2, which every x86-64 has, several
// vectors in flight. Each lane does the scalar step's operations in the scalar
// step's order: separate multiplications and additions (never fused), one
// square root, a strict >.
#include "escape_lanes.h"

#if defined(__x86_64__)
#include <emmintrin.h>

namespace {

constexpr int width = 2;
constexpr int vectors = 4;

}  // namespace

void drawLanesSse2() {
  EscapeLanes lanes;
  startLanes(lanes, width * vectors);
  const __m128d two = _mm_set1_pd(2.0);
  const __m128d one = _mm_set1_pd(1.0);
  const __m128d zero = _mm_setzero_pd();
  while (lanes.busy > 0) {
    __m128d zr[vectors], zi[vectors], left[vectors], out[vectors], ended[vectors];
#pragma GCC unroll 4
    for (int v = 0; v < vectors; ++v) {
      zr[v] = _mm_load_pd(lanes.zr + width * v);
      zi[v] = _mm_load_pd(lanes.zi + width * v);
      left[v] = _mm_load_pd(lanes.stepsLeft + width * v);
    }
    for (;;) {
      __m128d any = zero;
#pragma GCC unroll 4
      for (int v = 0; v < vectors; ++v) {
        const __m128d cr = _mm_load_pd(lanes.cr + width * v);
        const __m128d ci = _mm_load_pd(lanes.ci + width * v);
        const __m128d radius = _mm_load_pd(lanes.radius + width * v);
        const __m128d t = zr[v];
        zr[v] = _mm_add_pd(_mm_sub_pd(_mm_mul_pd(zr[v], zr[v]), _mm_mul_pd(zi[v], zi[v])), cr);
        zi[v] = _mm_add_pd(_mm_mul_pd(_mm_mul_pd(two, zi[v]), t), ci);
        const __m128d size =
            _mm_sqrt_pd(_mm_add_pd(_mm_mul_pd(zr[v], zr[v]), _mm_mul_pd(zi[v], zi[v])));
        out[v] = _mm_cmpgt_pd(size, radius);
        left[v] = _mm_sub_pd(left[v], one);
        ended[v] = _mm_cmpeq_pd(left[v], zero);
        any = _mm_or_pd(any, _mm_or_pd(out[v], ended[v]));
      }
      if (_mm_movemask_pd(any) != 0) break;
    }
    uint32_t decided = 0;
    uint32_t escaped = 0;
#pragma GCC unroll 4
    for (int v = 0; v < vectors; ++v) {
      _mm_store_pd(lanes.zr + width * v, zr[v]);
      _mm_store_pd(lanes.zi + width * v, zi[v]);
      _mm_store_pd(lanes.stepsLeft + width * v, left[v]);
      decided |= uint32_t(_mm_movemask_pd(_mm_or_pd(out[v], ended[v]))) << (width * v);
      escaped |= uint32_t(_mm_movemask_pd(out[v])) << (width * v);
    }
    refillLanes(lanes, decided, escaped);
  }
}

#endif
