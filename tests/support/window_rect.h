#pragma once
#include <windows.h>

namespace test_support {

// The window's rectangle on the screen; all zero for a window that is gone.
inline RECT WindowRectOf(HWND window) {
  RECT rect{};
  GetWindowRect(window, &rect);
  return rect;
}

inline bool SameRect(const RECT& a, const RECT& b) {
  return a.left == b.left && a.top == b.top && a.right == b.right && a.bottom == b.bottom;
}

}  // namespace test_support
