#pragma once
// Screen units shared by the whole program: positions and sizes are twips,
// converted at a fixed 15 twips per pixel, and every real number that becomes
// an integer is rounded to the nearest, halves to the even neighbour.
#include <cmath>
#include <cstdint>

namespace platform {

inline constexpr int kTwipsPerPixel = 15;

// std::nearbyint in the default rounding mode rounds halves to even;
// std::round and std::lround would round them away from zero.
inline std::int32_t RoundHalfEven(double value) {
  return static_cast<std::int32_t>(std::nearbyint(value));
}

inline double TwipsToPixels(double twips) { return twips / kTwipsPerPixel; }
inline std::int32_t TwipsToWholePixels(double twips) { return RoundHalfEven(twips / kTwipsPerPixel); }
inline std::int32_t PixelsToTwips(std::int32_t pixels) { return pixels * kTwipsPerPixel; }

}  // namespace platform
