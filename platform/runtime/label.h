#pragma once
// A windowless text label drawn by its control above the control's surface.
// It sizes itself to its text and gets its own mouse notifications, with
// coordinates relative to its own top-left corner.
#include <functional>
#include <string>

#include "platform/colour.h"
#include "platform/runtime/mouse.h"

namespace platform {

struct LabelFont {
  std::string face;        // empty: the platform's default font
  double points = 0;       // 0: the default size
  int charset = 1;         // DEFAULT_CHARSET
  bool bold = false;
};

struct LabelHandlers {
  std::function<void(const MouseArgs&)> mouseDown;
  std::function<void(const MouseArgs&)> mouseMove;
  std::function<void(const MouseArgs&)> mouseUp;
  std::function<void()> click;
  std::function<void()> dblClick;
};

class Label {
 public:
  virtual ~Label() = default;

  virtual void SetCaption(const std::string& text) = 0;  // UTF-8; re-sizes the label
  virtual std::string Caption() const = 0;
  virtual void SetColour(Colour colour) = 0;  // text colour
  virtual Colour TextColour() const = 0;
  virtual void SetBold(bool bold) = 0;  // re-sizes the label
  virtual bool Bold() const = 0;
  virtual void SetEnabled(bool enabled) = 0;  // disabled text is drawn in the platform's style
  virtual bool Enabled() const = 0;
  virtual void SetVisible(bool visible) = 0;
  virtual bool Visible() const = 0;

  // Position and size in twips of the control's surface.
  virtual void Move(double left, double top) = 0;
  virtual double Left() const = 0;
  virtual double Top() const = 0;
  virtual double Width() const = 0;
  virtual double Height() const = 0;

  virtual void SetHandlers(LabelHandlers handlers) = 0;

  // A label that does not size itself to its text keeps the size given here
  // (an element with no text serves as a transparent hit area).
  virtual void SetAutoSize(bool autoSize) = 0;
  virtual void Resize(double width, double height) = 0;
};

}  // namespace platform
