// How many pixels of an image read back have a given value.
#pragma once

#include <algorithm>
#include <cstdint>
#include <vector>

inline long countPixels(const std::vector<uint32_t>& pixels, uint32_t value) {
  return long(std::count(pixels.begin(), pixels.end(), value));
}
