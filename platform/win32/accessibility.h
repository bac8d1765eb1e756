#pragma once
// Answers WM_GETOBJECT for the client area of a self-drawn control with the
// system's standard accessible object of the window (its name is the window
// text), reporting the role of a push button or a progress bar.
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

  bool Loaded() const { return createObject_ != nullptr && resultFromObject_ != nullptr; }
  // The WM_GETOBJECT result for OBJID_CLIENT with the given ROLE_SYSTEM_*
  // role; 0 when none can be made, so the default answer stands.
  LRESULT Answer(HWND window, WPARAM wParam, long role) const;

 private:
  using CreateObjectFunction = HRESULT(WINAPI*)(HWND, LONG, REFIID, void**);
  using ResultFromObjectFunction = LRESULT(WINAPI*)(REFIID, WPARAM, IUnknown*);

  HMODULE library_ = nullptr;
  CreateObjectFunction createObject_ = nullptr;
  ResultFromObjectFunction resultFromObject_ = nullptr;
};

}  // namespace platform::win32
