#pragma once
// The window as the voice logic sees it: the caption, the five buttons, the
// two bars and the two timers. Form1 implements it on the real controls;
// native tests use a fake.
#include <cstdint>
#include <string>

namespace installer {

enum class ButtonId { AZ, XZ, XF, XFT, XZT };
enum class BarId { Bar1, Bar2 };  // Xp_ProgressBar1, Xp_ProgressBar2
enum class TimerId { Timer1, Timer2 };
// How an install, repair, uninstall or export came out.
enum class ActionResult { Succeeded, Failed };

class FormView {
 public:
  virtual ~FormView() = default;

  virtual void SetCaption(const std::string& text) = 0;
  virtual std::string Caption() const = 0;

  virtual void SetButtonCaption(ButtonId button, const std::string& text) = 0;
  virtual void SetButtonEnabled(ButtonId button, bool enabled) = 0;
  virtual void SetButtonVisible(ButtonId button, bool visible) = 0;

  virtual void SetBarVisible(BarId bar, bool visible) = 0;
  virtual void SetBarStyle(BarId bar, std::int32_t style) = 0;
  virtual void SetBarMax(BarId bar, std::int32_t max) = 0;
  virtual void SetBarValue(BarId bar, std::int32_t value) = 0;
  virtual std::int32_t BarValue(BarId bar) const = 0;

  virtual void SetTimerEnabled(TimerId timer, bool enabled) = 0;
  virtual void SetTimerInterval(TimerId timer, int milliseconds) = 0;

  // Told when an action has come to its end, before its closing message. The
  // window needs nothing from it; the command-line mode turns it into the
  // program's exit code.
  virtual void ActionEnded(ActionResult /*result*/) {}
};

}  // namespace installer
