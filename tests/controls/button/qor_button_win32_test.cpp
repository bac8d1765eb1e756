// A real button on a real window: its looks read back from the surface's
// image and the screen, its shape, and its events under real mouse messages.
#include <windows.h>

#include <gtest/gtest.h>

#include <algorithm>
#include <chrono>
#include <string>
#include <vector>

#include "controls/button/button_paint.h"
#include "controls/button/qor_button.h"
#include "platform/win32/gdi_handles.h"
#include "platform/win32/host_window.h"
#include "tests/platform/runtime/win32_test_support.h"
#include "tests/support/real_input.h"

namespace controls {
namespace {

using namespace button;  // the looks' colours
using platform::MouseArgs;
using platform::win32::HostWindow;
using platform::win32::Win32ControlSite;
using runtime_tests::At;
using runtime_tests::PixelIs;
using runtime_tests::PumpFor;
using runtime_tests::PumpUntil;

constexpr COLORREF Grey(int level) { return RGB(level, level, level); }
constexpr COLORREF kMarker = RGB(255, 0, 255);

// Where the button sits in its window's client area: 300 twips in, 81 x 25.
constexpr int kButtonLeft = 20;
constexpr int kButtonTop = 20;

struct Event {
  std::string name;
  MouseArgs args;
};

class ButtonOnWindow {
 public:
  ButtonOnWindow()
      : window({.caption = "QORButton", .clientWidth = 200, .clientHeight = 100}),
        site(window.AddControl({.name = "QORButtonAZ", .rect = {300, 300, 1215, 375}, .tabIndex = 0})),
        button(site) {
    MoveCursorAway();
    button.InitProperties();
    button.SetEvents({
        .mouseDown = [this](MouseArgs args) { events.push_back({"MouseDown", args}); },
        .mouseMove = [this](MouseArgs args) { events.push_back({"MouseMove", args}); },
        .mouseUp = [this](MouseArgs args) { events.push_back({"MouseUp", args}); },
        .click = [this] { events.push_back({"Click", {}}); },
    });
    site.ReportSize();
    window.Show();
  }

  HWND Surface() const { return site.Handle(); }
  void Send(UINT message, WPARAM keys, int x, int y) { SendMessageW(Surface(), message, keys, At(x, y)); }
  COLORREF Pixel(int x, int y) const { return site.Pixel(x, y); }
  auto Image() const {
    return [this](int x, int y) { return Pixel(x, y); };
  }

  static void MoveCursorAway() { SetCursorPos(GetSystemMetrics(SM_CXSCREEN) - 2, GetSystemMetrics(SM_CYSCREEN) - 2); }
  void MoveCursorTo(int x, int y) const {
    POINT point{x, y};
    ClientToScreen(Surface(), &point);
    SetCursorPos(point.x, point.y);
  }

  // Waits for the next normal look, which the hover timer draws when it
  // finds the pointer outside; it stops the timer as it does.
  bool WaitForTheNormalLook(int timeoutMs = 2000) {
    site.Surface().SetPixel(40, 12, kMarker);
    return PumpUntil([this] { return Pixel(40, 12) == Grey(226); }, timeoutMs);
  }

  std::vector<std::string> EventNames() const {
    std::vector<std::string> names;
    for (const auto& event : events) names.push_back(event.name);
    return names;
  }

