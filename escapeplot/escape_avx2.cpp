// Four orbits per instruction with 256-bit vectors, four vectors in flight.
// The loop itself is escape_vectors.h; here are its operations on __m256d.
// Expanding and compressing lanes is one permutation of 32-bit halves, picked
// from a table by the lane mask.
#include <array>
#include <cstdint>

#include "escape_lanes.h"

#if defined(__x86_64__)
#include <immintrin.h>

#pragma GCC target("avx2")

namespace {

constexpr int width = 4;

using Halves = std::array<std::array<int32_t, 8>, 16>;

// For each lane mask, the 32-bit halves that move lane j of the source to the
// lane holding the mask's j-th set bit (expand), or that lane to lane j
// (compress).
constexpr Halves expandTable() {
  Halves table{};
  for (int mask = 0; mask < 16; ++mask) {
    int j = 0;
    for (int lane = 0; lane < width; ++lane) {
      const int from = (mask >> lane) & 1 ? j++ : lane;
      table[mask][2 * lane] = 2 * from;
      table[mask][2 * lane + 1] = 2 * from + 1;
    }
  }
  return table;
}

constexpr Halves compressTable() {
  Halves table{};
  for (int mask = 0; mask < 16; ++mask) {
    int j = 0;
    for (int lane = 0; lane < width; ++lane)
      if ((mask >> lane) & 1) {
        table[mask][2 * j] = 2 * lane;
        table[mask][2 * j + 1] = 2 * lane + 1;
        ++j;
      }
  }
  return table;
}

constexpr std::array<std::array<int64_t, width>, 16> laneTable() {
  std::array<std::array<int64_t, width>, 16> table{};
  for (int mask = 0; mask < 16; ++mask)
    for (int lane = 0; lane < width; ++lane) table[mask][lane] = (mask >> lane) & 1 ? -1 : 0;
  return table;
}

alignas(32) constexpr Halves expandHalves = expandTable();
alignas(32) constexpr Halves compressHalves = compressTable();
alignas(32) constexpr std::array<std::array<int64_t, width>, 16> laneBits = laneTable();

using Vector = __m256d;

Vector broadcast(double value) { return _mm256_set1_pd(value); }
Vector loadVector(const double* address) { return _mm256_loadu_pd(address); }
Vector lanesOf(int mask) { return _mm256_castsi256_pd(_mm256_load_si256(reinterpret_cast<const __m256i*>(laneBits[mask].data()))); }
void storeVector(double* address, Vector v) { _mm256_storeu_pd(address, v); }
Vector squareRoot(Vector a) { return _mm256_sqrt_pd(a); }
Vector greater(Vector a, Vector b) { return _mm256_cmp_pd(a, b, _CMP_GT_OQ); }
Vector equal(Vector a, Vector b) { return _mm256_cmp_pd(a, b, _CMP_EQ_OQ); }
Vector both(Vector a, Vector b) { return _mm256_and_pd(a, b); }
Vector either(Vector a, Vector b) { return _mm256_or_pd(a, b); }
Vector andNot(Vector a, Vector b) { return _mm256_andnot_pd(a, b); }
Vector select(Vector lanes, Vector ifSet, Vector ifClear) { return _mm256_blendv_pd(ifClear, ifSet, lanes); }
int signs(Vector a) { return _mm256_movemask_pd(a); }

__m256i halves(const Halves& table, int mask) {
  return _mm256_load_si256(reinterpret_cast<const __m256i*>(table[mask].data()));
}

Vector expandLoad(Vector old, Vector lanes, int mask, const double* source) {
  const __m256 loaded = _mm256_castpd_ps(_mm256_loadu_pd(source));
  return select(lanes, _mm256_castps_pd(_mm256_permutevar8x32_ps(loaded, halves(expandHalves, mask))), old);
}

void compressStore(double* destination, int mask, Vector values) {
  const __m256 packed = _mm256_permutevar8x32_ps(_mm256_castpd_ps(values), halves(compressHalves, mask));
  _mm256_storeu_pd(destination, _mm256_castps_pd(packed));
}

}  // namespace

#include "escape_vectors.h"

void drawLanesAvx2() { drawVectorLanes(); }

#endif
