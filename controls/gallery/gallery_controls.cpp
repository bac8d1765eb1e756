#include "controls/gallery/gallery_controls.h"

#include <windows.h>

#include <utility>

#include "platform/units.h"

namespace gallery {

using platform::PixelsToTwips;
using platform::win32::AccessibleRole;
using platform::win32::Win32ControlSite;

std::string Numbered(std::string_view prefix, int number) {
  std::string name(prefix);
  name += std::to_string(number);
  return name;
}

Win32ControlSite& AddControlAt(platform::win32::HostWindow& window, const ControlSpot& spot) {
  Win32ControlSite& site = window.AddControl(
      {.name = spot.name,
       .rect = {PixelsToTwips(spot.rect.left), PixelsToTwips(spot.rect.top), PixelsToTwips(spot.rect.width),
                PixelsToTwips(spot.rect.height)},
       .tabIndex = spot.tabIndex,
       .focusable = spot.tabIndex >= 0});
  SetWindowLongPtrW(site.Handle(), GWLP_ID, spot.windowId);
  return site;
}

std::unique_ptr<controls::QORButton> MakeButton(Win32ControlSite& site, const ButtonLook& look) {
  site.SetAccessibleRole(AccessibleRole::PushButton);
  auto button = std::make_unique<controls::QORButton>(site);
  button->InitProperties();
  // Before the first resize, which centres the caption.
  button->SetCaption(look.caption);
  site.SetAccessibleName(look.caption);
  button->SetBackColor(look.backColor);
  button->SetEnabled(look.enabled);
  site.ReportSize();
  return button;
}

std::unique_ptr<controls::Xp_ProgressBar> MakeBar(Win32ControlSite& site, controls::progressbar::ErrorReporter reportError,
                                                     const BarLook& look) {
  site.SetAccessibleRole(AccessibleRole::ProgressBar);
  auto bar = std::make_unique<controls::Xp_ProgressBar>(site, std::move(reportError));
  bar->SetProgressLook(look.progressLook);
  bar->SetStyle(look.style);
  site.ReportSize();
  bar->SetValue(look.value);
  return bar;
}

}  // namespace gallery
