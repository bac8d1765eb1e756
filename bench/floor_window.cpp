// The floor for the installer's busy wait: a window of the installer's client
// size that redraws a 233 x 13 strip where the installer's bar lies, by one
// bitmap call every 30 ms, and does nothing else. What an animation at that
// pace costs under a window system at the least; the benchmark measures the
// installer's wait against it in the same run.
#include <windows.h>

#include "bench/reference_window.h"

namespace {

constexpr wchar_t kClassName[] = L"IlvoFloorWindow";
// Xp_ProgressBar1 of the installer: left 8, top 144, 233 x 13 pixels.
constexpr RECT kStrip{8, 144, 8 + 233, 144 + 13};
constexpr int kStripWidth = kStrip.right - kStrip.left;
constexpr int kStripHeight = kStrip.bottom - kStrip.top;
constexpr UINT kTickMs = 30;
constexpr UINT_PTR kTimerId = 1;
// The picture is a runner on a trough, twice the strip's width; each tick
// shows it from the next offset, so that what is drawn changes as the
// installer's runner does.
constexpr int kRunnerWidth = 24;
constexpr int kStep = 8;

// A memory bitmap selected into a memory DC, both freed together.
class StripPicture {
 public:
  StripPicture() {
    HDC screen = GetDC(nullptr);
    dc_ = CreateCompatibleDC(screen);
    bitmap_ = CreateCompatibleBitmap(screen, 2 * kStripWidth, kStripHeight);
    ReleaseDC(nullptr, screen);
    old_ = SelectObject(dc_, bitmap_);
    const RECT all{0, 0, 2 * kStripWidth, kStripHeight};
    FillRect(dc_, &all, GetSysColorBrush(COLOR_BTNFACE));
    HBRUSH runner = CreateSolidBrush(RGB(0x31, 0x6A, 0xC5));
    for (int x = kStripWidth; x < 2 * kStripWidth; x += 2 * kRunnerWidth) {
      const RECT block{x, 2, x + kRunnerWidth, kStripHeight - 2};
      FillRect(dc_, &block, runner);
    }
    DeleteObject(runner);
  }
  StripPicture(const StripPicture&) = delete;
  StripPicture& operator=(const StripPicture&) = delete;
  ~StripPicture() {
    SelectObject(dc_, old_);
    DeleteObject(bitmap_);
    DeleteDC(dc_);
  }

  void DrawTo(HDC target, int offset) const {
    BitBlt(target, kStrip.left, kStrip.top, kStripWidth, kStripHeight, dc_, offset, 0, SRCCOPY);
  }

 private:
  HDC dc_ = nullptr;
  HBITMAP bitmap_ = nullptr;
  HGDIOBJ old_ = nullptr;
};

class FloorWindow {
 public:
  // Created in the body: its messages reach members that must exist by then.
  explicit FloorWindow(HINSTANCE instance) {
    window_ = bench::CreateReferenceWindow(instance, kClassName, L"Floor", Procedure, this);
  }
  FloorWindow(const FloorWindow&) = delete;
  FloorWindow& operator=(const FloorWindow&) = delete;
  ~FloorWindow() {
    if (IsWindow(window_)) DestroyWindow(window_);
  }

  bool Created() const { return window_ != nullptr; }
  void Show(int how) const {
    ShowWindow(window_, how);
    UpdateWindow(window_);
    SetTimer(window_, kTimerId, kTickMs, nullptr);
  }

 private:
  static LRESULT CALLBACK Procedure(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
    if (message == WM_NCCREATE) {
      const auto* create = reinterpret_cast<const CREATESTRUCTW*>(lParam);
      SetWindowLongPtrW(window, GWLP_USERDATA, reinterpret_cast<LONG_PTR>(create->lpCreateParams));
    }
    auto* self = reinterpret_cast<FloorWindow*>(GetWindowLongPtrW(window, GWLP_USERDATA));
    return self ? self->OnMessage(window, message, wParam, lParam) : DefWindowProcW(window, message, wParam, lParam);
  }

  LRESULT OnMessage(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
    switch (message) {
      case WM_TIMER: {
        // The one bitmap call of a tick.
        offset_ = (offset_ + kStep) % kStripWidth;
        HDC dc = GetDC(window);
        strip_.DrawTo(dc, offset_);
        ReleaseDC(window, dc);
        return 0;
      }
      case WM_PAINT: {
        PAINTSTRUCT paint;
        HDC dc = BeginPaint(window, &paint);
        strip_.DrawTo(dc, offset_);
        EndPaint(window, &paint);
        return 0;
      }
      case WM_DESTROY:
        KillTimer(window, kTimerId);
        PostQuitMessage(0);
        return 0;
      default:
        return DefWindowProcW(window, message, wParam, lParam);
    }
  }

  HWND window_ = nullptr;
  StripPicture strip_;
  int offset_ = 0;
};

}  // namespace

int WINAPI wWinMain(HINSTANCE instance, HINSTANCE, PWSTR, int show) {
  FloorWindow window(instance);
  if (!window.Created()) return 1;
  window.Show(show);
  return bench::RunMessageLoop();
}
