// ControlGallery.exe: every control of the set at a glance, and QORSkin on a
// window of its own.
#include <windows.h>

#include <algorithm>
#include <exception>
#include <string>

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

// Side by side and centred together, so that neither hides the other.
void PlaceSideBySide(HWND left, HWND right) {
  const RECT a = WindowRectOf(left);
  const RECT b = WindowRectOf(right);
  const int width = (a.right - a.left) + kWindowGap + (b.right - b.left);
  const int height = std::max(a.bottom - a.top, b.bottom - b.top);
  const int x = std::max(0, (GetSystemMetrics(SM_CXSCREEN) - width) / 2);
  const int y = std::max(0, (GetSystemMetrics(SM_CYSCREEN) - height) / 2);
  const UINT flags = SWP_NOSIZE | SWP_NOZORDER | SWP_NOACTIVATE;
  SetWindowPos(left, nullptr, x, y, 0, 0, flags);
  SetWindowPos(right, nullptr, x + (a.right - a.left) + kWindowGap, y, 0, 0, flags);
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
    gallery::GalleryWindow gallery(progressbar::CriticalMessageBox(app));
    gallery::SkinWindow skinned(progressbar::CriticalMessageBox(app), [&gallery] { gallery.Close(); });
    PlaceSideBySide(gallery.Handle(), skinned.Handle());
    skinned.Show();
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
