#pragma once
// A skin on a recording site, with a parent window on a fake desktop and every
// event it raises written down by name.
#include <gtest/gtest.h>

#include <algorithm>
#include <memory>
#include <string>
#include <vector>

#include "controls/skin/qor_skin.h"
#include "tests/controls/skin/fake_skin_window_ops.h"
#include "tests/fakes/fake_control_site.h"

namespace skin_tests {

class SkinTest : public ::testing::Test {
 protected:
  static constexpr int kWidth = controls::QORSkin::kDesignWidth;
  static constexpr int kHeight = controls::QORSkin::kDesignHeight;

  fakes::FakeControlSite site{kWidth, kHeight};
  FakeSkinWindowOps ops;
  std::unique_ptr<controls::QORSkin> skin;
  // Handlers that write down every event; a test changes one and sets them again.
  controls::QORSkin::Events skinEvents;
  std::vector<std::string> events;
  std::vector<platform::MouseArgs> mouseArgs;
  // What the TitleEndbutton handler leaves in the flag.
  bool keepRunningAnswer = false;

  void Create(bool runMode) {
    skin.reset();
    site.labels.clear();
    site.timers.clear();
    site.parentHandle = FakeSkinWindowOps::kParent;
    skin = std::make_unique<controls::QORSkin>(site, ops, runMode);
    const auto plain = [this](const char* name) { return [this, name] { events.push_back(name); }; };
    const auto mouse = [this](const char* name) {
      return [this, name](platform::MouseArgs& args) {
        events.push_back(name);
        mouseArgs.push_back(args);
      };
    };
    skinEvents = {
        .resize = plain("Resize"),
        .click = plain("Click"),
        .dblClick = plain("DblClick"),
        .titleClick = plain("TitleClick"),
        .titleDblClick = plain("TitleDblClick"),
        .titleRebutton = plain("TitleRebutton"),
        .titleMinbutton = plain("TitleMinbutton"),
        .titleEndbutton =
            [this](bool& keepRunning) {
              events.push_back(keepRunning ? "TitleEndbutton(True)" : "TitleEndbutton(False)");
              keepRunning = keepRunningAnswer;
            },
        .mouseDown = mouse("MouseDown"),
        .mouseMove = mouse("MouseMove"),
        .mouseUp = mouse("MouseUp"),
        .titleMouseDown = mouse("TitleMouseDown"),
        .titleMouseMove = mouse("TitleMouseMove"),
        .titleMouseUp = mouse("TitleMouseUp"),
        .oleDragDrop = {},
    };
    skin->SetEvents(skinEvents);
  }

  // A run-mode skin attached to a parent window at the rectangle, with the
  // records cleared.
  void Attach(ScreenRect parent) {
    Create(true);
    ops.parentRect = parent;
    skin->UserControl_ReadProperties({});
    Timer1().Fire();
    ClearRecords();
  }

  void ClearRecords() {
    events.clear();
    mouseArgs.clear();
    site.surface.ops.clear();
    ops.calls.clear();
    ops.positions.clear();
    ops.longWrites.clear();
    ops.regions.clear();
  }

  fakes::FakeLabel& TitleBar() { return *site.labels.at(0); }
  fakes::FakeLabel& Captions() { return *site.labels.at(1); }
  fakes::FakeLabel& SysButton(int index) { return *site.labels.at(2 + static_cast<std::size_t>(index)); }
  fakes::FakeTimer& Timer1() { return *site.timers.at(0); }

  static platform::MouseArgs At(float x, float y, std::int16_t button = platform::kLeftButton) {
    return {.button = button, .shift = 0, .x = x, .y = y};
  }
  void FaceDown(float x, float y, std::int16_t button = platform::kLeftButton) { site.handlers.mouseDown(At(x, y, button)); }
  void FaceMove(float x, float y) { site.handlers.mouseMove(At(x, y, platform::kLeftButton)); }
  void FaceUp(float x, float y) { site.handlers.mouseUp(At(x, y)); }
  void TitleDoubleClick() { TitleBar().Handlers().dblClick(); }
  void ClickSysButton(int index) { SysButton(index).Handlers().click(); }

  std::ptrdiff_t Count(const std::string& name) const { return std::count(events.begin(), events.end(), name); }

  // Lines of the face gradient: those that span the whole width from x 0.
  std::vector<fakes::DrawOp> GradientLines() const {
    std::vector<fakes::DrawOp> lines;
    for (const auto& op : site.surface.OpsOfKind(fakes::DrawOp::Line))
      if (op.x1 == 0 && op.x2 == site.surface.widthTwips) lines.push_back(op);
    return lines;
  }
};

}  // namespace skin_tests
