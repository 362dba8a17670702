#include "icons.h"

#include <png.h>

#include <algorithm>
#include <cmath>
#include <cstdint>
#include <cstdio>
#include <cstring>

namespace {

constexpr int largestIcon = 512;
constexpr std::array<double, 3> ground = {248, 244, 232};  // warm light paper
constexpr std::array<double, 3> ink = {24, 24, 64};        // deep blue-black

using Rgb = std::array<uint8_t, 3>;

std::array<double, largestIcon * largestIcon> coverage;  // share of dark source pixels
std::array<double, largestIcon * largestIcon> inkShare;  // 0: paper, 1: full ink
std::array<uint8_t, largestIcon * largestIcon * 3> rgb;

// The first source pixel of output cell i of n over a span of length pixels.
int cellStart(int i, int n, int length) { return int(int64_t(i) * length / n); }

// Share of dark pixels in each output cell. A cell always holds at least one
// source pixel, so regions smaller than the icon are enlarged.
void averageDown(const IconSource& s, int n) {
  for (int row = 0; row < n; ++row) {
    int y0 = cellStart(row, n, s.height);
    int y1 = std::max(cellStart(row + 1, n, s.height), y0 + 1);
    for (int col = 0; col < n; ++col) {
      int x0 = cellStart(col, n, s.width);
      int x1 = std::max(cellStart(col + 1, n, s.width), x0 + 1);
      int darkCount = 0;
      for (int y = y0; y < y1; ++y)
        for (int x = x0; x < x1; ++x) darkCount += s.dark(s.left + x, s.top + y) ? 1 : 0;
      coverage[row * n + col] = double(darkCount) / ((y1 - y0) * (x1 - x0));
    }
  }
}

Rgb mixColour(double t) {
  Rgb c;
  for (int i = 0; i < 3; ++i) c[i] = uint8_t(std::lround(ground[i] + (ink[i] - ground[i]) * t));
  return c;
}

// The n x n icon of the source. Chaos-game figures are sparse dots: scaled so
// that the densest cell is full ink, and lifted by a square root so that thin
// parts stay visible when small.
void drawIcon(const IconSource& source, int n) {
  averageDown(source, n);
  double densest = *std::max_element(coverage.begin(), coverage.begin() + n * n);
  for (int i = 0; i < n * n; ++i) {
    inkShare[i] = densest > 0 ? std::sqrt(coverage[i] / densest) : 0;
    Rgb c = mixColour(inkShare[i]);
    std::copy(c.begin(), c.end(), rgb.begin() + i * 3);
  }
}

bool writePng(const char* path, int n) {
  if (n > largestIcon) return false;
  png_image image{};
  image.version = PNG_IMAGE_VERSION;
  image.width = png_uint_32(n);
  image.height = png_uint_32(n);
  image.format = PNG_FORMAT_RGB;
  bool written = png_image_write_to_file(&image, path, 0, rgb.data(), 0, nullptr) != 0;
  if (!written) fprintf(stderr, "cannot write %s: %s\n", path, image.message);
  png_image_free(&image);
  return written;
}

using Path = char[4096];

// folder/file into path; false when it does not fit.
bool joinPath(Path& path, const char* folder, const char* file) {
  int length = snprintf(path, sizeof path, "%s/%s", folder, file);
  return length >= 0 && size_t(length) < sizeof path;
}

bool writePngIcon(const char* folder, const char* file, const IconSource& source, int n) {
  Path path;
  if (!joinPath(path, folder, file)) return false;
  drawIcon(source, n);
  return writePng(path, n);
}

// The square about the centre of a square about the figure whose inscribed
// circle, shrunk to 80 %, holds every dark pixel whole.
IconSource maskableAboutFigure(const IconSource& square) {
  const double cx = square.left + square.width / 2.0, cy = square.top + square.height / 2.0;
  double farthest = 0;
  for (int y = square.top; y < square.top + square.height; ++y)
    for (int x = square.left; x < square.left + square.width; ++x)
      if (square.dark(x, y)) {
        const double dx = std::max(std::fabs(x - cx), std::fabs(x + 1 - cx));
        const double dy = std::max(std::fabs(y - cy), std::fabs(y + 1 - cy));
        farthest = std::max(farthest, std::sqrt(dx * dx + dy * dy));
      }
  if (farthest == 0) return square;
  IconSource maskable = square;
  maskable.width = maskable.height = int(std::ceil(farthest / 0.4));
  maskable.left = int(std::floor(cx - maskable.width / 2.0));
  maskable.top = int(std::floor(cy - maskable.height / 2.0));
  return maskable;
}

void putLittleEndian(FILE* f, uint32_t value, int bytes) {
  for (int i = 0; i < bytes; ++i) fputc(int((value >> (8 * i)) & 0xFF), f);
}

// The standard 16 colours; the icons use the four greys among them.
constexpr std::array<Rgb, 16> vgaPalette = {{{0, 0, 0},       {128, 0, 0},   {0, 128, 0},   {128, 128, 0},
                                             {0, 0, 128},     {128, 0, 128}, {0, 128, 128}, {192, 192, 192},
                                             {128, 128, 128}, {255, 0, 0},   {0, 255, 0},   {255, 255, 0},
                                             {0, 0, 255},     {255, 0, 255}, {0, 255, 255}, {255, 255, 255}}};

// The grey nearest in darkness to an ink share: white, light grey, dark grey, black.
int vgaIndex(double t) {
  constexpr std::array<int, 4> greys = {15, 7, 8, 0};
  int best = 0;
  for (int g = 1; g < 4; ++g) {
    double share = 1 - vgaPalette[greys[g]][0] / 255.0, bestShare = 1 - vgaPalette[greys[best]][0] / 255.0;
    if (std::fabs(t - share) < std::fabs(t - bestShare)) best = g;
  }
  return greys[best];
}

int paletteEntries(int bits) { return bits <= 8 ? 1 << bits : 0; }
Rgb paletteColour(int bits, int index) { return bits == 4 ? vgaPalette[index] : mixColour(index / 255.0); }
int rowBytes(int size, int bits) { return (size * bits + 31) / 32 * 4; }
int maskRowBytes(int size) { return (size + 31) / 32 * 4; }
uint32_t imageBytes(const IcoImage& im) {
  return uint32_t(40 + 4 * paletteEntries(im.bits) + (rowBytes(im.size, im.bits) + maskRowBytes(im.size)) * im.size);
}

// One icon image: BITMAPINFOHEADER (height doubled for the mask), palette,
// colour rows bottom-up, then the AND mask (all 0: every pixel opaque).
void writeIcoImage(FILE* f, const IcoImage& im, const IconSource& source) {
  drawIcon(source, im.size);
  for (uint32_t v : {40u, uint32_t(im.size), uint32_t(2 * im.size)}) putLittleEndian(f, v, 4);
  putLittleEndian(f, 1, 2);
  putLittleEndian(f, uint32_t(im.bits), 2);
  putLittleEndian(f, 0, 4);
  putLittleEndian(f, imageBytes(im) - 40 - 4 * uint32_t(paletteEntries(im.bits)), 4);
  for (int i = 0; i < 4; ++i) putLittleEndian(f, 0, 4);
  for (int i = 0; i < paletteEntries(im.bits); ++i) {
    Rgb c = paletteColour(im.bits, i);
    putLittleEndian(f, uint32_t(c[2]) | uint32_t(c[1]) << 8 | uint32_t(c[0]) << 16, 4);
  }
  for (int y = im.size - 1; y >= 0; --y) {
    std::array<uint8_t, largestIcon * 4> row{};
    for (int x = 0; x < im.size; ++x) {
      const int i = y * im.size + x;
      if (im.bits == 4) row[x / 2] |= uint8_t(vgaIndex(inkShare[i]) << (x % 2 == 0 ? 4 : 0));
      else if (im.bits == 8) row[x] = uint8_t(std::lround(inkShare[i] * 255));
      else for (int c = 0; c < 4; ++c) row[x * 4 + c] = c < 3 ? rgb[i * 3 + 2 - c] : 0xFF;  // BGRA
    }
    fwrite(row.data(), 1, size_t(rowBytes(im.size, im.bits)), f);
  }
  for (int b = 0; b < maskRowBytes(im.size) * im.size; ++b) fputc(0, f);
}

}  // namespace

