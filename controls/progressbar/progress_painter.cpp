#include "controls/progressbar/progress_painter.h"

#include <limits>

#include "platform/units.h"

namespace controls::progressbar {

ProgressPainter::ProgressPainter(platform::DrawingSurface& surface, const ProgressPictures& pictures)
    : surface_(surface), pictures_(pictures) {}

void ProgressPainter::Repaint(std::int32_t value) {
  surface_.Clear(kTroughWhite);
  const int w = surface_.WidthPixels();
  const int h = surface_.HeightPixels();
  for (const FramePiece& piece : FramePieces(w, h)) {
    const Rect& d = piece.destination;
    const Rect& s = piece.source;
    if (d.w > 0 && d.h > 0) surface_.DrawPicture(pictures_.img, d.x, d.y, d.w, d.h, s.x, s.y, s.w, s.h);
  }
  state_.MarqueePos = kMarqueeStart;
  ResetDrawState(value);
}

void ProgressPainter::ResetDrawState(std::int32_t value) {
  state_.SurfaceWidth = surface_.WidthPixels();
  state_.InnerHeight = surface_.HeightPixels() - 2 * kFrameThickness;
  state_.TileWidth = pc_[0] ? pc_[0]->width : 0;
  state_.TileHeight = pc_[0] ? pc_[0]->height : 0;
  state_.NextBlockX = kFirstBlockX;
  state_.BarFull = false;
  state_.LastValue = value;
}

void ProgressPainter::AppendBlocks(std::int32_t value, std::int32_t min, std::int32_t max) {
  if (value == min || value < state_.LastValue) Repaint(value);
  state_.LastValue = value;
  // An empty range has no extent to fill; the repaint above left the trough
  // empty, as the only value such a range accepts is min.
  if (max == min) return;
  const double target = BlockTarget(state_.SurfaceWidth, min, max, value);
  while (state_.NextBlockX < target) {
    if (state_.NextBlockX + kBlockPitch >= state_.SurfaceWidth) FinishLastBlock();
    if (state_.BarFull) return;
    DrawTile(pc_[2], state_.NextBlockX, kTroughTop, state_.TileWidth, state_.InnerHeight);
    state_.NextBlockX += kBlockPitch;
  }
}

void ProgressPainter::FinishLastBlock() {
  const double rest = state_.SurfaceWidth - kFrameThickness - state_.NextBlockX;
  if (rest > 0) DrawTile(pc_[2], state_.NextBlockX, kTroughTop, rest, state_.InnerHeight);
  state_.BarFull = true;
}

void ProgressPainter::StepMarquee() {
  const int p = state_.MarqueePos;
  const double segment = state_.TileWidth / 2;
  const double width = state_.SurfaceWidth;
  if (p != kMarqueeRestart && p != kMarqueeStart)
    DrawTile(&pictures_.blank, p - kMarqueePitch, kTroughTop, segment, state_.InnerHeight);
  if (p + 4 * kMarqueePitch < width)
    DrawTile(pc_[2], p + 2 * kMarqueePitch, kTroughTop, segment, state_.InnerHeight);
  if (p + 2 * kMarqueePitch < width) DrawTile(pc_[1], p + kMarqueePitch, kTroughTop, segment, state_.InnerHeight);
  if (p + kMarqueePitch < width) DrawTile(pc_[0], p, kTroughTop, segment, state_.InnerHeight);
  // The second test only matters on surfaces wider than the position's 16
  // bits: the runner starts again rather than wrapping to the far left.
  if (p + kMarqueePitch >= width || p + kMarqueePitch > std::numeric_limits<std::int16_t>::max()) {
    const double rest = width - kFrameThickness - p;
    if (rest > 0) DrawTile(&pictures_.blank, p, kTroughTop, rest, state_.InnerHeight);
    state_.MarqueePos = kMarqueeRestart;
  } else {
    state_.MarqueePos = static_cast<std::int16_t>(p + kMarqueePitch);
  }
}

void ProgressPainter::ApplyLook(std::int32_t look) {
  if (look < 0 || look >= kLookCount) return;
  for (int tile = 0; tile < kTilesPerLook; ++tile) pc_[tile] = &pictures_.looks[look][tile];
}

void ProgressPainter::DrawTile(const platform::Picture* tile, double x, double y, double w, double h) {
  if (!tile || tile->Empty()) return;
  const int dw = platform::RoundHalfEven(w);
  const int dh = platform::RoundHalfEven(h);
  if (dw <= 0 || dh <= 0) return;
  surface_.DrawPicture(*tile, platform::RoundHalfEven(x), platform::RoundHalfEven(y), dw, dh, 0, 0, tile->width,
                       tile->height);
}

}  // namespace controls::progressbar
