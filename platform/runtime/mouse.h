#pragma once
#include <cstdint>

namespace platform {

inline constexpr std::int16_t kLeftButton = 1;
inline constexpr std::int16_t kRightButton = 2;
inline constexpr std::int16_t kMiddleButton = 4;

// A mouse notification: button mask, shift mask (1 shift, 2 ctrl, 4 alt),
// position in twips of the element that received it.
struct MouseArgs {
  std::int16_t button = 0;
  std::int16_t shift = 0;
  float x = 0;
  float y = 0;
};

struct Point {
  int x = 0;
  int y = 0;
};

}  // namespace platform
