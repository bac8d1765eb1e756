#pragma once
// Placing the gallery's controls in pixels and giving them the looks shown.
#include <memory>
#include <string>
#include <string_view>

#include "controls/button/qor_button.h"
#include "controls/progressbar/xp_progress_bar.h"
#include "platform/colour.h"
#include "platform/win32/host_window.h"

namespace gallery {

struct PixelRect {
  int left = 0;
  int top = 0;
  int width = 0;
  int height = 0;
};

struct ControlSpot {
  std::string name;
  int windowId = 0;
  PixelRect rect;
  int tabIndex = -1;  // below 0: neither reached by Tab nor focused by a click
};

// A control name such as "QORButton1".
std::string Numbered(std::string_view prefix, int number);

// Adds the control's site to the window, behind the controls added before.
platform::win32::Win32ControlSite& AddControlAt(platform::win32::HostWindow& window, const ControlSpot& spot);

struct ButtonLook {
  std::string caption;
  platform::Colour backColor = controls::QORButton::kDefaultBackColor;
  bool enabled = true;
};

std::unique_ptr<controls::QORButton> MakeButton(platform::win32::Win32ControlSite& site, const ButtonLook& look);

struct BarLook {
  int progressLook = 0;
  int style = 0;  // 0 blocks, otherwise the busy runner
  int value = 0;  // of Max 100
};

std::unique_ptr<controls::Xp_ProgressBar> MakeBar(platform::win32::Win32ControlSite& site,
                                                     controls::progressbar::ErrorReporter reportError, const BarLook& look);

}  // namespace gallery
