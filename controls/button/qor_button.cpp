#include "controls/button/qor_button.h"

#include <utility>

#include "controls/button/button_paint.h"
#include "controls/common/raise.h"

namespace controls {
namespace {

// The caption a new button shows at design time, spelled so on purpose: it
// is the control's own text, stored designs and their tests hold it as it is.
constexpr const char* kDesignCaption = "Capion";
constexpr const char* kDefaultCaption = "Button";
constexpr platform::Colour kDefaultCaptionColor = 0;

}  // namespace

QORButton::QORButton(platform::ControlSite& site)
    : site_(site),
      Captions(site.CreateLabel(platform::LabelFont{})),
      hoverPoll_(site.CreateTimer(kHoverPollMs, pointerOver_, [this] { PollPointer(); })) {
  Captions->SetCaption(kDesignCaption);
  site_.SetAccessibleName(kDesignCaption);
  Captions->SetColour(platform::kSysWindowText);
  Captions->Move(0, 0);
  Captions->SetVisible(true);
  Captions->SetHandlers(platform::LabelHandlers{
      .mouseDown = [this](const platform::MouseArgs& args) { HandleMouseDown(args); },
      .mouseMove = [this](const platform::MouseArgs& args) { HandleMouseMove(args); },
      .mouseUp = [this](const platform::MouseArgs& args) { HandleMouseUp(args); },
      .click = [this] { Raise(events_.click); },
      .dblClick = [this] { Captions_DblClick(); },
  });
  site_.SetHandlers(platform::SurfaceHandlers{
      .mouseDown = [this](const platform::MouseArgs& args) { HandleMouseDown(args); },
      .mouseMove = [this](const platform::MouseArgs& args) { HandleMouseMove(args); },
      .mouseUp = [this](const platform::MouseArgs& args) { HandleMouseUp(args); },
      .click = [this] { Raise(events_.click); },
      .dblClick = [this] { UserControl_DblClick(); },
      .resize = [this] { Paint(Look::Normal); },
      .captureLost = [this] { PressCancelled(); },
  });
}

// The site outlives the button; its notifications must not reach a dead one.
QORButton::~QORButton() {
  Captions->SetHandlers({});
  site_.SetHandlers({});
}

void QORButton::SetEvents(Events events) { events_ = std::move(events); }

platform::Colour QORButton::BackColor() const { return BackColorValue; }

void QORButton::SetBackColor(platform::Colour colour) {
  BackColorValue = colour;
  Paint(Look::Normal);
}

platform::Colour QORButton::CaptionColor() const { return Captions->TextColour(); }
void QORButton::SetCaptionColor(platform::Colour colour) { Captions->SetColour(colour); }

std::string QORButton::Caption() const { return Captions->Caption(); }
// The window text follows the caption so a screen reader can name the button.
void QORButton::SetCaption(const std::string& text) {
  Captions->SetCaption(text);
  site_.SetAccessibleName(text);
}

bool QORButton::Enabled() const { return site_.Enabled(); }

void QORButton::SetEnabled(bool enabled) {
  site_.SetEnabled(enabled);
  Captions->SetEnabled(enabled);
}

std::uintptr_t QORButton::hwnd() const { return site_.WindowHandle(); }

void QORButton::InitProperties() { BackColorValue = kDefaultBackColor; }

void QORButton::UserControl_ReadProperties(const platform::PropertyBag& bag) {
  SetEnabled(bag.ReadBool("Enabled", true));
  SetCaption(bag.ReadString("Caption", kDefaultCaption));
  SetBackColor(static_cast<platform::Colour>(bag.ReadInt32("BackColor", static_cast<std::int32_t>(kDefaultBackColor))));
  SetCaptionColor(static_cast<platform::Colour>(bag.ReadInt32("CaptionColor", kDefaultCaptionColor)));
}

void QORButton::UserControl_WriteProperties(platform::PropertyBag& bag) const {
  bag.Write("Enabled", Enabled(), true);
  bag.Write("Caption", Caption(), std::string(kDefaultCaption));
  bag.Write("BackColor", static_cast<std::int32_t>(BackColorValue), static_cast<std::int32_t>(kDefaultBackColor));
  bag.Write("CaptionColor", static_cast<std::int32_t>(CaptionColor()), std::int16_t{0});
}

void QORButton::Paint(Look look) {
  look_ = look;
  auto& surface = site_.Surface();
  switch (look) {
    case Look::Normal:
      surface.Clear(platform::kSysButtonFace);
      CentreCaption();
      button::ApplyRoundRegion(site_, surface.WidthTwips(), surface.HeightTwips(), button::kRoundEllipse);
      button::DrawNormalFace(surface, BackColorValue);
      break;
    case Look::Hover:
      button::DrawHoverFace(surface, BackColorValue);
      break;
    case Look::Pressed:
      button::DrawPressedFace(surface, BackColorValue);
      break;
  }
}

void QORButton::CentreCaption() {
  const auto& surface = site_.Surface();
  Captions->Move(surface.WidthTwips() / 2.0 - Captions->Width() / 2,
                 surface.HeightTwips() / 2.0 - Captions->Height() / 2);
}

void QORButton::SetPointerOver(bool over) {
  pointerOver_ = over;
  hoverPoll_->SetEnabled(over);
}

void QORButton::HandleMouseDown(platform::MouseArgs args) {
  Paint(Look::Pressed);
  Captions->SetBold(true);
  Raise(events_.mouseDown, args);
}

void QORButton::HandleMouseMove(platform::MouseArgs args) {
  // Later moves leave the face as it is, pressed or not, until the poll
  // sees the pointer outside.
  if (!pointerOver_) {
    Paint(Look::Hover);
    SetPointerOver(true);
  }
  Raise(events_.mouseMove, args);
}

// The face is laid out again (the caption centred while still bold) under the
// hover look; the poll is left as it is.
void QORButton::HandleMouseUp(platform::MouseArgs args) {
  Paint(Look::Normal);
  Paint(Look::Hover);
  Captions->SetBold(false);
  Raise(events_.mouseUp, args);
}

// The release will not come (the button was disabled while held, another
// window took the mouse): nothing may stay pressed.
void QORButton::PressCancelled() {
  Paint(Look::Normal);
  Captions->SetBold(false);
}

void QORButton::UserControl_DblClick() {
  HandleMouseDown(platform::MouseArgs{.button = platform::kLeftButton, .shift = 0, .x = 0, .y = 0});
  Raise(events_.click);
}

void QORButton::Captions_DblClick() {
  HandleMouseDown(platform::MouseArgs{.button = platform::kLeftButton, .shift = 0, .x = 0, .y = 0});
}

// Polled rather than told: no message says the pointer has left, and a
// disabled button gets no moves at all.
void QORButton::PollPointer() {
  const auto& surface = site_.Surface();
  if (button::PointerInside(site_.CursorPosition(), surface.WidthTwips(), surface.HeightTwips())) return;
  Paint(Look::Normal);
  Captions->SetBold(false);
  SetPointerOver(false);
}

}  // namespace controls
