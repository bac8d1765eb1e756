#pragma once
// The installer window's controls: the one table that says, for each, its
// name (also the name of its stored properties in form1.design), its role
// and with it its kind, its caption, where it stands, its place in the tab
// order, its window identifier, and the operation that taking the focus
// starts.
//
// The first focus: when the window is shown, the focus goes to the first
// visible, enabled control in tab order, Xp_ProgressBar1 (tab index 0). It
// is a bar, so no action starts by itself; one Tab reaches QORButtonAZ.
#include <array>
#include <string_view>
#include <variant>

#include "installer/texts.h"
#include "installer/voice_installer.h"
#include "installer/window/control_ids.h"
#include "installer/window/form1_arrangement.h"

namespace installer {

inline constexpr int kClientWidthPixels = 245;  // 3675 x 2520 twips
inline constexpr int kClientHeightPixels = 168;

struct ControlDefinition {
  std::string_view name;
  std::variant<ButtonRole, BarRole> role;  // a QORButton or an Xp_ProgressBar
  std::string_view caption;                // a button's
  int left, top;                           // twips; the size comes from the stored extent
  int tabIndex;
  int windowId;
  void (VoiceInstaller::*gotFocus)();      // null: taking the focus starts nothing

  bool IsButton() const { return std::holds_alternative<ButtonRole>(role); }
  std::string_view ClassName() const { return IsButton() ? "QORButton" : "Xp_ProgressBar"; }
};

// Front to back: where two overlap, the earlier one covers the later one.
inline constexpr std::array<ControlDefinition, 7> kForm1Controls{{
    {"QORButtonXZ", ButtonRole::Uninstall, texts::kButtonUninstall, 2280, 840, 3, IDC_QORBUTTON_XZ,
     &VoiceInstaller::AskThenUninstall},
    {"Xp_ProgressBar1", BarRole::Progress, {}, 120, 2160, 0, IDC_PROGRESSBAR_1, nullptr},
    {"QORButtonXF", ButtonRole::Repair, texts::kButtonRepair, 2280, 1440, 2, IDC_QORBUTTON_XF,
     &VoiceInstaller::InstallOrRepair},
    {"QORButtonAZ", ButtonRole::Install, texts::kButtonInstall, 2280, 240, 1, IDC_QORBUTTON_AZ,
     &VoiceInstaller::InstallOrRepair},
    {"Xp_ProgressBar2", BarRole::Full, {}, 120, 2160, 6, IDC_PROGRESSBAR_2, nullptr},
    {"QORButtonXFT", ButtonRole::RepairBehind, texts::kButtonRepair, 2280, 1440, 4, IDC_QORBUTTON_XFT, nullptr},
    {"QORButtonXZT", ButtonRole::UninstallBehind, texts::kButtonUninstall, 2280, 840, 5, IDC_QORBUTTON_XZT,
     &VoiceInstaller::AskThenUninstall},
}};

// Image1 lies behind all of them.
inline constexpr int kImage1Left = 240;
inline constexpr int kImage1Top = 240;

// The row of a control, by its role or by its name; every role has one.
template <typename Role>
constexpr const ControlDefinition* Find(Role role) {
  for (const ControlDefinition& control : kForm1Controls) {
    if (const Role* own = std::get_if<Role>(&control.role); own && *own == role) return &control;
  }
  return nullptr;
}
constexpr const ControlDefinition* FindByName(std::string_view name) {
  for (const ControlDefinition& control : kForm1Controls) {
    if (control.name == name) return &control;
  }
  return nullptr;
}
template <typename Role>
constexpr std::string_view NameOf(Role role) {
  const ControlDefinition* control = Find(role);
  return control ? control->name : std::string_view();
}

}  // namespace installer
