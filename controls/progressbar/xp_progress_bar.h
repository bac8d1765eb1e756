#pragma once
// The progress bar control: a framed trough that fills with blocks in
// proportion to Value (Style 0), or a busy runner that moves one step on each
// Value assignment (any other Style), in one of eight looks.
#include <cstdint>
#include <functional>
#include <string>

#include "controls/progressbar/held_integer.h"
#include "controls/progressbar/progress_painter.h"
#include "controls/progressbar/progress_pictures.h"
#include "platform/runtime/control_site.h"
#include "platform/runtime/property_bag.h"
#include "platform/services.h"

namespace controls::progressbar {

// Shows a rejected value to the user and returns when it has been seen.
using ErrorReporter = std::function<void(const std::string& text, const std::string& title)>;

// The platform's message box with the critical icon and one OK button.
ErrorReporter CriticalMessageBox(platform::Application& app);

}  // namespace controls::progressbar

namespace controls {

class Xp_ProgressBar {
 public:
  // Creates the instance on its site (not owned; must outlive the bar) and
  // takes the site's resize notification. The bar starts with look 0 so that
  // it can draw before ProgressLook is ever assigned.
  Xp_ProgressBar(platform::ControlSite& site, progressbar::ErrorReporter reportError);
  ~Xp_ProgressBar();
  Xp_ProgressBar(const Xp_ProgressBar&) = delete;
  Xp_ProgressBar& operator=(const Xp_ProgressBar&) = delete;

  // Setters reject a value out of order with a message titled "Error" and
  // return normally, changing nothing.
  std::int32_t Min() const { return min_.Get(); }
  void SetMin(std::int32_t New_Mini);
  std::int32_t Max() const { return max_.Get(); }
  void SetMax(std::int32_t New_Maxi);
  std::int32_t Value() const { return value_; }
  void SetValue(std::int32_t New_Value);
  std::int32_t Style() const { return style_; }
  void SetStyle(std::int32_t New_Style);
  std::int32_t ProgressLook() const { return progressLook_; }
  void SetProgressLook(std::int32_t New_ProgressLook);

  // A new instance's defaults (the look stays); draws nothing. The
  // constructor gives them.
  void InitProperties();
  // Loads stored properties as they are, without checks, and draws nothing.
  // A value the bag cannot convert throws PropertyConversionError and leaves
  // the bar unchanged.
  void UserControl_ReadProperties(const platform::PropertyBag& bag);
  void UserControl_WriteProperties(platform::PropertyBag& bag) const;
  // The full repaint: the empty frame, the runner back at its start.
  void UserControl_Resize();

 private:
  void Reject(const std::string& text);

  platform::ControlSite& site_;  // not owned
  progressbar::ErrorReporter reportError_;
  progressbar::ProgressPictures pictures_;
  progressbar::ProgressPainter painter_;  // draws with pictures_, declared after them
  progressbar::HeldInteger min_ = progressbar::HeldInteger::Narrow(0);
  progressbar::HeldInteger max_ = progressbar::HeldInteger::Narrow(100);
  std::int32_t value_ = 0;
  std::int32_t style_ = 0;
  std::int32_t progressLook_ = 0;
};

}  // namespace controls
