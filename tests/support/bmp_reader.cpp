#include "bmp_reader.h"

#include <cstdlib>

DecodedBmp decodeBmp(const std::string& path) {
  DecodedBmp image;
  const Bytes b = readBytes(path);
  if (b.size() < 54 || b[0] != 'B' || b[1] != 'M') return image;
  if (littleEndian(b, 2, 4) != b.size()) return image;  // a cut-off file fails here
  const size_t offset = littleEndian(b, 10, 4);
  const int width = int(littleEndian(b, 18, 4));
  const int signedHeight = int(littleEndian(b, 22, 4));
  const int bits = int(littleEndian(b, 28, 2));
  if (littleEndian(b, 14, 4) < 40 || littleEndian(b, 26, 2) != 1 || littleEndian(b, 30, 4) != 0) return image;
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
