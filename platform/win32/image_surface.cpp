#include "platform/win32/image_surface.h"

#include <algorithm>
#include <cmath>
#include <string>
#include <vector>

#include <shellapi.h>

#include "platform/units.h"

namespace platform::win32 {
namespace {

// Far outside any window, and well inside what GDI takes as a coordinate.
constexpr double kFarEdge = 1 << 24;

std::wstring ProgramPath() {
  std::wstring path(MAX_PATH, L'\0');
  while (true) {
    const DWORD length = GetModuleFileNameW(nullptr, path.data(), static_cast<DWORD>(path.size()));
    if (length == 0) return {};
    if (length < path.size()) {
      path.resize(length);
      return path;
    }
    path.resize(path.size() * 2);
  }
}

// The picture as a DIB section; empty when the picture is not whole.
BitmapHandle PictureBitmap(const Picture& picture) {
  if (picture.width <= 0 || picture.height <= 0 ||
      picture.pixels.size() < static_cast<std::size_t>(picture.width) * static_cast<std::size_t>(picture.height))
    return {};
  BITMAPINFO info{};
  info.bmiHeader.biSize = sizeof info.bmiHeader;
  info.bmiHeader.biWidth = picture.width;
  info.bmiHeader.biHeight = -picture.height;
  info.bmiHeader.biPlanes = 1;
  info.bmiHeader.biBitCount = 32;
  info.bmiHeader.biCompression = BI_RGB;
  void* bits = nullptr;
  BitmapHandle bitmap(CreateDIBSection(nullptr, &info, DIB_RGB_COLORS, &bits, nullptr, 0));
  if (!bitmap) return {};
  auto* out = static_cast<std::uint32_t*>(bits);
  const std::size_t count = static_cast<std::size_t>(picture.width) * static_cast<std::size_t>(picture.height);
  for (std::size_t i = 0; i < count; ++i) {
    const Colour c = picture.pixels[i];
    out[i] = (static_cast<std::uint32_t>(RedOf(c)) << 16) | (static_cast<std::uint32_t>(GreenOf(c)) << 8) |
             static_cast<std::uint32_t>(BlueOf(c));
  }
  return bitmap;
}

}  // namespace

ImageSurface::ImageSurface(BackingImage& image, std::function<void()> changed)
    : image_(image), changed_(std::move(changed)) {}

int ImageSurface::WidthTwips() const { return PixelsToTwips(image_.Width()); }
int ImageSurface::HeightTwips() const { return PixelsToTwips(image_.Height()); }

int ImageSurface::ToPixel(double value, Units units) {
  double pixels = units == Units::Twips ? TwipsToPixels(value) : value;
  if (std::isnan(pixels)) pixels = 0;
  return RoundHalfEven(std::clamp(pixels, -kFarEdge, kFarEdge));
}

void ImageSurface::Clear(Colour background) {
  image_.Fill(ResolveColour(background));
  changed_();
}

void ImageSurface::Line(double x1, double y1, double x2, double y2, Colour colour, Units units) {
  PenHandle pen(CreatePen(PS_SOLID, 1, ResolveColour(colour)));
  if (!pen) return;
  const HDC dc = image_.Dc();
  SelectedObject selected(dc, pen.Get());
  MoveToEx(dc, ToPixel(x1, units), ToPixel(y1, units), nullptr);
  LineTo(dc, ToPixel(x2, units), ToPixel(y2, units));
  changed_();
}

void ImageSurface::Box(double x1, double y1, double x2, double y2, Colour colour, Units units) {
  const COLORREF resolved = ResolveColour(colour);
  const int left = ToPixel(x1, units), top = ToPixel(y1, units);
  const int right = ToPixel(x2, units), bottom = ToPixel(y2, units);
  image_.HorizontalSpan(left, right, top, resolved);
  image_.HorizontalSpan(left, right, bottom, resolved);
  image_.VerticalSpan(left, top, bottom, resolved);
  image_.VerticalSpan(right, top, bottom, resolved);
  changed_();
}

void ImageSurface::SetPixel(int x, int y, Colour colour) {
  image_.SetPixel(x, y, ResolveColour(colour));
  changed_();
}

void ImageSurface::DrawPicture(const Picture& picture, int dx, int dy, int dw, int dh, int sx, int sy, int sw,
                               int sh) {
  BitmapHandle bitmap = PictureBitmap(picture);
  if (!bitmap || dw == 0 || dh == 0 || sw == 0 || sh == 0) return;
  MemoryDc source;
  SelectedObject selected(source.Get(), bitmap.Get());
  const HDC dc = image_.Dc();
  SetStretchBltMode(dc, COLORONCOLOR);
  StretchBlt(dc, dx, dy, dw, dh, source.Get(), sx, sy, sw, sh, SRCCOPY);
  changed_();
}

void ImageSurface::DrawProgramIcon(int x, int y, int w, int h) {
  const std::wstring path = ProgramPath();
  if (path.empty()) return;
  HICON extracted = ExtractIconW(GetModuleHandleW(nullptr), path.c_str(), 0);
  // 1 means "not a program file", and there is nothing to destroy.
  if (reinterpret_cast<UINT_PTR>(extracted) <= 1) return;
  IconHandle icon(extracted);
  DrawIconEx(image_.Dc(), x, y, icon.Get(), w, h, 0, nullptr, DI_NORMAL);
  changed_();
}

}  // namespace platform::win32
