// What a control hears from its surface: mouse events in the classic order,
// routed to labels with label-relative coordinates, capture, focus, timers.
#include <windows.h>

#include <gtest/gtest.h>

#include <memory>
#include <sstream>
#include <string>
#include <vector>

#include "platform/win32/child_messages.h"
#include "platform/win32/control_site.h"
#include "tests/platform/runtime/win32_test_support.h"

namespace {

using platform::MouseArgs;
using platform::win32::TwipsRect;
using platform::win32::Win32ControlSite;
using runtime_tests::At;
using runtime_tests::ParentWindow;
using runtime_tests::PumpFor;
using runtime_tests::PumpPending;
using runtime_tests::PumpUntil;
using Events = std::vector<std::string>;

std::string Describe(const std::string& who, const char* what, const MouseArgs& args) {
  std::ostringstream text;
  text << who << " " << what << " " << args.button << " " << args.shift << " " << args.x << " " << args.y;
  return text.str();
}

// A 100 x 40 pixel surface (1500 x 600 twips) at (10, 10) of its parent, with
// one label at (20, 10) pixels, recording every notification.
class SurfaceEvents : public testing::Test {
 protected:
  SurfaceEvents() : parent(200, 120), site(parent.Handle(), TwipsRect{150, 150, 1500, 600}) {
    site.SetHandlers(platform::SurfaceHandlers{
        .mouseDown = [this](const MouseArgs& a) { Record(Describe("surface", "down", a)); },
        .mouseMove = [this](const MouseArgs& a) { Record(Describe("surface", "move", a)); },
        .mouseUp = [this](const MouseArgs& a) { Record(Describe("surface", "up", a)); },
        .click = [this] { Record("surface click"); },
        .dblClick = [this] { Record("surface dblclick"); },
        .resize = [this] { Record("surface resize"); },
        .captureLost = [this] { Record("capture lost"); }});
    label = MakeLabel("label");
    label->Move(300, 150);
    // The pointer is real: keep it away, so that only the input a test makes
    // reaches the surface.
    SetCursorPos(1000, 700);
    parent.Show();
    events.clear();
  }

  std::unique_ptr<platform::Label> MakeLabel(const std::string& name) {
    auto made = site.CreateLabel(platform::LabelFont{});
    made->SetAutoSize(false);
    made->Resize(450, 300);  // 30 x 20 pixels
    made->SetHandlers(platform::LabelHandlers{
        .mouseDown = [this, name](const MouseArgs& a) { Record(Describe(name, "down", a)); },
        .mouseMove = [this, name](const MouseArgs& a) { Record(Describe(name, "move", a)); },
        .mouseUp = [this, name](const MouseArgs& a) { Record(Describe(name, "up", a)); },
        .click = [this, name] { Record(name + " click"); },
        .dblClick = [this, name] { Record(name + " dblclick"); }});
    return made;
  }

  void Record(std::string event) { events.push_back(std::move(event)); }
  void Send(UINT message, WPARAM keys, int x, int y) { SendMessageW(site.Handle(), message, keys, At(x, y)); }
  HWND Surface() const { return site.Handle(); }

