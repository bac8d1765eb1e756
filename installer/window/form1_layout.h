#pragma once
// Where the installer window's controls stand, front to back: where two
// overlap, the earlier one covers the later one.
#include <array>
#include <string_view>

#include "installer/form_view.h"
#include "installer/window/control_ids.h"

namespace installer {

inline constexpr int kClientWidthPixels = 245;  // 3675 x 2520 twips
inline constexpr int kClientHeightPixels = 168;

struct ControlLayout {
  std::string_view name;
  std::string_view className;
  int left, top;  // twips; the size comes from the stored extent
  int tabIndex;
  int windowId;
};

inline constexpr std::array<ControlLayout, 7> kForm1Controls{{
    {"QORButtonXZ", "QORButton", 2280, 840, 3, IDC_QORBUTTON_XZ},
    {"Xp_ProgressBar1", "Xp_ProgressBar", 120, 2160, 0, IDC_PROGRESSBAR_1},
    {"QORButtonXF", "QORButton", 2280, 1440, 2, IDC_QORBUTTON_XF},
    {"QORButtonAZ", "QORButton", 2280, 240, 1, IDC_QORBUTTON_AZ},
    {"Xp_ProgressBar2", "Xp_ProgressBar", 120, 2160, 6, IDC_PROGRESSBAR_2},
    {"QORButtonXFT", "QORButton", 2280, 1440, 4, IDC_QORBUTTON_XFT},
    {"QORButtonXZT", "QORButton", 2280, 840, 5, IDC_QORBUTTON_XZT},
}};

// Image1 lies behind all of them.
inline constexpr int kImage1Left = 240;
inline constexpr int kImage1Top = 240;

inline constexpr std::string_view NameOf(ButtonId button) {
  switch (button) {
    case ButtonId::AZ: return "QORButtonAZ";
    case ButtonId::XZ: return "QORButtonXZ";
    case ButtonId::XF: return "QORButtonXF";
    case ButtonId::XFT: return "QORButtonXFT";
    case ButtonId::XZT: return "QORButtonXZT";
  }
  return {};
}

inline constexpr std::string_view NameOf(BarId bar) {
  return bar == BarId::Bar1 ? "Xp_ProgressBar1" : "Xp_ProgressBar2";
}

}  // namespace installer
