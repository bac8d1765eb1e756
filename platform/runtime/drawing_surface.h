#pragma once
// What a control draws on: its retained backing image. Drawing happens only at
// the control's own drawing moments; the window shows the image afterwards.
#include "platform/colour.h"
#include "platform/runtime/picture.h"
#include "platform/units.h"

namespace platform {

enum class Units { Twips, Pixels };

class DrawingSurface {
 public:
  virtual ~DrawingSurface() = default;

  // Size of the surface in twips (pixels x 15).
  virtual int WidthTwips() const = 0;
  virtual int HeightTwips() const = 0;
  int WidthPixels() const { return PixelsHeldIn(WidthTwips()); }
  int HeightPixels() const { return PixelsHeldIn(HeightTwips()); }

  // The present value of a known system colour reference; any other value
  // as it is.
  virtual Colour Resolve(Colour colour) const = 0;
  // Fills the whole surface; a system colour is resolved by the surface.
  virtual void Clear(Colour background) = 0;
  // A one-pixel solid line; the end point is not drawn. Coordinates in the
  // given units; twips map to the nearest pixel.
  virtual void Line(double x1, double y1, double x2, double y2, Colour colour, Units units) = 0;
  // A rectangle outline through both corners, never filled.
  virtual void Box(double x1, double y1, double x2, double y2, Colour colour, Units units) = 0;
  // One device pixel; pixels outside the surface are dropped.
  virtual void SetPixel(int x, int y, Colour colour) = 0;
  // Copies the source rectangle of the picture into the destination rectangle
  // (pixels), scaling each axis on its own, without blending.
  virtual void DrawPicture(const Picture& picture, int dx, int dy, int dw, int dh, int sx, int sy, int sw,
                           int sh) = 0;
  // Draws the first icon of the running program's file at (x, y), w x h pixels.
  virtual void DrawProgramIcon(int x, int y, int w, int h) = 0;
};

}  // namespace platform
