// tetrachaos: the Sierpinski tetrahedron from the chaos game, turning about its
// vertical axis on a 1000 x 600 canvas. Each frame plots 50,000 fresh points.
//
// Keys: Left   turn faster (one turn takes a second less, never under 1 s)
//       Right  turn slower (one turn takes a second more)
//       any other key, or closing the window, ends the program.
#include "pixel_surface.h"
#include "tetrachaos.h"

int main(int, char**) {
  if (!openScreen(canvasWidth, canvasHeight)) return 1;
  batchSize = pointsPerFrame;
  layoutTetrahedron();
  runAnimation();
  closeScreen();
  return 0;
}
