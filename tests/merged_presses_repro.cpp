// Where a burst of presses of one key goes, in SDL alone (no code of the
// project): counts the key presses the X server delivers (SDL_SYSWMEVENT)
// and the SDL_KEYDOWN events SDL makes of them. Start it on a display, then
//   xdotool search --name merged_presses_repro windowfocus --sync key --delay 0 $(printf 'Right %.0s' $(seq 45))
// It prints both counts after a second without events. On SDL 1.2 over SDL 2
// (sdl12-compat) presses stamped within a millisecond of the key's release
// come out short: SDL 2's X11 driver takes the release and the press for
// auto-repeat, and sdl12-compat drops every repeated press.
#include <SDL.h>
#include <SDL_syswm.h>

#include <cstdio>

int main(int, char**) {
  if (SDL_Init(SDL_INIT_VIDEO) < 0 || SDL_SetVideoMode(64, 64, 32, SDL_SWSURFACE) == nullptr) return 1;
  SDL_WM_SetCaption("merged_presses_repro", nullptr);
  SDL_EventState(SDL_SYSWMEVENT, SDL_ENABLE);
  int xPresses = 0, keyDowns = 0;
  Uint32 lastEvent = 0;
  while (lastEvent == 0 || SDL_GetTicks() - lastEvent < 1000) {
    SDL_Event e;
    while (SDL_PollEvent(&e)) {
      if (e.type == SDL_SYSWMEVENT && e.syswm.msg->event.xevent.type == KeyPress) ++xPresses;
      if (e.type == SDL_KEYDOWN) ++keyDowns;
      if (xPresses + keyDowns > 0) lastEvent = SDL_GetTicks();
    }
    SDL_Delay(5);
  }
  std::printf("%d presses from the X server, %d SDL_KEYDOWN\n", xPresses, keyDowns);
  SDL_Quit();
  return 0;
}
