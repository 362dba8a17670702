#include "pixel_oracle.h"

#include "pixel_surface.h"

void oracleFillWhite() {
  for (int x = 0; x < screenWidth; ++x)
    for (int y = 0; y < screenHeight; ++y) putPixel(x, y, 255, 255, 255);
}
