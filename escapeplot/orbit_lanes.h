// One orbit step on a vector of lanes, and the few lane operations the
// renderer needs around it, for each instruction set a render path is built
// for: a plain double, SSE2, AVX2, AVX-512, WebAssembly SIMD and AArch64's
// Advanced SIMD (NEON). Masks are each instruction set's own (a bool, a
// compare result, an AVX-512 mask register), so no mask is ever taken apart
// lane by lane.
//
// The vector overloads carry their instruction set as a target; they are
// inlined into the functions that are built for it (flatten), never called
// from baseline code.
#pragma once

#if defined(__x86_64__)
// GCC 12 takes the AVX-512 intrinsics' deliberately undefined operands for
// uninitialised variables once they are inlined.
#pragma GCC diagnostic push
#pragma GCC diagnostic ignored "-Wuninitialized"
#pragma GCC diagnostic ignored "-Wmaybe-uninitialized"
#include <immintrin.h>
#pragma GCC diagnostic pop
#define LANES_AVX2 __attribute__((target("avx2")))
#define LANES_AVX512 __attribute__((target("avx512f")))
#endif
#if defined(__wasm_simd128__)
#include <wasm_simd128.h>
typedef double Simd128Doubles __attribute__((vector_size(16)));
#endif
#if defined(__aarch64__)
// Advanced SIMD is part of every AArch64 processor: no target attribute.
#include <arm_neon.h>
#endif

// A plain double: one lane.
inline double squareRoot(double v) { return __builtin_sqrt(v); }
inline bool greater(double a, double b) { return a > b; }
inline bool lessOrEqual(double a, double b) { return a <= b; }
inline bool either(bool a, bool b) { return a | b; }
inline bool none(bool m) { return !m; }
inline unsigned laneBits(bool m) { return m; }
inline double select(bool m, double yes, double no) { return m ? yes : no; }
// 0 in the lanes of m, the others as they were.
inline double clearLanes(bool m, double v) { return m ? 0.0 : v; }
// The lanes of m take next[0], next[1], ... in lane order; the others keep old.
inline double expandInto(bool m, unsigned, const double* next, double old) { return m ? next[0] : old; }
inline double lowestLane(double v) { return v; }
inline double lanewiseMin(double a, double b) { return a < b ? a : b; }

#if defined(__x86_64__)
inline __m128d squareRoot(__m128d v) { return _mm_sqrt_pd(v); }
inline __m128d greater(__m128d a, __m128d b) { return _mm_cmpgt_pd(a, b); }
inline __m128d lessOrEqual(__m128d a, __m128d b) { return _mm_cmple_pd(a, b); }
inline __m128d either(__m128d a, __m128d b) { return _mm_or_pd(a, b); }
inline bool none(__m128d m) { return _mm_movemask_pd(m) == 0; }
inline unsigned laneBits(__m128d m) { return unsigned(_mm_movemask_pd(m)); }
inline __m128d select(__m128d m, __m128d yes, __m128d no) {
  return _mm_or_pd(_mm_and_pd(m, yes), _mm_andnot_pd(m, no));
}
inline __m128d clearLanes(__m128d m, __m128d v) { return _mm_andnot_pd(m, v); }
inline __m128d expandInto(__m128d m, unsigned bits, const double* next, __m128d old) {
  return select(m, _mm_set_pd(next[bits & 1], next[0]), old);
}
inline double lowestLane(__m128d v) { return _mm_cvtsd_f64(_mm_min_sd(v, _mm_unpackhi_pd(v, v))); }
inline __m128d lanewiseMin(__m128d a, __m128d b) { return _mm_min_pd(a, b); }

LANES_AVX2 inline __m256d squareRoot(__m256d v) { return _mm256_sqrt_pd(v); }
LANES_AVX2 inline __m256d greater(__m256d a, __m256d b) { return _mm256_cmp_pd(a, b, _CMP_GT_OQ); }
LANES_AVX2 inline __m256d lessOrEqual(__m256d a, __m256d b) { return _mm256_cmp_pd(a, b, _CMP_LE_OQ); }
LANES_AVX2 inline __m256d either(__m256d a, __m256d b) { return _mm256_or_pd(a, b); }
LANES_AVX2 inline bool none(__m256d m) { return _mm256_testz_pd(m, m); }
LANES_AVX2 inline unsigned laneBits(__m256d m) { return unsigned(_mm256_movemask_pd(m)); }
LANES_AVX2 inline __m256d select(__m256d m, __m256d yes, __m256d no) { return _mm256_blendv_pd(no, yes, m); }
LANES_AVX2 inline __m256d clearLanes(__m256d m, __m256d v) { return _mm256_andnot_pd(m, v); }

// For each mask of four lanes, the 32-bit halves that move next[k] to the
// k-th lane of the mask.
struct ExpandOrder {
  int halves[16][8];
  constexpr ExpandOrder() : halves{} {
    for (int bits = 0; bits < 16; ++bits)
      for (int lane = 0, k = 0; lane < 4; ++lane) {
        const int from = bits >> lane & 1 ? k++ : 0;
        halves[bits][2 * lane] = 2 * from;
        halves[bits][2 * lane + 1] = 2 * from + 1;
      }
  }
};
constexpr ExpandOrder expandOrder4;

