#include "ruletri_oracle.h"

#include <algorithm>

#include "grid.h"
#include "ruletri_fake_windows.h"

void oracleResetGrid(int width, int height) {
  for (int j = 0; j < gridWidth; ++j)
    for (int i = 0; i < gridHeight; ++i) grid[j][i] = 0;
  gridHeight = height;
  gridWidth = width;
  if (gridWidth > 0 && gridHeight > 0) grid[gridWidth / 2][0] = 1;
}

void oracleSweepGrid() {
  if (gridHeight <= 1) return;
  for (int i = 1; i < gridHeight; ++i) {
    for (int j = 0; j < gridWidth; ++j) {
      int up = grid[j][i - 1];
      int left = j == 0 ? 0 : grid[j - 1][i - 1];
      int right = j == gridWidth - 1 ? 0 : grid[j + 1][i - 1];
      int sum = (left + up + right) % 256;
      if (sum == 1 || sum == 2) {
        SetPixel(windowDC, j, i, 0);
        grid[j][i] = uint8_t((grid[j][i] + 1) % 256);
      }
    }
  }
}

std::vector<uint32_t> oracleClientImage(int width, int height, int sweeps) {
  fake::resetAll();
  int usedWidth = std::min(width, gridCapacity), usedHeight = std::min(height, gridCapacity);
  oracleResetGrid(usedWidth, usedHeight);
  for (int n = 0; n < sweeps; ++n) oracleSweepGrid();
  // The used region in the middle of a client area larger than the grid.
  int left = (width - usedWidth) / 2, top = (height - usedHeight) / 2;
  std::vector<uint32_t> image(size_t(width) * height, 0xFFFFFF);
  for (const fake::Pixel& p : fake::pixels) image[size_t(top + p.y) * width + left + p.x] = 0x000000;
  return image;
}
