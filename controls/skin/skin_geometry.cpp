#include "controls/skin/skin_geometry.h"

#include <algorithm>
#include <string_view>

#include "controls/common/paint_arithmetic.h"
#include "platform/units.h"

namespace controls::skin {
namespace {

std::optional<platform::Colour> LineColour(const std::array<double, 3>& rgb) {
  std::array<int, 3> channel{};
  for (std::size_t i = 0; i < rgb.size(); ++i) {
    channel[i] = platform::RoundHalfEven(rgb[i]);
    if (channel[i] < 0) return std::nullopt;
    channel[i] = std::min(channel[i], 255);
  }
  return platform::Rgb(channel[0], channel[1], channel[2]);
}

}  // namespace

std::vector<GradientLine> GradientLines(platform::Colour base, double spacing, double height) {
  std::vector<GradientLine> lines;
  // A zero spacing would never pass the height; a negative one never starts.
  if (!(spacing > 0)) return lines;
  std::array<double, 3> rgb = SplitRgbText(ColorToRgbText(base));
  const double limit = height / spacing;
  for (std::int64_t i = 0; static_cast<double>(i) <= limit; ++i) {
    lines.push_back({static_cast<double>(i) * spacing, LineColour(rgb)});
    if (rgb[0] > 0 && rgb[1] > 0 && rgb[2] > 0)
      for (double& component : rgb) component -= 0.1;
  }
  return lines;
}

platform::Point RoundRegionCorner(double widthTwips, double heightTwips) {
  return {platform::TwipsToWholePixels(widthTwips), platform::TwipsToWholePixels(heightTwips)};
}

std::array<std::optional<double>, kTitleButtonCount> TitleButtonLefts(
    double controlWidth, const std::array<bool, kTitleButtonCount>& visible) {
  std::array<std::optional<double>, kTitleButtonCount> lefts;
  int slot = 0;
  for (std::size_t i = 0; i < visible.size(); ++i) {
    if (!visible[i]) continue;
    lefts[i] = controlWidth - kRightmostButtonInset - slot * kTitleButtonSpacing;
    ++slot;
  }
  return lefts;
}

std::int32_t IconTop(double titleHeight) { return platform::RoundHalfEven(titleHeight / 30 - 9); }

bool InCornerZone(float x, float y, std::int32_t controlWidth, std::int32_t controlHeight) {
  const auto right = static_cast<float>(controlWidth - kCornerZone);
  const auto bottom = static_cast<float>(controlHeight - kCornerZone);
  return x > right && y > bottom;
}

ScreenRect SizingRectFor(const ScreenRect& parent, float x, float y) {
  ScreenRect rect = parent;
  rect.right = platform::WholePixel(platform::TwipsToPixels(x) + parent.left);
  rect.bottom = platform::WholePixel(platform::TwipsToPixels(y) + parent.top);
  if (rect.right - rect.left < kMinSizingWidth) rect.right = rect.left + kMinSizingWidth;
  if (rect.bottom - rect.top < kMinSizingHeight) rect.bottom = rect.top + kMinSizingHeight;
  return rect;
}

ScreenRect MaximisedRect(const MonitorArea& area) {
  constexpr int kOverhang = 5;
  const ScreenRect& work = area.work;
  ScreenRect rect = work;
  if (work.right == area.monitor.right) rect.right += kOverhang;
  rect.right = std::max(rect.right, rect.left + kMinSizingWidth);
  rect.bottom = std::max(rect.bottom, rect.top + kMinSizingHeight);
  return rect;
}

}  // namespace controls::skin
