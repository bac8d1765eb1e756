#pragma once
// The corner-resize rubber band: a focus rectangle inverted onto the screen.
// Inverting is its own undo, so the band tracks whether it is on screen and
// never leaves one behind.
#include "controls/skin/skin_geometry.h"
#include "controls/skin/skin_window_ops.h"

namespace controls::skin {

class RubberBand {
 public:
  explicit RubberBand(SkinWindowOps& ops) : ops_(ops) {}
  ~RubberBand() { Hide(); }
  RubberBand(const RubberBand&) = delete;
  RubberBand& operator=(const RubberBand&) = delete;

  // Moves the band to the rectangle, erasing the one shown before.
  void Show(const ScreenRect& rect) {
    Hide();
    rect_ = rect;
    ops_.InvertFocusRect(rect_);
    shown_ = true;
  }
  void Hide() {
    if (!shown_) return;
    ops_.InvertFocusRect(rect_);
    shown_ = false;
  }
  bool Shown() const { return shown_; }
  // The last rectangle shown, kept after hiding.
  const ScreenRect& Rect() const { return rect_; }

 private:
  SkinWindowOps& ops_;  // not owned
  ScreenRect rect_;
  bool shown_ = false;
};

}  // namespace controls::skin