  HostWindow window;
  Win32ControlSite& site;
  std::vector<Event> events;
  QORButton button;  // after the window and the events: it goes first
};

struct ExpectedPixel {
  int x, y;
  COLORREF colour;
  const char* what;
};

void ExpectPixels(const ButtonOnWindow& rig, const std::vector<ExpectedPixel>& pixels) {
  for (const auto& p : pixels) EXPECT_TRUE(PixelIs(rig.Image(), p.x, p.y, p.colour)) << p.what;
}

// 81 x 25 pixels, BackColor 0xF4F4F4: frames are numbered from the outside.
const std::vector<ExpectedPixel> kNormalLook = {
    {40, 0, kDarkEdge, "frame 1 top"},     {0, 12, kDarkEdge, "frame 1 left"},
    {79, 12, kDarkEdge, "frame 1 right"},  {40, 23, kDarkEdge, "frame 1 bottom"},
    {40, 1, kWhite, "frame 2 top"},        {1, 12, kWhite, "frame 2 left"},
    {78, 12, kWhite, "frame 2 right"},     {40, 22, kWhite, "frame 2 bottom"},
    {40, 2, Grey(240), "first gradient row inside the frames"},
    {40, 12, Grey(226), "middle gradient row"},
    {40, 21, Grey(212), "last gradient row inside the frames"},
    {40, 24, Grey(208), "last image row, outside the shape"},
    {80, 12, Grey(226), "last column, outside the shape"},
    {2, 0, kCorner, "corner"},   {1, 1, kCorner, "corner"},   {0, 2, kCorner, "corner"},
    {77, 0, kCorner, "corner"},  {78, 1, kCorner, "corner"},  {79, 2, kCorner, "corner"},
    {80, 3, kCorner, "corner"},  {2, 23, kCorner, "corner"},  {1, 22, kCorner, "corner"},
    {0, 21, kCorner, "corner"},  {77, 23, kCorner, "corner"}, {78, 22, kCorner, "corner"},
    {79, 21, kCorner, "corner"}, {80, 20, kCorner, "corner"},
};

// The hover frames are drawn after the corner pixels and cover those that
// fall on them.
const std::vector<ExpectedPixel> kHoverLook = {
    {40, 0, kHoverEdge, "frame 1 top"},    {0, 12, kHoverEdge, "frame 1 left"},
    {79, 12, kHoverEdge, "frame 1 right"}, {40, 23, kHoverEdge, "frame 1 bottom"},
    {40, 1, kDarkEdge, "frame 2 top"},     {1, 12, kDarkEdge, "frame 2 left"},
    {78, 12, kDarkEdge, "frame 2 right"},  {40, 22, kDarkEdge, "frame 2 bottom"},
    {40, 2, kWhite, "frame 3 top"},        {2, 12, kWhite, "frame 3 left"},
    {77, 12, kWhite, "frame 3 right"},     {40, 21, kWhite, "frame 3 bottom"},
    {40, 3, Grey(240), "first gradient row inside the frames"},
    {40, 20, Grey(222), "last gradient row inside the frames"},
    {40, 24, Grey(218), "last image row, outside the shape"},
    {2, 0, kHoverEdge, "corner under frame 1"},
    {1, 1, kDarkEdge, "corner under frame 2"},
    {80, 3, kCorner, "corner outside every frame"},
};

const std::vector<ExpectedPixel> kPressedLook = {
    {40, 0, kDarkEdge, "frame 1 top"},      {0, 12, kDarkEdge, "frame 1 left"},
    {79, 12, kDarkEdge, "frame 1 right"},   {40, 23, kDarkEdge, "frame 1 bottom"},
    {40, 1, kPressedGrey, "frame 2 top"},   {1, 12, kPressedGrey, "frame 2 left"},
    {78, 12, kPressedGrey, "frame 2 right"}, {40, 22, kPressedGrey, "frame 2 bottom"},
    {40, 2, kDarkEdge, "frame 3 top"},      {2, 12, kDarkEdge, "frame 3 left"},
    {77, 12, kDarkEdge, "frame 3 right"},   {40, 21, kDarkEdge, "frame 3 bottom"},
    {40, 3, kWhite, "frame 4 top"},         {3, 12, kWhite, "frame 4 left"},
    {76, 12, kWhite, "frame 4 right"},      {40, 20, kWhite, "frame 4 bottom"},
    {40, 4, Grey(233), "first gradient row inside the frames"},
    {40, 19, Grey(196), "last gradient row inside the frames"},
    {40, 24, Grey(183), "last image row, outside the shape"},
    {2, 0, kCorner, "corner"},  {1, 1, kCorner, "corner"},  {0, 2, kCorner, "corner"},
    {79, 2, kCorner, "corner"}, {78, 22, kCorner, "corner"},
};

TEST(QORButtonOnWindow, NormalHoverPressedAndReleaseLooks) {
  ButtonOnWindow rig;
  ASSERT_TRUE(rig.WaitForTheNormalLook());
  {
    SCOPED_TRACE("normal");
    ExpectPixels(rig, kNormalLook);
  }
  rig.Send(WM_MOUSEMOVE, 0, 5, 5);
  {
    SCOPED_TRACE("hover");
    ExpectPixels(rig, kHoverLook);
  }
  rig.Send(WM_LBUTTONDOWN, MK_LBUTTON, 5, 5);
  {
    SCOPED_TRACE("pressed");
    ExpectPixels(rig, kPressedLook);
  }
  rig.Send(WM_LBUTTONUP, 0, 5, 5);
  {
    SCOPED_TRACE("release");
    ExpectPixels(rig, kHoverLook);
  }
}

TEST(QORButtonOnWindow, WindowShapeIsTheRoundedRectangleOfTheSize) {
  ButtonOnWindow rig;
  platform::win32::RegionHandle region(CreateRectRgn(0, 0, 0, 0));
  ASSERT_NE(GetWindowRgn(rig.Surface(), region.Get()), ERROR);
  RECT box{};
  GetRgnBox(region.Get(), &box);
  // CreateRoundRectRgn(0, 0, 81, 25, 5, 5): the last visible column is 79,
  // the last visible row 23.
  EXPECT_EQ(box.left, 0);
  EXPECT_EQ(box.top, 0);
  EXPECT_EQ(box.right, 80);
  EXPECT_EQ(box.bottom, 24);
  EXPECT_TRUE(PtInRegion(region.Get(), 79, 12));
  EXPECT_TRUE(PtInRegion(region.Get(), 40, 23));
  EXPECT_FALSE(PtInRegion(region.Get(), 80, 12));
  EXPECT_FALSE(PtInRegion(region.Get(), 40, 24));
  EXPECT_FALSE(PtInRegion(region.Get(), 0, 0)) << "the corners are cut off";
}

TEST(QORButtonOnWindow, WindowTextFollowsTheCaption) {
  ButtonOnWindow rig;
  wchar_t text[32] = {};
  GetWindowTextW(rig.Surface(), text, 32);
  EXPECT_EQ(std::wstring(text), L"Capion");
  rig.button.SetCaption("安装");
  GetWindowTextW(rig.Surface(), text, 32);
  EXPECT_EQ(std::wstring(text), L"安装");
}

TEST(QORButtonOnWindow, MouseMessagesRaiseEventsInOrder) {
  struct Message {
    UINT message;
    WPARAM keys;
  };
  struct Case {
    const char* sequence;
    int x, y;  // (5, 5) is the surface; the middle is the caption label
    std::vector<Message> messages;
    std::vector<std::string> events;
  };
  const Case cases[] = {
      {"press, release on the surface", 5, 5,
       {{WM_LBUTTONDOWN, MK_LBUTTON}, {WM_LBUTTONUP, 0}},
       {"MouseDown", "MouseUp", "Click"}},
      {"double-click on the surface", 5, 5,
       {{WM_LBUTTONDOWN, MK_LBUTTON}, {WM_LBUTTONUP, 0}, {WM_LBUTTONDBLCLK, MK_LBUTTON}, {WM_LBUTTONUP, 0}},
       {"MouseDown", "MouseUp", "Click", "MouseDown", "Click", "MouseUp"}},
      {"double-click on the caption", 40, 12,
       {{WM_LBUTTONDOWN, MK_LBUTTON}, {WM_LBUTTONUP, 0}, {WM_LBUTTONDBLCLK, MK_LBUTTON}, {WM_LBUTTONUP, 0}},
       {"MouseDown", "MouseUp", "Click", "MouseDown", "MouseUp"}},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.sequence);
    ButtonOnWindow rig;
    for (const auto& m : c.messages) rig.Send(m.message, m.keys, c.x, c.y);
    ASSERT_EQ(rig.EventNames(), c.events);
    const auto& first = rig.events.front().args;
    EXPECT_EQ(first.button, 1);
    EXPECT_EQ(first.shift, 0);
    if (c.x == 5) {
      EXPECT_EQ(first.x, 75);  // surface twips
      EXPECT_EQ(first.y, 75);
    }
    if (c.events.size() > 3) {
      const auto& fromDoubleClick = rig.events[3].args;
      EXPECT_EQ(fromDoubleClick.button, 1);
      EXPECT_EQ(fromDoubleClick.shift, 0);
      EXPECT_EQ(fromDoubleClick.x, 0);
      EXPECT_EQ(fromDoubleClick.y, 0);
      ExpectPixels(rig, kHoverLook);  // the last release
    }
  }
}

TEST(QORButtonOnWindow, HoverStartsOnTheFirstMoveAndEndsWithinTwoTicksAfterThePointerLeaves) {
  ButtonOnWindow rig;
  ASSERT_TRUE(rig.WaitForTheNormalLook());

  rig.MoveCursorTo(5, 5);
  rig.Send(WM_MOUSEMOVE, 0, 5, 5);
  EXPECT_TRUE(PixelIs(rig.Image(), 0, 12, kHoverEdge));

  // Later moves and ticks with the pointer inside draw nothing.
  rig.site.Surface().SetPixel(40, 12, kMarker);
  rig.Send(WM_MOUSEMOVE, 0, 6, 5);
  PumpFor(300);
  EXPECT_TRUE(PixelIs(rig.Image(), 40, 12, kMarker));
  EXPECT_TRUE(PixelIs(rig.Image(), 0, 12, kHoverEdge));

  const auto left = std::chrono::steady_clock::now();
  ButtonOnWindow::MoveCursorAway();
  ASSERT_TRUE(PumpUntil([&] { return rig.Pixel(0, 12) == kDarkEdge; }, 2000));
  const auto elapsed = std::chrono::duration_cast<std::chrono::milliseconds>(std::chrono::steady_clock::now() - left);
  EXPECT_LE(elapsed.count(), 2 * QORButton::kHoverPollMs + 300);  // slack for a busy machine
  ExpectPixels(rig, kNormalLook);

  // The timer has stopped: the look stays.
  rig.site.Surface().SetPixel(40, 12, kMarker);
  PumpFor(250);
  EXPECT_TRUE(PixelIs(rig.Image(), 40, 12, kMarker));
}

void Click() {
  INPUT inputs[2] = {};
  inputs[0].type = INPUT_MOUSE;
  inputs[0].mi.dwFlags = MOUSEEVENTF_LEFTDOWN;
  inputs[1].type = INPUT_MOUSE;
  inputs[1].mi.dwFlags = MOUSEEVENTF_LEFTUP;
  SendInput(2, inputs, sizeof(INPUT));
}

TEST(QORButtonOnWindow, DisabledButtonRaisesNothingForRealInput) {
  ButtonOnWindow rig;
  ASSERT_TRUE(rig.WaitForTheNormalLook());

  // Enabled, the same input gets through.
  rig.MoveCursorTo(5, 5);
  Click();
  ASSERT_TRUE(PumpUntil([&] { return !rig.events.empty() && rig.events.back().name == "Click"; }));

  // The pointer stays over the button, so a running hover timer draws nothing.
  rig.button.SetEnabled(false);
  EXPECT_FALSE(IsWindowEnabled(rig.Surface()));
  rig.events.clear();
  rig.site.Surface().SetPixel(40, 12, kMarker);
  rig.MoveCursorTo(6, 6);
  PumpFor(50);
  rig.MoveCursorTo(8, 6);
  Click();
  PumpFor(300);
  EXPECT_TRUE(rig.EventNames().empty());
  EXPECT_TRUE(PixelIs(rig.Image(), 40, 12, kMarker)) << "nothing drawn";
  ButtonOnWindow::MoveCursorAway();
}

// The container disables the button while the mouse button is held on it:
// the release goes nowhere, yet the pressed look must not stay behind, also
// with the pointer resting on the button, where the hover timer changes
// nothing.
TEST(QORButtonOnWindow, DisabledWhileHeldLeavesNoPressedLookBehind) {
  ButtonOnWindow rig;
  ASSERT_TRUE(rig.WaitForTheNormalLook());
  test_support::RealMouse mouse;
  mouse.MoveTo(test_support::ScreenPoint(rig.Surface(), 5, 5));
  mouse.Press();
  ASSERT_TRUE(PumpUntil([&] { return rig.Pixel(1, 12) == kPressedGrey; })) << "never pressed";

  rig.button.SetEnabled(false);
  PumpFor(50);
  {
    SCOPED_TRACE("right after disabling");
    ExpectPixels(rig, kNormalLook);
  }
  mouse.Release();
  PumpFor(300);
  {
    SCOPED_TRACE("after the release and the hover ticks");
    ExpectPixels(rig, kNormalLook);
  }
  const auto names = rig.EventNames();
  EXPECT_NE(std::find(names.begin(), names.end(), "MouseDown"), names.end());
  EXPECT_EQ(std::find(names.begin(), names.end(), "MouseUp"), names.end());
  EXPECT_EQ(std::find(names.begin(), names.end(), "Click"), names.end());
  ButtonOnWindow::MoveCursorAway();
}

// Actions start from the focus and the mouse only: keys that push a system
// button do nothing here.
TEST(QORButtonOnWindow, SpaceAndEnterOnTheFocusedButtonRaiseNothing) {
  ButtonOnWindow rig;
  ASSERT_TRUE(rig.WaitForTheNormalLook());
  SetForegroundWindow(rig.window.Handle());
  SetFocus(rig.Surface());
  ASSERT_EQ(GetFocus(), rig.Surface());
  rig.events.clear();
  rig.site.Surface().SetPixel(40, 12, kMarker);

  std::vector<WPARAM> keysAtTheButton;
  for (WORD key : {WORD{VK_SPACE}, WORD{VK_RETURN}}) {
    test_support::TapKey(key);
    // Pumped here to see that the keys reach the button's window, as a
    // person's keys would.
    const DWORD start = GetTickCount();
    while (GetTickCount() - start < 300) {
      MSG message;
      while (PeekMessageW(&message, nullptr, 0, 0, PM_REMOVE)) {
        if (message.hwnd == rig.Surface() && (message.message == WM_KEYDOWN || message.message == WM_KEYUP))
          keysAtTheButton.push_back(message.wParam);
        TranslateMessage(&message);
        DispatchMessageW(&message);
      }
      MsgWaitForMultipleObjects(0, nullptr, FALSE, 10, QS_ALLINPUT);
    }
  }
  EXPECT_EQ(keysAtTheButton, (std::vector<WPARAM>{VK_SPACE, VK_SPACE, VK_RETURN, VK_RETURN}));
  EXPECT_EQ(GetFocus(), rig.Surface());
  EXPECT_TRUE(rig.EventNames().empty());
  EXPECT_TRUE(PixelIs(rig.Image(), 40, 12, kMarker)) << "nothing drawn";
}

// An unclipped DC of the window, to read what the screen shows there.
class WindowPixels {
 public:
  explicit WindowPixels(HWND window) : window_(window), dc_(GetDCEx(window, nullptr, DCX_CACHE)) {}
  ~WindowPixels() { ReleaseDC(window_, dc_); }
  WindowPixels(const WindowPixels&) = delete;
  WindowPixels& operator=(const WindowPixels&) = delete;
  COLORREF At(int x, int y) const { return GetPixel(dc_, x, y); }

