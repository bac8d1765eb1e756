#include "platform/win32/backing_image.h"

#include <algorithm>

namespace platform::win32 {
namespace {

// DIB pixels are 0x00RRGGBB; COLORREF is 0x00BBGGRR.
std::uint32_t ToDib(COLORREF colour) {
  return (static_cast<std::uint32_t>(GetRValue(colour)) << 16) |
         (static_cast<std::uint32_t>(GetGValue(colour)) << 8) | GetBValue(colour);
}

COLORREF FromDib(std::uint32_t pixel) {
  return RGB((pixel >> 16) & 0xFF, (pixel >> 8) & 0xFF, pixel & 0xFF);
}

}  // namespace

Colour ResolveColour(Colour colour) {
  return IsKnownSystemColour(colour) ? GetSysColor(static_cast<int>(colour & 0xFF)) : colour;
}

COLORREF DrawnColour(Colour colour) { return ResolveColour(colour) & 0x00FFFFFF; }

BackingImage::BackingImage(int width, int height, COLORREF background) {
  Create(width, height);
  Fill(background);
}

BackingImage::~BackingImage() {
  if (originalBitmap_) SelectObject(dc_.Get(), originalBitmap_);
}

void BackingImage::Create(int width, int height) {
  width_ = std::max(width, 0);
  height_ = std::max(height, 0);
  bits_ = nullptr;
  if (originalBitmap_) SelectObject(dc_.Get(), originalBitmap_);
  originalBitmap_ = nullptr;
  bitmap_.Reset();
  if (width_ == 0 || height_ == 0) return;

  BITMAPINFO info{};
  info.bmiHeader.biSize = sizeof info.bmiHeader;
  info.bmiHeader.biWidth = width_;
  info.bmiHeader.biHeight = -height_;  // top-down
  info.bmiHeader.biPlanes = 1;
  info.bmiHeader.biBitCount = 32;
  info.bmiHeader.biCompression = BI_RGB;
  void* bits = nullptr;
  bitmap_ = BitmapHandle(CreateDIBSection(nullptr, &info, DIB_RGB_COLORS, &bits, nullptr, 0));
  if (!bitmap_) {
    width_ = height_ = 0;
    return;
  }
  bits_ = static_cast<std::uint32_t*>(bits);
  originalBitmap_ = SelectObject(dc_.Get(), bitmap_.Get());
}

bool BackingImage::Resize(int width, int height, COLORREF background) {
  if (width == width_ && height == height_) return false;
  Create(width, height);
  Fill(background);
  return true;
}

void BackingImage::Fill(COLORREF colour) {
  if (!bits_) return;
  GdiFlush();
  std::fill(bits_, bits_ + static_cast<std::size_t>(width_) * static_cast<std::size_t>(height_), ToDib(colour));
}

void BackingImage::SetPixel(int x, int y, COLORREF colour) {
  if (!bits_ || x < 0 || y < 0 || x >= width_ || y >= height_) return;
  GdiFlush();
  bits_[static_cast<std::size_t>(y) * static_cast<std::size_t>(width_) + static_cast<std::size_t>(x)] =
      ToDib(colour);
}

COLORREF BackingImage::Pixel(int x, int y) const {
  if (!bits_ || x < 0 || y < 0 || x >= width_ || y >= height_) return 0;
  GdiFlush();
  return FromDib(bits_[static_cast<std::size_t>(y) * static_cast<std::size_t>(width_) + static_cast<std::size_t>(x)]);
}

void BackingImage::HorizontalSpan(int x1, int x2, int y, COLORREF colour) {
  if (!bits_ || y < 0 || y >= height_) return;
  const int from = std::max(std::min(x1, x2), 0);
  const int to = std::min(std::max(x1, x2), width_ - 1);
  if (from > to) return;
  GdiFlush();
  std::uint32_t* row = bits_ + static_cast<std::size_t>(y) * static_cast<std::size_t>(width_);
  std::fill(row + from, row + to + 1, ToDib(colour));
}

void BackingImage::VerticalSpan(int x, int y1, int y2, COLORREF colour) {
  if (!bits_ || x < 0 || x >= width_) return;
  const int from = std::max(std::min(y1, y2), 0);
  const int to = std::min(std::max(y1, y2), height_ - 1);
  GdiFlush();
  for (int y = from; y <= to; ++y)
    bits_[static_cast<std::size_t>(y) * static_cast<std::size_t>(width_) + static_cast<std::size_t>(x)] =
        ToDib(colour);
}

void BackingImage::CopyTo(HDC target, int x, int y) const {
  if (!bits_) return;
  BitBlt(target, x, y, width_, height_, dc_.Get(), 0, 0, SRCCOPY);
}

}  // namespace platform::win32
