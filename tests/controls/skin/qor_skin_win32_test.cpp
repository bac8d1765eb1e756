// The skin on a real top-level window: attach, corner resize, maximise and
// restore, roll, minimise, close and the painted face, driven by mouse
// messages sent to the control's window, and the title bar by real input
// with the title drag on, as a person uses it.
#include <windows.h>

#include <gtest/gtest.h>

#include <functional>
#include <string>
#include <vector>

#include "controls/skin/qor_skin.h"
#include "controls/skin/win32_skin_window_ops.h"
#include "platform/win32/control_site.h"
#include "platform/win32/host_window.h"
#include "tests/support/parent_window.h"
#include "tests/support/real_input.h"
#include "tests/support/window_rect.h"

namespace {

using controls::QORSkin;

constexpr LONG kFrameStyles = WS_CAPTION | WS_SYSMENU | WS_THICKFRAME;
constexpr LONG kFrameExStyles = WS_EX_WINDOWEDGE | WS_EX_DLGMODALFRAME;

// A framed top-level window for the skin to take over.
using test_support::ParentWindow;
using test_support::RealMouse;
using test_support::SameRect;
using test_support::ScreenPoint;
using test_support::WindowRectOf;

std::string Describe(const RECT& r) {
  return std::to_string(r.left) + "," + std::to_string(r.top) + "," + std::to_string(r.right) + "," +
         std::to_string(r.bottom);
}

// Runs the message queue until the condition holds or two seconds pass.
bool PumpUntil(const std::function<bool()>& done) {
  const DWORD start = GetTickCount();
  while (GetTickCount() - start < 2000) {
    MSG message;
    while (PeekMessageW(&message, nullptr, 0, 0, PM_REMOVE)) {
      TranslateMessage(&message);
      DispatchMessageW(&message);
    }
    if (done()) return true;
    MsgWaitForMultipleObjects(0, nullptr, FALSE, 10, QS_ALLINPUT);
  }
  return done();
}

void PumpPending() {
  PumpUntil([] {
    MSG message;
    return !PeekMessageW(&message, nullptr, 0, 0, PM_NOREMOVE);
  });
}

LPARAM PointParam(int x, int y) {
  return MAKELPARAM(static_cast<WORD>(static_cast<short>(x)), static_cast<WORD>(static_cast<short>(y)));
}

class SkinOnWindow : public ::testing::Test {
 protected:
  QORSkin::Events skinEvents;  // a test changes one and sets them again
  std::vector<std::string> events;
  int endRequests = 0;
  std::unique_ptr<ParentWindow> parent;
  std::unique_ptr<platform::win32::Win32ControlSite> site;
  std::unique_ptr<controls::skin::Win32SkinWindowOps> ops;
  std::unique_ptr<QORSkin> skin;

  // A skin in run mode on a new parent window, attached.
  void Attach(int x, int y, int width, int height) {
    parent = std::make_unique<ParentWindow>(
        ParentWindow::Shape{L"皮肤测试", WS_OVERLAPPEDWINDOW | WS_VISIBLE, kFrameExStyles, x, y, width, height});
    ASSERT_TRUE(parent->Get());
    site = std::make_unique<platform::win32::Win32ControlSite>(
        parent->Get(), platform::win32::TwipsRect{0, 0, QORSkin::kDesignWidth, QORSkin::kDesignHeight});
    ops = std::make_unique<controls::skin::Win32SkinWindowOps>([this] { ++endRequests; });
    skin = std::make_unique<QORSkin>(*site, *ops, true);
    skinEvents = {};
    skinEvents.titleDblClick = [this] { events.push_back("TitleDblClick"); };
    skinEvents.titleRebutton = [this] { events.push_back("TitleRebutton"); };
    skinEvents.titleMinbutton = [this] { events.push_back("TitleMinbutton"); };
    skinEvents.titleEndbutton = [this](bool&) { events.push_back("TitleEndbutton"); };
    skin->SetEvents(skinEvents);
    skin->UserControl_ReadProperties({});
    site->ReportSize();
    ASSERT_TRUE(PumpUntil([this] { return !skin->Timer1().Enabled(); })) << "the attach timer never stopped";
  }

