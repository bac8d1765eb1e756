#include "controls/gallery/skin_window.h"

#include <string>
#include <utility>

#include "controls/gallery/gallery_controls.h"
#include "controls/gallery/gallery_layout.h"
#include "controls/gallery/resource_ids.h"

namespace gallery {
namespace {

constexpr int kButtonWidth = 81;
constexpr int kButtonHeight = 25;
constexpr int kButtonsTop = 176;
constexpr int kButtonsRight = kSkinWindowWidth - 14;
constexpr int kButtonGap = 10;
constexpr int kBarWidth = 233;
constexpr int kBarHeight = 13;
constexpr int kBarTop = 96;

const ButtonLook kButtonLooks[] = {
    {.caption = "确定", .backColor = controls::QORButton::kDefaultBackColor, .enabled = true},
    {.caption = "Cancel", .backColor = controls::QORButton::kDefaultBackColor, .enabled = true},
};

}  // namespace

SkinWindow::SkinWindow(const SkinVariant& variant, controls::progressbar::ErrorReporter reportError,
                       std::function<void()> endProgram)
    : window_({.caption = variant.caption, .clientWidth = kSkinWindowWidth, .clientHeight = kSkinWindowHeight,
               .iconResourceId = IDI_GALLERY}),
      ops_(std::move(endProgram)) {
  // The skin keeps the window's outer size once it has stripped the frame.
  SetWindowPos(window_.Handle(), nullptr, 0, 0, kSkinWindowWidth, kSkinWindowHeight,
               SWP_NOMOVE | SWP_NOZORDER | SWP_NOACTIVATE);

  // Added before the skin, so they lie in front of its face.
  const int buttonCount = static_cast<int>(std::size(kButtonLooks));
  for (int i = 0; i < buttonCount; ++i) {
    const int left = kButtonsRight - (buttonCount - i) * kButtonWidth - (buttonCount - 1 - i) * kButtonGap;
    auto& site = AddControlAt(window_, {.name = Numbered("QORButton", i + 1),
                                        .windowId = kFirstSkinButtonId + i,
                                        .rect = {left, kButtonsTop, kButtonWidth, kButtonHeight},
                                        .tabIndex = i});
    buttons_.push_back(MakeButton(site, kButtonLooks[i]));
  }
  auto& barSite = AddControlAt(window_, {.name = "Xp_ProgressBar1",
                                         .windowId = kSkinBarId,
                                         .rect = {(kSkinWindowWidth - kBarWidth) / 2, kBarTop, kBarWidth, kBarHeight}});
  bar_ = MakeBar(barSite, std::move(reportError), {.progressLook = kSkinBarLook, .style = 0, .value = kSkinBarValue});

  auto& skinSite = window_.AddControl({.name = "QORSkin1",
                                       .rect = {0, 0, controls::QORSkin::kDesignWidth, controls::QORSkin::kDesignHeight},
                                       .tabIndex = -1,
                                       .focusable = false});
  SetWindowLongPtrW(skinSite.Handle(), GWLP_ID, kSkinId);
  skin_ = std::make_unique<controls::QORSkin>(skinSite, ops_, true);
  // In run mode this starts taking over the window.
  skin_->UserControl_ReadProperties({});
  skin_->SetChangeSize(variant.changeSize);
  skinSite.ReportSize();
}

}  // namespace gallery
