// SDL calls seen through the linker (-Wl,--wrap): a test counts flips and
// locks, can make the surface lock or the video mode fail, and gets SDL 1.2's
// lock and unlock on either SDL 1.2 (sdl_wraps.cpp). Link a test with
// `wrap_sdl_calls(target)` to use them.
#pragma once

extern int sdlFlipCount;
extern int sdlLockCount;
extern bool sdlFailLock;
extern bool sdlFailVideoMode;

void resetSdlWraps();
