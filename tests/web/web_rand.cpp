// The pages' C library (Emscripten's musl) plays this rand(), unseeded. It
// stands in for glibc's in the browser tests' oracles, so that they replay
// the pages' points.
#include <cstdint>

extern "C" int rand() {
  static uint64_t seed = 0;
  seed = 6364136223846793005ULL * seed + 1;
  return int(seed >> 33);
}
