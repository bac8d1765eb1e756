#pragma once
// The gallery's main window: push buttons in their looks and states, a
// progress bar in each of the eight looks, a taller one and a busy runner
// kept moving by a timer. Closing it ends the program.
#include <windows.h>

#include <memory>
#include <vector>

#include "controls/button/qor_button.h"
#include "controls/gallery/text_tag.h"
#include "controls/progressbar/xp_progress_bar.h"
#include "platform/runtime/timer.h"
#include "platform/win32/host_window.h"

namespace gallery {

class GalleryWindow {
 public:
  // reportError shows a value a bar rejects.
  explicit GalleryWindow(controls::progressbar::ErrorReporter reportError);
  GalleryWindow(const GalleryWindow&) = delete;
  GalleryWindow& operator=(const GalleryWindow&) = delete;

  HWND Handle() const { return window_.Handle(); }
  void Show() { window_.Show(); }
  // Until the window is closed.
  void Run() { window_.Run(); }
  void Close() { window_.Close(); }

 private:
  void AddTag(int windowId, int left, int top, int width, const std::string& text, bool bold = false);
  void AddButtons();
  void AddBars();
  void StepMarquee();

  controls::progressbar::ErrorReporter reportError_;
  // Declared after the window: the controls go first, while their sites exist.
  platform::win32::HostWindow window_;
  std::vector<std::unique_ptr<TextTag>> tags_;
  std::vector<std::unique_ptr<controls::QORButton>> buttons_;
  std::vector<std::unique_ptr<controls::Xp_ProgressBar>> bars_;
  controls::Xp_ProgressBar* marquee_ = nullptr;  // one of bars_
  std::unique_ptr<platform::Timer> marqueeTimer_;   // last: stops before the bar it moves goes
};

}  // namespace gallery
