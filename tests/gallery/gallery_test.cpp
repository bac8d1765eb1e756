// ControlGallery.exe as a person sees it and uses it: the gallery and two
// skinned windows shown, every look on the screen, the busy runner moving
// without a trail, the skinned title bar under real input, and the program
// ending from either kind of window.
#include <windows.h>

#include <gtest/gtest.h>

#include <algorithm>
#include <chrono>
#include <cstdlib>
#include <filesystem>
#include <optional>
#include <sstream>
#include <string>
#include <thread>
#include <vector>

#include "controls/gallery/gallery_layout.h"
#include "controls/progressbar/progress_pictures.h"
#include "controls/skin/skin_geometry.h"
#include "platform/win32/text.h"
#include "tests/support/real_input.h"
#include "tests/support/screen_capture.h"
#include "tests/support/wait.h"
#include "tests/support/wine_paths.h"
#include "tests/support/window_rect.h"

namespace {

using namespace std::chrono_literals;
using test_support::CaptureScreen;
using test_support::CaptureWindow;
using test_support::ScreenImage;

constexpr LONG kFrameStyles = WS_CAPTION | WS_THICKFRAME | WS_SYSMENU;

std::filesystem::path GalleryExe() { return test_support::ArgumentPath(0); }

using test_support::WaitUntil;
using test_support::WindowsPath;

using test_support::SameRect;
using test_support::WindowRectOf;

// One run of the gallery; ended by force if a test leaves it running.
class GalleryRun {
 public:
  GalleryRun() {
    std::wstring commandLine = L"\"" + GalleryExe().wstring() + L"\"";
    STARTUPINFOW startup{};
    startup.cb = sizeof startup;
    PROCESS_INFORMATION info{};
    if (CreateProcessW(GalleryExe().c_str(), commandLine.data(), nullptr, nullptr, FALSE, 0, nullptr, nullptr,
                       &startup, &info)) {
      CloseHandle(info.hThread);
      process_ = info.hProcess;
      processId_ = info.dwProcessId;
    }
  }
  ~GalleryRun() {
    if (!process_) return;
    if (Running()) {
      TerminateProcess(process_, 99);
      WaitForSingleObject(process_, 10000);
    }
    CloseHandle(process_);
  }
  GalleryRun(const GalleryRun&) = delete;
  GalleryRun& operator=(const GalleryRun&) = delete;

  bool Started() const { return process_ != nullptr; }
  bool Running() const { return process_ && WaitForSingleObject(process_, 0) == WAIT_TIMEOUT; }

  // The shown top-level window of this run with the caption, or null.
  HWND WaitForWindow(const char* caption) const {
    const std::wstring wanted = platform::win32::Widen(caption);
    HWND found = nullptr;
    WaitUntil(
        [&] {
          found = nullptr;
          for (HWND window = GetTopWindow(nullptr); window && !found; window = GetWindow(window, GW_HWNDNEXT)) {
            DWORD owner = 0;
            GetWindowThreadProcessId(window, &owner);
            wchar_t text[64] = {};
            GetWindowTextW(window, text, 64);
            if (owner == processId_ && IsWindowVisible(window) && wanted == text) found = window;
          }
          return found != nullptr;
        },
        20s);
    return found;
  }

  std::optional<DWORD> WaitForExit() const {
    if (!WaitUntil([&] { return !Running(); }, 20s)) return std::nullopt;
    DWORD code = 0;
    GetExitCodeProcess(process_, &code);
    return code;
  }

 private:
  HANDLE process_ = nullptr;
  DWORD processId_ = 0;
};

// The skinned window once the skin has stripped its frame and covers it.
HWND WaitForSkinnedWindow(const GalleryRun& run, const char* caption = gallery::kSkinCaption) {
  HWND window = run.WaitForWindow(caption);
  if (!window) return nullptr;
  const bool attached = WaitUntil(
      [&] {
        HWND skin = GetDlgItem(window, gallery::kSkinId);
        return skin && (GetWindowLongW(window, GWL_STYLE) & kFrameStyles) == 0 &&
               SameRect(WindowRectOf(skin), WindowRectOf(window));
      },
      20s);
  return attached ? window : nullptr;
}

bool OneOf(COLORREF colour, const platform::Picture& picture, int column) {
  for (int y = 0; y < picture.height; ++y)
    if (picture.At(column, y) == colour) return true;
  return false;
}

bool Anywhere(COLORREF colour, const platform::Picture& picture) {
  return std::find(picture.pixels.begin(), picture.pixels.end(), colour) != picture.pixels.end();
}

std::string Hex(COLORREF colour) {
  std::ostringstream text;
  text << "0x" << std::hex << colour;
  return text.str();
}

// What the bars of one look window show, checked on the real screen; the
// first thing that differs, or nothing. A block is a tile scaled to the
// trough's height: its columns are the tile's columns, its rows some rows of
// them, depending on how the platform stretches.
class BarCheck {
 public:
  explicit BarCheck(HWND parent) : parent_(parent) {}

