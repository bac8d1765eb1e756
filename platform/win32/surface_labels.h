#pragma once
// The windowless labels of one control surface: their state, their drawing
// above the backing image and the hit test that routes the mouse to them.
// The list is shared with the labels themselves, since a control may keep a
// label after its surface has gone.
#include <windows.h>

#include <functional>
#include <memory>
#include <string>
#include <vector>

#include "platform/runtime/label.h"
#include "platform/win32/gdi_handles.h"

namespace platform::win32 {

struct LabelState {
  std::string caption;
  std::wstring wideCaption;
  FontHandle regularFont;
  FontHandle boldFont;
  Colour colour = kSysWindowText;
  bool bold = false;
  bool enabled = true;
  bool visible = true;
  bool autoSize = true;
  double left = 0, top = 0;        // twips
  double measuredWidth = 0, measuredHeight = 0;  // twips, of the text
  double givenWidth = 0, givenHeight = 0;        // twips, used without AutoSize
  LabelHandlers handlers;

  HFONT Font() const { return bold ? boldFont.Get() : regularFont.Get(); }
  double Width() const { return autoSize ? measuredWidth : givenWidth; }
  double Height() const { return autoSize ? measuredHeight : givenHeight; }
  void Measure();
  // The device pixels the label covers on its surface.
  RECT PixelRect() const;
};

class LabelBoard {
 public:
  // Told when a label changes, to show the surface again as its own drawing
  // is shown (held during a timer tick like it); nothing once it is gone.
  void SetChangedHandler(std::function<void()> changed) { changed_ = std::move(changed); }
  void Changed() const;

  void Add(std::shared_ptr<LabelState> label);
  void Remove(const LabelState* label);

  // The topmost visible, enabled label under the pixel, or null.
  std::shared_ptr<LabelState> HitTest(POINT pixel) const;
  void Paint(HDC dc) const;

 private:
  std::function<void()> changed_;
  std::vector<std::shared_ptr<LabelState>> labels_;  // creation order: later ones above
};

// Font of a label: the default GUI font with the face, size, character set
// and weight asked for. 0 points keeps the default size.
FontHandle CreateLabelFont(const LabelFont& font, bool bold);

std::unique_ptr<Label> CreateSurfaceLabel(const std::shared_ptr<LabelBoard>& board, const LabelFont& font);

}  // namespace platform::win32
