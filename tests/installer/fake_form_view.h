#pragma once
// A FormView for tests: keeps the state of the caption, buttons, bars and
// timers (design state: all shown and enabled, both bars style 1, range 0 to
// 100, Timer1 disabled at 10 ms, Timer2 enabled at 0 ms) and writes every
// call into a call log.
#include <cstdint>
#include <map>
#include <string>
#include <vector>

#include "installer/form_view.h"

namespace fakes {

class FakeFormView : public installer::FormView {
 public:
  using ButtonId = installer::ButtonId;
  using BarId = installer::BarId;
  using TimerId = installer::TimerId;

  struct Button {
    std::string caption;
    bool enabled = true;
    bool visible = true;
  };
  struct Bar {
    bool visible = true;
    std::int32_t style = 1;
    std::int32_t max = 100;
    std::int32_t value = 0;
  };
  struct Timer {
    bool enabled = false;
    int interval = 0;
  };

  explicit FakeFormView(std::vector<std::string>* log = nullptr) : log_(log) {
    buttons[ButtonId::AZ].caption = "AZ";
    buttons[ButtonId::XZ].caption = "XZ";
    buttons[ButtonId::XF].caption = "XF";
    buttons[ButtonId::XFT].caption = "XFT";
    buttons[ButtonId::XZT].caption = "XZT";
    bars[BarId::Bar1];
    bars[BarId::Bar2];
    timers[TimerId::Timer1] = {false, 10};
    timers[TimerId::Timer2] = {true, 0};
  }

  static std::string Name(ButtonId id) {
    switch (id) {
      case ButtonId::AZ: return "AZ";
      case ButtonId::XZ: return "XZ";
      case ButtonId::XF: return "XF";
      case ButtonId::XFT: return "XFT";
      case ButtonId::XZT: return "XZT";
    }
    return "?";
  }
  static std::string Name(BarId id) { return id == BarId::Bar1 ? "Bar1" : "Bar2"; }
  static std::string Name(TimerId id) { return id == TimerId::Timer1 ? "Timer1" : "Timer2"; }

  void SetCaption(const std::string& text) override {
    Note("Caption " + text);
    caption = text;
  }
  std::string Caption() const override { return caption; }
  void SetButtonCaption(ButtonId button, const std::string& text) override {
    Note(Name(button) + ".Caption " + text);
    buttons[button].caption = text;
  }
  void SetButtonEnabled(ButtonId button, bool enabled) override {
    Note(Name(button) + ".Enabled " + Bool(enabled));
    buttons[button].enabled = enabled;
  }
  void SetButtonVisible(ButtonId button, bool visible) override {
    Note(Name(button) + ".Visible " + Bool(visible));
    buttons[button].visible = visible;
  }
  void SetBarVisible(BarId bar, bool visible) override {
    Note(Name(bar) + ".Visible " + Bool(visible));
    bars[bar].visible = visible;
  }
  void SetBarStyle(BarId bar, std::int32_t style) override {
    Note(Name(bar) + ".Style " + std::to_string(style));
    bars[bar].style = style;
  }
  void SetBarMax(BarId bar, std::int32_t max) override {
    Note(Name(bar) + ".Max " + std::to_string(max));
    bars[bar].max = max;
  }
  void SetBarValue(BarId bar, std::int32_t value) override {
    Note(Name(bar) + ".Value " + std::to_string(value));
    bars[bar].value = value;
  }
  std::int32_t BarValue(BarId bar) const override {
    Note(Name(bar) + ".Value?");
    return bars.at(bar).value;
  }
  void SetTimerEnabled(TimerId timer, bool enabled) override {
    Note(Name(timer) + ".Enabled " + Bool(enabled));
    timers[timer].enabled = enabled;
  }
  void SetTimerInterval(TimerId timer, int milliseconds) override {
    Note(Name(timer) + ".Interval " + std::to_string(milliseconds));
    timers[timer].interval = milliseconds;
  }

  std::string caption;
  std::map<ButtonId, Button> buttons;
  std::map<BarId, Bar> bars;
  std::map<TimerId, Timer> timers;

 private:
  static std::string Bool(bool value) { return value ? "1" : "0"; }
  void Note(std::string line) const {
    if (log_ != nullptr) log_->push_back(std::move(line));
  }
  std::vector<std::string>* log_;
};

}  // namespace fakes
