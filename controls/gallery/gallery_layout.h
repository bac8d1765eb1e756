#pragma once
// Where the gallery puts its windows and controls, shared with its test,
// which finds the controls by their window identifiers.
namespace gallery {

inline constexpr const char* kMainCaption = "ControlGallery";
// The skin with its defaults, and beside it the same skin with ChangeSize
// False: no corner resize, no maximise.
inline constexpr const char* kSkinCaption = "QORSkin";
inline constexpr const char* kFixedSkinCaption = "QORSkin  ChangeSize False";

// The skinned window, frame included: the skin takes the whole window.
inline constexpr int kSkinWindowWidth = 320;
inline constexpr int kSkinWindowHeight = 220;

// Window identifiers (GWLP_ID) of the controls.
inline constexpr int kFirstButtonId = 100;  // four buttons; the last one disabled
inline constexpr int kButtonCount = 4;
inline constexpr int kDisabledButtonId = kFirstButtonId + kButtonCount - 1;
inline constexpr int kFirstLookBarId = 200;  // ProgressLook 0..7, in order
inline constexpr int kTallBarId = 210;
inline constexpr int kMarqueeBarId = 211;
inline constexpr int kSkinId = 300;
inline constexpr int kFirstSkinButtonId = 310;  // two buttons on the skinned window
inline constexpr int kSkinBarId = 320;

// Block bars, in percent of Max = 100: look i shows kLookBarValues[i].
inline constexpr int kLookBarValues[] = {25, 50, 75, 100, 25, 50, 75, 100};
inline constexpr int kTallBarLook = 4;
inline constexpr int kTallBarValue = 60;
inline constexpr int kSkinBarLook = 6;
inline constexpr int kSkinBarValue = 75;

inline constexpr int kMarqueeIntervalMs = 30;

}  // namespace gallery
