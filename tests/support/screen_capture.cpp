#include "tests/support/screen_capture.h"

#include <fstream>

#include "platform/win32/gdi_handles.h"

namespace test_support {

using platform::win32::BitmapHandle;
using platform::win32::SelectedObject;
using platform::win32::WindowDc;

ScreenImage CaptureScreen(const RECT& rect) {
  ScreenImage image{rect.right - rect.left, rect.bottom - rect.top, {}};
  if (image.width <= 0 || image.height <= 0) return {};
  WindowDc screen(nullptr);
  platform::win32::MemoryDc memory;
  BITMAPINFO info{};
  info.bmiHeader.biSize = sizeof info.bmiHeader;
  info.bmiHeader.biWidth = image.width;
  info.bmiHeader.biHeight = -image.height;  // top-down
  info.bmiHeader.biPlanes = 1;
  info.bmiHeader.biBitCount = 32;
  void* bits = nullptr;
  BitmapHandle bitmap(CreateDIBSection(screen.Get(), &info, DIB_RGB_COLORS, &bits, nullptr, 0));
  if (!bitmap || !bits) return {};
  {
    SelectedObject selected(memory.Get(), bitmap.Get());
    BitBlt(memory.Get(), 0, 0, image.width, image.height, screen.Get(), rect.left, rect.top, SRCCOPY);
    GdiFlush();
  }
  const auto* first = static_cast<const RGBQUAD*>(bits);
  const auto count = static_cast<std::size_t>(image.width) * static_cast<std::size_t>(image.height);
  image.pixels.reserve(count);
  for (std::size_t i = 0; i < count; ++i) image.pixels.push_back(RGB(first[i].rgbRed, first[i].rgbGreen, first[i].rgbBlue));
  return image;
}

ScreenImage CaptureWindow(HWND window) {
  RECT rect{};
  if (!GetWindowRect(window, &rect)) return {};
  return CaptureScreen(rect);
}

bool SaveBmp(const ScreenImage& image, const std::filesystem::path& file) {
  BITMAPINFOHEADER header{};
  header.biSize = sizeof header;
  header.biWidth = image.width;
  header.biHeight = -image.height;
  header.biPlanes = 1;
  header.biBitCount = 32;
  header.biCompression = BI_RGB;
  std::vector<RGBQUAD> rows;
  rows.reserve(image.pixels.size());
  for (COLORREF pixel : image.pixels) rows.push_back(RGBQUAD{GetBValue(pixel), GetGValue(pixel), GetRValue(pixel), 0});
  const auto imageSize = static_cast<DWORD>(rows.size() * sizeof(RGBQUAD));
  BITMAPFILEHEADER fileHeader{};
  fileHeader.bfType = 0x4D42;  // "BM"
  fileHeader.bfOffBits = sizeof fileHeader + sizeof header;
  fileHeader.bfSize = fileHeader.bfOffBits + imageSize;
  std::ofstream out(file, std::ios::binary | std::ios::trunc);
  out.write(reinterpret_cast<const char*>(&fileHeader), sizeof fileHeader);
  out.write(reinterpret_cast<const char*>(&header), sizeof header);
  out.write(reinterpret_cast<const char*>(rows.data()), static_cast<std::streamsize>(imageSize));
  return static_cast<bool>(out);
}

}  // namespace test_support
