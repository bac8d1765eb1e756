#pragma once
// What the runtime gives a control: its surface window with a retained
// backing image, windowless labels, timers, and a few window calls. The Win32
// implementation lives in platform/win32; tests use a recording fake.
#include <cstdint>
#include <functional>
#include <memory>
#include <string>
#include <string_view>

#include "platform/runtime/drawing_surface.h"
#include "platform/runtime/label.h"
#include "platform/runtime/mouse.h"
#include "platform/runtime/timer.h"

namespace platform {

// Notifications of the control's own surface. Mouse positions are twips of
// the surface. While a button is held after a press on the surface or one of
// its labels, moves and the release keep coming, also from outside.
struct SurfaceHandlers {
  std::function<void(const MouseArgs&)> mouseDown;
  std::function<void(const MouseArgs&)> mouseMove;
  std::function<void(const MouseArgs&)> mouseUp;
  std::function<void()> click;
  std::function<void()> dblClick;
  std::function<void()> resize;  // the container set or changed the size
  // A press on the surface or a label ended without a release: another window
  // took the capture (a modal loop, the control disabled while held).
  std::function<void()> captureLost;
};

class ControlSite {
 public:
  virtual ~ControlSite() = default;

  virtual DrawingSurface& Surface() = 0;
  virtual void SetHandlers(SurfaceHandlers handlers) = 0;

  // Labels are drawn in creation order, later ones above earlier ones.
  virtual std::unique_ptr<Label> CreateLabel(const LabelFont& font) = 0;
  virtual std::unique_ptr<Timer> CreateTimer(int intervalMs, bool enabled, std::function<void()> tick) = 0;

  // The surface's own enabled state: a disabled surface gets no mouse input
  // and no focus.
  virtual void SetEnabled(bool enabled) = 0;
  virtual bool Enabled() const = 0;

  // Gives the surface window a rounded-rectangle shape (CreateRoundRectRgn from
  // (0,0) to (right,bottom) pixels, ellipse e x e) and redraws it at once;
  // the shape it already has changes nothing.
  virtual void SetRoundRegion(int right, int bottom, int ellipse) = 0;

  // The pointer in client pixels of the surface.
  virtual Point CursorPosition() const = 0;

  virtual std::uintptr_t WindowHandle() const = 0;
  virtual std::uintptr_t ParentWindowHandle() const = 0;

  // Moves and sizes the surface window within its parent (pixels), keeping its
  // z-order; a change of size delivers the resize notification.
  virtual void PlaceInParent(int x, int y, int width, int height) = 0;

  enum class Cursor { Default, SizeNwSe };
  virtual void SetCursor(Cursor cursor) = 0;

  // Tells the container that a persisted property changed.
  virtual void PropertyChanged(std::string_view name) = 0;

  // The surface window's text, which accessibility clients read as the
  // control's name; a site without such a text ignores it.
  virtual void SetAccessibleName(const std::string&) {}
};

}  // namespace platform
