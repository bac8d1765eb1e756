#include "controls/skin/win32_skin_window_ops.h"

#include <windows.h>

#include <utility>

#include "platform/win32/application.h"
#include "platform/win32/gdi_handles.h"
#include "platform/win32/text.h"

namespace controls::skin {
namespace {

HWND AsWindow(std::uintptr_t window) { return reinterpret_cast<HWND>(window); }

ScreenRect FromRect(const RECT& rect) { return {rect.left, rect.top, rect.right, rect.bottom}; }

}  // namespace

Win32SkinWindowOps::Win32SkinWindowOps(std::function<void()> endProgram) : endProgram_(std::move(endProgram)) {}

ScreenRect Win32SkinWindowOps::WindowRect(std::uintptr_t window) {
  RECT rect{};
  if (window == 0 || !GetWindowRect(AsWindow(window), &rect)) return {};
  return FromRect(rect);
}

std::string Win32SkinWindowOps::WindowText(std::uintptr_t window) {
  if (window == 0) return {};
  const int length = GetWindowTextLengthA(AsWindow(window));
  if (length <= 0) return {};
  std::string buffer(static_cast<std::size_t>(length) + 1, '\0');
  // The length may overstate a double-byte title; keep only what was copied.
  const int copied = GetWindowTextA(AsWindow(window), buffer.data(), length + 1);
  buffer.resize(static_cast<std::size_t>(copied > 0 ? copied : 0));
  return platform::win32::FromAnsi(buffer);
}

std::int32_t Win32SkinWindowOps::ReadWindowLong(std::uintptr_t window, int index) {
  if (window == 0) return 0;
  return static_cast<std::int32_t>(GetWindowLongA(AsWindow(window), index));
}

std::int32_t Win32SkinWindowOps::WriteWindowLong(std::uintptr_t window, int index, std::int32_t value) {
  if (window == 0) return 0;
  return static_cast<std::int32_t>(SetWindowLongA(AsWindow(window), index, value));
}

void Win32SkinWindowOps::SetWindowPos(std::uintptr_t window, std::uintptr_t insertAfter, int x, int y, int width,
                                      int height, std::uint32_t flags) {
  if (window == 0) return;
  ::SetWindowPos(AsWindow(window), AsWindow(insertAfter), x, y, width, height, flags);
}

void Win32SkinWindowOps::SetRoundRegion(std::uintptr_t window, int right, int bottom, int ellipse) {
  if (window == 0) return;
  platform::win32::RegionHandle region(CreateRoundRectRgn(0, 0, right, bottom, ellipse, ellipse));
  if (!region) return;
  // On success the window owns the region.
  if (SetWindowRgn(AsWindow(window), region.Get(), TRUE)) region.Release();
}

void Win32SkinWindowOps::BeginTitleDrag(std::uintptr_t window) {
  ReleaseCapture();
  if (window == 0) return;
  SendMessageA(AsWindow(window), WM_NCLBUTTONDOWN, HTCAPTION, 0);
}

void Win32SkinWindowOps::Minimise(std::uintptr_t window) {
  if (window == 0) return;
  CloseWindow(AsWindow(window));
}

std::uintptr_t Win32SkinWindowOps::ParentOf(std::uintptr_t window) {
  if (window == 0) return 0;
  return reinterpret_cast<std::uintptr_t>(GetParent(AsWindow(window)));
}

MonitorArea Win32SkinWindowOps::MonitorOf(std::uintptr_t window) {
  HMONITOR monitor = MonitorFromWindow(AsWindow(window), MONITOR_DEFAULTTONEAREST);
  MONITORINFO info{};
  info.cbSize = sizeof info;
  if (!monitor || !GetMonitorInfoW(monitor, &info)) return {};
  return {FromRect(info.rcMonitor), FromRect(info.rcWork)};
}

void Win32SkinWindowOps::InvertFocusRect(const ScreenRect& rect) {
  const platform::win32::WindowDc screen(nullptr);  // the whole screen
  if (!screen.Get()) return;
  const RECT r{rect.left, rect.top, rect.right, rect.bottom};
  DrawFocusRect(screen.Get(), &r);
}

void Win32SkinWindowOps::DoEvents() { platform::win32::ProcessPendingMessages(); }

void Win32SkinWindowOps::EndProgram() {
  if (endProgram_) {
    endProgram_();
    return;
  }
  ExitProcess(0);
}

}  // namespace controls::skin
