// The drawing layer shared by the SDL programs: one 32-bit software screen,
// a bounds-checked pixel write, a white clear, and the lock-draw-unlock-flip
// sequence that brackets every redraw.
#pragma once

#include <SDL.h>
#include <cstdint>

extern SDL_Surface* screen;
// The canvas size W x H, fixed for the run; cut to the size of the surface
// SDL returned should that be smaller, so that no write can miss it.
extern int screenWidth;
extern int screenHeight;

// SDL_Init for video, the program's own event queue (event_queue.h), then a
// width x height 32-bit software video mode. Returns false when SDL or the
// video mode fails; SDL is shut down again if it had started.
bool openScreen(int width, int height);
void closeScreen();

// Points off the canvas are dropped; callers rely on this and never clip.
inline void putPixel(int x, int y, int r, int g, int b) {
  if (x >= screenWidth || y >= screenHeight || x < 0 || y < 0) return;
  Uint32 colour = SDL_MapRGB(screen->format, Uint8(r & 0xFF), Uint8(g & 0xFF), Uint8(b & 0xFF));
  auto* row = static_cast<Uint32*>(screen->pixels) + (y * screen->pitch) / 4;
  row[x] = colour;
}

// Every pixel of the canvas white. Maps the colour once and fills row by row;
// the result is the same as putPixel(x, y, 255, 255, 255) over the whole canvas.
void fillWhite();

// Locks the screen if it must be locked, runs draw, unlocks and flips.
// A failed lock skips the whole redraw and returns the lock's negative result.
int presentFrame(void (*draw)());
