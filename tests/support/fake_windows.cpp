#include "fake_windows.h"

#include "grid.h"
#include "ruletri.h"

namespace fake {

RECT clientRect;
bool clientRectFails;
long clientRectCalls;
bool recordPixels = true;
std::vector<Pixel> pixels;
long pixelCount;
long pixelsOutsideRegion;
bool registrationFails;
bool creationFails;
WNDCLASSEXA registeredClass;
std::string registeredClassName;
std::vector<Creation> creations;
std::vector<Box> messageBoxes;
std::vector<std::string> calls;
int showCommand = -1;
bool shown;
std::vector<MSG> queue;
bool getMessageFails;
std::vector<UINT> defaultHandled;

HWND window() { return win32::theWindow; }
HDC dc() { return win32::theDC; }
HINSTANCE instance() { return win32::theInstance; }
HICON icon() { return win32::theIcon; }
HCURSOR arrow() { return win32::theCursor; }

void resetAll() {
  for (auto& column : grid) column.fill(0);
  gridWidth = 1500;
  gridHeight = 800;
  gridLeft = 0;
  gridTop = 0;
  gridClientWidth = 1500;
  gridClientHeight = 800;
  ::clientRect = RECT{};
  ::clientWidth = 0;
  ::clientHeight = 0;
  mainWindow = window();
  windowDC = dc();
  appInstance = NULL;

  clientRect = RECT{};
  clientRectFails = false;
  clientRectCalls = 0;
  recordPixels = true;
  pixels.clear();
  pixelCount = 0;
  pixelsOutsideRegion = 0;
  registrationFails = false;
  creationFails = false;
  registeredClass = WNDCLASSEXA{};
  registeredClassName.clear();
  creations.clear();
  messageBoxes.clear();
  calls.clear();
  showCommand = -1;
  shown = false;
  queue.clear();
  getMessageFails = false;
  defaultHandled.clear();

  win32::windowClass = WNDCLASSEXA{};
  win32::classRegistered = false;
  win32::windowAlive = false;
  win32::quitPosted = false;
  win32::quitCode = 0;
}

void setClientSize(int width, int height) { clientRect = RECT{0, 0, width, height}; }

}  // namespace fake

using namespace fake;

// The platform under the layer.

bool platformCreateWindow(LPCSTR, int, int, int, int) { return !creationFails; }

bool platformShowWindow(bool show) {
  bool was = shown;
  shown = show;
  return was;
}

bool platformWindowVisible() { return shown; }

void platformDestroyWindow() {}

// After the script the loop ends as if WM_QUIT had come, or with an error.
int platformNextEvent(MSG* msg) {
  if (queue.empty()) {
    if (getMessageFails) return -1;
    win32::quitPosted = true;
    win32::quitCode = 0;
    msg->hwnd = NULL;
    return 1;
  }
  *msg = queue.front();
  queue.erase(queue.begin());
  return 1;
}

// The loop's sleeps are recorded among the window calls; nothing ever comes.
bool platformWaitForEvent(int) {
  calls.push_back("platformWaitForEvent");
  return false;
}

void platformFlush() {}

BOOL WINAPI GetClientRect(HWND hwnd, RECT* rect) {
  ++clientRectCalls;
  if (clientRectFails || hwnd != fake::window()) return FALSE;
  *rect = fake::clientRect;
  return TRUE;
}

COLORREF WINAPI SetPixel(HDC hdc, int x, int y, COLORREF colour) {
  ++pixelCount;
  int column = x - gridLeft, row = y - gridTop;
  if (column < 0 || column >= gridWidth || row < 1 || row >= gridHeight) ++pixelsOutsideRegion;
  if (recordPixels) pixels.push_back(Pixel{x, y, colour});
  return hdc == fake::dc() ? colour : COLORREF(-1);
}

int WINAPI MessageBoxA(HWND owner, LPCSTR text, LPCSTR caption, UINT type) {
  calls.push_back("MessageBoxA");
  messageBoxes.push_back(Box{owner, text, caption, type});
  return 1;
}

// The layer's window calls, recorded on their way in (the linker sends the
// program's calls here first).
extern "C" {
ATOM __real_RegisterClassExA(const WNDCLASSEXA* wc);
HWND __real_CreateWindowExA(DWORD exStyle, LPCSTR className, LPCSTR title, DWORD style, int x, int y,
                            int width, int height, HWND parent, HMENU menu, HINSTANCE hinstance,
                            LPVOID param);
HICON __real_LoadIconA(HINSTANCE hinstance, LPCSTR name);
HCURSOR __real_LoadCursorA(HINSTANCE hinstance, LPCSTR name);
HDC __real_GetDC(HWND hwnd);
BOOL __real_ShowWindow(HWND hwnd, int cmdShow);
BOOL __real_UpdateWindow(HWND hwnd);
LRESULT __real_DefWindowProcA(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam);
BOOL __real_DestroyWindow(HWND hwnd);
void __real_PostQuitMessage(int exitCode);

ATOM __wrap_RegisterClassExA(const WNDCLASSEXA* wc) {
  calls.push_back("RegisterClassExA");
  if (registrationFails) return 0;
  registeredClass = *wc;
  registeredClassName = wc->lpszClassName;
  return __real_RegisterClassExA(wc);
}

HWND __wrap_CreateWindowExA(DWORD exStyle, LPCSTR className, LPCSTR title, DWORD style, int x, int y,
                            int width, int height, HWND parent, HMENU menu, HINSTANCE hinstance,
                            LPVOID param) {
  calls.push_back("CreateWindowExA");
  creations.push_back(Creation{exStyle, className, title, style, x, y, width, height, parent, menu,
                               hinstance, param});
  return __real_CreateWindowExA(exStyle, className, title, style, x, y, width, height, parent, menu,
                                hinstance, param);
}

HICON __wrap_LoadIconA(HINSTANCE hinstance, LPCSTR name) {
  calls.push_back("LoadIconA");
  return __real_LoadIconA(hinstance, name);
}

HCURSOR __wrap_LoadCursorA(HINSTANCE hinstance, LPCSTR name) {
  calls.push_back("LoadCursorA");
  return __real_LoadCursorA(hinstance, name);
}

HDC __wrap_GetDC(HWND hwnd) {
  calls.push_back("GetDC");
  return __real_GetDC(hwnd);
}

BOOL __wrap_ShowWindow(HWND hwnd, int cmdShow) {
  calls.push_back("ShowWindow");
  showCommand = cmdShow;
  return __real_ShowWindow(hwnd, cmdShow);
}

BOOL __wrap_UpdateWindow(HWND hwnd) {
  calls.push_back("UpdateWindow");
  return __real_UpdateWindow(hwnd);
}

LRESULT __wrap_DefWindowProcA(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam) {
  defaultHandled.push_back(message);
  return __real_DefWindowProcA(hwnd, message, wParam, lParam);
}

BOOL __wrap_DestroyWindow(HWND hwnd) {
  calls.push_back("DestroyWindow");
  return __real_DestroyWindow(hwnd);
}

void __wrap_PostQuitMessage(int exitCode) {
  calls.push_back("PostQuitMessage");
  __real_PostQuitMessage(exitCode);
}
}
