// The bar on a real Win32 surface: what GDI leaves in the backing image.
#include <windows.h>

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "controls/progressbar/progress_pictures.h"
#include "controls/progressbar/xp_progress_bar.h"
#include "platform/win32/control_site.h"
#include "tests/support/parent_window.h"

namespace {

using platform::Picture;
using controls::Xp_ProgressBar;

constexpr int kWidth = 233;
constexpr int kHeight = 13;

// A hidden top-level window carries the control.
using test_support::ParentWindow;

// Whether a destination pixel of a scaled copy holds one of the source pixels
// its area covers: the exact pick of a plain stretch differs between GDI
// implementations, but never strays outside the covered pixels.
bool CoveredIndex(int source, int destination, int sourceSize, int destinationSize) {
  const double from = static_cast<double>(destination) * sourceSize / destinationSize;
  const double to = static_cast<double>(destination + 1) * sourceSize / destinationSize;
  return source + 1 > from && source < to;
}

struct Region {
  int dx, dy, dw, dh;  // on the surface
  int sx, sy, sw, sh;  // in the picture
};

// Every pixel of the region holds a covered source pixel of the picture.
::testing::AssertionResult ShowsScaled(const platform::win32::Win32ControlSite& site, const Picture& picture,
                                      const Region& r) {
  for (int y = 0; y < r.dh; ++y)
    for (int x = 0; x < r.dw; ++x) {
      const COLORREF got = site.Pixel(r.dx + x, r.dy + y);
      bool found = false;
      for (int sy = 0; sy < r.sh && !found; ++sy)
        for (int sx = 0; sx < r.sw && !found; ++sx)
          found = CoveredIndex(sx, x, r.sw, r.dw) && CoveredIndex(sy, y, r.sh, r.dh) &&
                  picture.At(r.sx + sx, r.sy + sy) == got;
      if (!found)
        return ::testing::AssertionFailure() << "pixel " << r.dx + x << "," << r.dy + y << " is 0x" << std::hex
                                             << got;
    }
  return ::testing::AssertionSuccess();
}

// A whole 8 x 10 tile at (x, 3), w x 7.
Region TileAt(int x, int w) { return {x, 3, w, 7, 0, 0, 8, 10}; }

class ProgressBarOnGdi : public ::testing::Test {
 protected:
  ParentWindow parent;
  platform::win32::Win32ControlSite site{parent.Get(), {0, 0, kWidth * 15, kHeight * 15}};
  Xp_ProgressBar bar{site, {}};
  const controls::progressbar::ProgressPictures pictures = controls::progressbar::LoadBuiltInPictures();

  void SetUp() override {
    ASSERT_NE(parent.Get(), nullptr);
    site.ReportSize();
  }

