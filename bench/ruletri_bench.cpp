// ruletri: the first sweep after a reset over a 1500 x 800 region, a later
// sweep over the same counters, and the no-change path of the size check,
// painting into a stand-in SetPixel that only counts. Program and literal
// algorithm side by side. Then the first sweep as a user sees it: the real
// program on its own Xvfb, painting through X.
#include <benchmark/benchmark.h>

#include <X11/Xlib.h>

#include <chrono>
#include <thread>

#include "grid.h"
#include "fake_windows.h"
#include "harness.h"
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

// Sends _NET_WM_PING and blocks until the answer: the program has then handled
// every event sent before, and the X server every request it made before.
bool pingAndWait(const e2e::App& app) {
  Display* d = e2e::xDisplay();
  static long stamp = 0;
  XEvent event{};
  event.xclient.type = ClientMessage;
  event.xclient.window = app.frame;
  event.xclient.message_type = XInternAtom(d, "WM_PROTOCOLS", False);
  event.xclient.format = 32;
  event.xclient.data.l[0] = long(XInternAtom(d, "_NET_WM_PING", False));
  event.xclient.data.l[1] = ++stamp;
  event.xclient.data.l[2] = long(app.frame);
  XSendEvent(d, app.frame, False, NoEventMask, &event);
  for (;;) {
    XEvent reply;
    XNextEvent(d, &reply);  // only the root's events are selected
    if (reply.type == ClientMessage && reply.xclient.data.l[1] == stamp) return true;
  }
}

void sendLeftClick(const e2e::App& app) {
  Display* d = e2e::xDisplay();
  XEvent event{};
  event.xbutton.type = ButtonPress;
  event.xbutton.window = app.canvas;
  event.xbutton.button = Button1;
  event.xbutton.x = event.xbutton.y = 100;
  XSendEvent(d, app.canvas, False, ButtonPressMask, &event);
}

// Each iteration changes the height (800, 801, ...), which resets the grid,
// then times one click until the sweep's pixels are all drawn.
void firstSweepOnX(benchmark::State& state) {
  e2e::App app;
  e2e::Launch how;
  how.argv = {e2e::programPath("ruletri")};
  if (!e2e::launch(app, how)) {
    state.SkipWithError("ruletri's window did not appear");
    return;
  }
  Display* d = e2e::xDisplay();
  XSelectInput(d, DefaultRootWindow(d), SubstructureNotifyMask);
  int height = 800;
  for (auto _ : state) {
    state.PauseTiming();
    height = height == 800 ? 801 : 800;
    e2e::resize(app, 1500, height);
    pingAndWait(app);
    // The reset comes with the next paint, once the program is idle.
    std::this_thread::sleep_for(std::chrono::milliseconds(30));
    state.ResumeTiming();
    sendLeftClick(app);
    pingAndWait(app);
  }
  XSelectInput(d, DefaultRootWindow(d), NoEventMask);
  // The last sweep must have been a first sweep, whole and in place.
  app.width = 1500;
  app.height = height;
  if (e2e::capture(app) != oracleClientImage(1500, height, 1))
    state.SkipWithError("the window does not show the first sweep");
  e2e::kill(app);
}

}  // namespace

BENCHMARK(firstSweep<oracleSweepGrid>)->Name("first_sweep/oracle")->Unit(benchmark::kMillisecond);
BENCHMARK(firstSweep<sweepGrid>)->Name("first_sweep/program")->Unit(benchmark::kMillisecond);
BENCHMARK(laterSweep<oracleSweepGrid>)->Name("later_sweep/oracle")->Unit(benchmark::kMillisecond);
BENCHMARK(laterSweep<sweepGrid>)->Name("later_sweep/program")->Unit(benchmark::kMillisecond);
BENCHMARK(sizeCheckNoChange)->Name("size_check_no_change");
BENCHMARK(firstSweepOnX)->Name("first_sweep/x11_program")->Unit(benchmark::kMillisecond)->UseRealTime();
