#include "event_queue.h"

#include "merged_presses.h"
#include "pixel_surface.h"

#include <array>
#include <atomic>
#include <csignal>

#if defined(_WIN32)
#include <windows.h>
#elif !defined(__EMSCRIPTEN__)
#include <SDL_syswm.h>
#include <poll.h>
#endif

long droppedEvents = 0;

namespace {

static_assert((eventQueueSize & (eventQueueSize - 1)) == 0, "the counters wrap onto the ring");

std::array<SDL_Event, eventQueueSize> ring;
// Counters of events ever written and ever read; they run on past the ring's
// size and wrap, and the difference is the number waiting. Atomic because
// SDL's SIGINT and SIGTERM handlers post close requests through the filter.
std::atomic<unsigned> eventsWritten{0};
std::atomic<unsigned> eventsRead{0};
// A close request from a signal handler that interrupted the filter itself
// cannot go into the ring without racing the interrupted write; it waits here.
volatile std::sig_atomic_t filtering = 0;
volatile std::sig_atomic_t interruptingQuit = 0;
// The window system lost some of the window's picture and wants it again.
bool exposed = false;

}  // namespace

void startEventQueue() {
  eventsRead = eventsWritten.load();
  droppedEvents = 0;
  interruptingQuit = 0;
  exposed = false;
  resetMergedPresses();
#ifndef __EMSCRIPTEN__
  SDL_SetEventFilter(queueEvent);
  watchMergedPresses();
#endif
}

namespace {

void keep(const SDL_Event* event) {
  const bool quit = event->type == SDL_QUIT;
  const unsigned next = eventsWritten;
  const unsigned room = quit ? eventQueueSize : eventQueueSize - 1;
  if (next - eventsRead < room) {
    ring[next % eventQueueSize] = *event;
    eventsWritten = next + 1;
  } else {
    ++droppedEvents;
  }
}

}  // namespace

int queueEvent(const SDL_Event* event) {
  if (event->type == SDL_VIDEOEXPOSE) exposed = true;
  const bool quit = event->type == SDL_QUIT;
  if (!quit && event->type != SDL_KEYDOWN && event->type != SDL_SYSWMEVENT) return 0;
  if (filtering) {
    if (quit) interruptingQuit = 1;
    return 0;
  }
  filtering = 1;
  SDL_Event merged;
  if (recoverMergedPress(event, &merged)) keep(&merged);
  if (event->type != SDL_SYSWMEVENT) keep(event);
  filtering = 0;
  return 0;
}

#ifndef __EMSCRIPTEN__
namespace {

// Classic SDL 1.2 repaints an exposed window from the screen surface itself;
// SDL 1.2 over SDL 2 only reports the expose, and a window mapped after its
// first flip would stay blank. Shown again here, outside the filter and
// between the programs' frames, so the window gets exactly what the surface
// holds.
void pumpEvents() {
  SDL_PumpEvents();
  if (!exposed) return;
  exposed = false;
  if (screen != nullptr) SDL_Flip(screen);
}

}  // namespace
#endif

int nextEvent(SDL_Event* event) {
#ifdef __EMSCRIPTEN__
  // The browser's SDL keeps its queue in JavaScript, without a bound, and
  // takes a filter of another form: its own queue serves. Its poll is also
  // where the web build hands control back to the browser.
  return SDL_PollEvent(event);
#else
  pumpEvents();
#endif
  const unsigned oldest = eventsRead;
  if (oldest != eventsWritten) {
    *event = ring[oldest % eventQueueSize];
    eventsRead = oldest + 1;
    return 1;
  }
  if (interruptingQuit) {
    interruptingQuit = 0;
    *event = SDL_Event{};
    event->type = SDL_QUIT;
    return 1;
  }
  return SDL_PeepEvents(event, 1, SDL_GETEVENT, SDL_ALLEVENTS) > 0;
}

#ifndef __EMSCRIPTEN__
namespace {

bool eventWaiting() {
  pumpEvents();
  SDL_Event pushed;
  return eventsRead != eventsWritten || interruptingQuit ||
         SDL_PeepEvents(&pushed, 1, SDL_PEEKEVENT, SDL_ALLEVENTS) > 0;
}

}  // namespace
#endif

void waitForEvent() {
#ifdef __EMSCRIPTEN__
  SDL_WaitEvent(nullptr);
#else
  while (!eventWaiting()) sleepUntilInput();
#endif
}

void sleepUntilInput() {
#if defined(_WIN32)
  // SDL's pump has taken every message, so only new input ends the wait.
  MsgWaitForMultipleObjects(0, nullptr, FALSE, lookAgainMs, QS_ALLINPUT);
  return;
#elif defined(SDL_VIDEO_DRIVER_X11)
  // SDL's pump has read everything the X server sent.
  SDL_SysWMinfo info;
  SDL_VERSION(&info.version);
  if (SDL_GetWMInfo(&info) > 0 && info.subsystem == SDL_SYSWM_X11) {
    pollfd connection{ConnectionNumber(info.info.x11.display), POLLIN, 0};
    poll(&connection, 1, int(lookAgainMs));
    return;
  }
#endif
  SDL_Delay(idleWaitMs);
}
