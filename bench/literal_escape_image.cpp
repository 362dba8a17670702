// escapeplot with the literal drawing step: the program's own main and viewer,
// linked with --wrap so that each redraw runs the tests' oracle instead of
// the renderer. The burst benchmark times it beside the real program.
#include "escapeplot_oracle.h"

extern "C" void __wrap__Z15drawEscapeImagev() { oracleDrawEscapeImage(); }
