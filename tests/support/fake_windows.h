// A stand-in platform under ruletri's Win32 layer, for unit tests and
// benchmarks: a settable client size, SetPixel recorded (or only counted), a
// scripted message queue for WinMain, and the window calls recorded (they are
// wrapped at link time; see fake_windows.cmake). The window class, the loop
// and the callbacks of the window procedure are the layer's own.
#pragma once

#include <windows.h>

#include "platform.h"

#include <string>
#include <utility>
#include <vector>

namespace fake {

struct Pixel {
  int x, y;
  COLORREF colour;
};

// Client size
extern RECT clientRect;
extern bool clientRectFails;
extern long clientRectCalls;

// Painting
extern bool recordPixels;  // false: only count
extern std::vector<Pixel> pixels;
extern long pixelCount;
extern long pixelsOutsideRegion;  // painted outside the used region below row 0, placed at gridLeft, gridTop

// Window calls
extern bool registrationFails;
extern bool creationFails;
extern WNDCLASSEXA registeredClass;
extern std::string registeredClassName;
struct Creation {
  DWORD exStyle;
  std::string className, title;
  DWORD style;
  int x, y, width, height;
  HWND parent;
  HMENU menu;
  HINSTANCE instance;
  LPVOID param;
};
extern std::vector<Creation> creations;
struct Box {
  HWND owner;
  std::string text, caption;
  UINT type;
};
extern std::vector<Box> messageBoxes;
extern std::vector<std::string> calls;  // names of the window calls, in order
extern int showCommand;
extern bool shown;
extern std::vector<MSG> queue;           // what GetMessageA hands out, first first; then it returns 0
extern bool getMessageFails;             // when the queue is empty: -1 instead of 0
extern std::vector<UINT> defaultHandled;  // messages given to DefWindowProcA
using win32::quitCode;
using win32::quitPosted;

HWND window();
HDC dc();
HINSTANCE instance();
HICON icon();
HCURSOR arrow();

// Everything back to the start of a process: the fake's state and the
// program's (grid all 0, used region 1500 x 800, no client size yet).
void resetAll();
// The client size the next GetClientRect reports.
void setClientSize(int width, int height);

}  // namespace fake
