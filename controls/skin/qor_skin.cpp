#include "controls/skin/qor_skin.h"

#include <utility>

#include "controls/common/paint_arithmetic.h"
#include "controls/common/raise.h"
#include "platform/units.h"

namespace controls {
namespace {

using platform::MouseArgs;
using skin::ScreenRect;

constexpr double kTitleBarDesignWidth = 1455;
constexpr double kCaptionsDesignWidth = 1050;
constexpr double kCaptionsDesignHeight = 180;
constexpr double kTitleButtonDesignSize = 285;
constexpr int kGradientStepTwipsPerArrayStyle = 5;
constexpr int kRoundCornerEllipse = 5;
constexpr int kFrameCornerSize = 3;
constexpr platform::Colour kFrameColour = 0;
constexpr double kRolledUpMargin = 30;
constexpr double kIconLeft = 10;
constexpr int kIconSize = 20;
constexpr double kCaptionsLeft = 600;
constexpr int kClearBits = 1;

constexpr const char* kTitleButtonTexts[skin::kTitleButtonCount] = {"メ", "ブ", "ヲ"};

struct StyleBit {
  int index;
  std::uint32_t mask;
};
// Caption, system menu, sizing frame, window edge, dialog frame.
constexpr StyleBit kParentFrameBits[] = {
    {skin::kStyleIndex, 0x00C00000},   {skin::kStyleIndex, 0x00080000},   {skin::kStyleIndex, 0x00040000},
    {skin::kExStyleIndex, 0x00000100}, {skin::kExStyleIndex, 0x00000001},
};

}  // namespace

QORSkin::QORSkin(platform::ControlSite& site, skin::SkinWindowOps& ops, bool runMode)
    : site_(site), ops_(ops), runMode_(runMode), band_(ops) {
  CreateElements();
  ConnectHandlers();
}

QORSkin::~QORSkin() { site_.SetHandlers({}); }

void QORSkin::SetEvents(Events events) { events_ = std::move(events); }

void QORSkin::CreateElements() {
  // Creation order is stacking order: the title buttons and the caption lie
  // above the title bar, so a press on them is theirs.
  TitleBarLabel = site_.CreateLabel(platform::LabelFont{});
  TitleBarLabel->SetAutoSize(false);
  TitleBarLabel->Resize(kTitleBarDesignWidth, kDefaultTitleHeight);
  TitleBarLabel->Move(0, 0);

  CaptionsLabel = site_.CreateLabel(platform::LabelFont{});
  CaptionsLabel->Resize(kCaptionsDesignWidth, kCaptionsDesignHeight);
  CaptionsLabel->SetColour(kDefaultCaptionColor);

  const platform::LabelFont pictogramFont{.face = "宋体", .points = 14.25, .charset = 134, .bold = false};
  for (std::size_t i = 0; i < SysButtonLabels.size(); ++i) {
    auto label = site_.CreateLabel(pictogramFont);
    label->Resize(kTitleButtonDesignSize, kTitleButtonDesignSize);
    label->SetColour(kDefaultCaptionColor);
    label->SetCaption(kTitleButtonTexts[i]);
    SysButtonLabels[i] = std::move(label);
  }

  Timer1Timer = site_.CreateTimer(kAttachIntervalMs, false, [this] { Timer1_Timer(); });
}

void QORSkin::ConnectHandlers() {
  site_.SetHandlers(platform::SurfaceHandlers{
      .mouseDown = [this](const MouseArgs& mouse) { UserControl_MouseDown(mouse); },
      .mouseMove = [this](const MouseArgs& mouse) { UserControl_MouseMove(mouse); },
      .mouseUp = [this](const MouseArgs& mouse) { UserControl_MouseUp(mouse); },
      .click = [this] { Raise(events_.click); },
      .dblClick = [this] { Raise(events_.dblClick); },
      .resize = [this] { UserControl_Resize(); },
      // The release will not come: no resize from a band left on the screen.
      .captureLost = [this] { band_.Hide(); },
  });
  TitleBarLabel->SetHandlers(platform::LabelHandlers{
      .mouseDown = [this](const MouseArgs& mouse) { TitleBar_MouseDown(mouse); },
      .mouseMove = [this](const MouseArgs& mouse) { TitleBar_MouseMove(mouse); },
      .mouseUp = [this](const MouseArgs& mouse) { TitleBar_MouseUp(mouse); },
      .click = [this] { TitleBar_Click(); },
      .dblClick = [this] { TitleBar_DblClick(); },
  });
  CaptionsLabel->SetHandlers(platform::LabelHandlers{
      .mouseDown = [this](const MouseArgs& mouse) { TitleBar_MouseDown(mouse); },
      .mouseMove = [this](const MouseArgs& mouse) { TitleBar_MouseMove(mouse); },
      .mouseUp = {},
      .click = {},
      .dblClick = {},
  });
  for (std::size_t i = 0; i < SysButtonLabels.size(); ++i) {
    const int index = static_cast<int>(i);
    SysButtonLabels[i]->SetHandlers(platform::LabelHandlers{
        .mouseDown = {},
        .mouseMove = [this, index](const MouseArgs&) { SysButton_MouseMove(index); },
        .mouseUp = {},
        .click = [this, index] { SysButton_Click(index); },
        .dblClick = {},
    });
  }
}

// Properties.

void QORSkin::SetArrayStyle(std::int32_t value) {
  ArrayStyleValue = value;
  UserControl_Resize();
}

void QORSkin::SetBackColor(platform::Colour colour) {
  BackColorValue = colour;
  UserControl_Resize();
}

platform::Colour QORSkin::CaptionColor() const { return CaptionsLabel->TextColour(); }

void QORSkin::SetCaptionColor(platform::Colour colour) {
  CaptionsLabel->SetColour(colour);
  for (auto& label : SysButtonLabels) label->SetColour(colour);
}

bool QORSkin::Enabled() const { return site_.Enabled(); }
void QORSkin::SetEnabled(bool enabled) { site_.SetEnabled(enabled); }
std::uintptr_t QORSkin::hwnd() const { return site_.WindowHandle(); }

std::int32_t QORSkin::TitleHeight() const { return platform::RoundHalfEven(TitleBarLabel->Height()); }

void QORSkin::SetTitleHeight(std::int32_t twips) {
  TitleBarLabel->Resize(TitleBarLabel->Width(), twips);
  UserControl_Resize();
}

bool QORSkin::MinButton() const { return SysButtonLabels[kMinimiseButton]->Visible(); }
void QORSkin::SetMinButton(bool visible) {
  SysButtonLabels[kMinimiseButton]->SetVisible(visible);
  UserControl_Resize();
}

bool QORSkin::ReButton() const { return SysButtonLabels[kRollButton]->Visible(); }
void QORSkin::SetReButton(bool visible) {
  SysButtonLabels[kRollButton]->SetVisible(visible);
  UserControl_Resize();
}

bool QORSkin::EndButton() const { return SysButtonLabels[kCloseButton]->Visible(); }
void QORSkin::SetEndButton(bool visible) {
  SysButtonLabels[kCloseButton]->SetVisible(visible);
  UserControl_Resize();
}

void QORSkin::SetTitleBarLine(bool value) {
  TitleBarLineValue = value;
  UserControl_Resize();
}

// Persistence.

void QORSkin::InitProperties() {
  MoveToValue = true;
  ArrayStyleValue = kDefaultArrayStyle;
  BackColorValue = kDefaultBackColor;
  ChangeSizeValue = true;
  SetCancel(false);
  TitleBarLineValue = true;
}

void QORSkin::UserControl_WriteProperties(platform::PropertyBag& bag) const {
  using platform::PropertyValue;
  bag.Write("Enabled", Enabled(), true);
  bag.Write("BackColor", static_cast<std::int32_t>(BackColorValue), static_cast<std::int32_t>(kDefaultBackColor));
  bag.Write("CaptionColor", static_cast<std::int32_t>(CaptionColor()),
            static_cast<std::int32_t>(kDefaultCaptionColor));
  bag.Write("ArrayStyle", ArrayStyleValue, kDefaultArrayStyle);
  bag.Write("MinButton", MinButton(), true);
  bag.Write("ReButton", ReButton(), true);
  bag.Write("EndButton", EndButton(), true);
  bag.Write("ChangeSize", ChangeSizeValue, true);
  bag.Write("MoveTo", MoveToValue, true);
  bag.Write("Cancel", CancelValue, false);
  bag.Write("TitleHeight", static_cast<float>(TitleBarLabel->Height()), kDefaultTitleHeight);
  bag.Write("TitleBarLine", TitleBarLineValue, true);
}

void QORSkin::UserControl_ReadProperties(const platform::PropertyBag& bag) {
  SetEnabled(bag.ReadBool("Enabled", true));
  SetBackColor(static_cast<platform::Colour>(
      bag.ReadInt32("BackColor", static_cast<std::int32_t>(kDefaultBackColor))));
  SetCaptionColor(static_cast<platform::Colour>(
      bag.ReadInt32("CaptionColor", static_cast<std::int32_t>(kDefaultCaptionColor))));
  SetArrayStyle(bag.ReadInt32("ArrayStyle", kDefaultArrayStyle));
  SetMinButton(bag.ReadBool("MinButton", true));
  SetReButton(bag.ReadBool("ReButton", true));
  SetEndButton(bag.ReadBool("EndButton", true));
  SetChangeSize(bag.ReadBool("ChangeSize", true));
  SetMoveTo(bag.ReadBool("MoveTo", true));
  CancelValue = bag.ReadBool("Cancel", false);
  // Stored in single precision; the whole-twip value rounds halves to even.
  SetTitleHeight(bag.ReadInt32("TitleHeight", kDefaultTitleHeight));
  SetTitleBarLine(bag.ReadBool("TitleBarLine", true));
  if (runMode_) Timer1Timer->SetEnabled(true);
}

void QORSkin::UserControl_OLEDragDrop(void* data, std::int32_t& effect, platform::MouseArgs& mouse) {
  Raise(events_.oleDragDrop, data, effect, mouse);
}

// Layout and painting.

void QORSkin::UserControl_Resize() {
  // The roll animation yields to the message queue; a pass then would paint a
  // face for a size the control is only passing through.
  if (RollingValue) return;
  auto& surface = site_.Surface();
  surface.Clear(FaceColour);
  DrawGradient(BackColorValue, static_cast<double>(ArrayStyleValue) * kGradientStepTwipsPerArrayStyle);
  const double width = surface.WidthTwips();
  const double height = surface.HeightTwips();
  ApplyRoundRegion(site_.WindowHandle(), width, height, kRoundCornerEllipse);
  DrawFrame(surface, kFrameCornerSize, kFrameColour);
  const std::uintptr_t parent = ParentWindow();
  const ScreenRect parentRect = ops_.WindowRect(parent);
  // A window being edited keeps its shape.
  if (runMode_)
    ApplyRoundRegion(parent, static_cast<double>(parentRect.Width()) * platform::kTwipsPerPixel,
                     static_cast<double>(parentRect.Height()) * platform::kTwipsPerPixel, kRoundCornerEllipse);
  LayoutTitleBar();
  Raise(events_.resize);
}

void QORSkin::DrawGradient(platform::Colour colour, double spacing) {
  auto& surface = site_.Surface();
  FaceColour = colour;
  surface.Clear(colour);
  const double width = surface.WidthTwips();
  // A system colour reference shades from the system's present colour.
  for (const auto& line : skin::GradientLines(surface.Resolve(colour), spacing, surface.HeightTwips()))
    if (line.colour) surface.Line(0, line.y, width, line.y, *line.colour, platform::Units::Twips);
}

void QORSkin::ApplyRoundRegion(std::uintptr_t window, double widthTwips, double heightTwips, int ellipse) {
  const platform::Point corner = skin::RoundRegionCorner(widthTwips, heightTwips);
  if (window == site_.WindowHandle())
    site_.SetRoundRegion(corner.x, corner.y, ellipse);
  else
    ops_.SetRoundRegion(window, corner.x, corner.y, ellipse);
}

void QORSkin::DrawFrame(platform::DrawingSurface& surface, int cornerSize, platform::Colour colour) {
  const std::int32_t w = surface.WidthPixels();
  const std::int32_t h = surface.HeightPixels();
  const double right = w * platform::kTwipsPerPixel;
  const double bottom = h * platform::kTwipsPerPixel;
  surface.Box(0, 0, right - 25, bottom - 25, colour, platform::Units::Twips);
  for (const auto& pixel : CornerPixels(w, h, cornerSize)) surface.SetPixel(pixel.x, pixel.y, colour);
  if (!TitleBarLineValue) return;
  const double titleHeight = TitleBarLabel->Height();
  surface.Line(30, titleHeight + 12, right - 40, titleHeight + 12, platform::Rgb(200, 200, 200),
               platform::Units::Twips);
  surface.Line(30, titleHeight, right - 40, titleHeight, platform::Rgb(70, 70, 70), platform::Units::Twips);
}

void QORSkin::LayoutTitleBar() {
  auto& surface = site_.Surface();
  const double width = surface.WidthTwips();
  const double titleHeight = TitleBarLabel->Height();
  TitleBarLabel->Move(0, 0);
  TitleBarLabel->Resize(width, titleHeight);

  std::array<bool, skin::kTitleButtonCount> visible{};
  for (std::size_t i = 0; i < visible.size(); ++i) visible[i] = SysButtonLabels[i]->Visible();
  const auto lefts = skin::TitleButtonLefts(width, visible);
  for (std::size_t i = 0; i < lefts.size(); ++i)
    if (lefts[i])
      SysButtonLabels[i]->Move(*lefts[i], skin::TitleButtonTop(titleHeight, SysButtonLabels[i]->Height()));

  surface.DrawProgramIcon(static_cast<int>(kIconLeft), skin::IconTop(titleHeight), kIconSize, kIconSize);

  CaptionsLabel->Move(kCaptionsLeft, skin::CaptionTop(titleHeight, CaptionsLabel->Height()));
  CaptionsLabel->SetCaption(ops_.WindowText(ParentWindow()));
}

// Window management.

// Asked anew each time: the control may have been moved to another window.
std::uintptr_t QORSkin::ParentWindow() const { return ops_.ParentOf(site_.WindowHandle()); }

ScreenRect QORSkin::ParentRect() const { return ops_.WindowRect(ParentWindow()); }

void QORSkin::FitToParent() {
  const ScreenRect parent = ParentRect();
  site_.PlaceInParent(0, 0, parent.Width(), parent.Height());
  StripParentFrame(ParentWindow());
  // A parent not yet sized reads all zero; the next tick tries again.
  if (parent.right != 0 || parent.bottom != 0) Timer1Timer->SetEnabled(false);
}

void QORSkin::StripParentFrame(std::uintptr_t window) {
  for (const auto& bit : kParentFrameBits) ChangeWindowStyle(window, bit.index, bit.mask, kClearBits);
}

std::int32_t QORSkin::ChangeWindowStyle(std::uintptr_t window, int index, std::uint32_t mask, int mode) {
  auto value = static_cast<std::uint32_t>(ops_.ReadWindowLong(window, index));
  value = mode == kClearBits ? value & ~mask : value | mask;
  const std::int32_t previous = ops_.WriteWindowLong(window, index, static_cast<std::int32_t>(value));
  // Without SWP_NOZORDER: the window also comes to the top.
  ops_.SetWindowPos(window, 0, 0, 0, 0, 0, skin::kNoSize | skin::kNoMove | skin::kFrameChanged);
  return previous;
}

bool QORSkin::CornerZoneHolds(float x, float y) const {
  const auto& surface = site_.Surface();
  return skin::InCornerZone(x, y, surface.WidthTwips(), surface.HeightTwips()) && ChangeSizeValue &&
         !MaximizedValue;
}

void QORSkin::BeginSizing() { band_.Show(ParentRect()); }

void QORSkin::SetAllTitleButtonsPlain() {
  for (auto& label : SysButtonLabels) label->SetBold(false);
}

void QORSkin::MaximiseOrRestore() {
  if (!ChangeSizeValue || RollingValue) return;
  if (rolledUp_) {
    Roll();
    return;
  }
  const std::uintptr_t parent = ParentWindow();
  const ScreenRect rect = ops_.WindowRect(parent);
  if (RestoreRectValue.Empty()) {
    RestoreRectValue = {rect.left, rect.top, rect.Width(), rect.Height()};
    const ScreenRect maximised = skin::MaximisedRect(ops_.MonitorOf(parent));
    ops_.SetWindowPos(parent, 0, maximised.left, maximised.top, maximised.Width(), maximised.Height(), 0);
    MaximizedValue = true;
  } else {
    const skin::PlacementRect restore = std::exchange(RestoreRectValue, {});
    ops_.SetWindowPos(parent, 0, restore.left, restore.top, restore.width, restore.height, 0);
    MaximizedValue = false;
  }
  FitToParent();
  UserControl_Resize();
  Raise(events_.titleDblClick);
}

void QORSkin::Roll() {
  const ScreenRect start = ParentRect();
  if (RollingValue) return;
  RollingValue = true;
  const double width = site_.Surface().WidthTwips();
  const std::weak_ptr<const bool> alive = alive_;
  // One twip per step, and the queue runs in between; false once the skin is
  // gone meanwhile.
  const auto step = [&] {
    ops_.SetWindowPos(ParentWindow(), 0, start.left, start.top, platform::TwipsToWholePixels(width),
                      platform::TwipsToWholePixels(RollHeightValue), skin::kNoZOrder);
    ops_.DoEvents();
    return !alive.expired();
  };
  if (!rolledUp_) {
    const double height = site_.Surface().HeightTwips();
    UnrolledHeightValue = platform::RoundHalfEven(height);
    RollHeightValue = UnrolledHeightValue;
    const double steps = height - TitleBarLabel->Height() - kRolledUpMargin;
    for (std::int64_t counter = 1; static_cast<double>(counter) <= steps; ++counter) {
      --RollHeightValue;
      if (!step()) return;
    }
  } else {
    const std::int64_t steps = static_cast<std::int64_t>(UnrolledHeightValue) - RollHeightValue;
    for (std::int64_t counter = 1; counter <= steps; ++counter) {
      ++RollHeightValue;
      if (!step()) return;
    }
  }
  rolledUp_ = !rolledUp_;
  SysButtonLabels[kRollButton]->SetCaption(rolledUp_ ? kRolledUpText : kUnrolledText);
  RollingValue = false;
  Raise(events_.titleRebutton);
}

// Reactions.

void QORSkin::Timer1_Timer() { FitToParent(); }

void QORSkin::TitleBar_MouseDown(MouseArgs mouse) {
  if (MoveToValue && !MaximizedValue) {
    const std::weak_ptr<const bool> alive = alive_;
    // The system's move loop runs inside this call until the button is up.
    ops_.BeginTitleDrag(ParentWindow());
    if (alive.expired()) return;
  }
  Raise(events_.titleMouseDown, mouse);
}

void QORSkin::TitleBar_MouseMove(MouseArgs mouse) {
  SetAllTitleButtonsPlain();
  Raise(events_.titleMouseMove, mouse);
}

void QORSkin::TitleBar_MouseUp(MouseArgs mouse) { Raise(events_.titleMouseUp, mouse); }

void QORSkin::TitleBar_Click() { Raise(events_.titleClick); }

void QORSkin::TitleBar_DblClick() { MaximiseOrRestore(); }

void QORSkin::SysButton_MouseMove(int index) {
  if (RollingValue) return;
  SetAllTitleButtonsPlain();
  SysButtonLabels[static_cast<std::size_t>(index)]->SetBold(true);
}

void QORSkin::SysButton_Click(int index) {
  switch (index) {
    case kCloseButton: {
      bool keepRunning = false;
      const std::weak_ptr<const bool> alive = alive_;
      Raise(events_.titleEndbutton, keepRunning);
      if (alive.expired()) return;
      if (!CancelValue && !keepRunning) ops_.EndProgram();
      break;
    }
    case kRollButton:
      Roll();
      break;
    case kMinimiseButton:
      ops_.Minimise(ParentWindow());
      Raise(events_.titleMinbutton);
      break;
    default:
      break;
  }
}

void QORSkin::UserControl_MouseDown(MouseArgs mouse) {
  if (CornerZoneHolds(mouse.x, mouse.y)) BeginSizing();
  Raise(events_.mouseDown, mouse);
}

void QORSkin::UserControl_MouseMove(MouseArgs mouse) {
  SetAllTitleButtonsPlain();
  site_.SetCursor(CornerZoneHolds(mouse.x, mouse.y) ? platform::ControlSite::Cursor::SizeNwSe
                                                    : platform::ControlSite::Cursor::Default);
  if (band_.Shown()) {
    band_.Hide();
    // No button held: the release went elsewhere (another window took the
    // capture), so the band goes and the resize is dropped.
    if (mouse.button != 0) band_.Show(skin::SizingRectFor(ParentRect(), mouse.x, mouse.y));
  }
  Raise(events_.mouseMove, mouse);
}

void QORSkin::UserControl_MouseUp(MouseArgs mouse) {
  if (band_.Shown()) {
    band_.Hide();
    const ScreenRect& rect = band_.Rect();
    ops_.SetWindowPos(ParentWindow(), 0, rect.left, rect.top, rect.Width(), rect.Height(), skin::kNoZOrder);
    FitToParent();
    UserControl_Resize();
  }
  Raise(events_.mouseUp, mouse);
}

}  // namespace controls
