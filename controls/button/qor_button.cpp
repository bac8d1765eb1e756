#include "controls/button/qor_button.h"

#include <utility>

#include "controls/button/button_paint.h"

namespace controls {
namespace {

// The caption a new button shows at design time, spelled so on purpose: it
// is the control's own text, stored designs and their tests hold it as it is.
constexpr const char* kDesignCaption = "Capion";
constexpr const char* kDefaultCaption = "Button";
constexpr platform::Colour kDefaultCaptionColor = 0;

// Handlers run from copies, so a handler may replace the events while it runs.
void Raise(std::function<void(platform::MouseArgs)> event, platform::MouseArgs args) {
  if (event) event(args);
}

void Raise(std::function<void()> event) {
  if (event) event();
}

}  // namespace

QORButton::QORButton(platform::ControlSite& site)
    : site_(site),
      Captions(site.CreateLabel(platform::LabelFont{})),
      Timer1(site.CreateTimer(kHoverPollMs, true, [this] { Timer1_Timer(); })) {
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
      .resize = [this] { UserControl_Resize(); },
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
  UserControl_Resize();
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

// The normal look; also the moment the caption is centred again.
void QORButton::UserControl_Resize() {
  auto& surface = site_.Surface();
  surface.Clear(platform::kSysButtonFace);
  CentreCaption();
  button::ApplyRoundRegion(site_, surface.WidthTwips(), surface.HeightTwips(), button::kRoundEllipse);
  button::DrawGradient(surface, BackColorValue, button::kNormalStep);
  button::DrawNormalBorder(surface);
}

void QORButton::CentreCaption() {
  const auto& surface = site_.Surface();
  Captions->Move(surface.WidthTwips() / 2.0 - Captions->Width() / 2,
                 surface.HeightTwips() / 2.0 - Captions->Height() / 2);
}

void QORButton::DrawHoverLook() {
  if (Timer1->Enabled()) return;
  button::DrawHoverFace(site_.Surface(), BackColorValue);
  Timer1->SetEnabled(true);
}

void QORButton::DrawPressedLook() { button::DrawPressedFace(site_.Surface(), BackColorValue); }

void QORButton::HandleMouseDown(platform::MouseArgs args) {
  DrawPressedLook();
  Captions->SetBold(true);
  Raise(events_.mouseDown, args);
}

void QORButton::HandleMouseMove(platform::MouseArgs args) {
  DrawHoverLook();
  if (!Timer1->Enabled()) Timer1->SetEnabled(true);
  Raise(events_.mouseMove, args);
}

void QORButton::HandleMouseUp(platform::MouseArgs args) {
  UserControl_Resize();
  button::DrawHoverFace(site_.Surface(), BackColorValue);
  Captions->SetBold(false);
  Raise(events_.mouseUp, args);
}

// The release will not come (the button was disabled while held, another
// window took the mouse): nothing may stay pressed.
void QORButton::PressCancelled() {
  UserControl_Resize();
  Captions->SetBold(false);
}

void QORButton::UserControl_DblClick() {
  HandleMouseDown(platform::MouseArgs{.button = platform::kLeftButton, .shift = 0, .x = 0, .y = 0});
  Raise(events_.click);
}

void QORButton::Captions_DblClick() {
  HandleMouseDown(platform::MouseArgs{.button = platform::kLeftButton, .shift = 0, .x = 0, .y = 0});
}

void QORButton::Timer1_Timer() {
  const auto& surface = site_.Surface();
  if (button::PointerInside(site_.CursorPosition(), surface.WidthTwips(), surface.HeightTwips())) return;
  UserControl_Resize();
  Captions->SetBold(false);
  Timer1->SetEnabled(false);
}

}  // namespace controls
