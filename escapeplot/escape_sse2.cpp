// Two orbits per instruction with SSE2, which every x86-64 has, four vectors
// in flight. The loop itself is escape_vectors.h; here are its operations on
// __m128d. With two lanes the only expansion or compression that moves a
// value is the one between lane 0 and lane 1 (masks 2 and 1 of one lane).
#include "escape_lanes.h"

#if defined(__x86_64__)
#include <emmintrin.h>

#include <array>
#include <cstdint>

namespace {

constexpr int width = 2;

using Vector = __m128d;

alignas(16) constexpr std::array<std::array<int64_t, width>, 4> laneBits = {{{0, 0}, {-1, 0}, {0, -1}, {-1, -1}}};
// All ones where a lane mask needs lane 0's value in lane 1 (expand) or lane
// 1's value in lane 0 (compress): only for the mask of lane 1 alone.
alignas(16) constexpr std::array<std::array<int64_t, width>, 4> secondOnly = {{{0, 0}, {0, 0}, {-1, -1}, {0, 0}}};

Vector broadcast(double value) { return _mm_set1_pd(value); }
Vector loadVector(const double* address) { return _mm_loadu_pd(address); }
Vector lanesOf(int mask) { return _mm_castsi128_pd(_mm_load_si128(reinterpret_cast<const __m128i*>(laneBits[mask].data()))); }
void storeVector(double* address, Vector v) { _mm_storeu_pd(address, v); }
Vector squareRoot(Vector a) { return _mm_sqrt_pd(a); }
Vector greater(Vector a, Vector b) { return _mm_cmpgt_pd(a, b); }
Vector equal(Vector a, Vector b) { return _mm_cmpeq_pd(a, b); }
Vector both(Vector a, Vector b) { return _mm_and_pd(a, b); }
Vector either(Vector a, Vector b) { return _mm_or_pd(a, b); }
Vector andNot(Vector a, Vector b) { return _mm_andnot_pd(a, b); }
Vector select(Vector lanes, Vector ifSet, Vector ifClear) { return either(both(lanes, ifSet), andNot(lanes, ifClear)); }
int signs(Vector a) { return _mm_movemask_pd(a); }

Vector onlySecond(int mask) { return _mm_castsi128_pd(_mm_load_si128(reinterpret_cast<const __m128i*>(secondOnly[mask].data()))); }

Vector expandLoad(Vector old, Vector lanes, int mask, const double* source) {
  const Vector loaded = _mm_loadu_pd(source);
  return select(lanes, select(onlySecond(mask), _mm_unpacklo_pd(loaded, loaded), loaded), old);
}

void compressStore(double* destination, int mask, Vector values) {
  _mm_storeu_pd(destination, select(onlySecond(mask), _mm_unpackhi_pd(values, values), values));
}

}  // namespace

#include "escape_vectors.h"

void drawLanesSse2() { drawVectorLanes(); }

#endif
