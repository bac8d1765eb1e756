#pragma once
// The Win32 control site: a child window of the host that is the control's
// surface, with a retained backing image, windowless labels drawn above it,
// the mouse routed to the surface or the label under the pointer, the
// keyboard focus run together with the host, and timers on the window.
#include <windows.h>

#include <array>
#include <functional>
#include <memory>
#include <optional>
#include <string>
#include <string_view>

#include "platform/runtime/control_site.h"
#include "platform/win32/backing_image.h"
#include "platform/win32/image_surface.h"
#include "platform/win32/pointer_router.h"
#include "platform/win32/surface_labels.h"
#include "platform/win32/window_procedure.h"
#include "platform/win32/window_timers.h"

namespace platform::win32 {

class AccessibleProxy;

// Position and size of a control in its parent, in twips.
struct TwipsRect {
  int left = 0;
  int top = 0;
  int width = 0;
  int height = 0;
};

// What an accessibility client is told the control is.
enum class AccessibleRole { None, PushButton, ProgressBar };

class Win32ControlSite;

// Holds a site's drawing for as long as it lives: what the control draws
// meanwhile only marks the image as changed, and when the hold goes, a
// changed image is copied to the window through its DC at once (an animation
// frame then costs one copy instead of an invalidation, a trip through the
// message queue and BeginPaint). Holds nest: drawing stays held while any
// lives, and each shows what was drawn when it goes. A hold outliving its
// site ends quietly, so a tick may destroy the window it runs in.
class DrawingHold {
 public:
  explicit DrawingHold(Win32ControlSite& site);
  ~DrawingHold();
  DrawingHold(DrawingHold&& other) noexcept;
  DrawingHold& operator=(DrawingHold&&) = delete;
  DrawingHold(const DrawingHold&) = delete;
  DrawingHold& operator=(const DrawingHold&) = delete;

 private:
  Win32ControlSite* site_;        // not owned; valid while alive_ is
  std::weak_ptr<const void> alive_;
};

class Win32ControlSite final : public ControlSite {
 public:
  // Creates the surface window, shown, as a child of parent (not owned) at
  // the placement (twips, to the nearest pixel).
  Win32ControlSite(HWND parent, const TwipsRect& placement);
  ~Win32ControlSite() override;
  Win32ControlSite(const Win32ControlSite&) = delete;
  Win32ControlSite& operator=(const Win32ControlSite&) = delete;

  // ControlSite
  DrawingSurface& Surface() override { return surface_; }
  void SetHandlers(SurfaceHandlers handlers) override;
  std::unique_ptr<Label> CreateLabel(const LabelFont& font) override;
  std::unique_ptr<Timer> CreateTimer(int intervalMs, bool enabled, std::function<void()> tick) override;
  void SetEnabled(bool enabled) override;
  bool Enabled() const override;
  void SetRoundRegion(int right, int bottom, int ellipse) override;
  Point CursorPosition() const override;
  std::uintptr_t WindowHandle() const override;
  std::uintptr_t ParentWindowHandle() const override;
  void PlaceInParent(int x, int y, int width, int height) override;
  void SetCursor(Cursor cursor) override;
  void PropertyChanged(std::string_view name) override;

  HWND Handle() const { return window_.Get(); }  // null once the window is gone
  // Whether a mouse press gives the surface the keyboard focus; the host
  // keeps it in step with the control's place in the tab order.
  void SetFocusable(bool focusable) { focusable_ = focusable; }
  // Delivers the resize notification for the present size: the container's
  // first sizing, after the control has loaded its properties.
  void ReportSize();
  void SetPropertyChangedHandler(std::function<void(std::string_view)> handler);
  // The window text, which accessibility clients read as the name.
  void SetAccessibleName(const std::string& text);
  void SetAccessibleRole(AccessibleRole role) { role_ = role; }

  // A pixel of the backing image (tests).
  COLORREF Pixel(int x, int y) const { return image_.Pixel(x, y); }
  // The image, then the labels above it.
  void Paint(HDC dc) const;
  // Around a timer tick of the host (DrawingHold).
  DrawingHold HoldDrawing() { return DrawingHold(*this); }
  // Copies what was drawn while held to the window now, though the hold goes
  // on: before a modal loop takes over the thread (a message box opened in a
  // tick), so that the frame drawn before it shows while it runs.
  void ShowPendingDrawing();

  // The window procedure's side.
  LRESULT OnMessage(HWND window, UINT message, WPARAM wParam, LPARAM lParam);
  void OnAttached(HWND window) noexcept;
  void OnDetached() noexcept;

 private:
  void OnPress(std::int16_t button, WPARAM keys, LPARAM position, bool doubleClick);
  void OnSize(int width, int height);
  // Asks for the image to be shown again at the next paint.
  void Invalidate();
  void TellParent(UINT message, WPARAM wParam) const;
  LRESULT AnswerAccessibility(WPARAM wParam, LPARAM lParam);

  HWND parent_;  // not owned
  bool focusable_ = true;
  bool enabled_ = true;
  bool repaintPending_ = false;  // the window is invalid as a whole until its next WM_PAINT
  friend class DrawingHold;
  int holdDepth_ = 0;            // DrawingHolds alive
  bool drawnWhileHeld_ = false;
  Cursor cursor_ = Cursor::Default;
  // The shape last given to the window (right, bottom, ellipse): the same
  // shape again is no change, and asks the window system for nothing.
  std::optional<std::array<int, 3>> roundRegion_;
  AccessibleRole role_ = AccessibleRole::None;
  SurfaceHandlers handlers_;
  std::function<void(std::string_view)> propertyChanged_;
  BackingImage image_;
  ImageSurface surface_;
  std::shared_ptr<LabelBoard> labels_ = std::make_shared<LabelBoard>();
  WindowTimers timers_;
  std::optional<PointerRouter> router_;
  std::unique_ptr<AccessibleProxy> accessibility_;
  // Handlers may destroy the site while a message is being handled.
  std::shared_ptr<bool> alive_ = std::make_shared<bool>(true);
  // Last member: the window goes first, while everything it uses still exists.
  OwnedWindow window_;
};

}  // namespace platform::win32
