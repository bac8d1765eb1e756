#include "controls/progressbar/progress_geometry.h"

namespace controls::progressbar {

std::array<FramePiece, 9> FramePieces(int w, int h) {
  const int t = kFrameThickness;
  return {{
      {{0, 0, t, t}, {0, 0, 3, 3}},                  // top-left corner
      {{w - t, 0, t, t}, {56, 0, 3, 3}},             // top-right corner
      {{w - t, h - t, t, t}, {56, 10, 3, 3}},        // bottom-right corner
      {{0, h - t, t, t}, {0, 10, 3, 3}},             // bottom-left corner
      {{t, 0, w - 2 * t, t}, {3, 0, 12, 3}},         // top edge
      {{w - t, t, t, h - 2 * t}, {56, 3, 3, 3}},     // right edge
      {{t, h - t, w - 2 * t, t}, {3, 10, 1, 3}},     // bottom edge
      {{0, t, t, h - 2 * t}, {0, 3, 3, 3}},          // left edge
      {{t, t, w - 2 * t, h - 2 * t}, {4, 4, 51, 7}}, // interior
  }};
}

double BlockTarget(double surfaceWidth, std::int32_t min, std::int32_t max, std::int32_t value) {
  // In doubles throughout: loaded ranges are not validated, and their
  // differences may not fit 32 bits.
  const double range = static_cast<double>(max) - static_cast<double>(min);
  const double reached = static_cast<double>(value) - static_cast<double>(min);
  return surfaceWidth * 0.01 * (100 / range) * reached;
}

}  // namespace controls::progressbar
