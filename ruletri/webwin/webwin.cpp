// The Win32 calls of ruletri over a web page's canvas, for the Emscripten
// build: one window class, one window (the canvas, filling the page), its
// device context, and a message loop fed by the browser's mouse and resize
// events. Where the program relies on Win32 behaviour it is kept:
// - a window is never validated, so WM_PAINT comes whenever nothing else waits;
// - a change of the client size clears it to the class background (white);
// - a double click arrives as two WM_LBUTTONDOWN (the class has no CS_DBLCLKS);
// - SetPixel shows at once (the pixels go to the canvas after every message
//   and before the loop waits).
// The loop waits by handing control back to the browser (Asyncify).
#include <emscripten.h>
#include <windows.h>

#include <array>
#include <cstring>

// The canvas takes the page's whole area; a new size clears the client area
// to the class background, white (ruletri's class redraws on every resize).
// Mouse buttons become messages with the client position in lParam, as
// MAKELPARAM(x, y).
EM_JS(void, attachCanvas, (const char* title), {
  document.title = UTF8ToString(title);
  const canvas = Module.canvas;
  const win = Module.webwin = { queue: [], context: canvas.getContext('2d'), image: null, changed: false };
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
  };
  win.fit();
  window.addEventListener('resize', win.fit);
  const buttonMessages = [[0x201, 0x202], [0x207, 0x208], [0x204, 0x205]];
  function button(event, down) {
    const messages = buttonMessages[event.button];
    if (!messages) return;
    const lParam = ((event.offsetY & 0xFFFF) << 16) | (event.offsetX & 0xFFFF);
    win.queue.push([messages[down ? 0 : 1], 0, lParam]);
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

namespace {

// Opaque handle values: each handle is the address of its tag.
char instanceTag, iconTag, cursorTag, windowTag, dcTag;
HINSTANCE const theInstance = reinterpret_cast<HINSTANCE>(&instanceTag);
HICON const theIcon = reinterpret_cast<HICON>(&iconTag);
HCURSOR const theCursor = reinterpret_cast<HCURSOR>(&cursorTag);
HWND const theWindow = reinterpret_cast<HWND>(&windowTag);
HDC const theDC = reinterpret_cast<HDC>(&dcTag);

const ATOM classAtom = 0xC000;
const WORD iconResource = 7;
const uintptr_t arrowCursor = 32512;

char className[256];
WNDCLASSEXA windowClass;
bool classRegistered = false;
bool windowAlive = false;
bool windowShown = false;

bool quitPosted = false;
int quitCode = 0;
bool paintWasLast = false;
const int idlePaintWaitMs = 5;

// Pixels set since the canvas was last brought up to date: x, y, colour.
std::array<int32_t, 3 * 16384> pendingPixels;
int pendingCount = 0;

bool isOurWindow(HWND hwnd) { return hwnd == theWindow && windowAlive; }

void writePixels() {
  writeCanvasPixels(pendingPixels.data(), pendingCount);
  pendingCount = 0;
}

// Shows every pixel set so far.
void flushPixels() {
  writePixels();
  showCanvasPixels();
}

bool takeQueued(MSG* msg) {
  static std::array<int32_t, 3> fields;
  if (!takeQueuedEvent(fields.data())) return false;
  *msg = MSG{};
  msg->hwnd = theWindow;
  msg->message = UINT(fields[0]);
  msg->wParam = WPARAM(fields[1]);
  msg->lParam = LPARAM(fields[2]);
  return true;
}

}  // namespace

ATOM WINAPI RegisterClassExA(const WNDCLASSEXA* wc) {
  if (wc == nullptr || wc->cbSize != sizeof(WNDCLASSEXA) || wc->lpfnWndProc == nullptr ||
      wc->lpszClassName == nullptr || classRegistered)
    return 0;
  size_t length = strlen(wc->lpszClassName);
  if (length == 0 || length >= sizeof className) return 0;
  memcpy(className, wc->lpszClassName, length + 1);
  windowClass = *wc;
  windowClass.lpszClassName = className;
  classRegistered = true;
  return classAtom;
}

HICON WINAPI LoadIconA(HINSTANCE instance, LPCSTR name) {
  return instance == theInstance && reinterpret_cast<uintptr_t>(name) == iconResource ? theIcon : NULL;
}

HCURSOR WINAPI LoadCursorA(HINSTANCE instance, LPCSTR name) {
  return instance == NULL && reinterpret_cast<uintptr_t>(name) == arrowCursor ? theCursor : NULL;
}

// The page is the window: its position and outer size do not apply.
HWND WINAPI CreateWindowExA(DWORD, LPCSTR name, LPCSTR title, DWORD, int, int, int, int, HWND, HMENU,
                            HINSTANCE, LPVOID) {
  if (!classRegistered || name == nullptr || strcmp(name, className) != 0 || windowAlive) return NULL;
  attachCanvas(title != nullptr ? title : "");
  windowAlive = true;
  return theWindow;
}

HDC WINAPI GetDC(HWND hwnd) { return isOurWindow(hwnd) ? theDC : NULL; }

BOOL WINAPI ShowWindow(HWND hwnd, int cmdShow) {
  if (!isOurWindow(hwnd)) return FALSE;
  const BOOL wasVisible = windowShown;
  windowShown = cmdShow != SW_HIDE;
  showCanvas(windowShown);
  return wasVisible;
}

BOOL WINAPI UpdateWindow(HWND hwnd) {
  if (!isOurWindow(hwnd)) return FALSE;
  if (windowShown) windowClass.lpfnWndProc(hwnd, WM_PAINT, 0, 0);
  flushPixels();
  return TRUE;
}

BOOL WINAPI GetMessageA(MSG* msg, HWND, UINT, UINT) {
  for (;;) {
    flushPixels();
    if (quitPosted) {
      quitPosted = false;
      *msg = MSG{};
      msg->message = WM_QUIT;
      msg->wParam = WPARAM(quitCode);
      return FALSE;
    }
    if (takeQueued(msg)) {
      paintWasLast = false;
      if (isOurWindow(msg->hwnd)) return TRUE;
      continue;
    }
    // Nothing queued: the never-validated window asks to be painted. After
    // such a paint the loop gives the browser a moment for input first.
    if (paintWasLast || !windowAlive || !windowShown) {
      paintWasLast = false;
      emscripten_sleep(idlePaintWaitMs);
      continue;
    }
    *msg = MSG{};
    msg->hwnd = theWindow;
    msg->message = WM_PAINT;
    paintWasLast = true;
    return TRUE;
  }
}

BOOL WINAPI TranslateMessage(const MSG*) { return FALSE; }

LRESULT WINAPI DispatchMessageA(const MSG* msg) {
  LRESULT result = 0;
  if (msg != nullptr && isOurWindow(msg->hwnd))
    result = windowClass.lpfnWndProc(msg->hwnd, msg->message, msg->wParam, msg->lParam);
  flushPixels();
  return result;
}

LRESULT WINAPI DefWindowProcA(HWND hwnd, UINT message, WPARAM, LPARAM) {
  if (message == WM_CLOSE) DestroyWindow(hwnd);
  return 0;
}

BOOL WINAPI DestroyWindow(HWND hwnd) {
  if (!isOurWindow(hwnd)) return FALSE;
  windowClass.lpfnWndProc(hwnd, WM_DESTROY, 0, 0);
  flushPixels();
  windowAlive = false;
  windowShown = false;
  showCanvas(false);
  return TRUE;
}

void WINAPI PostQuitMessage(int exitCode) {
  quitPosted = true;
  quitCode = exitCode;
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

int main() {
  static char commandLine[] = "";
  return WinMain(theInstance, NULL, commandLine, SW_SHOWDEFAULT);
}