IconSource squareAboutFigure(const IconSource& region) {
  int left = region.left + region.width, right = region.left - 1;
  int top = region.top + region.height, bottom = region.top - 1;
  for (int y = region.top; y < region.top + region.height; ++y)
    for (int x = region.left; x < region.left + region.width; ++x)
      if (region.dark(x, y)) {
        left = std::min(left, x);
        right = std::max(right, x);
        top = std::min(top, y);
        bottom = std::max(bottom, y);
      }
  if (right < left) return region;
  int side = std::max(right - left + 1, bottom - top + 1);
  int margin = side / 16;
  side += 2 * margin;
  // Centred on the figure; where it reaches past the drawing it is ground.
  IconSource square = region;
  square.left = (left + right + 1 - side) / 2;
  square.top = (top + bottom + 1 - side) / 2;
  square.width = side;
  square.height = side;
  return square;
}

bool writeIconSet(const char* themeDir, const char* name, const IconSource& source) {
  for (int n : iconSizes) {
    drawIcon(source, n);
    char path[4096];
    int length = snprintf(path, sizeof path, "%s/%dx%d/apps/%s.png", themeDir, n, n, name);
    if (length < 0 || size_t(length) >= sizeof path || !writePng(path, n)) return false;
  }
  return true;
}

bool writeWebIcons(const char* folder, const IconSource& source) {
  Path favicon;
  return writePngIcon(folder, "icon-192.png", source, 192) && writePngIcon(folder, "icon-512.png", source, 512) &&
         writePngIcon(folder, "icon-maskable-512.png", maskableAboutFigure(source), 512) &&
         writePngIcon(folder, "apple-touch-icon.png", source, 180) && joinPath(favicon, folder, "favicon.ico") &&
         writeIco(favicon, trueColourIco, source);
}

