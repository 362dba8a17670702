#include "pixel_surface.h"

#include <algorithm>
#include <cstdlib>

#include "event_queue.h"

SDL_Surface* screen = nullptr;
int screenWidth = 0;
int screenHeight = 0;

// SDL 1.2 over SDL 2 (sdl12-compat) would show the screen through SDL 2's
// OpenGL renderer, and Mesa, while it fills its shader cache on a first run,
// draws numbers from the C library's rand(): from the figures' own sequence.
// SDL 2's software path needs no OpenGL. Classic SDL 1.2 ignores both names.
namespace {

void keepOpenGlOut() {
#if defined(__unix__) && !defined(__EMSCRIPTEN__)
  setenv("SDL_RENDER_DRIVER", "software", 1);
  setenv("SDL_FRAMEBUFFER_ACCELERATION", "0", 1);
#endif
}

}  // namespace

bool openScreen(int width, int height) {
  keepOpenGlOut();
  if (SDL_Init(SDL_INIT_VIDEO) < 0) return false;
  startEventQueue();
  screen = SDL_SetVideoMode(width, height, 32, SDL_SWSURFACE);
  if (screen == nullptr) {
    SDL_Quit();
    return false;
  }
  // Every write stays inside the surface SDL returned, also when it is
  // smaller than the canvas asked for: no wider than a row of its pixels or
  // of its pitch, no taller than its rows.
  screenWidth = std::min({width, int(screen->w), screen->pitch / 4});
  screenHeight = std::min(height, int(screen->h));
  return true;
}

void closeScreen() { SDL_Quit(); }

void fillWhite() {
  if (screenWidth <= 0 || screenHeight <= 0) return;
  const Uint32 white = SDL_MapRGB(screen->format, 255, 255, 255);
  for (int y = 0; y < screenHeight; ++y) {
    Uint32* row = static_cast<Uint32*>(screen->pixels) + (y * screen->pitch) / 4;
    for (int x = 0; x < screenWidth; ++x) row[x] = white;
  }
}

int presentFrame(void (*draw)()) {
  if (SDL_MUSTLOCK(screen)) {
    const int locked = SDL_LockSurface(screen);
    if (locked < 0) return locked;
  }
  draw();
  if (SDL_MUSTLOCK(screen)) SDL_UnlockSurface(screen);
  return SDL_Flip(screen);
}
