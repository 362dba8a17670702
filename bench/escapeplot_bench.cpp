// The escape-time image at limits 2, 50, 500 and 5,000: the literal oracle and
// every render path this processor can run, one image per iteration, one
// thread. ns/step is the time per orbit step actually taken (the escaping
// step included); x_oracle is how many times faster than the oracle the path
// drew the same image in this run. The floor rows are each path's step floor:
// the orbit step's own arithmetic on independent vectors, ns per lane-step;
// x_floor is a path's ns/step over its floor. The chosen rows time the path
// the program picks (its number in the path column).
#include <benchmark/benchmark.h>

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <iterator>
#include <map>
#include <utility>

#include "escapeplot.h"
#include "escapeplot_oracle.h"
#include "orbit_lanes.h"
#include "pixel_surface.h"

namespace {

const int limits[] = {2, 50, 500, 5000};
const char* const pathNames[] = {"scalar", "sse2", "avx2", "avx512", "simd128", "neon"};
static_assert(std::size(pathNames) == renderPathCount);

std::map<int, double> oracleSeconds;  // per image, by limit
std::map<int, double> floorNs;        // ns per square root, by path

double imageSteps(int limit) {
  static std::map<int, double> steps;
  if (steps.count(limit) == 0) {
    double total = 0;
    for (int x = 0; x < 640; ++x)
      for (int y = 0; y < 480; ++y) total += double(oracleSteps(x, y, limit));
    steps[limit] = total;
  }
  return steps[limit];
}

// Times whole images; returns the seconds one image took on average.
double timeImages(benchmark::State& state, void (*draw)()) {
  const double steps = imageSteps(iterationLimit);
  double seconds = 0;
  for (auto _ : state) {
    const auto start = std::chrono::steady_clock::now();
    draw();
    seconds += std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();
    benchmark::ClobberMemory();
  }
  const double perImage = seconds / double(state.iterations());
  state.counters["ns/step"] = perImage / steps * 1e9;
  state.counters["Msteps"] = steps / 1e6;
  return perImage;
}

void oracleImage(benchmark::State& state, int limit) {
  iterationLimit = limit;
  oracleSeconds[limit] = timeImages(state, oracleDrawEscapeImage);
}

void pathImage(benchmark::State& state, int path, int limit) {
  renderPath = path;
  iterationLimit = limit;
  const double perImage = timeImages(state, drawEscapeImage);
  if (oracleSeconds.count(limit) != 0) state.counters["x_oracle"] = oracleSeconds[limit] / perImage;
  const int taken = pathForLimit(limit);
  if (floorNs.count(taken) != 0) state.counters["x_floor"] = perImage / imageSteps(limit) * 1e9 / floorNs[taken];
  if (path == renderChosen) state.counters["path"] = taken;
}

// The step floor of a path: the orbit step alone (orbit_lanes.h), on a few
// independent vectors of its width with no lane bookkeeping, ns per lane-step.
// c = -0.5 + 0.5i lies inside the set, so the orbits stay finite forever.
template <typename V>
inline __attribute__((always_inline)) double stepFloor(benchmark::State& state) {
  constexpr int lanes = sizeof(V) / sizeof(double);
  constexpr int inFlight = 2;  // measured quickest on every path
  constexpr long rounds = 1 << 16;
  V zr[inFlight], zi[inFlight], rr[inFlight], ii[inFlight];
  const V cr = V{} - 0.5, ci = V{} + 0.5, radius = V{} + 2.0;
  auto out = greater(V{}, V{});
  for (int v = 0; v < inFlight; ++v) zr[v] = zi[v] = rr[v] = ii[v] = V{};
  double seconds = 0;
  for (auto _ : state) {
    const auto start = std::chrono::steady_clock::now();
    for (long k = 0; k < rounds; ++k)
#pragma GCC unroll 4
      for (int v = 0; v < inFlight; ++v) out = either(out, stepOrbits(zr[v], zi[v], rr[v], ii[v], cr, ci, radius));
    seconds += std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();
    benchmark::DoNotOptimize(out);
    benchmark::DoNotOptimize(zr);
  }
  return seconds / double(state.iterations()) / double(rounds * inFlight * lanes) * 1e9;
}

void recordFloor(benchmark::State& state, int path, double ns) {
  state.counters["ns/step"] = ns;
  if (floorNs.count(path) == 0 || ns < floorNs[path]) floorNs[path] = ns;
}

__attribute__((flatten)) void floorScalar(benchmark::State& state) {
  recordFloor(state, renderScalar, stepFloor<double>(state));
}
#if defined(__x86_64__)
__attribute__((flatten)) void floorSse2(benchmark::State& state) {
  recordFloor(state, renderSse2, stepFloor<__m128d>(state));
}
__attribute__((flatten, target("avx2"))) void floorAvx2(benchmark::State& state) {
  recordFloor(state, renderAvx2, stepFloor<__m256d>(state));
}
__attribute__((flatten, target("avx512f"))) void floorAvx512(benchmark::State& state) {
  recordFloor(state, renderAvx512, stepFloor<__m512d>(state));
}
#endif
#if defined(__aarch64__)
__attribute__((flatten)) void floorNeon(benchmark::State& state) {
  recordFloor(state, renderNeon, stepFloor<float64x2_t>(state));
}
#endif

// With --benchmark_repetitions the quickest run is the least disturbed by
// other work on the machine.
double fastest(const std::vector<double>& runs) { return *std::min_element(runs.begin(), runs.end()); }

}  // namespace

