#include "controls/button/qor_button.h"

#include <gtest/gtest.h>

#include <functional>
#include <memory>
#include <optional>
#include <ostream>
#include <sstream>
#include <string>
#include <vector>

#include "controls/button/button_paint.h"
#include "tests/fakes/fake_control_site.h"

namespace controls {
namespace {

using namespace button;  // the looks' colours and steps
using fakes::DrawOp;
using platform::Colour;
using platform::MouseArgs;
using platform::Rgb;

// Remembers how far the drawing had got when the window shape was set.
class OrderedSite : public fakes::FakeControlSite {
 public:
  using FakeControlSite::FakeControlSite;
  std::vector<std::size_t> opsBeforeRegion;
  void SetRoundRegion(int right, int bottom, int ellipse) override {
    opsBeforeRegion.push_back(surface.ops.size());
    FakeControlSite::SetRoundRegion(right, bottom, ellipse);
  }
};

struct BoxOp {
  double x1, y1, x2, y2;
  Colour colour;
  bool operator==(const BoxOp&) const = default;
};

void PrintTo(const BoxOp& box, std::ostream* out) {
  *out << "(" << box.x1 << "," << box.y1 << ")-(" << box.x2 << "," << box.y2 << ") #" << std::hex << box.colour;
}

std::string Describe(const MouseArgs& args) {
  std::ostringstream text;
  text << args.button << " " << args.shift << " " << args.x << " " << args.y;
  return text.str();
}

// An 81 x 25 pixel button (the installer's size) on a recording site, with
// every event it raises written down.
class ButtonRig {
 public:
  ButtonRig() {
    button.SetEvents({
        .mouseDown = [this](MouseArgs args) { events.push_back("MouseDown " + Describe(args)); },
        .mouseMove = [this](MouseArgs args) { events.push_back("MouseMove " + Describe(args)); },
        .mouseUp = [this](MouseArgs args) { events.push_back("MouseUp " + Describe(args)); },
        .click = [this] { events.push_back("Click"); },
    });
  }

  fakes::FakeLabel& Captions() { return *site.labels.at(0); }
  fakes::FakeTimer& HoverPoll() { return *site.timers.at(0); }
  const platform::LabelHandlers& Label() { return Captions().Handlers(); }

  void TickWithPointerAt(int x, int y) {
    site.cursor = {x, y};
    HoverPoll().Fire();
  }
  // Idle with the normal look: the first tick finds the pointer outside.
  void Settle() {
    TickWithPointerAt(-100, -100);
    ForgetDrawing();
  }
  void ForgetDrawing() {
    site.surface.ops.clear();
    site.regions.clear();
    site.opsBeforeRegion.clear();
  }

  // The drawing as runs of one kind, e.g. "Clear Line*76 Box*2 Pixel*16".
  std::string Shape() const {
    static const char* const names[] = {"Clear", "Line", "Box", "Pixel", "Picture", "Icon"};
    std::string shape;
    const auto& ops = site.surface.ops;
    for (std::size_t i = 0; i < ops.size();) {
      std::size_t run = i;
      while (run < ops.size() && ops[run].kind == ops[i].kind) ++run;
      if (!shape.empty()) shape += " ";
      shape += names[ops[i].kind];
      if (run - i > 1) {
        shape += '*';
        shape += std::to_string(run - i);
      }
      i = run;
    }
    return shape;
  }
  std::vector<BoxOp> Boxes() const {
    std::vector<BoxOp> boxes;
    for (const auto& op : site.surface.OpsOfKind(DrawOp::Box)) {
      EXPECT_EQ(op.units, platform::Units::Twips);
      boxes.push_back({op.x1, op.y1, op.x2, op.y2, op.colour});
    }
    return boxes;
  }
  Colour LastLineColour() const { return site.surface.OpsOfKind(DrawOp::Line).back().colour; }

