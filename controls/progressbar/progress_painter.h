#pragma once
// Draws the bar on its surface: the framed trough, the blocks of the block
// style and the runner of the marquee style, with the tiles of the current
// look. Everything drawn stays on the retained surface until the next full
// repaint, so each update draws only what changed.
#include <array>
#include <cstdint>

#include "controls/progressbar/progress_geometry.h"
#include "controls/progressbar/progress_pictures.h"
#include "platform/runtime/drawing_surface.h"

namespace controls::progressbar {

// The trough's interior; also what the surface is cleared to.
inline constexpr platform::Colour kTroughWhite = platform::Rgb(255, 255, 255);

struct DrawState {
  double SurfaceWidth = 0;
  double InnerHeight = 0;  // everything inside the frame is drawn this high
  double TileWidth = 0;
  double TileHeight = 0;
  std::int32_t NextBlockX = kFirstBlockX;
  bool BarFull = false;  // the compressed last block has been drawn
  std::int32_t LastValue = 0;
  std::int16_t MarqueePos = kMarqueeStart;  // left edge of the runner's tail
};

class ProgressPainter {
 public:
  // Neither is owned; both must outlive the painter.
  ProgressPainter(platform::DrawingSurface& surface, const ProgressPictures& pictures);

  // Clears the surface, draws the empty frame, puts the runner back to its
  // start and resets the draw state with value as the last value drawn.
  void Repaint(std::int32_t value);
  void AppendBlocks(std::int32_t value, std::int32_t min, std::int32_t max);
  void StepMarquee();
  // Takes the tiles of look 0 to 7 for what is drawn from now on; any other
  // look keeps the tiles in use. Nothing is redrawn.
  void ApplyLook(std::int32_t look);

 private:
  void ResetDrawState(std::int32_t value);
  void FinishLastBlock();
  // Copies the whole tile into the rectangle. Rectangles with no area are
  // skipped: on a surface too small for the frame's interior they would come
  // out negative, and a negative extent would mirror the copy.
  void DrawTile(const platform::Picture* tile, double x, double y, double w, double h);

  platform::DrawingSurface& surface_;   // not owned
  const ProgressPictures& pictures_;    // not owned
  std::array<const platform::Picture*, kTilesPerLook> pc_{};  // the working tiles
  DrawState state_;
};

}  // namespace controls::progressbar