  // The first block, from x = 4, shows the look's full tile.
  void FirstBlock(int id, int look, int row) {
    const ScreenImage bar = Capture(id);
    if (bar.width < 12) return Fail(id, "is not on the screen");
    const COLORREF seen = bar.At(5, row);
    if (!OneOf(seen, pictures_.looks[look][2], 1)) Fail(id, "first block shows " + Hex(seen));
  }
  // A full bar ends in a compressed block before the right frame.
  void LastBlock(int id, int look) {
    const ScreenImage bar = Capture(id);
    if (bar.width < 230) return Fail(id, "is not on the screen");
    const COLORREF seen = bar.At(226, 6);
    if (!Anywhere(seen, pictures_.looks[look][2])) Fail(id, "last block shows " + Hex(seen));
  }
  // A quarter-full bar leaves the trough empty far to the right.
  void EmptyTrough(int id) {
    const ScreenImage bar = Capture(id);
    if (bar.width < 230) return Fail(id, "is not on the screen");
    if (bar.At(200, 5) != pictures_.img.At(29, 6)) Fail(id, "trough shows " + Hex(bar.At(200, 5)));
  }

  const std::string& Failure() const { return failure_; }

 private:
  ScreenImage Capture(int id) const { return CaptureScreen(WindowRectOf(GetDlgItem(parent_, id))); }
  void Fail(int id, const std::string& what) {
    if (failure_.empty()) failure_ = "bar " + std::to_string(id) + " " + what;
  }

