#pragma once
// Routes the mouse messages of a control surface to the surface or to the
// label under the pointer, and keeps the classic sequence: press, release,
// Click; a double-click as press, release, Click, DblClick, release. While a
// button is held the element that got the press keeps getting the moves and
// the release, also from outside (the surface window holds the capture).
// A double-click belongs to the element that took the press before it, even
// when that press never became a click because a modal loop (the system's
// window move) took the capture and the release.
#include <windows.h>

#include <memory>
#include <optional>

#include "platform/runtime/control_site.h"
#include "platform/win32/surface_labels.h"

namespace platform::win32 {

class PointerRouter {
 public:
  PointerRouter(HWND window, const LabelBoard& labels, const SurfaceHandlers& surface);
  PointerRouter(const PointerRouter&) = delete;
  PointerRouter& operator=(const PointerRouter&) = delete;

  // button: kLeftButton, kRightButton or kMiddleButton; keys: the wParam of
  // the mouse message; pixel: client coordinates.
  void Press(std::int16_t button, WPARAM keys, POINT pixel, bool doubleClick);
  void Release(std::int16_t button, WPARAM keys, POINT pixel);
  void Move(WPARAM keys, POINT pixel);
  // Another window took the capture (a message box, a move loop): the press
  // is over without a release. Tells the surface's captureLost handler.
  void CaptureLost();

 private:
  // The element: a label, or null for the surface itself.
  using Target = std::shared_ptr<LabelState>;

  std::optional<Target> HitTest(POINT pixel) const;
  MouseArgs ArgsFor(const Target& target, std::int16_t button, WPARAM keys, POINT pixel) const;
  void DeliverMouse(const Target& target, int kind, const MouseArgs& args) const;
  void DeliverClick(const Target& target, bool doubleClick) const;

  HWND window_;                      // not owned
  const LabelBoard& labels_;         // not owned: the site's
  const SurfaceHandlers& surface_;   // not owned: the site's
  std::int16_t buttonsDown_ = 0;
  Target pressTarget_;
  bool inDoubleClick_ = false;
  // The element of the last single press; the system's double-click message
  // that follows pairs with it. Kept when the capture is lost.
  std::optional<Target> lastPressTarget_;
  // Handlers may destroy the surface and with it this router.
  std::shared_ptr<bool> alive_ = std::make_shared<bool>(true);
};

}  // namespace platform::win32
