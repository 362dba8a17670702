// Icons drawn by the programs' own code: one region of a finished drawing is
// averaged down to each icon size and shaded ink on paper, then written as the
// PNG files of the hicolor icon theme, as a Windows .ico and as the web app's
// icons, from the same pixels.
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

// One image of a .ico file: its side and bits per pixel (4: the standard 16
// colours, 8: 256 shades from paper to ink, 32: true colour).
struct IcoImage {
  int size;
  int bits;
};

// What an .ico holds: at most four images, largest last.
struct IcoLayout {
  int count;
  std::array<IcoImage, 4> images;
};

// The classic three images (16 and 32 pixels in 16 colours, 32 in 256) and
// true colour at 16, 32 and 48 pixels.
constexpr IcoLayout classicIco = {3, {{{16, 4}, {32, 4}, {32, 8}, {0, 0}}}};
constexpr IcoLayout trueColourIco = {3, {{{16, 32}, {32, 32}, {48, 32}, {0, 0}}}};

// The smallest square about every dark pixel of the region, grown by a
// margin on each side. A region with no dark pixel is returned as it is.
IconSource squareAboutFigure(const IconSource& region);

// Writes <themeDir>/<n>x<n>/apps/<name>.png for every n of iconSizes; the
// folders must exist. Returns false when a file cannot be written.
bool writeIconSet(const char* themeDir, const char* name, const IconSource& source);

// Writes the web app's icons into folder: icon-192.png and icon-512.png,
// icon-maskable-512.png (every dark pixel within the circle of 40 % of its
// side about its centre, the zone that every launcher's mask keeps),
// apple-touch-icon.png (180 pixels) and favicon.ico (16, 32 and 48 pixels).
// Returns false when a file cannot be written.
bool writeWebIcons(const char* folder, const IconSource& source);

// Writes the .ico file of the layout. Returns false when it cannot be written.
bool writeIco(const char* path, const IcoLayout& layout, const IconSource& source);

// Writes a C++ header defining iconPixels16 and iconPixels32: the icon at
// those sizes as 0xAARRGGBB words, row by row, for an X11 window's icon.
// Returns false on a write error.
bool writeArgbHeader(const char* path, const char* name, const IconSource& source);

// Everything one program's icon drawer makes, from its command line
// `<hicolor theme folder> <out.ico> [<out.h>]` (the header only when
// withHeader), or the web app's icons from `--web <folder>`. Returns the
// drawer's exit status.
int writeProgramIcons(int argc, char** argv, const char* name, const IcoLayout& layout, const IconSource& source,
                      bool withHeader = false);
