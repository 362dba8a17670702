// build-win/bin/ruletri.exe under Wine (wine64) on its own Xvfb: the window
// "Nestri" appears, a left click paints the figure for its client size, and
// the close box ends the program with exit code 0.
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

namespace {

const uint32_t white = 0xFFFFFF;

const std::vector<std::string> wineEnvironment{
    "WINEPREFIX=" RULETRI_WINEPREFIX, "WINEDEBUG=-all", "WINEDLLOVERRIDES=mscoree,mshtml="};

void stopWineServer() {
  std::string command = "WINEPREFIX=" RULETRI_WINEPREFIX " " RULETRI_WINESERVER " -k >/dev/null 2>&1; "
                        "WINEPREFIX=" RULETRI_WINEPREFIX " " RULETRI_WINESERVER " -w >/dev/null 2>&1";
  int status = std::system(command.c_str());  // fails harmlessly when no server runs
  (void)status;
}

class RuletriWine : public ::testing::Test {
 protected:
  e2e::App app;

  void SetUp() override {
    e2e::Launch how;
    how.argv = {RULETRI_WINE, RULETRI_EXE};
    how.env = wineEnvironment;
    how.timeoutSeconds = 60;
    ASSERT_TRUE(e2e::launchTitled(app, how, "Nestri")) << "ruletri.exe's window did not appear";
  }
  void TearDown() override {
    e2e::kill(app);
    stopWineServer();
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

}  // namespace
