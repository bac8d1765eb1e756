#pragma once
// The installer window: its controls built from the stored design data, the
// voice logic wired to their focus notifications and to the two timers.
#include <map>
#include <memory>
#include <string>

#include "controls/button/qor_button.h"
#include "controls/progressbar/xp_progress_bar.h"
#include "installer/form1_logic.h"
#include "installer/form_view.h"
#include "platform/runtime/design_data.h"
#include "platform/services.h"
#include "platform/win32/host_window.h"

namespace installer {

class Form1 final : public FormView {
 public:
  // Builds the window hidden; a design that lacks a control or names it with
  // another class throws std::runtime_error, one that holds a value of the
  // wrong type platform::PropertyConversionError.
  Form1(platform::Services services, const platform::DesignData& design);
  ~Form1() override;
  Form1(const Form1&) = delete;
  Form1& operator=(const Form1&) = delete;

  // Loads the voice state and, unless another instance runs, shows the window
  // and runs it until it closes.
  void Run();
  HWND Handle() const { return window_.Handle(); }

  // FormView
  void SetCaption(const std::string& text) override;
  std::string Caption() const override;
  void SetButtonCaption(ButtonId button, const std::string& text) override;
  void SetButtonEnabled(ButtonId button, bool enabled) override;
  void SetButtonVisible(ButtonId button, bool visible) override;
  void SetBarVisible(BarId bar, bool visible) override;
  void SetBarStyle(BarId bar, std::int32_t style) override;
  void SetBarMax(BarId bar, std::int32_t max) override;
  void SetBarValue(BarId bar, std::int32_t value) override;
  std::int32_t BarValue(BarId bar) const override;
  void SetTimerEnabled(TimerId timer, bool enabled) override;
  void SetTimerInterval(TimerId timer, int milliseconds) override;

 private:
  void CreateControls(const platform::DesignData& design);
  void OnGotFocus(const std::string& control);
  controls::QORButton& ButtonOf(ButtonId button);
  controls::Xp_ProgressBar& BarOf(BarId bar) const;
  platform::Timer& TimerOf(TimerId timer);

  platform::Services services_;
  platform::win32::HostWindow window_;
  // The controls draw on sites the window owns, so they are declared after it.
  std::map<std::string, std::unique_ptr<controls::QORButton>, std::less<>> buttons_;
  std::map<std::string, std::unique_ptr<controls::Xp_ProgressBar>, std::less<>> bars_;
  std::unique_ptr<platform::Timer> timer1_;
  std::unique_ptr<platform::Timer> timer2_;
  Form1Logic logic_;
};

}  // namespace installer
