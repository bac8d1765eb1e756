#include "installer/window/form1.h"

#include <stdexcept>

#include "installer/window/form1_layout.h"
#include "installer/window/resource_ids.h"
#include "platform/colour.h"
#include "platform/units.h"
#include "platform/win32/resources.h"

namespace installer {
namespace {

using platform::win32::AccessibleRole;
using platform::win32::Win32ControlSite;

// The container stores a control's size in 0.01 mm.
int ExtentToTwips(std::int32_t hundredthsOfMillimetre) {
  return platform::RoundHalfEven(hundredthsOfMillimetre * 1440.0 / 2540.0);
}

const platform::ControlDesign& DesignOf(const platform::DesignData& design, const ControlDefinition& control) {
  const platform::ControlDesign* found = design.Find(control.name);
  if (!found) throw std::runtime_error("the window's design data has no control named " + std::string(control.name));
  if (found->className != control.ClassName())
    throw std::runtime_error("the window's design data makes " + std::string(control.name) + " a " +
                             found->className + ", not a " + std::string(control.ClassName()));
  return *found;
}

}  // namespace

Form1::Form1(platform::Services services, const platform::DesignData& design)
    : services_(services),
      window_({.caption = "",
               .clientWidth = kClientWidthPixels,
               .clientHeight = kClientHeightPixels,
               .iconResourceId = IDI_ILVO}),
      logic_(services, *this) {
  services_.app.Mark("main window created");
  CreateControls(design);
  timer1_ = window_.CreateTimer(10, false, [this] { logic_.Timer1_Timer(); });
  timer2_ = window_.CreateTimer(0, true, [this] { logic_.Timer2_Timer(); });
  window_.SetGotFocusHandler([this](const std::string& control) { OnGotFocus(control); });
  window_.SetCloseRequestHandler([this] {
    std::int16_t cancel = 0;
    logic_.Form_Unload(cancel);
    return cancel != 0;
  });
  // While the extractor runs the program ends with its message, not before.
  window_.SetQuitRefusal([this] { return logic_.Busy == 1; });
  window_.SetEndSessionHandlers({.blockReason = [this] { return logic_.Form_QueryEndSession(); },
                                 .ended = [this] { logic_.Form_EndSession(); }});
}

Form1::~Form1() = default;

void Form1::CreateControls(const platform::DesignData& design) {
  for (const ControlDefinition& control : kForm1Controls) {
    const platform::ControlDesign& stored = DesignOf(design, control);
    const platform::PropertyBag& bag = stored.properties;
    Win32ControlSite& site = window_.AddControl(
        {.name = std::string(control.name),
         .rect = {control.left, control.top, ExtentToTwips(bag.ReadInt32("_extentx", 0)),
                  ExtentToTwips(bag.ReadInt32("_extenty", 0))},
         .tabIndex = control.tabIndex});
    SetWindowLongPtrW(site.Handle(), GWLP_ID, control.windowId);
    if (control.IsButton()) {
      site.SetAccessibleRole(AccessibleRole::PushButton);
      auto button = std::make_unique<controls::QORButton>(site);
      button->UserControl_ReadProperties(bag);
      buttons_.emplace(control.name, std::move(button));
    } else {
      site.SetAccessibleRole(AccessibleRole::ProgressBar);
      auto bar = std::make_unique<controls::Xp_ProgressBar>(
          site, controls::progressbar::CriticalMessageBox(services_.app));
      bar->UserControl_ReadProperties(bag);
      bars_.emplace(control.name, std::move(bar));
    }
    site.ReportSize();
  }
  auto& picture = window_.AddPicture("Image1", kImage1Left, kImage1Top);
  SetWindowLongPtrW(picture.Handle(), GWLP_ID, IDC_IMAGE_1);
  if (auto voice = platform::win32::LoadBitmapResource(IDB_VOICE)) picture.SetPicture(*voice);
  picture.SetHandlers({.click = {}, .dblClick = [this] { logic_.Image1_DblClick(); }});
}

void Form1::Run() {
  if (logic_.Form_Load() == LoadResult::Unload) return;
  window_.Show();
  services_.app.Mark("window shown");
  window_.Run();
}

void Form1::OnGotFocus(const std::string& control) {
  const ControlDefinition* found = FindByName(control);
  if (found && found->gotFocus) (logic_.*found->gotFocus)();
}

void Form1::SetCaption(const std::string& text) { window_.SetCaption(text); }
std::string Form1::Caption() const { return window_.Caption(); }

void Form1::SetButtonCaption(ButtonId button, const std::string& text) { ButtonOf(button).SetCaption(text); }
void Form1::SetButtonEnabled(ButtonId button, bool enabled) { ButtonOf(button).SetEnabled(enabled); }
void Form1::SetButtonVisible(ButtonId button, bool visible) { window_.SetControlVisible(NameOf(button), visible); }
void Form1::SetBarVisible(BarId bar, bool visible) { window_.SetControlVisible(NameOf(bar), visible); }
void Form1::SetBarStyle(BarId bar, std::int32_t style) { BarOf(bar).SetStyle(style); }
void Form1::SetBarMax(BarId bar, std::int32_t max) { BarOf(bar).SetMax(max); }
void Form1::SetBarValue(BarId bar, std::int32_t value) { BarOf(bar).SetValue(value); }
std::int32_t Form1::BarValue(BarId bar) const { return BarOf(bar).Value(); }
void Form1::SetTimerEnabled(TimerId timer, bool enabled) { TimerOf(timer).SetEnabled(enabled); }
void Form1::SetTimerInterval(TimerId timer, int milliseconds) { TimerOf(timer).SetInterval(milliseconds); }

controls::QORButton& Form1::ButtonOf(ButtonId button) { return *buttons_.find(NameOf(button))->second; }
controls::Xp_ProgressBar& Form1::BarOf(BarId bar) const { return *bars_.find(NameOf(bar))->second; }
platform::Timer& Form1::TimerOf(TimerId timer) { return timer == TimerId::Timer1 ? *timer1_ : *timer2_; }

}  // namespace installer