 private:
  HWND window_;
  HDC dc_;
};

TEST(QORButtonOnWindow, CoveredThenUncoveredShowsTheLastLookAgain) {
  ButtonOnWindow rig;
  ASSERT_TRUE(rig.WaitForTheNormalLook());
  rig.Send(WM_LBUTTONDOWN, MK_LBUTTON, 5, 5);  // pressed, and the timer stopped
  WindowPixels screen(rig.window.Handle());
  const int frame2x = kButtonLeft + 1, frame2y = kButtonTop + 12;
  ASSERT_TRUE(PumpUntil([&] { return screen.At(frame2x, frame2y) == kPressedGrey; }));

  {
    platform::win32::OwnedWindow cover;
    cover.Attach(CreateWindowExW(0, L"STATIC", L"", WS_CHILD | WS_VISIBLE | SS_BLACKRECT, kButtonLeft - 5,
                                 kButtonTop - 5, 100, 40, rig.window.Handle(), nullptr, GetModuleHandleW(nullptr),
                                 nullptr));
    ASSERT_NE(cover.Get(), nullptr);
    SetWindowPos(cover.Get(), HWND_TOP, 0, 0, 0, 0, SWP_NOMOVE | SWP_NOSIZE);
    ASSERT_TRUE(PumpUntil([&] { return screen.At(frame2x, frame2y) != kPressedGrey; }));
  }
  ASSERT_TRUE(PumpUntil([&] { return screen.At(frame2x, frame2y) == kPressedGrey; }));
  EXPECT_EQ(screen.At(kButtonLeft, kButtonTop + 12), kDarkEdge);
  EXPECT_EQ(screen.At(kButtonLeft + 40, kButtonTop + 4), Grey(233));
  SendMessageW(rig.Surface(), WM_LBUTTONUP, 0, At(5, 5));
}

}  // namespace
}  // namespace controls
