// The half of the Win32 layer that every platform shares: one window class,
// one top-level window, its device context, and the message loop. Where the
// program relies on Win32 behaviour it is kept:
// - a window is never validated, so WM_PAINT comes whenever nothing else
//   waits;
// - UpdateWindow sends the pending WM_PAINT of a visible window at once;
// - DestroyWindow sends WM_DESTROY; DefWindowProcA turns WM_CLOSE into it;
// - PostQuitMessage makes the next GetMessageA return 0 with its code;
// - MsgWaitForMultipleObjectsEx, with no handles, returns once a message
//   other than WM_PAINT waits (or the time is up): here any platform event
//   counts, a change of the client size included.
#include "platform.h"

#include <cstring>

namespace win32 {

namespace {
char instanceTag, iconTag, cursorTag, windowTag, dcTag;
char className[256];
const ATOM classAtom = 0xC000;
const WORD iconResource = 7;
const uintptr_t arrowCursor = 32512;
}  // namespace

HINSTANCE const theInstance = reinterpret_cast<HINSTANCE>(&instanceTag);
HICON const theIcon = reinterpret_cast<HICON>(&iconTag);
HCURSOR const theCursor = reinterpret_cast<HCURSOR>(&cursorTag);
HWND const theWindow = reinterpret_cast<HWND>(&windowTag);
HDC const theDC = reinterpret_cast<HDC>(&dcTag);

WNDCLASSEXA windowClass;
bool classRegistered = false;
bool windowAlive = false;
bool quitPosted = false;
int quitCode = 0;

bool isOurWindow(HWND hwnd) { return hwnd == theWindow && windowAlive; }

int startWinMain() {
  static char commandLine[] = "";
  return WinMain(theInstance, NULL, commandLine, SW_SHOWDEFAULT);
}

}  // namespace win32

using namespace win32;

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

HWND WINAPI CreateWindowExA(DWORD, LPCSTR name, LPCSTR title, DWORD, int x, int y, int width,
                            int height, HWND, HMENU, HINSTANCE, LPVOID) {
  if (!classRegistered || name == nullptr || strcmp(name, className) != 0 || windowAlive) return NULL;
  if (!platformCreateWindow(title != nullptr ? title : "", x, y, width, height)) return NULL;
  windowAlive = true;
  return theWindow;
}

HDC WINAPI GetDC(HWND hwnd) { return isOurWindow(hwnd) ? theDC : NULL; }

// Returns whether the window was visible before, as Win32 does.
BOOL WINAPI ShowWindow(HWND hwnd, int cmdShow) {
  if (!isOurWindow(hwnd)) return FALSE;
  return platformShowWindow(cmdShow != SW_HIDE);
}

// A shown window is never valid, so it gets its WM_PAINT straight away; a
// hidden one has nothing to paint.
BOOL WINAPI UpdateWindow(HWND hwnd) {
  if (!isOurWindow(hwnd)) return FALSE;
  if (platformWindowVisible()) windowClass.lpfnWndProc(hwnd, WM_PAINT, 0, 0);
  platformFlush();
  return TRUE;
}

BOOL WINAPI GetMessageA(MSG* msg, HWND, UINT, UINT) {
  for (;;) {
    platformFlush();
    if (quitPosted) {
      quitPosted = false;
      *msg = MSG{};
      msg->message = WM_QUIT;
      msg->wParam = WPARAM(quitCode);
      return FALSE;
    }
    int taken = platformNextEvent(msg);
    if (taken < 0) return -1;
    if (taken > 0) {
      if (isOurWindow(msg->hwnd)) return TRUE;
      continue;
    }
    if (!windowAlive || !platformWindowVisible()) {
      platformWaitForEvent(-1);
      continue;
    }
    *msg = MSG{};
    msg->hwnd = theWindow;
    msg->message = WM_PAINT;
    return TRUE;
  }
}

BOOL WINAPI TranslateMessage(const MSG*) { return FALSE; }

LRESULT WINAPI DispatchMessageA(const MSG* msg) {
  LRESULT result = 0;
  if (msg != nullptr && isOurWindow(msg->hwnd))
    result = windowClass.lpfnWndProc(msg->hwnd, msg->message, msg->wParam, msg->lParam);
  platformFlush();
  return result;
}

LRESULT WINAPI DefWindowProcA(HWND hwnd, UINT message, WPARAM, LPARAM) {
  if (message == WM_CLOSE) DestroyWindow(hwnd);
  return 0;
}

BOOL WINAPI DestroyWindow(HWND hwnd) {
  if (!isOurWindow(hwnd)) return FALSE;
  windowClass.lpfnWndProc(hwnd, WM_DESTROY, 0, 0);
  platformFlush();
  windowAlive = false;
  platformDestroyWindow();
  return TRUE;
}

void WINAPI PostQuitMessage(int exitCode) {
  quitPosted = true;
  quitCode = exitCode;
}

DWORD WINAPI MsgWaitForMultipleObjectsEx(DWORD count, const HANDLE*, DWORD milliseconds, DWORD, DWORD) {
  if (count != 0) return WAIT_FAILED;
  if (quitPosted) return WAIT_OBJECT_0;
  platformFlush();
  const bool came = platformWaitForEvent(milliseconds == INFINITE ? -1 : int(milliseconds));
  return came ? WAIT_OBJECT_0 : WAIT_TIMEOUT;
}
