#include "platform/win32/pointer_router.h"

#include "platform/units.h"

namespace platform::win32 {
namespace {

enum MouseKind { kDown, kMove, kUp };

std::int16_t ShiftMask(WPARAM keys) {
  std::int16_t shift = 0;
  if (keys & MK_SHIFT) shift |= 1;
  if (keys & MK_CONTROL) shift |= 2;
  if (GetKeyState(VK_MENU) < 0) shift |= 4;
  return shift;
}

std::int16_t HeldButtons(WPARAM keys) {
  std::int16_t buttons = 0;
  if (keys & MK_LBUTTON) buttons |= kLeftButton;
  if (keys & MK_RBUTTON) buttons |= kRightButton;
  if (keys & MK_MBUTTON) buttons |= kMiddleButton;
  return buttons;
}

}  // namespace

PointerRouter::PointerRouter(HWND window, const LabelBoard& labels, const SurfaceHandlers& surface)
    : window_(window), labels_(labels), surface_(surface) {}

std::optional<PointerRouter::Target> PointerRouter::HitTest(POINT pixel) const {
  RECT client{};
  GetClientRect(window_, &client);
  if (!PtInRect(&client, pixel)) return std::nullopt;
  return labels_.HitTest(pixel);
}

MouseArgs PointerRouter::ArgsFor(const Target& target, std::int16_t button, WPARAM keys, POINT pixel) const {
  POINT origin{0, 0};
  if (target) {
    const RECT rect = target->PixelRect();
    origin = POINT{rect.left, rect.top};
  }
  return MouseArgs{.button = button,
                   .shift = ShiftMask(keys),
                   .x = static_cast<float>(PixelsToTwips(pixel.x - origin.x)),
                   .y = static_cast<float>(PixelsToTwips(pixel.y - origin.y))};
}

void PointerRouter::DeliverMouse(const Target& target, int kind, const MouseArgs& args) const {
  std::function<void(const MouseArgs&)> handler;
  if (target) {
    const auto& handlers = target->handlers;
    handler = kind == kDown ? handlers.mouseDown : kind == kMove ? handlers.mouseMove : handlers.mouseUp;
  } else {
    handler = kind == kDown ? surface_.mouseDown : kind == kMove ? surface_.mouseMove : surface_.mouseUp;
  }
  if (handler) handler(args);
}

void PointerRouter::DeliverClick(const Target& target, bool doubleClick) const {
  std::function<void()> handler;
  if (target)
    handler = doubleClick ? target->handlers.dblClick : target->handlers.click;
  else
    handler = doubleClick ? surface_.dblClick : surface_.click;
  if (handler) handler();
}

void PointerRouter::Press(std::int16_t button, WPARAM keys, POINT pixel, bool doubleClick) {
  Target target;
  const bool firstButton = buttonsDown_ == 0;
  if (!firstButton) {
    target = pressTarget_;
  } else {
    target = HitTest(pixel).value_or(nullptr);
    pressTarget_ = target;
    inDoubleClick_ = false;
    SetCapture(window_);
  }
  buttonsDown_ |= button;

  // The system pairs the presses by window and time; the second one counts
  // as a double-click only on the element that took the first.
  if (doubleClick && firstButton && lastPressTarget_ && *lastPressTarget_ == target) {
    inDoubleClick_ = true;
    lastPressTarget_.reset();
    DeliverClick(target, true);
    return;
  }
  if (firstButton) lastPressTarget_ = target;
  DeliverMouse(target, kDown, ArgsFor(target, button, keys, pixel));
}

void PointerRouter::Release(std::int16_t button, WPARAM keys, POINT pixel) {
  const std::weak_ptr<bool> alive = alive_;
  if ((buttonsDown_ & button) == 0) {
    // A release without our press, e.g. after the press went to another
    // window: only the notification, never a click.
    if (auto target = HitTest(pixel)) DeliverMouse(*target, kUp, ArgsFor(*target, button, keys, pixel));
    return;
  }
  buttonsDown_ = static_cast<std::int16_t>(buttonsDown_ & ~button);
  const Target target = pressTarget_;
  bool click = false;
  if (buttonsDown_ == 0) {
    const auto under = HitTest(pixel);
    click = !inDoubleClick_ && under && *under == target;
    pressTarget_.reset();
    ReleaseCapture();
    // A press released elsewhere pairs with no later double-click.
    if (!click && !inDoubleClick_) lastPressTarget_.reset();
  }
  DeliverMouse(target, kUp, ArgsFor(target, button, keys, pixel));
  if (!click || alive.expired()) return;
  DeliverClick(target, false);
}

void PointerRouter::Move(WPARAM keys, POINT pixel) {
  std::optional<Target> target = buttonsDown_ != 0 ? std::optional<Target>(pressTarget_) : HitTest(pixel);
  if (!target) return;
  DeliverMouse(*target, kMove, ArgsFor(*target, HeldButtons(keys), keys, pixel));
}

void PointerRouter::CaptureLost() {
  if (buttonsDown_ == 0) return;
  buttonsDown_ = 0;
  pressTarget_.reset();
  inDoubleClick_ = false;
  // The press stays paired with a double-click that may follow: a move loop
  // that took the capture also took the release.
  if (surface_.captureLost) surface_.captureLost();
}

}  // namespace platform::win32
