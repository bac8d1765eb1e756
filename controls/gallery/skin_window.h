#pragma once
// A top-level window that QORSkin takes over: the skin strips the window's
// own frame and paints its face around a bar and two buttons.
#include <windows.h>

#include <functional>
#include <memory>
#include <vector>

#include "controls/button/qor_button.h"
#include "controls/progressbar/xp_progress_bar.h"
#include "controls/skin/qor_skin.h"
#include "controls/skin/win32_skin_window_ops.h"
#include "platform/win32/host_window.h"

namespace gallery {

// What sets one skinned window apart from another.
struct SkinVariant {
  const char* caption = nullptr;
  bool changeSize = true;
};

class SkinWindow {
 public:
  // endProgram is what the skin's close button does.
  SkinWindow(const SkinVariant& variant, controls::progressbar::ErrorReporter reportError, std::function<void()> endProgram);
  SkinWindow(const SkinWindow&) = delete;
  SkinWindow& operator=(const SkinWindow&) = delete;

  HWND Handle() const { return window_.Handle(); }
  void Show() { window_.Show(); }

 private:
  platform::win32::HostWindow window_;
  controls::skin::Win32SkinWindowOps ops_;
  // Declared after the window and the ops: the controls go first.
  std::vector<std::unique_ptr<controls::QORButton>> buttons_;
  std::unique_ptr<controls::Xp_ProgressBar> bar_;
  std::unique_ptr<controls::QORSkin> skin_;
};

}  // namespace gallery
