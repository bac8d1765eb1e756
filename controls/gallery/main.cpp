// ControlGallery.exe: every control of the set at a glance, and QORSkin on
// two windows of their own, with its defaults and with ChangeSize False.
#include <windows.h>

#include <algorithm>
#include <exception>
#include <string>

#include "controls/gallery/gallery_layout.h"
#include "controls/gallery/gallery_window.h"
#include "controls/gallery/skin_window.h"
#include "platform/win32/application.h"
#include "platform/win32/dll_search.h"
#include "platform/win32/text.h"

namespace {

constexpr int kWindowGap = 24;

RECT WindowRectOf(HWND window) {
  RECT rect{};
  GetWindowRect(window, &rect);
  return rect;
}

// The two skinned windows side by side, the gallery below them, all centred
// together, so that none hides another.
void PlaceWindows(HWND gallery, HWND skinned, HWND fixedSkinned) {
  const RECT a = WindowRectOf(skinned);
  const RECT b = WindowRectOf(fixedSkinned);
  const RECT c = WindowRectOf(gallery);
  const int rowWidth = (a.right - a.left) + kWindowGap + (b.right - b.left);
  const int rowHeight = std::max(a.bottom - a.top, b.bottom - b.top);
  const int width = std::max(rowWidth, static_cast<int>(c.right - c.left));
  const int height = rowHeight + kWindowGap + (c.bottom - c.top);
  const int x = std::max(0, (GetSystemMetrics(SM_CXSCREEN) - width) / 2);
  const int y = std::max(0, (GetSystemMetrics(SM_CYSCREEN) - height) / 2);
  const int rowLeft = x + (width - rowWidth) / 2;
  const UINT flags = SWP_NOSIZE | SWP_NOZORDER | SWP_NOACTIVATE;
  SetWindowPos(skinned, nullptr, rowLeft, y, 0, 0, flags);
  SetWindowPos(fixedSkinned, nullptr, rowLeft + (a.right - a.left) + kWindowGap, y, 0, 0, flags);
  SetWindowPos(gallery, nullptr, x + (width - (c.right - c.left)) / 2, y + rowHeight + kWindowGap, 0, 0, flags);
}

void ShowStartFailure(const std::string& problem) {
  const std::wstring text = platform::win32::Widen("ControlGallery cannot start:\r\n" + problem);
  MessageBoxW(nullptr, text.c_str(), L"ControlGallery", MB_OK | MB_ICONERROR);
}

}  // namespace

int WINAPI wWinMain(HINSTANCE, HINSTANCE, PWSTR, int) {
  platform::win32::RestrictDllSearchToSystemFolder();
  try {
    platform::win32::Application app;
    gallery::GalleryWindow gallery(controls::progressbar::CriticalMessageBox(app));
    const auto endProgram = [&gallery] { gallery.Close(); };
    gallery::SkinWindow skinned({.caption = gallery::kSkinCaption}, controls::progressbar::CriticalMessageBox(app),
                                endProgram);
    gallery::SkinWindow fixedSkinned({.caption = gallery::kFixedSkinCaption, .changeSize = false},
                                     controls::progressbar::CriticalMessageBox(app), endProgram);
    PlaceWindows(gallery.Handle(), skinned.Handle(), fixedSkinned.Handle());
    skinned.Show();
    fixedSkinned.Show();
    gallery.Show();
    gallery.Run();
    return 0;
  } catch (const std::exception& error) {
    ShowStartFailure(error.what());
  } catch (...) {
    ShowStartFailure("unknown error");
  }
  return 1;
}
