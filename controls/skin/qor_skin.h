#pragma once
// A skinned window frame: placed on a window, it covers the whole window,
// strips the window's own frame and paints a face with a title bar, the
// window's icon and title, and close, roll-up and minimise buttons. It moves,
// corner-resizes, maximises, rolls up, minimises and closes its parent window.
#include <array>
#include <cstdint>
#include <functional>
#include <memory>
#include <string>

#include "controls/skin/rubber_band.h"
#include "controls/skin/skin_geometry.h"
#include "controls/skin/skin_window_ops.h"
#include "platform/colour.h"
#include "platform/runtime/control_site.h"
#include "platform/runtime/label.h"
#include "platform/runtime/mouse.h"
#include "platform/runtime/property_bag.h"
#include "platform/runtime/timer.h"

namespace controls {

class QORSkin {
 public:
  static constexpr std::int32_t kDefaultArrayStyle = 4;
  static constexpr platform::Colour kDefaultBackColor = 0x00404040;
  static constexpr platform::Colour kDefaultCaptionColor = 0x00E0E0E0;
  static constexpr std::int16_t kDefaultTitleHeight = 495;
  static constexpr int kAttachIntervalMs = 1;
  // Size when first placed on a window.
  static constexpr int kDesignWidth = 3525;
  static constexpr int kDesignHeight = 2490;

  static constexpr int kCloseButton = 0;
  static constexpr int kRollButton = 1;
  static constexpr int kMinimiseButton = 2;
  static constexpr const char* kUnrolledText = "ブ";
  static constexpr const char* kRolledUpText = "ヘ";

  // Raised to the container. Mouse arguments and the flags are passed by
  // reference, as the container may read back what a handler left.
  struct Events {
    std::function<void()> resize;
    std::function<void()> click;
    std::function<void()> dblClick;
    std::function<void()> titleClick;
    std::function<void()> titleDblClick;
    std::function<void()> titleRebutton;
    std::function<void()> titleMinbutton;
    // False on entry; a handler that leaves it True keeps the program running.
    std::function<void(bool& keepRunning)> titleEndbutton;
    std::function<void(platform::MouseArgs&)> mouseDown;
    std::function<void(platform::MouseArgs&)> mouseMove;
    std::function<void(platform::MouseArgs&)> mouseUp;
    std::function<void(platform::MouseArgs&)> titleMouseDown;
    std::function<void(platform::MouseArgs&)> titleMouseMove;
    std::function<void(platform::MouseArgs&)> titleMouseUp;
    std::function<void(void* data, std::int32_t& effect, platform::MouseArgs&)> oleDragDrop;
  };

  // Creates the child elements on the site. In run mode loading the
  // properties starts attaching to the parent window. Site and ops must
  // outlive the skin.
  QORSkin(platform::ControlSite& site, skin::SkinWindowOps& ops, bool runMode);
  ~QORSkin();
  QORSkin(const QORSkin&) = delete;
  QORSkin& operator=(const QORSkin&) = delete;

  void SetEvents(Events events);

  std::int32_t ArrayStyle() const { return ArrayStyleValue; }
  void SetArrayStyle(std::int32_t value);
  platform::Colour BackColor() const { return BackColorValue; }
  void SetBackColor(platform::Colour colour);
  platform::Colour CaptionColor() const;
  void SetCaptionColor(platform::Colour colour);
  bool Enabled() const;
  void SetEnabled(bool enabled);
  std::uintptr_t hwnd() const;
  std::int32_t TitleHeight() const;
  void SetTitleHeight(std::int32_t twips);
  bool MinButton() const;
  void SetMinButton(bool visible);
  bool ReButton() const;
  void SetReButton(bool visible);
  bool EndButton() const;
  void SetEndButton(bool visible);
  bool ChangeSize() const { return ChangeSizeValue; }
  void SetChangeSize(bool value) { ChangeSizeValue = value; }
  bool MoveTo() const { return MoveToValue; }
  void SetMoveTo(bool value) { MoveToValue = value; }
  bool Cancel() const { return CancelValue; }
  void SetCancel(bool value) { CancelValue = value; }
  bool TitleBarLine() const { return TitleBarLineValue; }
  void SetTitleBarLine(bool value);

