// The canvas back end of ruletri's Win32 layer, for the Emscripten build: the
// window is the canvas, filling the page, and the browser's mouse and resize
// events feed the message loop. Where the program relies on Win32 behaviour
// it is kept:
// - a change of the client size clears it to the class background (white);
// - a double click arrives as two WM_LBUTTONDOWN (the class has no CS_DBLCLKS);
// - SetPixel shows at once (the pixels go to the canvas after every message
//   and before the loop waits).
// The loop waits by handing control back to the browser (Asyncify) until a
// mouse button or a new size wakes it.
#include <emscripten.h>

#include "platform.h"

#include <array>

// The JavaScript below reads C strings with UTF8ToString. Newer Emscripten
// puts only the runtime functions a module names into it (older ones have
// no EM_JS_DEPS and always carry this one).
#ifdef EM_JS_DEPS
EM_JS_DEPS(webwin, "$UTF8ToString");
#endif

// The canvas takes the page's whole area; a new size clears the client area
// to the class background, white (ruletri's class redraws on every resize).
// Mouse buttons become messages with the client position in lParam, as
// MAKELPARAM(x, y). Both wake a waiting loop (win.wake).
EM_JS(void, attachCanvas, (const char* title), {
  document.title = UTF8ToString(title);
  const canvas = Module.canvas;
  const win = Module.webwin = { queue: [], context: canvas.getContext('2d'), image: null, changed: false,
                                wake: function() {} };
  canvas.style.cssText = 'position: fixed; left: 0; top: 0; margin: 0; background: white;';
  win.fit = function() {
    const width = Math.max(1, document.documentElement.clientWidth);
    const height = Math.max(1, document.documentElement.clientHeight);
    if (win.image && width == canvas.width && height == canvas.height) return;
    canvas.width = width;
    canvas.height = height;
    win.image = win.context.createImageData(width, height);
    win.image.data.fill(255);
    win.context.putImageData(win.image, 0, 0);
    win.wake();
  };
  win.fit();
  window.addEventListener('resize', win.fit);
  const buttonMessages = [[0x201, 0x202], [0x207, 0x208], [0x204, 0x205]];
  function button(event, down) {
    const messages = buttonMessages[event.button];
    if (!messages) return;
    const lParam = ((event.offsetY & 0xFFFF) << 16) | (event.offsetX & 0xFFFF);
    win.queue.push([messages[down ? 0 : 1], 0, lParam]);
    win.wake();
    event.preventDefault();
  }
  canvas.addEventListener('mousedown', function(event) { button(event, true); });
  canvas.addEventListener('mouseup', function(event) { button(event, false); });
});

EM_JS(void, showCanvas, (bool shown), { Module.canvas.style.visibility = shown ? 'visible' : 'hidden'; });
EM_JS(int, canvasWidth, (), { return Module.canvas.width; });
EM_JS(int, canvasHeight, (), { return Module.canvas.height; });

// Writes count pixels (x, y, colour each) into the page's image of the
// client area; pixels outside the current client area are dropped.
EM_JS(void, writeCanvasPixels, (const int32_t* pixels, int count), {
  const win = Module.webwin;
  const data = win.image.data;
  const width = win.image.width;
  const height = win.image.height;
  for (let i = 0; i < count; i++) {
    const at = (pixels >> 2) + 3 * i;
    const x = HEAP32[at];
    const y = HEAP32[at + 1];
    const colour = HEAP32[at + 2];
    if (x < 0 || y < 0 || x >= width || y >= height) continue;
    const o = 4 * (y * width + x);
    data[o] = colour & 255;
    data[o + 1] = (colour >> 8) & 255;
    data[o + 2] = (colour >> 16) & 255;
    data[o + 3] = 255;
  }
  win.changed = true;
});

EM_JS(void, showCanvasPixels, (), {
  const win = Module.webwin;
  if (!win || !win.changed) return;
  win.context.putImageData(win.image, 0, 0);
  win.changed = false;
});

