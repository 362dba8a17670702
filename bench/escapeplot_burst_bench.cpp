// escapeplot as a user feels it: the real program on its own Xvfb, fifty
// Right presses from limit 51 to 101, timed from the first press until the
// window shows the limit-101 image. Beside it the same program drawing with
// the literal algorithm (escapeplot_literal). x_literal is how many times
// faster than the literal program (its quickest run) the real one finished.
#include <benchmark/benchmark.h>

#include <chrono>
#include <string>
#include <vector>

#include "escapeplot_oracle.h"
#include "harness.h"

#include <X11/keysym.h>

namespace {

constexpr int startLimit = 51;
constexpr int presses = 50;
double literalSeconds = 0;

bool shows(const e2e::App& app, const std::vector<uint32_t>& image) {
  return e2e::waitUntil([&] { return e2e::capture(app) == image; }, 20);
}

void burst(benchmark::State& state, const char* program) {
  static const std::vector<uint32_t> first = oracleWindowImage(startLimit), last = oracleWindowImage(startLimit + presses);
  e2e::App app;
  e2e::Launch how;
  how.argv = {e2e::programPath(program)};
  how.width = 640;
  how.height = 480;
  if (!e2e::launch(app, how)) return state.SkipWithError("the window did not appear");
  e2e::sendKeyPresses(app, XK_Right, startLimit - 1);
  if (!shows(app, first)) return state.SkipWithError("the limit-51 image never came");
  double seconds = 0;
  for (auto _ : state) {
    const auto start = std::chrono::steady_clock::now();
    e2e::sendKeyPresses(app, XK_Right, presses);
    const bool done = shows(app, last);
    seconds = std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();
    state.SetIterationTime(seconds);
    if (!done) return state.SkipWithError("the limit-101 image never came");
  }
  e2e::kill(app);
  if (std::string(program) == "escapeplot_literal") {
    if (literalSeconds == 0 || seconds < literalSeconds) literalSeconds = seconds;
  }
  else if (literalSeconds > 0) state.counters["x_literal"] = literalSeconds / seconds;
}

}  // namespace

// One burst per launch; repetitions relaunch, and the quickest counts.
BENCHMARK_CAPTURE(burst, literal, "escapeplot_literal")->Iterations(1)->Repetitions(3)->UseManualTime()->Unit(benchmark::kMillisecond);
BENCHMARK_CAPTURE(burst, program, "escapeplot")->Iterations(1)->Repetitions(3)->UseManualTime()->Unit(benchmark::kMillisecond);
BENCHMARK_MAIN();
