// ruletri's grid: reset, seed and sweep against a stand-in client size and
// SetPixel, compared with the worked example, the known properties of the
// automaton and the literal algorithm.
#include <gtest/gtest.h>

#include <algorithm>
#include <cstring>
#include <memory>
#include <random>
#include <set>
#include <utility>
#include <vector>

#include "grid.h"
#include "fake_windows.h"
#include "ruletri_oracle.h"

namespace {

using Cells = std::vector<std::vector<int>>;  // [row][column]
using Points = std::vector<std::pair<int, int>>;

class RuletriGrid : public ::testing::Test {
 protected:
  void SetUp() override { fake::resetAll(); }
};

void resetTo(int width, int height) {
  fake::setClientSize(width, height);
  syncGridSize();
}

Cells cellsOf(int width, int height) {
  Cells cells(size_t(height), std::vector<int>(size_t(width), 0));
  for (int i = 0; i < height; ++i)
    for (int j = 0; j < width; ++j) cells[i][j] = grid[j][i];
  return cells;
}

Points sweepAndCollect() {
  fake::pixels.clear();
  sweepGrid();
  Points points;
  for (const fake::Pixel& p : fake::pixels) {
    EXPECT_EQ(p.colour, 0u);
    points.emplace_back(p.x, p.y);
  }
  return points;
}

// (x, y) for every listed column of each row, in row order.
Points rowsOf(const std::vector<std::vector<int>>& columnsByRow) {
  Points points;
  for (size_t row = 0; row < columnsByRow.size(); ++row)
    for (int x : columnsByRow[row]) points.emplace_back(x, int(row) + 1);
  return points;
}

std::vector<std::pair<int, int>> liveCells() {
  std::vector<std::pair<int, int>> live;
  for (int j = 0; j < gridCapacity; ++j)
    for (int i = 0; i < gridCapacity; ++i)
      if (grid[j][i] != 0) live.emplace_back(j, i);
  return live;
}

const uint8_t zeros[gridCapacity] = {};

// Every cell outside columns 0..gridWidth-1, rows 0..gridHeight-1 is 0.
bool outsideUsedRegionIsZero() {
  int width = std::clamp(gridWidth, 0, gridCapacity);
  int height = std::clamp(gridHeight, 0, gridCapacity);
  for (int j = 0; j < gridCapacity; ++j) {
    int from = j < width ? height : 0;
    if (std::memcmp(grid[j].data() + from, zeros, size_t(gridCapacity - from)) != 0) return false;
  }
  return true;
}

TEST_F(RuletriGrid, NineBySixExampleAfterOneAndTwoSweeps) {
  resetTo(9, 6);
  ASSERT_EQ(gridWidth, 9);
  ASSERT_EQ(gridHeight, 6);

  // Per sweep: the columns painted in rows 1 to 5, then every cell's count.
  const std::pair<Cells, Cells> sweeps[] = {
      {{{3, 4, 5}, {2, 3, 5, 6}, {1, 2, 3, 4, 5, 6, 7}, {0, 1, 7, 8}, {0, 1, 2, 6, 7, 8}},
       {{0, 0, 0, 0, 1, 0, 0, 0, 0},
        {0, 0, 0, 1, 1, 1, 0, 0, 0},
        {0, 0, 1, 1, 0, 1, 1, 0, 0},
        {0, 1, 1, 1, 1, 1, 1, 1, 0},
        {1, 1, 0, 0, 0, 0, 0, 1, 1},
        {1, 1, 1, 0, 0, 0, 1, 1, 1}}},
      {{{3, 4, 5}, {2, 6}, {1, 4, 7}, {0, 8}, {2, 6}},
       {{0, 0, 0, 0, 1, 0, 0, 0, 0},
        {0, 0, 0, 2, 2, 2, 0, 0, 0},
        {0, 0, 2, 1, 0, 1, 2, 0, 0},
        {0, 2, 1, 1, 2, 1, 1, 2, 0},
        {2, 1, 0, 0, 0, 0, 0, 1, 2},
        {1, 1, 2, 0, 0, 0, 2, 1, 1}}}};
  for (const auto& [painted, counts] : sweeps) {
    EXPECT_EQ(sweepAndCollect(), rowsOf(painted));
    EXPECT_EQ(cellsOf(9, 6), counts);
  }
  EXPECT_TRUE(outsideUsedRegionIsZero());
}

TEST_F(RuletriGrid, EightySixthSweepIsFirstToPaintCentreOfRowTwo) {
  for (auto [width, height] : std::vector<std::pair<int, int>>{{3, 3}, {9, 6}, {40, 7}, {301, 120}}) {
    SCOPED_TRACE(testing::Message() << width << " x " << height);
    resetTo(width, height);
    const std::pair<int, int> centre{width / 2, 2};
    for (int sweep = 1; sweep <= 86; ++sweep) {
      Points points = sweepAndCollect();
      bool painted = std::find(points.begin(), points.end(), centre) != points.end();
      ASSERT_EQ(painted, sweep == 86) << "sweep " << sweep;
    }
    EXPECT_EQ(grid[width / 2][1], 86);
    resetTo(0, 0);
  }
}

TEST_F(RuletriGrid, HeightsZeroAndOnePaintNothingAndChangeNothing) {
  for (int height : {0, 1}) {
    SCOPED_TRACE(height);
    resetTo(7, height);
    auto before = liveCells();
    EXPECT_TRUE(sweepAndCollect().empty());
    EXPECT_EQ(liveCells(), before);
  }
}

TEST_F(RuletriGrid, WidthOnePaintsAVerticalLine) {
  resetTo(1, 12);
  EXPECT_EQ(grid[0][0], 1);
  Points expected;
  for (int y = 1; y < 12; ++y) expected.emplace_back(0, y);
  EXPECT_EQ(sweepAndCollect(), expected);
}

TEST_F(RuletriGrid, SeedInTheMiddleOrRightOfTheTwoMiddleColumns) {
  for (auto [width, column] : std::vector<std::pair<int, int>>{{8, 4}, {9, 4}, {2, 1}, {1, 0}, {1500, 750}}) {
    resetTo(width, 5);
    EXPECT_EQ(liveCells(), (std::vector<std::pair<int, int>>{{column, 0}})) << "width " << width;
  }
}

TEST_F(RuletriGrid, UnchangedSizeLeavesTheCountersAsTheyWere) {
  resetTo(9, 6);
  sweepGrid();
  Cells afterOne = cellsOf(9, 6);
  long queries = fake::clientRectCalls;
  syncGridSize();
  syncGridSize();
  EXPECT_EQ(fake::clientRectCalls, queries + 2);
  EXPECT_EQ(cellsOf(9, 6), afterOne);
  // The next click continues the counters: the example's second sweep.
  EXPECT_EQ(sweepAndCollect(), rowsOf({{3, 4, 5}, {2, 6}, {1, 4, 7}, {0, 8}, {2, 6}}));
}

TEST_F(RuletriGrid, ResizingLeavesOnlyTheSeedLive) {
  resetTo(9, 6);
  sweepGrid();
  sweepGrid();
  resetTo(20, 11);  // grows
  EXPECT_EQ(liveCells(), (std::vector<std::pair<int, int>>{{10, 0}}));
  sweepGrid();
  resetTo(5, 30);  // narrower, taller
  EXPECT_EQ(liveCells(), (std::vector<std::pair<int, int>>{{2, 0}}));
}

TEST_F(RuletriGrid, FailingClientSizeQueryKeepsTheLastSize) {
  // Before any success the size stands at 0 x 0: the first check resets to it.
  fake::clientRectFails = true;
  syncGridSize();
  EXPECT_EQ(gridWidth, 0);
  EXPECT_EQ(gridHeight, 0);

  fake::clientRectFails = false;
  resetTo(9, 6);
  sweepGrid();
  Cells afterOne = cellsOf(9, 6);
  fake::clientRectFails = true;
  fake::setClientSize(50, 40);
  syncGridSize();
  EXPECT_EQ(gridWidth, 9);
  EXPECT_EQ(gridHeight, 6);
  EXPECT_EQ(cellsOf(9, 6), afterOne);
}

TEST_F(RuletriGrid, NoWindowPaintKeepsTheInitialRegion) {
  // Before the first WM_PAINT the used region is 1500 x 800 and the window
  // binding plants the seed there.
  plantSeed();
  EXPECT_EQ(liveCells(), (std::vector<std::pair<int, int>>{{750, 0}}));
}

TEST_F(RuletriGrid, ClientAreaBeyondTheGridIsClippedTo2000AndCentred) {
  struct Case {
    int clientWidth, clientHeight, width, height, left, top;
  };
  for (Case c : {Case{1999, 1999, 1999, 1999, 0, 0}, Case{2000, 2000, 2000, 2000, 0, 0},
                 Case{2001, 2001, 2000, 2000, 0, 0}, Case{2600, 900, 2000, 900, 300, 0},
                 Case{900, 2600, 900, 2000, 0, 300}, Case{2603, 5000, 2000, 2000, 301, 1500}}) {
    SCOPED_TRACE(testing::Message() << c.clientWidth << " x " << c.clientHeight);
    resetTo(c.clientWidth, c.clientHeight);
    EXPECT_EQ(gridWidth, c.width);
    EXPECT_EQ(gridHeight, c.height);
    EXPECT_EQ(gridLeft, c.left);
    EXPECT_EQ(gridTop, c.top);
    EXPECT_EQ(liveCells(), (std::vector<std::pair<int, int>>{{c.width / 2, 0}}));
  }

  // The sweep paints the same cells, moved by the margins.
  resetTo(2000, 2000);
  Points atOrigin = sweepAndCollect();
  resetTo(2600, 2100);
  Points centred = sweepAndCollect();
  EXPECT_EQ(fake::pixelsOutsideRegion, 0);
  ASSERT_EQ(centred.size(), atOrigin.size());
  for (auto& [x, y] : atOrigin) x += 300, y += 50;
  EXPECT_TRUE(centred == atOrigin);

  // The same client size again leaves the counters; any other size resets,
  // beyond the grid too, where the used region stays 2000 x 2000.
  uint8_t below = grid[1000][1];
  syncGridSize();
  EXPECT_EQ(grid[1000][1], below);
  resetTo(2601, 2100);
  EXPECT_EQ(liveCells(), (std::vector<std::pair<int, int>>{{1000, 0}}));
  EXPECT_EQ(gridLeft, 300);
}

TEST_F(RuletriGrid, ZeroColumnsOrRowsPlantNoSeedOutsideTheRegion) {
  resetTo(9, 6);
  resetTo(9, 0);
  EXPECT_TRUE(liveCells().empty());
  resetTo(0, 6);
  EXPECT_TRUE(liveCells().empty());
  plantSeed();
  EXPECT_TRUE(liveCells().empty());
  resetTo(9, 6);
  EXPECT_EQ(liveCells(), (std::vector<std::pair<int, int>>{{4, 0}}));
}

TEST_F(RuletriGrid, SweepPaintsAndCountsExactlyAsTheLiteralAlgorithm) {
  std::mt19937 random(126);
  std::vector<std::pair<int, int>> sizes{{1500, 800}, {1, 1}, {2, 2}, {3, 40}, {8, 8}, {2000, 2000}};
  for (int k = 0; k < 10; ++k) sizes.emplace_back(int(random() % 700), int(random() % 300));
  for (auto [width, height] : sizes) {
    SCOPED_TRACE(testing::Message() << width << " x " << height);
    resetTo(width, height);
    for (int sweep = 0; sweep < 4; ++sweep) {
      auto before = std::make_unique<decltype(grid)>(grid);
      fake::pixels.clear();
      sweepGrid();
      auto programCells = std::make_unique<decltype(grid)>(grid);
      auto programPixels = std::move(fake::pixels);
      grid = *before;
      fake::pixels.clear();
      oracleSweepGrid();
      ASSERT_TRUE(*programCells == grid) << "sweep " << sweep;
      ASSERT_EQ(programPixels.size(), fake::pixels.size()) << "sweep " << sweep;
      for (size_t n = 0; n < programPixels.size(); ++n) {
        ASSERT_EQ(programPixels[n].x, fake::pixels[n].x);
        ASSERT_EQ(programPixels[n].y, fake::pixels[n].y);
        ASSERT_EQ(programPixels[n].colour, fake::pixels[n].colour);
      }
    }
  }
}

// Resizes from 0 to 5000 each way, failing size queries and sweeps, in a fixed
// random order. After every step: no pixel painted outside the used region,
// the region within the grid, every cell outside it 0, and the seed where the
// literal reset puts it.
TEST_F(RuletriGrid, RandomResizesAndSweepsNeverStray) {
  std::mt19937 random(20261207);
  auto size = [&] {
    switch (random() % 4) {
      case 0: return int(random() % 4);  // the degenerate sizes 0..3
      case 1: return int(random() % 5001);
      default: return int(random() % 300);
    }
  };
  fake::recordPixels = false;
  int resets = 0, sweeps = 0;
  for (int step = 0; step < 160; ++step) {
    switch (random() % 5) {
      case 0:
      case 1: {
        int width = size(), height = size();
        fake::setClientSize(width, height);
        fake::clientRectFails = random() % 8 == 0;
        int oldWidth = gridWidth, oldHeight = gridHeight;
        syncGridSize();
        if (gridWidth != oldWidth || gridHeight != oldHeight) {
          ++resets;
          int live = int(liveCells().size());
          EXPECT_EQ(live, gridWidth > 0 && gridHeight > 0 ? 1 : 0) << "step " << step;
        }
        if (!fake::clientRectFails) {
          EXPECT_EQ(gridWidth, std::min(width, gridCapacity));
          EXPECT_EQ(gridHeight, std::min(height, gridCapacity));
          EXPECT_EQ(gridLeft, (width - gridWidth) / 2);
          EXPECT_EQ(gridTop, (height - gridHeight) / 2);
        }
        break;
      }
      case 2:
        syncGridSize();  // no change
        break;
      default:
        sweepGrid();
        ++sweeps;
        break;
    }
    ASSERT_GE(gridWidth, 0);
    ASSERT_LE(gridWidth, gridCapacity);
    ASSERT_GE(gridHeight, 0);
    ASSERT_LE(gridHeight, gridCapacity);
    ASSERT_EQ(fake::pixelsOutsideRegion, 0) << "step " << step;
    ASSERT_TRUE(outsideUsedRegionIsZero()) << "step " << step;
  }
  EXPECT_GT(resets, 30);
  EXPECT_GT(sweeps, 30);
}

}  // namespace