  bool IsWhite(int x, int y) const { return site.Pixel(x, y) == RGB(255, 255, 255); }
  // The empty trough at 13 pixels high copies the frame picture's rows 4 to
  // 10 one to one.
  bool ShowsTrough(int x, int y) const { return site.Pixel(x, y) == pictures.img.At(29, y + 1); }
};

TEST_F(ProgressBarOnGdi, FrameCornersAreCopiedFromTheFramePicture) {
  const Picture& img = pictures.img;
  EXPECT_TRUE(ShowsScaled(site, img, {0, 0, 3, 3, 0, 0, 3, 3}));
  EXPECT_TRUE(ShowsScaled(site, img, {230, 0, 3, 3, 56, 0, 3, 3}));
  EXPECT_TRUE(ShowsScaled(site, img, {230, 10, 3, 3, 56, 10, 3, 3}));
  EXPECT_TRUE(ShowsScaled(site, img, {0, 10, 3, 3, 0, 10, 3, 3}));
  EXPECT_TRUE(ShowsScaled(site, img, {3, 0, 227, 3, 3, 0, 12, 3})) << "top edge";
  EXPECT_TRUE(ShowsScaled(site, img, {3, 10, 227, 3, 3, 10, 1, 3})) << "bottom edge";
  EXPECT_TRUE(ShowsScaled(site, img, {3, 3, 227, 7, 4, 4, 51, 7})) << "interior";
  EXPECT_TRUE(IsWhite(100, 5));
}

TEST_F(ProgressBarOnGdi, FullBarShowsTwentyTwoBlocksAndTheCompressedOneInEachLook) {
  bar.SetMax(2);
  for (int look = 0; look < controls::progressbar::kLookCount; ++look) {
    SCOPED_TRACE(controls::progressbar::kLookNames[look]);
    bar.SetProgressLook(look);
    site.ReportSize();
    bar.SetValue(2);
    const Picture& full = pictures.looks[look][2];
    for (int x = 4; x <= 214; x += 10) {
      EXPECT_TRUE(ShowsScaled(site, full, TileAt(x, 8))) << "block at " << x;
      for (int y = 3; y < 10; ++y)
        EXPECT_TRUE(ShowsTrough(x + 8, y) && ShowsTrough(x + 9, y)) << "gap after " << x;
    }
    EXPECT_TRUE(ShowsScaled(site, full, TileAt(224, 6))) << "compressed last block";
    EXPECT_TRUE(ShowsScaled(site, pictures.img, {230, 3, 3, 7, 56, 3, 3, 3})) << "the frame stays";
    for (int y = 3; y < 10; ++y) EXPECT_TRUE(ShowsTrough(3, y)) << "one free column before the first block";
  }
}

TEST_F(ProgressBarOnGdi, MarqueeStepShowsTheRunnerInItsThreeTiles) {
  bar.SetStyle(1);
  bar.SetValue(1);
  const auto& tiles = pictures.looks[0];
  EXPECT_TRUE(ShowsScaled(site, tiles[0], TileAt(4, 4))) << "tail";
  EXPECT_TRUE(ShowsScaled(site, tiles[1], TileAt(9, 4))) << "middle";
  EXPECT_TRUE(ShowsScaled(site, tiles[2], TileAt(14, 4))) << "head";
  for (int x : {3, 8, 13, 18, 19})
    for (int y = 3; y < 10; ++y) EXPECT_TRUE(ShowsTrough(x, y)) << x << "," << y;

  bar.SetValue(1);
  for (int x = 4; x < 8; ++x)
    for (int y = 3; y < 10; ++y) EXPECT_TRUE(IsWhite(x, y)) << "the old tail is erased at " << x;
  EXPECT_TRUE(ShowsScaled(site, tiles[2], TileAt(19, 4)));
}

// The busy runner as the installer drives it, lap after lap: where it has
// passed, the trough is exactly as a fresh one, with no trail of erased
// segments on any row.
TEST_F(ProgressBarOnGdi, RunnerLeavesTheTroughAsFreshAfterSeveralLaps) {
  bar.SetStyle(1);
  bar.SetValue(bar.Max());  // a full repaint: the fresh trough
  std::vector<COLORREF> fresh;
  for (int y = 3; y < 10; ++y)
    for (int x = 3; x < kWidth - 3; ++x) fresh.push_back(site.Pixel(x, y));

  // The first lap runs from 4 to 229 (46 steps), every later one from 2 to
  // 232 (47 steps); the last step of a lap wipes what is left of the runner.
  constexpr int kLaps = 4;
  for (int step = 0; step < 46 + (kLaps - 1) * 47; ++step) bar.SetValue(1);

  std::size_t i = 0;
  for (int y = 3; y < 10; ++y)
    for (int x = 3; x < kWidth - 3; ++x, ++i)
      ASSERT_EQ(site.Pixel(x, y), fresh[i]) << "trail at " << x << "," << y;
  for (int y = 3; y < 10; ++y) EXPECT_TRUE(IsWhite(100, y)) << "row " << y;
}

}  // namespace
