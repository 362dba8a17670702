#include "ngonchaos_bmp.h"

#include <cstdlib>
#include <fstream>
#include <iterator>

namespace {

uint32_t le(const std::vector<unsigned char>& b, size_t at, int bytes) {
  uint32_t v = 0;
  for (int i = bytes - 1; i >= 0; --i) v = (v << 8) | b[at + size_t(i)];
  return v;
}

}  // namespace

std::vector<unsigned char> readBytes(const std::string& path) {
  std::ifstream in(path, std::ios::binary);
  return {std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()};
}

DecodedBmp decodeBmp(const std::string& path) {
  DecodedBmp image;
  const std::vector<unsigned char> b = readBytes(path);
  if (b.size() < 54 || b[0] != 'B' || b[1] != 'M') return image;
  if (le(b, 2, 4) != b.size()) return image;  // a cut-off file fails here
  const size_t offset = le(b, 10, 4);
  const int width = int(le(b, 18, 4));
  const int signedHeight = int(le(b, 22, 4));
  const int bits = int(le(b, 28, 2));
  if (le(b, 14, 4) < 40 || le(b, 26, 2) != 1 || le(b, 30, 4) != 0) return image;
  if (width <= 0 || signedHeight == 0 || (bits != 24 && bits != 32)) return image;
  const int height = std::abs(signedHeight);
  const size_t bytesPerPixel = size_t(bits) / 8;
  const size_t stride = (size_t(width) * bytesPerPixel + 3) / 4 * 4;
  if (offset + stride * size_t(height) > b.size()) return image;

  image.width = width;
  image.height = height;
  image.pixels.resize(size_t(width) * size_t(height));
  for (int row = 0; row < height; ++row) {
    const int y = signedHeight > 0 ? height - 1 - row : row;
    for (int x = 0; x < width; ++x) {
      const size_t at = offset + size_t(row) * stride + size_t(x) * bytesPerPixel;
      image.pixels[size_t(y) * size_t(width) + size_t(x)] =
          (uint32_t(b[at + 2]) << 16) | (uint32_t(b[at + 1]) << 8) | b[at];
    }
  }
  return image;
}
