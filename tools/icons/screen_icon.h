// Icons of the SDL programs: their figure as drawn on the screen surface.
#pragma once

#include "icons.h"

// A pixel of the screen that is not white; false off the canvas.
bool screenPixelDark(int x, int y);

// The square about the figure on the whole canvas.
IconSource figureOnScreen();
