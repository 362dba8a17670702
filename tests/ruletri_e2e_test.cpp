// build/bin/ruletri under its own Xvfb: clicks, resizes and the close box
// through X, the window read back and compared pixel by pixel with what the
// literal automaton paints for the window's real client size.
#include <gtest/gtest.h>

#include <X11/Xatom.h>

#include <poll.h>

#include <unistd.h>

#include <algorithm>
#include <atomic>
#include <cstdio>
#include <string>
#include <thread>
#include <vector>

#include "grid.h"
#include "file_bytes.h"
#include "harness.h"
#include "pixel_count.h"
#include "ruletri_icon.h"
#include "ruletri_oracle.h"

namespace {

const uint32_t white = 0xFFFFFF;
const uint32_t black = 0x000000;

long differences(const std::vector<uint32_t>& a, const std::vector<uint32_t>& b) {
  if (a.size() != b.size()) return -1;
  long n = 0;
  for (size_t i = 0; i < a.size(); ++i) n += a[i] != b[i];
  return n;
}

class RuletriE2E : public ::testing::Test {
 protected:
  e2e::App app;

  void SetUp() override { start(); }
  void TearDown() override { e2e::kill(app); }

  void start() {
    e2e::Launch how;
    how.argv = {e2e::programPath("ruletri")};
    ASSERT_TRUE(e2e::launch(app, how)) << "ruletri's window did not appear";
  }

  int width() const { return app.width; }
  int height() const { return app.height; }

  // All events sent so far handled, then the window compared with the figure.
  void expectFigure(int w, int h, int sweeps) {
    ASSERT_TRUE(e2e::ping(app));
    std::vector<uint32_t> expected = oracleClientImage(w, h, sweeps);
    std::vector<uint32_t> shown;
    bool same = e2e::waitUntil(
        [&] {
          shown = e2e::capture(app);
          return shown == expected;
        },
        10);
    EXPECT_TRUE(same) << differences(shown, expected) << " pixels differ from " << sweeps
                      << " sweep(s) over " << w << " x " << h;
  }

  void expectAllWhite() {
    ASSERT_TRUE(e2e::ping(app));
    std::vector<uint32_t> shown = e2e::capture(app);
    EXPECT_EQ(countPixels(shown, white), long(shown.size()));
  }

