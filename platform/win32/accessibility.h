#pragma once
// Answers WM_GETOBJECT for the client area of a self-drawn control with the
// system's standard accessible proxy of a fitting window class, so that a
// screen reader sees a push button or a progress bar with the window's text.
#include <windows.h>
#include <unknwn.h>

namespace platform::win32 {

class AccessibleProxy {
 public:
  // Loads the accessibility library from the system folder only: the
  // program runs elevated from a folder a user may write to.
  AccessibleProxy();
  ~AccessibleProxy();
  AccessibleProxy(const AccessibleProxy&) = delete;
  AccessibleProxy& operator=(const AccessibleProxy&) = delete;

  bool Loaded() const { return createProxy_ != nullptr && resultFromObject_ != nullptr; }
  // The WM_GETOBJECT result for OBJID_CLIENT, as the class proxyClass
  // ("Button", "msctls_progress32") would give it; 0 when there is none.
  LRESULT Answer(HWND window, WPARAM wParam, const wchar_t* proxyClass) const;

 private:
  using CreateProxyFunction = HRESULT(WINAPI*)(HWND, LPCWSTR, LONG, REFIID, void**);
  using ResultFromObjectFunction = LRESULT(WINAPI*)(REFIID, WPARAM, IUnknown*);

  HMODULE library_ = nullptr;
  CreateProxyFunction createProxy_ = nullptr;
  ResultFromObjectFunction resultFromObject_ = nullptr;
};

}  // namespace platform::win32
