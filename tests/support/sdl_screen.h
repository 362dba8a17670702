// What the SDL programs' tests share: the screen read back and painted straight
// through memory, colour counts, files listed, and events built as SDL
// delivers them.
#pragma once

#include <SDL.h>

#include <cstdint>
#include <string>
#include <vector>

#include "pixel_count.h"

// The screen's 32-bit word at (x, y), as the surface holds it.
Uint32 screenWord(int x, int y);
// Every word of the screen, row-major, screen->w by screen->h.
std::vector<Uint32> screenWords();
// Every word of the screen set to value.
void fillScreenWords(Uint32 value);
// The screen's pixels as 0xRRGGBB, row-major.
std::vector<uint32_t> screenPixels();
// Every pixel of the screen set to one colour, straight into memory.
void paintScreen(uint32_t rgb);

SDL_Event keyEvent(Uint8 type, SDLKey sym, SDLMod mod = KMOD_NONE);
SDL_Event keyDown(SDLKey sym, SDLMod mod = KMOD_NONE);
SDL_Event eventOfType(Uint8 type);

// The names in a directory, sorted.
std::vector<std::string> directoryEntries(const std::string& path = ".");
