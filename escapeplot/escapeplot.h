// escapeplot: the Mandelbrot set by escape time, black on white, over real
// parts -2.4 to 0.8 and imaginary parts -1.2 to 1.2 on a 640 x 480 canvas.
#pragma once

#include <SDL.h>

// Largest number of orbit steps followed for any pixel; 1 at start.
extern int iterationLimit;

// Writes all 640 x 480 pixels for the current iteration limit: black where the
// orbit of z <- z * z + c stays within the escape radius, white where it leaves.
// Runs while the screen is locked (as the drawing step of presentFrame).
void drawEscapeImage();

// The ways drawEscapeImage can compute its pixels. Every one of them gives
// the same image; they differ in how many pixels one instruction handles.
constexpr int renderScalar = 0;   // plain C++, any processor
constexpr int renderSse2 = 1;     // two pixels per instruction, every x86-64
constexpr int renderAvx2 = 2;     // four
constexpr int renderAvx512 = 3;   // eight
constexpr int renderSimd128 = 4;  // two, WebAssembly SIMD
constexpr int renderNeon = 5;     // two, every AArch64 (Advanced SIMD)
constexpr int renderPathCount = 6;
// renderPath's value for "the path chooseRenderPath found quickest".
constexpr int renderChosen = -1;

// The path drawEscapeImage uses: one of the above, or renderChosen.
extern int renderPath;
// The quickest paths chooseRenderPath found, below highLimit and from it on
// (renderScalar until it runs). It times each on a sample of the image at
// sampleLowLimit and at sampleHighLimit.
constexpr int highLimit = 128;
constexpr int sampleLowLimit = 32;
constexpr int sampleHighLimit = 256;
extern int chosenPath[2];
// Whether this processor (and its operating system) can run the path.
bool renderPathAvailable(int path);
// Times every path this processor can run and sets renderPath to renderChosen.
void chooseRenderPath();
// The path drawEscapeImage takes at this limit.
int pathForLimit(int limit);

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
