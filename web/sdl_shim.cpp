// The SDL programs' loops never return to the browser, which shows a frame
// and delivers input only between its tasks. The pages are built with
// Asyncify and wrap three SDL calls at link time:
// - SDL_PollEvent: a poll that finds the queue empty first hands control to
//   the browser for a moment, unless the program has just paused in SDL_Delay;
// - SDL_Delay: Emscripten's own, a real pause that hands control to the browser;
// - SDL_SetVideoMode: the canvas starts black, as the desktop window does.
// The programs' own code is the desktop's, unchanged.
#include <SDL.h>
#include <emscripten.h>

extern "C" {
int __real_SDL_PollEvent(SDL_Event* event);
void __real_SDL_Delay(Uint32 milliseconds);
SDL_Surface* __real_SDL_SetVideoMode(int width, int height, int bpp, Uint32 flags);
}

// The desktop's window shows black until the program's first flip.
EM_JS(void, paintCanvasBlack, (), {
  const context = Module.canvas.getContext('2d');
  context.fillStyle = 'black';
  context.fillRect(0, 0, Module.canvas.width, Module.canvas.height);
});

namespace {

bool pausedSinceLastPoll = false;

}  // namespace

extern "C" int __wrap_SDL_PollEvent(SDL_Event* event) {
  const int found = __real_SDL_PollEvent(event);
  if (found == 0) {
    if (!pausedSinceLastPoll) emscripten_sleep(0);
    pausedSinceLastPoll = false;
  }
  return found;
}

extern "C" void __wrap_SDL_Delay(Uint32 milliseconds) {
  __real_SDL_Delay(milliseconds);
  pausedSinceLastPoll = true;
}

extern "C" SDL_Surface* __wrap_SDL_SetVideoMode(int width, int height, int bpp, Uint32 flags) {
  SDL_Surface* surface = __real_SDL_SetVideoMode(width, height, bpp, flags);
  if (surface != nullptr) paintCanvasBlack();
  return surface;
}