  OrderedSite site{1215, 375};
  QORButton button{site};
  std::vector<std::string> events;
};

class QORButtonTest : public ::testing::Test, protected ButtonRig {};

const std::vector<BoxOp> kNormalBoxes = {{0, 0, 1190, 350, kDarkEdge}, {15, 15, 1175, 335, kWhite}};
const std::vector<BoxOp> kHoverBoxes = {
    {30, 30, 1160, 320, kWhite}, {15, 15, 1175, 335, kDarkEdge}, {0, 0, 1190, 350, kHoverEdge}};
const std::vector<BoxOp> kPressedBoxes = {{40, 40, 1140, 300, kWhite},
                                          {30, 30, 1150, 310, kDarkEdge},
                                          {15, 15, 1175, 335, kPressedGrey},
                                          {0, 0, 1190, 350, kDarkEdge}};

std::vector<BoxOp> Concat(std::vector<BoxOp> a, const std::vector<BoxOp>& b) {
  a.insert(a.end(), b.begin(), b.end());
  return a;
}

TEST_F(QORButtonTest, CreationMakesTheDesignLabelAndARunningTimerAndDrawsNothing) {
  ASSERT_EQ(site.labels.size(), 1u);
  EXPECT_EQ(Captions().Font().face, "");
  EXPECT_FALSE(Captions().Bold());
  EXPECT_EQ(Captions().Caption(), "Capion");
  EXPECT_EQ(Captions().TextColour(), platform::kSysWindowText);
  EXPECT_EQ(Captions().Left(), 0);
  EXPECT_EQ(Captions().Top(), 0);
  EXPECT_TRUE(Captions().Visible());
  EXPECT_EQ(site.accessibleName, "Capion");
  ASSERT_EQ(site.timers.size(), 1u);
  EXPECT_EQ(HoverPoll().Interval(), 100);
  EXPECT_TRUE(HoverPoll().Enabled());

  button.InitProperties();
  EXPECT_EQ(button.BackColor(), 0xF4F4F4u);
  EXPECT_EQ(button.Caption(), "Capion");
  EXPECT_EQ(button.CaptionColor(), platform::kSysWindowText);
  EXPECT_TRUE(site.surface.ops.empty());
  EXPECT_TRUE(site.regions.empty());
  EXPECT_EQ(button.hwnd(), site.handle);
}

TEST_F(QORButtonTest, ResizeDrawsTheNormalLookShapesTheWindowAndCentresTheCaption) {
  site.Resize(1215, 375);
  EXPECT_EQ(Shape(), "Clear Line*76 Box*2 Pixel*16");
  EXPECT_EQ(site.surface.ops.front().colour, platform::kSysButtonFace);
  EXPECT_EQ(Boxes(), kNormalBoxes);
  EXPECT_EQ(LastLineColour(), Rgb(206, 206, 206));

  // Four black diagonals of four pixels, one per corner, drawn a step at a
  // time from the outer end; the last step lies outside the 81 x 25 surface.
  const platform::Point corners[] = {{2, 0},  {2, 23},  {77, 0}, {77, 23}, {1, 1},  {1, 22},  {78, 1}, {78, 22},
                                     {0, 2},  {0, 21},  {79, 2}, {79, 21}, {-1, 3}, {-1, 20}, {80, 3}, {80, 20}};
  const auto pixels = site.surface.OpsOfKind(DrawOp::Pixel);
  ASSERT_EQ(pixels.size(), std::size(corners));
  for (std::size_t i = 0; i < pixels.size(); ++i) {
    EXPECT_EQ(pixels[i].x1, corners[i].x) << i;
    EXPECT_EQ(pixels[i].y1, corners[i].y) << i;
    EXPECT_EQ(pixels[i].colour, 0x000000u) << i;
  }

  ASSERT_EQ(site.regions.size(), 1u);
  EXPECT_EQ(site.regions[0].right, 81);
  EXPECT_EQ(site.regions[0].bottom, 25);
  EXPECT_EQ(site.regions[0].ellipse, 5);
  EXPECT_EQ(site.opsBeforeRegion, std::vector<std::size_t>{1});  // after clearing, before the gradient

  // "Capion": 540 x 180 twips on 1215 x 375, unrounded.
  EXPECT_EQ(Captions().Left(), 337.5);
  EXPECT_EQ(Captions().Top(), 97.5);
}

// Every look from Idle with the normal look showing.
TEST(QORButtonLooks, EachDrawingMomentDrawsItsLookInOrder) {
  struct Case {
    const char* moment;
    std::function<void(ButtonRig&)> act;
    const char* shape;
    std::vector<BoxOp> boxes;
    int lastLine;
    bool regionSet;
    bool bold;
    QORButton::Look look;
  };
  const Case cases[] = {
      {"move", [](ButtonRig& r) { r.site.handlers.mouseMove({}); }, "Line*54 Pixel*16 Box*3", kHoverBoxes, 218,
       false, false, QORButton::Look::Hover},
      {"move over the label", [](ButtonRig& r) { r.Label().mouseMove({}); }, "Line*54 Pixel*16 Box*3",
       kHoverBoxes, 218, false, false, QORButton::Look::Hover},
      {"press", [](ButtonRig& r) { r.site.handlers.mouseDown({1, 0, 30, 30}); }, "Line*126 Box*4 Pixel*16",
       kPressedBoxes, 182, false, true, QORButton::Look::Pressed},
      {"right press on the label", [](ButtonRig& r) { r.Label().mouseDown({2, 0, 0, 0}); },
       "Line*126 Box*4 Pixel*16", kPressedBoxes, 182, false, true, QORButton::Look::Pressed},
      {"surface double-click", [](ButtonRig& r) { r.site.handlers.dblClick(); }, "Line*126 Box*4 Pixel*16",
       kPressedBoxes, 182, false, true, QORButton::Look::Pressed},
      {"label double-click", [](ButtonRig& r) { r.Label().dblClick(); }, "Line*126 Box*4 Pixel*16",
       kPressedBoxes, 182, false, true, QORButton::Look::Pressed},
      {"release", [](ButtonRig& r) { r.site.handlers.mouseUp({1, 0, 30, 30}); },
       "Clear Line*76 Box*2 Pixel*16 Line*54 Pixel*16 Box*3", Concat(kNormalBoxes, kHoverBoxes), 218, true, false, QORButton::Look::Hover},
      {"BackColor write", [](ButtonRig& r) { r.button.SetBackColor(0xF4F4F4); }, "Clear Line*76 Box*2 Pixel*16",
       kNormalBoxes, 206, true, false, QORButton::Look::Normal},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.moment);
    ButtonRig rig;
    rig.Settle();
    c.act(rig);
    EXPECT_EQ(rig.Shape(), c.shape);
    EXPECT_EQ(rig.Boxes(), c.boxes);
    EXPECT_EQ(rig.LastLineColour(), Rgb(c.lastLine, c.lastLine, c.lastLine));
    EXPECT_EQ(rig.site.regions.size(), c.regionSet ? 1u : 0u);
    EXPECT_EQ(rig.Captions().Bold(), c.bold);
    EXPECT_EQ(rig.button.CurrentLook(), c.look);
  }
}

TEST(QORButtonEvents, MouseDownComesAfterThePressedLookAndTheBoldCaption) {
  // A container that draws in its MouseDown handler must not be drawn over.
  for (const bool onLabel : {false, true}) {
    SCOPED_TRACE(onLabel ? "press on the label" : "press on the surface");
    ButtonRig rig;
    rig.Settle();
    std::optional<bool> boldInHandler;
    std::vector<BoxOp> boxesInHandler;
    rig.button.SetEvents({.mouseDown =
                              [&](MouseArgs) {
                                boldInHandler = rig.Captions().Bold();
                                boxesInHandler = rig.Boxes();
                              },
                          .mouseMove = {},
                          .mouseUp = {},
                          .click = {}});
    (onLabel ? rig.Label().mouseDown : rig.site.handlers.mouseDown)({1, 0, 30, 30});
    EXPECT_EQ(boldInHandler, true);
    EXPECT_EQ(boxesInHandler, kPressedBoxes);
  }
}

TEST(QORButtonEvents, NotificationsRaiseEventsInOrder) {
  enum Source { Surface, Label };
  enum Kind { Down, Move, Up, Click, DblClick };
  struct Step {
    Source source;
    Kind kind;
    MouseArgs args{};
  };
  struct Case {
    const char* sequence;
    std::vector<Step> steps;
    std::vector<std::string> events;
  };
  const MouseArgs at{1, 0, 30, 45};
  const Case cases[] = {
      {"press, release, click on the surface",
       {{Surface, Down, at}, {Surface, Up, at}, {Surface, Click}},
       {"MouseDown 1 0 30 45", "MouseUp 1 0 30 45", "Click"}},
      {"double-click on the surface",
       {{Surface, Down, at}, {Surface, Up, at}, {Surface, Click}, {Surface, DblClick}, {Surface, Up, at}},
       {"MouseDown 1 0 30 45", "MouseUp 1 0 30 45", "Click", "MouseDown 1 0 0 0", "Click", "MouseUp 1 0 30 45"}},
      {"double-click on the label",
       {{Label, Down, at}, {Label, Up, at}, {Label, Click}, {Label, DblClick}, {Label, Up, at}},
       {"MouseDown 1 0 30 45", "MouseUp 1 0 30 45", "Click", "MouseDown 1 0 0 0", "MouseUp 1 0 30 45"}},
      {"right button with shift on the label, passed on as reported",
       {{Label, Down, {2, 1, 6, 7}}, {Label, Move, {2, 1, 0, 0}}, {Label, Up, {2, 1, 6, 7}}},
       {"MouseDown 2 1 6 7", "MouseMove 2 1 0 0", "MouseUp 2 1 6 7"}},
      {"moves raise MouseMove each time, also while the hover look is up",
       {{Surface, Move, {0, 0, 15, 30}}, {Surface, Move, {0, 0, 30, 30}}, {Label, Move, {0, 0, 0, 0}}},
       {"MouseMove 0 0 15 30", "MouseMove 0 0 30 30", "MouseMove 0 0 0 0"}},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.sequence);
    ButtonRig rig;
    for (const auto& step : c.steps) {
      const auto& s = rig.site.handlers;
      const auto& l = rig.Label();
      switch (step.kind) {
        case Down: (step.source == Surface ? s.mouseDown : l.mouseDown)(step.args); break;
        case Move: (step.source == Surface ? s.mouseMove : l.mouseMove)(step.args); break;
        case Up: (step.source == Surface ? s.mouseUp : l.mouseUp)(step.args); break;
        case Click: (step.source == Surface ? s.click : l.click)(); break;
        case DblClick: (step.source == Surface ? s.dblClick : l.dblClick)(); break;
      }
    }
    EXPECT_EQ(rig.events, c.events);
  }
}

