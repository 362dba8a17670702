// tetrachaos: a Sierpinski tetrahedron grown by the chaos game, turning about
// its vertical axis under an oblique projection.
#pragma once

#include <SDL.h>

#include <array>

using ModelPoint = std::array<int, 3>;  // x across, y depth, z height

extern int canvasWidth;
extern int canvasHeight;
extern int edgeLength;
extern std::array<ModelPoint, 4> corners;
extern ModelPoint currentPoint;
extern int centreX;
extern int centreY;
extern double turnAngle;
extern double projectionAngle;
extern float depthScale;

extern int pointsPerFrame;
extern int batchSize;
extern double frameRate;
extern double turnPeriod;

// Sizes the tetrahedron to the canvas, places its corners and the projection
// centre, and shows a white frame.
int layoutTetrahedron();

// Moves the current point halfway to a random corner count times (one rand()
// each), plotting every point turned by the current angle and projected.
void playChaosGame(int count);
int drawFrame();

// One step of the turn angle for the current turn period, wrapped once.
void advanceTurn();
// Returns whether the program keeps running after this event.
bool handleEvent(const SDL_Event& event, bool running);
bool drainEvents(bool running);
// The animation loop: frames, turn, fixed pause, events, until a key or close.
void runAnimation();
