// The host window: its frame, placing controls, the tab order and the focus
// rules, GotFocus only on a real change, closing, timers, pictures.
#include <windows.h>

#include <gtest/gtest.h>

#include <atomic>
#include <chrono>
#include <functional>
#include <memory>
#include <stdexcept>
#include <string>
#include <thread>
#include <vector>

#include "platform/runtime/design_data.h"
#include "platform/win32/host_window.h"
#include "platform/win32/resources.h"
#include "tests/platform/runtime/win32_test_support.h"

namespace {

using platform::win32::ControlPlacement;
using platform::win32::HostWindow;
using platform::win32::HostWindowOptions;
using platform::win32::TwipsRect;
using runtime_tests::At;
using runtime_tests::PumpFor;
using runtime_tests::PumpPending;
using runtime_tests::PumpUntil;
using Names = std::vector<std::string>;

HostWindowOptions InstallerLikeWindow() {
  HostWindowOptions options;
  options.caption = "Ilvo - 音源不存在";
  options.clientWidth = 245;
  options.clientHeight = 168;
  options.iconResourceId = 1;
  return options;
}

ControlPlacement Placed(const std::string& name, TwipsRect rect, int tabIndex, bool focusable = true) {
  ControlPlacement placement;
  placement.name = name;
  placement.rect = rect;
  placement.tabIndex = tabIndex;
  placement.focusable = focusable;
  return placement;
}

TEST(HostWindowFrame, IsAFixedCentredWindowWithCaptionCloseBoxAndIcon) {
  HostWindow window(InstallerLikeWindow());
  const HWND handle = window.Handle();
  ASSERT_NE(handle, nullptr);
  RECT client{};
  GetClientRect(handle, &client);
  EXPECT_EQ(client.right, 245);
  EXPECT_EQ(client.bottom, 168);
  const LONG style = GetWindowLongW(handle, GWL_STYLE);
  EXPECT_EQ(style & (WS_CAPTION | WS_SYSMENU), WS_CAPTION | WS_SYSMENU);
  EXPECT_EQ(style & (WS_THICKFRAME | WS_MINIMIZEBOX | WS_MAXIMIZEBOX | WS_VISIBLE), 0);
  RECT frame{};
  GetWindowRect(handle, &frame);
  EXPECT_NEAR((frame.left + frame.right) / 2, GetSystemMetrics(SM_CXSCREEN) / 2, 1);
  EXPECT_NEAR((frame.top + frame.bottom) / 2, GetSystemMetrics(SM_CYSCREEN) / 2, 1);
  EXPECT_EQ(GetClassLongPtrW(handle, GCLP_HBRBACKGROUND), static_cast<ULONG_PTR>(COLOR_WINDOW + 1));
  EXPECT_NE(SendMessageW(handle, WM_GETICON, ICON_BIG, 0), 0);
  EXPECT_EQ(window.Caption(), "Ilvo - 音源不存在");
  window.SetCaption("Ilvo - 安装中");
  EXPECT_EQ(window.Caption(), "Ilvo - 安装中");
}

TEST(HostWindowFrame, RunReturnsOnceTheWindowIsClosedAndTheHookCanRefuse) {
  HostWindow window(InstallerLikeWindow());
  bool busy = true;
  int asked = 0;
  window.SetCloseRequestHandler([&] {
    ++asked;
    return busy;
  });
  window.Show();
  window.Close();
  EXPECT_TRUE(IsWindow(window.Handle()));
  busy = false;
  PostMessageW(window.Handle(), WM_CLOSE, 0, 0);
  window.Run();
  EXPECT_EQ(window.Handle(), nullptr);
  EXPECT_EQ(asked, 2);
}

// The installer's layout: buttons and bars overlapping in pairs, tab
// indices 0 to 6, and the picture.
class HostFocus : public testing::Test {
 protected:
  HostFocus() : window(InstallerLikeWindow()) {
    window.AddControl(Placed("XZ", {2280, 840, 1215, 375}, 3));
    window.AddControl(Placed("Bar1", {120, 2160, 3495, 195}, 0));
    window.AddControl(Placed("XF", {2280, 1440, 1215, 375}, 2));
    window.AddControl(Placed("AZ", {2280, 240, 1215, 375}, 1));
    window.AddControl(Placed("Bar2", {120, 2160, 3495, 195}, 6));
    window.AddControl(Placed("XFT", {2280, 1440, 1215, 375}, 4));
    window.AddControl(Placed("XZT", {2280, 840, 1215, 375}, 5));
    window.SetGotFocusHandler([this](const std::string& name) { gotFocus.push_back(name); });
  }

