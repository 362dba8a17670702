// ngonchaos_icon: draws ngonchaos's pentagon figure and writes it as
// PNG icons and as the .ico of the Windows program.
//
// Usage: ngonchaos_icons <hicolor theme folder> <out.ico>   (run with SDL's dummy video driver)
#include "ngonchaos.h"
#include "pixel_surface.h"
#include "screen_icon.h"

int main(int argc, char** argv) {
  if (!openScreen(canvasWidth, canvasHeight)) return 2;
  cornerCount = 5;
  layoutPolygon();
  renderPoints();
  int status = writeProgramIcons(argc, argv, "ngonchaos", trueColourIco, figureOnScreen());
  closeScreen();
  return status;
}
