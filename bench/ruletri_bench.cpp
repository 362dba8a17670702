// ruletri: the first sweep after a reset over a 1500 x 800 region, a later
// sweep over the same counters, and the no-change path of the size check,
// painting into a stand-in SetPixel that only counts. Program and literal
// algorithm side by side.
#include <benchmark/benchmark.h>

#include "grid.h"
#include "fake_windows.h"
#include "ruletri_oracle.h"

namespace {

void prepare(int sweepsBefore) {
  fake::resetAll();
  fake::recordPixels = false;
  fake::setClientSize(1500, 800);
  syncGridSize();
  // syncGridSize found 1500 x 800 unchanged from the start: reset explicitly.
  oracleResetGrid(1500, 800);
  for (int n = 0; n < sweepsBefore; ++n) sweepGrid();
}

template <void (*sweep)()>
void firstSweep(benchmark::State& state) {
  for (auto _ : state) {
    state.PauseTiming();
    prepare(0);
    state.ResumeTiming();
    sweep();
  }
  state.counters["pixels"] = double(fake::pixelCount);
}

template <void (*sweep)()>
void laterSweep(benchmark::State& state) {
  prepare(1);
  for (auto _ : state) sweep();
  state.counters["cells"] = benchmark::Counter(double(state.iterations()) * 1500 * 799,
                                               benchmark::Counter::kIsRate);
}

void sizeCheckNoChange(benchmark::State& state) {
  prepare(0);
  for (auto _ : state) syncGridSize();
  state.counters["queries"] = double(fake::clientRectCalls);
}

}  // namespace

BENCHMARK(firstSweep<oracleSweepGrid>)->Name("first_sweep/oracle")->Unit(benchmark::kMillisecond);
BENCHMARK(firstSweep<sweepGrid>)->Name("first_sweep/program")->Unit(benchmark::kMillisecond);
BENCHMARK(laterSweep<oracleSweepGrid>)->Name("later_sweep/oracle")->Unit(benchmark::kMillisecond);
BENCHMARK(laterSweep<sweepGrid>)->Name("later_sweep/program")->Unit(benchmark::kMillisecond);
BENCHMARK(sizeCheckNoChange)->Name("size_check_no_change");
