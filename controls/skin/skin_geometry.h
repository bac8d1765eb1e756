#pragma once
// The skin's arithmetic, apart from any window: gradient colours, frame
// pixels, title layout, the corner zone and the window rectangles it computes.
// Sizes are twips unless a name says pixels.
#include <array>
#include <cstdint>
#include <optional>
#include <string>
#include <vector>

#include "platform/colour.h"
#include "platform/runtime/mouse.h"

namespace controls::skin {

// A window rectangle in screen pixels.
struct ScreenRect {
  std::int32_t left = 0;
  std::int32_t top = 0;
  std::int32_t right = 0;
  std::int32_t bottom = 0;

  std::int32_t Width() const { return right - left; }
  std::int32_t Height() const { return bottom - top; }
  bool operator==(const ScreenRect&) const = default;
};

// A saved window placement in pixels; all zero means nothing is saved.
struct PlacementRect {
  std::int32_t left = 0;
  std::int32_t top = 0;
  std::int32_t width = 0;
  std::int32_t height = 0;

  bool Empty() const { return left == 0 && top == 0 && width == 0 && height == 0; }
  bool operator==(const PlacementRect&) const = default;
};

struct GradientLine {
  double y = 0;  // twips
  // Nothing when a component is negative: such a line cannot be drawn and is
  // skipped. Components above 255 draw as 255.
  std::optional<platform::Colour> colour;
};

// The face's horizontal lines from the top edge down to the height, one
// spacing apart, each component 0.1 darker than the line above while all three
// stay above 0. A spacing of 0 or less gives no lines.
std::vector<GradientLine> GradientLines(platform::Colour base, double spacing, double height);

// Right and bottom pixel of a rounded region for a size in twips.
platform::Point RoundRegionCorner(double widthTwips, double heightTwips);

inline constexpr int kTitleButtonCount = 3;
inline constexpr double kRightmostButtonInset = 500;
inline constexpr double kTitleButtonSpacing = 350;

// Left edges of the visible title buttons, right to left in index order;
// nothing for a hidden one.
std::array<std::optional<double>, kTitleButtonCount> TitleButtonLefts(
    double controlWidth, const std::array<bool, kTitleButtonCount>& visible);

inline double TitleButtonTop(double titleHeight, double labelHeight) { return titleHeight / 2 - labelHeight / 3; }
inline double CaptionTop(double titleHeight, double labelHeight) { return titleHeight / 2 - labelHeight / 2; }
// Top pixel of the 20 x 20 program icon.
std::int32_t IconTop(double titleHeight);

inline constexpr int kCornerZone = 100;

// The bottom-right resize zone: strictly inside the last 100 twips on both
// axes, compared in single precision.
bool InCornerZone(float x, float y, std::int32_t controlWidth, std::int32_t controlHeight);

inline constexpr int kMinSizingWidth = 200;
inline constexpr int kMinSizingHeight = 180;

// The rubber band for a pointer at (x, y) twips of the control, whose top-left
// corner is the parent's: at least 200 x 180 pixels.
ScreenRect SizingRectFor(const ScreenRect& parent, float x, float y);

// A monitor and the part of it that the taskbar leaves free.
struct MonitorArea {
  ScreenRect monitor;
  ScreenRect work;
};

// Where the maximised parent goes: over the whole work area, never below the
// 200 x 180 minimum. Where the work area reaches the monitor's right edge the
// window runs five pixels past it, so its right border lies off the screen;
// next to a taskbar docked at the right it stops at the taskbar.
ScreenRect MaximisedRect(const MonitorArea& area);

}  // namespace controls::skin
