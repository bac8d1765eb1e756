#include "controls/button/button_paint.h"

#include <algorithm>
#include <array>
#include <cstdint>
#include <string_view>

#include "platform/units.h"

namespace controls::button {
namespace {

using platform::Colour;

int DrawableComponent(double value) { return std::clamp(platform::RoundHalfEven(value), 0, 255); }

}  // namespace

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

void DrawCornerPixels(platform::DrawingSurface& surface, int w, int h, int cornerSize, Colour colour) {
  for (const auto& pixel : CornerPixels(w, h, cornerSize)) surface.SetPixel(pixel.x, pixel.y, colour);
}

void DrawRectangle(platform::DrawingSurface& surface, int inset, int farInset, Colour colour) {
  surface.Box(inset, inset, surface.WidthTwips() - farInset, surface.HeightTwips() - farInset, colour,
              platform::Units::Twips);
}

void ApplyRoundRegion(platform::ControlSite& site, int widthTwips, int heightTwips, int ellipse) {
  site.SetRoundRegion(platform::TwipsToWholePixels(widthTwips), platform::TwipsToWholePixels(heightTwips), ellipse);
}

void DrawNormalFace(platform::DrawingSurface& surface, Colour backColour) {
  DrawGradient(surface, backColour, kNormalStep);
  DrawRectangle(surface, 0, 25, kDarkEdge);
  DrawRectangle(surface, 15, 40, kWhite);
  DrawCornerPixels(surface, surface.WidthPixels(), surface.HeightPixels(), kCornerSize, kCorner);
}

void DrawHoverFace(platform::DrawingSurface& surface, Colour backColour) {
  DrawGradient(surface, backColour, kHoverStep);
  DrawCornerPixels(surface, surface.WidthPixels(), surface.HeightPixels(), kCornerSize, kCorner);
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
  DrawCornerPixels(surface, surface.WidthPixels(), surface.HeightPixels(), kCornerSize, kCorner);
}

}  // namespace controls::button