bool writeIco(const char* path, const IcoLayout& layout, const IconSource& source) {
  FILE* f = fopen(path, "wb");
  if (f == nullptr) return false;
  putLittleEndian(f, 0, 2);
  putLittleEndian(f, 1, 2);  // an icon, not a cursor
  putLittleEndian(f, uint32_t(layout.count), 2);
  uint32_t offset = 6 + 16 * uint32_t(layout.count);
  for (int n = 0; n < layout.count; ++n) {
    const IcoImage& im = layout.images[n];
    putLittleEndian(f, uint32_t(im.size % 256), 1);
    putLittleEndian(f, uint32_t(im.size % 256), 1);
    putLittleEndian(f, uint32_t(paletteEntries(im.bits) % 256), 1);
    putLittleEndian(f, 0, 1);
    putLittleEndian(f, 1, 2);
    putLittleEndian(f, uint32_t(im.bits), 2);
    putLittleEndian(f, imageBytes(im), 4);
    putLittleEndian(f, offset, 4);
    offset += imageBytes(im);
  }
  for (int n = 0; n < layout.count; ++n) writeIcoImage(f, layout.images[n], source);
  return fclose(f) == 0;
}

bool writeArgbHeader(const char* path, const char* name, const IconSource& source) {
  FILE* f = fopen(path, "w");
  if (f == nullptr) return false;
  fprintf(f, "// %s's icon as 0xAARRGGBB pixels, row by row; written at build time.\n", name);
  fprintf(f, "#pragma once\n\n#include <cstdint>\n");
  for (int n : {16, 32}) {
    drawIcon(source, n);
    fprintf(f, "\nconstexpr uint32_t iconPixels%d[%d] = {", n, n * n);
    for (int i = 0; i < n * n; ++i)
      fprintf(f, "%s0xFF%02X%02X%02Xu,", i % n == 0 ? "\n   " : " ", rgb[i * 3], rgb[i * 3 + 1], rgb[i * 3 + 2]);
    fprintf(f, "\n};\n");
  }
  return fclose(f) == 0;
}

int writeProgramIcons(int argc, char** argv, const char* name, const IcoLayout& layout, const IconSource& source,
                      bool withHeader) {
  if (argc == 3 && strcmp(argv[1], "--web") == 0) {
    if (writeWebIcons(argv[2], source)) return 0;
    fprintf(stderr, "%s: cannot write %s's web icons into %s\n", argv[0], name, argv[2]);
    return 1;
  }
  if (argc != (withHeader ? 4 : 3)) {
    fprintf(stderr, "usage: %s <hicolor theme folder> <out.ico>%s | --web <folder>\n", argv[0],
            withHeader ? " <out.h>" : "");
    return 2;
  }
  bool written = writeIconSet(argv[1], name, source) && writeIco(argv[2], layout, source) &&
                 (!withHeader || writeArgbHeader(argv[3], name, source));
  if (!written) fprintf(stderr, "%s: cannot write %s's icons\n", argv[0], name);
  return written ? 0 : 1;
}
