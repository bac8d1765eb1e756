#include "platform/win32/surface_labels.h"

#include <algorithm>

#include "platform/units.h"
#include "platform/win32/backing_image.h"
#include "platform/win32/text.h"

namespace platform::win32 {
namespace {

class SurfaceLabel final : public Label {
 public:
  SurfaceLabel(std::shared_ptr<LabelState> state, std::weak_ptr<LabelBoard> board)
      : state_(std::move(state)), board_(std::move(board)) {}
  ~SurfaceLabel() override {
    if (auto board = board_.lock()) {
      board->Remove(state_.get());
      board->Changed();
    }
  }
  SurfaceLabel(const SurfaceLabel&) = delete;
  SurfaceLabel& operator=(const SurfaceLabel&) = delete;

  void SetCaption(const std::string& text) override {
    state_->caption = text;
    state_->wideCaption = Widen(text);
    Remeasure();
  }
  std::string Caption() const override { return state_->caption; }
  void SetColour(Colour colour) override {
    state_->colour = colour;
    Changed();
  }
  Colour TextColour() const override { return state_->colour; }
  void SetBold(bool bold) override {
    state_->bold = bold;
    Remeasure();
  }
  bool Bold() const override { return state_->bold; }
  void SetEnabled(bool enabled) override {
    state_->enabled = enabled;
    Changed();
  }
  bool Enabled() const override { return state_->enabled; }
  void SetVisible(bool visible) override {
    state_->visible = visible;
    Changed();
  }
  bool Visible() const override { return state_->visible; }
  void Move(double left, double top) override {
    state_->left = left;
    state_->top = top;
    Changed();
  }
  double Left() const override { return state_->left; }
  double Top() const override { return state_->top; }
  double Width() const override { return state_->Width(); }
  double Height() const override { return state_->Height(); }
  void SetHandlers(LabelHandlers handlers) override { state_->handlers = std::move(handlers); }
  void SetAutoSize(bool autoSize) override {
    state_->autoSize = autoSize;
    Changed();
  }
  // Kept for when AutoSize is off, whenever it is given.
  void Resize(double width, double height) override {
    state_->givenWidth = width;
    state_->givenHeight = height;
    Changed();
  }

 private:
  void Remeasure() {
    state_->Measure();
    Changed();
  }
  void Changed() const {
    if (auto board = board_.lock()) board->Changed();
  }

  std::shared_ptr<LabelState> state_;
  std::weak_ptr<LabelBoard> board_;
};

}  // namespace

void LabelState::Measure() {
  MemoryDc dc;
  SelectedObject selected(dc.Get(), Font());
  TEXTMETRICW metrics{};
  GetTextMetricsW(dc.Get(), &metrics);
  SIZE extent{};
  if (!wideCaption.empty())
    GetTextExtentPoint32W(dc.Get(), wideCaption.c_str(), static_cast<int>(wideCaption.size()), &extent);
  measuredWidth = PixelsToTwips(extent.cx);
  measuredHeight = PixelsToTwips(metrics.tmHeight);
}

RECT LabelState::PixelRect() const {
  const int x = TwipsToWholePixels(left), y = TwipsToWholePixels(top);
  return RECT{x, y, x + std::max(TwipsToWholePixels(Width()), 0), y + std::max(TwipsToWholePixels(Height()), 0)};
}

void LabelBoard::Changed() const {
  if (changed_) changed_();
}

void LabelBoard::Add(std::shared_ptr<LabelState> label) { labels_.push_back(std::move(label)); }

void LabelBoard::Remove(const LabelState* label) {
  std::erase_if(labels_, [label](const auto& held) { return held.get() == label; });
}

std::shared_ptr<LabelState> LabelBoard::HitTest(POINT pixel) const {
  for (auto label = labels_.rbegin(); label != labels_.rend(); ++label) {
    if (!(*label)->visible || !(*label)->enabled) continue;
    const RECT rect = (*label)->PixelRect();
    if (PtInRect(&rect, pixel)) return *label;
  }
  return nullptr;
}

void LabelBoard::Paint(HDC dc) const {
  for (const auto& label : labels_) {
    if (!label->visible || label->wideCaption.empty()) continue;
    const RECT rect = label->PixelRect();
    SavedDcState saved(dc);
    IntersectClipRect(dc, rect.left, rect.top, rect.right, rect.bottom);
    SetBkMode(dc, TRANSPARENT);
    SelectedObject font(dc, label->Font());
    const auto length = static_cast<int>(label->wideCaption.size());
    if (label->enabled) {
      SetTextColor(dc, DrawnColour(label->colour));
      TextOutW(dc, rect.left, rect.top, label->wideCaption.c_str(), length);
    } else {
      // The platform's embossed disabled text, drawn with the label's own font
      // (DrawState would measure and place it with another one).
      SetTextColor(dc, GetSysColor(COLOR_3DHILIGHT));
      TextOutW(dc, rect.left + 1, rect.top + 1, label->wideCaption.c_str(), length);
      SetTextColor(dc, GetSysColor(COLOR_3DSHADOW));
      TextOutW(dc, rect.left, rect.top, label->wideCaption.c_str(), length);
    }
  }
}

FontHandle CreateLabelFont(const LabelFont& font, bool bold) {
  LOGFONTW logFont{};
  GetObjectW(GetStockObject(DEFAULT_GUI_FONT), sizeof logFont, &logFont);
  if (!font.face.empty()) {
    const std::wstring face = Widen(font.face);
    const std::size_t length = std::min<std::size_t>(face.size(), LF_FACESIZE - 1);
    std::fill(std::begin(logFont.lfFaceName), std::end(logFont.lfFaceName), L'\0');
    std::copy_n(face.begin(), length, logFont.lfFaceName);
  }
  // The system runs at 96 dots per inch: 15 twips per pixel.
  if (font.points > 0 && font.points < 1000) logFont.lfHeight = -RoundHalfEven(font.points * 96.0 / 72.0);
  logFont.lfCharSet = static_cast<BYTE>(std::clamp(font.charset, 0, 255));
  logFont.lfWeight = bold ? FW_BOLD : FW_NORMAL;
  return FontHandle(CreateFontIndirectW(&logFont));
}

std::unique_ptr<Label> CreateSurfaceLabel(const std::shared_ptr<LabelBoard>& board, const LabelFont& font) {
  auto state = std::make_shared<LabelState>();
  state->regularFont = CreateLabelFont(font, false);
  state->boldFont = CreateLabelFont(font, true);
  state->bold = font.bold;
  state->Measure();
  board->Add(state);
  board->Changed();
  return std::make_unique<SurfaceLabel>(state, board);
}

}  // namespace platform::win32
