#pragma once
// The bridge from a window procedure to the object that handles the window.
// The object is passed as the creation parameter, kept in GWLP_USERDATA from
// WM_NCCREATE on and forgotten at WM_NCDESTROY. No exception leaves the
// procedure: one that reaches it is reported to the debugger and the message
// counts as handled.
#include <windows.h>

#include <exception>
#include <string>
#include <utility>

namespace platform::win32 {

// Owner of a window: destroys it unless the window is already gone. The object
// handling the window calls Forget() at WM_NCDESTROY.
class OwnedWindow {
 public:
  OwnedWindow() = default;
  ~OwnedWindow() { Destroy(); }
  OwnedWindow(const OwnedWindow&) = delete;
  OwnedWindow& operator=(const OwnedWindow&) = delete;

  HWND Get() const { return window_; }
  void Attach(HWND window) { window_ = window; }
  void Forget() { window_ = nullptr; }
  void Destroy() {
    if (HWND window = std::exchange(window_, nullptr)) DestroyWindow(window);
  }

 private:
  HWND window_ = nullptr;
};

inline void ReportHandlerFailure(const char* what) {
  std::string text = "window handler failed: ";
  text += what;
  text += "\n";
  OutputDebugStringA(text.c_str());
}

// Handler needs: LRESULT OnMessage(HWND, UINT, WPARAM, LPARAM);
// void OnAttached(HWND) noexcept; void OnDetached() noexcept.
template <typename Handler>
LRESULT CALLBACK WindowProcedure(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
  Handler* handler = nullptr;
  if (message == WM_NCCREATE) {
    handler = static_cast<Handler*>(reinterpret_cast<CREATESTRUCTW*>(lParam)->lpCreateParams);
    SetWindowLongPtrW(window, GWLP_USERDATA, reinterpret_cast<LONG_PTR>(handler));
    if (handler) handler->OnAttached(window);
  } else {
    handler = reinterpret_cast<Handler*>(GetWindowLongPtrW(window, GWLP_USERDATA));
  }
  if (!handler) return DefWindowProcW(window, message, wParam, lParam);

  LRESULT result = 0;
  try {
    result = handler->OnMessage(window, message, wParam, lParam);
  } catch (const std::exception& failure) {
    ReportHandlerFailure(failure.what());
  } catch (...) {
    ReportHandlerFailure("unknown exception");
  }
  if (message == WM_NCDESTROY) {
    SetWindowLongPtrW(window, GWLP_USERDATA, 0);
    handler->OnDetached();
  }
  return result;
}

// Registers a window class of this module; registering it again is harmless.
inline void RegisterWindowClass(const wchar_t* name, WNDPROC procedure, UINT style, HBRUSH background) {
  WNDCLASSEXW windowClass{};
  windowClass.cbSize = sizeof windowClass;
  windowClass.style = style;
  windowClass.lpfnWndProc = procedure;
  windowClass.hInstance = GetModuleHandleW(nullptr);
  windowClass.hCursor = LoadCursorW(nullptr, reinterpret_cast<LPCWSTR>(IDC_ARROW));
  windowClass.hbrBackground = background;
  windowClass.lpszClassName = name;
  RegisterClassExW(&windowClass);
}

}  // namespace platform::win32
