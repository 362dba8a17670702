#include "harness.h"

#include <X11/Xatom.h>
#include <X11/Xutil.h>
#include <dirent.h>
#include <fcntl.h>
#include <poll.h>
#include <signal.h>
#include <sys/prctl.h>
#include <sys/wait.h>
#include <unistd.h>

#include <algorithm>
#include <chrono>
#include <cstdlib>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <set>
#include <thread>

extern char** environ;

namespace e2e {
namespace {

pid_t xvfbPid = -1;
Display* display = nullptr;
std::string name;

double now() {
  using namespace std::chrono;
  return duration<double>(steady_clock::now().time_since_epoch()).count();
}

void stopXvfb() {
  if (display != nullptr) XCloseDisplay(display);
  display = nullptr;
  if (xvfbPid > 0) {
    ::kill(xvfbPid, SIGTERM);
    waitpid(xvfbPid, nullptr, 0);
    xvfbPid = -1;
  }
}

// The child dies with the test process, so nothing is left behind even when
// the test runner kills a hung test.
void dieWithParent() { prctl(PR_SET_PDEATHSIG, SIGKILL); }

void startXvfb() {
  int fds[2];
  if (pipe(fds) != 0) abort();
  xvfbPid = fork();
  if (xvfbPid == 0) {
    dieWithParent();
    close(fds[0]);
    int devnull = open("/dev/null", O_RDWR);
    dup2(devnull, 0);
    dup2(devnull, 1);
    dup2(devnull, 2);
    std::string fd = std::to_string(fds[1]);
    execlp("Xvfb", "Xvfb", "-displayfd", fd.c_str(), "-screen", "0", "2700x2300x24", "-nolisten",
           "tcp", "-noreset", static_cast<char*>(nullptr));
    _exit(127);
  }
  close(fds[1]);
  std::string number;
  pollfd pfd{fds[0], POLLIN, 0};
  const double deadline = now() + 30;
  while (now() < deadline && poll(&pfd, 1, 200) >= 0) {
    char c;
    if (!(pfd.revents & (POLLIN | POLLHUP))) continue;
    if (read(fds[0], &c, 1) != 1 || c == '\n') break;
    number += c;
  }
  close(fds[0]);
  if (number.empty()) {
    fprintf(stderr, "e2e: Xvfb did not start\n");
    abort();
  }
  name = ":" + number;
  for (int i = 0; i < 100 && display == nullptr; ++i) {
    display = XOpenDisplay(name.c_str());
    if (display == nullptr) std::this_thread::sleep_for(std::chrono::milliseconds(50));
  }
  if (display == nullptr) {
    fprintf(stderr, "e2e: cannot open %s\n", name.c_str());
    abort();
  }
  atexit(stopXvfb);
}

bool viewable(Window w, XWindowAttributes* attributes = nullptr) {
  XWindowAttributes a;
  if (!XGetWindowAttributes(display, w, &a)) return false;
  if (attributes != nullptr) *attributes = a;
  return a.map_state == IsViewable;
}

std::vector<Window> children(Window w) {
  Window root, parent, *list = nullptr;
  unsigned count = 0;
  std::vector<Window> result;
  if (XQueryTree(display, w, &root, &parent, &list, &count) && list != nullptr) {
    result.assign(list, list + count);
    XFree(list);
  }
  return result;
}

// The deepest viewable window below (and including) w of exactly width x height.
Window findCanvas(Window w, int width, int height) {
  for (Window child : children(w)) {
    Window found = findCanvas(child, width, height);
    if (found != 0) return found;
  }
  XWindowAttributes a;
  if (viewable(w, &a) && a.width == width && a.height == height) return w;
  return 0;
}

int ignoreErrors(Display*, XErrorEvent*) { return 0; }

// An empty folder for Mesa's shader cache, made once per test process and
// removed at its exit: programs start as on a machine's first run, where Mesa
// takes numbers from the C library's rand().
std::string shaderCache;

void removeShaderCache() {
  std::error_code ignored;
  std::filesystem::remove_all(shaderCache, ignored);
}

const std::string& shaderCacheFolder() {
  if (shaderCache.empty()) {
    char folder[] = "/tmp/e2e-shader-cache-XXXXXX";
    if (mkdtemp(folder) == nullptr) abort();
    shaderCache = folder;
    atexit(removeShaderCache);
  }
  return shaderCache;
}

pid_t spawn(const Launch& how) {
  const std::string& cache = shaderCacheFolder();
  pid_t pid = fork();
  if (pid != 0) return pid;
  dieWithParent();
  setpgid(0, 0);
  if (!how.workdir.empty() && chdir(how.workdir.c_str()) != 0) _exit(126);
  setenv("DISPLAY", name.c_str(), 1);
  setenv("SDL_VIDEODRIVER", "x11", 1);
  setenv("MESA_SHADER_CACHE_DIR", cache.c_str(), 1);
  for (const std::string& entry : how.env) putenv(strdup(entry.c_str()));
  std::vector<char*> argv;
  for (const std::string& arg : how.argv) argv.push_back(strdup(arg.c_str()));
  argv.push_back(nullptr);
  execvp(argv[0], argv.data());
  _exit(127);
}

void runTool(std::vector<std::string> args) {
  pid_t pid = fork();
  if (pid == 0) {
    setenv("DISPLAY", name.c_str(), 1);
    std::vector<char*> argv;
    for (std::string& arg : args) argv.push_back(arg.data());
    argv.push_back(nullptr);
    execvp(argv[0], argv.data());
    _exit(127);
  }
  int status = 0;
  waitpid(pid, &status, 0);
}

// Takes the topmost new viewable top-level window in which app.pick finds a
// viewable canvas; false when there is none.
bool pickWindow(const App& app) {
  const std::set<Window> old(app.before.begin(), app.before.end());
  const std::vector<Window> tops = children(DefaultRootWindow(display));
  for (auto top = tops.rbegin(); top != tops.rend(); ++top) {
    if (old.count(*top) || !viewable(*top)) continue;
    XWindowAttributes a;
    Window canvas = app.pick(*top);
    if (canvas == 0 || !viewable(canvas, &a)) continue;
    app.frame = *top;
    app.canvas = canvas;
    app.width = a.width;
    app.height = a.height;
    return true;
  }
  return false;
}

// A window that no longer exists gives way to the one that replaced it.
void follow(const App& app) {
  XWindowAttributes a;
  if (app.frame == 0 || !app.pick || XGetWindowAttributes(display, app.frame, &a)) return;
  waitUntil([&] { return pickWindow(app); }, 10);
}

void focus(const App& app) {
  follow(app);
  XSetInputFocus(display, app.frame, RevertToPointerRoot, CurrentTime);
  XSync(display, False);
}

bool answersPings(Window w) {
  Atom* protocols = nullptr;
  int count = 0;
  if (!XGetWMProtocols(display, w, &protocols, &count)) return false;
  const Atom pingAtom = XInternAtom(display, "_NET_WM_PING", False);
  const bool answers = std::find(protocols, protocols + count, pingAtom) != protocols + count;
  XFree(protocols);
  return answers;
}

// Starts the program and waits for a new viewable top-level window in which
// pick finds the canvas (0: not this one, or not yet). Retries when no window
// appears; on failure everything started is killed.
bool launchPicking(App& app, const Launch& how, const std::function<Window(Window)>& pick) {
  xDisplay();
  XSetErrorHandler(ignoreErrors);
  Window root = DefaultRootWindow(display);
  for (int attempt = 0; attempt < how.attempts; ++attempt) {
    app = App{};
    app.before = children(root);
    app.pick = pick;
    app.pid = spawn(how);
    bool found = waitUntil([&] { return !running(app) || pickWindow(app); }, how.timeoutSeconds);
    if (found && app.canvas != 0) {
      focus(app);
      // A program that answers pings (SDL 2 under sdl12-compat, Wine) has,
      // once it answers, read every event sent before, the focus included,
      // and shows the window it keeps: a key pressed before could go to a
      // window about to be made anew, or be dropped as SDL takes the focus in.
      if (answersPings(app.frame)) waitUntil([&] { return ping(app, 1); }, how.timeoutSeconds);
      return true;
    }
    kill(app);
  }
  return false;
}

}  // namespace

Display* xDisplay() {
  if (display == nullptr) startXvfb();
  return display;
}

const std::string& displayName() {
  xDisplay();
  return name;
}

// E2E_PROGRAM_DIR points the tests at other copies of the programs, such as
// those an installed package put in /usr/bin.
std::string programPath(const std::string& program) {
  const char* dir = getenv("E2E_PROGRAM_DIR");
  return std::string(dir != nullptr && *dir != '\0' ? dir : PROGRAM_DIR) + "/" + program;
}

bool waitUntil(const std::function<bool()>& cond, double seconds) {
  const double deadline = now() + seconds;
  for (;;) {
    if (cond()) return true;
    if (now() > deadline) return false;
    std::this_thread::sleep_for(std::chrono::milliseconds(10));
  }
}

bool launch(App& app, const Launch& how) {
  const int width = how.width, height = how.height;
  return launchPicking(app, how, [=](Window top) { return width > 0 ? findCanvas(top, width, height) : top; });
}

std::vector<uint32_t> capture(const App& app) {
  follow(app);
  XWindowAttributes a;
  std::vector<uint32_t> pixels;
  if (!XGetWindowAttributes(display, app.canvas, &a)) return pixels;
  XImage* image = XGetImage(display, app.canvas, 0, 0, a.width, a.height, AllPlanes, ZPixmap);
  if (image == nullptr) return pixels;
  pixels.resize(size_t(a.width) * a.height);
  for (int y = 0; y < a.height; ++y)
    for (int x = 0; x < a.width; ++x) {
      unsigned long p = XGetPixel(image, x, y);
      uint32_t r = (p & image->red_mask) >> __builtin_ctzl(image->red_mask);
      uint32_t g = (p & image->green_mask) >> __builtin_ctzl(image->green_mask);
      uint32_t b = (p & image->blue_mask) >> __builtin_ctzl(image->blue_mask);
      pixels[size_t(y) * a.width + x] = (r << 16) | (g << 8) | b;
    }
  XDestroyImage(image);
  return pixels;
}

void pressKeys(const App& app, const std::vector<std::string>& keys, int delayMs) {
  focus(app);
  std::vector<std::string> args{"xdotool", "key", "--delay", std::to_string(delayMs)};
  args.insert(args.end(), keys.begin(), keys.end());
  runTool(args);
}

void sendKeyPresses(const App& app, KeySym key, int count) {
  Display* d = xDisplay();
  static Time stamp = 1000;
  XEvent event{};
  event.xkey.display = d;
  event.xkey.window = app.canvas;
  event.xkey.root = DefaultRootWindow(d);
  event.xkey.keycode = XKeysymToKeycode(d, key);
  event.xkey.same_screen = True;
  for (int n = 0; n < count; ++n) {
    event.xkey.type = KeyPress;
    event.xkey.time = stamp += 10;
    XSendEvent(d, app.canvas, True, KeyPressMask, &event);
    event.xkey.type = KeyRelease;
    event.xkey.time = stamp += 10;
    XSendEvent(d, app.canvas, True, KeyReleaseMask, &event);
  }
  XFlush(d);
}

void keyDown(const App& app, const std::string& key) {
  focus(app);
  runTool({"xdotool", "keydown", key});
}

void keyUp(const App& app, const std::string& key) {
  focus(app);
  runTool({"xdotool", "keyup", key});
}

void movePointer(const App& app, int x, int y) {
  follow(app);
  runTool({"xdotool", "mousemove", "--window", std::to_string(app.canvas), std::to_string(x),
           std::to_string(y)});
}

void click(const App& app, int x, int y, int button, int repeat) {
  focus(app);
  runTool({"xdotool", "mousemove", "--window", std::to_string(app.canvas), std::to_string(x),
           std::to_string(y), "click", "--repeat", std::to_string(repeat), "--delay", "40",
           std::to_string(button)});
}

void resize(const App& app, int width, int height) {
  follow(app);
  // A window manager marks the windows it manages as shown (WM_STATE Normal);
  // Wine 10 waits for that mark before it takes an outside resize as the
  // window's new size, so the harness sets it as the window manager would.
  const Atom wmState = XInternAtom(display, "WM_STATE", False);
  const long normal[2] = {NormalState, None};
  XChangeProperty(display, app.frame, wmState, wmState, 32, PropModeReplace,
                  reinterpret_cast<const unsigned char*>(normal), 2);
  XResizeWindow(display, app.frame, unsigned(width), unsigned(height));
  XSync(display, False);
}

bool coverAndUncover() {
  const int screenNumber = DefaultScreen(display);
  Window cover = XCreateSimpleWindow(display, DefaultRootWindow(display), 0, 0,
                                     unsigned(DisplayWidth(display, screenNumber)),
                                     unsigned(DisplayHeight(display, screenNumber)), 0, 0, 0x808080);
  XMapRaised(display, cover);
  const bool shown = waitUntil([&] { return viewable(cover); }, 10);
  XDestroyWindow(display, cover);
  XSync(display, False);
  return shown;
}

void closeWindow(const App& app) {
  follow(app);
  XEvent event{};
  event.xclient.type = ClientMessage;
  event.xclient.window = app.frame;
  event.xclient.message_type = XInternAtom(display, "WM_PROTOCOLS", False);
  event.xclient.format = 32;
  event.xclient.data.l[0] = long(XInternAtom(display, "WM_DELETE_WINDOW", False));
  event.xclient.data.l[1] = CurrentTime;
  XSendEvent(display, app.frame, False, NoEventMask, &event);
  XSync(display, False);
}

bool running(App& app) {
  if (app.pid <= 0) return false;
  int status = 0;
  pid_t done = waitpid(app.pid, &status, WNOHANG);
  if (done == 0) return true;
  if (done == app.pid) {
    app.exitStatus = WIFEXITED(status) ? WEXITSTATUS(status) : 128 + WTERMSIG(status);
  }
  app.pid = -1;
  return false;
}

int waitExit(App& app, double seconds) {
  if (waitUntil([&] { return !running(app); }, seconds)) return app.exitStatus;
  kill(app);
  return -1;
}

void kill(App& app) {
  if (app.pid > 0) {
    ::kill(-app.pid, SIGKILL);
    ::kill(app.pid, SIGKILL);
    waitpid(app.pid, nullptr, 0);
  }
  app.pid = -1;
}

double cpuSeconds(const App& app) {
  const std::string tasks = "/proc/" + std::to_string(app.pid) + "/task";
  DIR* dir = opendir(tasks.c_str());
  if (dir == nullptr) return 0;
  double seconds = 0;
  while (dirent* entry = readdir(dir)) {
    if (entry->d_name[0] == '.') continue;
    std::ifstream stat(tasks + "/" + entry->d_name + "/schedstat");
    double nanoseconds = 0;
    if (stat >> nanoseconds) seconds += nanoseconds / 1e9;
  }
  closedir(dir);
  return seconds;
}

double coreShare(const App& app, double seconds) {
  const double start = now(), used = cpuSeconds(app);
  std::this_thread::sleep_for(std::chrono::duration<double>(seconds));
  return (cpuSeconds(app) - used) / (now() - start);
}

int runToExit(const Launch& how, double seconds) {
  xDisplay();
  App app;
  app.pid = spawn(how);
  return waitExit(app, seconds);
}

// Additions for programs other than the SDL ones (ruletri natively and under Wine).

std::string windowName(Window w) {
  char* text = nullptr;
  std::string result;
  if (XFetchName(xDisplay(), w, &text) && text != nullptr) result = text;
  if (text != nullptr) XFree(text);
  return result;
}

bool launchTitled(App& app, const Launch& how, const std::string& title) {
  return launchPicking(app, how, [=](Window top) { return windowName(top) == title ? top : Window(0); });
}

bool ping(const App& app, double seconds) {
  follow(app);
  Window root = DefaultRootWindow(display);
  Atom protocols = XInternAtom(display, "WM_PROTOCOLS", False);
  Atom pingAtom = XInternAtom(display, "_NET_WM_PING", False);
  static long serial = 0;
  const long stamp = ++serial;
  XSelectInput(display, root, SubstructureNotifyMask);
  XEvent event{};
  event.xclient.type = ClientMessage;
  event.xclient.window = app.frame;
  event.xclient.message_type = protocols;
  event.xclient.format = 32;
  event.xclient.data.l[0] = long(pingAtom);
  event.xclient.data.l[1] = stamp;
  event.xclient.data.l[2] = long(app.frame);
  XSendEvent(display, app.frame, False, NoEventMask, &event);
  XSync(display, False);
  bool answered = waitUntil(
      [&] {
        XEvent reply;
        while (XCheckTypedWindowEvent(display, root, ClientMessage, &reply)) {
          if (reply.xclient.message_type == protocols && Atom(reply.xclient.data.l[0]) == pingAtom &&
              reply.xclient.data.l[1] == stamp)
            return true;
        }
        return false;
      },
      seconds);
  XSelectInput(display, root, NoEventMask);
  XEvent other;
  while (XCheckWindowEvent(display, root, SubstructureNotifyMask, &other)) {
  }
  XSync(display, True);
  return answered;
}

}  // namespace e2e
