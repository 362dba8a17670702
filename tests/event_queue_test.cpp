// The programs' own event queue: what SDL's event filter keeps, in which
// order the loops get it back, and what happens when the ring is full. Events
// go in through the filter as SDL's pump hands them over; tetrachaos's
// drainEvents stands for the loops (its keys only change a number).
#include <gtest/gtest.h>

#include <csignal>
#include <ctime>
#include <vector>
#ifndef _WIN32
#include <unistd.h>
#endif

#include "event_queue.h"
#include "pixel_surface.h"
#include "sdl_wraps.h"
#include "tetrachaos.h"

#if defined(SDL_VIDEO_DRIVER_X11)
#include <SDL_syswm.h>
#endif

namespace {

SDL_Event event(Uint8 type, SDLKey key = SDLK_UNKNOWN, int mod = KMOD_NONE) {
  SDL_Event e{};
  e.type = type;
  e.key.type = type;
  e.key.keysym.sym = key;
  e.key.keysym.mod = SDLMod(mod);
  return e;
}

// What SDL does with an event it pumps: hands it to the filter, keeping it
// itself only when the filter answers 1.
void pump(const SDL_Event& e) { ASSERT_EQ(SDL_GetEventFilter()(&e), 0) << "SDL would keep its own copy"; }

bool sdlQueueEmpty() { return SDL_PeepEvents(nullptr, 0, SDL_PEEKEVENT, SDL_ALLEVENTS) == 0; }

class EventQueue : public ::testing::Test {
 protected:
  static void SetUpTestSuite() { ASSERT_TRUE(openScreen(1000, 600)); }
  static void TearDownTestSuite() { closeScreen(); }
  void SetUp() override {
    ASSERT_EQ(SDL_GetEventFilter(), &queueEvent) << "openScreen installs the filter";
    startEventQueue();
    turnPeriod = 10.0;
  }
};

// Presses and close requests come back whole and in order, around and around
// the ring; releases, mouse and window events are not kept.
TEST_F(EventQueue, KeepsPressesAndClosesInOrderAcrossThousandsOfEvents) {
  long sent = 0, received = 0;
  for (int round = 0; round < 12; ++round) {
    for (int i = 0; i < 5000; ++i, ++sent) {
      const bool close = sent % 997 == 0;
      pump(close ? event(SDL_QUIT) : event(SDL_KEYDOWN, SDLKey(sent % 300 + 1), int(sent)));
      pump(event(SDL_KEYUP, SDLK_RIGHT));
      pump(event(SDL_MOUSEMOTION));
      pump(event(SDL_ACTIVEEVENT));
    }
    ASSERT_TRUE(sdlQueueEmpty());
    SDL_Event e;
    for (; nextEvent(&e); ++received) {
      if (received % 997 == 0) {
        ASSERT_EQ(e.type, SDL_QUIT) << "event " << received;
        continue;
      }
      ASSERT_EQ(e.type, SDL_KEYDOWN) << "event " << received;
      ASSERT_EQ(e.key.keysym.sym, SDLKey(received % 300 + 1)) << "event " << received;
      ASSERT_EQ(e.key.keysym.mod, SDLMod(received)) << "event " << received;
    }
  }
  EXPECT_EQ(received, sent);
  EXPECT_EQ(droppedEvents, 0);
}

// A full ring drops further presses and counts them, but the close request
// still gets in behind the presses it holds, and ends the program.
TEST_F(EventQueue, CloseRequestIntoAFullRingStillEndsTheProgram) {
  for (unsigned i = 0; i < eventQueueSize + 100; ++i) pump(event(SDL_KEYDOWN, SDLK_RIGHT));
  EXPECT_EQ(droppedEvents, 101);
  pump(event(SDL_QUIT));
  pump(event(SDL_QUIT));
  pump(event(SDL_KEYDOWN, SDLK_RIGHT));
  EXPECT_EQ(droppedEvents, 103);
  EXPECT_FALSE(drainEvents(true));
  EXPECT_EQ(turnPeriod, 10.0 + (eventQueueSize - 1));

  pump(event(SDL_KEYDOWN, SDLK_RIGHT));
  EXPECT_TRUE(drainEvents(true)) << "the ring takes presses again once read";
  EXPECT_EQ(turnPeriod, 10.0 + eventQueueSize);
}

TEST_F(EventQueue, EventsBehindACloseRequestAreStillHandled) {
  pump(event(SDL_KEYDOWN, SDLK_RIGHT));
  pump(event(SDL_QUIT));
  pump(event(SDL_KEYDOWN, SDLK_RIGHT));
  pump(event(SDL_KEYDOWN, SDLK_LEFT));
  pump(event(SDL_KEYDOWN, SDLK_RIGHT));
  EXPECT_FALSE(drainEvents(true));
  EXPECT_EQ(turnPeriod, 12.0);
}

// SDL turns SIGINT and SIGTERM into a close request, posted through the filter.
TEST_F(EventQueue, TerminationSignalArrivesAsACloseRequest) {
  pump(event(SDL_KEYDOWN, SDLK_RIGHT));
  ASSERT_EQ(std::raise(SIGTERM), 0);
  EXPECT_FALSE(drainEvents(true));
  EXPECT_EQ(turnPeriod, 11.0);
}

// The wait ends at once for whatever nextEvent would give: a press in the
// ring, an event pushed into SDL's own queue, a close request from a signal.
TEST_F(EventQueue, WaitEndsForEveryKindOfWaitingEvent) {
  pump(event(SDL_KEYDOWN, SDLK_RIGHT));
  waitForEvent();
  EXPECT_TRUE(drainEvents(true));
  EXPECT_EQ(turnPeriod, 11.0);

  SDL_Event pushed = event(SDL_KEYDOWN, SDLK_RIGHT);
  ASSERT_EQ(SDL_PushEvent(&pushed), 0);
  waitForEvent();
  EXPECT_TRUE(drainEvents(true));
  EXPECT_EQ(turnPeriod, 12.0);

  ASSERT_EQ(std::raise(SIGTERM), 0);
  waitForEvent();
  EXPECT_FALSE(drainEvents(true));
}

// An expose asks for the window's picture again. The filter only notes it;
// the next pump, from the loops' drain or from the idle wait, flips the
// screen surface once, and an expose is no event for the loops to handle.
TEST_F(EventQueue, AnExposeShowsTheScreenAgainFromTheDrainAndTheWait) {
  SDL_Event e;
  while (nextEvent(&e)) {
  }
  resetSdlWraps();
  EXPECT_FALSE(nextEvent(&e));
  EXPECT_EQ(sdlFlipCount, 0) << "flipped with nothing exposed";

  pump(event(SDL_VIDEOEXPOSE));
  pump(event(SDL_VIDEOEXPOSE));
  EXPECT_EQ(sdlFlipCount, 0) << "flipped from inside the filter";
  ASSERT_TRUE(sdlQueueEmpty());
  EXPECT_FALSE(nextEvent(&e)) << "an expose reached the loop";
  EXPECT_EQ(sdlFlipCount, 1);
  EXPECT_FALSE(nextEvent(&e));
  EXPECT_EQ(sdlFlipCount, 1) << "one expose noted, more than one flip";

  pump(event(SDL_VIDEOEXPOSE));
  pump(event(SDL_KEYDOWN, SDLK_RIGHT));
  waitForEvent();
  EXPECT_EQ(sdlFlipCount, 2) << "the idle wait left the exposed window blank";
  EXPECT_TRUE(drainEvents(true));
  EXPECT_EQ(turnPeriod, 11.0);
  EXPECT_EQ(sdlFlipCount, 2);
}

#ifndef _WIN32
// A close request that a signal posts while the program sleeps in the wait
// ends it: SDL's handler runs between two sleeps, or cuts one short. (A
// wait that missed it would keep the test until the alarm kills it.)
TEST_F(EventQueue, CloseRequestFromASignalEndsAWait) {
  timer_t timer;
  sigevent terminate{};
  terminate.sigev_notify = SIGEV_SIGNAL;
  terminate.sigev_signo = SIGTERM;
  ASSERT_EQ(timer_create(CLOCK_MONOTONIC, &terminate, &timer), 0);
  itimerspec in50ms{};
  in50ms.it_value.tv_nsec = 50 * 1000 * 1000;
  ASSERT_EQ(timer_settime(timer, 0, &in50ms, nullptr), 0);
  alarm(20);
  waitForEvent();
  alarm(0);
  timer_delete(timer);
  EXPECT_FALSE(drainEvents(true)) << "the wait ended without the close request";
}
#endif

// SDL 1.2 over SDL 2 on X11 only (pixel/merged_presses.h).
#if defined(SDL_VIDEO_DRIVER_X11)
// The raw X events SDL 1.2 over SDL 2 hands the filter before its own: a
// press of key code 114 (Right) and its release, and a press of 113 (Left).
SDL_Event xKey(int type, unsigned keycode) {
  static std::vector<SDL_SysWMmsg> messages(64);
  static size_t next = 0;
  SDL_SysWMmsg& msg = messages[next++ % messages.size()];
  msg = SDL_SysWMmsg{};
  msg.subsystem = SDL_SYSWM_X11;
  msg.event.xevent.type = type;
  msg.event.xevent.xkey.keycode = keycode;
  SDL_Event e{};
  e.type = SDL_SYSWMEVENT;
  e.syswm.msg = &msg;
  return e;
}

std::vector<SDLKey> readPresses() {
  std::vector<SDLKey> keys;
  for (SDL_Event e; nextEvent(&e);) {
    if (e.type == SDL_KEYDOWN) keys.push_back(e.key.keysym.sym);
  }
  return keys;
}

// A burst of Right, Right, Right, Left, Right as SDL 2 under sdl12-compat
// makes of it: each release followed by a press of its key within a
// millisecond is taken for auto-repeat, its release and that press vanish
// (the X events still come), and only the first Right and the Left arrive as
// SDL_KEYDOWN. Every press the X server delivered is read back, in order.
TEST_F(EventQueue, PressesMergedAsAutoRepeatComeBack) {
  pump(xKey(KeyPress, 114));
  pump(event(SDL_KEYDOWN, SDLK_RIGHT));
  pump(xKey(KeyRelease, 114));
  pump(xKey(KeyPress, 114));
  pump(xKey(KeyRelease, 114));
  pump(xKey(KeyPress, 114));
  pump(xKey(KeyRelease, 114));
  pump(xKey(KeyPress, 113));
  pump(event(SDL_KEYDOWN, SDLK_LEFT));
  pump(event(SDL_KEYDOWN, SDLK_UNKNOWN));  // text input, no key of its own
  pump(xKey(KeyRelease, 113));
  pump(event(SDL_KEYUP, SDLK_LEFT));
  pump(xKey(KeyPress, 114));
  pump(event(SDL_KEYDOWN, SDLK_RIGHT));
  pump(xKey(KeyRelease, 114));
  pump(event(SDL_KEYUP, SDLK_RIGHT));
  ASSERT_TRUE(sdlQueueEmpty());
  EXPECT_EQ(readPresses(), (std::vector<SDLKey>{SDLK_RIGHT, SDLK_RIGHT, SDLK_RIGHT, SDLK_LEFT, SDLK_UNKNOWN,
                                                 SDLK_RIGHT}));
}

// A held key: the X server repeats the press with no release between, SDL
// marks them repeats and drops them, and so must the queue, as SDL 1.2 does
// with key repeat off. A press the queue never saw arrive (no SDL_KEYDOWN
// ever) is not made up either.
TEST_F(EventQueue, AHeldKeyDoesNotRepeat) {
  pump(xKey(KeyPress, 114));
  pump(event(SDL_KEYDOWN, SDLK_RIGHT));
  for (int i = 0; i < 20; ++i) pump(xKey(KeyPress, 114));
  pump(xKey(KeyRelease, 114));
  pump(xKey(KeyPress, 9));
  pump(xKey(KeyRelease, 9));
  pump(xKey(KeyPress, 9));
  pump(xKey(KeyRelease, 9));
  EXPECT_EQ(readPresses(), std::vector<SDLKey>{SDLK_RIGHT});
}
#endif

}  // namespace
