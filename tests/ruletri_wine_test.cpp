// <build>/windows/bin/ruletri.exe under Wine (wine64) on its own Xvfb: the window
// "Nestri" appears, a left click paints the figure for its client size, a
// resize then a click paints it for the new size, and the close box ends the
// program with exit code 0.
//
// Wine, with no window manager running, maps the window's client area as the
// X window named "Nestri" and keeps the frame and caption to itself; reading
// that X window back and matching the whole figure for its size shows it is
// the client area.
#include <gtest/gtest.h>

#include <algorithm>
#include <cstdlib>
#include <string>
#include <vector>

#include "grid.h"
#include "harness.h"
#include "pixel_count.h"
#include "ruletri_oracle.h"
#include "wine.h"

namespace {

const uint32_t white = 0xFFFFFF;

class RuletriWine : public ::testing::Test {
 protected:
  e2e::App app;

  void SetUp() override {
    SKIP_WITHOUT_WINE();
    ASSERT_TRUE(e2e::launchTitled(app, e2e::wineLaunch("ruletri.exe"), "Nestri")) << "ruletri.exe's window did not appear";
  }
  void TearDown() override {
    e2e::kill(app);
    e2e::stopWineServer();
  }
};

TEST_F(RuletriWine, WindowAppearsALeftClickPaintsAndTheCloseBoxEndsWithZero) {
  // 1500 x 840 outside; Wine's frame and caption take their room from it.
  EXPECT_LT(app.width, 1500);
  EXPECT_LT(app.height, 840);
  EXPECT_GT(app.width, 1400);
  EXPECT_GT(app.height, 700);

  std::vector<uint32_t> before = e2e::capture(app);
  EXPECT_TRUE(e2e::waitUntil([&] { return countPixels(e2e::capture(app), white) == long(before.size()); }, 20))
      << "the client area is not plain white before the first click";
  // Idle, its size checks wait for messages, as natively.
  const double share = e2e::coreShare(app, 3);
  EXPECT_LT(share, e2e::idleShareBound) << "ruletri.exe took " << 100 * share
                                        << " % of a core over 3 s with nothing to do";

  e2e::click(app, 300, 300);
  std::vector<uint32_t> expected = oracleClientImage(app.width, app.height, 1);
  std::vector<uint32_t> shown;
  bool same = e2e::waitUntil(
      [&] {
        shown = e2e::capture(app);
        return shown == expected;
      },
      30);
  long differ = 0;
  for (size_t i = 0; i < std::min(shown.size(), expected.size()); ++i) differ += shown[i] != expected[i];
  EXPECT_TRUE(same) << differ << " pixels differ from one sweep over " << app.width << " x " << app.height;

  e2e::closeWindow(app);
  EXPECT_EQ(e2e::waitExit(app, 30), 0);
}

TEST_F(RuletriWine, AResizeThenAClickPaintsTheFigureForTheNewClientSize) {
  const int width = 640, height = 400;
  e2e::resize(app, width, height);
  ASSERT_TRUE(e2e::waitUntil([&] { return e2e::capture(app).size() == size_t(width * height); }, 20))
      << "the client area did not take the new size";
  app.width = width;
  app.height = height;
  e2e::click(app, 100, 100);
  const std::vector<uint32_t> expected = oracleClientImage(width, height, 1);
  EXPECT_TRUE(e2e::waitUntil([&] { return e2e::capture(app) == expected; }, 30))
      << "the figure differs from one sweep over " << width << " x " << height;
}

}  // namespace
