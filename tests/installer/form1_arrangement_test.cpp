// The installer window's arrangement of each state, busy extraction and end,
// applied over the design's controls (all shown and enabled, both bars
// shown, the progress timer off), as the window applies it.
#include <gtest/gtest.h>

#include <map>
#include <string>

#include "installer/window/form1_arrangement.h"

namespace {

using installer::Arrangement;
using installer::ButtonRole;
using installer::Operation;
using installer::Outcome;
using installer::VoiceState;
using installer::VoiceStatus;

struct Button {
  bool enabled = true;
  bool visible = true;
};

struct Window {
  std::string caption = "(design)";
  std::map<ButtonRole, Button> buttons{{ButtonRole::Install, {}},
                                       {ButtonRole::Uninstall, {}},
                                       {ButtonRole::Repair, {}},
                                       {ButtonRole::RepairBehind, {}},
                                       {ButtonRole::UninstallBehind, {}}};
  bool progressVisible = true;
  bool fullVisible = true;
  bool progressRuns = false;

  void Apply(const Arrangement& arrangement) {
    if (arrangement.caption) caption = *arrangement.caption;
    for (const Arrangement::ButtonChange& change : arrangement.buttons) {
      Button& button = buttons.at(change.button);
      (change.property == Arrangement::ButtonChange::Property::Enabled ? button.enabled : button.visible) = change.value;
    }
    progressVisible = arrangement.progressVisible.value_or(progressVisible);
    fullVisible = arrangement.fullVisible.value_or(fullVisible);
    progressRuns = arrangement.progressRuns.value_or(progressRuns);
  }
};

TEST(Form1Arrangement, EachStateOffersOnlyWhatItAllows) {
  struct Case {
    VoiceStatus status;
    // expected
    const char* caption;
    bool installEnabled, uninstallVisible, repairEnabled, uninstallBehindEnabled, progressVisible;
  };
  const auto I = VoiceState::Installed, A = VoiceState::Absent, N = VoiceState::Incomplete;
  // clang-format off
  const Case cases[] = {
    // status      caption                 install uninst. repair  behind  progress
    {{I, false},   "Ilvo - 音源已安装",     false,  false,  false,  true,   false},
    {{I, true},    "Ilvo - 安装文件缺失",   false,  false,  false,  true,   false},
    {{A, false},   "Ilvo - 音源不存在",     true,   false,  false,  false,  true},
    {{A, true},    "Ilvo - 安装文件缺失",   false,  false,  false,  false,  true},
    {{N, false},   "Ilvo - 音源不完全",     false,  true,   true,   true,   true},
    {{N, true},    "Ilvo - 安装文件缺失",   false,  true,   false,  true,   true},
  };
  // clang-format on
  for (const Case& c : cases) {
    SCOPED_TRACE(c.caption + std::string(", state ") + std::to_string(static_cast<int>(c.status.state)));
    Window window;
    window.Apply(installer::ArrangeState(c.status));
    EXPECT_EQ(window.caption, c.caption);
    EXPECT_EQ(window.buttons[ButtonRole::Install].enabled, c.installEnabled);
    EXPECT_EQ(window.buttons[ButtonRole::Uninstall].visible, c.uninstallVisible);
    EXPECT_EQ(window.buttons[ButtonRole::Repair].enabled, c.repairEnabled);
    EXPECT_EQ(window.buttons[ButtonRole::UninstallBehind].enabled, c.uninstallBehindEnabled);
    EXPECT_EQ(window.progressVisible, c.progressVisible);
    // Never touched by a state.
    EXPECT_TRUE(window.buttons[ButtonRole::Uninstall].enabled);
    EXPECT_TRUE(window.buttons[ButtonRole::Install].visible);
    EXPECT_TRUE(window.buttons[ButtonRole::Repair].visible);
    EXPECT_TRUE(window.buttons[ButtonRole::RepairBehind].visible && window.buttons[ButtonRole::RepairBehind].enabled);
    EXPECT_TRUE(window.buttons[ButtonRole::UninstallBehind].visible);
    EXPECT_TRUE(window.fullVisible);
    EXPECT_FALSE(window.progressRuns);
  }
}

TEST(Form1Arrangement, TheBusyStateDisablesTheOperationsButtonsAndRunsTheBar) {
  Window install;
  install.Apply(installer::ArrangeState({VoiceState::Absent, false}));
  install.Apply(installer::ArrangeBusy(Operation::Install));
  EXPECT_EQ(install.caption, "Ilvo - 安装中");
  EXPECT_FALSE(install.buttons[ButtonRole::Install].enabled);
  EXPECT_TRUE(install.progressRuns);

  Window repair;
  repair.Apply(installer::ArrangeState({VoiceState::Incomplete, false}));
  repair.Apply(installer::ArrangeBusy(Operation::Repair));
  EXPECT_EQ(repair.caption, "Ilvo - 修复中");
  for (const ButtonRole role : {ButtonRole::Install, ButtonRole::Uninstall, ButtonRole::UninstallBehind,
                                ButtonRole::Repair}) {
    EXPECT_FALSE(repair.buttons[role].enabled) << static_cast<int>(role);
  }
  EXPECT_TRUE(repair.progressRuns);
}

TEST(Form1Arrangement, TheEndStopsTheBarOrShowsTheVoiceGone) {
  const Outcome installed = Outcome::Success(Operation::Install, "音源[安装]成功！");
  const Outcome failed = Outcome::Failure(Operation::Repair, "音源文件不完整");
  const Outcome uninstalled = Outcome::Success(Operation::Uninstall, "音源[删除]成功！");
  for (const Outcome& outcome : {installed, failed}) {
    SCOPED_TRACE(outcome.message);
    Window window;
    window.Apply(installer::ArrangeBusy(outcome.operation));
    window.Apply(installer::ArrangeFinish(outcome, true));
    EXPECT_FALSE(window.progressRuns);
    EXPECT_FALSE(window.progressVisible);
    EXPECT_TRUE(window.fullVisible);
    EXPECT_EQ(window.caption, outcome.operation == Operation::Install ? "Ilvo - 安装中" : "Ilvo - 修复中");
  }
  Window window;
  window.Apply(installer::ArrangeState({VoiceState::Installed, false}));
  window.Apply(installer::ArrangeFinish(uninstalled, false));
  EXPECT_EQ(window.caption, "Ilvo - 音源不存在");
  EXPECT_TRUE(window.progressVisible);
  EXPECT_FALSE(window.fullVisible);
  // Before the extractor ran, or a failed uninstall: the box alone.
  EXPECT_EQ(installer::ArrangeFinish(failed, false), Arrangement{});
  EXPECT_EQ(installer::ArrangeFinish(Outcome::Failure(Operation::Uninstall, "无法删除注册表记录"), false),
            Arrangement{});
}

}  // namespace
