#include "sdl_wraps.h"

#include <SDL.h>

int sdlFlipCount = 0;
int sdlLockCount = 0;
bool sdlFailLock = false;
bool sdlFailVideoMode = false;

void resetSdlWraps() {
  sdlFlipCount = sdlLockCount = 0;
  sdlFailLock = sdlFailVideoMode = false;
}

extern "C" {
int __real_SDL_Flip(SDL_Surface*);
int __real_SDL_LockSurface(SDL_Surface*);
SDL_Surface* __real_SDL_SetVideoMode(int, int, int, Uint32);

int __wrap_SDL_Flip(SDL_Surface* surface) {
  ++sdlFlipCount;
  return __real_SDL_Flip(surface);
}

int __wrap_SDL_LockSurface(SDL_Surface* surface) {
  ++sdlLockCount;
  return sdlFailLock ? -1 : __real_SDL_LockSurface(surface);
}

SDL_Surface* __wrap_SDL_SetVideoMode(int width, int height, int bpp, Uint32 flags) {
  return sdlFailVideoMode ? nullptr : __real_SDL_SetVideoMode(width, height, bpp, flags);
}
}
