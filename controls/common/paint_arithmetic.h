#pragma once
// The colour and corner arithmetic that both self-painted controls (the push
// button and the skin) paint with: a colour taken apart as text and back, and
// the diagonals that round a frame's corners. Each control keeps its own line
// step and darkening; these are what they share.
#include <array>
#include <string>
#include <string_view>
#include <vector>

#include "platform/colour.h"
#include "platform/runtime/mouse.h"

namespace controls {

// "r,g,b" from the colour taken as a signed 32-bit number: red = c mod 256,
// green = (c div 256) mod 256, blue = c div 65536, truncating toward zero.
// System colour references therefore give negative components, and bits
// above the blue byte go to blue.
std::string ColorToRgbText(platform::Colour colour);

// The three numbers of such a text.
std::array<double, 3> SplitRgbText(std::string_view text);

// The 4 x (cornerSize + 1) pixels that round off the corners of a
// widthPixels x heightPixels surface, in drawing order: per step top left,
// bottom left, top right, bottom right. Some fall outside the surface by
// design.
std::vector<platform::Point> CornerPixels(int widthPixels, int heightPixels, int cornerSize);

}  // namespace controls
