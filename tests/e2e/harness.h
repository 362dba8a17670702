// End-to-end harness: a private Xvfb, the real program started in it, keys and
// clicks through xdotool, the close box as a window manager sends it
// (WM_DELETE_WINDOW), and the window's pixels read back.
#pragma once

#include <X11/Xlib.h>
#include <sys/types.h>

#include <cstdint>
#include <functional>
#include <string>
#include <vector>

namespace e2e {

// The display of this test process's own Xvfb, started on first use and
// killed when the process exits.
Display* xDisplay();
const std::string& displayName();

struct App {
  pid_t pid = -1;
  // SDL 1.2 over SDL 2 may destroy the window it showed and make it anew
  // while SDL_SetVideoMode tries one renderer after another: every call below
  // first takes the program's newest window in place of one that is gone.
  mutable Window frame = 0;   // top-level window: receives the close request
  mutable Window canvas = 0;  // the window that shows the drawing
  mutable int width = 0;
  mutable int height = 0;
  int exitStatus = -1;  // set by waitExit
  std::vector<Window> before;            // top-level windows from before the start
  std::function<Window(Window)> pick;    // the canvas in a new top-level window, or 0
};

struct Launch {
  std::vector<std::string> argv;      // argv[0] is the program; may be a wrapper such as wine
  std::string workdir;                // empty: the test's current directory
  std::vector<std::string> env;       // extra NAME=VALUE entries
  int width = 0;                      // expected canvas size; 0 accepts any size
  int height = 0;
  double timeoutSeconds = 20;         // per attempt
  int attempts = 3;                   // Xvfb now and then drops a new client
};

// Path of a program built into build/bin, or in $E2E_PROGRAM_DIR when that is set.
std::string programPath(const std::string& name);

// Starts the program and waits until its window is mapped. Retries when the
// window never appears. On failure everything started is killed.
bool launch(App& app, const Launch& how);

// Pixels of app.canvas as 0xRRGGBB, row-major, width * height entries.
std::vector<uint32_t> capture(const App& app);

// Polls cond every few milliseconds until it holds or the time runs out.
bool waitUntil(const std::function<bool()>& cond, double seconds);

// Keys by X keysym name ("Right", "Escape", "a", "shift+Right"), pressed one
// after another with a gap that SDL does not take for auto-repeat.
void pressKeys(const App& app, const std::vector<std::string>& keys, int delayMs = 30);
// Presses and releases of one key sent straight to the window, all at once,
// their time stamps 10 ms apart so that SDL takes none for auto-repeat
// (which it judges by the stamps): a burst whose time is the program's alone.
void sendKeyPresses(const App& app, KeySym key, int count = 1);
// Press and release one key separately (modifier keys alone).
void keyDown(const App& app, const std::string& key);
void keyUp(const App& app, const std::string& key);
// Mouse click at canvas position (x, y); repeat > 1 clicks in quick succession.
void click(const App& app, int x, int y, int button = 1, int repeat = 1);
void movePointer(const App& app, int x, int y);
// Resizes the top-level window directly (no window manager runs), marking it
// shown as a window manager would first.
void resize(const App& app, int width, int height);

// Maps a grey window over the whole screen, waits until it shows, and takes
// it away again: every window below is then exposed, and Xvfb, which keeps
// no copy of covered pixels, shows there only what the programs repaint.
bool coverAndUncover();

// Sends WM_DELETE_WINDOW to the top-level window, as a close box does.
void closeWindow(const App& app);
// Waits for the program to end; returns its exit status, or -1 after the
// timeout (the program is then killed).
int waitExit(App& app, double seconds);
bool running(App& app);
// Kills the program if it still runs. Safe to call twice.
void kill(App& app);

// Processor time the program's process has taken so far, all its threads
// together, in seconds (the scheduler's count, to the nanosecond).
double cpuSeconds(const App& app);
// The share of one core the program takes over the next seconds of waiting:
// its processor time then divided by the time that passed.
double coreShare(const App& app, double seconds);
// The most a program waiting for input may take: a tenth of a core, far above
// what its sleeping costs even on a busy machine, far below a loop that polls
// without pausing (which takes a whole core when it can).
constexpr double idleShareBound = 0.1;

// Runs a program that is expected to end by itself (a start-up failure, say)
// and returns its exit status, or -1 when it still runs after the timeout.
int runToExit(const Launch& how, double seconds);

// Additions for programs other than the SDL ones (ruletri natively and under Wine).

// As launch, but takes the new top-level window whose name (WM_NAME) is
// title, ignoring any other windows the program (or Wine) maps.
bool launchTitled(App& app, const Launch& how, const std::string& title);

// Sends _NET_WM_PING to app.frame, as a window manager does, and waits for
// the answer: every event sent to the program before has then been read.
bool ping(const App& app, double seconds = 10);

// Name (WM_NAME) of a window; empty when it has none.
std::string windowName(Window w);

}  // namespace e2e
