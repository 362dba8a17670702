// make_icon: draws ruletri's icon with ruletri's own automaton and writes it
// twice: as an .ico file for the Windows resources (16 x 16 and 32 x 32 in 16
// colours, 32 x 32 in 256 colours) and as a C++ header of ARGB pixels for the
// X11 window's icon.
//
// The figure is the grid after one sweep over a region half as tall as the
// icon, each row shown twice: a dark triangle of nested triangles, apex at the
// top, on a light ground.
//
// Usage: make_icon <out.ico> <out.h>
#include <array>
#include <cstdint>
#include <cstdio>

#include "grid.h"

namespace {

RECT requestedClient;

using Picture = std::array<std::array<bool, 32>, 32>;  // [y][x], true = dark
using Rgb = std::array<uint8_t, 3>;

// The standard 16-colour palette: black is 0, white is 15.
const std::array<Rgb, 16> vgaPalette = {{{0, 0, 0},       {128, 0, 0},   {0, 128, 0},   {128, 128, 0},
                                         {0, 0, 128},     {128, 0, 128}, {0, 128, 128}, {192, 192, 192},
                                         {128, 128, 128}, {255, 0, 0},   {0, 255, 0},   {255, 255, 0},
                                         {0, 0, 255},     {255, 0, 255}, {0, 255, 255}, {255, 255, 255}}};
const int vgaDark = 0;
const int vgaLight = 15;

// 256 colours: a deep blue-black shading for the figure, darker towards the
// bottom, and a warm light ground.
Rgb shade(int index) {
  if (index == 255) return {248, 244, 232};
  int d = index < 32 ? index : 31;
  return {uint8_t(40 - d), uint8_t(40 - d), uint8_t(96 - 2 * d)};
}
const int groundIndex = 255;

Picture drawFigure(int size) {
  requestedClient = RECT{0, 0, size, size / 2};
  syncGridSize();
  sweepGrid();
  Picture picture{};
  for (int y = 0; y < size; ++y)
    for (int x = 0; x < size; ++x) picture[y][x] = grid[x][y / 2] != 0;
  return picture;
}

void put16(FILE* f, unsigned v) {
  fputc(int(v & 0xFF), f);
  fputc(int((v >> 8) & 0xFF), f);
}
void put32(FILE* f, unsigned v) {
  put16(f, v & 0xFFFF);
  put16(f, v >> 16);
}

struct Image {
  int size;
  int bits;  // 4 or 8
};
const std::array<Image, 3> images = {{{16, 4}, {32, 4}, {32, 8}}};

int paletteEntries(int bits) { return 1 << bits; }
int rowBytes(int size, int bits) { return (size * bits + 31) / 32 * 4; }
int maskRowBytes(int size) { return (size + 31) / 32 * 4; }
unsigned imageBytes(const Image& im) {
  return 40 + 4 * paletteEntries(im.bits) + (rowBytes(im.size, im.bits) + maskRowBytes(im.size)) * im.size;
}

int colourIndex(const Image& im, const Picture& picture, int x, int y) {
  bool dark = picture[y][x];
  if (im.bits == 4) return dark ? vgaDark : vgaLight;
  return dark ? y : groundIndex;
}

Rgb colourOf(const Image& im, int index) { return im.bits == 4 ? vgaPalette[index] : shade(index); }

// One icon image: BITMAPINFOHEADER (height doubled for the mask), palette,
// colour rows bottom-up, then the AND mask (all 0: every pixel opaque).
void writeImage(FILE* f, const Image& im, const Picture& picture) {
  put32(f, 40);
  put32(f, unsigned(im.size));
  put32(f, unsigned(im.size * 2));
  put16(f, 1);
  put16(f, unsigned(im.bits));
  put32(f, 0);
  put32(f, imageBytes(im) - 40 - 4 * paletteEntries(im.bits));
  put32(f, 0);
  put32(f, 0);
  put32(f, 0);
  put32(f, 0);
  for (int i = 0; i < paletteEntries(im.bits); ++i) {
    Rgb c = colourOf(im, i);
    fputc(c[2], f);
    fputc(c[1], f);
    fputc(c[0], f);
    fputc(0, f);
  }
  for (int y = im.size - 1; y >= 0; --y) {
    std::array<uint8_t, 32> row{};
    for (int x = 0; x < im.size; ++x) {
      int index = colourIndex(im, picture, x, y);
      if (im.bits == 8) row[x] = uint8_t(index);
      else row[x / 2] |= uint8_t(x % 2 == 0 ? index << 4 : index);
    }
    fwrite(row.data(), 1, size_t(rowBytes(im.size, im.bits)), f);
  }
  for (int y = 0; y < im.size; ++y)
    for (int b = 0; b < maskRowBytes(im.size); ++b) fputc(0, f);
}

bool writeIco(const char* path, const Picture& small, const Picture& large) {
  FILE* f = fopen(path, "wb");
  if (f == nullptr) return false;
  put16(f, 0);
  put16(f, 1);
  put16(f, unsigned(images.size()));
  unsigned offset = 6 + 16 * unsigned(images.size());
  for (const Image& im : images) {
    fputc(im.size, f);
    fputc(im.size, f);
    fputc(im.bits == 4 ? 16 : 0, f);
    fputc(0, f);
    put16(f, 1);
    put16(f, unsigned(im.bits));
    put32(f, imageBytes(im));
    put32(f, offset);
    offset += imageBytes(im);
  }
  for (const Image& im : images) writeImage(f, im, im.size == 16 ? small : large);
  return fclose(f) == 0;
}

void writePixels(FILE* f, const char* name, const Image& im, const Picture& picture) {
  fprintf(f, "constexpr uint32_t %s[%d] = {", name, im.size * im.size);
  for (int y = 0; y < im.size; ++y) {
    fprintf(f, "\n   ");
    for (int x = 0; x < im.size; ++x) {
      Rgb c = colourOf(im, colourIndex(im, picture, x, y));
      fprintf(f, " 0x%02X%02X%02X%02Xu,", 0xFF, c[0], c[1], c[2]);
    }
  }
  fprintf(f, "\n};\n");
}

bool writeHeader(const char* path, const Picture& small, const Picture& large) {
  FILE* f = fopen(path, "w");
  if (f == nullptr) return false;
  fprintf(f, "// ruletri's icon as ARGB pixels, row by row; written by make_icon.\n");
  fprintf(f, "#pragma once\n\n#include <cstdint>\n\n");
  writePixels(f, "iconPixels16", images[0], small);
  writePixels(f, "iconPixels32", images[2], large);
  return fclose(f) == 0;
}

}  // namespace

// The automaton's two window-system operations: the client size is the one
// asked for, and the painting is read back from the cells instead.
BOOL WINAPI GetClientRect(HWND, RECT* rect) {
  *rect = requestedClient;
  return TRUE;
}
COLORREF WINAPI SetPixel(HDC, int, int, COLORREF colour) { return colour; }

int main(int argc, char** argv) {
  if (argc != 3) {
    fprintf(stderr, "usage: make_icon <out.ico> <out.h>\n");
    return 2;
  }
  Picture small = drawFigure(16);
  Picture large = drawFigure(32);
  if (!writeIco(argv[1], small, large) || !writeHeader(argv[2], small, large)) {
    fprintf(stderr, "make_icon: cannot write %s or %s\n", argv[1], argv[2]);
    return 1;
  }
  return 0;
}