  HWND Of(const char* name) const { return window.FindControl(name)->Handle(); }
  void Disable(const char* name) { window.FindControl(name)->SetEnabled(false); }
  void Tab(bool backwards = false) {
    BYTE keys[256];
    GetKeyboardState(keys);
    keys[VK_SHIFT] = backwards ? 0x80 : 0;
    SetKeyboardState(keys);
    SendMessageW(GetFocus(), WM_KEYDOWN, VK_TAB, 0);
    keys[VK_SHIFT] = 0;
    SetKeyboardState(keys);
    PumpPending();
  }
  void ShowAndSettle() {
    window.Show();
    ASSERT_TRUE(PumpUntil([&] { return !gotFocus.empty(); }));
  }

  HostWindow window;
  Names gotFocus;
};

TEST_F(HostFocus, ControlsArePlacedInTwipsFrontToBackAsAdded) {
  RECT rect{};
  GetWindowRect(Of("AZ"), &rect);
  MapWindowPoints(nullptr, window.Handle(), reinterpret_cast<POINT*>(&rect), 2);
  EXPECT_EQ(rect.left, 152);
  EXPECT_EQ(rect.top, 16);
  EXPECT_EQ(rect.right - rect.left, 81);
  EXPECT_EQ(rect.bottom - rect.top, 25);

  Names stacking;
  for (HWND child = GetWindow(window.Handle(), GW_CHILD); child; child = GetWindow(child, GW_HWNDNEXT))
    for (const char* name : {"XZ", "Bar1", "XF", "AZ", "Bar2", "XFT", "XZT"})
      if (child == Of(name)) stacking.push_back(name);
  EXPECT_EQ(stacking, (Names{"XZ", "Bar1", "XF", "AZ", "Bar2", "XFT", "XZT"}));

  // Where two overlap, the screen shows the front one until it is hidden.
  window.FindControl("XZ")->Surface().Clear(RGB(255, 0, 0));
  window.FindControl("XZT")->Surface().Clear(RGB(0, 0, 255));
  window.Show();
  POINT middle{40, 12};
  ClientToScreen(Of("XZ"), &middle);
  const auto screen = [&] {
    platform::win32::WindowDc dc(nullptr);
    return GetPixel(dc.Get(), middle.x, middle.y);
  };
  EXPECT_TRUE(PumpUntil([&] { return screen() == RGB(255, 0, 0); })) << runtime_tests::Hex(screen());
  window.SetControlVisible("XZ", false);
  EXPECT_FALSE(window.ControlVisible("XZ"));
  EXPECT_TRUE(PumpUntil([&] { return screen() == RGB(0, 0, 255); })) << runtime_tests::Hex(screen());
}

TEST_F(HostFocus, TheFirstFocusableControlInTabOrderTakesTheInitialFocus) {
  // The installed state: the front bar and button hidden, two disabled.
  window.SetControlVisible("Bar1", false);
  window.SetControlVisible("XZ", false);
  Disable("AZ");
  Disable("XF");
  ShowAndSettle();
  EXPECT_EQ(GetFocus(), Of("XFT"));
  EXPECT_EQ(window.FocusedControl(), "XFT");
  PumpFor(50);
  EXPECT_EQ(gotFocus, Names{"XFT"});
}

TEST_F(HostFocus, TabMovesInTabOrderOverVisibleEnabledFocusableControlsAndWraps) {
  window.SetControlVisible("XZ", false);
  Disable("XF");
  window.AddControl(Placed("NoFocus", {0, 0, 300, 300}, 2, false));
  ShowAndSettle();
  ASSERT_EQ(GetFocus(), Of("Bar1"));
  for (int i = 0; i < 5; ++i) Tab();
  Tab(true);
  Tab(true);
  PumpPending();
  EXPECT_EQ(gotFocus, (Names{"Bar1", "AZ", "XFT", "XZT", "Bar2", "Bar1", "Bar2", "XZT"}));
}

TEST_F(HostFocus, TheFocusMovesOnWhenTheFocusedControlIsHiddenOrDisabled) {
  ShowAndSettle();
  ASSERT_EQ(GetFocus(), Of("Bar1"));
  window.SetControlVisible("Bar1", false);
  PumpPending();
  EXPECT_EQ(GetFocus(), Of("AZ"));
  Disable("AZ");  // as the install action does to its own button
  PumpPending();
  EXPECT_EQ(GetFocus(), Of("XF"));
  EXPECT_EQ(gotFocus, (Names{"Bar1", "AZ", "XF"}));
  // Showing or enabling them again takes nothing away from the focused one.
  window.SetControlVisible("Bar1", true);
  window.FindControl("AZ")->SetEnabled(true);
  PumpPending();
  EXPECT_EQ(GetFocus(), Of("XF"));
}

TEST_F(HostFocus, APressGivesTheFocusAndGotFocusFollowsTheMouseDown) {
  window.SetControlVisible("XZ", false);
  ShowAndSettle();
  Names order;
  platform::SurfaceHandlers handlers;
  handlers.mouseDown = [&](const platform::MouseArgs&) { order.push_back("mouseDown"); };
  window.FindControl("XZT")->SetHandlers(handlers);
  window.SetGotFocusHandler([&](const std::string& name) { order.push_back("GotFocus " + name); });
  PostMessageW(Of("XZT"), WM_LBUTTONDOWN, MK_LBUTTON, At(5, 5));
  PostMessageW(Of("XZT"), WM_LBUTTONUP, 0, At(5, 5));
  ASSERT_TRUE(PumpUntil([&] { return order.size() >= 2; }));
  EXPECT_EQ(order, (Names{"mouseDown", "GotFocus XZT"}));
  EXPECT_EQ(GetFocus(), Of("XZT"));

  // A press on a disabled control changes nothing (real input).
  Disable("AZ");
  POINT on{5, 5};
  ClientToScreen(Of("AZ"), &on);
  SetCursorPos(on.x, on.y);
  INPUT clicks[2]{};
  clicks[0].type = clicks[1].type = INPUT_MOUSE;
  clicks[0].mi.dwFlags = MOUSEEVENTF_LEFTDOWN;
  clicks[1].mi.dwFlags = MOUSEEVENTF_LEFTUP;
  SendInput(2, clicks, sizeof(INPUT));
  PumpFor(100);
  EXPECT_EQ(GetFocus(), Of("XZT"));
  EXPECT_EQ(order.size(), 2u);
}

TEST_F(HostFocus, ActivatingTheWindowAgainRaisesNoGotFocus) {
  ShowAndSettle();
  Tab();
  ASSERT_EQ(GetFocus(), Of("AZ"));
  const Names before = gotFocus;

  runtime_tests::ParentWindow other(100, 60, 400, 300);
  other.Show();
  ASSERT_TRUE(PumpUntil([&] { return GetActiveWindow() == other.Handle(); }));
  EXPECT_NE(GetFocus(), Of("AZ"));
  SetForegroundWindow(window.Handle());
  ASSERT_TRUE(PumpUntil([&] { return GetFocus() == Of("AZ"); }));
  PumpFor(50);
  EXPECT_EQ(gotFocus, before);
  EXPECT_EQ(window.FocusedControl(), "AZ");
}

TEST_F(HostFocus, AClosedMessageBoxRaisesNoGotFocus) {
  ShowAndSettle();
  Tab();
  ASSERT_EQ(GetFocus(), Of("AZ"));
  const Names before = gotFocus;

  std::atomic<bool> answered{false};
  std::thread answerer([&] {
    const auto deadline = std::chrono::steady_clock::now() + std::chrono::seconds(5);
    while (std::chrono::steady_clock::now() < deadline) {
      if (HWND box = FindWindowW(L"#32770", L"runtime question")) {
        PostMessageW(box, WM_COMMAND, IDOK, 0);
        answered = true;
        return;
      }
      std::this_thread::sleep_for(std::chrono::milliseconds(10));
    }
  });
  const int answer = MessageBoxW(window.Handle(), L"continue?", L"runtime question", MB_OKCANCEL | MB_ICONQUESTION);
  answerer.join();
  ASSERT_TRUE(answered);
  EXPECT_EQ(answer, IDOK);
  ASSERT_TRUE(PumpUntil([&] { return GetFocus() == Of("AZ"); }));
  PumpFor(50);
  EXPECT_EQ(gotFocus, before);
}

TEST_F(HostFocus, WindowTimersFireAndIntervalZeroNeverDoes) {
  int ticks = 0, never = 0;
  auto timer = window.CreateTimer(10, true, [&] { ++ticks; });
  auto idle = window.CreateTimer(0, true, [&] { ++never; });
  ASSERT_TRUE(PumpUntil([&] { return ticks >= 3; }));
  EXPECT_EQ(never, 0);
}

// An animation frame drawn in a tick is handed to the screen when the tick
// returns, with nothing left for a WM_PAINT (Wine shows the window's surface
// a moment later, so the screen is read once at the end); the same interval
// set again inside the tick keeps the pace.
TEST_F(HostFocus, WhatATickDrawsIsOnTheScreenRightAfterIt) {
  window.Show();
  PumpFor(100);
  POINT middle{40, 6};
  ClientToScreen(Of("Bar1"), &middle);
  const auto screen = [&] {
    platform::win32::WindowDc dc(nullptr);
    return GetPixel(dc.Get(), middle.x, middle.y);
  };
  const COLORREF colours[] = {RGB(255, 0, 0), RGB(0, 128, 0), RGB(0, 0, 255)};
  int ticks = 0;
  std::vector<bool> leftForPaint;
  std::unique_ptr<platform::Timer> timer;
  timer = window.CreateTimer(10, true, [&] {
    window.FindControl("Bar1")->Surface().Clear(colours[ticks % 3]);
    timer->SetInterval(30);
    ++ticks;
  });
  const auto tickMessages = [&](MSG& message) {
    // Each tick is dispatched here, so that the screen is read right after it.
    if (!PeekMessageW(&message, window.Handle(), WM_TIMER, WM_TIMER, PM_REMOVE)) return false;
    DispatchMessageW(&message);
    return true;
  };
  const DWORD start = GetTickCount();
  while (ticks < 6 && GetTickCount() - start < 5000) {
    MSG message;
    if (!tickMessages(message)) {
      MsgWaitForMultipleObjects(0, nullptr, FALSE, 5, QS_TIMER);
      continue;
    }
    leftForPaint.push_back(GetUpdateRect(Of("Bar1"), nullptr, FALSE) != FALSE);
  }
  ASSERT_EQ(ticks, 6);
  for (int i = 0; i < ticks; ++i) EXPECT_FALSE(leftForPaint[i]) << "tick " << i;
  timer->SetEnabled(false);
  EXPECT_TRUE(PumpUntil([&] { return screen() == colours[(ticks - 1) % 3]; })) << runtime_tests::Hex(screen());
  // Five ticks at 30 ms after the first at 10 ms: the re-set interval did not
  // restart the count late, nor did it keep the first 10 ms.
  const DWORD elapsed = GetTickCount() - start;
  EXPECT_GE(elapsed, 130u);
}

// Answers the message box of this title from another thread, once the
// frame it waits for shows (or a generous limit has passed), and keeps what
// the window showed while the box was up.
class BoxAnswerer {
 public:
  BoxAnswerer(const wchar_t* title, std::function<COLORREF()> shown, COLORREF awaited)
      : thread_([this, title, shown = std::move(shown), awaited] {
          const auto deadline = std::chrono::steady_clock::now() + std::chrono::seconds(10);
          while (std::chrono::steady_clock::now() < deadline) {
            if (HWND box = FindWindowW(L"#32770", title)) {
              for (int i = 0; i < 250 && shown() != awaited; ++i) {
                std::this_thread::sleep_for(std::chrono::milliseconds(20));
              }
              whileOpen_ = shown();
              PostMessageW(box, WM_COMMAND, IDOK, 0);
              answered_ = true;
              return;
            }
            std::this_thread::sleep_for(std::chrono::milliseconds(10));
          }
        }) {}
  ~BoxAnswerer() {
    if (thread_.joinable()) thread_.join();
  }
  BoxAnswerer(const BoxAnswerer&) = delete;
  BoxAnswerer& operator=(const BoxAnswerer&) = delete;

