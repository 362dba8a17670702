// A small BMP reader for the tests, independent of SDL: uncompressed 24- or
// 32-bit images, bottom-up or top-down, checked against the file's own size.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include "file_bytes.h"

struct DecodedBmp {
  int width = 0;
  int height = 0;
  std::vector<uint32_t> pixels;  // 0xRRGGBB, row-major from the top; empty if unreadable
};

DecodedBmp decodeBmp(const std::string& path);
