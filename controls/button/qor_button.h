#pragma once
// A self-painted push button: a gradient face with a rounded shape, hover and
// pressed looks, a centred caption label and mouse events for its container.
#include <cstdint>
#include <functional>
#include <memory>
#include <string>

#include "platform/colour.h"
#include "platform/runtime/control_site.h"
#include "platform/runtime/label.h"
#include "platform/runtime/mouse.h"
#include "platform/runtime/property_bag.h"
#include "platform/runtime/timer.h"

namespace controls {

class QORButton {
 public:
  static constexpr platform::Colour kDefaultBackColor = 0xF4F4F4;
  static constexpr int kHoverPollMs = 100;

  // What the face shows. A disabled button keeps the look it had.
  enum class Look { Normal, Hover, Pressed };

  // Raised to the container. The arguments are copies: a handler that changes
  // them changes nothing in the button.
  struct Events {
    std::function<void(platform::MouseArgs)> mouseDown;
    std::function<void(platform::MouseArgs)> mouseMove;
    std::function<void(platform::MouseArgs)> mouseUp;
    std::function<void()> click;
  };

  // Creates the caption label and the hover timer on the site; draws nothing.
  explicit QORButton(platform::ControlSite& site);
  ~QORButton();
  QORButton(const QORButton&) = delete;
  QORButton& operator=(const QORButton&) = delete;

  void SetEvents(Events events);

  platform::Colour BackColor() const;
  void SetBackColor(platform::Colour colour);  // redraws the normal look
  platform::Colour CaptionColor() const;
  void SetCaptionColor(platform::Colour colour);
  std::string Caption() const;
  void SetCaption(const std::string& text);  // does not re-centre the label
  bool Enabled() const;
  void SetEnabled(bool enabled);
  std::uintptr_t hwnd() const;
  Look CurrentLook() const { return look_; }

  // A new instance's defaults; draws nothing.
  void InitProperties();
  // Applies the stored values through the setters in key order. A value that
  // cannot be converted throws PropertyConversionError; what was applied
  // before it stays applied.
  void UserControl_ReadProperties(const platform::PropertyBag& bag);
  void UserControl_WriteProperties(platform::PropertyBag& bag) const;

 private:
  void UserControl_DblClick();
  void Captions_DblClick();
  void PollPointer();
  void HandleMouseDown(platform::MouseArgs args);
  void HandleMouseMove(platform::MouseArgs args);
  void HandleMouseUp(platform::MouseArgs args);
  void PressCancelled();

  // Paints the look over what the face shows; the normal look paints the
  // whole face anew and centres the caption.
  void Paint(Look look);
  void CentreCaption();
  // The hover poll runs exactly while the pointer is taken to be over it.
  void SetPointerOver(bool over);

  platform::ControlSite& site_;  // not owned
  platform::Colour BackColorValue = kDefaultBackColor;
  Events events_;
  Look look_ = Look::Normal;  // nothing is painted before the first resize
  // A new button may lie under the pointer: it polls until the pointer is
  // seen outside, and only then does a move paint the hover look.
  bool pointerOver_ = true;
  std::unique_ptr<platform::Label> Captions;
  // Declared after Captions so it stops before the label it touches goes.
  std::unique_ptr<platform::Timer> hoverPoll_;
};

}  // namespace controls