LANES_AVX2 inline __m256d expandInto(__m256d m, unsigned bits, const double* next, __m256d old) {
  const __m256i order = _mm256_loadu_si256(reinterpret_cast<const __m256i*>(expandOrder4.halves[bits]));
  const __m256i moved = _mm256_permutevar8x32_epi32(_mm256_castpd_si256(_mm256_loadu_pd(next)), order);
  return select(m, _mm256_castsi256_pd(moved), old);
}
LANES_AVX2 inline double lowestLane(__m256d v) {
  return lowestLane(_mm_min_pd(_mm256_castpd256_pd128(v), _mm256_extractf128_pd(v, 1)));
}
LANES_AVX2 inline __m256d lanewiseMin(__m256d a, __m256d b) { return _mm256_min_pd(a, b); }

LANES_AVX512 inline __m512d squareRoot(__m512d v) { return _mm512_sqrt_pd(v); }
LANES_AVX512 inline __mmask8 greater(__m512d a, __m512d b) { return _mm512_cmp_pd_mask(a, b, _CMP_GT_OQ); }
LANES_AVX512 inline __mmask8 lessOrEqual(__m512d a, __m512d b) { return _mm512_cmp_pd_mask(a, b, _CMP_LE_OQ); }
inline __mmask8 either(__mmask8 a, __mmask8 b) { return __mmask8(a | b); }
inline bool none(__mmask8 m) { return m == 0; }
inline unsigned laneBits(__mmask8 m) { return m; }
LANES_AVX512 inline __m512d select(__mmask8 m, __m512d yes, __m512d no) { return _mm512_mask_mov_pd(no, m, yes); }
LANES_AVX512 inline __m512d clearLanes(__mmask8 m, __m512d v) { return _mm512_maskz_mov_pd(__mmask8(~m), v); }
LANES_AVX512 inline __m512d expandInto(__mmask8 m, unsigned, const double* next, __m512d old) {
  return _mm512_mask_expand_pd(old, m, _mm512_loadu_pd(next));
}
LANES_AVX512 inline double lowestLane(__m512d v) { return _mm512_reduce_min_pd(v); }
LANES_AVX512 inline __m512d lanewiseMin(__m512d a, __m512d b) { return _mm512_min_pd(a, b); }
#endif

#if defined(__wasm_simd128__)
inline Simd128Doubles squareRoot(Simd128Doubles v) { return Simd128Doubles(wasm_f64x2_sqrt(v128_t(v))); }
inline v128_t greater(Simd128Doubles a, Simd128Doubles b) { return wasm_f64x2_gt(v128_t(a), v128_t(b)); }
inline v128_t lessOrEqual(Simd128Doubles a, Simd128Doubles b) { return wasm_f64x2_le(v128_t(a), v128_t(b)); }
inline v128_t either(v128_t a, v128_t b) { return wasm_v128_or(a, b); }
inline bool none(v128_t m) { return !wasm_v128_any_true(m); }
inline unsigned laneBits(v128_t m) { return wasm_i64x2_bitmask(m); }
inline Simd128Doubles select(v128_t m, Simd128Doubles yes, Simd128Doubles no) {
  return Simd128Doubles(wasm_v128_bitselect(v128_t(yes), v128_t(no), m));
}
inline Simd128Doubles clearLanes(v128_t m, Simd128Doubles v) { return Simd128Doubles(wasm_v128_andnot(v128_t(v), m)); }
inline Simd128Doubles expandInto(v128_t m, unsigned bits, const double* next, Simd128Doubles old) {
  return select(m, Simd128Doubles(wasm_f64x2_make(next[0], next[bits & 1])), old);
}
inline double lowestLane(Simd128Doubles v) { return v[0] < v[1] ? v[0] : v[1]; }
inline Simd128Doubles lanewiseMin(Simd128Doubles a, Simd128Doubles b) {
  return Simd128Doubles(wasm_f64x2_min(v128_t(a), v128_t(b)));
}
#endif

#if defined(__aarch64__)
inline float64x2_t squareRoot(float64x2_t v) { return vsqrtq_f64(v); }
inline uint64x2_t greater(float64x2_t a, float64x2_t b) { return vcgtq_f64(a, b); }
inline uint64x2_t lessOrEqual(float64x2_t a, float64x2_t b) { return vcleq_f64(a, b); }
inline uint64x2_t either(uint64x2_t a, uint64x2_t b) { return vorrq_u64(a, b); }
inline bool none(uint64x2_t m) { return vmaxvq_u32(vreinterpretq_u32_u64(m)) == 0; }
inline unsigned laneBits(uint64x2_t m) {
  return unsigned(vgetq_lane_u64(m, 0) & 1) | unsigned(vgetq_lane_u64(m, 1) & 2);
}
inline float64x2_t select(uint64x2_t m, float64x2_t yes, float64x2_t no) { return vbslq_f64(m, yes, no); }
inline float64x2_t clearLanes(uint64x2_t m, float64x2_t v) {
  return vreinterpretq_f64_u64(vbicq_u64(vreinterpretq_u64_f64(v), m));
}
inline float64x2_t expandInto(uint64x2_t m, unsigned bits, const double* next, float64x2_t old) {
  return select(m, vcombine_f64(vld1_f64(next), vld1_f64(next + (bits & 1))), old);
}
inline double lowestLane(float64x2_t v) { return vminvq_f64(v); }
inline float64x2_t lanewiseMin(float64x2_t a, float64x2_t b) { return vminq_f64(a, b); }
#endif

// One step of the orbits of every lane, each operation rounded on its own:
// zi first, while zr still holds the old value it needs; rr and ii are the
// squares the last modulus took. Returns the lanes that leave their radius.
template <typename V>
inline auto stepOrbits(V& zr, V& zi, V& rr, V& ii, V cr, V ci, V radius) {
  zi = ((2.0 * zi) * zr) + ci;
  zr = (rr - ii) + cr;
  rr = zr * zr;
  ii = zi * zi;
  return greater(squareRoot(rr + ii), radius);
}
