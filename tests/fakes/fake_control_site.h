#pragma once
// A control site for native tests: records what the control draws and lets
// the test deliver notifications and fire timers by hand.
#include <map>
#include <string>
#include <vector>

#include "platform/runtime/control_site.h"

namespace fakes {

using platform::Colour;

struct DrawOp {
  enum Kind { Clear, Line, Box, Pixel, Picture, Icon } kind;
  double x1 = 0, y1 = 0, x2 = 0, y2 = 0;  // Line/Box: corners; Pixel/Icon/Picture: x1,y1 = position
  double w = 0, h = 0;                    // Picture/Icon destination size
  int sx = 0, sy = 0, sw = 0, sh = 0;     // Picture source rectangle
  Colour colour = 0;
  platform::Units units = platform::Units::Twips;
  const platform::Picture* picture = nullptr;
};

class RecordingSurface : public platform::DrawingSurface {
 public:
  int widthTwips = 0;
  int heightTwips = 0;
  std::vector<DrawOp> ops;

  // The system's colours as the fake system has them; an index not listed is black.
  std::map<int, Colour> systemColours{{15, 0x00F0F0F0}, {5, 0x00FFFFFF}, {8, 0x00000000}};

  int WidthTwips() const override { return widthTwips; }
  int HeightTwips() const override { return heightTwips; }
  Colour Resolve(Colour colour) const override {
    if (!platform::IsKnownSystemColour(colour)) return colour;
    const auto found = systemColours.find(static_cast<int>(colour & 0xFF));
    return found == systemColours.end() ? 0 : found->second;
  }
  void Clear(Colour background) override;
  void Line(double x1, double y1, double x2, double y2, Colour colour, platform::Units units) override;
  void Box(double x1, double y1, double x2, double y2, Colour colour, platform::Units units) override;
  void SetPixel(int x, int y, Colour colour) override;
  void DrawPicture(const platform::Picture& picture, int dx, int dy, int dw, int dh, int sx, int sy, int sw,
                   int sh) override;
  void DrawProgramIcon(int x, int y, int w, int h) override;

  std::vector<DrawOp> OpsOfKind(DrawOp::Kind kind) const;
};

// Labels measure 90 twips (6 pixels) per character, 105 when bold, and are
// 180 twips high.
class FakeLabel : public platform::Label {
 public:
  explicit FakeLabel(platform::LabelFont font) : font_(std::move(font)), bold_(font_.bold) {}

  void SetCaption(const std::string& text) override { caption_ = text; }
  std::string Caption() const override { return caption_; }
  void SetColour(Colour colour) override { colour_ = colour; }
  Colour TextColour() const override { return colour_; }
  void SetBold(bool bold) override { bold_ = bold; }
  bool Bold() const override { return bold_; }
  void SetEnabled(bool enabled) override { enabled_ = enabled; }
  bool Enabled() const override { return enabled_; }
  void SetVisible(bool visible) override { visible_ = visible; }
  bool Visible() const override { return visible_; }
  void Move(double left, double top) override { left_ = left, top_ = top; }
  double Left() const override { return left_; }
  double Top() const override { return top_; }
  double Width() const override;
  double Height() const override { return autoSize_ ? 180 : height_; }
  void SetHandlers(platform::LabelHandlers handlers) override { handlers_ = std::move(handlers); }
  void SetAutoSize(bool autoSize) override { autoSize_ = autoSize; }
  void Resize(double width, double height) override { width_ = width, height_ = height; }

  const platform::LabelHandlers& Handlers() const { return handlers_; }
  const platform::LabelFont& Font() const { return font_; }

 private:
  platform::LabelFont font_;
  std::string caption_;
  Colour colour_ = 0;
  bool bold_ = false;
  bool enabled_ = true;
  bool visible_ = true;
  double left_ = 0, top_ = 0;
  bool autoSize_ = true;
  double width_ = 0, height_ = 0;
  platform::LabelHandlers handlers_;
};

class FakeTimer : public platform::Timer {
 public:
  FakeTimer(int interval, bool enabled, std::function<void()> tick)
      : interval_(interval), enabled_(enabled), tick_(std::move(tick)) {}
  void SetEnabled(bool enabled) override { enabled_ = enabled; }
  bool Enabled() const override { return enabled_; }
  void SetInterval(int ms) override { interval_ = ms; }
  int Interval() const override { return interval_; }
  // Runs the tick as the runtime would: only while enabled with an interval.
  void Fire() {
    if (enabled_ && interval_ > 0) tick_();
  }

 private:
  int interval_;
  bool enabled_;
  std::function<void()> tick_;
};

class FakeControlSite : public platform::ControlSite {
 public:
  RecordingSurface surface;
  platform::SurfaceHandlers handlers;
  std::vector<FakeLabel*> labels;  // not owned: the control owns its labels
  std::vector<FakeTimer*> timers;  // not owned
  bool enabled = true;
  struct Region { int right, bottom, ellipse; };
  std::vector<Region> regions;
  platform::Point cursor{-1000, -1000};
  std::vector<std::string> changedProperties;
  std::string accessibleName;
  std::uintptr_t handle = 0x1234;
  std::uintptr_t parentHandle = 0x1000;
  struct Placement { int x, y, width, height; };
  std::vector<Placement> placements;
  Cursor cursorShape = Cursor::Default;

  FakeControlSite(int widthTwips = 1350, int heightTwips = 405) {
    surface.widthTwips = widthTwips;
    surface.heightTwips = heightTwips;
  }

  platform::DrawingSurface& Surface() override { return surface; }
  void SetHandlers(platform::SurfaceHandlers h) override { handlers = std::move(h); }
  std::unique_ptr<platform::Label> CreateLabel(const platform::LabelFont& font) override;
  std::unique_ptr<platform::Timer> CreateTimer(int intervalMs, bool enabledAtStart,
                                               std::function<void()> tick) override;
  void SetEnabled(bool e) override { enabled = e; }
  bool Enabled() const override { return enabled; }
  void SetRoundRegion(int right, int bottom, int ellipse) override { regions.push_back({right, bottom, ellipse}); }
  platform::Point CursorPosition() const override { return cursor; }
  std::uintptr_t WindowHandle() const override { return handle; }
  std::uintptr_t ParentWindowHandle() const override { return parentHandle; }
  // Records the placement; a change of size resizes the surface and notifies.
  void PlaceInParent(int x, int y, int width, int height) override;
  void SetCursor(Cursor shape) override { cursorShape = shape; }
  void PropertyChanged(std::string_view name) override { changedProperties.emplace_back(name); }
  void SetAccessibleName(const std::string& text) override { accessibleName = text; }

  // Resizes the surface and delivers the resize notification.
  void Resize(int widthTwips, int heightTwips);
};

}  // namespace fakes
