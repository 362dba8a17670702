// The viewer's event handling: what each event does to the iteration limit and
// to the canvas.
#include <gtest/gtest.h>

#include <climits>

#include "escapeplot.h"
#include "escapeplot_oracle.h"
#include "pixel_surface.h"
#include "sdl_screen.h"
#include "sdl_wraps.h"

namespace {

constexpr int W = 640;
constexpr int H = 480;
constexpr Uint32 untouched = 0x00123456;

Uint32 pixelAt(int x, int y) { return screenWord(x, y); }
void fillCanvas(Uint32 value) { fillScreenWords(value); }
long countColour(Uint32 value) { return countPixels(screenWords(), value); }
long countBlack() { return countColour(SDL_MapRGB(screen->format, 0, 0, 0)); }
bool canvasUntouched() { return countColour(untouched) == W * H; }

SDL_Event press(SDLKey key, SDLMod mod = KMOD_NONE) { return keyDown(key, mod); }
SDL_Event quitEvent() { return eventOfType(SDL_QUIT); }

class Viewer : public ::testing::Test {
 protected:
  static void SetUpTestSuite() {
    ASSERT_TRUE(openScreen(W, H));
    chooseRenderPath();
  }
  static void TearDownTestSuite() { closeScreen(); }
  void SetUp() override {
    SDL_Event stale;
    while (SDL_PollEvent(&stale)) {
    }
    iterationLimit = 1;
    fillCanvas(untouched);
    resetSdlWraps();
  }
  void TearDown() override {
    screen->flags &= ~Uint32(SDL_HWSURFACE);
    resetSdlWraps();
  }
};

TEST_F(Viewer, LeftAtLimitOneDoesNothingAndDrawsNothing) {
  EXPECT_FALSE(handleEvent(press(SDLK_LEFT), false));
  EXPECT_EQ(iterationLimit, 1);
  EXPECT_TRUE(canvasUntouched());
  EXPECT_EQ(sdlFlipCount, 0);
}

TEST_F(Viewer, EachChangeOfTheLimitIsOneRedraw) {
  handleEvent(press(SDLK_RIGHT), false);
  EXPECT_EQ(sdlFlipCount, 1);
  handleEvent(press(SDLK_RIGHT), false);
  handleEvent(press(SDLK_LEFT), false);
  EXPECT_EQ(sdlFlipCount, 3);
  handleEvent(keyEvent(SDL_KEYUP, SDLK_LEFT), false);
  handleEvent(press(SDLK_UP), false);
  EXPECT_EQ(sdlFlipCount, 3);
}

TEST_F(Viewer, AFailedLockSkipsTheRedrawButKeepsTheNewLimit) {
  handleEvent(press(SDLK_RIGHT), false);
  ASSERT_EQ(countBlack(), 234495);
  screen->flags |= SDL_HWSURFACE;  // a surface that must be locked
  sdlFailLock = true;
  handleEvent(press(SDLK_RIGHT), false);
  EXPECT_EQ(iterationLimit, 3);
  EXPECT_EQ(sdlLockCount, 1);
  EXPECT_EQ(sdlFlipCount, 1) << "the skipped redraw must not flip";
  EXPECT_EQ(countBlack(), 234495) << "the canvas keeps the limit-2 image";
  sdlFailLock = false;
  handleEvent(press(SDLK_RIGHT), false);
  EXPECT_EQ(iterationLimit, 4);
  EXPECT_EQ(sdlFlipCount, 2);
  for (int x = 0; x < W; x += 3)
    for (int y = 0; y < H; y += 3)
      ASSERT_EQ(pixelAt(x, y) == SDL_MapRGB(screen->format, 0, 0, 0), !oracleEscapes(x, y, 4)) << x << ", " << y;
}

TEST_F(Viewer, FirstRightDrawsTheLimitTwoImageAndTheNextTheLimitThree) {
  EXPECT_FALSE(handleEvent(press(SDLK_RIGHT), false));
  EXPECT_EQ(iterationLimit, 2);
  EXPECT_EQ(countBlack(), 234495);
  handleEvent(press(SDLK_RIGHT), false);
  EXPECT_EQ(iterationLimit, 3);
  EXPECT_EQ(countBlack(), 165865);
}

TEST_F(Viewer, RightThenLeftGivesAnAllBlackCanvas) {
  handleEvent(press(SDLK_RIGHT), false);
  handleEvent(press(SDLK_LEFT), false);
  EXPECT_EQ(iterationLimit, 1);
  EXPECT_EQ(countBlack(), W * H);
}

TEST_F(Viewer, LeftRedrawsWithTheLoweredLimit) {
  iterationLimit = 4;
  handleEvent(press(SDLK_LEFT), false);
  EXPECT_EQ(iterationLimit, 3);
  EXPECT_EQ(countBlack(), 165865);
}

TEST_F(Viewer, ModifiersDoNotChangeWhatArrowsDo) {
  const SDLMod mods[] = {KMOD_LSHIFT, KMOD_RSHIFT, KMOD_LCTRL, KMOD_RCTRL, KMOD_LALT, KMOD_RALT,
                         SDLMod(KMOD_LSHIFT | KMOD_LCTRL | KMOD_LALT), KMOD_NUM, KMOD_CAPS};
  for (SDLMod mod : mods) {
    iterationLimit = 1;
    fillCanvas(untouched);
    handleEvent(press(SDLK_LEFT, mod), false);
    EXPECT_EQ(iterationLimit, 1) << "mod " << mod;
    EXPECT_TRUE(canvasUntouched()) << "mod " << mod;
    handleEvent(press(SDLK_RIGHT, mod), false);
    EXPECT_EQ(iterationLimit, 2) << "mod " << mod;
    EXPECT_EQ(countBlack(), 234495) << "mod " << mod;
    handleEvent(press(SDLK_RIGHT, mod), false);
    handleEvent(press(SDLK_LEFT, mod), false);
    EXPECT_EQ(iterationLimit, 2) << "mod " << mod;
    EXPECT_EQ(countBlack(), 234495) << "mod " << mod;
  }
}

TEST_F(Viewer, ReleasesOtherKeysAndOtherEventsDoNothing) {
  iterationLimit = 5;
  std::vector<SDL_Event> events{keyEvent(SDL_KEYUP, SDLK_RIGHT), keyEvent(SDL_KEYUP, SDLK_LEFT),
                                press(SDLK_UP),    press(SDLK_DOWN), press(SDLK_ESCAPE),
                                press(SDLK_SPACE), press(SDLK_a),    press(SDLK_KP6),
                                press(SDLK_KP4),   press(SDLK_LSHIFT)};
  SDL_Event mouse{};
  mouse.type = SDL_MOUSEBUTTONDOWN;
  mouse.button.button = SDL_BUTTON_LEFT;
  events.push_back(mouse);
  SDL_Event expose{};
  expose.type = SDL_VIDEOEXPOSE;
  events.push_back(expose);
  SDL_Event active{};
  active.type = SDL_ACTIVEEVENT;
  events.push_back(active);
  for (const SDL_Event& event : events) {
    EXPECT_FALSE(handleEvent(event, false)) << "event type " << int(event.type);
    EXPECT_TRUE(handleEvent(event, true)) << "event type " << int(event.type);
  }
  EXPECT_EQ(iterationLimit, 5);
  EXPECT_TRUE(canvasUntouched());
}

TEST_F(Viewer, QuitSetsTheFlagAndDrawsNothing) {
  EXPECT_TRUE(handleEvent(quitEvent(), false));
  EXPECT_EQ(iterationLimit, 1);
  EXPECT_TRUE(canvasUntouched());
  EXPECT_EQ(sdlFlipCount, 0);
}

TEST_F(Viewer, EventsQueuedBehindQuitAreStillHandled) {
  SDL_Event events[] = {press(SDLK_RIGHT), quitEvent(), press(SDLK_RIGHT), keyEvent(SDL_KEYUP, SDLK_RIGHT),
                        press(SDLK_RIGHT), press(SDLK_LEFT)};
  for (SDL_Event& event : events) ASSERT_EQ(SDL_PushEvent(&event), 0);
  EXPECT_TRUE(drainEvents(false));
  EXPECT_EQ(iterationLimit, 3);
  EXPECT_EQ(sdlFlipCount, 4) << "three presses of Right and one of Left, each redrawn";
  EXPECT_EQ(countBlack(), 165865);
  SDL_Event left = press(SDLK_LEFT);
  SDL_PushEvent(&left);
  EXPECT_TRUE(drainEvents(true));
  EXPECT_EQ(iterationLimit, 2);
  EXPECT_EQ(countBlack(), 234495);
}

TEST_F(Viewer, DrainingAnEmptyQueueKeepsTheFlag) {
  EXPECT_FALSE(drainEvents(false));
  EXPECT_TRUE(drainEvents(true));
  EXPECT_TRUE(canvasUntouched());
}

TEST_F(Viewer, EachQueuedPressGetsItsOwnStep) {
  for (int i = 0; i < 20; ++i) {
    SDL_Event right = press(SDLK_RIGHT);
    ASSERT_EQ(SDL_PushEvent(&right), 0);
  }
  EXPECT_FALSE(drainEvents(false));
  EXPECT_EQ(iterationLimit, 21);
  EXPECT_EQ(sdlFlipCount, 20);
  for (int x = 0; x < W; x += 7)
    for (int y = 0; y < H; y += 5)
      ASSERT_EQ(pixelAt(x, y) == SDL_MapRGB(screen->format, 0, 0, 0), !oracleEscapes(x, y, 21)) << x << ", " << y;
}

TEST_F(Viewer, TheLimitNeverFallsBelowOne) {
  iterationLimit = 2;
  EXPECT_TRUE(lowerLimit());
  EXPECT_EQ(iterationLimit, 1);
  EXPECT_FALSE(lowerLimit());
  EXPECT_EQ(iterationLimit, 1);
  for (int i = 0; i < 3; ++i) handleEvent(press(SDLK_LEFT), false);
  EXPECT_EQ(iterationLimit, 1);
}

// Reaching the top takes over two thousand million presses, so the test starts
// just below it. A redraw that high would run for days, so this checks the
// limit arithmetic and that a press at the top draws nothing.
TEST_F(Viewer, TheLimitStopsAtTheTopOfTheIntRangeWithoutWrapping) {
  iterationLimit = INT_MAX - 1;
  EXPECT_TRUE(raiseLimit());
  EXPECT_EQ(iterationLimit, INT_MAX);
  EXPECT_FALSE(raiseLimit());
  EXPECT_EQ(iterationLimit, INT_MAX);
  EXPECT_FALSE(handleEvent(press(SDLK_RIGHT), false));
  EXPECT_EQ(iterationLimit, INT_MAX);
  EXPECT_TRUE(canvasUntouched());
  EXPECT_EQ(sdlFlipCount, 0);
  EXPECT_TRUE(lowerLimit());
  EXPECT_EQ(iterationLimit, INT_MAX - 1);
}

}  // namespace
