// escapeplot's render paths as the page sees them: which path draws at a
// limit, and a way to force one (or renderChosen, -1, again), so that the
// page's tests and measurements can run each path the browser has.
#include <emscripten.h>

#include "escapeplot.h"

extern "C" EMSCRIPTEN_KEEPALIVE int renderPathAt(int limit) { return pathForLimit(limit); }
extern "C" EMSCRIPTEN_KEEPALIVE int forceRenderPath(int path) {
  if (path != renderChosen && !renderPathAvailable(path)) return 0;
  renderPath = path;
  return 1;
}
