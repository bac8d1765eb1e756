#pragma once
// The installer window: its controls built from the stored design data, the
// voice logic wired to their focus notifications, and the logic's states and
// outcomes shown on them (form1_arrangement.h) and in its boxes.
#include <map>
#include <memory>
#include <string>

#include "controls/button/qor_button.h"
#include "controls/progressbar/xp_progress_bar.h"
#include "installer/form_view.h"
#include "installer/voice_installer.h"
#include "installer/window/form1_arrangement.h"
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
  void ShowState(const VoiceStatus& status) override;
  void ShowBusy(Operation operation) override;
  bool Ask(Question question) override;
  void Report(const Outcome& outcome) override;
  void Finish(const Outcome& outcome) override;  // ends the program

 private:
  void CreateControls(const platform::DesignData& design);
  void OnGotFocus(const std::string& control);
  void Apply(const Arrangement& arrangement);
  // Keeps the progress bar moving while the extractor runs.
  void OnProgressTick();
  int ShowBox(const MessageBoxText& box);
  controls::QORButton& ButtonOf(ButtonRole button);
  controls::Xp_ProgressBar& BarOf(BarRole bar);

  platform::Services services_;
  platform::win32::HostWindow window_;
  // The controls draw on sites the window owns, so they are declared after it.
  std::map<std::string, std::unique_ptr<controls::QORButton>, std::less<>> buttons_;
  std::map<std::string, std::unique_ptr<controls::Xp_ProgressBar>, std::less<>> bars_;
  std::unique_ptr<platform::Timer> progressTimer_;
  bool busyShown_ = false;
  VoiceInstaller logic_;
};

}  // namespace installer
