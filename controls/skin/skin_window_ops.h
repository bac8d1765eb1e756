#pragma once
// The window calls the skin makes on its parent and on the desktop. Window
// handles are opaque numbers; 0 is no window, and a call on it does nothing
// (a rectangle of it reads all zero). Failures are not reported.
#include <cstdint>
#include <optional>
#include <string>

#include "controls/skin/skin_geometry.h"

namespace controls::skin {

inline constexpr int kStyleIndex = -16;    // GWL_STYLE
inline constexpr int kExStyleIndex = -20;  // GWL_EXSTYLE

inline constexpr std::uint32_t kNoSize = 0x0001;          // SWP_NOSIZE
inline constexpr std::uint32_t kNoMove = 0x0002;          // SWP_NOMOVE
inline constexpr std::uint32_t kNoZOrder = 0x0004;        // SWP_NOZORDER
inline constexpr std::uint32_t kFrameChanged = 0x0020;    // SWP_FRAMECHANGED

class SkinWindowOps {
 public:
  virtual ~SkinWindowOps() = default;

  // GetWindowRect: screen pixels.
  virtual ScreenRect WindowRect(std::uintptr_t window) = 0;
  // GetWindowTextLengthA / GetWindowTextA, returned as UTF-8.
  virtual std::string WindowText(std::uintptr_t window) = 0;
  // GetWindowLongA / SetWindowLongA; the write returns the previous value.
  virtual std::int32_t ReadWindowLong(std::uintptr_t window, int index) = 0;
  virtual std::int32_t WriteWindowLong(std::uintptr_t window, int index, std::int32_t value) = 0;
  virtual void SetWindowPos(std::uintptr_t window, std::uintptr_t insertAfter, int x, int y, int width, int height,
                            std::uint32_t flags) = 0;
  // CreateRoundRectRgn (0, 0)-(right, bottom), ellipse e x e, handed to the
  // window with SetWindowRgn and an immediate redraw.
  virtual void SetRoundRegion(std::uintptr_t window, int right, int bottom, int ellipse) = 0;
  // ReleaseCapture, then WM_NCLBUTTONDOWN with HTCAPTION sent to the window:
  // returns when the system's move loop has ended.
  virtual void BeginTitleDrag(std::uintptr_t window) = 0;
  // CloseWindow: minimises, does not destroy.
  virtual void Minimise(std::uintptr_t window) = 0;

  // The window that directly contains the window (GetParent); 0 for none.
  virtual std::uintptr_t ParentOf(std::uintptr_t window) = 0;
  // The monitor nearest to the window and its work area, the part the
  // taskbar leaves free wherever it is docked (MonitorFromWindow,
  // GetMonitorInfo). All zero when there is no monitor to ask.
  virtual MonitorArea MonitorOf(std::uintptr_t window) = 0;
  // DrawFocusRect on the whole screen: drawing the same rectangle twice
  // leaves the screen as it was.
  virtual void InvertFocusRect(const ScreenRect& rect) = 0;

  // Runs the pending window messages, then returns.
  virtual void DoEvents() = 0;
  // Ends the program at once, without unload handling.
  virtual void EndProgram() = 0;
};

}  // namespace controls::skin