  void resizeTo(int w, int h) {
    e2e::resize(app, w, h);
    ASSERT_TRUE(e2e::waitUntil(
        [&] {
          XWindowAttributes a;
          return XGetWindowAttributes(e2e::xDisplay(), app.canvas, &a) && a.width == w && a.height == h;
        },
        10));
    app.width = w;
    app.height = h;
    ASSERT_TRUE(e2e::ping(app));  // the new size seen before the next click
  }
};

// Without a window manager there is no frame: the client area is the whole
// 1500 x 840 outer size given to CreateWindowExA.
TEST_F(RuletriE2E, WindowIsNestriWithTheIconAndALeftClickPaintsTheFigure) {
  EXPECT_EQ(e2e::windowName(app.frame), "Nestri");
  EXPECT_EQ(width(), 1500);
  EXPECT_EQ(height(), 840);

  Display* d = e2e::xDisplay();
  Atom type;
  int format;
  unsigned long count, after;
  unsigned char* data = nullptr;
  ASSERT_EQ(XGetWindowProperty(d, app.frame, XInternAtom(d, "_NET_WM_ICON", False), 0, 4096, False,
                               XA_CARDINAL, &type, &format, &count, &after, &data),
            Success);
  ASSERT_NE(data, nullptr);
  // Xlib hands 32-bit items over in longs, sign-extended: compare the low 32 bits.
  std::vector<long> icon;
  for (unsigned long n = 0; n < count; ++n) icon.push_back(reinterpret_cast<long*>(data)[n] & 0xFFFFFFFFL);
  XFree(data);
  std::vector<long> expectedIcon{16, 16};
  for (uint32_t p : iconPixels16) expectedIcon.push_back(long(p));
  expectedIcon.insert(expectedIcon.end(), {32, 32});
  for (uint32_t p : iconPixels32) expectedIcon.push_back(long(p));
  EXPECT_EQ(icon, expectedIcon);

  expectAllWhite();
  e2e::click(app, 200, 300);
  expectFigure(width(), height(), 1);
}

// Idle, its size checks wait for something that can change the size.
TEST_F(RuletriE2E, AnIdleWindowTakesNextToNoProcessorTime) {
  const double share = e2e::coreShare(app, 3);
  EXPECT_LT(share, e2e::idleShareBound) << "ruletri took " << 100 * share
                                        << " % of a core over 3 s with nothing to do";
}

TEST_F(RuletriE2E, DoubleClickRunsTwoSweeps) {
  // A small window keeps 86 sweeps quick. The 86th sweep after a reset is the
  // first to paint (width / 2, 2): after 42 double clicks it is still white,
  // after one more it is black, where a single sweep more would leave it white.
  resizeTo(61, 40);
  for (int n = 0; n < 42; ++n) e2e::click(app, 30, 20, 1, 2);
  expectFigure(61, 40, 84);
  EXPECT_EQ(e2e::capture(app)[2 * 61 + 30], white);
  e2e::click(app, 30, 20, 1, 2);
  expectFigure(61, 40, 86);
  EXPECT_EQ(e2e::capture(app)[2 * 61 + 30], black);
}

TEST_F(RuletriE2E, RightClicksMovesAndKeysDrawNothing) {
  e2e::click(app, 700, 400, 3);
  e2e::click(app, 100, 100, 3, 2);
  e2e::click(app, 100, 100, 2);
  e2e::movePointer(app, 20, 30);
  e2e::movePointer(app, 1400, 700);
  e2e::pressKeys(app, {"a", "Return", "space", "Escape", "Left", "Right"});
  expectAllWhite();
  e2e::click(app, 700, 400);
  expectFigure(width(), height(), 1);
}

TEST_F(RuletriE2E, ResizeThenClickDrawsAFreshFigureCentredOnTheNewWidth) {
  e2e::click(app, 700, 400);
  expectFigure(width(), height(), 1);
  resizeTo(901, 500);
  expectAllWhite();
  e2e::click(app, 450, 250);
  expectFigure(901, 500, 1);
  resizeTo(1200, 700);
  e2e::click(app, 450, 250);
  expectFigure(1200, 700, 1);
}

// The grid holds 2000 columns: in a client area 2600 wide they sit in the
// middle, 300 white columns on either side.
TEST_F(RuletriE2E, FigureIsCentredInAClientAreaWiderThanTheGrid) {
  resizeTo(2600, 900);
  e2e::click(app, 1300, 450);
  std::vector<uint32_t> figure = oracleClientImage(2000, 900, 1);
  std::vector<uint32_t> expected(size_t(2600) * 900, white);
  for (int y = 0; y < 900; ++y)
    std::copy_n(figure.begin() + y * 2000, 2000, expected.begin() + y * 2600 + 300);
  EXPECT_TRUE(oracleClientImage(2600, 900, 1) == expected) << "the oracle does not centre the figure";
  expectFigure(2600, 900, 1);
}

TEST_F(RuletriE2E, CloseBoxEndsTheProgramWithStatusZero) {
  e2e::click(app, 700, 400);
  e2e::closeWindow(app);
  EXPECT_EQ(e2e::waitExit(app, 20), 0);
}

// With no X display the window cannot be created: the report goes to standard
// error (there is no dialog toolkit to show a box with) and the exit code is 0.
TEST(RuletriStartFailure, NoDisplayReportsCreationFailedAndExitsWithZero) {
  char errors[] = "/tmp/ruletri_stderr_XXXXXX";
  int fd = mkstemp(errors);
  ASSERT_GE(fd, 0);
  close(fd);
  e2e::Launch how;
  how.argv = {"/bin/sh", "-c", "exec \"$0\" 2>\"$1\"", e2e::programPath("ruletri"), errors};
  how.env = {"DISPLAY=:no-such-display"};
  EXPECT_EQ(e2e::runToExit(how, 30), 0);
  const Bytes bytes = readBytes(errors);
  const std::string text(bytes.begin(), bytes.end());
  std::remove(errors);
  EXPECT_EQ(text, "Error!: Window Creation Failed!\n");
}

// A window manager cut down to what the frame question needs: it maps and
// configures windows as asked, without reparenting, and answers
// _NET_REQUEST_FRAME_EXTENTS with a frame of 4 left, 4 right, 23 top, 4 bottom.
class RuletriUnderAWindowManager : public RuletriE2E {
 protected:
  std::thread manager;
  std::atomic<bool> stop{false};
  std::atomic<bool> ready{false};

