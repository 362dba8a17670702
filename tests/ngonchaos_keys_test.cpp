#include <cstdlib>
#include <vector>

#include "ngonchaos.h"
#include "bmp_reader.h"
#include "ngonchaos_fixture.h"
#include "ngonchaos_oracle.h"
#include "pixel_surface.h"

namespace {

class NgonchaosKeys : public NgonchaosTest {
 protected:
  // Nothing at all happened: same N, same canvas, same point, no flip, no
  // rand() used, no file.
  void expectNoEffect(int n, const std::vector<uint32_t>& canvasBefore) {
    EXPECT_EQ(cornerCount, n);
    EXPECT_EQ(sdlFlipCount, 0);
    EXPECT_EQ(currentX, 500);
    EXPECT_EQ(currentY, 500);
    const int next = std::rand();
    EXPECT_EQ(next, randAfter(1, 0)) << "rand() was called";
    EXPECT_TRUE(screenPixels() == canvasBefore);
    EXPECT_TRUE(directoryEntries().empty());
  }
};

TEST_F(NgonchaosKeys, LeftAtTwoCornersDoesNothing) {
  paintScreen(0x3355AA);
  const auto before = screenPixels();
  EXPECT_EQ(handleEvent(keyDown(SDLK_LEFT), 0), 0);
  expectNoEffect(2, before);
}

TEST_F(NgonchaosKeys, RightAtEightCornersDoesNothing) {
  cornerCount = 8;
  layoutPolygon();
  sdlFlipCount = 0;
  paintScreen(0x3355AA);
  const auto before = screenPixels();
  EXPECT_EQ(handleEvent(keyDown(SDLK_RIGHT), 0), 0);
  expectNoEffect(8, before);
}

TEST_F(NgonchaosKeys, ArrowsStepNWithinTwoToEightEachWithAFreshCanvasAndOneRun) {
  std::vector<int> counts;
  for (int i = 0; i < 7; ++i) {
    sdlFlipCount = 0;
    handleEvent(keyDown(SDLK_RIGHT), 0);
    counts.push_back(cornerCount);
    if (i < 6) {
      EXPECT_EQ(sdlFlipCount, 2) << "clear and run each flip once";
    }
  }
  for (int i = 0; i < 7; ++i) {
    handleEvent(keyDown(SDLK_LEFT), 0);
    counts.push_back(cornerCount);
  }
  EXPECT_EQ(counts, (std::vector<int>{3, 4, 5, 6, 7, 8, 8, 7, 6, 5, 4, 3, 2, 2}));
  EXPECT_TRUE(directoryEntries().empty()) << "arrow keys write no snapshot";
}

TEST_F(NgonchaosKeys, RightAtStartDrawsOneTriangleRunOnAWhiteCanvas) {
  paintScreen(0x3355AA);
  handleEvent(keyDown(SDLK_RIGHT), 0);
  const auto program = screenPixels();
  EXPECT_EQ(contractionRatio, 2.0);

  startState();
  oracleArrow(3);
  EXPECT_TRUE(program == screenPixels());
  EXPECT_EQ(countPixels(program, 0x000000) + countPixels(program, 0xFFFFFF), 640L * 480L);
}

TEST_F(NgonchaosKeys, ModifierStateDoesNotChangeWhatAnArrowDoes) {
  handleEvent(keyDown(SDLK_RIGHT, SDLMod(KMOD_LSHIFT | KMOD_LCTRL | KMOD_LALT)), 0);
  EXPECT_EQ(cornerCount, 3);
  handleEvent(keyDown(SDLK_LEFT, KMOD_RSHIFT), 0);
  EXPECT_EQ(cornerCount, 2);
  EXPECT_TRUE(directoryEntries().empty());
}

// Every key but the arrows, Escape and the modifiers included: one more run
// over the canvas, a snapshot of the current N, and the program keeps going.
TEST_F(NgonchaosKeys, AnyOtherKeyDrawsARunAndWritesASnapshotButNeverQuits) {
  const SDLKey others[] = {SDLK_a,      SDLK_ESCAPE, SDLK_LSHIFT, SDLK_RSHIFT, SDLK_LCTRL,
                           SDLK_RCTRL,  SDLK_LALT,   SDLK_RALT,   SDLK_LSUPER, SDLK_MODE,
                           SDLK_UP,     SDLK_DOWN,   SDLK_RETURN, SDLK_SPACE,  SDLK_q,
                           SDLK_F4,     SDLK_CAPSLOCK, SDLK_UNKNOWN};
  for (SDLKey key : others) {
    SCOPED_TRACE(SDL_GetKeyName(key));
    startState();
    paintScreen(0x3355AA);
    std::remove("2.bmp");
    EXPECT_EQ(handleEvent(keyDown(key), 0), 0);
    EXPECT_EQ(cornerCount, 2);
    EXPECT_EQ(sdlFlipCount, 1);
    const auto canvas = screenPixels();
    EXPECT_EQ(countPixels(canvas, 0xFFFFFF), 0) << "the canvas was cleared";
    // N = 2: the points gather on the centre line x = 320 between the two
    // corners; only the first few, still on their way, lie off it.
    long onLine = 0, offLine = 0;
    for (int y = 0; y < 480; ++y)
      for (int x = 0; x < 640; ++x) {
        if (canvas[size_t(y) * 640 + size_t(x)] != 0) continue;
        (x == 320 && y >= 10 && y <= 470 ? onLine : offLine) += 1;
      }
    EXPECT_GT(onLine, 20);
    EXPECT_LE(offLine, 5);
    EXPECT_EQ(directoryEntries(), std::vector<std::string>{"2.bmp"});
    EXPECT_TRUE(decodeBmp("2.bmp").pixels == canvas);
  }
}

TEST_F(NgonchaosKeys, KeyReleasesAndOtherEventsDoNothing) {
  paintScreen(0x3355AA);
  const auto before = screenPixels();
  SDL_Event release = keyDown(SDLK_RIGHT);
  release.type = release.key.type = SDL_KEYUP;
  EXPECT_EQ(handleEvent(release, 0), 0);
  release.key.keysym.sym = SDLK_a;
  EXPECT_EQ(handleEvent(release, 0), 0);
  for (Uint8 type : {Uint8(SDL_MOUSEBUTTONDOWN), Uint8(SDL_MOUSEMOTION), Uint8(SDL_ACTIVEEVENT),
                     Uint8(SDL_VIDEOEXPOSE), Uint8(SDL_VIDEORESIZE)})
    EXPECT_EQ(handleEvent(eventOfType(type), 0), 0);
  expectNoEffect(2, before);
}

TEST_F(NgonchaosKeys, OnlyTheCloseRequestSetsTheQuitFlagAndNothingClearsIt) {
  EXPECT_EQ(handleEvent(eventOfType(SDL_QUIT), 0), 1);
  EXPECT_EQ(handleEvent(keyDown(SDLK_RIGHT), 1), 1);
  EXPECT_EQ(handleEvent(keyDown(SDLK_ESCAPE), 1), 1);
  EXPECT_EQ(handleEvent(eventOfType(SDL_KEYUP), 1), 1);
}

TEST_F(NgonchaosKeys, EventsBehindTheCloseRequestInTheSameDrainAreStillHandled) {
  SDL_Event events[] = {keyDown(SDLK_RIGHT), eventOfType(SDL_QUIT), keyDown(SDLK_RIGHT),
                        keyDown(SDLK_a)};
  for (SDL_Event& event : events) ASSERT_EQ(SDL_PushEvent(&event), 0);
  EXPECT_EQ(drainEvents(0), 1);
  EXPECT_EQ(cornerCount, 4);
  EXPECT_EQ(directoryEntries(), std::vector<std::string>{"4.bmp"});
  SDL_Event left;
  EXPECT_EQ(SDL_PollEvent(&left), 0) << "queue not drained";
}

TEST_F(NgonchaosKeys, EventLoopRunsUntilTheCloseRequestThenReturns) {
  SDL_Event events[] = {keyDown(SDLK_RIGHT), keyDown(SDLK_ESCAPE), keyDown(SDLK_RIGHT),
                        eventOfType(SDL_QUIT), keyDown(SDLK_LEFT)};
  for (SDL_Event& event : events) ASSERT_EQ(SDL_PushEvent(&event), 0);
  runEventLoop();
  EXPECT_EQ(cornerCount, 3);
  EXPECT_EQ(directoryEntries(), std::vector<std::string>{"3.bmp"});
}

// A lock that fails skips that step's drawing and flip; the key's change of N
// stands, the current point does not move, and the next redraw tries again.
TEST_F(NgonchaosKeys, FailedLockSkipsTheRedrawAndTheProgramCarriesOn) {
  screen->flags |= SDL_HWSURFACE;
  ASSERT_TRUE(SDL_MUSTLOCK(screen));
  paintScreen(0x3355AA);
  sdlFailLock = true;
  EXPECT_EQ(handleEvent(keyDown(SDLK_RIGHT), 0), 0);
  EXPECT_EQ(cornerCount, 3);
  EXPECT_EQ(sdlLockCount, 2);
  EXPECT_EQ(sdlFlipCount, 0);
  EXPECT_EQ(currentX, 500);
  EXPECT_EQ(currentY, 500);
  EXPECT_EQ(countPixels(screenPixels(), 0x3355AA), 640L * 480L);
  EXPECT_EQ(renderPoints(), -1);

  sdlFailLock = false;
  handleEvent(keyDown(SDLK_a), 0);
  EXPECT_EQ(sdlFlipCount, 1);
  EXPECT_EQ(screen->locked, 0);
  const auto program = screenPixels();
  EXPECT_TRUE(decodeBmp("3.bmp").pixels == program);

  startState();
  cornerCount = 3;
  layoutPolygon();
  paintScreen(0x3355AA);
  oracleOtherKey();
  EXPECT_TRUE(program == screenPixels()) << "the run after the failed ones is not the first run";
}

}  // namespace
