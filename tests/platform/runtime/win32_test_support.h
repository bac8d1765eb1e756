#pragma once
// Helpers of the Win32 runtime tests: a plain parent window, message pumping
// with a bound, and checks that report the caller's file and line.
#include <windows.h>

#include <gtest/gtest.h>

#include <chrono>
#include <functional>
#include <string>
#include <vector>

#include "platform/win32/window_procedure.h"

namespace runtime_tests {

// Runs every message waiting for this thread.
inline void PumpPending() {
  MSG message;
  while (PeekMessageW(&message, nullptr, 0, 0, PM_REMOVE)) {
    TranslateMessage(&message);
    DispatchMessageW(&message);
  }
}

// Pumps until the condition holds or the time is up; the result says which.
inline bool PumpUntil(const std::function<bool()>& condition, int timeoutMs = 3000) {
  const auto deadline = std::chrono::steady_clock::now() + std::chrono::milliseconds(timeoutMs);
  while (true) {
    PumpPending();
    if (condition()) return true;
    const auto left = std::chrono::duration_cast<std::chrono::milliseconds>(deadline - std::chrono::steady_clock::now());
    if (left.count() <= 0) return false;
    MsgWaitForMultipleObjects(0, nullptr, FALSE, static_cast<DWORD>(std::min<long long>(left.count(), 50)),
                              QS_ALLINPUT);
  }
}

// Pumps for the whole time (for "never happens" checks).
inline void PumpFor(int milliseconds) {
  PumpUntil([] { return false; }, milliseconds);
}

inline std::string Hex(COLORREF colour) {
  char text[16];
  snprintf(text, sizeof text, "0x%06lX", static_cast<unsigned long>(colour));
  return text;
}

template <typename ReadPixel>
testing::AssertionResult PixelIs(ReadPixel read, int x, int y, COLORREF expected) {
  const COLORREF actual = read(x, y);
  if (actual == expected) return testing::AssertionSuccess();
  return testing::AssertionFailure() << "pixel (" << x << ", " << y << ") is " << Hex(actual) << ", expected "
                                     << Hex(expected);
}

// Every pixel of the rectangle [left, right) x [top, bottom) has the colour.
template <typename ReadPixel>
testing::AssertionResult AreaIs(ReadPixel read, int left, int top, int right, int bottom, COLORREF expected) {
  for (int y = top; y < bottom; ++y)
    for (int x = left; x < right; ++x)
      if (read(x, y) != expected)
        return testing::AssertionFailure() << "pixel (" << x << ", " << y << ") of the area is " << Hex(read(x, y))
                                           << ", expected " << Hex(expected);
  return testing::AssertionSuccess();
}

inline LPARAM At(int x, int y) { return MAKELPARAM(x, y); }

// A plain top-level window to put controls on; it records the messages the
// controls send to their parent.
class ParentWindow {
 public:
  ParentWindow(int clientWidth, int clientHeight, int x = 40, int y = 40) {
    platform::win32::RegisterWindowClass(L"RuntimeTestParent", platform::win32::WindowProcedure<ParentWindow>,
                                         0, reinterpret_cast<HBRUSH>(COLOR_WINDOW + 1));
    RECT frame{0, 0, clientWidth, clientHeight};
    AdjustWindowRectEx(&frame, WS_OVERLAPPEDWINDOW, FALSE, 0);
    CreateWindowExW(0, L"RuntimeTestParent", L"runtime test", WS_OVERLAPPEDWINDOW | WS_CLIPCHILDREN, x, y,
                    frame.right - frame.left, frame.bottom - frame.top, nullptr, nullptr,
                    GetModuleHandleW(nullptr), this);
  }
  ~ParentWindow() { window_.Destroy(); }

  HWND Handle() const { return window_.Get(); }
  void Show() {
    ShowWindow(window_.Get(), SW_SHOW);
    SetForegroundWindow(window_.Get());
    UpdateWindow(window_.Get());
    PumpPending();
  }

  struct ChildMessage {
    UINT message;
    WPARAM wParam;
    HWND child;
  };
  std::vector<ChildMessage> childMessages;

  LRESULT OnMessage(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
    if (message >= WM_APP + 0x3A0 && message <= WM_APP + 0x3AF) {
      childMessages.push_back({message, wParam, reinterpret_cast<HWND>(lParam)});
      return 0;
    }
    return DefWindowProcW(window, message, wParam, lParam);
  }
  void OnAttached(HWND window) noexcept { window_.Attach(window); }
  void OnDetached() noexcept { window_.Forget(); }

 private:
  platform::win32::OwnedWindow window_;
};

}  // namespace runtime_tests