  void SetUp() override {
    std::string display = e2e::displayName();
    manager = std::thread([this, display] { manage(display); });
    ASSERT_TRUE(e2e::waitUntil([&] { return ready.load(); }, 10));
    start();
  }
  void TearDown() override {
    RuletriE2E::TearDown();
    stop = true;
    manager.join();
  }

  void manage(const std::string& name) {
    Display* d = XOpenDisplay(name.c_str());
    if (d == nullptr) return;
    Window root = DefaultRootWindow(d);
    Window check = XCreateSimpleWindow(d, root, -10, -10, 1, 1, 0, 0, 0);
    Atom supporting = XInternAtom(d, "_NET_SUPPORTING_WM_CHECK", False);
    Atom request = XInternAtom(d, "_NET_REQUEST_FRAME_EXTENTS", False);
    Atom extents = XInternAtom(d, "_NET_FRAME_EXTENTS", False);
    XChangeProperty(d, root, supporting, XA_WINDOW, 32, PropModeReplace, reinterpret_cast<unsigned char*>(&check), 1);
    XChangeProperty(d, check, supporting, XA_WINDOW, 32, PropModeReplace, reinterpret_cast<unsigned char*>(&check), 1);
    XSelectInput(d, root, SubstructureRedirectMask | SubstructureNotifyMask);
    XSync(d, False);
    ready = true;
    while (!stop) {
      while (XPending(d) > 0) {
        XEvent e;
        XNextEvent(d, &e);
        if (e.type == MapRequest) {
          XMapWindow(d, e.xmaprequest.window);
        } else if (e.type == ConfigureRequest) {
          XWindowChanges changes{};
          changes.x = e.xconfigurerequest.x;
          changes.y = e.xconfigurerequest.y;
          changes.width = e.xconfigurerequest.width;
          changes.height = e.xconfigurerequest.height;
          changes.border_width = e.xconfigurerequest.border_width;
          changes.sibling = e.xconfigurerequest.above;
          changes.stack_mode = e.xconfigurerequest.detail;
          XConfigureWindow(d, e.xconfigurerequest.window, unsigned(e.xconfigurerequest.value_mask), &changes);
        } else if (e.type == ClientMessage && e.xclient.message_type == request) {
          long frame[4] = {4, 4, 23, 4};
          XChangeProperty(d, e.xclient.window, extents, XA_CARDINAL, 32, PropModeReplace,
                          reinterpret_cast<unsigned char*>(frame), 4);
        }
      }
      XFlush(d);
      pollfd pfd{ConnectionNumber(d), POLLIN, 0};
      poll(&pfd, 1, 20);
    }
    XDeleteProperty(d, root, supporting);
    XCloseDisplay(d);
  }
};

TEST_F(RuletriUnderAWindowManager, OuterSizeIncludesTheFrameTheManagerTells) {
  EXPECT_EQ(width(), 1500 - 4 - 4);
  EXPECT_EQ(height(), 840 - 23 - 4);
  e2e::click(app, 700, 400);
  expectFigure(1492, 813, 1);
}

// Another window over it and taken away, then unmapped and mapped again (what
// minimising and restoring do): the figure is back, pixel for pixel.
TEST_F(RuletriUnderAWindowManager, FigureSurvivesBeingCoveredAndMinimised) {
  Display* d = e2e::xDisplay();
  auto waitMapState = [&](Window w, int state) {
    return e2e::waitUntil(
        [&] {
          XWindowAttributes a;
          return XGetWindowAttributes(d, w, &a) && a.map_state == state;
        },
        10);
  };
  e2e::click(app, 700, 400);
  expectFigure(1492, 813, 1);

  ASSERT_TRUE(e2e::coverAndUncover());
  expectFigure(1492, 813, 1);

  XUnmapWindow(d, app.frame);
  ASSERT_TRUE(waitMapState(app.frame, IsUnmapped));
  XMapWindow(d, app.frame);
  ASSERT_TRUE(waitMapState(app.frame, IsViewable));
  expectFigure(1492, 813, 1);
}

}  // namespace
