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
SDL_Surface* __real_SDL_SetVideoMode(int, int, int, Uint32);

int __wrap_SDL_Flip(SDL_Surface* surface) {
  ++sdlFlipCount;
  return __real_SDL_Flip(surface);
}

// The lock as SDL 1.2 defines it for a surface in memory: the first lock
// moves the pixel pointer by the surface's offset, the last unlock moves it
// back, and locked counts them. Done here rather than by SDL, as sdl12-compat
// (Debian 13) keeps neither the offset nor the count in the 1.2 surface.
int __wrap_SDL_LockSurface(SDL_Surface* surface) {
  ++sdlLockCount;
  if (sdlFailLock) return -1;
  if (surface->locked++ == 0) surface->pixels = static_cast<Uint8*>(surface->pixels) + surface->offset;
  return 0;
}

void __wrap_SDL_UnlockSurface(SDL_Surface* surface) {
  if (surface->locked > 0 && --surface->locked == 0)
    surface->pixels = static_cast<Uint8*>(surface->pixels) - surface->offset;
}

SDL_Surface* __wrap_SDL_SetVideoMode(int width, int height, int bpp, Uint32 flags) {
  return sdlFailVideoMode ? nullptr : __real_SDL_SetVideoMode(width, height, bpp, flags);
}
}
