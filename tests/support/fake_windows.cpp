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
bool classRegistered;
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
bool quitPosted;
int quitCode;

namespace {
char windowTag, dcTag, instanceTag, iconTag, arrowTag;
bool windowAlive;
}  // namespace

HWND window() { return reinterpret_cast<HWND>(&windowTag); }
HDC dc() { return reinterpret_cast<HDC>(&dcTag); }
HINSTANCE instance() { return reinterpret_cast<HINSTANCE>(&instanceTag); }
HICON icon() { return reinterpret_cast<HICON>(&iconTag); }
HCURSOR arrow() { return reinterpret_cast<HCURSOR>(&arrowTag); }

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
  classRegistered = false;
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
  quitPosted = false;
  quitCode = 0;
  windowAlive = false;
}

void setClientSize(int width, int height) { clientRect = RECT{0, 0, width, height}; }

}  // namespace fake

using namespace fake;

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

ATOM WINAPI RegisterClassExA(const WNDCLASSEXA* wc) {
  calls.push_back("RegisterClassExA");
  if (registrationFails) return 0;
  classRegistered = true;
  registeredClass = *wc;
  registeredClassName = wc->lpszClassName;
  return 0xC001;
}

HWND WINAPI CreateWindowExA(DWORD exStyle, LPCSTR className, LPCSTR title, DWORD style, int x, int y,
                            int width, int height, HWND parent, HMENU menu, HINSTANCE hinstance,
                            LPVOID param) {
  calls.push_back("CreateWindowExA");
  creations.push_back(Creation{exStyle, className, title, style, x, y, width, height, parent, menu,
                               hinstance, param});
  if (creationFails || !classRegistered || registeredClassName != className) return NULL;
  windowAlive = true;
  return fake::window();
}

HICON WINAPI LoadIconA(HINSTANCE hinstance, LPCSTR name) {
  calls.push_back("LoadIconA");
  return hinstance == fake::instance() && reinterpret_cast<uintptr_t>(name) == 7 ? fake::icon() : NULL;
}

HCURSOR WINAPI LoadCursorA(HINSTANCE hinstance, LPCSTR name) {
  calls.push_back("LoadCursorA");
  return hinstance == NULL && reinterpret_cast<uintptr_t>(name) == 32512 ? fake::arrow() : NULL;
}

HDC WINAPI GetDC(HWND hwnd) {
  calls.push_back("GetDC");
  return hwnd == fake::window() && windowAlive ? fake::dc() : NULL;
}

BOOL WINAPI ShowWindow(HWND, int cmdShow) {
  calls.push_back("ShowWindow");
  showCommand = cmdShow;
  bool was = shown;
  shown = cmdShow != SW_HIDE;
  return was;
}

BOOL WINAPI UpdateWindow(HWND hwnd) {
  calls.push_back("UpdateWindow");
  if (shown && windowAlive) registeredClass.lpfnWndProc(hwnd, WM_PAINT, 0, 0);
  return TRUE;
}

BOOL WINAPI GetMessageA(MSG* msg, HWND, UINT, UINT) {
  if (quitPosted) {
    quitPosted = false;
    *msg = MSG{};
    msg->message = WM_QUIT;
    msg->wParam = WPARAM(quitCode);
    return FALSE;
  }
  if (queue.empty()) return getMessageFails ? -1 : FALSE;
  *msg = queue.front();
  queue.erase(queue.begin());
  return TRUE;
}

BOOL WINAPI TranslateMessage(const MSG*) { return FALSE; }

LRESULT WINAPI DispatchMessageA(const MSG* msg) {
  if (!windowAlive || msg->hwnd != fake::window()) return 0;
  return registeredClass.lpfnWndProc(msg->hwnd, msg->message, msg->wParam, msg->lParam);
}

LRESULT WINAPI DefWindowProcA(HWND, UINT message, WPARAM, LPARAM) {
  defaultHandled.push_back(message);
  return 0;
}

BOOL WINAPI DestroyWindow(HWND hwnd) {
  calls.push_back("DestroyWindow");
  if (!windowAlive) return FALSE;
  WNDPROC proc = registeredClass.lpfnWndProc != nullptr ? registeredClass.lpfnWndProc : WndProc;
  proc(hwnd, WM_DESTROY, 0, 0);
  windowAlive = false;
  return TRUE;
}

void WINAPI PostQuitMessage(int exitCode) {
  calls.push_back("PostQuitMessage");
  quitPosted = true;
  quitCode = exitCode;
}

int WINAPI MessageBoxA(HWND owner, LPCSTR text, LPCSTR caption, UINT type) {
  calls.push_back("MessageBoxA");
  messageBoxes.push_back(Box{owner, text, caption, type});
  return 1;
}