  HWND parent_;
  const controls::progressbar::ProgressPictures pictures_ = controls::progressbar::LoadBuiltInPictures();
  std::string failure_;
};

std::string CheckMainWindowBars(HWND main) {
  BarCheck check(main);
  for (int look = 0; look < controls::progressbar::kLookCount; ++look) {
    const int id = gallery::kFirstLookBarId + look;
    check.FirstBlock(id, look, 6);
    if (gallery::kLookBarValues[look] == 100) check.LastBlock(id, look);
    if (gallery::kLookBarValues[look] == 25) check.EmptyTrough(id);
  }
  check.FirstBlock(gallery::kTallBarId, gallery::kTallBarLook, 10);
  return check.Failure();
}

std::string CheckSkinnedWindow(HWND skinned) {
  const ScreenImage face = CaptureWindow(skinned);
  if (face.width != gallery::kSkinWindowWidth || face.height != gallery::kSkinWindowHeight)
    return "the skinned window is " + std::to_string(face.width) + " x " + std::to_string(face.height);
  // The black border runs through the first column and the last but one,
  // down both sides; the title bar's gradient darkens from its grey base.
  const int right = gallery::kSkinWindowWidth - 2;
  for (int y : {60, 150})
    for (int x : {0, right})
      if (face.At(x, y) != RGB(0, 0, 0)) return "border at " + std::to_string(x) + "," + std::to_string(y);
  if (face.At(100, 8) != RGB(63, 63, 63)) return "title bar shows " + Hex(face.At(100, 8));
  BarCheck check(skinned);
  check.FirstBlock(gallery::kSkinBarId, gallery::kSkinBarLook, 6);
  return check.Failure();
}

void SaveScreenshot(const ScreenImage& image, const wchar_t* name) {
  const char* folder = std::getenv("ILVO_SCREENSHOTS");
  if (!folder || !*folder) return;
  EXPECT_TRUE(test_support::SaveBmp(image, WindowsPath(folder) / name)) << "cannot save the screenshot";
}

TEST(ControlGallery, ShowsEveryControlAndSkinsItsSecondWindow) {
  GalleryRun run;
  ASSERT_TRUE(run.Started()) << GalleryExe();
  HWND main = run.WaitForWindow(gallery::kMainCaption);
  ASSERT_NE(main, nullptr) << "the main window never showed";
  HWND skinned = WaitForSkinnedWindow(run);
  ASSERT_NE(skinned, nullptr) << "the skin never took over its window";
  HWND fixedSkinned = WaitForSkinnedWindow(run, gallery::kFixedSkinCaption);
  ASSERT_NE(fixedSkinned, nullptr) << "the skin never took over the second window";
  RECT overlap{};
  const RECT skinRect = WindowRectOf(skinned), fixedRect = WindowRectOf(fixedSkinned), mainRect = WindowRectOf(main);
  EXPECT_FALSE(IntersectRect(&overlap, &skinRect, &fixedRect) || IntersectRect(&overlap, &skinRect, &mainRect) ||
               IntersectRect(&overlap, &fixedRect, &mainRect))
      << "the windows lie apart";
  EXPECT_EQ(GetWindowLongW(main, GWL_STYLE) & (WS_CAPTION | WS_SYSMENU), WS_CAPTION | WS_SYSMENU)
      << "the main window keeps its own frame";

  for (int id = gallery::kFirstButtonId; id < gallery::kFirstButtonId + gallery::kButtonCount; ++id)
    EXPECT_EQ(IsWindowEnabled(GetDlgItem(main, id)) != FALSE, id != gallery::kDisabledButtonId) << "button " << id;
  for (int id : {gallery::kFirstSkinButtonId, gallery::kFirstSkinButtonId + 1}) {
    // In front of the skin's face, so that it gets the clicks.
    const RECT button = WindowRectOf(GetDlgItem(skinned, id));
    const POINT centre{(button.left + button.right) / 2, (button.top + button.bottom) / 2};
    EXPECT_EQ(WindowFromPoint(centre), GetDlgItem(skinned, id)) << "button " << id;
  }

  std::string mainFailure, skinFailure;
  EXPECT_TRUE(WaitUntil([&] { return (mainFailure = CheckMainWindowBars(main)).empty(); }, 10s)) << mainFailure;
  EXPECT_TRUE(WaitUntil([&] { return (skinFailure = CheckSkinnedWindow(skinned)).empty(); }, 10s)) << skinFailure;
  EXPECT_TRUE(WaitUntil([&] { return (skinFailure = CheckSkinnedWindow(fixedSkinned)).empty(); }, 10s))
      << skinFailure;

  const RECT marqueeRect = WindowRectOf(GetDlgItem(main, gallery::kMarqueeBarId));
  const ScreenImage before = CaptureScreen(marqueeRect);
  EXPECT_TRUE(WaitUntil([&] { return CaptureScreen(marqueeRect) != before; }, 5s)) << "the runner stands still";

  SaveScreenshot(CaptureWindow(main), L"gallery-main.bmp");
  SaveScreenshot(CaptureWindow(skinned), L"gallery-skin.bmp");
  SaveScreenshot(CaptureWindow(fixedSkinned), L"gallery-skin-changesize-false.bmp");

  PostMessageW(main, WM_SYSCOMMAND, SC_CLOSE, 0);
  EXPECT_EQ(run.WaitForExit(), std::optional<DWORD>(0)) << "closing the main window ends the program";
}

TEST(ControlGallery, SkinCloseButtonEndsTheProgram) {
  GalleryRun run;
  ASSERT_TRUE(run.Started()) << GalleryExe();
  HWND skinned = WaitForSkinnedWindow(run);
  ASSERT_NE(skinned, nullptr) << "the skin never took over its window";

  // Inside the rightmost title button, which is the close button.
  const auto lefts = controls::skin::TitleButtonLefts(gallery::kSkinWindowWidth * 15.0, {true, true, true});
  ASSERT_TRUE(lefts[0].has_value());
  const int x = static_cast<int>(*lefts[0] / 15) + 6;
  const int y = 16;
  HWND skin = GetDlgItem(skinned, gallery::kSkinId);
  PostMessageW(skin, WM_MOUSEMOVE, 0, MAKELPARAM(x, y));
  PostMessageW(skin, WM_LBUTTONDOWN, MK_LBUTTON, MAKELPARAM(x, y));
  PostMessageW(skin, WM_LBUTTONUP, 0, MAKELPARAM(x, y));
  EXPECT_EQ(run.WaitForExit(), std::optional<DWORD>(0));
}

// The columns of the bar's trough that are not white, in ascending order.
std::vector<int> MarkedTroughColumns(const ScreenImage& bar) {
  std::vector<int> columns;
  for (int x = 3; x < bar.width - 3; ++x)
    for (int y = 3; y < bar.height - 3; ++y)
      if (bar.At(x, y) != RGB(255, 255, 255)) {
        columns.push_back(x);
        break;
      }
  return columns;
}

// After several laps the trough shows the runner and nothing else: its three
// segments span 14 columns; a trail of erased segments would mark more.
TEST(ControlGallery, BusyRunnerLeavesNoTrailAfterSeveralLaps) {
  GalleryRun run;
  ASSERT_TRUE(run.Started()) << GalleryExe();
  HWND main = run.WaitForWindow(gallery::kMainCaption);
  ASSERT_NE(main, nullptr);
  const RECT bar = WindowRectOf(GetDlgItem(main, gallery::kMarqueeBarId));
  ASSERT_EQ(bar.right - bar.left, 233);
  // A lap is 47 steps, one every 30 ms.
  std::this_thread::sleep_for(5s);
  ScreenImage shot;
  std::vector<int> marked;
  for (int look = 0; look < 20; ++look) {
    shot = CaptureScreen(bar);
    marked = MarkedTroughColumns(shot);
    if (!marked.empty()) break;  // not caught between laps
    std::this_thread::sleep_for(20ms);
  }
  ASSERT_FALSE(marked.empty()) << "no runner on the screen";
  EXPECT_LT(marked.back() - marked.front(), 14) << "marks from " << marked.front() << " to " << marked.back();
  SaveScreenshot(CaptureWindow(main), L"gallery-runner-after-laps.bmp");
  PostMessageW(main, WM_SYSCOMMAND, SC_CLOSE, 0);
  EXPECT_EQ(run.WaitForExit(), std::optional<DWORD>(0));
}

// A person double-clicks the skinned window's title: it fills the work area,
// and a second double-click brings it back; the window with ChangeSize False
// stays as it is.
TEST(ControlGallery, RealDoubleClickOnTheSkinnedTitleMaximisesAndRestores) {
  GalleryRun run;
  ASSERT_TRUE(run.Started()) << GalleryExe();
  HWND skinned = WaitForSkinnedWindow(run);
  ASSERT_NE(skinned, nullptr);
  HWND fixedSkinned = WaitForSkinnedWindow(run, gallery::kFixedSkinCaption);
  ASSERT_NE(fixedSkinned, nullptr);
  std::string failure;
  ASSERT_TRUE(WaitUntil([&] { return (failure = CheckSkinnedWindow(skinned)).empty(); }, 10s)) << failure;

  test_support::RealMouse mouse;
  const auto doubleClickTitle = [&](HWND window) {
    // Left of the caption, below the icon: only the title bar is there.
    const RECT rect = WindowRectOf(window);
    mouse.MoveTo(POINT{rect.left + 5, rect.top + 5});
    mouse.DoubleClick();
  };
  const RECT before = WindowRectOf(skinned);
  MONITORINFO monitor{};
  monitor.cbSize = sizeof monitor;
  GetMonitorInfoW(MonitorFromWindow(skinned, MONITOR_DEFAULTTONEAREST), &monitor);
  const RECT work = monitor.rcWork;
  doubleClickTitle(skinned);
  EXPECT_TRUE(WaitUntil(
      [&] {
        const RECT now = WindowRectOf(skinned);
        return now.left == work.left && now.top == work.top && now.bottom == work.bottom && now.right >= work.right;
      },
      5s))
      << "not maximised by a real double-click";
  const RECT maximised = WindowRectOf(skinned);
  EXPECT_TRUE(WaitUntil([&] { return SameRect(WindowRectOf(GetDlgItem(skinned, gallery::kSkinId)), maximised); }, 5s))
      << "the skin covers the maximised window";
  // What shows on the screen: the window runs five pixels past its right edge.
  const auto onScreen = [&] {
    RECT visible{};
    const RECT screen{0, 0, GetSystemMetrics(SM_CXSCREEN), GetSystemMetrics(SM_CYSCREEN)};
    const RECT window = WindowRectOf(skinned);
    IntersectRect(&visible, &window, &screen);
    return CaptureScreen(visible);
  };
  // The face repainted at the new size: the border down the left edge, the
  // title bar's gradient, and the bottom of the face above the work area's end.
  const int height = work.bottom - work.top;
  EXPECT_TRUE(WaitUntil(
      [&] {
        const ScreenImage face = onScreen();
        return face.height == height && face.At(0, height / 2) == RGB(0, 0, 0) &&
               face.At(100, 8) == RGB(63, 63, 63) && face.At(400, height - 2) == RGB(0, 0, 0) &&
               face.At(400, height - 20) != RGB(0, 0, 0);
      },
      5s))
      << "the maximised face is not on the screen";
  SaveScreenshot(onScreen(), L"gallery-skin-maximised.bmp");

  // No earlier press may pair with the next double-click's first click.
  std::this_thread::sleep_for(std::chrono::milliseconds(GetDoubleClickTime() + 100));
  doubleClickTitle(skinned);
  EXPECT_TRUE(WaitUntil([&] { return SameRect(WindowRectOf(skinned), before); }, 5s)) << "not restored";

  const RECT fixedBefore = WindowRectOf(fixedSkinned);
  std::this_thread::sleep_for(std::chrono::milliseconds(GetDoubleClickTime() + 100));
  doubleClickTitle(fixedSkinned);
  std::this_thread::sleep_for(1s);
  EXPECT_TRUE(SameRect(WindowRectOf(fixedSkinned), fixedBefore)) << "ChangeSize False: no maximise";
  ASSERT_TRUE(run.Running());
}

}  // namespace
