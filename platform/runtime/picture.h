#pragma once
#include <cstdint>
#include <vector>

#include "platform/colour.h"

namespace platform {

// A small picture held in memory, row by row from the top, one Colour
// (0x00BBGGRR) per pixel. An empty picture has width and height 0.
struct Picture {
  int width = 0;
  int height = 0;
  std::vector<Colour> pixels;

  bool Empty() const { return width == 0 || height == 0; }
  Colour At(int x, int y) const { return pixels[static_cast<std::size_t>(y * width + x)]; }
};

}  // namespace platform
