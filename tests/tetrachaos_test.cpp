// tetrachaos: layout, turn and projection, the chaos game against its literal
// algorithm, the angle step and the key table.
#include <gtest/gtest.h>

#include <cstdlib>
#include <string>
#include <tuple>
#include <vector>

#include "pixel_surface.h"
#include "sdl_screen.h"
#include "sdl_wraps.h"
#include "tetrachaos.h"
#include "tetrachaos_oracle.h"

namespace {

class Tetrachaos : public ::testing::Test {
 protected:
  void SetUp() override {
    resetSdlWraps();
    ASSERT_TRUE(openScreen(1000, 600));
    canvasWidth = 1000;
    canvasHeight = 600;
    turnAngle = 0.0;
    turnPeriod = 10.0;
    batchSize = pointsPerFrame;
    layoutTetrahedron();
  }
  void TearDown() override {
    resetSdlWraps();
    closeScreen();
  }

  static std::vector<Uint32> pixels() { return screenWords(); }
  static std::vector<std::pair<int, int>> blackPixels() {
    std::vector<std::pair<int, int>> found;
    const std::vector<Uint32> all = pixels();
    const Uint32 black = SDL_MapRGB(screen->format, 0, 0, 0);
    for (int y = 0; y < screenHeight; ++y)
      for (int x = 0; x < screenWidth; ++x)
        if (all[size_t(y) * screenWidth + x] == black) found.emplace_back(x, y);
    return found;
  }
  // Plots one model point the way the chaos game does: with every corner and
  // the current point at p, one step stays at p and draws it.
  static void plotThroughGame(ModelPoint p) {
    corners = {p, p, p, p};
    currentPoint = p;
    playChaosGame(1);
  }
  static void push(SDL_EventType type, SDLKey key = SDLK_UNKNOWN, SDLMod mod = KMOD_NONE) {
    SDL_Event event = keyEvent(Uint8(type), key, mod);
    ASSERT_EQ(SDL_PushEvent(&event), 0);
  }
};

TEST_F(Tetrachaos, LayoutFitsTheTetrahedronToTheCanvas) {
  EXPECT_EQ(edgeLength, 519);
  EXPECT_EQ(corners[0], (ModelPoint{259, -149, 0}));
  EXPECT_EQ(corners[1], (ModelPoint{-259, -149, 0}));
  EXPECT_EQ(corners[2], (ModelPoint{0, 299, 0}));
  EXPECT_EQ(corners[3], (ModelPoint{0, 0, 423}));
  EXPECT_EQ(currentPoint, corners[0]);
  EXPECT_EQ(centreX, 448);
  EXPECT_EQ(centreY, 438);
  EXPECT_TRUE(blackPixels().empty());
  EXPECT_EQ(pixels()[0], SDL_MapRGB(screen->format, 255, 255, 255));
  EXPECT_EQ(sdlFlipCount, 1) << "the layout shows one white frame";
}

// A canvas so narrow for its height that the fitted edge would not leave 30
// pixels takes its width less 30; every size lays out as the literal layout.
TEST_F(Tetrachaos, ANarrowCanvasTakesItsWidthLessThirtyAndEverySizeMatchesTheLiteralLayout) {
  canvasWidth = 100;
  layoutTetrahedron();
  EXPECT_EQ(edgeLength, 70);
  EXPECT_EQ(corners[1][0], -35);
  for (auto [w, h] : {std::pair{100, 600}, {1000, 600}, {599, 700}, {600, 700}, {601, 700}, {37, 71}}) {
    SCOPED_TRACE(std::to_string(w) + " x " + std::to_string(h));
    canvasWidth = w;
    canvasHeight = h;
    layoutTetrahedron();
    const auto layout = std::make_tuple(edgeLength, corners, currentPoint, centreX, centreY);
    oracleLayoutTetrahedron();
    EXPECT_EQ(layout, std::make_tuple(edgeLength, corners, currentPoint, centreX, centreY));
  }
}

// The turned coordinates are rounded by adding 0.5 and truncating toward
// zero: half-up for non-negative sums, toward zero for negative ones. With the
// centre at (448, 438) the turned x moves a point across, the turned depth
// v by -0.354 v across and +0.354 v down.
TEST_F(Tetrachaos, TurningRoundsHalfUpOnlyForNonNegativeSums) {
  struct Case {
    ModelPoint point;
    double angle;
    std::pair<int, int> pixel;
  };
  const double quarter = 3.14159265358979 / 2;  // x goes to depth, depth to -x
  for (const Case& c : {Case{{-3, 0, 0}, 0.0, {446, 438}},  // x: -2.5 truncates to -2, not -3
                        Case{{3, 0, 0}, 0.0, {451, 438}},   // x: 3.5 to 3
                        Case{{0, -3, 0}, 0.0, {448, 437}},  // depth -2: (448.7, 437.3)
                        Case{{5, 7, 0}, 0.0, {450, 440}},   // depth 7: (450.5, 440.5)
                        Case{{0, 10, 0}, quarter, {439, 438}},    // x: -9.5 truncates to -9
                        Case{{10, 0, 0}, quarter, {444, 441}}}) {  // depth 10
    SCOPED_TRACE(c.point[0] * 100 + c.point[1]);
    layoutTetrahedron();
    turnAngle = c.angle;
    plotThroughGame(c.point);
    EXPECT_EQ(blackPixels(), (std::vector<std::pair<int, int>>{c.pixel}));
  }
}

TEST_F(Tetrachaos, CornersProjectToTheirScreenPointsAtAngleZero) {
  const std::vector<std::pair<int, int>> expected{{759, 385}, {242, 385}, {342, 543}, {448, 15}};
  for (size_t i = 0; i < 4; ++i) {
    layoutTetrahedron();
    plotThroughGame(corners[i]);
    EXPECT_EQ(blackPixels(), (std::vector<std::pair<int, int>>{expected[i]})) << "corner " << i;
  }
}

TEST_F(Tetrachaos, PointsProjectedOffTheCanvasDrawNothing) {
  for (ModelPoint p : {ModelPoint{2000, 0, 0}, ModelPoint{-2000, 0, 0}, ModelPoint{0, 0, 500},
                       ModelPoint{0, 0, -500}, ModelPoint{0, -3000, 0}})
    plotThroughGame(p);
  EXPECT_TRUE(blackPixels().empty());
}

TEST_F(Tetrachaos, TheAngleStepUsesTheLiteralsAndWrapsOnce) {
  advanceTurn();
  EXPECT_EQ(turnAngle, ((1 / 25.0) * 2 * 3.14159286) / 10.0);
  EXPECT_NEAR(turnAngle, 0.0251327, 1e-7);

  turnAngle = 6.27;
  advanceTurn();
  EXPECT_EQ(turnAngle, 6.27 + ((1 / 25.0) * 2 * 3.14159286) / 10.0 - 6.28318572);

  turnAngle = 20.0;  // one subtraction only, whatever the angle
  advanceTurn();
  EXPECT_EQ(turnAngle, 20.0 + ((1 / 25.0) * 2 * 3.14159286) / 10.0 - 6.28318572);

  turnAngle = 0.0;
  for (double period : {1.0, 2.0, 7.0, 10.0, 33.0}) {
    turnPeriod = period;
    for (int i = 0; i < 5000; ++i) {
      advanceTurn();
      ASSERT_GE(turnAngle, 0.0);
      ASSERT_LE(turnAngle, 6.28318572);
    }
  }
}

TEST_F(Tetrachaos, FramesMatchTheLiteralAlgorithmPixelForPixel) {
  for (double angle : {0.0, 0.0251327, 0.8, 1.5707963, 2.9, 3.14159286, 4.4, 6.2831})
    for (int frame = 0; frame < 3; ++frame) {
      turnAngle = angle + frame * 0.0251327;
      const ModelPoint start = currentPoint;
      srand(unsigned(angle * 1000) + unsigned(frame));
      drawFrame();
      const std::vector<Uint32> fast = pixels();
      const ModelPoint fastEnd = currentPoint;

      currentPoint = start;
      srand(unsigned(angle * 1000) + unsigned(frame));
      oracleDrawFrameContents(batchSize);
      ASSERT_EQ(currentPoint, fastEnd) << "angle " << angle;
      ASSERT_TRUE(fast == pixels()) << "frame differs at angle " << turnAngle;
    }
}

TEST_F(Tetrachaos, OneFrameClearsAndPlotsOneBatchWithOneRandPerPoint) {
  drawFrame();
  const size_t firstBlack = blackPixels().size();
  EXPECT_GT(firstBlack, 20000u);
  EXPECT_EQ(sdlFlipCount, 2);

  // The batch consumed exactly batchSize values of rand(): replaying them
  // from the same seed lands on the same current point.
  srand(7);
  const ModelPoint start = currentPoint;
  playChaosGame(1234);
  const ModelPoint end = currentPoint;
  srand(7);
  currentPoint = start;
  for (int i = 0; i < 1234; ++i) {
    const ModelPoint& corner = corners[rand() % 4];
    for (int axis = 0; axis < 3; ++axis) currentPoint[axis] = (currentPoint[axis] + corner[axis]) / 2;
  }
  EXPECT_EQ(currentPoint, end);

  drawFrame();  // the next frame starts white again: only its own batch shows
  EXPECT_LE(blackPixels().size(), size_t(batchSize));
  EXPECT_GT(blackPixels().size(), firstBlack / 2);
}

TEST_F(Tetrachaos, AFrameWhoseLockFailsDrawsNothingAndKeepsThePoint) {
  drawFrame();
  const std::vector<Uint32> before = pixels();
  const ModelPoint point = currentPoint;
  screen->offset = 0;
  screen->flags |= SDL_HWSURFACE;  // make the surface one that must be locked
  sdlFailLock = true;
  EXPECT_LT(drawFrame(), 0);
  screen->flags &= ~Uint32(SDL_HWSURFACE);
  EXPECT_EQ(currentPoint, point);
  EXPECT_TRUE(before == pixels());
}

TEST_F(Tetrachaos, LeftShortensTheTurnDownToOneSecond) {
  for (int press = 1; press <= 10; ++press) {
    push(SDL_KEYDOWN, SDLK_LEFT);
    EXPECT_TRUE(drainEvents(true));
    EXPECT_EQ(turnPeriod, press < 9 ? 10.0 - press : 1.0) << "after press " << press;
  }
}

TEST_F(Tetrachaos, RightLengthensTheTurnWithoutBound) {
  for (int press = 0; press < 100; ++press) {
    push(SDL_KEYDOWN, SDLK_RIGHT);
    ASSERT_TRUE(drainEvents(true));
  }
  EXPECT_EQ(turnPeriod, 110.0);
}

TEST_F(Tetrachaos, ArrowsWithModifiersActAsPlainArrows) {
  push(SDL_KEYDOWN, SDLK_RIGHT, KMOD_LSHIFT);
  push(SDL_KEYDOWN, SDLK_RIGHT, SDLMod(KMOD_CTRL));
  push(SDL_KEYDOWN, SDLK_LEFT, SDLMod(KMOD_ALT));
  EXPECT_TRUE(drainEvents(true));
  EXPECT_EQ(turnPeriod, 11.0);
}

TEST_F(Tetrachaos, AnyOtherKeyEndsTheProgram) {
  for (SDLKey key : {SDLK_ESCAPE, SDLK_a, SDLK_SPACE, SDLK_UP, SDLK_DOWN, SDLK_LSHIFT, SDLK_RSHIFT, SDLK_LCTRL,
                     SDLK_RALT, SDLK_F1}) {
    push(SDL_KEYDOWN, key);
    EXPECT_FALSE(drainEvents(true)) << "key " << key;
  }
}

TEST_F(Tetrachaos, ReleasesMouseAndOtherEventsAreIgnored) {
  push(SDL_KEYUP, SDLK_ESCAPE);
  push(SDL_KEYUP, SDLK_LEFT);
  push(SDL_MOUSEBUTTONDOWN);
  push(SDL_MOUSEMOTION);
  push(SDL_ACTIVEEVENT);
  EXPECT_TRUE(drainEvents(true));
  EXPECT_EQ(turnPeriod, 10.0);
}

TEST_F(Tetrachaos, EventsBehindTheEndingOneAreStillDrained) {
  push(SDL_QUIT);
  push(SDL_KEYDOWN, SDLK_RIGHT);
  push(SDL_KEYDOWN, SDLK_RIGHT);
  EXPECT_FALSE(drainEvents(true));
  EXPECT_EQ(turnPeriod, 12.0);
  SDL_Event left;
  EXPECT_EQ(SDL_PollEvent(&left), 0) << "queue not drained";

  push(SDL_KEYDOWN, SDLK_LEFT);
  EXPECT_FALSE(drainEvents(false)) << "a cleared flag stays cleared";
  EXPECT_EQ(turnPeriod, 11.0);
}

TEST_F(Tetrachaos, TheLoopDrawsAtAngleZeroFirstAndStopsAfterAClose) {
  const ModelPoint start = currentPoint;
  srand(1);
  push(SDL_QUIT);
  runAnimation();
  EXPECT_EQ(turnAngle, ((1 / 25.0) * 2 * 3.14159286) / 10.0) << "one step after one frame";
  EXPECT_EQ(sdlFlipCount, 2) << "layout, then exactly one frame";
  const std::vector<Uint32> shown = pixels();

  currentPoint = start;
  turnAngle = 0.0;
  srand(1);
  oracleDrawFrameContents(batchSize);
  EXPECT_TRUE(shown == pixels()) << "the first frame was not drawn at angle zero";
}

}  // namespace
