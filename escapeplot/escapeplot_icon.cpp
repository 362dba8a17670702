// escapeplot_icon: draws escapeplot's set at iteration limit 30 and writes it
// as PNG icons and as the .ico of the Windows program, or as the icons of the
// web app (the pages' folder as an installable app wears escapeplot's set).
//
// Usage: escapeplot_icons <hicolor theme folder> <out.ico>   (run with SDL's dummy video driver)
//        escapeplot_icons --web <pages folder>
#include "escapeplot.h"
#include "pixel_surface.h"
#include "screen_icon.h"

int main(int argc, char** argv) {
  if (!openScreen(640, 480)) return 2;
  chooseRenderPath();
  iterationLimit = 30;
  redrawImage();
  int status = writeProgramIcons(argc, argv, "escapeplot", trueColourIco, figureOnScreen());
  closeScreen();
  return status;
}
