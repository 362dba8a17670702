// Key presses that SDL 1.2 over SDL 2 (sdl12-compat, as Debian 13 ships SDL
// 1.2) merges away. SDL 2's X11 driver takes a key's release for auto-repeat
// when a press of the same key, stamped within a millisecond of it, waits
// anywhere in Xlib's queue: it drops the release and marks that press as a
// repeat, and sdl12-compat drops every repeated press. A burst of presses
// (xdotool, a macro keyboard, a program typing for the user) loses presses so.
//
// Each raw X event still reaches SDL 1.2's filter as an SDL_SYSWMEVENT, just
// before SDL turns it into its own events. A press that the X server
// delivered after a release of its key, and that no SDL_KEYDOWN followed, is
// one SDL dropped: it comes back as a copy of that key's last SDL_KEYDOWN. A
// key held down sends presses without releases between them (SDL 2 asks the
// X server for detectable auto-repeat); those stay dropped, as in SDL 1.2.
#pragma once

#include <SDL.h>

// Asks SDL for the raw X events where SDL 1.2 runs over SDL 2. Classic SDL
// 1.2 never merges a press it has not also dropped the release of, and keeps
// its behaviour: nothing is asked there.
void watchMergedPresses();

// Forgets every key seen, as for a new window.
void resetMergedPresses();

// Follows an event SDL's filter is handed. True, with *press filled, when
// the event shows that SDL dropped a key press just before it.
bool recoverMergedPress(const SDL_Event* event, SDL_Event* press);
