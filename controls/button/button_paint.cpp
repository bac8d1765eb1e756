#include "controls/button/button_paint.h"

#include <algorithm>
#include <array>
#include <charconv>
#include <cstdint>
#include <string_view>

#include "platform/units.h"

namespace controls {
namespace {

using platform::Colour;

// The three components of ColorToRgbText's text, as numbers.
std::array<double, 3> SplitRgbText(std::string_view text) {
  std::array<double, 3> parts{};
  for (double& part : parts) {
    auto comma = text.find(',');
    std::string_view field = text.substr(0, comma);
    long value = 0;
    std::from_chars(field.data(), field.data() + field.size(), value);
    part = static_cast<double>(value);
    text = comma == std::string_view::npos ? std::string_view() : text.substr(comma + 1);
  }
  return parts;
}

int DrawableComponent(double value) { return std::clamp(platform::RoundHalfEven(value), 0, 255); }

}  // namespace

std::string ColorToRgbText(Colour colour) {
  const auto c = static_cast<std::int32_t>(colour);
  const std::int32_t red = c % 256;
  const std::int32_t green = (c / 256) % 256;
  const std::int32_t blue = c / 65536;
  return std::to_string(red) + "," + std::to_string(green) + "," + std::to_string(blue);
}

std::vector<Colour> GradientColours(Colour base, int step, int heightTwips) {
  std::vector<Colour> colours;
  if (step <= 0) return colours;
  auto [r, g, b] = SplitRgbText(ColorToRgbText(base));
  const double last = static_cast<double>(heightTwips) / step;
  for (int i = 0; i <= last; ++i) {
    colours.push_back(platform::Rgb(DrawableComponent(r), DrawableComponent(g), DrawableComponent(b)));
    if (r > 0 && g > 0 && b > 0) {
      r -= 0.5;
      g -= 0.5;
      b -= 0.5;
    }
  }
  return colours;
}

std::vector<platform::Point> CornerPixels(int n, int w, int h) {
  std::vector<platform::Point> pixels;
  const int m = n + 1;
  for (int i = 1; i <= m; ++i) {
    pixels.push_back({m - 1 - i, i - 1});
    pixels.push_back({m - 1 - i, h - 1 - i});
    pixels.push_back({w - m - 1 + i, i - 1});
    pixels.push_back({w - m - 1 + i, h - 1 - i});
  }
  return pixels;
}

bool PointerInside(platform::Point pointer, int widthTwips, int heightTwips) {
  // The surface's scale rectangle starts at (0, 0).
  const double left = 0.0;
  const double top = 0.0;
  const double right = left + platform::TwipsToPixels(widthTwips);
  const double bottom = top + platform::TwipsToPixels(heightTwips);
  return !(pointer.x < left || pointer.y < top || pointer.x > right || pointer.y > bottom);
}

void DrawGradient(platform::DrawingSurface& surface, Colour colour, int step) {
  // A system colour reference stands for the system's present colour.
  const auto colours = GradientColours(surface.Resolve(colour), step, surface.HeightTwips());
  for (std::size_t i = 0; i < colours.size(); ++i) {
    const double y = static_cast<double>(step) * static_cast<double>(i);
    surface.Line(0, y, surface.WidthTwips(), y, colours[i], platform::Units::Twips);
  }
}

void DrawCornerPixels(platform::DrawingSurface& surface, int n, int w, int h, Colour colour) {
  for (const auto& pixel : CornerPixels(n, w, h)) surface.SetPixel(pixel.x, pixel.y, colour);
}

void DrawRectangle(platform::DrawingSurface& surface, int inset, int farInset, Colour colour) {
  surface.Box(inset, inset, surface.WidthTwips() - farInset, surface.HeightTwips() - farInset, colour,
              platform::Units::Twips);
}

void ApplyRoundRegion(platform::ControlSite& site, int widthTwips, int heightTwips, int ellipse) {
  site.SetRoundRegion(platform::TwipsToWholePixels(widthTwips), platform::TwipsToWholePixels(heightTwips), ellipse);
}

int WidthInPixels(const platform::DrawingSurface& surface) {
  return platform::TwipsToWholePixels(surface.WidthTwips());
}

int HeightInPixels(const platform::DrawingSurface& surface) {
  return platform::TwipsToWholePixels(surface.HeightTwips());
}

void DrawNormalBorder(platform::DrawingSurface& surface) {
  DrawRectangle(surface, 0, 25, kDarkEdge);
  DrawRectangle(surface, 15, 40, kWhite);
  DrawCornerPixels(surface, kCornerSize, WidthInPixels(surface), HeightInPixels(surface), kCorner);
}

void DrawHoverFace(platform::DrawingSurface& surface, Colour backColour) {
  DrawGradient(surface, backColour, kHoverStep);
  DrawCornerPixels(surface, kCornerSize, WidthInPixels(surface), HeightInPixels(surface), kCorner);
  DrawRectangle(surface, 30, 55, kWhite);
  DrawRectangle(surface, 15, 40, kDarkEdge);
  DrawRectangle(surface, 0, 25, kHoverEdge);
}

void DrawPressedFace(platform::DrawingSurface& surface, Colour backColour) {
  DrawGradient(surface, backColour, kPressedStep);
  DrawRectangle(surface, 40, 75, kWhite);
  DrawRectangle(surface, 30, 65, kDarkEdge);
  DrawRectangle(surface, 15, 40, kPressedGrey);
  DrawRectangle(surface, 0, 25, kDarkEdge);
  DrawCornerPixels(surface, kCornerSize, WidthInPixels(surface), HeightInPixels(surface), kCorner);
}

}  // namespace controls