  // What the window showed while the box was up; CLR_INVALID if no box came.
  COLORREF Seen() {
    thread_.join();
    return answered_ ? whileOpen_.load() : CLR_INVALID;
  }

 private:
  std::atomic<COLORREF> whileOpen_{CLR_INVALID};
  std::atomic<bool> answered_{false};
  std::thread thread_;  // last: starts once the rest is there
};

// However a tick ends, what it drew reaches the window: a tick that throws
// (the window procedure swallows the exception), one that opens a message
// box, whose frame must show while the box is up, and the ticks of other
// timers while that box is up. The frame is read from the window's own DC,
// where a frame copied to the screen is.
TEST_F(HostFocus, ATickThatThrowsOrOpensABoxStillGetsItsFrameShown) {
  window.Show();
  PumpFor(100);
  HWND bar = Of("Bar1");
  const auto shown = [bar] {
    platform::win32::WindowDc dc(bar);
    return GetPixel(dc.Get(), 40, 6);
  };
  const auto paint = [&](COLORREF colour) { window.FindControl("Bar1")->Surface().Clear(colour); };
  std::unique_ptr<platform::Timer> timer;
  {
    SCOPED_TRACE("a tick that throws");
    bool ticked = false;
    timer = window.CreateTimer(10, true, [&] {
      timer->SetEnabled(false);
      paint(RGB(255, 0, 0));
      ticked = true;
      throw std::runtime_error("a tick that fails");
    });
    ASSERT_TRUE(PumpUntil([&] { return ticked; }));
    EXPECT_FALSE(GetUpdateRect(bar, nullptr, FALSE)) << "shown at once, not left for a WM_PAINT";
    EXPECT_EQ(shown(), RGB(255, 0, 0)) << runtime_tests::Hex(shown());
  }
  // A tick that paints blue, does beforeBox, then opens a box: what the
  // window showed while the box was up.
  const auto boxOpenedInATick = [&](const wchar_t* title, COLORREF awaited, const std::function<void()>& beforeBox) {
    BoxAnswerer answerer(title, shown, awaited);
    bool ticked = false;
    timer = window.CreateTimer(10, true, [&] {
      timer->SetEnabled(false);
      paint(RGB(0, 0, 255));
      beforeBox();
      MessageBoxW(window.Handle(), L"opened in a tick", title, MB_OK);
      ticked = true;
    });
    EXPECT_TRUE(PumpUntil([&] { return ticked; }, 15000));
    return answerer.Seen();
  };
  {
    SCOPED_TRACE("a tick that opens a message box");
    const COLORREF whileOpen = boxOpenedInATick(L"runtime tick box", RGB(0, 0, 255), [] {});
    EXPECT_EQ(whileOpen, RGB(0, 0, 255)) << runtime_tests::Hex(whileOpen);
  }
  {
    SCOPED_TRACE("another timer's tick while a box opened in a tick is up");
    std::unique_ptr<platform::Timer> animation;
    const COLORREF whileOpen = boxOpenedInATick(L"runtime tick box 2", RGB(0, 128, 0), [&] {
      animation = window.CreateTimer(10, true, [&] {
        animation->SetEnabled(false);
        paint(RGB(0, 128, 0));
      });
    });
    EXPECT_EQ(whileOpen, RGB(0, 128, 0)) << runtime_tests::Hex(whileOpen);
  }
}

// A label changed in a tick is held with the drawing: shown right after the
// tick, not left for a WM_PAINT.
TEST_F(HostFocus, ALabelChangedInATickIsShownRightAfterIt) {
  window.Show();
  auto* site = window.FindControl("Bar1");
  HWND bar = site->Handle();
  site->Surface().Clear(RGB(255, 255, 255));
  auto label = site->CreateLabel(platform::LabelFont{});
  label->SetColour(RGB(0, 0, 0));
  ASSERT_TRUE(PumpUntil([&] { return !GetUpdateRect(bar, nullptr, FALSE); }));
  bool ticked = false;
  std::unique_ptr<platform::Timer> timer = window.CreateTimer(10, true, [&] {
    timer->SetEnabled(false);
    label->SetCaption("MMMM");
    ticked = true;
  });
  // Only the tick is dispatched, so that a WM_PAINT it leaves stays queued.
  const auto deadline = std::chrono::steady_clock::now() + std::chrono::seconds(5);
  while (!ticked && std::chrono::steady_clock::now() < deadline) {
    MSG message;
    if (PeekMessageW(&message, window.Handle(), WM_TIMER, WM_TIMER, PM_REMOVE))
      DispatchMessageW(&message);
    else
      MsgWaitForMultipleObjects(0, nullptr, FALSE, 5, QS_TIMER);
  }
  ASSERT_TRUE(ticked);
  EXPECT_FALSE(GetUpdateRect(bar, nullptr, FALSE)) << "left for a WM_PAINT";
  platform::win32::WindowDc dc(bar);
  int inked = 0;
  for (int y = 0; y < 13; ++y)
    for (int x = 0; x < 60; ++x) inked += GetPixel(dc.Get(), x, y) != RGB(255, 255, 255) ? 1 : 0;
  EXPECT_GT(inked, 0) << "the caption is not on the window";
}

TEST(HostPicture, ShowsAPictureAtItsNaturalSizeAndReportsDoubleClicks) {
  HostWindow window(InstallerLikeWindow());
  auto picture = platform::win32::LoadBitmapResource(2);
  ASSERT_TRUE(picture.has_value());
  EXPECT_EQ(picture->width, 115);
  EXPECT_EQ(picture->height, 115);
  auto& element = window.AddPicture("Image1", 240, 240);
  element.SetPicture(*picture);
  RECT rect{};
  GetWindowRect(element.Handle(), &rect);
  MapWindowPoints(nullptr, window.Handle(), reinterpret_cast<POINT*>(&rect), 2);
  EXPECT_EQ(rect.left, 16);
  EXPECT_EQ(rect.top, 16);
  EXPECT_EQ(rect.right - rect.left, 115);
  EXPECT_EQ(rect.bottom - rect.top, 115);
  for (const POINT p : {POINT{0, 0}, POINT{57, 57}, POINT{114, 114}})
    EXPECT_EQ(element.Pixel(p.x, p.y), picture->At(p.x, p.y) & 0xFFFFFF);

  auto& site = window.AddControl(Placed("Button", {2280, 240, 1215, 375}, 0));
  Names events;
  element.SetHandlers({[&] { events.push_back("click"); }, [&] { events.push_back("dblclick"); }});
  window.Show();
  ASSERT_TRUE(PumpUntil([&] { return GetFocus() == site.Handle(); }));
  SendMessageW(element.Handle(), WM_LBUTTONDOWN, MK_LBUTTON, At(10, 10));
  SendMessageW(element.Handle(), WM_LBUTTONUP, 0, At(10, 10));
  SendMessageW(element.Handle(), WM_LBUTTONDBLCLK, MK_LBUTTON, At(10, 10));
  SendMessageW(element.Handle(), WM_LBUTTONUP, 0, At(10, 10));
  EXPECT_EQ(events, (Names{"click", "dblclick"}));
  EXPECT_EQ(GetFocus(), site.Handle()) << "the picture takes no focus";
}

TEST(HostResources, LoadTheProgramsIconBitmapAndDataOrNothing) {
  EXPECT_TRUE(platform::win32::LoadIconResource(1, 32));
  EXPECT_FALSE(platform::win32::LoadIconResource(99, 32));
  EXPECT_FALSE(platform::win32::LoadBitmapResource(99).has_value());
  EXPECT_FALSE(platform::win32::LoadDataResource(99).has_value());
  const auto design = platform::win32::LoadDataResource(3);
  ASSERT_TRUE(design.has_value());
  const auto data = platform::ParseDesignData(*design);
  ASSERT_NE(data.Find("b"), nullptr);
  EXPECT_EQ(data.Find("b")->properties.ReadString("caption", ""), "x");
}

}  // namespace
