#include "sdl_screen.h"

#include <algorithm>
#include <filesystem>

#include "pixel_surface.h"

namespace {

Uint32* screenRow(int y) { return static_cast<Uint32*>(screen->pixels) + (y * screen->pitch) / 4; }

}  // namespace

Uint32 screenWord(int x, int y) { return screenRow(y)[x]; }

std::vector<Uint32> screenWords() {
  std::vector<Uint32> words;
  words.reserve(size_t(screen->w) * size_t(screen->h));
  for (int y = 0; y < screen->h; ++y) words.insert(words.end(), screenRow(y), screenRow(y) + screen->w);
  return words;
}

void fillScreenWords(Uint32 value) {
  for (int y = 0; y < screen->h; ++y) std::fill(screenRow(y), screenRow(y) + screen->w, value);
}

std::vector<uint32_t> screenPixels() {
  std::vector<uint32_t> pixels;
  pixels.reserve(size_t(screen->w) * size_t(screen->h));
  for (int y = 0; y < screen->h; ++y)
    for (int x = 0; x < screen->w; ++x) {
      Uint8 r, g, b;
      SDL_GetRGB(screenRow(y)[x], screen->format, &r, &g, &b);
      pixels.push_back((uint32_t(r) << 16) | (uint32_t(g) << 8) | b);
    }
  return pixels;
}

void paintScreen(uint32_t rgb) {
  fillScreenWords(SDL_MapRGB(screen->format, Uint8(rgb >> 16), Uint8(rgb >> 8), Uint8(rgb)));
}

SDL_Event keyEvent(Uint8 type, SDLKey sym, SDLMod mod) {
  SDL_Event event{};
  event.type = type;
  event.key.type = type;
  event.key.state = type == SDL_KEYDOWN ? SDL_PRESSED : SDL_RELEASED;
  event.key.keysym.sym = sym;
  event.key.keysym.mod = mod;
  return event;
}

SDL_Event keyDown(SDLKey sym, SDLMod mod) { return keyEvent(SDL_KEYDOWN, sym, mod); }

SDL_Event eventOfType(Uint8 type) {
  SDL_Event event{};
  event.type = type;
  return event;
}

std::vector<std::string> directoryEntries(const std::string& path) {
  std::vector<std::string> names;
  for (const auto& entry : std::filesystem::directory_iterator(path))
    names.push_back(entry.path().filename().string());
  std::sort(names.begin(), names.end());
  return names;
}
