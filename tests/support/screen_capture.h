#pragma once
// What a window shows on the screen, read back as pixels and saved as BMP.
#include <windows.h>

#include <cstdint>
#include <filesystem>
#include <vector>

namespace test_support {

struct ScreenImage {
  int width = 0;
  int height = 0;
  std::vector<COLORREF> pixels;  // row by row from the top

  COLORREF At(int x, int y) const { return pixels[static_cast<std::size_t>(y * width + x)]; }
  bool operator==(const ScreenImage&) const = default;
};

// The screen's pixels under the rectangle (screen coordinates).
ScreenImage CaptureScreen(const RECT& rect);
// Under the window's whole rectangle, frame included.
ScreenImage CaptureWindow(HWND window);

// A 32-bit top-down BMP; false when the file cannot be written.
bool SaveBmp(const ScreenImage& image, const std::filesystem::path& file);

}  // namespace test_support
