#pragma once
// The arithmetic and drawing routines behind the push button's looks. The
// arithmetic is plain functions so it can be checked without a surface.
#include <string>
#include <vector>

#include "controls/common/paint_arithmetic.h"
#include "platform/colour.h"
#include "platform/runtime/control_site.h"
#include "platform/runtime/drawing_surface.h"
#include "platform/runtime/mouse.h"

namespace controls::button {

inline constexpr platform::Colour kDarkEdge = 0x151413;
inline constexpr platform::Colour kWhite = 0xFFFFFF;
inline constexpr platform::Colour kPressedGrey = 0xB5B5B4;
inline constexpr platform::Colour kHoverEdge = 0x6F6E6D;
inline constexpr platform::Colour kCorner = 0x000000;

// Gradient line spacing of each look, in twips.
inline constexpr int kNormalStep = 5;
inline constexpr int kHoverStep = 7;
inline constexpr int kPressedStep = 3;

// Size of the corner diagonals and of the window shape's corner ellipses.
inline constexpr int kCornerSize = 3;
inline constexpr int kRoundEllipse = 5;

// The colour of each gradient line from the top: floor(height / step) + 1
// lines, each component 0.5 lower than on the line above while all three are
// above zero. Components are rounded half to even and held to 0..255, which
// keeps system colour references and oversized values drawable.
std::vector<platform::Colour> GradientColours(platform::Colour base, int step, int heightTwips);

// Whether a pointer in client pixels lies within the surface's scale
// rectangle; a pointer on an edge counts as inside.
bool PointerInside(platform::Point pointer, int widthTwips, int heightTwips);

void DrawGradient(platform::DrawingSurface& surface, platform::Colour colour, int step);
// The corner diagonals (CornerPixels) of a w x h pixel surface.
void DrawCornerPixels(platform::DrawingSurface& surface, int w, int h, int cornerSize, platform::Colour colour);
// The outline from (inset, inset) to (W - farInset, H - farInset), twips.
void DrawRectangle(platform::DrawingSurface& surface, int inset, int farInset, platform::Colour colour);
// Shapes the surface window to a rounded rectangle of width x height twips.
void ApplyRoundRegion(platform::ControlSite& site, int widthTwips, int heightTwips, int ellipse);

// The looks' gradients and frames, drawn over what the surface shows.
void DrawNormalFace(platform::DrawingSurface& surface, platform::Colour backColour);
void DrawHoverFace(platform::DrawingSurface& surface, platform::Colour backColour);
void DrawPressedFace(platform::DrawingSurface& surface, platform::Colour backColour);

}  // namespace controls::button
