#include "ruletri_oracle.h"

#include <algorithm>

#include "grid.h"

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
  oracleResetGrid(std::min(width, gridCapacity), std::min(height, gridCapacity));
  // The used region sits in the middle of a client area larger than the grid.
  int left = (width - gridWidth) / 2, top = (height - gridHeight) / 2;
  std::vector<uint32_t> image(size_t(width) * height, 0xFFFFFF);
  std::vector<uint8_t> before(size_t(gridWidth) * gridHeight);
  for (int n = 0; n < sweeps; ++n) {
    for (int j = 0; j < gridWidth; ++j)
      for (int i = 0; i < gridHeight; ++i) before[size_t(i) * gridWidth + j] = grid[j][i];
    oracleSweepGrid();
    for (int j = 0; j < gridWidth; ++j)
      for (int i = 0; i < gridHeight; ++i)
        if (grid[j][i] != before[size_t(i) * gridWidth + j])
          image[size_t(top + i) * width + left + j] = 0x000000;
  }
  return image;
}
