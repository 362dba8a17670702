#include <climits>

#include "escapeplot.h"
#include "event_queue.h"
#include "pixel_surface.h"

int redrawImage() { return presentFrame(drawEscapeImage); }

bool raiseLimit() {
  if (iterationLimit == INT_MAX) return false;
  ++iterationLimit;
  return true;
}

bool lowerLimit() {
  if (iterationLimit <= 1) return false;
  --iterationLimit;
  return true;
}

bool handleEvent(const SDL_Event& event, bool quit) {
  if (event.type == SDL_QUIT) return true;
  if (event.type != SDL_KEYDOWN) return quit;
  const SDLKey key = event.key.keysym.sym;
  if ((key == SDLK_RIGHT && raiseLimit()) || (key == SDLK_LEFT && lowerLimit())) redrawImage();
  return quit;
}

bool drainEvents(bool quit) {
  SDL_Event event;
  while (nextEvent(&event)) quit = handleEvent(event, quit);
  return quit;
}
