#include "installer/window/form1.h"

#include <stdexcept>

#include "installer/window/form1_layout.h"
#include "installer/window/resource_ids.h"
#include "platform/colour.h"
#include "platform/units.h"
#include "platform/win32/resources.h"

#undef MessageBox  // windows.h's macro would rename the service's method

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
  progressTimer_ = window_.CreateTimer(10, false, [this] { OnProgressTick(); });
  window_.SetGotFocusHandler([this](const std::string& control) { OnGotFocus(control); });
  // While the extractor runs the program ends with its message, not before.
  window_.SetCloseRequestHandler([this] { return logic_.Busy(); });
  window_.SetQuitRefusal([this] { return logic_.Busy(); });
  window_.SetEndSessionHandlers({.blockReason = [this] { return logic_.SessionEndBlockReason(); },
                                 // The system ends the program anyway; ending it here, before the
                                 // extractor's end is told, keeps a half-extracted voice from being
                                 // registered.
                                 .ended = [this] {
                                   if (logic_.Busy()) services_.app.EndProgram();
                                 }});
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
      button->SetCaption(std::string(control.caption));
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
  picture.SetHandlers({.click = {}, .dblClick = [this] { logic_.AskThenExport(); }});
}

void Form1::Run() {
  // The full bar stands behind the progress bar from the start.
  controls::Xp_ProgressBar& full = BarOf(BarRole::Full);
  full.SetMax(2);
  full.SetValue(2);
  full.SetStyle(0);
  if (logic_.Start() == StartResult::AnotherCopyRuns) return;
  window_.Show();
  services_.app.Mark("window shown");
  window_.Run();
}

void Form1::OnGotFocus(const std::string& control) {
  const ControlDefinition* found = FindByName(control);
  if (found && found->gotFocus) (logic_.*found->gotFocus)();
}

void Form1::ShowState(const VoiceStatus& status) { Apply(ArrangeState(status)); }

void Form1::ShowBusy(Operation operation) {
  busyShown_ = true;
  Apply(ArrangeBusy(operation));
}

bool Form1::Ask(Question question) { return ShowBox(BoxFor(question)) == platform::kAnswerOk; }

void Form1::Report(const Outcome& outcome) { ShowBox(BoxFor(outcome)); }

void Form1::Finish(const Outcome& outcome) {
  Apply(ArrangeFinish(outcome, busyShown_));
  if (busyShown_) services_.app.Mark("bars switched");
  if (!outcome.message.empty()) ShowBox(BoxFor(outcome));
  services_.app.EndProgram();
}

void Form1::Apply(const Arrangement& arrangement) {
  for (const Arrangement::ButtonChange& change : arrangement.buttons) {
    if (change.property == Arrangement::ButtonChange::Property::Enabled) {
      ButtonOf(change.button).SetEnabled(change.value);
    } else {
      window_.SetControlVisible(NameOf(change.button), change.value);
    }
  }
  if (arrangement.progressVisible) window_.SetControlVisible(NameOf(BarRole::Progress), *arrangement.progressVisible);
  if (arrangement.fullVisible) window_.SetControlVisible(NameOf(BarRole::Full), *arrangement.fullVisible);
  if (arrangement.progressRuns) progressTimer_->SetEnabled(*arrangement.progressRuns);
  // The caption last: whoever sees it (a person, an accessibility tool, a
  // test) then finds the controls already arranged for it.
  if (arrangement.caption) window_.SetCaption(*arrangement.caption);
}

void Form1::OnProgressTick() {
  // The first tick after the design's 10 ms settles the bar and the pace.
  controls::Xp_ProgressBar& progress = BarOf(BarRole::Progress);
  progress.SetStyle(1);
  progressTimer_->SetInterval(30);
  progress.SetValue(1);
  progress.SetMax(100);
}

int Form1::ShowBox(const MessageBoxText& box) {
  return services_.app.MessageBox(box.text, box.title, box.buttons, box.icon);
}

controls::QORButton& Form1::ButtonOf(ButtonRole button) { return *buttons_.find(NameOf(button))->second; }
controls::Xp_ProgressBar& Form1::BarOf(BarRole bar) { return *bars_.find(NameOf(bar))->second; }

}  // namespace installer