// Hands control to the browser until a mouse button is queued, the canvas
// takes a new size, or milliseconds pass (-1: no limit); says whether
// anything came. The loop goes on in a task of its own, after the event's.
EM_ASYNC_JS(int, waitForCanvasEvent, (int milliseconds), {
  const win = Module.webwin;
  if (win && win.queue.length > 0) return 1;
  return new Promise(resolve => {
    let waiting = true;
    let timer = null;
    const wakeSoon = () => setTimeout(() => finish(1), 0);
    const finish = came => {
      if (!waiting) return;
      waiting = false;
      clearTimeout(timer);
      if (win && win.wake === wakeSoon) win.wake = function() {};
      resolve(came);
    };
    if (milliseconds >= 0) timer = setTimeout(() => finish(0), milliseconds);
    if (win) win.wake = wakeSoon;
  });
});

// The oldest queued browser event as message, wParam, lParam; 0 when none waits.
EM_JS(int, takeQueuedEvent, (int32_t* fields), {
  const next = Module.webwin ? Module.webwin.queue.shift() : undefined;
  if (!next) return 0;
  HEAP32.set(next, fields >> 2);
  return 1;
});

EM_JS(void, alertBox, (const char* caption, const char* text), {
  alert(UTF8ToString(caption) + '\n\n' + UTF8ToString(text));
});

using namespace win32;

namespace {

bool windowShown = false;

// Pixels set since the canvas was last brought up to date: x, y, colour.
std::array<int32_t, 3 * 16384> pendingPixels;
int pendingCount = 0;

void writePixels() {
  writeCanvasPixels(pendingPixels.data(), pendingCount);
  pendingCount = 0;
}

}  // namespace

// The page is the window: its position and outer size do not apply.
bool platformCreateWindow(LPCSTR title, int, int, int, int) {
  attachCanvas(title);
  return true;
}

bool platformShowWindow(bool show) {
  const bool wasVisible = windowShown;
  windowShown = show;
  showCanvas(windowShown);
  return wasVisible;
}

bool platformWindowVisible() { return windowShown; }

void platformDestroyWindow() {
  windowShown = false;
  showCanvas(false);
}

int platformNextEvent(MSG* msg) {
  static std::array<int32_t, 3> fields;
  if (!takeQueuedEvent(fields.data())) return 0;
  *msg = MSG{};
  msg->hwnd = theWindow;
  msg->message = UINT(fields[0]);
  msg->wParam = WPARAM(fields[1]);
  msg->lParam = LPARAM(fields[2]);
  return 1;
}

bool platformWaitForEvent(int milliseconds) { return waitForCanvasEvent(milliseconds) != 0; }

// Shows every pixel set so far.
void platformFlush() {
  writePixels();
  showCanvasPixels();
}

int WINAPI MessageBoxA(HWND, LPCSTR text, LPCSTR caption, UINT) {
  alertBox(caption != nullptr ? caption : "Error", text != nullptr ? text : "");
  return 1;  // IDOK
}

BOOL WINAPI GetClientRect(HWND hwnd, RECT* rect) {
  if (!isOurWindow(hwnd) || rect == nullptr) return FALSE;
  *rect = RECT{0, 0, canvasWidth(), canvasHeight()};
  return TRUE;
}

COLORREF WINAPI SetPixel(HDC dc, int x, int y, COLORREF colour) {
  if (dc != theDC || !windowAlive) return COLORREF(-1);
  if (pendingCount * 3 == int(pendingPixels.size())) writePixels();
  pendingPixels[size_t(3 * pendingCount)] = x;
  pendingPixels[size_t(3 * pendingCount + 1)] = y;
  pendingPixels[size_t(3 * pendingCount + 2)] = int32_t(colour & 0xFFFFFF);
  ++pendingCount;
  return colour;
}

int main() { return startWinMain(); }
