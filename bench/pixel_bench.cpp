// The white clear of the shared pixel layer, at the canvas sizes of
// tetrachaos (1000 x 600) and of ngonchaos and escapeplot (640 x 480): the
// literal per-pixel loop against fillWhite.
#include <benchmark/benchmark.h>

#include <cstdlib>

#include "pixel_oracle.h"
#include "pixel_surface.h"

namespace {

void openCanvas(int width, int height) {
  if (screen != nullptr && screenWidth == width && screenHeight == height) return;
  if (screen != nullptr) closeScreen();
  setenv("SDL_VIDEODRIVER", "dummy", 1);
  if (!openScreen(width, height)) std::abort();
}

void BM_ClearOracle(benchmark::State& state) {
  openCanvas(int(state.range(0)), int(state.range(1)));
  for (auto _ : state) {
    oracleFillWhite();
    benchmark::ClobberMemory();
  }
}

void BM_ClearProgram(benchmark::State& state) {
  openCanvas(int(state.range(0)), int(state.range(1)));
  for (auto _ : state) {
    fillWhite();
    benchmark::ClobberMemory();
  }
}

}  // namespace

BENCHMARK(BM_ClearOracle)->Args({1000, 600})->Args({640, 480})->Unit(benchmark::kMicrosecond);
BENCHMARK(BM_ClearProgram)->Args({1000, 600})->Args({640, 480})->Unit(benchmark::kMicrosecond);
