#include "ngonchaos.h"

#include <cmath>
#include <cstdlib>

#include "event_queue.h"
#include "pixel_surface.h"

int canvasWidth = 640;
int canvasHeight = 480;

int cornerCount = 2;
int polygonRadius = 0;
std::array<double, 10> cornerX{};
std::array<double, 10> cornerY{};
double contractionRatio = 0.0;
const double pi = 3.141592653589793;

int pointsPerRun = 300000;
int currentX = 500;
int currentY = 500;

namespace {

void placeCorners() {
  polygonRadius = 230;
  const double radius = polygonRadius;
  for (int i = 0; i < cornerCount; ++i) {
    const double theta = pi - (double(2 * i) * pi) / double(cornerCount);
    cornerY[i] = radius * std::cos(theta) + 240.0;
    cornerX[i] = 320.0 - radius * std::sin(theta);
  }
}

// The general rule, 2 + 2|cos(2 pi / N)|, gives 3 for a triangle and 2 for a
// square; those two take the fixed ratios 2 and 3 instead.
double ratioFor(int n) {
  if (n == 3) return 2.0;
  if (n == 4) return 3.0;
  const double t = (1 - 2.0 / n) * pi * 2.0 - pi;
  return std::sqrt(2.0 - 2.0 * std::cos(t)) + 2.0;
}

}  // namespace

int layoutPolygon() {
  placeCorners();
  contractionRatio = ratioFor(cornerCount);
  return presentFrame(fillWhite);
}

// rand() may touch any global, so the loop keeps its state in locals and
// writes the current point back once at the end.
void plotChaosPoints() {
  const int n = cornerCount;
  const double d = contractionRatio;
  const int count = pointsPerRun;
  int x = currentX;
  int y = currentY;
  for (int i = 1; i < count; ++i) {
    const int k = std::rand() % n;
    x = int(cornerX[k] + (x - cornerX[k]) / d);
    y = int(cornerY[k] + (y - cornerY[k]) / d);
    putPixel(x, y, 0, 0, 0);
  }
  currentX = x;
  currentY = y;
}

int renderPoints() { return presentFrame(plotChaosPoints); }

int handleEvent(const SDL_Event& event, int quit) {
  if (event.type == SDL_QUIT) return 1;
  if (event.type != SDL_KEYDOWN) return quit;
  switch (event.key.keysym.sym) {
    case SDLK_RIGHT:
      if (cornerCount < 8) {
        ++cornerCount;
        layoutPolygon();
        renderPoints();
      }
      break;
    case SDLK_LEFT:
      if (cornerCount > 2) {
        --cornerCount;
        layoutPolygon();
        renderPoints();
      }
      break;
    default:
      renderPoints();
      saveSnapshot();
      break;
  }
  return quit;
}

int drainEvents(int quit) {
  SDL_Event event;
  while (nextEvent(&event)) quit = handleEvent(event, quit);
  return quit;
}

void runEventLoop() {
  int quit = 0;
  while (!quit) {
    waitForEvent();
    quit = drainEvents(quit);
  }
}
