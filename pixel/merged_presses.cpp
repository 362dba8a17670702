#include "merged_presses.h"

#if defined(SDL_VIDEO_DRIVER_X11) && !defined(__EMSCRIPTEN__)
#include <SDL_syswm.h>

#include <array>

namespace {

// X key codes run from 8 to 255.
std::array<SDL_Event, 256> lastPress;
// Keys the X server holds down: pressed and not released since.
std::array<bool, 256> down;
// The key code of a press that follows a release and waits for its
// SDL_KEYDOWN, or -1.
int waitingPress = -1;

}  // namespace

void watchMergedPresses() {
  // sdl12-compat calls itself 1.2.50 and later; classic SDL 1.2 ended at 1.2.15.
  if (SDL_Linked_Version()->patch >= 50) SDL_EventState(SDL_SYSWMEVENT, SDL_ENABLE);
}

void resetMergedPresses() {
  for (SDL_Event& press : lastPress) press.type = SDL_NOEVENT;
  down.fill(false);
  waitingPress = -1;
}

bool recoverMergedPress(const SDL_Event* event, SDL_Event* press) {
  // Presses of keys SDL has no symbol for come as SDLK_UNKNOWN (text input):
  // they answer no X press.
  if (event->type == SDL_KEYDOWN && event->key.keysym.sym != SDLK_UNKNOWN && waitingPress >= 0) {
    lastPress[waitingPress] = *event;
    waitingPress = -1;
    return false;
  }
  if (event->type != SDL_SYSWMEVENT || event->syswm.msg->subsystem != SDL_SYSWM_X11) return false;
  bool dropped = false;
  if (waitingPress >= 0 && lastPress[waitingPress].type == SDL_KEYDOWN) {
    *press = lastPress[waitingPress];
    dropped = true;
  }
  waitingPress = -1;
  const XEvent& x = event->syswm.msg->event.xevent;
  const int code = (x.type == KeyPress || x.type == KeyRelease) ? int(x.xkey.keycode) & 255 : 0;
  if (x.type == KeyRelease) down[code] = false;
  if (x.type == KeyPress && !down[code]) {
    down[code] = true;
    waitingPress = code;
  }
  return dropped;
}

#else

void watchMergedPresses() {}
void resetMergedPresses() {}
bool recoverMergedPress(const SDL_Event*, SDL_Event*) { return false; }

#endif
