// ruletri_icons: draws ruletri's triangle with its own automaton, one sweep over
// a 512 x 256 client area shown at twice its height, and writes it as PNG
// icons, as the .ico of the Windows program (icon group 7: 16 x 16 and
// 32 x 32 in 16 colours, 32 x 32 in 256 colours) and as the header of ARGB
// pixels that the X11 window shows as its icon.
//
// Usage: ruletri_icons <hicolor theme folder> <out.ico> <out.h>
#include "grid.h"
#include "icons.h"

namespace {

constexpr RECT drawnClient = {0, 0, 512, 256};

bool cellShown(int x, int y) {
  y /= 2;
  return x >= 0 && y >= 0 && x < gridWidth && y < gridHeight && grid[x][y] != 0;
}

}  // namespace

// The automaton's two window-system operations: the client size is the one
// above, and the painting is read back from the cells instead.
BOOL WINAPI GetClientRect(HWND, RECT* rect) {
  *rect = drawnClient;
  return TRUE;
}
COLORREF WINAPI SetPixel(HDC, int, int, COLORREF colour) { return colour; }

int main(int argc, char** argv) {
  syncGridSize();
  sweepGrid();
  const IconSource figure = {0, 0, drawnClient.right, 2 * drawnClient.bottom, cellShown};
  return writeProgramIcons(argc, argv, "ruletri", classicIco, figure, true);
}
