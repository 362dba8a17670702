// escapeplot: the Mandelbrot set by escape time on a 640 x 480 canvas, black
// where the orbit stays within the escape radius for the whole iteration
// limit, white where it leaves. The canvas stays as opened until the first
// key press; every change of the limit redraws the whole image.
//
// Keys: Right  one more iteration (the first press draws the limit-2 image)
//       Left   one iteration fewer, never below 1 (limit 1 is all black)
//       Closing the window ends the program.
#include "escapeplot.h"
#include "event_queue.h"
#include "pixel_surface.h"

int main(int, char**) {
  bool quit = false;
  if (!openScreen(640, 480)) return 1;
  chooseRenderPath();
  while (!quit) {
    waitForEvent();
    quit = drainEvents(quit);
  }
  closeScreen();
  return 0;
}
