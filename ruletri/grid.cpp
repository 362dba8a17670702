#include "grid.h"

std::array<std::array<uint8_t, gridCapacity>, gridCapacity> grid;
int gridWidth = 1500;
int gridHeight = 800;
int gridLeft;
int gridTop;
RECT clientRect;
int clientWidth;
int clientHeight;
int gridClientWidth = 1500;
int gridClientHeight = 800;
HWND mainWindow;
HDC windowDC;

namespace {

// A client area beyond the grid uses only the grid's 2000 columns or rows.
int clipToGrid(int size) {
  if (size < 0) return 0;
  return size > gridCapacity ? gridCapacity : size;
}

// The margin before the used cells that puts them in the middle of the client
// area; the odd pixel, if any, goes after them.
int centringMargin(int clientSize, int usedSize) {
  return clientSize > usedSize ? (clientSize - usedSize) / 2 : 0;
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
    clientWidth = clientRect.right - clientRect.left;
    clientHeight = clientRect.bottom - clientRect.top;
  }
  if (clientWidth == gridClientWidth && clientHeight == gridClientHeight) return;
  clearUsedRegion();
  gridClientWidth = clientWidth;
  gridClientHeight = clientHeight;
  gridHeight = clipToGrid(clientHeight);
  gridWidth = clipToGrid(clientWidth);
  gridTop = centringMargin(clientHeight, gridHeight);
  gridLeft = centringMargin(clientWidth, gridWidth);
  plantSeed();
}

// Row i from row i - 1, which this sweep has already updated. The three cells
// above slide along the row, so each cell of row i - 1 is read once; cells
// beyond the side edges count as 0. Cell (j, i) is client pixel
// (gridLeft + j, gridTop + i).
void sweepGrid() {
  if (gridHeight <= 1 || gridWidth <= 0) return;
  for (int i = 1; i < gridHeight; ++i) {
    uint8_t left = 0;
    uint8_t up = grid[0][i - 1];
    for (int j = 0; j < gridWidth; ++j) {
      uint8_t right = j + 1 < gridWidth ? grid[j + 1][i - 1] : 0;
      uint8_t sum = uint8_t(left + up + right);
      if (sum == 1 || sum == 2) {
        SetPixel(windowDC, gridLeft + j, gridTop + i, 0);
        ++grid[j][i];
      }
      left = up;
      up = right;
    }
  }
}
