// escapeplot: the Mandelbrot set by escape time, black on white, over real
// parts -2.4 to 0.8 and imaginary parts -1.2 to 1.2 on a 640 x 480 canvas.
#pragma once

#include <SDL.h>

#include <cmath>

// Largest number of orbit steps followed for any pixel; 1 at start.
extern int iterationLimit;

// |re + i im|: the square root of re * re + im * im, each step rounded.
inline double modulus(double re, double im) { return std::sqrt(re * re + im * im); }

// Writes all 640 x 480 pixels for the current iteration limit: black where the
// orbit of z <- z * z + c stays within the escape radius, white where it leaves.
// Runs while the screen is locked (as the drawing step of presentFrame).
void drawEscapeImage();

// The ways drawEscapeImage can compute its pixels. Every one of them gives
// the same image; they differ in how many pixels one instruction handles.
constexpr int renderScalar = 0;  // plain C++, any processor
constexpr int renderSse2 = 1;    // two pixels per instruction, every x86-64
constexpr int renderAvx2 = 2;    // four
constexpr int renderAvx512 = 3;  // eight
constexpr int renderPathCount = 4;

// The path drawEscapeImage uses; renderScalar until chooseRenderPath runs.
extern int renderPath;
// Whether this processor (and its operating system) can run the path.
bool renderPathAvailable(int path);
// Sets renderPath to the widest path this processor can run.
void chooseRenderPath();

// presentFrame with drawEscapeImage as the drawing step.
int redrawImage();
// One up or one down; false (and no change) at the top of the int range or at 1.
bool raiseLimit();
bool lowerLimit();
// Right and Left change the limit and redraw; a quit event sets the returned
// quit flag. Every other event leaves everything as it was.
bool handleEvent(const SDL_Event& event, bool quit);
// Handles every event already queued; returns the quit flag.
bool drainEvents(bool quit);
