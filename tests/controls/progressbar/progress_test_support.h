#pragma once
// Helpers for the progress bar tests: which built-in picture a recorded copy
// used, and where it went.
#include <string>
#include <vector>

#include "controls/progressbar/progress_pictures.h"
#include "tests/fakes/fake_control_site.h"

namespace progressbar_test {

// One recorded picture copy, with its picture named: "img", "blank",
// "<look>_<tile>", or "?" for anything else.
struct Copy {
  std::string picture;
  int x, y, w, h;
  int sx, sy, sw, sh;
  friend bool operator==(const Copy&, const Copy&) = default;
};

inline bool SamePixels(const platform::Picture& a, const platform::Picture& b) {
  return a.width == b.width && a.height == b.height && a.pixels == b.pixels;
}

inline std::string NameOf(const platform::Picture& picture, const controls::progressbar::ProgressPictures& known) {
  if (SamePixels(picture, known.img)) return "img";
  if (SamePixels(picture, known.blank)) return "blank";
  for (int look = 0; look < controls::progressbar::kLookCount; ++look)
    for (int tile = 0; tile < controls::progressbar::kTilesPerLook; ++tile)
      if (SamePixels(picture, known.looks[look][tile]))
        return std::string(controls::progressbar::kLookNames[look]) + "_" + std::to_string(tile);
  return "?";
}

inline std::vector<Copy> Copies(const std::vector<fakes::DrawOp>& ops, const controls::progressbar::ProgressPictures& known) {
  std::vector<Copy> copies;
  for (const auto& op : ops)
    if (op.kind == fakes::DrawOp::Picture)
      copies.push_back({NameOf(*op.picture, known), static_cast<int>(op.x1), static_cast<int>(op.y1),
                        static_cast<int>(op.w), static_cast<int>(op.h), op.sx, op.sy, op.sw, op.sh});
  return copies;
}

// A whole tile copied to (x, 3) at w x h.
inline Copy Tile(const std::string& picture, int x, int w, int h = 7) {
  return {picture, x, 3, w, h, 0, 0, 8, 10};
}

// Perceived brightness, 0 to 255.
inline double Luminance(platform::Colour c) {
  return 0.299 * platform::RedOf(c) + 0.587 * platform::GreenOf(c) + 0.114 * platform::BlueOf(c);
}

}  // namespace progressbar_test
