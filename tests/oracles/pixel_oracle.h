// The white clear written out literally: one putPixel per pixel, column by
// column, over the whole canvas.
#pragma once

void oracleFillWhite();
