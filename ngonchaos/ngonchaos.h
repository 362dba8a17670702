// ngonchaos: the chaos game inside a regular polygon of 2 to 8 corners, with
// a contraction ratio chosen by the number of corners, and BMP snapshots.
#pragma once

#include <SDL.h>

#include <array>
#include <cstddef>

extern int canvasWidth;
extern int canvasHeight;

extern int cornerCount;  // N, 2..8
extern int polygonRadius;
extern std::array<double, 10> cornerX;
extern std::array<double, 10> cornerY;
extern double contractionRatio;
extern const double pi;

extern int pointsPerRun;  // a run plots pointsPerRun - 1 points
extern int currentX;
extern int currentY;

// Places the N corners on a circle about the canvas centre and picks the
// contraction ratio, then clears the canvas to white and flips. Returns the
// flip's result, or the negative lock result when the surface cannot be
// locked (corners and ratio are up to date either way).
int layoutPolygon();

// One run of the chaos game into the (locked) surface.
void plotChaosPoints();
// A run inside lock, unlock and flip; returns like layoutPolygon.
int renderPoints();

// "N.bmp" for the current N, written into name (at most size bytes).
void formatSnapshotName(char* name, std::size_t size);
// Saves the whole screen as N.bmp in the working directory. The file is
// replaced only by a complete save: 0 when it was written, -1 otherwise.
int saveSnapshot();

// Handles one event; returns the quit flag after it.
int handleEvent(const SDL_Event& event, int quit);
// Handles every queued event, also those behind a close request.
int drainEvents(int quit);
// Waits for events and handles them until the window's close request has
// been handled.
void runEventLoop();
