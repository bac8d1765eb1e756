#pragma once
// A top-level window for a test to put a control on, destroyed with the test.
// Header only: the controls' tests use it without the support library.
#include <windows.h>

namespace test_support {

class ParentWindow {
 public:
  struct Shape {
    const wchar_t* title = L"";
    DWORD style = WS_POPUP;  // not shown
    DWORD exStyle = 0;
    int x = 0;
    int y = 0;
    int width = 300;
    int height = 60;
  };

  ParentWindow() : ParentWindow(Shape{}) {}
  explicit ParentWindow(const Shape& shape) {
    // A class of its own: a system class such as STATIC would answer hit tests itself.
    WNDCLASSW windowClass{};
    windowClass.lpfnWndProc = DefWindowProcW;
    windowClass.hInstance = GetModuleHandleW(nullptr);
    windowClass.hCursor = LoadCursorW(nullptr, reinterpret_cast<LPCWSTR>(IDC_ARROW));
    windowClass.lpszClassName = kClass;
    RegisterClassW(&windowClass);  // fails harmlessly once registered
    window_ = CreateWindowExW(shape.exStyle, kClass, shape.title, shape.style, shape.x, shape.y, shape.width,
                              shape.height, nullptr, nullptr, GetModuleHandleW(nullptr), nullptr);
  }
  ~ParentWindow() {
    if (window_) DestroyWindow(window_);
  }
  ParentWindow(const ParentWindow&) = delete;
  ParentWindow& operator=(const ParentWindow&) = delete;
  HWND Get() const { return window_; }

 private:
  static constexpr wchar_t kClass[] = L"IlvoTestParent";
  HWND window_ = nullptr;
};

}  // namespace test_support
