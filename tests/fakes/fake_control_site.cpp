#include "tests/fakes/fake_control_site.h"

namespace fakes {

void RecordingSurface::Clear(Colour background) {
  ops.push_back(DrawOp{.kind = DrawOp::Clear, .colour = background});
}

void RecordingSurface::Line(double x1, double y1, double x2, double y2, Colour colour, platform::Units units) {
  ops.push_back(DrawOp{.kind = DrawOp::Line, .x1 = x1, .y1 = y1, .x2 = x2, .y2 = y2, .colour = colour, .units = units});
}

void RecordingSurface::Box(double x1, double y1, double x2, double y2, Colour colour, platform::Units units) {
  ops.push_back(DrawOp{.kind = DrawOp::Box, .x1 = x1, .y1 = y1, .x2 = x2, .y2 = y2, .colour = colour, .units = units});
}

void RecordingSurface::SetPixel(int x, int y, Colour colour) {
  ops.push_back(DrawOp{.kind = DrawOp::Pixel, .x1 = static_cast<double>(x), .y1 = static_cast<double>(y), .colour = colour, .units = platform::Units::Pixels});
}

void RecordingSurface::DrawPicture(const platform::Picture& picture, int dx, int dy, int dw, int dh, int sx, int sy,
                                   int sw, int sh) {
  ops.push_back(DrawOp{.kind = DrawOp::Picture,
                       .x1 = static_cast<double>(dx),
                       .y1 = static_cast<double>(dy),
                       .w = static_cast<double>(dw),
                       .h = static_cast<double>(dh),
                       .sx = sx,
                       .sy = sy,
                       .sw = sw,
                       .sh = sh,
                       .units = platform::Units::Pixels,
                       .picture = &picture});
}

void RecordingSurface::DrawProgramIcon(int x, int y, int w, int h) {
  ops.push_back(DrawOp{.kind = DrawOp::Icon, .x1 = static_cast<double>(x), .y1 = static_cast<double>(y), .w = static_cast<double>(w), .h = static_cast<double>(h), .units = platform::Units::Pixels});
}

std::vector<DrawOp> RecordingSurface::OpsOfKind(DrawOp::Kind kind) const {
  std::vector<DrawOp> found;
  for (const auto& op : ops)
    if (op.kind == kind) found.push_back(op);
  return found;
}

double FakeLabel::Width() const {
  if (!autoSize_) return width_;
  std::size_t characters = 0;
  for (unsigned char c : caption_)
    if ((c & 0xC0) != 0x80) ++characters;  // count UTF-8 code points
  return static_cast<double>(characters) * (bold_ ? 105.0 : 90.0);
}

std::unique_ptr<platform::Label> FakeControlSite::CreateLabel(const platform::LabelFont& font) {
  auto label = std::make_unique<FakeLabel>(font);
  labels.push_back(label.get());
  return label;
}

std::unique_ptr<platform::Timer> FakeControlSite::CreateTimer(int intervalMs, bool enabledAtStart,
                                                             std::function<void()> tick) {
  auto timer = std::make_unique<FakeTimer>(intervalMs, enabledAtStart, std::move(tick));
  timers.push_back(timer.get());
  return timer;
}

void FakeControlSite::Resize(int widthTwips, int heightTwips) {
  surface.widthTwips = widthTwips;
  surface.heightTwips = heightTwips;
  if (handlers.resize) handlers.resize();
}

void FakeControlSite::PlaceInParent(int x, int y, int width, int height) {
  placements.push_back({x, y, width, height});
  if (width * 15 != surface.widthTwips || height * 15 != surface.heightTwips) Resize(width * 15, height * 15);
}

}  // namespace fakes
