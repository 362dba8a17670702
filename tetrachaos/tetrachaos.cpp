#include "tetrachaos.h"

#include <cmath>
#include <cstdlib>

#include "event_queue.h"
#include "pixel_surface.h"

int canvasWidth = 1000;
int canvasHeight = 600;
int edgeLength = 0;
std::array<ModelPoint, 4> corners{};
ModelPoint currentPoint{};
int centreX = 0;
int centreY = 0;
double turnAngle = 0.0;
double projectionAngle = 0.7853981633974483;
float depthScale = 0.5f;

int pointsPerFrame = 50000;
int batchSize = 50000;
double frameRate = 25.0;
double turnPeriod = 10.0;

namespace {

// The layout's constants, decimal values of the surds named, kept to the
// digits given: every corner and so every pixel depends on them. Per unit
// of edge:
// the edge that fits one pixel of height: 2√6/5, the inverse of the screen
// height from the apex (√(2/3) up) to the front corner (√3/3 deep, drawn
// √2/4 of that down);
constexpr double edgePerHeight = 0.9797958973;
// the base's centroid to its back edge (√3/6) and to its front corner (√3/3);
constexpr double baseInradius = 0.2886751;
constexpr double baseCircumradius = 0.57735027;
// the height of the apex over the base (√(2/3));
constexpr double apexHeight = 0.8164965809;
// how far the depth axis shifts the back edge to the right (√3/6 · √2/4),
// taken off the centre so that edge stays centred;
constexpr double backEdgeShift = 0.102062;
// half the figure's screen height less the front corner's drop (√6/8), so
// the figure is centred in height.
constexpr double halfFigureHeight = 0.3061862178;

// sin and cos of the turn angle and the projection's depth factors, taken
// once per batch of points instead of once per point.
double turnCos = 1.0;
double turnSin = 0.0;
double depthCos = 0.0;
double depthSin = 0.0;

void refreshTurn() {
  turnCos = std::cos(turnAngle);
  turnSin = std::sin(turnAngle);
  depthCos = depthScale * std::cos(projectionAngle);
  depthSin = depthScale * std::sin(projectionAngle);
}

inline int turnedX(int x, int y) { return int(x * turnCos - y * turnSin + 0.5); }
inline int turnedY(int x, int y) { return int(x * turnSin + y * turnCos + 0.5); }

inline void plotTurned(int x, int y, int z) {
  const int u = turnedX(x, y);
  const int v = turnedY(x, y);
  const int screenX = int(double(u + centreX) - v * depthCos);
  const int screenY = int(double(centreY - z) + v * depthSin);
  putPixel(screenX, screenY, 0, 0, 0);
}

void drawFrameContents() {
  fillWhite();
  playChaosGame(batchSize);
}

}  // namespace

int layoutTetrahedron() {
  // 70 pixels of height and 30 of width are left free about the figure.
  const double fit = (canvasHeight - 70) * edgePerHeight;
  edgeLength = fit < canvasWidth - 30 ? int(fit) : canvasWidth - 30;
  const int s = edgeLength;
  const int baseY = int(s * -baseInradius);
  corners[0] = {s / 2, baseY, 0};
  corners[1] = {(-s) / 2, baseY, 0};
  corners[2] = {0, int(s * baseCircumradius), 0};
  corners[3] = {0, 0, int(s * apexHeight)};
  currentPoint = corners[0];
  centreX = int(canvasWidth * 0.5) - int(s * backEdgeShift);
  centreY = int((canvasHeight - 40) * 0.5) + int(s * halfFigureHeight);
  return presentFrame(fillWhite);
}

void playChaosGame(int count) {
  refreshTurn();
  for (int i = 0; i < count; ++i) {
    const ModelPoint& corner = corners[std::rand() % 4];
    for (int axis = 0; axis < 3; ++axis) currentPoint[axis] = (currentPoint[axis] + corner[axis]) / 2;
    plotTurned(currentPoint[0], currentPoint[1], currentPoint[2]);
  }
}

int drawFrame() { return presentFrame(drawFrameContents); }

// 3.14159286 is the figure's own value for π, a little over it, and
// 6.28318572 twice that: kept as they are, since they set every frame's angle.
void advanceTurn() {
  turnAngle = turnAngle + ((1 / frameRate) * 2 * 3.14159286) / turnPeriod;
  if (turnAngle > 6.28318572) turnAngle = turnAngle - 6.28318572;
}

bool handleEvent(const SDL_Event& event, bool running) {
  if (event.type == SDL_QUIT) return false;
  if (event.type != SDL_KEYDOWN) return running;
  switch (event.key.keysym.sym) {
    case SDLK_RIGHT:
      turnPeriod += 1.0;
      return running;
    case SDLK_LEFT:
      if (turnPeriod > 1.0) turnPeriod -= 1.0;
      return running;
    default:
      return false;
  }
}

bool drainEvents(bool running) {
  SDL_Event event;
  while (nextEvent(&event)) running = handleEvent(event, running);
  return running;
}

void runAnimation() {
  bool running = true;
  while (running) {
    for (int i = 0; i < pointsPerFrame / batchSize; ++i) drawFrame();
    advanceTurn();
    SDL_Delay(Uint32(1000.0 / frameRate));
    running = drainEvents(running);
  }
}