int main(int argc, char** argv) {
  // A plain 32-bit memory surface: no window is needed to draw the image.
  screen = SDL_CreateRGBSurface(SDL_SWSURFACE, 640, 480, 32, 0xFF0000, 0xFF00, 0xFF, 0);
  if (screen == nullptr) return 1;
  screenWidth = 640;
  screenHeight = 480;
  const auto chooseStart = std::chrono::steady_clock::now();
  chooseRenderPath();
  std::printf("chooseRenderPath: %.1f ms, paths %d (limits below %d) and %d\n",
              std::chrono::duration<double>(std::chrono::steady_clock::now() - chooseStart).count() * 1e3,
              chosenPath[0], highLimit, chosenPath[1]);
  const std::pair<int, void (*)(benchmark::State&)> floors[] = {
    {renderScalar, floorScalar},
#if defined(__x86_64__)
    {renderSse2, floorSse2}, {renderAvx2, floorAvx2}, {renderAvx512, floorAvx512},
#endif
#if defined(__aarch64__)
    {renderNeon, floorNeon},
#endif
  };
  for (const auto& [path, floor] : floors)
    if (renderPathAvailable(path))
      benchmark::RegisterBenchmark((std::string("floor/") + pathNames[path]).c_str(), floor)
          ->Unit(benchmark::kMillisecond)
          ->MinTime(0.3)
          ->ComputeStatistics("min", fastest);
  for (int limit : limits) {
    benchmark::RegisterBenchmark(("oracle/limit:" + std::to_string(limit)).c_str(), oracleImage, limit)
        ->Unit(benchmark::kMillisecond)
        ->MinTime(0.3)
        ->ComputeStatistics("min", fastest);
    for (int path = 0; path < renderPathCount; ++path)
      if (renderPathAvailable(path))
        benchmark::RegisterBenchmark((std::string(pathNames[path]) + "/limit:" + std::to_string(limit)).c_str(),
                                     pathImage, path, limit)
            ->Unit(benchmark::kMillisecond)
            ->MinTime(0.3)
            ->ComputeStatistics("min", fastest);
    benchmark::RegisterBenchmark(("chosen/limit:" + std::to_string(limit)).c_str(), pathImage, renderChosen, limit)
        ->Unit(benchmark::kMillisecond)
        ->MinTime(0.3)
        ->ComputeStatistics("min", fastest);
  }
  benchmark::Initialize(&argc, argv);
  benchmark::RunSpecifiedBenchmarks();
  benchmark::Shutdown();
  SDL_FreeSurface(screen);
  return 0;
}
