// ruletri_icon: draws ruletri's triangle with its own automaton, one sweep over
// a 512 x 256 client area shown at twice its height, and writes it as PNG icons.
//
// Usage: ruletri_icon <hicolor theme folder>
#include "grid.h"
#include "icon_png.h"

namespace {

constexpr RECT drawnClient = {0, 0, 512, 256};

bool cellLive(int x, int y) { return x >= 0 && y >= 0 && x < gridWidth && y < gridHeight && grid[x][y] != 0; }

}  // namespace

// The automaton's two window-system operations: the client size is the one
// above, and the painting is read back from the cells instead.
BOOL WINAPI GetClientRect(HWND, RECT* rect) {
  *rect = drawnClient;
  return TRUE;
}
COLORREF WINAPI SetPixel(HDC, int, int, COLORREF colour) { return colour; }

int main(int argc, char** argv) {
  if (argc != 2) return 2;
  syncGridSize();
  sweepGrid();
  return writeIconSet(argv[1], "ruletri", {0, 0, drawnClient.right, drawnClient.bottom, cellLive}) ? 0 : 1;
}
