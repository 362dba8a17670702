// Icons drawn by the programs' own code: a region of a finished drawing is
// averaged down to each icon size and written as PNG files (with libpng) in
// the layout of the hicolor icon theme.
#pragma once

#include <array>

constexpr std::array<int, 6> iconSizes = {16, 32, 48, 64, 128, 256};

// A region of a drawing; dark(x, y) says whether a pixel belongs to the figure
// and answers false for pixels off the drawing.
struct IconSource {
  int left;
  int top;
  int width;
  int height;
  bool (*dark)(int x, int y);
};

// The smallest square about every dark pixel of the region, grown by a
// margin on each side. A region with no dark pixel is returned as it is.
IconSource squareAboutFigure(const IconSource& region);

// Writes <themeDir>/<n>x<n>/apps/<name>.png for every n of iconSizes; the
// folders must exist. Returns false when a file cannot be written.
bool writeIconSet(const char* themeDir, const char* name, const IconSource& source);
