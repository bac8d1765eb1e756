#pragma once
// Messages a control's surface window sends to the window that hosts it, so
// that keyboard focus is run by the host under any message loop.
#include <windows.h>

namespace platform::win32 {

// Tab or Shift+Tab in a control: wParam 1 to go backwards, lParam the control.
inline constexpr UINT kFocusStepRequest = WM_APP + 0x3A0;
// A control got the keyboard focus: lParam the control.
inline constexpr UINT kChildGotFocus = WM_APP + 0x3A1;
// A control was hidden or disabled and cannot keep the focus: lParam the control.
inline constexpr UINT kChildLeftTabOrder = WM_APP + 0x3A2;

}  // namespace platform::win32