  // A new instance's defaults; draws nothing.
  void InitProperties();
  // Applies the stored values through the setters in key order. A value that
  // cannot be converted throws PropertyConversionError; what was applied
  // before it stays applied.
  void UserControl_ReadProperties(const platform::PropertyBag& bag);
  void UserControl_WriteProperties(platform::PropertyBag& bag) const;

  // A drop onto the face, from a container that supports dropping.
  void UserControl_OLEDragDrop(void* data, std::int32_t& effect, platform::MouseArgs& mouse);

  // The window state, for the container and for tests.
  bool Sizing() const { return band_.Shown(); }
  const skin::ScreenRect& SizingRect() const { return band_.Rect(); }
  bool Rolling() const { return RollingValue; }
  bool RolledUp() const { return rolledUp_; }
  std::int32_t RollHeight() const { return RollHeightValue; }
  std::int32_t UnrolledHeight() const { return UnrolledHeightValue; }
  bool Maximized() const { return MaximizedValue; }
  const skin::PlacementRect& RestoreRect() const { return RestoreRectValue; }

  const platform::Label& TitleBar() const { return *TitleBarLabel; }
  const platform::Label& Captions() const { return *CaptionsLabel; }
  const platform::Label& SysButton(int index) const { return *SysButtonLabels.at(static_cast<std::size_t>(index)); }
  const platform::Timer& Timer1() const { return *Timer1Timer; }

 private:
  void CreateElements();
  void ConnectHandlers();

  // Layout and painting.
  void UserControl_Resize();
  void DrawGradient(platform::Colour colour, double spacing);
  void ApplyRoundRegion(std::uintptr_t window, double widthTwips, double heightTwips, int ellipse);
  void DrawFrame(platform::DrawingSurface& surface, int cornerSize, platform::Colour colour);
  void LayoutTitleBar();

  // Window management.
  std::uintptr_t ParentWindow() const;
  skin::ScreenRect ParentRect() const;
  void FitToParent();
  void StripParentFrame(std::uintptr_t window);
  std::int32_t ChangeWindowStyle(std::uintptr_t window, int index, std::uint32_t mask, int mode);
  void BeginSizing();
  bool CornerZoneHolds(float x, float y) const;
  void MaximiseOrRestore();
  void Roll();
  void SetAllTitleButtonsPlain();

  // Reactions to the elements and the face.
  void Timer1_Timer();
  void TitleBar_MouseDown(platform::MouseArgs mouse);
  void TitleBar_MouseMove(platform::MouseArgs mouse);
  void TitleBar_MouseUp(platform::MouseArgs mouse);
  void TitleBar_Click();
  void TitleBar_DblClick();
  void SysButton_MouseMove(int index);
  void SysButton_Click(int index);
  void UserControl_MouseDown(platform::MouseArgs mouse);
  void UserControl_MouseMove(platform::MouseArgs mouse);
  void UserControl_MouseUp(platform::MouseArgs mouse);

  platform::ControlSite& site_;  // not owned
  skin::SkinWindowOps& ops_;     // not owned
  const bool runMode_;
  Events events_;
  // Gone with the skin: a loop that ran the message queue, or a handler that
  // was called, checks it before touching the skin again.
  std::shared_ptr<const bool> alive_ = std::make_shared<const bool>(true);

  std::int32_t ArrayStyleValue = kDefaultArrayStyle;
  platform::Colour BackColorValue = kDefaultBackColor;
  bool ChangeSizeValue = true;
  bool MoveToValue = true;
  bool CancelValue = false;
  bool TitleBarLineValue = true;
  // The colour the face was last cleared with.
  platform::Colour FaceColour = platform::kSysButtonFace;

  bool RollingValue = false;
  bool rolledUp_ = false;  // set once a roll has gone all the way
  std::int32_t RollHeightValue = 0;
  std::int32_t UnrolledHeightValue = 0;
  bool MaximizedValue = false;
  skin::PlacementRect RestoreRectValue;
  skin::RubberBand band_;

  std::unique_ptr<platform::Label> TitleBarLabel;
  std::unique_ptr<platform::Label> CaptionsLabel;
  std::array<std::unique_ptr<platform::Label>, skin::kTitleButtonCount> SysButtonLabels;
  std::unique_ptr<platform::Timer> Timer1Timer;
};

}  // namespace controls
