// One ngonchaos run of 299,999 points: the literal algorithm against the
// program's own code. The white clear of its 640 x 480 canvas is in pixel_bench.
#include <benchmark/benchmark.h>

#include <cstdlib>

#include "ngonchaos.h"
#include "ngonchaos_oracle.h"
#include "pixel_surface.h"

namespace {

void openCanvas() {
  if (screen != nullptr) return;
  setenv("SDL_VIDEODRIVER", "dummy", 1);
  if (!openScreen(canvasWidth, canvasHeight)) std::abort();
}

void layOut(int n) {
  openCanvas();
  cornerCount = n;
  layoutPolygon();
}

void BM_RunOracle(benchmark::State& state) {
  layOut(int(state.range(0)));
  for (auto _ : state) {
    oraclePlotChaosPoints();
    benchmark::ClobberMemory();
  }
  state.counters["points/s"] = benchmark::Counter(double(state.iterations()) * (pointsPerRun - 1),
                                                  benchmark::Counter::kIsRate);
}

void BM_RunProgram(benchmark::State& state) {
  layOut(int(state.range(0)));
  for (auto _ : state) {
    plotChaosPoints();
    benchmark::ClobberMemory();
  }
  state.counters["points/s"] = benchmark::Counter(double(state.iterations()) * (pointsPerRun - 1),
                                                  benchmark::Counter::kIsRate);
}

}  // namespace

BENCHMARK(BM_RunOracle)->Arg(3)->Arg(8)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_RunProgram)->Arg(3)->Arg(8)->Unit(benchmark::kMillisecond);
