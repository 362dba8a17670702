// ngonchaos_icon: draws ngonchaos's pentagon figure and writes it as PNG icons.
//
// Usage: ngonchaos_icon <hicolor theme folder>   (run with SDL's dummy video driver)
#include "ngonchaos.h"
#include "pixel_surface.h"
#include "screen_icon.h"

int main(int argc, char** argv) {
  if (argc != 2 || !openScreen(canvasWidth, canvasHeight)) return 2;
  cornerCount = 5;
  layoutPolygon();
  renderPoints();
  bool written = writeIconSet(argv[1], "ngonchaos", figureOnScreen());
  closeScreen();
  return written ? 0 : 1;
}
