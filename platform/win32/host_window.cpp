#include "platform/win32/host_window.h"

#include <algorithm>

#include "platform/win32/child_messages.h"
#include "platform/win32/resources.h"
#include "platform/win32/text.h"

namespace platform::win32 {
namespace {

constexpr wchar_t kHostClass[] = L"IlvoHostWindow";
constexpr DWORD kHostStyle = WS_OVERLAPPED | WS_CAPTION | WS_SYSMENU | WS_CLIPCHILDREN;
// Posted to itself, so that the owner hears of a focus change only after the
// change and the input that caused it have been handled.
constexpr UINT kRaiseGotFocus = WM_APP + 0x3A8;

bool Shown(HWND window) { return (GetWindowLongW(window, GWL_STYLE) & WS_VISIBLE) != 0; }

}  // namespace

HostWindow::HostWindow(const HostWindowOptions& options) {
  RegisterWindowClass(kHostClass, WindowProcedure<HostWindow>, 0, reinterpret_cast<HBRUSH>(COLOR_WINDOW + 1));
  RECT frame{0, 0, options.clientWidth, options.clientHeight};
  AdjustWindowRectEx(&frame, kHostStyle, FALSE, 0);
  const int width = frame.right - frame.left;
  const int height = frame.bottom - frame.top;
  const int x = (GetSystemMetrics(SM_CXSCREEN) - width) / 2;
  const int y = (GetSystemMetrics(SM_CYSCREEN) - height) / 2;
  CreateWindowExW(0, kHostClass, Widen(options.caption).c_str(), kHostStyle, x, y, width, height, nullptr, nullptr,
                  GetModuleHandleW(nullptr), this);
  if (options.iconResourceId != 0 && window_.Get()) {
    bigIcon_ = LoadIconResource(options.iconResourceId, GetSystemMetrics(SM_CXICON));
    smallIcon_ = LoadIconResource(options.iconResourceId, GetSystemMetrics(SM_CXSMICON));
    SendMessageW(window_.Get(), WM_SETICON, ICON_BIG, reinterpret_cast<LPARAM>(bigIcon_.Get()));
    SendMessageW(window_.Get(), WM_SETICON, ICON_SMALL, reinterpret_cast<LPARAM>(smallIcon_.Get()));
  }
}

HostWindow::~HostWindow() {
  // The controls go first, while the window they live on still exists; their
  // going must not move the focus about.
  tearingDown_ = true;
  elements_.clear();
  window_.Destroy();
}

void HostWindow::OnAttached(HWND window) noexcept {
  window_.Attach(window);
  timers_.SetWindow(window);
}

void HostWindow::OnDetached() noexcept {
  window_.Forget();
  timers_.SetWindow(nullptr);
}

void HostWindow::SetCaption(const std::string& text) {
  if (window_.Get()) SetWindowTextW(window_.Get(), Widen(text).c_str());
}

std::string HostWindow::Caption() const {
  if (!window_.Get()) return {};
  std::wstring text(static_cast<std::size_t>(GetWindowTextLengthW(window_.Get())) + 1, L'\0');
  text.resize(static_cast<std::size_t>(GetWindowTextW(window_.Get(), text.data(), static_cast<int>(text.size()))));
  return Narrow(text);
}

void HostWindow::PlaceBehindOthers(HWND window) {
  SetWindowPos(window, HWND_BOTTOM, 0, 0, 0, 0, SWP_NOMOVE | SWP_NOSIZE | SWP_NOACTIVATE);
}

Win32ControlSite& HostWindow::AddControl(const ControlPlacement& placement) {
  auto site = std::make_unique<Win32ControlSite>(window_.Get(), placement.rect);
  site->SetFocusable(placement.focusable);
  PlaceBehindOthers(site->Handle());
  Win32ControlSite& added = *site;
  elements_.push_back(std::make_unique<Element>(
      Element{placement.name, site->Handle(), placement.tabIndex, placement.focusable, std::move(site), nullptr}));
  return added;
}

PictureElement& HostWindow::AddPicture(const std::string& name, int leftTwips, int topTwips) {
  auto picture = std::make_unique<PictureElement>(window_.Get(), leftTwips, topTwips);
  PlaceBehindOthers(picture->Handle());
  PictureElement& added = *picture;
  elements_.push_back(std::make_unique<Element>(Element{name, picture->Handle(), -1, false, nullptr, std::move(picture)}));
  return added;
}

HostWindow::Element* HostWindow::Find(std::string_view name) const {
  for (const auto& element : elements_)
    if (element->name == name) return element.get();
  return nullptr;
}

HostWindow::Element* HostWindow::Find(HWND window) const {
  if (!window) return nullptr;
  for (const auto& element : elements_)
    if (element->window == window) return element.get();
  return nullptr;
}

Win32ControlSite* HostWindow::FindControl(std::string_view name) const {
  Element* element = Find(name);
  return element ? element->site.get() : nullptr;
}

void HostWindow::SetControlVisible(std::string_view name, bool visible) {
  if (Element* element = Find(name); element && IsWindow(element->window))
    ShowWindow(element->window, visible ? SW_SHOWNA : SW_HIDE);
}

bool HostWindow::ControlVisible(std::string_view name) const {
  Element* element = Find(name);
  return element && IsWindow(element->window) && Shown(element->window);
}

std::unique_ptr<Timer> HostWindow::CreateTimer(int intervalMs, bool enabled, std::function<void()> tick) {
  return timers_.Create(intervalMs, enabled, std::move(tick));
}

void HostWindow::SetGotFocusHandler(std::function<void(const std::string&)> handler) {
  gotFocus_ = std::move(handler);
}

void HostWindow::SetCloseRequestHandler(std::function<bool()> cancelClose) { cancelClose_ = std::move(cancelClose); }

void HostWindow::SetEndSessionHandlers(EndSessionHandlers handlers) { endSession_ = std::move(handlers); }

void HostWindow::SetQuitRefusal(std::function<bool()> refuseQuit) { refuseQuit_ = std::move(refuseQuit); }

BOOL HostWindow::OnQueryEndSession(HWND window) {
  const std::optional<std::string> reason = endSession_.blockReason ? endSession_.blockReason() : std::nullopt;
  if (!reason) {
    ShutdownBlockReasonDestroy(window);
    return TRUE;
  }
  ShutdownBlockReasonCreate(window, Widen(*reason).c_str());
  return FALSE;
}

void HostWindow::Show() {
  if (!window_.Get()) return;
  ShowWindow(window_.Get(), SW_SHOW);
  SetForegroundWindow(window_.Get());
  UpdateWindow(window_.Get());
  if (GetActiveWindow() == window_.Get() && !Find(GetFocus())) OnOwnFocus();
}

void HostWindow::Run() {
  MSG message;
  while (window_.Get()) {
    const BOOL got = GetMessageW(&message, nullptr, 0, 0);
    if (got == -1) return;
    if (got == 0) {
      if (refuseQuit_ && refuseQuit_()) continue;
      // A quit meant for an outer loop: leave it for that loop.
      PostQuitMessage(static_cast<int>(message.wParam));
      return;
    }
    TranslateMessage(&message);
    DispatchMessageW(&message);
  }
}

void HostWindow::Close() {
  if (window_.Get()) SendMessageW(window_.Get(), WM_CLOSE, 0, 0);
}

std::string HostWindow::FocusedControl() const {
  Element* element = Find(focused_);
  return element ? element->name : std::string();
}

bool HostWindow::CanTakeFocus(const Element& element) const {
  return element.focusable && IsWindow(element.window) && Shown(element.window) && IsWindowEnabled(element.window);
}

HWND HostWindow::NextInTabOrder(HWND from, bool backward) const {
  std::vector<const Element*> order;
  for (const auto& element : elements_)
    if (element->tabIndex >= 0) order.push_back(element.get());
  std::stable_sort(order.begin(), order.end(),
                   [](const Element* a, const Element* b) { return a->tabIndex < b->tabIndex; });
  if (order.empty()) return nullptr;

  const auto count = static_cast<std::ptrdiff_t>(order.size());
  const auto found = std::find_if(order.begin(), order.end(), [from](const Element* e) { return e->window == from; });
  // From outside the order, forwards starts at the first control and
  // backwards at the last.
  const std::ptrdiff_t start = found != order.end() ? found - order.begin() : (backward ? count : -1);
  for (std::ptrdiff_t step = 1; step <= count; ++step) {
    const std::ptrdiff_t index = ((start + (backward ? -step : step)) % count + count) % count;
    if (CanTakeFocus(*order[static_cast<std::size_t>(index)])) return order[static_cast<std::size_t>(index)]->window;
  }
  return nullptr;
}

void HostWindow::OnChildGotFocus(HWND child) {
  if (tearingDown_ || !Find(child)) return;
  focused_ = child;
  if (child == reported_) return;  // the window got active again: no change inside it
  reported_ = child;
  PostMessageW(window_.Get(), kRaiseGotFocus, 0, reinterpret_cast<LPARAM>(child));
}

void HostWindow::OnChildLeftTabOrder(HWND child) {
  if (tearingDown_ || child != focused_) return;
  HWND next = NextInTabOrder(child, false);
  if (next == child) next = nullptr;
  focused_ = next;
  const bool active = GetActiveWindow() == window_.Get();
  if (next && active)
    SetFocus(next);
  else if (active && GetFocus() == child)
    SetFocus(window_.Get());
}

void HostWindow::OnOwnFocus() {
  HWND target = nullptr;
  if (Element* element = Find(focused_); element && CanTakeFocus(*element))
    target = focused_;
  else
    target = NextInTabOrder(focused_, false);
  if (target) SetFocus(target);
}

void HostWindow::RaiseGotFocus(HWND child) {
  Element* element = Find(child);
  if (!element || !gotFocus_) return;
  const auto handler = gotFocus_;  // the handler may replace itself
  handler(element->name);
}

LRESULT HostWindow::OnMessage(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
  switch (message) {
    case kChildGotFocus:
      OnChildGotFocus(reinterpret_cast<HWND>(lParam));
      return 0;
    case kChildLeftTabOrder:
      OnChildLeftTabOrder(reinterpret_cast<HWND>(lParam));
      return 0;
    case kFocusStepRequest:
      if (HWND next = NextInTabOrder(reinterpret_cast<HWND>(lParam), wParam != 0)) SetFocus(next);
      return 0;
    case kRaiseGotFocus:
      if (!tearingDown_) RaiseGotFocus(reinterpret_cast<HWND>(lParam));
      return 0;
    case WM_SETFOCUS:
      if (!tearingDown_) OnOwnFocus();
      return 0;
    case WM_KEYDOWN:
      if (wParam != VK_TAB) break;
      if (HWND next = NextInTabOrder(focused_, GetKeyState(VK_SHIFT) < 0)) SetFocus(next);
      return 0;
    case WM_TIMER: {
      // What the tick draws shows right after it (an animation frame), not
      // after a WM_PAINT round trip: when the holds go, however the tick
      // ends (it may throw, or destroy this window and its controls).
      std::vector<DrawingHold> holds;
      holds.reserve(elements_.size());
      for (const auto& element : elements_) {
        if (element->site) holds.push_back(element->site->HoldDrawing());
      }
      if (timers_.Dispatch(wParam)) return 0;
      break;
    }
    case WM_ENABLE:
      // Disabled: a modal loop takes over (a message box this window owns,
      // opened in a tick, say); what was drawn before it shows while it runs.
      if (wParam == FALSE) {
        for (const auto& element : elements_) {
          if (element->site) element->site->ShowPendingDrawing();
        }
      }
      break;
    case WM_CLOSE:
      if (cancelClose_) {
        const auto ask = cancelClose_;
        if (ask()) return 0;
      }
      DestroyWindow(window);
      return 0;
    case WM_QUERYENDSESSION:
      return OnQueryEndSession(window);
    case WM_ENDSESSION:
      if (wParam != FALSE && endSession_.ended) {
        const auto ended = endSession_.ended;
        ended();
      }
      return 0;
    case WM_DESTROY:
      tearingDown_ = true;
      return 0;
    default:
      break;
  }
  return DefWindowProcW(window, message, wParam, lParam);
}

}  // namespace platform::win32
