// The processor test behind escapeplot's choice of renderer, with glibc's
// runtime and with mingw's (run under Wine): on x86-64 the AVX2 and AVX-512
// paths are offered exactly when the processor has them and the system saves
// their registers (XCR0, read with xgetbv); on AArch64 the NEON path always,
// as every such processor has Advanced SIMD. No path of another processor
// family is ever offered.
#include <gtest/gtest.h>

#include <cstdint>

#include "escapeplot.h"

#if defined(__x86_64__)
#include <cpuid.h>

namespace {

uint64_t savedRegisterStates() {
  uint32_t low, high;
  __asm__("xgetbv" : "=a"(low), "=d"(high) : "c"(0));
  return (uint64_t(high) << 32) | low;
}

TEST(RenderPathChoice, VectorPathsFollowTheProcessorAndTheSystem) {
  unsigned a, b, c, d;
  ASSERT_TRUE(__get_cpuid(1, &a, &b, &c, &d));
  const uint64_t states = (c & bit_OSXSAVE) ? savedRegisterStates() : 0;
  bool avx2 = false, avx512 = false;
  if (__get_cpuid_max(0, nullptr) >= 7) {
    __cpuid_count(7, 0, a, b, c, d);
    avx2 = (b & bit_AVX2) && (states & 0x06) == 0x06;        // SSE and AVX state
    avx512 = (b & bit_AVX512F) && (states & 0xE6) == 0xE6;  // and the three AVX-512 states
  }
  EXPECT_TRUE(renderPathAvailable(renderSse2));
  EXPECT_EQ(renderPathAvailable(renderAvx2), avx2);
  EXPECT_EQ(renderPathAvailable(renderAvx512), avx512);
  EXPECT_FALSE(renderPathAvailable(renderNeon));
  EXPECT_FALSE(renderPathAvailable(renderSimd128));
}

}  // namespace
#elif defined(__aarch64__)
namespace {

TEST(RenderPathChoice, NeonIsOfferedAndNoOtherFamilysPath) {
  EXPECT_TRUE(renderPathAvailable(renderScalar));
  EXPECT_TRUE(renderPathAvailable(renderNeon));
  for (int path : {renderSse2, renderAvx2, renderAvx512, renderSimd128})
    EXPECT_FALSE(renderPathAvailable(path)) << "path " << path;
}

}  // namespace
#endif
