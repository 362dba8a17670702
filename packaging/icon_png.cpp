#include "icon_png.h"

#include <png.h>

#include <algorithm>
#include <cmath>
#include <cstdint>
#include <cstdio>

namespace {

constexpr int largestIcon = 256;
constexpr std::array<double, 3> ground = {248, 244, 232};  // warm light paper
constexpr std::array<double, 3> ink = {24, 24, 64};        // deep blue-black

std::array<double, largestIcon * largestIcon> coverage;
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

// Chaos-game figures are sparse dots: scaled so that the densest cell is full
// ink, and lifted by a square root so that thin parts stay visible when small.
void shade(int n) {
  double densest = *std::max_element(coverage.begin(), coverage.begin() + n * n);
  for (int i = 0; i < n * n; ++i) {
    double t = densest > 0 ? std::sqrt(coverage[i] / densest) : 0;
    for (int c = 0; c < 3; ++c) rgb[i * 3 + c] = uint8_t(std::lround(ground[c] + (ink[c] - ground[c]) * t));
  }
}

bool writePng(const char* path, int n) {
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
    averageDown(source, n);
    shade(n);
    char path[4096];
    int length = snprintf(path, sizeof path, "%s/%dx%d/apps/%s.png", themeDir, n, n, name);
    if (length < 0 || size_t(length) >= sizeof path || !writePng(path, n)) return false;
  }
  return true;
}
