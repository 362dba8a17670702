// The programs waiting for input, each alone on its own Xvfb: the share of one
// core a program's process takes while it waits (core_pct; under Wine also
// the wineserver's, server_pct), natively and as the Windows builds under
// Wine; and escapeplot's answer to a key after a long idle, from the key sent
// to the window showing the redrawn image (limit 2 to 3 and back).
//
//   idle_bench [--programs=DIR] [--windows-programs=DIR] [benchmark options]
//
// The folders default to this build's; give another build's to measure it
// side by side. The Wine runs need the build's Wine prefix (ctest -R
// wine_prefix makes it).
#include <benchmark/benchmark.h>

#include <dirent.h>
#include <unistd.h>

#include <chrono>
#include <cstdio>
#include <cstring>
#include <fstream>
#include <string>
#include <thread>
#include <vector>

#include "escapeplot_oracle.h"
#include "harness.h"
#include "wine.h"

#include <X11/Xutil.h>
#include <X11/keysym.h>

namespace {

constexpr double idleSeconds = 10;
std::string programs;          // empty: this build's
std::string windowsPrograms = WINDOWS_BIN;

double now() {
  return std::chrono::duration<double>(std::chrono::steady_clock::now().time_since_epoch()).count();
}

void sleepFor(double seconds) { std::this_thread::sleep_for(std::chrono::duration<double>(seconds)); }

// The wineserver of the bench's prefix, or 0.
pid_t wineServer() {
  DIR* dir = opendir("/proc");
  pid_t found = 0;
  while (dirent* entry = readdir(dir)) {
    const pid_t pid = pid_t(atoi(entry->d_name));
    if (pid <= 0) continue;
    std::ifstream comm("/proc/" + std::to_string(pid) + "/comm");
    std::string name;
    if (!(comm >> name) || name.rfind("wineserver", 0) != 0) continue;  // wineserver64 too
    std::ifstream environment("/proc/" + std::to_string(pid) + "/environ");
    const std::string variables((std::istreambuf_iterator<char>(environment)), std::istreambuf_iterator<char>());
    if (variables.find(std::string("WINEPREFIX=") + WINE_PREFIX + '\0') != std::string::npos) found = pid;
  }
  closedir(dir);
  return found;
}

// Shares of a core over idleSeconds: the program's and the wineserver's (0
// when there is none).
void measureIdle(benchmark::State& state, const e2e::App& app) {
  sleepFor(1);  // whatever the start left behind is done
  e2e::App server;
  server.pid = wineServer();
  const double start = now(), used = e2e::cpuSeconds(app), served = e2e::cpuSeconds(server);
  for (auto _ : state) sleepFor(idleSeconds);
  const double wall = now() - start;
  state.counters["core_pct"] = 100 * (e2e::cpuSeconds(app) - used) / wall;
  if (server.pid > 0) state.counters["server_pct"] = 100 * (e2e::cpuSeconds(server) - served) / wall;
}

uint32_t pixelAt(const e2e::App& app, int x, int y) {
  XImage* image = XGetImage(e2e::xDisplay(), app.canvas, x, y, 1, 1, AllPlanes, ZPixmap);
  if (image == nullptr) return 0xFFFFFFFFu;
  const uint32_t pixel = uint32_t(XGetPixel(image, 0, 0)) & 0xFFFFFF;
  XDestroyImage(image);
  return pixel;
}

e2e::Launch nativeLaunch(const std::string& program) {
  e2e::Launch how;
  how.argv = {programs.empty() ? e2e::programPath(program) : programs + "/" + program};
  return how;
}

e2e::Launch windowsLaunch(const std::string& program) {
  e2e::Launch how = e2e::wineLaunch(program + ".exe");
  how.argv[1] = windowsPrograms + "/" + program + ".exe";
  return how;
}

bool start(e2e::App& app, const std::string& program, bool underWine) {
  const e2e::Launch how = underWine ? windowsLaunch(program) : nativeLaunch(program);
  if (program == "ruletri") return e2e::launchTitled(app, how, "Nestri");
  return e2e::launch(app, how);
}

// Each program as it waits: escapeplot after its first image, ngonchaos on
// its white canvas, ruletri with its window shown, tetrachaos turning (which
// it does by design).
void idle(benchmark::State& state, const char* program, bool underWine) {
  if (underWine && *WINE_SKIP_REASON != '\0') return state.SkipWithError(WINE_SKIP_REASON);
  if (underWine && access(WINE_PREFIX "/system.reg", F_OK) != 0)
    return state.SkipWithError("no Wine prefix yet: ctest -R wine_prefix makes it");
  e2e::App app;
  if (!start(app, program, underWine)) return state.SkipWithError("the window did not appear");
  if (std::string(program) == "escapeplot") {
    const std::vector<uint32_t> limit2 = oracleWindowImage(2);
    e2e::sendKeyPresses(app, XK_Right);
    if (!e2e::waitUntil([&] { return e2e::capture(app) == limit2; }, 30)) {
      e2e::kill(app);
      return state.SkipWithError("the limit-2 image never came");
    }
  }
  measureIdle(state, app);
  e2e::kill(app);
  if (underWine) e2e::stopWineServer();
}

// escapeplot at limit 2, left alone for idleSeconds, then Right; idle again,
// then Left. Each answer is timed from the key sent until a pixel that the
// new image changes shows its new colour (the flip puts the whole image up at
// once); the quickest and the slowest of the presses are reported.
void keyAfterIdle(benchmark::State& state) {
  const std::vector<uint32_t> limit2 = oracleWindowImage(2), limit3 = oracleWindowImage(3);
  size_t changed = 0;
  while (changed < limit2.size() && limit2[changed] == limit3[changed]) ++changed;
  const int x = int(changed % 640), y = int(changed / 640);
  e2e::App app;
  if (!start(app, "escapeplot", false)) return state.SkipWithError("the window did not appear");
  e2e::sendKeyPresses(app, XK_Right);
  if (!e2e::waitUntil([&] { return e2e::capture(app) == limit2; }, 30)) {
    e2e::kill(app);
    return state.SkipWithError("the limit-2 image never came");
  }
  double slowest = 0, quickest = 1e9;
  bool up = true;
  for (auto _ : state) {
    sleepFor(idleSeconds);
    const uint32_t wanted = up ? limit3[changed] : limit2[changed];
    const double sent = now();
    e2e::sendKeyPresses(app, up ? XK_Right : XK_Left);
    while (pixelAt(app, x, y) != wanted && now() - sent < 10) {
    }
    const double seconds = now() - sent;
    state.SetIterationTime(seconds);
    slowest = std::max(slowest, seconds);
    quickest = std::min(quickest, seconds);
    up = !up;
  }
  state.counters["quickest_ms"] = 1000 * quickest;
  state.counters["slowest_ms"] = 1000 * slowest;
  e2e::kill(app);
}

}  // namespace