  void TearDown() override {
    skin.reset();
    ops.reset();
    site.reset();
    parent.reset();
    PumpPending();
  }

  HWND Control() const { return site->Handle(); }
  LRESULT Send(UINT message, WPARAM keys, int x, int y) { return SendMessageW(Control(), message, keys, PointParam(x, y)); }
  void Post(UINT message, WPARAM keys, int x, int y) { PostMessageW(Control(), message, keys, PointParam(x, y)); }

  POINT CentreOf(const platform::Label& label) const {
    return POINT{static_cast<LONG>((label.Left() + label.Width() / 2) / 15),
                 static_cast<LONG>((label.Top() + label.Height() / 2) / 15)};
  }
  void Click(int x, int y) {
    Send(WM_LBUTTONDOWN, MK_LBUTTON, x, y);
    Send(WM_LBUTTONUP, 0, x, y);
  }
  void ClickSysButton(int index) {
    const POINT centre = CentreOf(skin->SysButton(index));
    Click(centre.x, centre.y);
  }
  std::ptrdiff_t Count(const std::string& name) const { return std::count(events.begin(), events.end(), name); }

  // A point of the title bar on the screen: left of the caption, below the
  // icon, where only the title bar is.
  POINT TitlePoint() const { return ScreenPoint(Control(), 5, 5); }
  // A real double-click on the title; true once the skin has raised the event.
  bool DoubleClickTitle(RealMouse& mouse, const char* event) {
    // No earlier press may pair with the first click.
    PumpUntil([start = GetTickCount()] { return GetTickCount() - start > GetDoubleClickTime(); });
    const auto before = Count(event);
    mouse.MoveTo(TitlePoint());
    mouse.DoubleClick();
    return PumpUntil([&] { return Count(event) > before && GetCapture() == nullptr; });
  }
};

TEST_F(SkinOnWindow, AttachStripsTheFrameAndCoversTheParent) {
  Attach(100, 80, 320, 240);
  const LONG style = GetWindowLongW(parent->Get(), GWL_STYLE);
  const LONG exStyle = GetWindowLongW(parent->Get(), GWL_EXSTYLE);
  EXPECT_EQ(style & kFrameStyles, 0);
  EXPECT_EQ(exStyle & kFrameExStyles, 0);
  EXPECT_NE(style & WS_MINIMIZEBOX, 0) << "only the five frame bits go";

  const RECT parentRect = WindowRectOf(parent->Get());
  EXPECT_EQ(parentRect.right - parentRect.left, 320);
  EXPECT_EQ(parentRect.bottom - parentRect.top, 240);
  EXPECT_TRUE(SameRect(WindowRectOf(Control()), parentRect))
      << Describe(WindowRectOf(Control())) << " over " << Describe(parentRect);
  EXPECT_EQ(site->Surface().WidthTwips(), 320 * 15);
  EXPECT_EQ(site->Surface().HeightTwips(), 240 * 15);
  EXPECT_EQ(skin->Captions().Caption(), "皮肤测试");
}

TEST_F(SkinOnWindow, PaintsBorderCornersSeparatorAndGradientIntoTheBackingImage) {
  Attach(100, 80, 320, 240);
  const COLORREF black = RGB(0, 0, 0);
  // Border through (0, 0) and (W x 15 - 25, H x 15 - 25) twips: pixels 318 and 238.
  EXPECT_EQ(site->Pixel(0, 100), black);
  EXPECT_EQ(site->Pixel(318, 100), black);
  EXPECT_EQ(site->Pixel(100, 238), black);
  EXPECT_NE(site->Pixel(319, 100), black);
  // The top-right diagonal ends one pixel outside the border.
  EXPECT_EQ(site->Pixel(319, 3), black);
  EXPECT_NE(site->Pixel(319, 4), black);
  // Separator: dark on the title bar's bottom edge (495 twips), light 12 twips lower.
  EXPECT_EQ(site->Pixel(100, 33), RGB(70, 70, 70));
  EXPECT_EQ(site->Pixel(100, 34), RGB(200, 200, 200));
  // Gradient lines 6 and 15 at 120 and 300 twips; row 10 has no line and keeps the base.
  EXPECT_EQ(site->Pixel(100, 8), RGB(63, 63, 63));
  EXPECT_EQ(site->Pixel(100, 10), RGB(64, 64, 64));
  EXPECT_EQ(site->Pixel(100, 20), RGB(62, 62, 62));
}

TEST_F(SkinOnWindow, CornerResizeStopsAtTheMinimum) {
  Attach(100, 80, 320, 240);
  Send(WM_MOUSEMOVE, 0, 317, 237);
  Send(WM_LBUTTONDOWN, MK_LBUTTON, 317, 237);
  ASSERT_TRUE(skin->Sizing());
  Send(WM_MOUSEMOVE, MK_LBUTTON, 250, 200);
  EXPECT_EQ(skin->SizingRect(), (controls::skin::ScreenRect{100, 80, 350, 280}));
  Send(WM_MOUSEMOVE, MK_LBUTTON, -50, -50);
  Send(WM_LBUTTONUP, 0, -50, -50);

  EXPECT_FALSE(skin->Sizing());
  const RECT parentRect = WindowRectOf(parent->Get());
  EXPECT_TRUE(SameRect(parentRect, RECT{100, 80, 300, 260})) << Describe(parentRect);
  EXPECT_TRUE(SameRect(WindowRectOf(Control()), parentRect)) << Describe(WindowRectOf(Control()));
  EXPECT_EQ(site->Surface().WidthTwips(), 200 * 15);
  EXPECT_EQ(site->Surface().HeightTwips(), 180 * 15);
}

TEST_F(SkinOnWindow, RealDragOnTheTitleMovesTheWindowThenRaisesTitleMouseDown) {
  Attach(100, 80, 320, 240);
  ASSERT_TRUE(skin->MoveTo());
  skinEvents.titleMouseDown = [this](platform::MouseArgs&) {
    events.push_back("TitleMouseDown at " + Describe(WindowRectOf(parent->Get())));
  };
  skin->SetEvents(skinEvents);
  RealMouse mouse;
  const POINT from = TitlePoint();
  mouse.Drag(from, POINT{from.x + 40, from.y + 30});
  ASSERT_TRUE(PumpUntil([this] { return !events.empty(); })) << "no TitleMouseDown";
  const RECT moved{140, 110, 460, 350};
  EXPECT_TRUE(SameRect(WindowRectOf(parent->Get()), moved)) << Describe(WindowRectOf(parent->Get()));
  EXPECT_EQ(events, std::vector<std::string>{"TitleMouseDown at " + Describe(moved)})
      << "the event comes once the move has ended";
  EXPECT_TRUE(SameRect(WindowRectOf(Control()), moved)) << "the skin moves with its window";
  EXPECT_FALSE(skin->Maximized());
}

TEST_F(SkinOnWindow, RealTitleDoubleClickMaximisesToTheWorkAreaAndRestoresExactly) {
  Attach(100, 80, 320, 240);
  ASSERT_TRUE(skin->MoveTo());
  const RECT before = WindowRectOf(parent->Get());
  RealMouse mouse;

  ASSERT_TRUE(DoubleClickTitle(mouse, "TitleDblClick")) << "the double-click was taken for two drags";
  EXPECT_TRUE(skin->Maximized());
  const controls::skin::ScreenRect expected = controls::skin::MaximisedRect(ops->MonitorOf(
      reinterpret_cast<std::uintptr_t>(parent->Get())));
  const RECT maximised = WindowRectOf(parent->Get());
  EXPECT_TRUE(SameRect(maximised, RECT{expected.left, expected.top, expected.right, expected.bottom}))
      << Describe(maximised);
  MONITORINFO monitor{};
  monitor.cbSize = sizeof monitor;
  GetMonitorInfoW(MonitorFromWindow(parent->Get(), MONITOR_DEFAULTTONEAREST), &monitor);
  EXPECT_EQ(maximised.left, monitor.rcWork.left);
  EXPECT_EQ(maximised.top, monitor.rcWork.top);
  EXPECT_EQ(maximised.bottom, monitor.rcWork.bottom);
  EXPECT_TRUE(SameRect(WindowRectOf(Control()), maximised));
  EXPECT_EQ(Count("TitleDblClick"), 1);

  // Maximised, a press on the title moves nothing.
  const POINT title = TitlePoint();
  mouse.Drag(title, POINT{title.x + 50, title.y + 50});
  PumpPending();
  EXPECT_TRUE(SameRect(WindowRectOf(parent->Get()), maximised)) << Describe(WindowRectOf(parent->Get()));

  ASSERT_TRUE(DoubleClickTitle(mouse, "TitleDblClick"));
  EXPECT_FALSE(skin->Maximized());
  EXPECT_TRUE(SameRect(WindowRectOf(parent->Get()), before)) << Describe(WindowRectOf(parent->Get()));
  EXPECT_EQ(site->Surface().WidthTwips(), 320 * 15);
  EXPECT_EQ(site->Surface().HeightTwips(), 240 * 15);
  EXPECT_EQ(Count("TitleDblClick"), 2);

  // A single press drags again.
  const POINT from = TitlePoint();
  mouse.Drag(from, POINT{from.x + 20, from.y + 10});
  EXPECT_TRUE(PumpUntil([&] { return SameRect(WindowRectOf(parent->Get()), RECT{120, 90, 440, 330}); }))
      << Describe(WindowRectOf(parent->Get()));
}

TEST_F(SkinOnWindow, RealTitleDoubleClickUnrollsARolledUpWindow) {
  Attach(100, 80, 300, 80);
  const RECT before = WindowRectOf(parent->Get());
  ClickSysButton(QORSkin::kRollButton);
  ASSERT_EQ(skin->SysButton(QORSkin::kRollButton).Caption(), "ヘ");
  events.clear();

  RealMouse mouse;
  ASSERT_TRUE(DoubleClickTitle(mouse, "TitleRebutton"));
  EXPECT_EQ(events, std::vector<std::string>{"TitleRebutton"});
  EXPECT_EQ(skin->SysButton(QORSkin::kRollButton).Caption(), "ブ");
  EXPECT_FALSE(skin->Maximized());
  EXPECT_TRUE(SameRect(WindowRectOf(parent->Get()), before)) << Describe(WindowRectOf(parent->Get()));
}

TEST_F(SkinOnWindow, RollUpIgnoresASecondClickAndRollDownRestoresTheHeight) {
  Attach(100, 80, 300, 80);
  const RECT before = WindowRectOf(parent->Get());
  const POINT roll = CentreOf(skin->SysButton(QORSkin::kRollButton));
  // Waiting in the queue, this click arrives while the animation yields.
  Post(WM_LBUTTONDOWN, MK_LBUTTON, roll.x, roll.y);
  Post(WM_LBUTTONUP, 0, roll.x, roll.y);
  Click(roll.x, roll.y);

  EXPECT_EQ(events, std::vector<std::string>{"TitleRebutton"});
  EXPECT_EQ(skin->SysButton(QORSkin::kRollButton).Caption(), "ヘ");
  // Title bar plus 30 twips: 525 twips.
  const RECT rolled = WindowRectOf(parent->Get());
  EXPECT_TRUE(SameRect(rolled, RECT{before.left, before.top, before.right, before.top + 35})) << Describe(rolled);
  EXPECT_EQ(site->Surface().HeightTwips(), 80 * 15) << "the control keeps its size";
  PumpPending();
  EXPECT_EQ(Count("TitleRebutton"), 1);

  ClickSysButton(QORSkin::kRollButton);
  EXPECT_EQ(Count("TitleRebutton"), 2);
  EXPECT_EQ(skin->SysButton(QORSkin::kRollButton).Caption(), "ブ");
  EXPECT_TRUE(SameRect(WindowRectOf(parent->Get()), before)) << Describe(WindowRectOf(parent->Get()));
}

TEST_F(SkinOnWindow, MinimiseButtonMinimisesTheParent) {
  Attach(100, 80, 320, 240);
  ClickSysButton(QORSkin::kMinimiseButton);
  EXPECT_TRUE(IsIconic(parent->Get()));
  EXPECT_TRUE(IsWindow(parent->Get()));
  EXPECT_EQ(events, std::vector<std::string>{"TitleMinbutton"});
}

TEST_F(SkinOnWindow, CloseButtonEndsTheProgramOnlyWithoutCancel) {
  Attach(100, 80, 320, 240);
  skin->SetCancel(true);
  ClickSysButton(QORSkin::kCloseButton);
  EXPECT_EQ(events, std::vector<std::string>{"TitleEndbutton"});
  EXPECT_EQ(endRequests, 0);

  skin->SetCancel(false);
  ClickSysButton(QORSkin::kCloseButton);
  EXPECT_EQ(Count("TitleEndbutton"), 2);
  EXPECT_EQ(endRequests, 1);
}

// The way a program carries the skin: as the first control of a host window.
TEST(SkinOnHostWindow, TakesOverTheHostWindow) {
  platform::win32::HostWindow window({.caption = "控件", .clientWidth = 300, .clientHeight = 200});
  auto& site = window.AddControl(
      {.name = "QORSkin1", .rect = {0, 0, QORSkin::kDesignWidth, QORSkin::kDesignHeight}, .tabIndex = 0});
  controls::skin::Win32SkinWindowOps ops([] {});
  QORSkin skin(site, ops, true);
  skin.UserControl_ReadProperties({});
  site.ReportSize();
  window.Show();
  ASSERT_TRUE(PumpUntil([&] { return !skin.Timer1().Enabled(); }));

  EXPECT_EQ(GetWindowLongW(window.Handle(), GWL_STYLE) & kFrameStyles, 0);
  const RECT hostRect = WindowRectOf(window.Handle());
  EXPECT_TRUE(SameRect(WindowRectOf(site.Handle()), hostRect)) << Describe(WindowRectOf(site.Handle()));
  EXPECT_EQ(site.Surface().WidthTwips(), (hostRect.right - hostRect.left) * 15);
  EXPECT_EQ(skin.Captions().Caption(), "控件");

  int doubleClicks = 0;
  QORSkin::Events handlers;
  handlers.titleDblClick = [&] { ++doubleClicks; };
  skin.SetEvents(handlers);
  RealMouse mouse;
  const auto doubleClickTitle = [&] {
    const int before = doubleClicks;
    mouse.MoveTo(ScreenPoint(site.Handle(), 5, 5));
    mouse.DoubleClick();
    return PumpUntil([&] { return doubleClicks > before && GetCapture() == nullptr; });
  };
  ASSERT_TRUE(doubleClickTitle());
  EXPECT_TRUE(skin.Maximized());
  ASSERT_TRUE(doubleClickTitle());
  EXPECT_FALSE(skin.Maximized());
  EXPECT_TRUE(SameRect(WindowRectOf(window.Handle()), hostRect)) << Describe(WindowRectOf(window.Handle()));
}

}  // namespace
