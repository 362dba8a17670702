#include "escapeplot.h"

bool renderPathAvailable(int path) {
  switch (path) {
    case renderScalar:
      return true;
#if defined(__x86_64__)
    case renderSse2:
      return true;
    case renderAvx2:
      return __builtin_cpu_supports("avx2");
    case renderAvx512:
      return __builtin_cpu_supports("avx512f");
#endif
    default:
      return false;
  }
}

void chooseRenderPath() {
  renderPath = renderScalar;
  for (int path = renderScalar; path < renderPathCount; ++path)
    if (renderPathAvailable(path)) renderPath = path;
}
