// The escape-time image at limits 2, 50, 500 and 5,000: the literal oracle and
// every render path this processor can run, one image per iteration, one
// thread. ns/step is the time per orbit step actually taken (the escaping
// step included); x_oracle is how many times faster than the oracle the path
// drew the same image in this run. The sqrt rows are the floor that one
// square root per orbit step sets: independent vector square roots of each
// path's width, ns per double; x_floor is a path's ns/step over its floor.
#include <benchmark/benchmark.h>

#include <algorithm>
#include <chrono>
#include <iterator>
#include <map>

#include "escapeplot.h"
#include "escapeplot_oracle.h"
#include "pixel_surface.h"

namespace {

const int limits[] = {2, 50, 500, 5000};
const char* const pathNames[] = {"scalar", "sse2", "avx2", "avx512"};

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
  if (floorNs.count(path) != 0) state.counters["x_floor"] = perImage / imageSteps(limit) * 1e9 / floorNs[path];
}

typedef double Doubles1 __attribute__((vector_size(8)));
typedef double Doubles2 __attribute__((vector_size(16)));
typedef double Doubles4 __attribute__((vector_size(32)));
typedef double Doubles8 __attribute__((vector_size(64)));

// Eight vectors in flight, each taking x <- sqrt(x + 3) (which settles on an
// irrational value, so no operand is a perfect square).
template <typename V>
inline __attribute__((always_inline)) double sqrtFloor(benchmark::State& state) {
  constexpr int lanes = sizeof(V) / sizeof(double);
  constexpr int inFlight = 8;
  constexpr long rounds = 1 << 16;
  V x[inFlight];
  for (V& v : x) v = V{} + 1.0;
  double seconds = 0;
  for (auto _ : state) {
    const auto start = std::chrono::steady_clock::now();
    for (long k = 0; k < rounds; ++k)
      for (V& v : x) {
        v += 3.0;
        for (int i = 0; i < lanes; ++i) v[i] = __builtin_sqrt(v[i]);
      }
    seconds += std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();
    benchmark::DoNotOptimize(x);
  }
  return seconds / double(state.iterations()) / double(rounds * inFlight * lanes) * 1e9;
}

void recordFloor(benchmark::State& state, int path, double ns) {
  state.counters["ns/double"] = ns;
  if (floorNs.count(path) == 0 || ns < floorNs[path]) floorNs[path] = ns;
}

void sqrtScalar(benchmark::State& state) { recordFloor(state, renderScalar, sqrtFloor<Doubles1>(state)); }
#if defined(__x86_64__)
void sqrtSse2(benchmark::State& state) { recordFloor(state, renderSse2, sqrtFloor<Doubles2>(state)); }
__attribute__((target("avx2"))) void sqrtAvx2(benchmark::State& state) {
  recordFloor(state, renderAvx2, sqrtFloor<Doubles4>(state));
}
__attribute__((target("avx512f"))) void sqrtAvx512(benchmark::State& state) {
  recordFloor(state, renderAvx512, sqrtFloor<Doubles8>(state));
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
#if defined(__x86_64__)
  void (*const floors[])(benchmark::State&) = {sqrtScalar, sqrtSse2, sqrtAvx2, sqrtAvx512};
#else
  void (*const floors[])(benchmark::State&) = {sqrtScalar};
#endif
  for (int path = 0; path < int(std::size(floors)); ++path)
    if (renderPathAvailable(path))
      benchmark::RegisterBenchmark((std::string("sqrt/") + pathNames[path]).c_str(), floors[path])
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
  }
  benchmark::Initialize(&argc, argv);
  benchmark::RunSpecifiedBenchmarks();
  benchmark::Shutdown();
  SDL_FreeSurface(screen);
  return 0;
}
