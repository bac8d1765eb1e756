#pragma once
// Timers of one window: each gets its own id on the window (SetTimer), and
// WM_TIMER is handed to Dispatch. A timer may outlive the window or the
// WindowTimers; it then simply never fires again.
#include <windows.h>

#include <functional>
#include <map>
#include <memory>

#include "platform/runtime/timer.h"

namespace platform::win32 {

class WindowTimers {
 public:
  WindowTimers();
  ~WindowTimers();
  WindowTimers(const WindowTimers&) = delete;
  WindowTimers& operator=(const WindowTimers&) = delete;

  // The window the timers run on; null once it is destroyed.
  void SetWindow(HWND window);

  std::unique_ptr<Timer> Create(int intervalMs, bool enabled, std::function<void()> tick);

  // Runs the tick of that id; false when the id is not one of these timers.
  bool Dispatch(UINT_PTR id);

  struct Registry;

 private:
  std::shared_ptr<Registry> registry_;
};

}  // namespace platform::win32
