// SDL calls seen through the linker (-Wl,--wrap): a test counts flips and can
// make the surface lock or the video mode fail. Link a test with
// `wrap_sdl_calls(target)` to use them.
#pragma once

extern int sdlFlipCount;
extern int sdlLockCount;
extern bool sdlFailLock;
extern bool sdlFailVideoMode;

void resetSdlWraps();
