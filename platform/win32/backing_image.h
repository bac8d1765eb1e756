#pragma once
// A retained image: a 32-bit top-down DIB section selected into its own
// memory DC. Drawing goes into it; painting copies it to the screen.
#include <windows.h>

#include <cstdint>

#include "platform/colour.h"
#include "platform/win32/gdi_handles.h"

namespace platform::win32 {

// The one rule for what a colour value stands for: a known system colour
// reference (IsKnownSystemColour) is the system's present colour; any other
// value stands for itself, the arithmetic of the controls included.
Colour ResolveColour(Colour colour);
// The COLORREF that GDI draws for a colour value: its resolved colour's low
// 24 bits.
COLORREF DrawnColour(Colour colour);

class BackingImage {
 public:
  BackingImage(int width, int height, COLORREF background);
  BackingImage(const BackingImage&) = delete;
  BackingImage& operator=(const BackingImage&) = delete;
  ~BackingImage();

  int Width() const { return width_; }
  int Height() const { return height_; }
  HDC Dc() const { return dc_.Get(); }

  // Makes a new, cleared image when the size differs; false when it did not.
  bool Resize(int width, int height, COLORREF background);
  void Fill(COLORREF colour);
  // Pixels outside the image are dropped, or read as black.
  void SetPixel(int x, int y, COLORREF colour);
  COLORREF Pixel(int x, int y) const;
  // A span of pixels, both ends included, clipped to the image.
  void HorizontalSpan(int x1, int x2, int y, COLORREF colour);
  void VerticalSpan(int x, int y1, int y2, COLORREF colour);

  void CopyTo(HDC target, int x, int y) const;

 private:
  void Create(int width, int height);

  MemoryDc dc_;
  BitmapHandle bitmap_;
  HGDIOBJ originalBitmap_ = nullptr;
  std::uint32_t* bits_ = nullptr;  // owned by bitmap_
  int width_ = 0;
  int height_ = 0;
};

}  // namespace platform::win32
