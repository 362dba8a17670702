// ruletri's window binding against a stand-in Win32: the start-up sequence,
// the class and window it asks for, the two start-up failures, the message
// loop and the routing of messages in WndProc.
#include <gtest/gtest.h>

#include <algorithm>
#include <string>
#include <vector>

#include "grid.h"
#include "ruletri.h"
#include "fake_windows.h"

namespace {

class RuletriWindow : public ::testing::Test {
 protected:
  void SetUp() override { fake::resetAll(); }
};

MSG message(UINT id, WPARAM wParam = 0, LPARAM lParam = 0) {
  MSG msg{};
  msg.hwnd = fake::window();
  msg.message = id;
  msg.wParam = wParam;
  msg.lParam = lParam;
  return msg;
}

int runWinMain(int cmdShow = SW_SHOWDEFAULT) {
  static char commandLine[] = "";
  return WinMain(fake::instance(), NULL, commandLine, cmdShow);
}

int liveCellCount() {
  int live = 0;
  for (const auto& column : grid)
    for (uint8_t cell : column) live += cell != 0;
  return live;
}

// The styles and the brush are compared with Windows' own numbers, not with
// the names of our windows.h, which could agree with themselves by mistake:
// CS_VREDRAW | CS_HREDRAW is 3, WS_OVERLAPPEDWINDOW 0x00CF0000 and the brush
// COLOR_WINDOW + 1 is 6.
TEST_F(RuletriWindow, RegistersTheClassAndCreatesTheWindowAsDesigned) {
  fake::setClientSize(1484, 801);
  fake::queue = {message(WM_CLOSE)};
  EXPECT_EQ(runWinMain(SW_SHOWMAXIMIZED), 0);

  const WNDCLASSEXA& wc = fake::registeredClass;
  EXPECT_EQ(wc.cbSize, sizeof(WNDCLASSEXA));
  EXPECT_EQ(wc.style, 3u);
  EXPECT_EQ(wc.lpfnWndProc, &WndProc);
  EXPECT_EQ(wc.cbClsExtra, 0);
  EXPECT_EQ(wc.cbWndExtra, 0);
  EXPECT_EQ(wc.hInstance, fake::instance());
  EXPECT_EQ(wc.hIcon, fake::icon());
  EXPECT_EQ(wc.hIconSm, fake::icon());
  EXPECT_EQ(wc.hCursor, fake::arrow());
  EXPECT_EQ(reinterpret_cast<uintptr_t>(wc.hbrBackground), 6u);
  EXPECT_EQ(wc.lpszMenuName, nullptr);
  EXPECT_EQ(fake::registeredClassName, "myWindowClass");

  ASSERT_EQ(fake::creations.size(), 1u);
  const fake::Creation& c = fake::creations[0];
  EXPECT_EQ(c.exStyle, 0u);
  EXPECT_EQ(c.className, "myWindowClass");
  EXPECT_EQ(c.title, "Nestri");
  EXPECT_EQ(c.style, 0x00CF0000u);
  EXPECT_EQ(c.x, 50);
  EXPECT_EQ(c.y, 50);
  EXPECT_EQ(c.width, 1500);
  EXPECT_EQ(c.height, 840);
  EXPECT_EQ(c.parent, nullptr);
  EXPECT_EQ(c.menu, nullptr);
  EXPECT_EQ(c.instance, fake::instance());
  EXPECT_EQ(c.param, nullptr);

  EXPECT_EQ(appInstance, fake::instance());
  EXPECT_EQ(mainWindow, fake::window());
  EXPECT_EQ(windowDC, fake::dc());
  EXPECT_EQ(fake::showCommand, SW_SHOWMAXIMIZED);
  EXPECT_TRUE(fake::messageBoxes.empty());
  const std::vector<std::string> order{"LoadIconA", "LoadCursorA", "LoadIconA", "RegisterClassExA",
                                       "CreateWindowExA", "GetDC", "ShowWindow", "UpdateWindow",
                                       "DestroyWindow", "PostQuitMessage"};
  EXPECT_EQ(fake::calls, order);
}

TEST_F(RuletriWindow, FirstPaintResetsTheGridToTheClientSize) {
  fake::setClientSize(1484, 801);
  fake::queue = {message(WM_LBUTTONDOWN), message(WM_CLOSE)};
  EXPECT_EQ(runWinMain(), 0);
  EXPECT_EQ(gridWidth, 1484);
  EXPECT_EQ(gridHeight, 801);
  EXPECT_GT(fake::pixelCount, 0);
  EXPECT_EQ(fake::pixelsOutsideRegion, 0);
  EXPECT_EQ(grid[742][0], 1);
}

TEST_F(RuletriWindow, HiddenStartSeedsTheInitialRegion) {
  fake::setClientSize(640, 480);
  EXPECT_EQ(runWinMain(SW_HIDE), 0);
  EXPECT_EQ(gridWidth, 1500);
  EXPECT_EQ(gridHeight, 800);
  EXPECT_EQ(grid[750][0], 1);
  EXPECT_EQ(liveCellCount(), 1);
}

TEST_F(RuletriWindow, FailingRegistrationReportsAndReturnsZero) {
  fake::registrationFails = true;
  EXPECT_EQ(runWinMain(), 0);
  ASSERT_EQ(fake::messageBoxes.size(), 1u);
  EXPECT_EQ(fake::messageBoxes[0].owner, nullptr);
  EXPECT_EQ(fake::messageBoxes[0].text, "Window Registration Failed!");
  EXPECT_EQ(fake::messageBoxes[0].caption, "Error!");
  EXPECT_EQ(fake::messageBoxes[0].type, 0x30u);
  EXPECT_TRUE(fake::creations.empty());
}

TEST_F(RuletriWindow, FailingCreationReportsAndReturnsZero) {
  fake::creationFails = true;
  fake::queue = {message(WM_LBUTTONDOWN)};
  EXPECT_EQ(runWinMain(), 0);
  ASSERT_EQ(fake::messageBoxes.size(), 1u);
  EXPECT_EQ(fake::messageBoxes[0].owner, nullptr);
  EXPECT_EQ(fake::messageBoxes[0].text, "Window Creation Failed!");
  EXPECT_EQ(fake::messageBoxes[0].caption, "Error!");
  EXPECT_EQ(fake::messageBoxes[0].type, UINT(MB_ICONEXCLAMATION | MB_OK));
  EXPECT_EQ(std::count(fake::calls.begin(), fake::calls.end(), "GetDC"), 0);
  EXPECT_EQ(fake::queue.size(), 1u) << "no message loop after a failed start";
  EXPECT_EQ(fake::pixelCount, 0);
}

TEST_F(RuletriWindow, MessageLoopErrorEndsTheProgram) {
  fake::setClientSize(30, 20);
  fake::queue = {message(WM_LBUTTONDOWN)};
  fake::getMessageFails = true;
  EXPECT_EQ(runWinMain(), 0);
  EXPECT_GT(fake::pixelCount, 0);
}

TEST_F(RuletriWindow, PaintRunsOnlyTheSizeCheck) {
  fake::setClientSize(9, 6);
  EXPECT_EQ(WndProc(fake::window(), WM_PAINT, 0, 0), 0);
  EXPECT_EQ(gridWidth, 9);
  EXPECT_EQ(gridHeight, 6);
  EXPECT_EQ(fake::pixelCount, 0);
  EXPECT_TRUE(fake::defaultHandled.empty());
}

// A WM_PAINT comes only when nothing else waits: after one the loop sleeps
// until another message waits; after any other message it goes straight on.
TEST_F(RuletriWindow, LoopSleepsAfterEachPaintOnly) {
  fake::setClientSize(9, 6);
  fake::queue = {message(WM_PAINT), message(WM_LBUTTONDOWN), message(WM_MOUSEMOVE), message(WM_PAINT),
                 message(WM_CLOSE)};
  EXPECT_EQ(runWinMain(), 0);
  const std::vector<std::string> loop(std::find(fake::calls.begin(), fake::calls.end(), "UpdateWindow") + 1,
                                      fake::calls.end());
  const std::vector<std::string> expected{"platformWaitForEvent", "platformWaitForEvent", "DestroyWindow",
                                          "PostQuitMessage"};
  EXPECT_EQ(loop, expected);
  EXPECT_EQ(fake::pixelCount, 24);
}

// Windows tells the window of a new size (WM_SIZE) while the loop sleeps, and
// under Wine nothing else comes: the size is checked at once, as a WM_PAINT
// would, once CreateWindowExA has returned the window; DefWindowProcA has
// the message too.
TEST_F(RuletriWindow, ANewSizeIsCheckedAtOnceOnceTheWindowExists) {
  fake::setClientSize(9, 6);
  mainWindow = NULL;
  EXPECT_EQ(WndProc(fake::window(), WM_SIZE, 0, 0x00060009), 0);
  EXPECT_EQ(gridWidth, 1500) << "the size was checked inside CreateWindowExA";
  mainWindow = fake::window();
  EXPECT_EQ(WndProc(fake::window(), WM_SIZE, 0, 0x00060009), 0);
  EXPECT_EQ(gridWidth, 9);
  EXPECT_EQ(gridHeight, 6);
  EXPECT_EQ(grid[4][0], 1);
  EXPECT_EQ(fake::pixelCount, 0);
  EXPECT_EQ(fake::defaultHandled, (std::vector<UINT>{WM_SIZE, WM_SIZE}));
}

TEST_F(RuletriWindow, EveryLeftPressSweepsAndNothingElseDraws) {
  fake::setClientSize(9, 6);
  WndProc(fake::window(), WM_PAINT, 0, 0);
  const std::vector<UINT> others{WM_RBUTTONDOWN, WM_RBUTTONUP, WM_MOUSEMOVE, WM_KEYDOWN, WM_KEYUP,
                                 WM_LBUTTONUP, WM_MBUTTONDOWN};
  for (UINT id : others) EXPECT_EQ(WndProc(fake::window(), id, 0, 0x00050003), 0);
  EXPECT_EQ(fake::pixelCount, 0);
  EXPECT_EQ(fake::defaultHandled, others);

  // A double click is two presses (no CS_DBLCLKS): two sweeps, the second
  // hitting the example's 12 cells.
  EXPECT_EQ(WndProc(fake::window(), WM_LBUTTONDOWN, 1, 0x00050003), 0);
  EXPECT_EQ(fake::pixelCount, 24);
  EXPECT_EQ(WndProc(fake::window(), WM_LBUTTONDOWN, 1, 0), 0);
  EXPECT_EQ(fake::pixelCount, 24 + 12);
  EXPECT_EQ(grid[4][1], 2);
}

TEST_F(RuletriWindow, CloseDestroysAndDestroyQuitsWithZero) {
  EXPECT_EQ(WndProc(fake::window(), WM_CLOSE, 0, 0), 0);
  EXPECT_EQ(std::count(fake::calls.begin(), fake::calls.end(), "DestroyWindow"), 1);
  EXPECT_EQ(WndProc(fake::window(), WM_DESTROY, 0, 0), 0);
  EXPECT_TRUE(fake::quitPosted);
  EXPECT_EQ(fake::quitCode, 0);
  EXPECT_TRUE(fake::defaultHandled.empty());
}

}  // namespace
