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
inline std::int32_t PixelsToTwips(std::int32_t pixels) { return pixels * kTwipsPerPixel; }

// The two rules by which twips become whole pixels:
//
// A position or size that a program or a design gives (where a window or a
// label goes, how large it is, where a line is drawn): the nearest pixel,
// halves to the even neighbour. Drawing coordinates may be any real number:
// NaN counts as 0 and far values are held 2^24 pixels out, beyond any
// surface, so that nothing overflows.
inline constexpr double kFarPixel = 1 << 24;
inline std::int32_t WholePixel(double pixels) {
  if (std::isnan(pixels)) pixels = 0;
  return RoundHalfEven(std::fmin(std::fmax(pixels, -kFarPixel), kFarPixel));
}
inline std::int32_t TwipsToWholePixels(double twips) { return WholePixel(twips / kTwipsPerPixel); }

// How many whole pixels a surface's own size in twips holds: truncated. A
// surface is a whole number of pixels (its twips are pixels x 15), so this
// loses nothing there, and never counts a pixel that is not all there.
inline std::int32_t PixelsHeldIn(std::int32_t twips) { return twips / kTwipsPerPixel; }

}  // namespace platform
