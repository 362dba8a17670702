// ruletri's window: the class, the one window titled "Nestri", and the
// procedure that routes painting to the size check and left clicks to the sweep.
#pragma once

#include <windows.h>

extern HINSTANCE appInstance;

LRESULT CALLBACK WndProc(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam);
