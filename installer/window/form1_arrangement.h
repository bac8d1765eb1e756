#pragma once
// How the installer window shows what the logic tells it: for each state,
// the busy extraction and the end, the changes to its controls over what
// stands. Portable, so that the table is tested natively.
#include <optional>
#include <string>
#include <vector>

#include "installer/outcome.h"
#include "installer/voice_status.h"

namespace installer {

// The five buttons by what they do. Two stand behind others, in the same
// place: they show where the one in front is hidden.
enum class ButtonRole {
  Install,
  Uninstall,
  Repair,
  RepairBehind,     // behind Repair
  UninstallBehind,  // behind Uninstall: the uninstall button of the installed voice
};
// The two bars, in the same place: Progress in front while the extractor
// runs, Full behind it, shown once the voice is there.
enum class BarRole { Progress, Full };

struct Arrangement {
  struct ButtonChange {
    enum class Property { Enabled, Visible };
    ButtonRole button;
    Property property;
    bool value;
    bool operator==(const ButtonChange&) const = default;
  };
  std::optional<std::string> caption;
  std::vector<ButtonChange> buttons;
  std::optional<bool> progressVisible;
  std::optional<bool> fullVisible;
  std::optional<bool> progressRuns;  // the timer that keeps the progress bar moving
  bool operator==(const Arrangement&) const = default;
};

// What the start-up found.
Arrangement ArrangeState(const VoiceStatus& status);
// The extractor runs for an install or a repair.
Arrangement ArrangeBusy(Operation operation);
// An operation has come out, before its box; wasBusy: the extractor ran.
Arrangement ArrangeFinish(const Outcome& outcome, bool wasBusy);

}  // namespace installer
