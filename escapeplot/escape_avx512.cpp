// Eight orbits per instruction with AVX-512, several vectors in flight so the
// square roots of one vector overlap the multiplications of the others. Each
// lane does the scalar step's operations in the scalar step's order: separate
// multiplications and additions (never fused), one square root, a strict >.
#include "escape_lanes.h"

#if defined(__x86_64__)
#include <immintrin.h>

#pragma GCC target("avx512f")

namespace {

constexpr int width = 8;
constexpr int vectors = 4;

// A full-mask square root: the same instruction as _mm512_sqrt_pd, whose
// header form sets off a false -Wmaybe-uninitialized in GCC 12.
inline __m512d squareRoot(__m512d a) { return _mm512_maskz_sqrt_pd(0xFF, a); }

}  // namespace

void drawLanesAvx512() {
  EscapeLanes lanes;
  startLanes(lanes, width * vectors);
  const __m512d two = _mm512_set1_pd(2.0);
  const __m512d one = _mm512_set1_pd(1.0);
  const __m512d zero = _mm512_setzero_pd();
  while (lanes.busy > 0) {
    __m512d zr[vectors], zi[vectors], cr[vectors], ci[vectors], radius[vectors], left[vectors];
    __mmask8 out[vectors], ended[vectors];
#pragma GCC unroll 4
    for (int v = 0; v < vectors; ++v) {
      zr[v] = _mm512_load_pd(lanes.zr + width * v);
      zi[v] = _mm512_load_pd(lanes.zi + width * v);
      cr[v] = _mm512_load_pd(lanes.cr + width * v);
      ci[v] = _mm512_load_pd(lanes.ci + width * v);
      radius[v] = _mm512_load_pd(lanes.radius + width * v);
      left[v] = _mm512_load_pd(lanes.stepsLeft + width * v);
    }
    for (;;) {
      unsigned any = 0;
#pragma GCC unroll 4
      for (int v = 0; v < vectors; ++v) {
        const __m512d t = zr[v];
        zr[v] = _mm512_add_pd(_mm512_sub_pd(_mm512_mul_pd(zr[v], zr[v]), _mm512_mul_pd(zi[v], zi[v])), cr[v]);
        zi[v] = _mm512_add_pd(_mm512_mul_pd(_mm512_mul_pd(two, zi[v]), t), ci[v]);
        const __m512d size =
            squareRoot(_mm512_add_pd(_mm512_mul_pd(zr[v], zr[v]), _mm512_mul_pd(zi[v], zi[v])));
        out[v] = _mm512_cmp_pd_mask(size, radius[v], _CMP_GT_OQ);
        left[v] = _mm512_sub_pd(left[v], one);
        ended[v] = _mm512_cmp_pd_mask(left[v], zero, _CMP_EQ_OQ);
        any |= out[v] | ended[v];
      }
      if (any != 0) break;
    }
    uint32_t decided = 0;
    uint32_t escaped = 0;
#pragma GCC unroll 4
    for (int v = 0; v < vectors; ++v) {
      _mm512_store_pd(lanes.zr + width * v, zr[v]);
      _mm512_store_pd(lanes.zi + width * v, zi[v]);
      _mm512_store_pd(lanes.stepsLeft + width * v, left[v]);
      decided |= uint32_t(out[v] | ended[v]) << (width * v);
      escaped |= uint32_t(out[v]) << (width * v);
    }
    refillLanes(lanes, decided, escaped);
  }
}

#endif
