#include "grid.h"

std::array<std::array<uint8_t, gridCapacity>, gridCapacity> grid;
int gridWidth = 1500;
int gridHeight = 800;
RECT clientRect;
int clientWidth;
int clientHeight;
HWND mainWindow;
HDC windowDC;

namespace {

// A client area beyond the grid uses only the grid's 2000 columns or rows.
int clipToGrid(LONG size) {
  if (size < 0) return 0;
  return size > gridCapacity ? gridCapacity : int(size);
}

void clearUsedRegion() {
  for (int j = 0; j < gridWidth; ++j)
    for (int i = 0; i < gridHeight; ++i) grid[j][i] = 0;
}

}  // namespace

void plantSeed() {
  // With no column or no row there is no top-row cell to seed; planting one
  // would leave a live cell outside the used region.
  if (gridWidth <= 0 || gridHeight <= 0) return;
  grid[gridWidth / 2][0] = 1;
}

void syncGridSize() {
  if (GetClientRect(mainWindow, &clientRect)) {
    clientWidth = clipToGrid(clientRect.right - clientRect.left);
    clientHeight = clipToGrid(clientRect.bottom - clientRect.top);
  }
  if (clientWidth == gridWidth && clientHeight == gridHeight) return;
  clearUsedRegion();
  gridHeight = clientHeight;
  gridWidth = clientWidth;
  plantSeed();
}

// Row i from row i - 1, which this sweep has already updated. The three cells
// above slide along the row, so each cell of row i - 1 is read once; cells
// beyond the side edges count as 0.
void sweepGrid() {
  if (gridHeight <= 1 || gridWidth <= 0) return;
  for (int i = 1; i < gridHeight; ++i) {
    uint8_t left = 0;
    uint8_t up = grid[0][i - 1];
    for (int j = 0; j < gridWidth; ++j) {
      uint8_t right = j + 1 < gridWidth ? grid[j + 1][i - 1] : 0;
      uint8_t sum = uint8_t(left + up + right);
      if (sum == 1 || sum == 2) {
        SetPixel(windowDC, j, i, 0);
        ++grid[j][i];
      }
      left = up;
      up = right;
    }
  }
}