  ParentWindow parent;
  Win32ControlSite site;
  std::unique_ptr<platform::Label> label;
  Events events;
};

TEST_F(SurfaceEvents, ClicksAndDoubleClicksComeInTheClassicOrder) {
  struct Case {
    const char* name;
    POINT at;
    Events expected;
  };
  const Case cases[] = {
      {"surface", {5, 3},
       {"surface down 1 0 75 45", "surface up 1 0 75 45", "surface click", "surface dblclick", "surface up 1 0 75 45"}},
      {"label", {25, 12},
       {"label down 1 0 75 30", "label up 1 0 75 30", "label click", "label dblclick", "label up 1 0 75 30"}},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    events.clear();
    Send(WM_LBUTTONDOWN, MK_LBUTTON, c.at.x, c.at.y);
    Send(WM_LBUTTONUP, 0, c.at.x, c.at.y);
    Send(WM_LBUTTONDBLCLK, MK_LBUTTON, c.at.x, c.at.y);
    Send(WM_LBUTTONUP, 0, c.at.x, c.at.y);
    EXPECT_EQ(events, c.expected);
  }
}

TEST_F(SurfaceEvents, PostedInputArrivesInTheSameOrderThroughTheQueue) {
  PostMessageW(Surface(), WM_LBUTTONDOWN, MK_LBUTTON, At(5, 3));
  PostMessageW(Surface(), WM_LBUTTONUP, 0, At(5, 3));
  PostMessageW(Surface(), WM_LBUTTONDBLCLK, MK_LBUTTON, At(5, 3));
  PostMessageW(Surface(), WM_LBUTTONUP, 0, At(5, 3));
  ASSERT_TRUE(PumpUntil([&] { return events.size() >= 5; }));
  EXPECT_EQ(events, (Events{"surface down 1 0 75 45", "surface up 1 0 75 45", "surface click", "surface dblclick",
                            "surface up 1 0 75 45"}));
}

TEST_F(SurfaceEvents, RealDoubleClicksOnTheLabelComeInTheClassicOrder) {
  POINT onLabel{25, 12};
  ClientToScreen(Surface(), &onLabel);
  SetCursorPos(onLabel.x, onLabel.y);
  PumpPending();
  events.clear();
  INPUT clicks[4]{};
  for (int i = 0; i < 4; ++i) {
    clicks[i].type = INPUT_MOUSE;
    clicks[i].mi.dwFlags = i % 2 == 0 ? MOUSEEVENTF_LEFTDOWN : MOUSEEVENTF_LEFTUP;
  }
  SendInput(4, clicks, sizeof(INPUT));
  ASSERT_TRUE(PumpUntil([&] { return events.size() >= 5; }));
  EXPECT_EQ(events, (Events{"label down 1 0 75 30", "label up 1 0 75 30", "label click", "label dblclick",
                            "label up 1 0 75 30"}));
}

TEST_F(SurfaceEvents, ADoubleClickOnAnotherElementThanTheFirstClickIsAPress) {
  Send(WM_LBUTTONDOWN, MK_LBUTTON, 5, 3);
  Send(WM_LBUTTONUP, 0, 5, 3);
  Send(WM_LBUTTONDBLCLK, MK_LBUTTON, 20, 10);
  Send(WM_LBUTTONUP, 0, 20, 10);
  EXPECT_EQ(events, (Events{"surface down 1 0 75 45", "surface up 1 0 75 45", "surface click", "label down 1 0 0 0",
                            "label up 1 0 0 0", "label click"}));
}

TEST_F(SurfaceEvents, ButtonsAndShiftKeysAreMasked) {
  Send(WM_RBUTTONDOWN, MK_RBUTTON | MK_SHIFT | MK_CONTROL, 5, 3);
  Send(WM_MBUTTONDOWN, MK_RBUTTON | MK_MBUTTON, 6, 3);
  Send(WM_MOUSEMOVE, MK_RBUTTON | MK_MBUTTON | MK_LBUTTON, 7, 3);
  Send(WM_MBUTTONUP, MK_RBUTTON, 7, 3);
  Send(WM_RBUTTONUP, MK_SHIFT, 7, 3);
  EXPECT_EQ(events, (Events{"surface down 2 3 75 45", "surface down 4 0 90 45", "surface move 7 0 105 45",
                            "surface up 4 0 105 45", "surface up 2 1 105 45", "surface click"}));
}

TEST_F(SurfaceEvents, LabelsGetLabelRelativeTwipsAndTheTopmostVisibleEnabledOneWins) {
  Send(WM_MOUSEMOVE, 0, 20, 10);  // the label's top-left pixel
  Send(WM_MOUSEMOVE, 0, 49, 29);  // its bottom-right pixel
  Send(WM_MOUSEMOVE, 0, 50, 29);  // just outside
  auto above = MakeLabel("above");
  above->Move(375, 225);  // 25, 15 pixels, overlapping the first
  Send(WM_MOUSEMOVE, 0, 30, 20);
  Send(WM_MOUSEMOVE, 0, 22, 12);
  above->SetVisible(false);
  Send(WM_MOUSEMOVE, 0, 30, 20);
  label->SetEnabled(false);
  Send(WM_MOUSEMOVE, 0, 30, 20);
  label->SetEnabled(true);
  above->SetVisible(true);
  above.reset();  // a destroyed label no longer takes the mouse
  Send(WM_MOUSEMOVE, 0, 30, 20);
  EXPECT_EQ(events, (Events{"label move 0 0 0 0", "label move 0 0 435 285", "surface move 0 0 750 435",
                            "above move 0 0 75 75", "label move 0 0 30 30", "label move 0 0 150 150",
                            "surface move 0 0 450 300", "label move 0 0 150 150"}));
}

TEST_F(SurfaceEvents, APressKeepsItsElementUntilTheLastButtonIsReleased) {
  Send(WM_LBUTTONDOWN, MK_LBUTTON, 20, 10);
  EXPECT_EQ(GetCapture(), Surface());
  Send(WM_MOUSEMOVE, MK_LBUTTON, 5, 3);      // over the surface, still the label's
  Send(WM_MOUSEMOVE, MK_LBUTTON, -10, 60);   // outside the window
  Send(WM_LBUTTONUP, 0, -10, 60);            // released outside: no click
  EXPECT_EQ(GetCapture(), nullptr);
  Send(WM_MOUSEMOVE, 0, 5, 3);
  // Released over another element than the pressed one: no click either.
  Send(WM_LBUTTONDOWN, MK_LBUTTON, 5, 3);
  Send(WM_LBUTTONUP, 0, 20, 10);
  EXPECT_EQ(events, (Events{"label down 1 0 0 0", "label move 1 0 -225 -105", "label move 1 0 -450 750",
                            "label up 1 0 -450 750", "surface move 0 0 75 45", "surface down 1 0 75 45",
                            "surface up 1 0 300 150"}));
}

TEST_F(SurfaceEvents, ALostCaptureEndsThePressWithoutAClick) {
  Send(WM_LBUTTONDOWN, MK_LBUTTON, 5, 3);
  SetCapture(parent.Handle());  // as a message box or a window move loop would
  ReleaseCapture();
  Send(WM_LBUTTONUP, 0, 5, 3);
  EXPECT_EQ(events, (Events{"surface down 1 0 75 45", "capture lost", "surface up 1 0 75 45"}));
}

// The system's move loop takes the capture and the release of a title press:
// the double-click that follows still belongs to the element pressed first,
// and to no other.
TEST_F(SurfaceEvents, ADoubleClickPairsWithThePressBeforeItWhenACaptureLossTookTheRelease) {
  struct Case {
    const char* name;
    POINT second;
    Events expected;
  };
  const Case cases[] = {
      {"same element", {25, 12}, {"label down 1 0 75 30", "capture lost", "label dblclick", "label up 1 0 75 30"}},
      {"another element", {5, 3},
       {"label down 1 0 75 30", "capture lost", "surface down 1 0 75 45", "surface up 1 0 75 45", "surface click"}},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    events.clear();
    Send(WM_LBUTTONDOWN, MK_LBUTTON, 25, 12);
    SetCapture(parent.Handle());
    ReleaseCapture();
    Send(WM_LBUTTONDBLCLK, MK_LBUTTON, c.second.x, c.second.y);
    Send(WM_LBUTTONUP, 0, c.second.x, c.second.y);
    EXPECT_EQ(events, c.expected);
  }
}

TEST_F(SurfaceEvents, HandlersMayDestroyLabelsAndTheSiteItself) {
  auto doomed = std::make_unique<Win32ControlSite>(parent.Handle(), TwipsRect{0, 900, 300, 300});
  auto doomedLabel = doomed->CreateLabel(platform::LabelFont{});
  int clicks = 0;
  platform::SurfaceHandlers handlers;
  handlers.mouseUp = [&](const MouseArgs&) {
    doomedLabel.reset();
    doomed.reset();
  };
  handlers.click = [&] { ++clicks; };
  doomed->SetHandlers(handlers);
  const HWND window = doomed->Handle();
  SendMessageW(window, WM_LBUTTONDOWN, MK_LBUTTON, At(2, 2));
  SendMessageW(window, WM_LBUTTONUP, 0, At(2, 2));
  EXPECT_EQ(doomed, nullptr);
  EXPECT_FALSE(IsWindow(window));
  EXPECT_EQ(clicks, 0);
}

TEST_F(SurfaceEvents, ADisabledSurfaceGetsNoRealInput) {
  site.SetEnabled(false);
  EXPECT_FALSE(site.Enabled());
  EXPECT_FALSE(IsWindowEnabled(Surface()));
  POINT inside{5, 3};
  ClientToScreen(Surface(), &inside);
  SetCursorPos(inside.x, inside.y);
  INPUT clicks[2]{};
  clicks[0].type = clicks[1].type = INPUT_MOUSE;
  clicks[0].mi.dwFlags = MOUSEEVENTF_LEFTDOWN;
  clicks[1].mi.dwFlags = MOUSEEVENTF_LEFTUP;
  SendInput(2, clicks, sizeof(INPUT));
  PumpFor(150);
  EXPECT_TRUE(events.empty());
  EXPECT_NE(GetFocus(), Surface());

  // The same input reaches it once it is enabled again, and the press gives
  // it the focus.
  site.SetEnabled(true);
  SendInput(2, clicks, sizeof(INPUT));
  ASSERT_TRUE(PumpUntil([&] { return events.size() >= 3; }));
  EXPECT_EQ(events, (Events{"surface down 1 0 75 45", "surface up 1 0 75 45", "surface click"}));
  EXPECT_EQ(GetFocus(), Surface());
}

TEST_F(SurfaceEvents, APressGivesTheFocusBeforeTheMouseDownRuns) {
  SetFocus(parent.Handle());
  bool focusedAtMouseDown = false;
  platform::SurfaceHandlers handlers;
  handlers.mouseDown = [&](const MouseArgs&) { focusedAtMouseDown = GetFocus() == Surface(); };
  site.SetHandlers(handlers);
  Send(WM_LBUTTONDOWN, MK_LBUTTON, 5, 3);
  Send(WM_LBUTTONUP, 0, 5, 3);
  EXPECT_TRUE(focusedAtMouseDown);
  ASSERT_FALSE(parent.childMessages.empty());
  EXPECT_EQ(parent.childMessages.back().message, platform::win32::kChildGotFocus);
  EXPECT_EQ(parent.childMessages.back().child, Surface());

  // A surface that takes no focus leaves it where it was.
  SetFocus(parent.Handle());
  site.SetFocusable(false);
  Send(WM_LBUTTONDOWN, MK_LBUTTON, 5, 3);
  Send(WM_LBUTTONUP, 0, 5, 3);
  EXPECT_EQ(GetFocus(), parent.Handle());
}

TEST_F(SurfaceEvents, TabDisablingAndHidingAreToldToTheParent) {
  using platform::win32::kChildLeftTabOrder;
  using platform::win32::kFocusStepRequest;
  EXPECT_EQ(SendMessageW(Surface(), WM_GETDLGCODE, 0, 0) & DLGC_WANTTAB, DLGC_WANTTAB);
  parent.childMessages.clear();
  SendMessageW(Surface(), WM_KEYDOWN, VK_TAB, 0);
  BYTE keys[256];
  GetKeyboardState(keys);
  keys[VK_SHIFT] = 0x80;
  SetKeyboardState(keys);
  SendMessageW(Surface(), WM_KEYDOWN, VK_TAB, 0);
  keys[VK_SHIFT] = 0;
  SetKeyboardState(keys);
  site.SetEnabled(false);
  ShowWindow(Surface(), SW_HIDE);

  const std::vector<std::pair<UINT, WPARAM>> expected{
      {kFocusStepRequest, 0}, {kFocusStepRequest, 1}, {kChildLeftTabOrder, 0}, {kChildLeftTabOrder, 0}};
  std::vector<std::pair<UINT, WPARAM>> told;
  for (const auto& m : parent.childMessages) {
    EXPECT_EQ(m.child, Surface());
    told.emplace_back(m.message, m.wParam);
  }
  EXPECT_EQ(told, expected);
}

TEST_F(SurfaceEvents, LabelsSizeThemselvesToTheirTextInWholePixels) {
  auto text = site.CreateLabel(platform::LabelFont{});
  EXPECT_EQ(text->Width(), 0);
  EXPECT_GT(text->Height(), 0);
  text->SetCaption("Button");
  const double regular = text->Width();
  EXPECT_GT(regular, 0);
  EXPECT_EQ(static_cast<int>(regular) % 15, 0);
  EXPECT_EQ(static_cast<int>(text->Height()) % 15, 0);
  text->SetBold(true);
  EXPECT_GE(text->Width(), regular);
  text->SetCaption("Button Button");
  EXPECT_GT(text->Width(), regular);
  text->SetCaption("安装");
  EXPECT_GT(text->Width(), 0);
  EXPECT_EQ(text->Caption(), "安装");

  auto big = site.CreateLabel(platform::LabelFont{.face = "宋体", .points = 14.25, .charset = 134});
  big->SetCaption("メ");
  EXPECT_GE(big->Height(), text->Height());

  // Without AutoSize the size given stays, whatever the text, also when it
  // was given before AutoSize went off; with AutoSize back the text rules.
  text->Resize(600, 300);
  EXPECT_NE(text->Width(), 600);
  text->SetAutoSize(false);
  text->SetCaption("a much longer caption than before");
  EXPECT_EQ(text->Width(), 600);
  EXPECT_EQ(text->Height(), 300);
  text->SetAutoSize(true);
  EXPECT_GT(text->Width(), regular);
}

TEST_F(SurfaceEvents, LabelsAreDrawnAboveTheImageAndLeaveTheRestAlone) {
  site.Surface().Clear(RGB(0, 0, 255));
  label->SetCaption("Wg");
  label->SetColour(RGB(255, 255, 0));
  auto disabled = site.CreateLabel(platform::LabelFont{});
  disabled->SetCaption("Off");
  disabled->Move(900, 300);
  disabled->SetEnabled(false);
  PumpPending();
  // The image itself keeps no text; painting puts it above.
  EXPECT_EQ(site.Pixel(25, 15), RGB(0, 0, 255));
  platform::win32::MemoryDc dc;
  BITMAPINFO info{};
  info.bmiHeader = {sizeof(BITMAPINFOHEADER), 100, -40, 1, 32, BI_RGB, 0, 0, 0, 0, 0};
  void* bits = nullptr;
  platform::win32::BitmapHandle bitmap(CreateDIBSection(nullptr, &info, DIB_RGB_COLORS, &bits, nullptr, 0));
  platform::win32::SelectedObject selected(dc.Get(), bitmap.Get());
  SendMessageW(Surface(), WM_PRINTCLIENT, reinterpret_cast<WPARAM>(dc.Get()), PRF_CLIENT);
  GdiFlush();
  const auto* pixels = static_cast<const std::uint32_t*>(bits);
  for (int y = 0; y < 40; ++y)
    for (int x = 0; x < 100; ++x) {
      const bool inLabel = x >= 20 && x < 50 && y >= 10 && y < 30;
      const RECT off = {60, 20, 60 + static_cast<LONG>(disabled->Width() / 15) + 2,
                        20 + static_cast<LONG>(disabled->Height() / 15) + 2};
      const bool inDisabled = PtInRect(&off, POINT{x, y});
      if (!inLabel && !inDisabled) {
        ASSERT_EQ(pixels[y * 100 + x] & 0xFFFFFF, 0x0000FFu) << x << "," << y;
      }
    }
}

TEST_F(SurfaceEvents, ALabelOutlivingItsSiteIsHarmless) {
  auto orphan = std::make_unique<Win32ControlSite>(parent.Handle(), TwipsRect{0, 0, 300, 300});
  auto kept = orphan->CreateLabel(platform::LabelFont{});
  auto timer = orphan->CreateTimer(10, true, [] {});
  orphan.reset();
  kept->SetCaption("still here");
  kept->Move(15, 15);
  EXPECT_EQ(kept->Caption(), "still here");
  timer->SetEnabled(true);
  timer->SetInterval(5);
  PumpFor(30);
}

class SurfaceTimers : public SurfaceEvents {};

TEST_F(SurfaceTimers, FireWhileEnabledWithAnIntervalAndStopWhenDestroyed) {
  int ticks = 0, never = 0, disabled = 0;
  auto timer = site.CreateTimer(15, true, [&] { ++ticks; });
  auto zero = site.CreateTimer(0, true, [&] { ++never; });
  auto off = site.CreateTimer(15, false, [&] { ++disabled; });
  ASSERT_TRUE(PumpUntil([&] { return ticks >= 3; }));
  EXPECT_EQ(never, 0);
  EXPECT_EQ(disabled, 0);

  off->SetEnabled(true);
  ASSERT_TRUE(PumpUntil([&] { return disabled >= 1; }));
  timer->SetEnabled(false);
  const int stopped = ticks;
  zero->SetInterval(0);
  PumpFor(100);
  EXPECT_EQ(ticks, stopped);
  EXPECT_EQ(never, 0);

  off.reset();
  const int afterDestroy = disabled;
  PumpFor(60);
  EXPECT_EQ(disabled, afterDestroy);
}

TEST_F(SurfaceTimers, ATickIsNotEnteredAgainWhileItRunsAMessageLoop) {
  int entered = 0, maxDepth = 0, depth = 0;
  std::unique_ptr<platform::Timer> timer;
  timer = site.CreateTimer(10, true, [&] {
    ++entered;
    maxDepth = std::max(maxDepth, ++depth);
    PumpFor(60);  // as a wait loop or a message box would
    --depth;
    if (entered == 2) timer.reset();  // a tick may end its own timer
  });
  ASSERT_TRUE(PumpUntil([&] { return timer == nullptr; }));
  EXPECT_EQ(maxDepth, 1);
}

}  // namespace
