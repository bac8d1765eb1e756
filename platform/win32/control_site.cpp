#include "platform/win32/control_site.h"

#include <windowsx.h>

#include <algorithm>

#include "platform/units.h"
#include "platform/win32/accessibility.h"
#include "platform/win32/child_messages.h"
#include "platform/win32/text.h"

namespace platform::win32 {
namespace {

constexpr wchar_t kSurfaceClass[] = L"IlvoControlSurface";

POINT PointOf(LPARAM position) { return POINT{GET_X_LPARAM(position), GET_Y_LPARAM(position)}; }

}  // namespace

Win32ControlSite::Win32ControlSite(HWND parent, const TwipsRect& placement)
    : parent_(parent),
      image_(std::max(TwipsToWholePixels(placement.width), 0), std::max(TwipsToWholePixels(placement.height), 0),
             GetSysColor(COLOR_BTNFACE)),
      surface_(image_, [this] { Invalidate(); }) {
  RegisterWindowClass(kSurfaceClass, WindowProcedure<Win32ControlSite>, CS_DBLCLKS, nullptr);
  CreateWindowExW(0, kSurfaceClass, L"", WS_CHILD | WS_VISIBLE | WS_CLIPSIBLINGS | WS_TABSTOP,
                  TwipsToWholePixels(placement.left), TwipsToWholePixels(placement.top), image_.Width(), image_.Height(), parent,
                  nullptr, GetModuleHandleW(nullptr), this);
}

Win32ControlSite::~Win32ControlSite() = default;

void Win32ControlSite::OnAttached(HWND window) noexcept {
  window_.Attach(window);
  labels_->SetChangedHandler([this] { Invalidate(); });
  timers_.SetWindow(window);
  router_.emplace(window, *labels_, handlers_);
}

void Win32ControlSite::OnDetached() noexcept {
  window_.Forget();
  labels_->SetChangedHandler(nullptr);
  timers_.SetWindow(nullptr);
}

void Win32ControlSite::SetHandlers(SurfaceHandlers handlers) { handlers_ = std::move(handlers); }

std::unique_ptr<Label> Win32ControlSite::CreateLabel(const LabelFont& font) {
  return CreateSurfaceLabel(labels_, font);
}

std::unique_ptr<Timer> Win32ControlSite::CreateTimer(int intervalMs, bool enabled, std::function<void()> tick) {
  return timers_.Create(intervalMs, enabled, std::move(tick));
}

void Win32ControlSite::SetEnabled(bool enabled) {
  enabled_ = enabled;
  // A window already so is left alone: the call would still ask the window system.
  if (window_.Get() && (IsWindowEnabled(window_.Get()) != FALSE) != enabled)
    EnableWindow(window_.Get(), enabled ? TRUE : FALSE);
}

bool Win32ControlSite::Enabled() const { return enabled_; }

void Win32ControlSite::SetRoundRegion(int right, int bottom, int ellipse) {
  if (!window_.Get()) return;
  const std::array<int, 3> shape{right, bottom, ellipse};
  if (roundRegion_ == shape) return;
  RegionHandle region(CreateRoundRectRgn(0, 0, right, bottom, ellipse, ellipse));
  if (!region) return;
  // On success the window owns the region.
  if (!SetWindowRgn(window_.Get(), region.Get(), TRUE)) return;
  region.Release();
  roundRegion_ = shape;
}

Point Win32ControlSite::CursorPosition() const {
  POINT cursor{};
  GetCursorPos(&cursor);
  if (window_.Get()) ScreenToClient(window_.Get(), &cursor);
  return Point{cursor.x, cursor.y};
}

std::uintptr_t Win32ControlSite::WindowHandle() const { return reinterpret_cast<std::uintptr_t>(window_.Get()); }

std::uintptr_t Win32ControlSite::ParentWindowHandle() const { return reinterpret_cast<std::uintptr_t>(parent_); }

void Win32ControlSite::PlaceInParent(int x, int y, int width, int height) {
  if (!window_.Get()) return;
  SetWindowPos(window_.Get(), nullptr, x, y, std::max(width, 0), std::max(height, 0),
               SWP_NOZORDER | SWP_NOACTIVATE | SWP_NOOWNERZORDER);
}

void Win32ControlSite::SetCursor(Cursor cursor) {
  cursor_ = cursor;
  POINT pointer{};
  if (window_.Get() && GetCursorPos(&pointer) && WindowFromPoint(pointer) == window_.Get())
    ::SetCursor(LoadCursorW(nullptr, reinterpret_cast<LPCWSTR>(cursor == Cursor::SizeNwSe ? IDC_SIZENWSE : IDC_ARROW)));
}

void Win32ControlSite::PropertyChanged(std::string_view name) {
  if (propertyChanged_) propertyChanged_(name);
}

void Win32ControlSite::ReportSize() {
  if (auto resize = handlers_.resize) resize();
}

void Win32ControlSite::SetPropertyChangedHandler(std::function<void(std::string_view)> handler) {
  propertyChanged_ = std::move(handler);
}

void Win32ControlSite::SetAccessibleName(const std::string& text) {
  if (window_.Get()) SetWindowTextW(window_.Get(), Widen(text).c_str());
}

void Win32ControlSite::Paint(HDC dc) const {
  image_.CopyTo(dc, 0, 0);
  labels_->Paint(dc);
}

void Win32ControlSite::Invalidate() {
  // The whole window is already due for painting: a drawing of many lines asks
  // the window system once, not once a line.
  if (repaintPending_ || !window_.Get()) return;
  if (holdDepth_ > 0) {
    drawnWhileHeld_ = true;
    return;
  }
  InvalidateRect(window_.Get(), nullptr, FALSE);
  repaintPending_ = true;
}

DrawingHold::DrawingHold(Win32ControlSite& site) : site_(&site), alive_(site.alive_) { ++site.holdDepth_; }

DrawingHold::DrawingHold(DrawingHold&& other) noexcept : site_(other.site_), alive_(std::move(other.alive_)) {
  other.alive_.reset();
}

DrawingHold::~DrawingHold() {
  if (alive_.expired()) return;
  --site_->holdDepth_;
  // An inner hold ends too: that is a tick run by a modal loop inside an
  // outer one (a box opened in a tick), whose frame must show while the box
  // is up. Drawing after it stays held while the outer hold lasts.
  site_->ShowPendingDrawing();
}

void Win32ControlSite::ShowPendingDrawing() {
  if ((!drawnWhileHeld_ && !repaintPending_) || !window_.Get()) return;
  {
    WindowDc dc(window_.Get());
    Paint(dc.Get());
  }
  if (repaintPending_) ValidateRect(window_.Get(), nullptr);
  repaintPending_ = false;
  drawnWhileHeld_ = false;
}

void Win32ControlSite::TellParent(UINT message, WPARAM wParam) const {
  if (parent_ && window_.Get()) SendMessageW(parent_, message, wParam, reinterpret_cast<LPARAM>(window_.Get()));
}

void Win32ControlSite::OnSize(int width, int height) {
  if (!image_.Resize(width, height, GetSysColor(COLOR_BTNFACE))) return;
  Invalidate();
  ReportSize();
}

void Win32ControlSite::OnPress(std::int16_t button, WPARAM keys, LPARAM position, bool doubleClick) {
  const HWND window = window_.Get();
  if (focusable_ && GetFocus() != window) {
    // The focus comes first, as with any control; the host tells the
    // container afterwards.
    const std::weak_ptr<bool> alive = alive_;
    SetFocus(window);
    if (alive.expired() || !window_.Get()) return;
    if (!IsWindowEnabled(window) || !IsWindowVisible(window)) return;
  }
  router_->Press(button, keys, PointOf(position), doubleClick);
}

LRESULT Win32ControlSite::AnswerAccessibility(WPARAM wParam, LPARAM lParam) {
  constexpr LONG kClientObject = -4;  // OBJID_CLIENT
  if (static_cast<LONG>(lParam) != kClientObject || role_ == AccessibleRole::None)
    return DefWindowProcW(window_.Get(), WM_GETOBJECT, wParam, lParam);
  if (!accessibility_) accessibility_ = std::make_unique<AccessibleProxy>();
  constexpr long kPushButtonRole = 0x2B;   // ROLE_SYSTEM_PUSHBUTTON
  constexpr long kProgressBarRole = 0x30;  // ROLE_SYSTEM_PROGRESSBAR
  const long role = role_ == AccessibleRole::PushButton ? kPushButtonRole : kProgressBarRole;
  const LRESULT answer = accessibility_->Answer(window_.Get(), wParam, role);
  return answer != 0 ? answer : DefWindowProcW(window_.Get(), WM_GETOBJECT, wParam, lParam);
}

LRESULT Win32ControlSite::OnMessage(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
  switch (message) {
    case WM_ERASEBKGND:
      return 1;
    case WM_PAINT: {
      repaintPending_ = false;
      PaintDc dc(window);
      Paint(dc.Get());
      return 0;
    }
    case WM_PRINTCLIENT:
      Paint(reinterpret_cast<HDC>(wParam));
      return 0;
    case WM_SIZE:
      OnSize(LOWORD(lParam), HIWORD(lParam));
      return 0;
    case WM_LBUTTONDOWN:
    case WM_LBUTTONDBLCLK:
      OnPress(kLeftButton, wParam, lParam, message == WM_LBUTTONDBLCLK);
      return 0;
    case WM_RBUTTONDOWN:
    case WM_RBUTTONDBLCLK:
      OnPress(kRightButton, wParam, lParam, message == WM_RBUTTONDBLCLK);
      return 0;
    case WM_MBUTTONDOWN:
    case WM_MBUTTONDBLCLK:
      OnPress(kMiddleButton, wParam, lParam, message == WM_MBUTTONDBLCLK);
      return 0;
    case WM_LBUTTONUP:
      router_->Release(kLeftButton, wParam, PointOf(lParam));
      return 0;
    case WM_RBUTTONUP:
      router_->Release(kRightButton, wParam, PointOf(lParam));
      return 0;
    case WM_MBUTTONUP:
      router_->Release(kMiddleButton, wParam, PointOf(lParam));
      return 0;
    case WM_MOUSEMOVE:
      router_->Move(wParam, PointOf(lParam));
      return 0;
    case WM_CAPTURECHANGED:
      if (reinterpret_cast<HWND>(lParam) != window) router_->CaptureLost();
      return 0;
    case WM_SETCURSOR:
      if (LOWORD(lParam) != HTCLIENT) break;
      ::SetCursor(
          LoadCursorW(nullptr, reinterpret_cast<LPCWSTR>(cursor_ == Cursor::SizeNwSe ? IDC_SIZENWSE : IDC_ARROW)));
      return TRUE;
    case WM_GETDLGCODE:
      return DLGC_WANTTAB;
    case WM_KEYDOWN:
      if (wParam != VK_TAB) break;
      TellParent(kFocusStepRequest, GetKeyState(VK_SHIFT) < 0 ? 1 : 0);
      return 0;
    case WM_SETFOCUS:
      TellParent(kChildGotFocus, 0);
      return 0;
    case WM_ENABLE:
      if (!wParam) TellParent(kChildLeftTabOrder, 0);
      return 0;
    case WM_WINDOWPOSCHANGED:
      if (reinterpret_cast<const WINDOWPOS*>(lParam)->flags & SWP_HIDEWINDOW) TellParent(kChildLeftTabOrder, 0);
      break;  // the default handling sends WM_SIZE and WM_MOVE
    case WM_TIMER:
      if (timers_.Dispatch(wParam)) return 0;
      break;
    case WM_GETOBJECT:
      return AnswerAccessibility(wParam, lParam);
    default:
      break;
  }
  return DefWindowProcW(window, message, wParam, lParam);
}

}  // namespace platform::win32
