#include "controls/gallery/gallery_window.h"

#include <string>
#include <utility>

#include "controls/gallery/gallery_controls.h"
#include "controls/gallery/gallery_layout.h"
#include "controls/gallery/resource_ids.h"
#include "controls/progressbar/progress_pictures.h"
#include "platform/colour.h"

namespace gallery {
namespace {

constexpr int kMargin = 16;
constexpr int kClientWidth = 380;
constexpr int kClientHeight = 336;

constexpr int kButtonWidth = 81;  // the installer's buttons: 1215 x 375 twips
constexpr int kButtonHeight = 25;
constexpr int kButtonGap = 9;
constexpr int kButtonsTop = 34;

constexpr int kTagHeight = 16;
constexpr int kRowTagWidth = 108;
constexpr int kBarLeft = kMargin + kRowTagWidth + 4;
constexpr int kBarWidth = 233;  // the installer's bars: 3495 x 195 twips
constexpr int kBarHeight = 13;
constexpr int kTallBarHeight = 21;
constexpr int kBarsHeadingTop = 76;
constexpr int kFirstBarTop = 98;
constexpr int kBarPitch = 22;
constexpr int kTallBarTop = kFirstBarTop + controls::progressbar::kLookCount * kBarPitch + 2;
constexpr int kMarqueeTop = kTallBarTop + kTallBarHeight + 11;
constexpr int kMarqueeValue = 50;  // below Max, so each assignment steps the runner

// Labels sit two pixels above the bar they name so their text lines up with it.
constexpr int kTagRaise = 2;
// Tags are no controls a user works with: their identifiers stay out of the
// controls' ranges.
constexpr int kFirstTagId = 900;

const gallery::ButtonLook kButtonLooks[kButtonCount] = {
    {.caption = "安装", .backColor = controls::QORButton::kDefaultBackColor, .enabled = true},
    {.caption = "Repair", .backColor = platform::Rgb(170, 205, 255), .enabled = true},
    {.caption = "导出", .backColor = platform::Rgb(255, 205, 140), .enabled = true},
    {.caption = "Disabled", .backColor = controls::QORButton::kDefaultBackColor, .enabled = false},
};

std::string LookText(int look) { return std::to_string(look) + "  " + std::string(controls::progressbar::kLookNames[look]); }

}  // namespace

GalleryWindow::GalleryWindow(controls::progressbar::ErrorReporter reportError)
    : reportError_(std::move(reportError)),
      window_({.caption = kMainCaption,
               .clientWidth = kClientWidth,
               .clientHeight = kClientHeight,
               .iconResourceId = IDI_GALLERY}) {
  AddButtons();
  AddBars();
  marqueeTimer_ = window_.CreateTimer(kMarqueeIntervalMs, true, [this] { StepMarquee(); });
}

void GalleryWindow::AddTag(int windowId, int left, int top, int width, const std::string& text, bool bold) {
  auto& site = AddControlAt(window_, {.name = Numbered("Tag", windowId),
                                      .windowId = windowId,
                                      .rect = {left, top, width, kTagHeight},
                                      .tabIndex = -1});
  site.SetAccessibleName(text);
  tags_.push_back(std::make_unique<TextTag>(site, text, bold));
}

void GalleryWindow::AddButtons() {
  AddTag(kFirstTagId, kMargin, 12, 200, "QORButton", true);
  for (int i = 0; i < kButtonCount; ++i) {
    auto& site = AddControlAt(window_, {.name = Numbered("QORButton", i + 1),
                                        .windowId = kFirstButtonId + i,
                                        .rect = {kMargin + i * (kButtonWidth + kButtonGap), kButtonsTop,
                                                 kButtonWidth, kButtonHeight},
                                        .tabIndex = i});
    buttons_.push_back(MakeButton(site, kButtonLooks[i]));
  }
}

void GalleryWindow::AddBars() {
  AddTag(kFirstTagId + 1, kMargin, kBarsHeadingTop, 300, "Xp_ProgressBar", true);
  auto addBar = [this](const std::string& name, int windowId, int top, int height, const std::string& tag,
                       const BarLook& look) {
    AddTag(windowId + kFirstTagId, kMargin, top + (height - kBarHeight) / 2 - kTagRaise, kRowTagWidth, tag);
    auto& site = AddControlAt(window_, {.name = name, .windowId = windowId, .rect = {kBarLeft, top, kBarWidth, height}});
    bars_.push_back(MakeBar(site, reportError_, look));
  };
  for (int look = 0; look < controls::progressbar::kLookCount; ++look) {
    const int value = kLookBarValues[look];
    addBar(Numbered("Xp_ProgressBar", look + 1), kFirstLookBarId + look, kFirstBarTop + look * kBarPitch,
           kBarHeight, LookText(look) + "  " + std::to_string(value) + "%",
           {.progressLook = look, .style = 0, .value = value});
  }
  addBar("Xp_ProgressBarTall", kTallBarId, kTallBarTop, kTallBarHeight,
         LookText(kTallBarLook) + "  " + std::to_string(kTallBarValue) + "%",
         {.progressLook = kTallBarLook, .style = 0, .value = kTallBarValue});
  addBar("Xp_ProgressBarMarquee", kMarqueeBarId, kMarqueeTop, kBarHeight, LookText(0) + "  Style 1",
         {.progressLook = 0, .style = 1, .value = kMarqueeValue});
  marquee_ = bars_.back().get();
}

void GalleryWindow::StepMarquee() { marquee_->SetValue(kMarqueeValue); }

}  // namespace gallery
