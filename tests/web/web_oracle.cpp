// What the programs must show in the browser, for the browser tests:
//   web_oracle ruletri W H SWEEPS OUT   ruletri's client image (RGB bytes, row
//                                       by row) after a reset to W x H and SWEEPS sweeps
//   web_oracle ngonchaos KEYS OUT       ngonchaos's canvas (RGB bytes) after the
//                                       keys (R Right, L Left, any other letter
//                                       another key), with the web's rand() (web_rand.cpp)
//   web_oracle escapeplot LIMIT OUT     escapeplot's canvas (RGB bytes) at LIMIT
//   web_oracle bmp W H RGBA BMP         the BMP file that desktop SDL 1.2 writes
//                                       for a 32-bit screen holding the RGBA image
#include <SDL.h>

#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <fstream>
#include <iterator>
#include <vector>

#include "escapeplot_oracle.h"
#include "ngonchaos.h"
#include "ngonchaos_oracle.h"
#include "pixel_surface.h"
#include "ruletri_oracle.h"

namespace {

void writeScreenRgb(const char* out) {
  std::vector<char> rgb;
  for (int y = 0; y < screen->h; ++y)
    for (int x = 0; x < screen->w; ++x) {
      Uint8 r, g, b;
      SDL_GetRGB(static_cast<const Uint32*>(screen->pixels)[y * screen->pitch / 4 + x], screen->format, &r, &g, &b);
      rgb.insert(rgb.end(), {char(r), char(g), char(b)});
    }
  std::ofstream(out, std::ios::binary).write(rgb.data(), std::streamsize(rgb.size()));
}

// The keys replayed with the literal drawing step on a screen of SDL's dummy
// driver, from the program's start: N = 2, point (500, 500), white canvas.
int ngonchaosCanvas(const char* keys, const char* out) {
  if (!openScreen(640, 480)) return 1;
  oracleLayoutPolygon();
  oracleFillWhite();
  for (const char* key = keys; *key != '\0'; ++key) {
    const int step = *key == 'R' ? 1 : *key == 'L' ? -1 : 0;
    if (step != 0) {
      if (cornerCount + step < 2 || cornerCount + step > 8) continue;
      cornerCount += step;
      oracleLayoutPolygon();
      oracleFillWhite();
    }
    oraclePlotChaosPoints();
  }
  writeScreenRgb(out);
  closeScreen();
  return 0;
}

int ruletriImage(int width, int height, int sweeps, const char* out) {
  const std::vector<uint32_t> image = oracleClientImage(width, height, sweeps);
  std::vector<char> rgb;
  for (uint32_t p : image) rgb.insert(rgb.end(), {char(p >> 16), char(p >> 8), char(p)});
  std::ofstream(out, std::ios::binary).write(rgb.data(), std::streamsize(rgb.size()));
  return 0;
}

int escapeplotImage(int limit, const char* out) {
  std::vector<char> rgb;
  for (int y = 0; y < 480; ++y)
    for (int x = 0; x < 640; ++x) rgb.insert(rgb.end(), 3, oracleEscapes(x, y, limit) ? char(255) : char(0));
  std::ofstream(out, std::ios::binary).write(rgb.data(), std::streamsize(rgb.size()));
  return 0;
}

int desktopBmp(int width, int height, const char* in, const char* out) {
  std::ifstream file(in, std::ios::binary);
  const std::vector<unsigned char> rgba{std::istreambuf_iterator<char>(file), std::istreambuf_iterator<char>()};
  if (rgba.size() != size_t(width) * size_t(height) * 4) return 1;
  SDL_Surface* surface = SDL_CreateRGBSurface(SDL_SWSURFACE, width, height, 32, 0xFF0000, 0xFF00, 0xFF, 0);
  if (surface == nullptr) return 1;
  for (int y = 0; y < height; ++y)
    for (int x = 0; x < width; ++x) {
      const unsigned char* p = &rgba[(size_t(y) * size_t(width) + size_t(x)) * 4];
      static_cast<Uint32*>(surface->pixels)[y * surface->pitch / 4 + x] = SDL_MapRGB(surface->format, p[0], p[1], p[2]);
    }
  const int saved = SDL_SaveBMP_RW(surface, SDL_RWFromFile(out, "wb"), 1);
  SDL_FreeSurface(surface);
  return saved == 0 ? 0 : 1;
}

}  // namespace

int main(int argc, char** argv) {
  if (argc == 6 && std::strcmp(argv[1], "ruletri") == 0)
    return ruletriImage(std::atoi(argv[2]), std::atoi(argv[3]), std::atoi(argv[4]), argv[5]);
  if (argc == 4 && std::strcmp(argv[1], "ngonchaos") == 0) return ngonchaosCanvas(argv[2], argv[3]);
  if (argc == 4 && std::strcmp(argv[1], "escapeplot") == 0) return escapeplotImage(std::atoi(argv[2]), argv[3]);
  if (argc == 6 && std::strcmp(argv[1], "bmp") == 0)
    return desktopBmp(std::atoi(argv[2]), std::atoi(argv[3]), argv[4], argv[5]);
  std::fprintf(stderr, "usage: web_oracle ruletri W H SWEEPS OUT | ngonchaos KEYS OUT | bmp W H RGBA BMP\n");
  return 2;
}
