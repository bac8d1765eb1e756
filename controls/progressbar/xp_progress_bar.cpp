#include "controls/progressbar/xp_progress_bar.h"

#include <utility>

namespace controls::progressbar {
namespace {

constexpr std::int32_t kStyleBlocks = 0;
const std::string kErrorTitle = "Error";

}  // namespace

ErrorReporter CriticalMessageBox(platform::Application& app) {
  return [&app](const std::string& text, const std::string& title) {
    app.MessageBox(text, title, platform::MessageButtons::Ok, platform::MessageIcon::Critical);
  };
}

}  // namespace controls::progressbar

namespace controls {

using namespace progressbar;

Xp_ProgressBar::Xp_ProgressBar(platform::ControlSite& site, ErrorReporter reportError)
    : site_(site),
      reportError_(std::move(reportError)),
      pictures_(LoadBuiltInPictures()),
      painter_(site.Surface(), pictures_) {
  InitProperties();
  platform::SurfaceHandlers handlers;
  handlers.resize = [this] { UserControl_Resize(); };
  site_.SetHandlers(std::move(handlers));
}

Xp_ProgressBar::~Xp_ProgressBar() { site_.SetHandlers({}); }

void Xp_ProgressBar::InitProperties() {
  max_ = HeldInteger::Narrow(100);
  min_ = HeldInteger::Narrow(0);
  value_ = 0;
  style_ = kStyleBlocks;
  painter_.ApplyLook(progressLook_);
}

void Xp_ProgressBar::Reject(const std::string& text) {
  if (reportError_) reportError_(text, kErrorTitle);
}

void Xp_ProgressBar::SetMin(std::int32_t New_Mini) {
  if (New_Mini > Max()) return Reject("Minimum can NOT be biger than maximum !");
  if (New_Mini < 0) return Reject("Minimum can NOT be smaller then 0 !");
  min_ = HeldInteger::Wide(New_Mini);
  site_.PropertyChanged("Min");
}

void Xp_ProgressBar::SetMax(std::int32_t New_Maxi) {
  if (New_Maxi < Min()) return Reject("Maximum can NOT be smaller than minimum !");
  max_ = HeldInteger::Wide(New_Maxi);
  site_.PropertyChanged("Max");
}

void Xp_ProgressBar::SetValue(std::int32_t New_Value) {
  if (New_Value > Max()) return Reject("Value can NOT be higher than Maximum !");
  if (New_Value < Min()) return Reject("Value can NOT be smaller than minimum !");
  value_ = New_Value;
  site_.PropertyChanged("Value");
  if (style_ == kStyleBlocks)
    painter_.AppendBlocks(value_, Min(), Max());
  else if (value_ == Max())
    UserControl_Resize();
  else
    painter_.StepMarquee();
}

void Xp_ProgressBar::SetStyle(std::int32_t New_Style) {
  style_ = New_Style;
  site_.PropertyChanged("Style");
}

void Xp_ProgressBar::SetProgressLook(std::int32_t New_ProgressLook) {
  progressLook_ = New_ProgressLook;
  site_.PropertyChanged("ProgressLook");
  painter_.ApplyLook(progressLook_);
}

void Xp_ProgressBar::UserControl_ReadProperties(const platform::PropertyBag& bag) {
  // Everything is read before anything is assigned, so that a value the bag
  // cannot convert leaves the bar as it was.
  const auto min = HeldInteger::FromProperty(bag.Read("Min", std::int16_t{0}));
  const auto max = HeldInteger::FromProperty(bag.Read("Max", std::int16_t{100}));
  const std::int32_t value = bag.ReadInt32("Value", 0);
  const std::int32_t style = bag.ReadInt32("Style", 0);
  const std::int32_t look = bag.ReadInt32("ProgressLook", 0);
  min_ = min;
  max_ = max;
  value_ = value;
  style_ = style;
  SetProgressLook(look);
}

void Xp_ProgressBar::UserControl_WriteProperties(platform::PropertyBag& bag) const {
  bag.Write("Min", min_.AsProperty(), std::int16_t{0});
  bag.Write("Max", max_.AsProperty(), std::int16_t{100});
  bag.Write("Value", value_, std::int32_t{0});
  bag.Write("Style", style_, std::int32_t{0});
  bag.Write("ProgressLook", progressLook_, std::int32_t{0});
}

void Xp_ProgressBar::UserControl_Resize() { painter_.Repaint(value_); }

}  // namespace controls