TEST_F(QORButtonTest, HoverStartsOnTheFirstMoveAndLaterMovesDrawNothing) {
  Settle();
  EXPECT_FALSE(HoverPoll().Enabled());
  site.handlers.mouseMove({0, 0, 15, 15});
  EXPECT_EQ(Shape(), "Line*54 Pixel*16 Box*3");
  EXPECT_TRUE(HoverPoll().Enabled());

  ForgetDrawing();
  site.handlers.mouseMove({0, 0, 30, 15});
  Label().mouseMove({0, 0, 0, 0});
  EXPECT_EQ(Shape(), "");
  EXPECT_TRUE(HoverPoll().Enabled());
}

TEST_F(QORButtonTest, CreatedUnderThePointerTheFirstTickKeepsHoverAndMovesDrawNothing) {
  TickWithPointerAt(40, 12);
  site.handlers.mouseMove({0, 0, 600, 180});
  EXPECT_EQ(Shape(), "");
  EXPECT_TRUE(HoverPoll().Enabled());
}

TEST_F(QORButtonTest, TickWithThePointerOutsideRestoresTheNormalLookAndStopsTheTimer) {
  Settle();
  site.handlers.mouseMove({});
  site.handlers.mouseDown({1, 0, 30, 30});
  ASSERT_TRUE(Captions().Bold());
  ForgetDrawing();

  TickWithPointerAt(81, 26);
  EXPECT_EQ(Shape(), "Clear Line*76 Box*2 Pixel*16");
  EXPECT_EQ(Boxes(), kNormalBoxes);
  EXPECT_EQ(button.CurrentLook(), QORButton::Look::Normal);
  EXPECT_FALSE(Captions().Bold());
  EXPECT_FALSE(HoverPoll().Enabled());
}

