#include "platform/win32/image_surface.h"

#include <algorithm>
#include <cmath>
#include <string>
#include <vector>

#include "platform/units.h"
#include "platform/win32/module_path.h"
#include "platform/win32/system_library.h"

namespace platform::win32 {
namespace {

// The picture as a bottom-up 32-bit DIB's pixels (0x00RRGGBB), for
// StretchDIBits, so that no bitmap or memory DC is made for a drawing. A
// bottom-up DIB has one reading of the source rectangle on every system: its
// y counts from the bottom row.
std::vector<std::uint32_t> BottomUpDibPixels(const Picture& picture) {
  std::vector<std::uint32_t> out;
  out.reserve(static_cast<std::size_t>(picture.width) * static_cast<std::size_t>(picture.height));
  for (int y = picture.height - 1; y >= 0; --y)
    for (int x = 0; x < picture.width; ++x) {
      const Colour c = picture.At(x, y);
      out.push_back((static_cast<std::uint32_t>(RedOf(c)) << 16) | (static_cast<std::uint32_t>(GreenOf(c)) << 8) |
                    static_cast<std::uint32_t>(BlueOf(c)));
    }
  return out;
}

bool Drawable(const Picture& picture) {
  return picture.width > 0 && picture.height > 0 &&
         picture.pixels.size() >= static_cast<std::size_t>(picture.width) * static_cast<std::size_t>(picture.height);
}

}  // namespace

ImageSurface::ImageSurface(BackingImage& image, std::function<void()> changed)
    : image_(image), changed_(std::move(changed)) {}

int ImageSurface::WidthTwips() const { return PixelsToTwips(image_.Width()); }
int ImageSurface::HeightTwips() const { return PixelsToTwips(image_.Height()); }

int ImageSurface::ToPixel(double value, Units units) {
  return units == Units::Twips ? TwipsToWholePixels(value) : WholePixel(value);
}

Colour ImageSurface::Resolve(Colour colour) const { return ResolveColour(colour); }

void ImageSurface::Clear(Colour background) {
  image_.Fill(DrawnColour(background));
  changed_();
}

void ImageSurface::Line(double x1, double y1, double x2, double y2, Colour colour, Units units) {
  PenHandle pen(CreatePen(PS_SOLID, 1, DrawnColour(colour)));
  if (!pen) return;
  const HDC dc = image_.Dc();
  SelectedObject selected(dc, pen.Get());
  MoveToEx(dc, ToPixel(x1, units), ToPixel(y1, units), nullptr);
  LineTo(dc, ToPixel(x2, units), ToPixel(y2, units));
  changed_();
}

void ImageSurface::Box(double x1, double y1, double x2, double y2, Colour colour, Units units) {
  const COLORREF resolved = DrawnColour(colour);
  const int left = ToPixel(x1, units), top = ToPixel(y1, units);
  const int right = ToPixel(x2, units), bottom = ToPixel(y2, units);
  image_.HorizontalSpan(left, right, top, resolved);
  image_.HorizontalSpan(left, right, bottom, resolved);
  image_.VerticalSpan(left, top, bottom, resolved);
  image_.VerticalSpan(right, top, bottom, resolved);
  changed_();
}

void ImageSurface::SetPixel(int x, int y, Colour colour) {
  image_.SetPixel(x, y, DrawnColour(colour));
  changed_();
}

void ImageSurface::DrawPicture(const Picture& picture, int dx, int dy, int dw, int dh, int sx, int sy, int sw,
                               int sh) {
  if (!Drawable(picture) || dw == 0 || dh == 0 || sw == 0 || sh == 0) return;
  BITMAPINFO info{};
  info.bmiHeader.biSize = sizeof info.bmiHeader;
  info.bmiHeader.biWidth = picture.width;
  info.bmiHeader.biHeight = picture.height;
  info.bmiHeader.biPlanes = 1;
  info.bmiHeader.biBitCount = 32;
  info.bmiHeader.biCompression = BI_RGB;
  const std::vector<std::uint32_t> pixels = BottomUpDibPixels(picture);
  const HDC dc = image_.Dc();
  SetStretchBltMode(dc, COLORONCOLOR);
  StretchDIBits(dc, dx, dy, dw, dh, sx, picture.height - sy - sh, sw, sh, pixels.data(), &info, DIB_RGB_COLORS,
                SRCCOPY);
  changed_();
}

void ImageSurface::DrawProgramIcon(int x, int y, int w, int h) {
  const std::wstring path = ModulePath();
  if (path.empty()) return;
  const SystemLibrary shell(L"shell32.dll");
  const auto extract = shell.Find<HICON WINAPI(HINSTANCE, LPCWSTR, UINT)>("ExtractIconW");
  if (extract == nullptr) return;
  HICON extracted = extract(GetModuleHandleW(nullptr), path.c_str(), 0);
  // 1 means "not a program file", and there is nothing to destroy.
  if (reinterpret_cast<UINT_PTR>(extracted) <= 1) return;
  IconHandle icon(extracted);
  DrawIconEx(image_.Dc(), x, y, icon.Get(), w, h, 0, nullptr, DI_NORMAL);
  changed_();
}

}  // namespace platform::win32
