// tetrachaos_icon: draws the tetrahedron as tetrachaos shows it after a few
// frames of its turn and writes it as
// PNG icons and as the .ico of the Windows program.
//
// Usage: tetrachaos_icons <hicolor theme folder> <out.ico>   (run with SDL's dummy video driver)
#include "pixel_surface.h"
#include "screen_icon.h"
#include "tetrachaos.h"

int main(int argc, char** argv) {
  if (!openScreen(canvasWidth, canvasHeight)) return 2;
  batchSize = pointsPerFrame;
  layoutTetrahedron();
  for (int frame = 0; frame < 12; ++frame) advanceTurn();
  drawFrame();
  int status = writeProgramIcons(argc, argv, "tetrachaos", trueColourIco, figureOnScreen());
  closeScreen();
  return status;
}
