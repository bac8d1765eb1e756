#include "platform/win32/resources.h"

#include <vector>

namespace platform::win32 {

Picture PictureFromBitmap(HBITMAP bitmap) {
  BITMAP header{};
  if (!bitmap || !GetObjectW(bitmap, sizeof header, &header) || header.bmWidth <= 0 || header.bmHeight <= 0)
    return {};
  const int width = header.bmWidth;
  const int height = header.bmHeight;
  BITMAPINFO info{};
  info.bmiHeader.biSize = sizeof info.bmiHeader;
  info.bmiHeader.biWidth = width;
  info.bmiHeader.biHeight = -height;
  info.bmiHeader.biPlanes = 1;
  info.bmiHeader.biBitCount = 32;
  info.bmiHeader.biCompression = BI_RGB;
  std::vector<std::uint32_t> bits(static_cast<std::size_t>(width) * static_cast<std::size_t>(height));
  // Any DC will do for a 32-bit read; a memory one asks the window system nothing.
  const MemoryDc dc;
  if (GetDIBits(dc.Get(), bitmap, 0, static_cast<UINT>(height), bits.data(), &info, DIB_RGB_COLORS) != height)
    return {};
  Picture picture{width, height, {}};
  picture.pixels.reserve(bits.size());
  for (const std::uint32_t pixel : bits)
    picture.pixels.push_back(Rgb(static_cast<int>((pixel >> 16) & 0xFF), static_cast<int>((pixel >> 8) & 0xFF),
                                 static_cast<int>(pixel & 0xFF)));
  return picture;
}

std::optional<Picture> LoadBitmapResource(int id) {
  BitmapHandle bitmap(static_cast<HBITMAP>(
      LoadImageW(GetModuleHandleW(nullptr), MAKEINTRESOURCEW(id), IMAGE_BITMAP, 0, 0, LR_CREATEDIBSECTION)));
  if (!bitmap) return std::nullopt;
  Picture picture = PictureFromBitmap(bitmap.Get());
  if (picture.Empty()) return std::nullopt;
  return picture;
}

IconHandle LoadIconResource(int id, int size) {
  return IconHandle(
      static_cast<HICON>(LoadImageW(GetModuleHandleW(nullptr), MAKEINTRESOURCEW(id), IMAGE_ICON, size, size, 0)));
}

std::optional<std::string> LoadDataResource(int id) {
  const HMODULE module = GetModuleHandleW(nullptr);
  const HRSRC found = FindResourceW(module, MAKEINTRESOURCEW(id), MAKEINTRESOURCEW(10));  // RT_RCDATA
  if (!found) return std::nullopt;
  const HGLOBAL loaded = LoadResource(module, found);
  const void* data = loaded ? LockResource(loaded) : nullptr;
  if (!data) return std::nullopt;
  return std::string(static_cast<const char*>(data), SizeofResource(module, found));
}

}  // namespace platform::win32
