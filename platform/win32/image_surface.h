#pragma once
// The drawing surface of a control: draws into a retained backing image and
// tells its window that the image changed.
#include <functional>

#include "platform/runtime/drawing_surface.h"
#include "platform/win32/backing_image.h"

namespace platform::win32 {

class ImageSurface final : public DrawingSurface {
 public:
  // changed: called after every drawing call, to have the window show it.
  ImageSurface(BackingImage& image, std::function<void()> changed);

  int WidthTwips() const override;
  int HeightTwips() const override;
  Colour Resolve(Colour colour) const override;
  void Clear(Colour background) override;
  void Line(double x1, double y1, double x2, double y2, Colour colour, Units units) override;
  void Box(double x1, double y1, double x2, double y2, Colour colour, Units units) override;
  void SetPixel(int x, int y, Colour colour) override;
  void DrawPicture(const Picture& picture, int dx, int dy, int dw, int dh, int sx, int sy, int sw,
                   int sh) override;
  void DrawProgramIcon(int x, int y, int w, int h) override;

  // A coordinate in the given units as a device pixel: twips to the nearest
  // pixel, halves to even; values beyond any screen are held at a far edge.
  static int ToPixel(double value, Units units);

 private:
  BackingImage& image_;  // not owned
  std::function<void()> changed_;
};

}  // namespace platform::win32
