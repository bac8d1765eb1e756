#pragma once
// The installer window's controls: the one table that says, for each, its
// name (also the name of its stored properties in form1.design), its kind,
// what the voice logic calls it, where it stands, its place in the tab order,
// its window identifier, and the action that taking the focus starts.
//
// The first focus: when the window is shown, the focus goes to the first
// visible, enabled control in tab order, Xp_ProgressBar1 (tab index 0). It
// is a bar, so no action starts by itself; one Tab reaches QORButtonAZ.
#include <array>
#include <string_view>
#include <variant>

#include "installer/form1_logic.h"
#include "installer/form_view.h"
#include "installer/window/control_ids.h"

namespace installer {

inline constexpr int kClientWidthPixels = 245;  // 3675 x 2520 twips
inline constexpr int kClientHeightPixels = 168;

struct ControlDefinition {
  std::string_view name;
  std::variant<ButtonId, BarId> id;  // a QORButton or an Xp_ProgressBar
  int left, top;                     // twips; the size comes from the stored extent
  int tabIndex;
  int windowId;
  void (Form1Logic::*gotFocus)();    // null: taking the focus starts nothing

  bool IsButton() const { return std::holds_alternative<ButtonId>(id); }
  std::string_view ClassName() const { return IsButton() ? "QORButton" : "Xp_ProgressBar"; }
};

// Front to back: where two overlap, the earlier one covers the later one.
inline constexpr std::array<ControlDefinition, 7> kForm1Controls{{
    {"QORButtonXZ", ButtonId::XZ, 2280, 840, 3, IDC_QORBUTTON_XZ, &Form1Logic::QORButtonXZ_GotFocus},
    {"Xp_ProgressBar1", BarId::Bar1, 120, 2160, 0, IDC_PROGRESSBAR_1, nullptr},
    {"QORButtonXF", ButtonId::XF, 2280, 1440, 2, IDC_QORBUTTON_XF, &Form1Logic::QORButtonXF_GotFocus},
    {"QORButtonAZ", ButtonId::AZ, 2280, 240, 1, IDC_QORBUTTON_AZ, &Form1Logic::QORButtonAZ_GotFocus},
    {"Xp_ProgressBar2", BarId::Bar2, 120, 2160, 6, IDC_PROGRESSBAR_2, nullptr},
    {"QORButtonXFT", ButtonId::XFT, 2280, 1440, 4, IDC_QORBUTTON_XFT, nullptr},
    {"QORButtonXZT", ButtonId::XZT, 2280, 840, 5, IDC_QORBUTTON_XZT, &Form1Logic::QORButtonXZT_GotFocus},
}};

// Image1 lies behind all of them.
inline constexpr int kImage1Left = 240;
inline constexpr int kImage1Top = 240;

// The row of a control, by what the voice logic calls it or by its name;
// every ButtonId and BarId has one.
template <typename Id>
constexpr const ControlDefinition* Find(Id id) {
  for (const ControlDefinition& control : kForm1Controls) {
    if (const Id* own = std::get_if<Id>(&control.id); own && *own == id) return &control;
  }
  return nullptr;
}
constexpr const ControlDefinition* FindByName(std::string_view name) {
  for (const ControlDefinition& control : kForm1Controls) {
    if (control.name == name) return &control;
  }
  return nullptr;
}
template <typename Id>
constexpr std::string_view NameOf(Id id) {
  const ControlDefinition* control = Find(id);
  return control ? control->name : std::string_view();
}

}  // namespace installer
