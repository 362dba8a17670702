// Four orbits per instruction with 256-bit vectors, several vectors in flight.
// Each lane does the scalar step's operations in the scalar step's order:
// separate multiplications and additions (never fused), one square root, a
// strict >.
#include "escape_lanes.h"

#if defined(__x86_64__)
#include <immintrin.h>

#pragma GCC target("avx2")

namespace {

constexpr int width = 4;
constexpr int vectors = 4;

}  // namespace

void drawLanesAvx2() {
  EscapeLanes lanes;
  startLanes(lanes, width * vectors);
  const __m256d two = _mm256_set1_pd(2.0);
  const __m256d one = _mm256_set1_pd(1.0);
  const __m256d zero = _mm256_setzero_pd();
  while (lanes.busy > 0) {
    __m256d zr[vectors], zi[vectors], left[vectors], out[vectors], ended[vectors];
#pragma GCC unroll 4
    for (int v = 0; v < vectors; ++v) {
      zr[v] = _mm256_load_pd(lanes.zr + width * v);
      zi[v] = _mm256_load_pd(lanes.zi + width * v);
      left[v] = _mm256_load_pd(lanes.stepsLeft + width * v);
    }
    for (;;) {
      __m256d any = zero;
#pragma GCC unroll 4
      for (int v = 0; v < vectors; ++v) {
        const __m256d cr = _mm256_load_pd(lanes.cr + width * v);
        const __m256d ci = _mm256_load_pd(lanes.ci + width * v);
        const __m256d radius = _mm256_load_pd(lanes.radius + width * v);
        const __m256d t = zr[v];
        zr[v] = _mm256_add_pd(_mm256_sub_pd(_mm256_mul_pd(zr[v], zr[v]), _mm256_mul_pd(zi[v], zi[v])), cr);
        zi[v] = _mm256_add_pd(_mm256_mul_pd(_mm256_mul_pd(two, zi[v]), t), ci);
        const __m256d size =
            _mm256_sqrt_pd(_mm256_add_pd(_mm256_mul_pd(zr[v], zr[v]), _mm256_mul_pd(zi[v], zi[v])));
        out[v] = _mm256_cmp_pd(size, radius, _CMP_GT_OQ);
        left[v] = _mm256_sub_pd(left[v], one);
        ended[v] = _mm256_cmp_pd(left[v], zero, _CMP_EQ_OQ);
        any = _mm256_or_pd(any, _mm256_or_pd(out[v], ended[v]));
      }
      if (_mm256_movemask_pd(any) != 0) break;
    }
    uint32_t decided = 0;
    uint32_t escaped = 0;
#pragma GCC unroll 4
    for (int v = 0; v < vectors; ++v) {
      _mm256_store_pd(lanes.zr + width * v, zr[v]);
      _mm256_store_pd(lanes.zi + width * v, zi[v]);
      _mm256_store_pd(lanes.stepsLeft + width * v, left[v]);
      decided |= uint32_t(_mm256_movemask_pd(_mm256_or_pd(out[v], ended[v]))) << (width * v);
      escaped |= uint32_t(_mm256_movemask_pd(out[v])) << (width * v);
    }
    refillLanes(lanes, decided, escaped);
  }
}

#endif