TEST_F(QORButtonTest, PointerOnTheEdgeCountsAsInside) {
  Settle();
  site.handlers.mouseMove({});
  ForgetDrawing();
  for (platform::Point edge : {platform::Point{0, 0}, platform::Point{81, 25}, platform::Point{81, 0}}) {
    TickWithPointerAt(edge.x, edge.y);
    EXPECT_EQ(Shape(), "") << edge.x << "," << edge.y;
    EXPECT_TRUE(HoverPoll().Enabled());
  }
  TickWithPointerAt(82, 25);
  EXPECT_FALSE(HoverPoll().Enabled());
}

TEST_F(QORButtonTest, ReleaseWithTheTimerStoppedLeavesTheHoverLookAndTheTimerStopped) {
  Settle();
  site.handlers.mouseDown({1, 0, 30, 30});
  site.handlers.mouseUp({1, 0, 30, 30});
  EXPECT_FALSE(HoverPoll().Enabled());
  EXPECT_EQ(Boxes().back(), kHoverBoxes.back());
}

// The release never comes when the button is disabled while held: the press
// ends there, with the normal look, a regular caption and no event.
TEST_F(QORButtonTest, APressCutShortByALostCaptureLeavesNoPressedLook) {
  Settle();
  site.handlers.mouseDown({1, 0, 30, 30});
  ASSERT_TRUE(Captions().Bold());
  events.clear();
  ForgetDrawing();
  site.handlers.captureLost();
  EXPECT_EQ(Shape(), "Clear Line*76 Box*2 Pixel*16");
  EXPECT_EQ(Boxes(), kNormalBoxes);
  EXPECT_FALSE(Captions().Bold());
  EXPECT_TRUE(events.empty());
}

