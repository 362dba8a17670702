// One tetrachaos frame's drawing step (white clear plus 50,000 points, no
// flip), and the points alone: the literal algorithm against the program's
// own code. The clear alone is in pixel_bench.
#include <benchmark/benchmark.h>

#include <cstdlib>

#include "pixel_surface.h"
#include "tetrachaos.h"
#include "tetrachaos_oracle.h"

namespace {

void openCanvas() {
  if (screen != nullptr) return;
  setenv("SDL_VIDEODRIVER", "dummy", 1);
  if (!openScreen(1000, 600)) std::abort();
  layoutTetrahedron();
  turnAngle = 0.9;
}

void BM_FrameOracle(benchmark::State& state) {
  openCanvas();
  for (auto _ : state) {
    oracleDrawFrameContents(pointsPerFrame);
    benchmark::ClobberMemory();
  }
}

void BM_FrameProgram(benchmark::State& state) {
  openCanvas();
  for (auto _ : state) {
    fillWhite();
    playChaosGame(pointsPerFrame);
    benchmark::ClobberMemory();
  }
}

void BM_PointsOracle(benchmark::State& state) {
  openCanvas();
  for (auto _ : state) oraclePlayChaosGame(pointsPerFrame);
}

void BM_PointsProgram(benchmark::State& state) {
  openCanvas();
  for (auto _ : state) playChaosGame(pointsPerFrame);
}

}  // namespace

BENCHMARK(BM_FrameOracle)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_FrameProgram)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_PointsOracle)->Unit(benchmark::kMicrosecond);
BENCHMARK(BM_PointsProgram)->Unit(benchmark::kMicrosecond);
