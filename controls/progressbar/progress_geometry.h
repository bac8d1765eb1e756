#pragma once
// The bar's geometry as plain arithmetic: where the frame pieces go and how
// far the blocks reach.
#include <array>
#include <cstdint>

namespace controls::progressbar {

inline constexpr int kFrameThickness = 3;
inline constexpr int kFirstBlockX = 4;  // one pixel inside the frame
inline constexpr int kBlockPitch = 10;  // 8-pixel block, 2-pixel gap
inline constexpr int kTroughTop = 3;
inline constexpr int kMarqueeStart = 4;
inline constexpr int kMarqueeRestart = 2;
inline constexpr int kMarqueePitch = 5;

struct Rect {
  int x = 0, y = 0, w = 0, h = 0;
  friend bool operator==(const Rect&, const Rect&) = default;
};

struct FramePiece {
  Rect destination;  // on the surface
  Rect source;       // in the 59 x 13 frame picture
};

// The nine pieces of the frame for a surface of w x h pixels, in drawing
// order: four corners, four edges, the interior.
std::array<FramePiece, 9> FramePieces(int w, int h);

// The right end of the blocks for value in min..max on a surface
// surfaceWidth pixels wide. The factors are applied in this order so that
// the result matches the bar's established rounding (116.5 for 1 of 2 on
// 233 pixels). max must differ from min.
double BlockTarget(double surfaceWidth, std::int32_t min, std::int32_t max, std::int32_t value);

}  // namespace controls::progressbar
