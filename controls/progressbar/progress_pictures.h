#pragma once
// The progress bar's built-in pictures: the frame, the eraser tile and the
// eight look sets of three tiles each.
#include <array>
#include <string_view>

#include "platform/runtime/picture.h"

namespace controls::progressbar {

inline constexpr int kLookCount = 8;
inline constexpr int kTilesPerLook = 3;

// The look sets in ProgressLook order.
inline constexpr std::array<std::string_view, kLookCount> kLookNames = {
    "master", "blue", "bluemet", "goldmet", "grmet", "greymet", "orangemet", "redmet"};

using LookTiles = std::array<platform::Picture, kTilesPerLook>;

struct ProgressPictures {
  platform::Picture img;    // frame, 59 x 13
  platform::Picture blank;  // eraser, 8 x 10, the trough's white
  std::array<LookTiles, kLookCount> looks;
};

// Decodes the pictures compiled into the program. Throws std::runtime_error
// naming the picture when one is missing or not a 24-bit bitmap, which only a
// broken build can cause.
ProgressPictures LoadBuiltInPictures();

}  // namespace controls::progressbar