TEST_F(QORButtonTest, BackColorWriteWhileHoveredDrawsTheNormalLookAndKeepsTheTimer) {
  Settle();
  site.handlers.mouseMove({});
  ForgetDrawing();

  button.SetBackColor(0x00FF00);
  EXPECT_EQ(button.BackColor(), 0x00FF00u);
  EXPECT_EQ(Shape(), "Clear Line*76 Box*2 Pixel*16");
  EXPECT_EQ(site.surface.OpsOfKind(DrawOp::Line).front().colour, 0x00FF00u);  // no red or blue: flat
  EXPECT_EQ(LastLineColour(), 0x00FF00u);
  EXPECT_TRUE(HoverPoll().Enabled());

  ForgetDrawing();
  site.handlers.mouseMove({});
  EXPECT_EQ(Shape(), "");
}

TEST_F(QORButtonTest, BackColorWriteWhilePressedKeepsTheCaptionBold) {
  site.handlers.mouseDown({1, 0, 30, 30});
  button.SetBackColor(0xC0C0C0);
  EXPECT_TRUE(Captions().Bold());
}

TEST_F(QORButtonTest, CaptionStaysAtItsLeftEdgeUntilTheNextResizeHandler) {
  site.Resize(1215, 375);
  ASSERT_EQ(Captions().Left(), 337.5);

  site.handlers.mouseDown({1, 0, 30, 30});
  EXPECT_TRUE(Captions().Bold());
  EXPECT_EQ(Captions().Width(), 630);
  EXPECT_EQ(Captions().Left(), 337.5);

  // Centred while still bold: the caption turns regular after the look.
  site.handlers.mouseUp({1, 0, 30, 30});
  EXPECT_FALSE(Captions().Bold());
  EXPECT_EQ(Captions().Left(), 292.5);

  ForgetDrawing();
  button.SetCaption("A longer caption");
  EXPECT_EQ(button.Caption(), "A longer caption");
  EXPECT_EQ(site.accessibleName, "A longer caption");
  EXPECT_EQ(Captions().Left(), 292.5);
  EXPECT_EQ(Shape(), "");

  TickWithPointerAt(-1, 0);
  EXPECT_EQ(Captions().Left(), 607.5 - 720);  // wider than the surface: cut off on both sides
  EXPECT_EQ(Captions().Top(), 97.5);
}

TEST_F(QORButtonTest, CaptionColorAndEnabledGoToTheLabelAndSurfaceWithoutDrawing) {
  button.SetCaptionColor(0x0000FF);
  EXPECT_EQ(button.CaptionColor(), 0x0000FFu);
  EXPECT_EQ(Captions().TextColour(), 0x0000FFu);

  button.SetEnabled(false);
  EXPECT_FALSE(site.enabled);
  EXPECT_FALSE(Captions().Enabled());
  EXPECT_FALSE(button.Enabled());
  EXPECT_TRUE(HoverPoll().Enabled());
  EXPECT_EQ(Shape(), "");

  site.enabled = true;
  EXPECT_TRUE(button.Enabled());  // read back from the surface
  button.SetEnabled(true);
  EXPECT_TRUE(Captions().Enabled());
}

TEST_F(QORButtonTest, LoadingFromAnEmptyStoreGivesTheStoredDefaultsAndDrawsTheNormalLook) {
  button.UserControl_ReadProperties(platform::PropertyBag{});
  EXPECT_TRUE(button.Enabled());
  EXPECT_EQ(button.Caption(), "Button");
  EXPECT_EQ(button.BackColor(), 0xF4F4F4u);
  EXPECT_EQ(button.CaptionColor(), 0u);
  EXPECT_EQ(Shape(), "Clear Line*76 Box*2 Pixel*16");
}

