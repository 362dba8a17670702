// The meeting point of the Win32 layer's shared half (win32.cpp: the window
// class, the window's life, the message loop, default handling, the quit
// message) and a back end, which brings one window, its pixels, its input and
// its exposures to a platform. The back end also supplies GetClientRect,
// SetPixel, MessageBoxA and main.
#pragma once

#include <windows.h>

namespace win32 {

// The layer has one instance, one icon, one cursor, one window and one
// device context; each handle is the address of a tag of its own.
extern HINSTANCE const theInstance;
extern HICON const theIcon;
extern HCURSOR const theCursor;
extern HWND const theWindow;
extern HDC const theDC;

// The one class, its name kept in the layer.
extern WNDCLASSEXA windowClass;
extern bool classRegistered;
// From CreateWindowExA until DestroyWindow.
extern bool windowAlive;
// Set by PostQuitMessage, taken by the next GetMessageA.
extern bool quitPosted;
extern int quitCode;

bool isOurWindow(HWND hwnd);
// WinMain as a process starts it, with no command line.
int startWinMain();

}  // namespace win32

// Supplied by the back end.
// Makes the window; title is never null. False when the platform cannot.
bool platformCreateWindow(LPCSTR title, int x, int y, int width, int height);
// Shows or hides the window, returning once done; says whether it was visible.
bool platformShowWindow(bool show);
bool platformWindowVisible();
// Called with the window already gone from the layer's view.
void platformDestroyWindow();
// Takes the next platform event: 1 when one was taken (msg->hwnd is NULL when
// it makes no message), 0 when none waits, -1 when the platform is unusable.
int platformNextEvent(MSG* msg);
// Waits up to milliseconds (-1: as long as it takes) for an event (input, a
// close request, a change of the client size); says whether one came.
bool platformWaitForEvent(int milliseconds);
// Shows everything painted so far.
void platformFlush();
