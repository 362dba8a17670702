// escapeplot_icon: draws escapeplot's set at iteration limit 30 and writes it
// as PNG icons.
//
// Usage: escapeplot_icon <hicolor theme folder>   (run with SDL's dummy video driver)
#include "escapeplot.h"
#include "pixel_surface.h"
#include "screen_icon.h"

int main(int argc, char** argv) {
  if (argc != 2 || !openScreen(640, 480)) return 2;
  chooseRenderPath();
  iterationLimit = 30;
  redrawImage();
  bool written = writeIconSet(argv[1], "escapeplot", figureOnScreen());
  closeScreen();
  return written ? 0 : 1;
}
