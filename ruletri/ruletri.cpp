// ruletri: a triangle of nested triangles grown by a one-dimensional cellular
// automaton (rule 126 from one seed), one pixel row per generation, painted
// black into the window "Nestri".
//
// Mouse:  left click   one sweep down the window (the first draws the figure)
// Window: resize       starts the automaton afresh at the new size
//         close        ends the program
// Keys do nothing.
#include "ruletri.h"

#include "grid.h"

HINSTANCE appInstance;

namespace {

const char windowClassName[] = "myWindowClass";

void reportFailure(LPCSTR text) { MessageBoxA(NULL, text, "Error!", MB_ICONEXCLAMATION | MB_OK); }

// WM_PAINT comes only when no other message waits, and as the window is never
// validated it would come again at once, all the while the window is idle.
// After one the loop sleeps until some other message waits. A change of the
// client size need not wake it (Wine makes one in the middle of the sleep,
// and it leaves only a paint behind): WM_SIZE checks the size at once.
void waitForOtherMessage() {
  MsgWaitForMultipleObjectsEx(0, NULL, INFINITE, QS_ALLINPUT & ~QS_PAINT, MWMO_INPUTAVAILABLE);
}

}  // namespace

// WM_PAINT is answered without validating the window, so it keeps coming
// whenever the queue is empty: the size check runs whenever the window has
// been idle, and also as soon as the window has a new size (WM_SIZE, once
// CreateWindowExA has returned the window).
LRESULT CALLBACK WndProc(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam) {
  switch (message) {
    case WM_PAINT:
      syncGridSize();
      return 0;
    case WM_SIZE:
      if (hwnd == mainWindow) syncGridSize();
      return DefWindowProcA(hwnd, message, wParam, lParam);
    case WM_LBUTTONDOWN:
      sweepGrid();
      return 0;
    case WM_CLOSE:
      DestroyWindow(hwnd);
      return 0;
    case WM_DESTROY:
      PostQuitMessage(0);
      return 0;
    default:
      return DefWindowProcA(hwnd, message, wParam, lParam);
  }
}

int WINAPI WinMain(HINSTANCE hInstance, HINSTANCE, LPSTR, int nCmdShow) {
  appInstance = hInstance;

  WNDCLASSEXA wc{};
  wc.cbSize = sizeof(WNDCLASSEXA);
  wc.style = CS_VREDRAW | CS_HREDRAW;
  wc.lpfnWndProc = WndProc;
  wc.cbClsExtra = 0;
  wc.cbWndExtra = 0;
  wc.hInstance = appInstance;
  wc.hIcon = LoadIconA(appInstance, MAKEINTRESOURCE(7));
  wc.hCursor = LoadCursorA(NULL, IDC_ARROW);
  wc.hbrBackground = (HBRUSH)(intptr_t)(COLOR_WINDOW + 1);
  wc.lpszMenuName = NULL;
  wc.lpszClassName = windowClassName;
  wc.hIconSm = LoadIconA(appInstance, MAKEINTRESOURCE(7));
  if (!RegisterClassExA(&wc)) {
    reportFailure("Window Registration Failed!");
    return 0;
  }

  mainWindow = CreateWindowExA(0, windowClassName, "Nestri", WS_OVERLAPPEDWINDOW, 50, 50, gridWidth,
                               gridHeight + 40, NULL, NULL, appInstance, NULL);
  if (mainWindow == NULL) {
    reportFailure("Window Creation Failed!");
    return 0;
  }
  windowDC = GetDC(mainWindow);
  ShowWindow(mainWindow, nCmdShow);
  UpdateWindow(mainWindow);
  plantSeed();

  MSG msg = {};
  while (GetMessageA(&msg, NULL, 0, 0) > 0) {
    TranslateMessage(&msg);
    DispatchMessageA(&msg);
    if (msg.message == WM_PAINT) waitForOtherMessage();
  }
  return int(msg.wParam);
}
