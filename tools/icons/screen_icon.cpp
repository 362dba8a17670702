#include "screen_icon.h"

#include "pixel_surface.h"

bool screenPixelDark(int x, int y) {
  if (x < 0 || y < 0 || x >= screenWidth || y >= screenHeight) return false;
  auto* row = static_cast<Uint32*>(screen->pixels) + (y * screen->pitch) / 4;
  return row[x] != SDL_MapRGB(screen->format, 255, 255, 255);
}

IconSource figureOnScreen() { return squareAboutFigure({0, 0, screenWidth, screenHeight, screenPixelDark}); }
