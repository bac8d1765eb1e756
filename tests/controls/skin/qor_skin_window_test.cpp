#include <gtest/gtest.h>

#include "tests/controls/skin/skin_test_fixture.h"

namespace skin_tests {
namespace {

using controls::skin::kExStyleIndex;
using controls::skin::kStyleIndex;
using controls::skin::PlacementRect;

constexpr ScreenRect kParentRect{100, 50, 400, 250};  // 300 x 200 pixels
constexpr int kAttachedWidth = 300 * 15;
constexpr int kAttachedHeight = 200 * 15;

TEST_F(SkinTest, AttachWaitsForTheParentToHaveASize) {
  Create(true);
  skin->UserControl_ReadProperties({});
  for (int tick = 0; tick < 3; ++tick) {
    Timer1().Fire();
    EXPECT_TRUE(Timer1().Enabled());
  }
  ops.parentRect = kParentRect;
  site.placements.clear();
  events.clear();
  Timer1().Fire();
  EXPECT_FALSE(Timer1().Enabled());
  ASSERT_EQ(site.placements.size(), 1u);
  EXPECT_EQ(site.placements[0].x, 0);
  EXPECT_EQ(site.placements[0].y, 0);
  EXPECT_EQ(site.placements[0].width, 300);
  EXPECT_EQ(site.placements[0].height, 200);
  EXPECT_EQ(site.surface.widthTwips, kAttachedWidth);
  EXPECT_EQ(site.surface.heightTwips, kAttachedHeight);
  EXPECT_EQ(Count("Resize"), 1);
}

TEST_F(SkinTest, AttachClearsTheFiveFrameStylesInOrder) {
  Create(true);
  ops.parentRect = kParentRect;
  // Visible, caption, system menu, sizing frame, minimise and maximise boxes;
  // window edge, topmost, dialog frame.
  ops.parentLongs[kStyleIndex] = 0x10CF0000;
  ops.parentLongs[kExStyleIndex] = 0x00000109;
  skin->UserControl_ReadProperties({});
  ops.calls.clear();
  ops.positions.clear();
  Timer1().Fire();

  const struct {
    int index;
    std::uint32_t value;
  } expected[] = {
      {kStyleIndex, 0x100F0000},
      {kStyleIndex, 0x10070000},
      {kStyleIndex, 0x10030000},
      {kExStyleIndex, 0x00000009},
      {kExStyleIndex, 0x00000008},
  };
  ASSERT_EQ(ops.longWrites.size(), 5u);
  for (std::size_t i = 0; i < 5; ++i) {
    SCOPED_TRACE(i);
    EXPECT_EQ(ops.longWrites[i].index, expected[i].index);
    EXPECT_EQ(static_cast<std::uint32_t>(ops.longWrites[i].value), expected[i].value);
  }
  // Each write is followed by a frame refresh that also raises the window.
  std::vector<std::string> perBit{"ReadWindowLong", "WriteWindowLong", "SetWindowPos"};
  std::vector<std::string> expectedCalls;
  for (int i = 0; i < 5; ++i) expectedCalls.insert(expectedCalls.end(), perBit.begin(), perBit.end());
  EXPECT_EQ(ops.calls, expectedCalls);
  ASSERT_EQ(ops.positions.size(), 5u);
  for (const auto& call : ops.positions) {
    EXPECT_EQ(call.window, FakeSkinWindowOps::kParent);
    EXPECT_EQ(call.insertAfter, 0u);
    EXPECT_EQ(call.flags, 0x23u);
    EXPECT_EQ(call.x + call.y + call.width + call.height, 0);
  }
}

TEST_F(SkinTest, CornerZoneStartsTheRubberBandForAnyButton) {
  Attach(kParentRect);
  const struct {
    float x, y;
    std::int16_t button;
    bool sizing;
  } cases[] = {
      {kAttachedWidth - 100, kAttachedHeight - 50, platform::kLeftButton, false},
      {kAttachedWidth - 99, kAttachedHeight - 50, platform::kLeftButton, true},
      {kAttachedWidth - 99, kAttachedHeight - 50, platform::kRightButton, true},
      {kAttachedWidth - 99, kAttachedHeight - 50, platform::kMiddleButton, true},
      {kAttachedWidth - 50, kAttachedHeight - 100, platform::kLeftButton, false},
      {100, 100, platform::kLeftButton, false},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(testing::Message() << c.x << "," << c.y << " button " << c.button);
    ClearRecords();
    FaceDown(c.x, c.y, c.button);
    EXPECT_EQ(skin->Sizing(), c.sizing);
    EXPECT_EQ(events, std::vector<std::string>{"MouseDown"});
    if (c.sizing) {
      EXPECT_EQ(skin->SizingRect(), kParentRect);
      EXPECT_EQ(ops.inversions.back(), kParentRect);
    }
    FaceUp(c.x, c.y);
    EXPECT_TRUE(ops.ScreenClean());
  }
}

TEST_F(SkinTest, CursorShowsTheCornerOnlyWhileResizingIsPossible) {
  Attach(kParentRect);
  const float inX = kAttachedWidth - 10.0f, inY = kAttachedHeight - 10.0f;
  FaceMove(inX, inY);
  EXPECT_EQ(site.cursorShape, platform::ControlSite::Cursor::SizeNwSe);
  FaceMove(inX, 10);
  EXPECT_EQ(site.cursorShape, platform::ControlSite::Cursor::Default);

  skin->SetChangeSize(false);
  FaceMove(inX, inY);
  EXPECT_EQ(site.cursorShape, platform::ControlSite::Cursor::Default);
  FaceDown(inX, inY);
  EXPECT_FALSE(skin->Sizing());
  EXPECT_EQ(Count("MouseDown"), 1);
}

TEST_F(SkinTest, CornerResizeFollowsThePointerAndStopsAtTheMinimum) {
  Attach(kParentRect);
  FaceDown(kAttachedWidth - 10, kAttachedHeight - 10);
  FaceMove(6000, 4500);
  EXPECT_EQ(skin->SizingRect(), (ScreenRect{100, 50, 500, 350}));
  FaceMove(-3000, -3000);
  EXPECT_EQ(skin->SizingRect(), (ScreenRect{100, 50, 300, 230}));
  ops.positions.clear();
  events.clear();
  FaceUp(-3000, -3000);

  EXPECT_FALSE(skin->Sizing());
  EXPECT_TRUE(ops.ScreenClean());
  ASSERT_FALSE(ops.positions.empty());
  const auto& move = ops.positions.front();
  EXPECT_EQ(move.window, FakeSkinWindowOps::kParent);
  EXPECT_EQ((std::array{move.x, move.y, move.width, move.height}), (std::array{100, 50, 200, 180}));
  EXPECT_EQ(move.flags, controls::skin::kNoZOrder);
  EXPECT_EQ(ops.parentRect, (ScreenRect{100, 50, 300, 230}));
  EXPECT_EQ(site.surface.widthTwips, 200 * 15);
  EXPECT_EQ(site.surface.heightTwips, 180 * 15);
  EXPECT_EQ(events.back(), "MouseUp");
  EXPECT_GE(Count("Resize"), 1);
}

TEST_F(SkinTest, RubberBandIsErasedOnEveryPath) {
  // A second press while the band shows.
  Attach(kParentRect);
  FaceDown(kAttachedWidth - 10, kAttachedHeight - 10);
  FaceMove(5000, 3500);
  FaceDown(kAttachedWidth - 10, kAttachedHeight - 10, platform::kRightButton);
  FaceMove(5200, 3600);
  FaceUp(5200, 3600);
  EXPECT_FALSE(skin->Sizing());
  EXPECT_TRUE(ops.ScreenClean());

  // The release went to another window: the next move comes without a
  // button, and the parent keeps its size.
  FaceDown(static_cast<float>(site.surface.widthTwips - 10), static_cast<float>(site.surface.heightTwips - 10));
  FaceMove(7000, 5000);
  ASSERT_TRUE(skin->Sizing());
  const ScreenRect before = ops.parentRect;
  site.handlers.mouseMove(At(7100, 5100, 0));
  EXPECT_FALSE(skin->Sizing());
  EXPECT_TRUE(ops.ScreenClean());
  FaceUp(7100, 5100);
  EXPECT_EQ(ops.parentRect, before);

  // Another window took the capture while the button was held.
  FaceDown(static_cast<float>(site.surface.widthTwips - 10), static_cast<float>(site.surface.heightTwips - 10));
  FaceMove(7000, 5000);
  ASSERT_TRUE(skin->Sizing());
  site.handlers.captureLost();
  EXPECT_FALSE(skin->Sizing());
  EXPECT_TRUE(ops.ScreenClean());
  FaceUp(7000, 5000);
  EXPECT_EQ(ops.parentRect, before);

  // The skin goes while the band shows.
  FaceDown(static_cast<float>(site.surface.widthTwips - 10), static_cast<float>(site.surface.heightTwips - 10));
  FaceMove(7000, 5000);
  ASSERT_TRUE(skin->Sizing());
  skin.reset();
  EXPECT_TRUE(ops.ScreenClean());
}

TEST_F(SkinTest, TitleDoubleClickMaximisesAndRestoresExactly) {
  Attach(kParentRect);
  ops.monitor.work = ScreenRect{0, 0, 1024, 738};  // a taskbar 30 pixels high at the bottom
  TitleDoubleClick();
  EXPECT_TRUE(skin->Maximized());
  EXPECT_EQ(skin->RestoreRect(), (PlacementRect{100, 50, 300, 200}));
  EXPECT_EQ(ops.parentRect, (ScreenRect{0, 0, 1029, 738}));
  const auto& maximise = ops.positions.front();
  EXPECT_EQ(maximise.insertAfter, 0u);
  EXPECT_EQ(maximise.flags, 0u);
  EXPECT_EQ(site.surface.widthTwips, 1029 * 15);
  EXPECT_EQ(site.surface.heightTwips, 738 * 15);
  EXPECT_EQ(events.back(), "TitleDblClick");
  EXPECT_EQ(Count("TitleDblClick"), 1);

  // Maximised: no drag, no corner resize, the default cursor.
  ops.calls.clear();
  TitleBar().Handlers().mouseDown(At(10, 10));
  FaceMove(1029 * 15 - 10, 738 * 15 - 10);
  FaceDown(1029 * 15 - 10, 738 * 15 - 10);
  EXPECT_TRUE(std::find(ops.calls.begin(), ops.calls.end(), "BeginTitleDrag(parent)") == ops.calls.end());
  EXPECT_FALSE(skin->Sizing());
  EXPECT_EQ(site.cursorShape, platform::ControlSite::Cursor::Default);
  EXPECT_EQ(Count("TitleMouseDown"), 1);
  FaceUp(1029 * 15 - 10, 738 * 15 - 10);

  events.clear();
  TitleDoubleClick();
  EXPECT_FALSE(skin->Maximized());
  EXPECT_EQ(skin->RestoreRect(), PlacementRect{});
  EXPECT_EQ(ops.parentRect, kParentRect);
  EXPECT_EQ(site.surface.widthTwips, kAttachedWidth);
  EXPECT_EQ(site.surface.heightTwips, kAttachedHeight);
  EXPECT_EQ(Count("TitleDblClick"), 1);
}

TEST_F(SkinTest, MaximisingAsksForTheWorkAreaOfThePresentParentsMonitor) {
  Attach(kParentRect);
  ops.monitor.work = ScreenRect{60, 0, 1024, 768};  // a taskbar at the left
  TitleDoubleClick();
  EXPECT_EQ(ops.monitorQueries, std::vector<std::uintptr_t>{FakeSkinWindowOps::kParent});
  EXPECT_EQ(ops.parentRect, (ScreenRect{60, 0, 1029, 768}));
  EXPECT_EQ(site.surface.widthTwips, 969 * 15);
  EXPECT_EQ(site.surface.heightTwips, 768 * 15);
}

// The control may be moved onto another window: the skin works on the window
// that contains it at the time, never on the one it was created on.
TEST_F(SkinTest, LooksUpItsParentWindowEachTime) {
  Attach(kParentRect);
  constexpr std::uintptr_t kOther = 0x2000;
  ops.parentOfControl = kOther;
  ClearRecords();
  ClickSysButton(controls::QORSkin::kMinimiseButton);
  TitleBar().Handlers().mouseDown(At(10, 10));
  EXPECT_EQ(ops.calls, (std::vector<std::string>{"Minimise(other)", "BeginTitleDrag(other)"}));

  ops.parentOfControl = FakeSkinWindowOps::kParent;
  ClearRecords();
  ClickSysButton(controls::QORSkin::kMinimiseButton);
  EXPECT_EQ(ops.calls, std::vector<std::string>{"Minimise(parent)"});
}

TEST_F(SkinTest, WithoutChangeSizeTheTitleDoubleClickDoesNothing) {
  Attach(kParentRect);
  skin->SetChangeSize(false);
  TitleDoubleClick();
  EXPECT_FALSE(skin->Maximized());
  EXPECT_EQ(ops.parentRect, kParentRect);
  EXPECT_TRUE(events.empty());
}

TEST_F(SkinTest, TitlePressDragsTheParentBeforeTheEventUnlessMoveToIsOff) {
  Attach(kParentRect);
  ops.onTitleDrag = [this] { events.push_back("drag"); };
  TitleBar().Handlers().mouseDown(At(40, 50, platform::kRightButton));
  Captions().Handlers().mouseDown(At(7, 8));
  EXPECT_EQ(events, (std::vector<std::string>{"drag", "TitleMouseDown", "drag", "TitleMouseDown"}));
  ASSERT_EQ(mouseArgs.size(), 2u);
  EXPECT_EQ(mouseArgs[0].button, platform::kRightButton);
  EXPECT_EQ(mouseArgs[0].x, 40);
  // The caption forwards its own coordinates.
  EXPECT_EQ(mouseArgs[1].x, 7);
  EXPECT_EQ(mouseArgs[1].y, 8);

  events.clear();
  skin->SetMoveTo(false);
  TitleBar().Handlers().mouseDown(At(40, 50));
  EXPECT_EQ(events, std::vector<std::string>{"TitleMouseDown"});
}

TEST_F(SkinTest, PlainForwards) {
  Attach(kParentRect);
  site.handlers.click();
  site.handlers.dblClick();
  TitleBar().Handlers().click();
  TitleBar().Handlers().mouseUp(At(1, 2));
  FaceMove(30, 40);
  FaceUp(30, 40);
  void* data = &events;
  std::int32_t effect = 7;
  platform::MouseArgs dropAt = At(11, 12);
  skinEvents.oleDragDrop = [&](void* d, std::int32_t& e, platform::MouseArgs& m) {
    EXPECT_EQ(d, data);
    EXPECT_EQ(e, 7);
    EXPECT_EQ(m.x, 11);
    e = 1;
    events.push_back("OLEDragDrop");
  };
  skin->SetEvents(skinEvents);
  skin->UserControl_OLEDragDrop(data, effect, dropAt);
  EXPECT_EQ(events, (std::vector<std::string>{"Click", "DblClick", "TitleClick", "TitleMouseUp", "MouseMove",
                                              "MouseUp", "OLEDragDrop"}));
  EXPECT_EQ(effect, 1);
  EXPECT_FALSE(Captions().Handlers().click);
  EXPECT_FALSE(Captions().Handlers().dblClick);
  EXPECT_FALSE(Captions().Handlers().mouseUp);
}

TEST_F(SkinTest, HoverMakesOnlyTheTitleButtonUnderThePointerBold) {
  Attach(kParentRect);
  SysButton(1).Handlers().mouseMove(At(3, 3));
  EXPECT_EQ((std::array{SysButton(0).Bold(), SysButton(1).Bold(), SysButton(2).Bold()}),
            (std::array{false, true, false}));
  SysButton(2).Handlers().mouseMove(At(3, 3));
  EXPECT_EQ((std::array{SysButton(0).Bold(), SysButton(1).Bold(), SysButton(2).Bold()}),
            (std::array{false, false, true}));
  EXPECT_TRUE(events.empty());

  TitleBar().Handlers().mouseMove(At(5, 5));
  EXPECT_FALSE(SysButton(2).Bold());
  EXPECT_EQ(events, std::vector<std::string>{"TitleMouseMove"});

  SysButton(0).Handlers().mouseMove(At(3, 3));
  Captions().Handlers().mouseMove(At(5, 5));
  EXPECT_FALSE(SysButton(0).Bold());

  SysButton(0).Handlers().mouseMove(At(3, 3));
  FaceMove(500, 1000);
  EXPECT_FALSE(SysButton(0).Bold());
}

TEST_F(SkinTest, RollUpAndDownReturnsTheParentToItsHeight) {
  Attach(kParentRect);
  ClickSysButton(1);
  // 3000 - 495 - 30 steps of one twip, each a resize and a yield.
  EXPECT_EQ(ops.doEventsCount, 2475);
  EXPECT_EQ(skin->UnrolledHeight(), kAttachedHeight);
  EXPECT_EQ(skin->RollHeight(), 525);
  EXPECT_EQ(ops.parentRect, (ScreenRect{100, 50, 400, 85}));
  EXPECT_EQ(ops.positions.back().flags, controls::skin::kNoZOrder);
  EXPECT_EQ(SysButton(1).Caption(), "ヘ");
  EXPECT_TRUE(skin->RolledUp());
  EXPECT_FALSE(skin->Rolling());
  EXPECT_EQ(site.surface.heightTwips, kAttachedHeight);
  EXPECT_EQ(events, std::vector<std::string>{"TitleRebutton"});

  events.clear();
  ClickSysButton(1);
  EXPECT_EQ(ops.doEventsCount, 2 * 2475);
  EXPECT_EQ(ops.parentRect, kParentRect);
  EXPECT_EQ(skin->RollHeight(), kAttachedHeight);
  EXPECT_EQ(SysButton(1).Caption(), "ブ");
  EXPECT_FALSE(skin->RolledUp());
  EXPECT_EQ(events, std::vector<std::string>{"TitleRebutton"});
}

TEST_F(SkinTest, DuringTheRollEverythingThatWouldInterfereIsIgnored) {
  Attach(kParentRect);
  ops.onDoEvents = [this](int step) {
    if (step != 100) return;
    EXPECT_FALSE(skin->RolledUp()) << "rolled up before the roll is over";
    ClickSysButton(1);
    TitleDoubleClick();
    SysButton(0).Handlers().mouseMove(At(1, 1));
    site.surface.ops.clear();
    site.Resize(kAttachedWidth, kAttachedHeight);
    EXPECT_TRUE(site.surface.ops.empty()) << "a layout pass while rolling";
  };
  ClickSysButton(1);
  EXPECT_EQ(ops.doEventsCount, 2475);
  EXPECT_EQ(events, std::vector<std::string>{"TitleRebutton"});
  EXPECT_FALSE(skin->Maximized());
  EXPECT_FALSE(SysButton(0).Bold());
  EXPECT_EQ(SysButton(1).Caption(), "ヘ");
}

TEST_F(SkinTest, TitleDoubleClickOnARolledUpWindowOnlyUnrollsIt) {
  Attach(kParentRect);
  ClickSysButton(1);
  events.clear();
  TitleDoubleClick();
  EXPECT_EQ(ops.parentRect, kParentRect);
  EXPECT_FALSE(skin->Maximized());
  EXPECT_EQ(SysButton(1).Caption(), "ブ");
  EXPECT_EQ(events, std::vector<std::string>{"TitleRebutton"});
}

// The roll button's pictogram only shows the state: a container that puts
// another text on it changes neither what a roll nor a double-click does.
TEST_F(SkinTest, TheRolledUpStateDoesNotComeFromTheRollButtonsText) {
  Attach(kParentRect);
  ClickSysButton(1);
  SysButton(1).SetCaption("?");
  TitleDoubleClick();
  EXPECT_FALSE(skin->Maximized());
  EXPECT_EQ(ops.parentRect, kParentRect);
  EXPECT_EQ(SysButton(1).Caption(), "ブ");

  SysButton(1).SetCaption("?");
  ClickSysButton(1);
  EXPECT_TRUE(skin->RolledUp());
  EXPECT_EQ(ops.parentRect, (ScreenRect{100, 50, 400, 85}));
  EXPECT_EQ(SysButton(1).Caption(), "ヘ");
}

TEST_F(SkinTest, TheRollStopsWhenTheSkinGoesMeanwhile) {
  Attach(kParentRect);
  ops.onDoEvents = [this](int step) {
    if (step == 3) skin.reset();
  };
  SysButton(1).Handlers().click();
  EXPECT_EQ(ops.doEventsCount, 3);
  EXPECT_TRUE(events.empty());
}

TEST_F(SkinTest, MinimiseButtonMinimisesTheParentThenTells) {
  Attach(kParentRect);
  ops.onTitleDrag = {};
  skinEvents.titleMinbutton = [this] { ops.calls.push_back("TitleMinbutton"); };
  skin->SetEvents(skinEvents);
  ClickSysButton(2);
  EXPECT_EQ(ops.calls, (std::vector<std::string>{"Minimise(parent)", "TitleMinbutton"}));
}

TEST_F(SkinTest, CloseButtonEndsTheProgramUnlessCancelledOrTheHandlerSaysSo) {
  const struct {
    bool cancel;
    bool handlerKeepsRunning;
    bool ends;
  } cases[] = {{false, false, true}, {true, false, false}, {false, true, false}, {true, true, false}};
  for (const auto& c : cases) {
    SCOPED_TRACE(testing::Message() << "Cancel " << c.cancel << ", flag " << c.handlerKeepsRunning);
    Attach(kParentRect);
    skin->SetCancel(c.cancel);
    keepRunningAnswer = c.handlerKeepsRunning;
    auto handlers = skinEvents;
    handlers.titleMinbutton = {};
    handlers.titleEndbutton = [this, raise = skinEvents.titleEndbutton](bool& flag) {
      ops.calls.push_back("TitleEndbutton");
      raise(flag);
    };
    skin->SetEvents(handlers);
    ClickSysButton(0);
    EXPECT_EQ(events, std::vector<std::string>{"TitleEndbutton(False)"});
    std::vector<std::string> expected{"TitleEndbutton"};
    if (c.ends) expected.push_back("EndProgram");
    EXPECT_EQ(ops.calls, expected);
  }
}

}  // namespace
}  // namespace skin_tests