BENCHMARK_CAPTURE(idle, escapeplot, "escapeplot", false)->Iterations(1)->Unit(benchmark::kSecond);
BENCHMARK_CAPTURE(idle, ngonchaos, "ngonchaos", false)->Iterations(1)->Unit(benchmark::kSecond);
BENCHMARK_CAPTURE(idle, ruletri, "ruletri", false)->Iterations(1)->Unit(benchmark::kSecond);
BENCHMARK_CAPTURE(idle, tetrachaos, "tetrachaos", false)->Iterations(1)->Unit(benchmark::kSecond);
BENCHMARK_CAPTURE(idle, wine_escapeplot, "escapeplot", true)->Iterations(1)->Unit(benchmark::kSecond);
BENCHMARK_CAPTURE(idle, wine_ngonchaos, "ngonchaos", true)->Iterations(1)->Unit(benchmark::kSecond);
BENCHMARK_CAPTURE(idle, wine_ruletri, "ruletri", true)->Iterations(1)->Unit(benchmark::kSecond);
BENCHMARK(keyAfterIdle)->Iterations(4)->UseManualTime()->Unit(benchmark::kMillisecond);

int main(int argc, char** argv) {
  benchmark::Initialize(&argc, argv);
  for (int i = 1; i < argc; ++i) {
    if (strncmp(argv[i], "--programs=", 11) == 0) programs = argv[i] + 11;
    else if (strncmp(argv[i], "--windows-programs=", 19) == 0) windowsPrograms = argv[i] + 19;
    else {
      fprintf(stderr, "unknown option %s\n", argv[i]);
      return 1;
    }
  }
  benchmark::RunSpecifiedBenchmarks();
  benchmark::Shutdown();
  return 0;
}
