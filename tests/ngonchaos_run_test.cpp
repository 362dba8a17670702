#include <climits>
#include <cstdlib>
#include <tuple>
#include <vector>

#include "ngonchaos.h"
#include "ngonchaos_fixture.h"
#include "ngonchaos_oracle.h"
#include "pixel_surface.h"

namespace {

class NgonchaosRun : public NgonchaosTest {};

TEST_F(NgonchaosRun, OneRunCallsRandOncePerPointForAll299999Points) {
  for (int n : {2, 3, 8}) {
    cornerCount = n;
    layoutPolygon();
    std::srand(7);
    sdlFlipCount = 0;
    EXPECT_EQ(renderPoints(), 0);
    EXPECT_EQ(sdlFlipCount, 1);
    const int next = std::rand();
    EXPECT_EQ(next, randAfter(7, 299999)) << "N = " << n;
  }
}

TEST_F(NgonchaosRun, FirstPointOfARunStepsFromTheCurrentPointWithoutSkipping) {
  cornerCount = 3;
  layoutPolygon();
  currentX = 500;
  currentY = 500;
  pointsPerRun = 2;  // a run of exactly one point
  std::srand(3);
  const int k = std::rand() % 3;
  std::srand(3);
  renderPoints();
  const int x = int(cornerX[size_t(k)] + (500 - cornerX[size_t(k)]) / 2.0);
  const int y = int(cornerY[size_t(k)] + (500 - cornerY[size_t(k)]) / 2.0);
  EXPECT_EQ(currentX, x);
  EXPECT_EQ(currentY, y);
  const auto pixels = screenPixels();
  EXPECT_EQ(countPixels(pixels, 0x000000), 1);
  EXPECT_EQ(pixels[size_t(y) * 640 + size_t(x)], 0x000000u);
}

TEST_F(NgonchaosRun, RunDrawsOverTheCanvasWithoutClearingIt) {
  cornerCount = 3;
  layoutPolygon();
  paintScreen(0x808080);
  renderPoints();
  const auto pixels = screenPixels();
  EXPECT_EQ(countPixels(pixels, 0xFFFFFF), 0);
  EXPECT_GT(countPixels(pixels, 0x000000), 1000);
  EXPECT_EQ(countPixels(pixels, 0x000000) + countPixels(pixels, 0x808080), 640L * 480L);
}

// N, seed, start point.
using Start = std::tuple<int, unsigned, int, int>;

class NgonchaosRunOracle : public NgonchaosTest, public ::testing::WithParamInterface<Start> {};

TEST_P(NgonchaosRunOracle, WholeRunIsPixelIdenticalToTheLiteralAlgorithm) {
  const auto [n, seed, x0, y0] = GetParam();
  cornerCount = n;
  layoutPolygon();

  paintScreen(0xC0C0C0);
  std::srand(seed);
  currentX = x0;
  currentY = y0;
  renderPoints();
  const auto program = screenPixels();
  const int programX = currentX, programY = currentY, programNext = std::rand();

  paintScreen(0xC0C0C0);
  std::srand(seed);
  currentX = x0;
  currentY = y0;
  oraclePlotChaosPoints();
  const auto oracle = screenPixels();
  EXPECT_EQ(currentX, programX);
  EXPECT_EQ(currentY, programY);
  EXPECT_EQ(std::rand(), programNext);
  ASSERT_EQ(program.size(), oracle.size());
  long differing = 0;
  for (size_t i = 0; i < program.size(); ++i) differing += program[i] != oracle[i];
  EXPECT_EQ(differing, 0);
  EXPECT_GT(countPixels(program, 0x000000), 20);
}

INSTANTIATE_TEST_SUITE_P(EveryPolygon, NgonchaosRunOracle,
                         ::testing::Combine(::testing::Range(2, 9), ::testing::Values(1u, 12345u),
                                            ::testing::Values(500), ::testing::Values(500)));
INSTANTIATE_TEST_SUITE_P(OddStarts, NgonchaosRunOracle,
                         ::testing::Values(Start{3, 1, 0, 0}, Start{5, 2, 639, 479},
                                           Start{7, 3, -100000, 250000}, Start{2, 4, 320, 240},
                                           Start{8, 5, INT_MAX, INT_MIN}, Start{4, 6, 641, -1}));

// Keys drive a sequence of runs; every canvas along the way, and the point
// each run starts from, must be those of the literal algorithm, also across
// changes of N (the current point is never reset).
TEST_F(NgonchaosRun, CurrentPointCarriesIntoTheNextRunAcrossChangesOfN) {
  const SDLKey keys[] = {SDLK_RIGHT, SDLK_a, SDLK_RIGHT, SDLK_RIGHT, SDLK_LEFT, SDLK_b, SDLK_RIGHT};
  std::vector<std::vector<uint32_t>> programCanvases;
  std::vector<std::pair<int, int>> programPoints;
  for (SDLKey key : keys) {
    handleEvent(keyDown(key), 0);
    programCanvases.push_back(screenPixels());
    programPoints.emplace_back(currentX, currentY);
  }
  ASSERT_EQ(cornerCount, 5);

  startState();
  size_t step = 0;
  for (SDLKey key : keys) {
    if (key == SDLK_RIGHT) oracleArrow(cornerCount + 1);
    else if (key == SDLK_LEFT) oracleArrow(cornerCount - 1);
    else oracleOtherKey();
    SCOPED_TRACE("after key " + std::to_string(step));
    EXPECT_EQ(programPoints[step], std::make_pair(currentX, currentY));
    EXPECT_TRUE(programCanvases[step] == screenPixels());
    ++step;
  }
}

}  // namespace
