// tetrachaos_icon: draws the tetrahedron as tetrachaos shows it after a few
// frames of its turn and writes it as PNG icons.
//
// Usage: tetrachaos_icon <hicolor theme folder>   (run with SDL's dummy video driver)
#include "pixel_surface.h"
#include "screen_icon.h"
#include "tetrachaos.h"

int main(int argc, char** argv) {
  if (argc != 2 || !openScreen(canvasWidth, canvasHeight)) return 2;
  batchSize = pointsPerFrame;
  layoutTetrahedron();
  for (int frame = 0; frame < 12; ++frame) advanceTurn();
  drawFrame();
  bool written = writeIconSet(argv[1], "tetrachaos", figureOnScreen());
  closeScreen();
  return written ? 0 : 1;
}
