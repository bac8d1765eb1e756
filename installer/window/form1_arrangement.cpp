#include "installer/window/form1_arrangement.h"

#include "installer/texts.h"
#include "installer/voice_identity.h"

namespace installer {
namespace {

using Property = Arrangement::ButtonChange::Property;

Arrangement::ButtonChange Enabled(ButtonRole button, bool value) { return {button, Property::Enabled, value}; }
Arrangement::ButtonChange Hidden(ButtonRole button) { return {button, Property::Visible, false}; }

std::string Caption(std::string_view ending) { return std::string(VoiceIdentity::kVoiceName) + std::string(ending); }

}  // namespace

Arrangement ArrangeState(const VoiceStatus& status) {
  // Only the buttons that do something in the state are offered, and
  // install or repair only with the data to do it.
  const bool data = !status.dataMissing;
  Arrangement arrangement;
  arrangement.caption = StatusCaption(status);
  switch (status.state) {
    case VoiceState::Installed:
      arrangement.progressVisible = false;
      arrangement.buttons = {Enabled(ButtonRole::Install, false), Hidden(ButtonRole::Uninstall),
                             Enabled(ButtonRole::Repair, false)};
      break;
    case VoiceState::Absent:
      arrangement.buttons = {Enabled(ButtonRole::Install, data), Hidden(ButtonRole::Uninstall),
                             Enabled(ButtonRole::UninstallBehind, false), Enabled(ButtonRole::Repair, false)};
      break;
    case VoiceState::Incomplete:
      arrangement.buttons = {Enabled(ButtonRole::Repair, data), Enabled(ButtonRole::Install, false),
                             Enabled(ButtonRole::Uninstall, true)};
      break;
  }
  return arrangement;
}

Arrangement ArrangeBusy(Operation operation) {
  Arrangement arrangement;
  arrangement.progressRuns = true;
  if (operation == Operation::Install) {
    arrangement.buttons = {Enabled(ButtonRole::Install, false)};
    arrangement.caption = Caption(texts::kCaptionInstalling);
  } else {
    arrangement.buttons = {Enabled(ButtonRole::Uninstall, false), Enabled(ButtonRole::UninstallBehind, false),
                           Enabled(ButtonRole::Repair, false)};
    arrangement.caption = Caption(texts::kCaptionRepairing);
  }
  return arrangement;
}

Arrangement ArrangeFinish(const Outcome& outcome, bool wasBusy) {
  Arrangement arrangement;
  if (wasBusy) {
    // Whatever the extraction came to, the bar stops and the full one shows.
    arrangement.progressRuns = false;
    arrangement.progressVisible = false;
    arrangement.fullVisible = true;
  } else if (outcome.operation == Operation::Uninstall && outcome.Succeeded()) {
    arrangement.progressVisible = true;
    arrangement.fullVisible = false;
    arrangement.caption = Caption(texts::kCaptionAbsent);
  }
  return arrangement;
}

}  // namespace installer
