#include <array>
#include <cmath>
#include <string>
#include <tuple>
#include <utility>
#include <vector>

#include "ngonchaos.h"
#include "ngonchaos_fixture.h"
#include "ngonchaos_oracle.h"
#include "pixel_surface.h"

namespace {

using Corner = std::pair<double, double>;

// The corners of every polygon, to one decimal, in the order the chaos game
// numbers them: the top centre first, then counter-clockwise on screen.
const std::vector<std::vector<Corner>> expectedCorners = {
    {{320, 10}, {320, 470}},
    {{320, 10}, {120.8, 355}, {519.2, 355}},
    {{320, 10}, {90, 240}, {320, 470}, {550, 240}},
    {{320, 10}, {101.3, 168.9}, {184.8, 426.1}, {455.2, 426.1}, {538.7, 168.9}},
    {{320, 10}, {120.8, 125}, {120.8, 355}, {320, 470}, {519.2, 355}, {519.2, 125}},
    {{320, 10}, {140.2, 96.6}, {95.8, 291.2}, {220.2, 447.2}, {419.8, 447.2}, {544.2, 291.2},
     {499.8, 96.6}},
    {{320, 10}, {157.4, 77.4}, {90, 240}, {157.4, 402.6}, {320, 470}, {482.6, 402.6}, {550, 240},
     {482.6, 77.4}},
};

class NgonchaosLayout : public NgonchaosTest {};

// To a tenth of a pixel against the table, and to the last bit against the
// literal layout (the end-to-end tests draw with the latter).
TEST_F(NgonchaosLayout, CornersOfEveryPolygonMatchTheTableAndTheLiteralLayout) {
  for (int n = 2; n <= 8; ++n) {
    SCOPED_TRACE("N = " + std::to_string(n));
    cornerCount = n;
    layoutPolygon();
    EXPECT_EQ(polygonRadius, 230);
    const auto& expected = expectedCorners[size_t(n - 2)];
    for (int i = 0; i < n; ++i) {
      EXPECT_NEAR(cornerX[size_t(i)], expected[size_t(i)].first, 0.05 + 1e-9) << "corner " << i;
      EXPECT_NEAR(cornerY[size_t(i)], expected[size_t(i)].second, 0.05 + 1e-9) << "corner " << i;
    }
    // Only the first N entries belong to the layout.
    const auto cornersOf = [n](const std::array<double, 10>& table) {
      return std::vector<double>(table.begin(), table.begin() + n);
    };
    const auto layout = std::make_tuple(polygonRadius, cornersOf(cornerX), cornersOf(cornerY), contractionRatio);
    cornerX.fill(0.0);
    cornerY.fill(0.0);
    oracleLayoutPolygon();
    EXPECT_EQ(layout, std::make_tuple(polygonRadius, cornersOf(cornerX), cornersOf(cornerY), contractionRatio));
  }
}

TEST_F(NgonchaosLayout, CornersRunCounterClockwiseFromTheTopWithTheSecondLeftOfTheFirst) {
  for (int n = 2; n <= 8; ++n) {
    SCOPED_TRACE("N = " + std::to_string(n));
    cornerCount = n;
    layoutPolygon();
    if (n == 2) {
      EXPECT_GT(cornerY[1], cornerY[0]) << "the second corner of a line lies straight below the first";
    } else {
      EXPECT_LT(cornerX[1], cornerX[0]) << "second corner not left of the first";
    }
    for (int i = 0; i < n; ++i) {
      // Screen y points down, so counter-clockwise as seen means the angle
      // measured from "up" towards "left" grows with i.
      const double angle = std::atan2(320.0 - cornerX[size_t(i)], 240.0 - cornerY[size_t(i)]);
      const double wanted = 2 * M_PI * i / n;
      EXPECT_NEAR(std::remainder(angle - wanted, 2 * M_PI), 0.0, 1e-9) << "corner " << i;
    }
  }
}

TEST_F(NgonchaosLayout, RatioIsFixedForTriangleAndSquareAndTheGeneralRuleOtherwise) {
  const double expected[] = {4.0, 2.0, 3.0, 2.618034, 3.0, 3.246980, 3.414214};
  for (int n = 2; n <= 8; ++n) {
    cornerCount = n;
    layoutPolygon();
    EXPECT_NEAR(contractionRatio, expected[n - 2], 5e-7) << "N = " << n;
  }
  // Values known in closed form: exact for 2, 3 and 4 corners, within four
  // ulps for 6, within 1e-12 for 5 (one plus the golden ratio) and 8.
  enum Match { exact, fourUlps, near };
  const struct {
    int n;
    double ratio;
    Match match;
  } known[] = {{3, 2.0, exact},
               {4, 3.0, exact},
               {2, 4.0, exact},
               {6, 3.0, fourUlps},
               {5, (3.0 + std::sqrt(5.0)) / 2.0, near},
               {8, 2.0 + std::sqrt(2.0), near}};
  for (const auto& k : known) {
    SCOPED_TRACE(testing::Message() << "N = " << k.n);
    cornerCount = k.n;
    layoutPolygon();
    switch (k.match) {
      case exact: EXPECT_EQ(contractionRatio, k.ratio); break;
      case fourUlps: EXPECT_DOUBLE_EQ(contractionRatio, k.ratio); break;
      case near: EXPECT_NEAR(contractionRatio, k.ratio, 1e-12); break;
    }
  }
}

TEST_F(NgonchaosLayout, LayoutLeavesEveryPixelWhiteAfterExactlyOneFlip) {
  paintScreen(0x123456);
  sdlFlipCount = 0;
  cornerCount = 5;
  EXPECT_EQ(layoutPolygon(), 0);
  EXPECT_EQ(sdlFlipCount, 1);
  EXPECT_EQ(countPixels(screenPixels(), 0xFFFFFF), 640L * 480L);
}

// The clear is the pixel layer's row-by-row fill; it must leave exactly what
// the literal loop of putPixel calls, column by column, leaves.
TEST_F(NgonchaosLayout, ClearIsPixelIdenticalToTheLiteralPerPixelLoop) {
  for (uint32_t before : {0x000000u, 0x123456u, 0xFFFFFFu}) {
    paintScreen(before);
    oracleFillWhite();
    const auto oracle = screenPixels();
    paintScreen(before);
    layoutPolygon();
    EXPECT_TRUE(screenPixels() == oracle);
  }
}

TEST_F(NgonchaosLayout, LayoutLeavesTheCurrentPointAlone) {
  currentX = -17;
  currentY = 9001;
  cornerCount = 7;
  layoutPolygon();
  EXPECT_EQ(currentX, -17);
  EXPECT_EQ(currentY, 9001);
}

TEST_F(NgonchaosLayout, FailedLockSkipsClearAndFlipButCornersAndRatioAreNew) {
  screen->flags |= SDL_HWSURFACE;  // a surface that must be locked
  ASSERT_TRUE(SDL_MUSTLOCK(screen));
  paintScreen(0x123456);
  sdlFailLock = true;
  cornerCount = 4;
  EXPECT_LT(layoutPolygon(), 0);
  EXPECT_EQ(sdlLockCount, 1);
  EXPECT_EQ(sdlFlipCount, 0);
  EXPECT_EQ(countPixels(screenPixels(), 0x123456), 640L * 480L);
  EXPECT_EQ(contractionRatio, 3.0);
  EXPECT_NEAR(cornerX[1], 90.0, 1e-9);
  EXPECT_NEAR(cornerY[2], 470.0, 1e-9);

  sdlFailLock = false;
  EXPECT_EQ(layoutPolygon(), 0);
  EXPECT_EQ(sdlFlipCount, 1);
  EXPECT_EQ(countPixels(screenPixels(), 0xFFFFFF), 640L * 480L);
  EXPECT_EQ(screen->locked, 0) << "lock left held";
}

}  // namespace