TEST_F(QORButtonTest, SavingLeavesOutValuesEqualToTheirDefaults) {
  button.UserControl_ReadProperties(platform::PropertyBag{});
  platform::PropertyBag saved;
  button.UserControl_WriteProperties(saved);
  EXPECT_TRUE(saved.Entries().empty());

  // A new instance keeps the design caption and colour, which are not defaults.
  ButtonRig fresh;
  fresh.button.InitProperties();
  fresh.button.UserControl_WriteProperties(saved);
  EXPECT_EQ(saved.Raw("Caption"), platform::PropertyValue(std::string("Capion")));
  EXPECT_EQ(saved.Raw("CaptionColor"), platform::PropertyValue(static_cast<std::int32_t>(platform::kSysWindowText)));
  fresh.button.SetCaption("Button");
  fresh.button.SetCaptionColor(0);
  platform::PropertyBag again;
  fresh.button.UserControl_WriteProperties(again);
  EXPECT_TRUE(again.Entries().empty());
}

TEST_F(QORButtonTest, SavedValuesLoadBackIntoAnotherInstance) {
  button.SetEnabled(false);
  button.SetCaption("安装");
  button.SetBackColor(0x00FF00);
  button.SetCaptionColor(platform::kSysWindowText);
  platform::PropertyBag saved;
  button.UserControl_WriteProperties(saved);
  EXPECT_EQ(saved.Raw("enabled"), platform::PropertyValue(false));
  EXPECT_EQ(saved.Raw("backcolor"), platform::PropertyValue(std::int32_t{0x00FF00}));

  ButtonRig other;
  other.button.UserControl_ReadProperties(saved);
  EXPECT_FALSE(other.button.Enabled());
  EXPECT_FALSE(other.Captions().Enabled());
  EXPECT_EQ(other.button.Caption(), "安装");
  EXPECT_EQ(other.button.BackColor(), 0x00FF00u);
  EXPECT_EQ(other.button.CaptionColor(), platform::kSysWindowText);
}

TEST_F(QORButtonTest, KeysMatchWithoutRegardToCase) {
  platform::PropertyBag design;
  design.Set("caption", std::string("XZ"));
  design.Set("ENABLED", false);
  design.Set("BackColor", std::int16_t{255});
  button.UserControl_ReadProperties(design);
  EXPECT_EQ(button.Caption(), "XZ");
  EXPECT_FALSE(button.Enabled());
  EXPECT_EQ(button.BackColor(), 255u);
}

TEST_F(QORButtonTest, AConversionErrorStopsLoadingAndKeepsWhatWasApplied) {
  button.SetCaptionColor(0x123456);
  platform::PropertyBag bad;
  bad.Set("Enabled", false);
  bad.Set("Caption", std::string("AZ"));
  bad.Set("BackColor", std::string("blue"));
  bad.Set("CaptionColor", std::int32_t{255});

  EXPECT_THROW(button.UserControl_ReadProperties(bad), platform::PropertyConversionError);
  EXPECT_FALSE(button.Enabled());
  EXPECT_EQ(button.Caption(), "AZ");
  EXPECT_EQ(button.BackColor(), 0xF4F4F4u);
  EXPECT_EQ(button.CaptionColor(), 0x123456u);
  EXPECT_EQ(Shape(), "");

  platform::PropertyBag badFirst;
  badFirst.Set("Enabled", std::string("maybe"));
  badFirst.Set("Caption", std::string("XZ"));
  EXPECT_THROW(button.UserControl_ReadProperties(badFirst), platform::PropertyConversionError);
  EXPECT_EQ(button.Caption(), "AZ");
}

TEST(QORButtonLifetime, DestroyedButtonLeavesNoHandlersOnTheSite) {
  fakes::FakeControlSite site;
  {
    QORButton button(site);
    ASSERT_TRUE(site.handlers.mouseDown);
  }
  EXPECT_FALSE(site.handlers.mouseDown);
  EXPECT_FALSE(site.handlers.resize);
  EXPECT_FALSE(site.handlers.dblClick);
}

}  // namespace
}  // namespace controls
