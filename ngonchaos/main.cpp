// ngonchaos: the chaos game inside a regular polygon of N corners (N = 2 to 8,
// 2 at start) on a 640 x 480 canvas. Each run plots 299,999 black points, each
// the previous point's distance from a random corner divided by a ratio that
// depends on N.
//
// Keys: Right  one corner more (up to 8): clear the canvas and draw one run
//       Left   one corner fewer (down to 2): clear the canvas and draw one run
//       any other key (Escape too): draw a further run over the canvas and
//              save it as N.bmp (2.bmp ... 8.bmp) in the working directory
//       Only closing the window ends the program.
#include <csignal>

#include "ngonchaos.h"
#include "pixel_surface.h"

int main(int, char**) {
#ifdef SIGXFSZ
  // A snapshot cut short by the file-size limit is a failed write, not the
  // end of the program.
  std::signal(SIGXFSZ, SIG_IGN);
#endif
  if (!openScreen(canvasWidth, canvasHeight)) return 1;
  layoutPolygon();
  runEventLoop();
  closeScreen();
  return 0;
}
