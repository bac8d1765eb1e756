// The surface's backing image, read back pixel by pixel.
#include <windows.h>

#include <gtest/gtest.h>

#include <cmath>

#include "platform/win32/control_site.h"
#include "platform/win32/gdi_handles.h"
#include "tests/platform/runtime/win32_test_support.h"

namespace {

using platform::Units;
using platform::win32::TwipsRect;
using platform::win32::Win32ControlSite;
using runtime_tests::AreaIs;
using runtime_tests::ParentWindow;
using runtime_tests::PixelIs;
using runtime_tests::PumpPending;
using runtime_tests::PumpUntil;

constexpr COLORREF kWhite = RGB(255, 255, 255);
constexpr COLORREF kRed = RGB(255, 0, 0);
constexpr COLORREF kBlue = RGB(0, 0, 255);

class SurfaceDrawing : public testing::Test {
 protected:
  // 81 x 25 pixels, the installer's button size.
  SurfaceDrawing() : parent(200, 120), site(parent.Handle(), TwipsRect{150, 150, 1215, 375}) {
    site.Surface().Clear(kWhite);
  }
  auto Read() {
    return [this](int x, int y) { return site.Pixel(x, y); };
  }

  ParentWindow parent;
  Win32ControlSite site;
};

TEST_F(SurfaceDrawing, PlacesTheWindowAndSizesTheImageFromTwips) {
  RECT rect{};
  GetWindowRect(site.Handle(), &rect);
  MapWindowPoints(nullptr, parent.Handle(), reinterpret_cast<POINT*>(&rect), 2);
  EXPECT_EQ(rect.left, 10);
  EXPECT_EQ(rect.top, 10);
  EXPECT_EQ(rect.right - rect.left, 81);
  EXPECT_EQ(rect.bottom - rect.top, 25);
  EXPECT_EQ(site.Surface().WidthTwips(), 1215);
  EXPECT_EQ(site.Surface().HeightTwips(), 375);
  EXPECT_EQ(GetParent(site.Handle()), parent.Handle());
  const LONG style = GetWindowLongW(site.Handle(), GWL_STYLE);
  EXPECT_TRUE(style & WS_CHILD);
  EXPECT_TRUE(style & WS_CLIPSIBLINGS);
  EXPECT_TRUE(style & WS_TABSTOP);
  EXPECT_TRUE(GetClassLongW(site.Handle(), GCL_STYLE) & CS_DBLCLKS);
}

TEST_F(SurfaceDrawing, BoxIsAnOutlineThroughBothCornersAtTheNearestPixels) {
  site.Surface().Box(0, 0, 1190, 350, kRed, Units::Twips);  // 79.33 and 23.33 pixels
  const auto read = Read();
  EXPECT_TRUE(AreaIs(read, 0, 0, 80, 1, kRed));
  EXPECT_TRUE(AreaIs(read, 0, 23, 80, 24, kRed));
  EXPECT_TRUE(AreaIs(read, 0, 0, 1, 24, kRed));
  EXPECT_TRUE(AreaIs(read, 79, 0, 80, 24, kRed));
  EXPECT_TRUE(AreaIs(read, 1, 1, 79, 23, kWhite));
  EXPECT_TRUE(AreaIs(read, 80, 0, 81, 25, kWhite));
  EXPECT_TRUE(AreaIs(read, 0, 24, 81, 25, kWhite));

  // Corners given the other way round, and a degenerate box of one pixel.
  site.Surface().Clear(kWhite);
  site.Surface().Box(6, 4, 2, 2, kBlue, Units::Pixels);
  site.Surface().Box(40, 20, 40, 20, kRed, Units::Pixels);
  EXPECT_TRUE(AreaIs(read, 2, 2, 7, 3, kBlue));
  EXPECT_TRUE(AreaIs(read, 2, 4, 7, 5, kBlue));
  EXPECT_TRUE(AreaIs(read, 3, 3, 6, 4, kWhite));
  EXPECT_TRUE(PixelIs(read, 40, 20, kRed));
  EXPECT_TRUE(PixelIs(read, 41, 20, kWhite));
}

TEST_F(SurfaceDrawing, LineLeavesOutItsEndPoint) {
  site.Surface().Line(0, 5, 10, 5, kRed, Units::Pixels);
  site.Surface().Line(20, 1, 20, 4, kBlue, Units::Pixels);
  const auto read = Read();
  EXPECT_TRUE(AreaIs(read, 0, 5, 10, 6, kRed));
  EXPECT_TRUE(PixelIs(read, 10, 5, kWhite));
  EXPECT_TRUE(AreaIs(read, 20, 1, 21, 4, kBlue));
  EXPECT_TRUE(PixelIs(read, 20, 4, kWhite));
}

TEST_F(SurfaceDrawing, TwipsRoundToTheNearestPixelWithHalvesToEven) {
  struct Case {
    double twips;
    int row;
  };
  const Case cases[] = {{0, 0}, {7, 0}, {7.5, 0}, {8, 1}, {22.5, 2}, {37.5, 2}, {52.5, 4}, {67.5, 4}, {344, 23}};
  for (const Case& c : cases) {
    SCOPED_TRACE(c.twips);
    site.Surface().Clear(kWhite);
    site.Surface().Line(0, c.twips, 1215, c.twips, kRed, Units::Twips);
    EXPECT_TRUE(AreaIs(Read(), 0, c.row, 81, c.row + 1, kRed));
    EXPECT_TRUE(PixelIs(Read(), 0, c.row == 0 ? 1 : c.row - 1, kWhite));
  }
}

TEST_F(SurfaceDrawing, SetPixelDropsWhatLiesOutside) {
  const auto read = Read();
  for (const POINT outside : {POINT{-1, 3}, POINT{81, 0}, POINT{0, 25}, POINT{-1, -1}, POINT{100000, 100000}})
    site.Surface().SetPixel(outside.x, outside.y, kRed);
  EXPECT_TRUE(AreaIs(read, 0, 0, 81, 25, kWhite));
  site.Surface().SetPixel(80, 24, kRed);
  site.Surface().SetPixel(0, 0, kBlue);
  EXPECT_TRUE(PixelIs(read, 80, 24, kRed));
  EXPECT_TRUE(PixelIs(read, 0, 0, kBlue));
}

TEST_F(SurfaceDrawing, FarAndMeaninglessCoordinatesDrawNothingHarmful) {
  site.Surface().Line(-1e300, 150, 1e300, 150, kRed, Units::Twips);
  site.Surface().Box(std::nan(""), 0, 1e12, 1e12, kBlue, Units::Pixels);
  EXPECT_TRUE(PixelIs(Read(), 40, 10, kRed));
  EXPECT_TRUE(PixelIs(Read(), 40, 0, kBlue));
  EXPECT_TRUE(PixelIs(Read(), 0, 10, kBlue));
  EXPECT_TRUE(PixelIs(Read(), 40, 5, kWhite));
}

TEST_F(SurfaceDrawing, SystemColoursAreLookedUp) {
  site.Surface().Clear(platform::kSysButtonFace);
  site.Surface().SetPixel(1, 1, platform::kSysWindowText);
  EXPECT_TRUE(PixelIs(Read(), 0, 0, GetSysColor(COLOR_BTNFACE)));
  EXPECT_TRUE(PixelIs(Read(), 1, 1, GetSysColor(COLOR_WINDOWTEXT)));
}

TEST_F(SurfaceDrawing, PictureIsCopiedAndScaledEachAxisOnItsOwn) {
  const COLORREF green = RGB(0, 255, 0), black = RGB(0, 0, 0);
  // 2 x 2: red, green / blue, black.
  const platform::Picture picture{2, 2, {kRed, green, kBlue, black}};
  site.Surface().DrawPicture(picture, 10, 2, 4, 6, 0, 0, 2, 2);
  const auto read = Read();
  EXPECT_TRUE(AreaIs(read, 10, 2, 12, 5, kRed));
  EXPECT_TRUE(AreaIs(read, 12, 2, 14, 5, green));
  EXPECT_TRUE(AreaIs(read, 10, 5, 12, 8, kBlue));
  EXPECT_TRUE(AreaIs(read, 12, 5, 14, 8, black));
  EXPECT_TRUE(AreaIs(read, 14, 2, 15, 8, kWhite));

  // A source rectangle: the right column, compressed to one pixel high.
  site.Surface().DrawPicture(picture, 30, 3, 3, 1, 1, 0, 1, 1);
  EXPECT_TRUE(AreaIs(read, 30, 3, 33, 4, green));

  // A picture whose pixels do not match its size is not drawn.
  site.Surface().Clear(kWhite);
  site.Surface().DrawPicture(platform::Picture{4, 4, {kRed}}, 0, 0, 4, 4, 0, 0, 4, 4);
  site.Surface().DrawPicture(platform::Picture{}, 0, 0, 4, 4, 0, 0, 4, 4);
  EXPECT_TRUE(AreaIs(read, 0, 0, 5, 5, kWhite));
}

TEST_F(SurfaceDrawing, ProgramIconIsDrawn) {
  site.Surface().Clear(RGB(1, 2, 3));
  site.Surface().DrawProgramIcon(2, 2, 20, 20);
  bool changed = false;
  for (int y = 2; y < 22 && !changed; ++y)
    for (int x = 2; x < 22 && !changed; ++x) changed = site.Pixel(x, y) != RGB(1, 2, 3);
  EXPECT_TRUE(changed) << "the test program carries an icon";
  EXPECT_TRUE(AreaIs(Read(), 22, 0, 81, 25, RGB(1, 2, 3)));
}

TEST_F(SurfaceDrawing, PrintClientGivesTheBackingImage) {
  site.Surface().Clear(kBlue);
  site.Surface().Box(0, 0, 80, 24, kRed, Units::Pixels);
  site.Surface().SetPixel(40, 12, RGB(9, 8, 7));

  BITMAPINFO info{};
  info.bmiHeader = {sizeof(BITMAPINFOHEADER), 81, -25, 1, 32, BI_RGB, 0, 0, 0, 0, 0};
  void* bits = nullptr;
  platform::win32::BitmapHandle bitmap(CreateDIBSection(nullptr, &info, DIB_RGB_COLORS, &bits, nullptr, 0));
  platform::win32::MemoryDc dc;
  platform::win32::SelectedObject selected(dc.Get(), bitmap.Get());
  SendMessageW(site.Handle(), WM_PRINTCLIENT, reinterpret_cast<WPARAM>(dc.Get()), PRF_CLIENT);
  GdiFlush();
  const auto printed = [&](int x, int y) {
    const auto pixel = static_cast<const std::uint32_t*>(bits)[y * 81 + x];
    return RGB((pixel >> 16) & 0xFF, (pixel >> 8) & 0xFF, pixel & 0xFF);
  };
  for (int y = 0; y < 25; ++y)
    for (int x = 0; x < 81; ++x) ASSERT_TRUE(PixelIs(printed, x, y, site.Pixel(x, y)));
}

TEST_F(SurfaceDrawing, ANewSizeGivesAClearedImageAndOneResizeNotice) {
  int resizes = 0;
  platform::SurfaceHandlers handlers;
  handlers.resize = [&] { ++resizes; };
  site.SetHandlers(handlers);
  site.Surface().Clear(kRed);
  site.PlaceInParent(20, 20, 81, 25);  // moved only
  EXPECT_EQ(resizes, 0);
  EXPECT_TRUE(PixelIs(Read(), 5, 5, kRed));

  site.PlaceInParent(20, 20, 100, 30);
  EXPECT_EQ(resizes, 1);
  EXPECT_EQ(site.Surface().WidthTwips(), 1500);
  EXPECT_EQ(site.Surface().HeightTwips(), 450);
  EXPECT_TRUE(AreaIs(Read(), 0, 0, 100, 30, GetSysColor(COLOR_BTNFACE)));

  site.ReportSize();
  EXPECT_EQ(resizes, 2);
}

TEST_F(SurfaceDrawing, RoundRegionEndsOnePixelShortOfItsCorner) {
  site.SetRoundRegion(81, 25, 5);
  platform::win32::RegionHandle region(CreateRectRgn(0, 0, 0, 0));
  ASSERT_NE(GetWindowRgn(site.Handle(), region.Get()), ERROR);
  EXPECT_TRUE(PtInRegion(region.Get(), 79, 12));
  EXPECT_FALSE(PtInRegion(region.Get(), 80, 12));
  EXPECT_TRUE(PtInRegion(region.Get(), 40, 23));
  EXPECT_FALSE(PtInRegion(region.Get(), 40, 24));
  EXPECT_FALSE(PtInRegion(region.Get(), 0, 0));
  // Replacing the region hands the new one to the window as well.
  site.SetRoundRegion(40, 20, 5);
  ASSERT_NE(GetWindowRgn(site.Handle(), region.Get()), ERROR);
  EXPECT_FALSE(PtInRegion(region.Get(), 45, 12));
}

TEST_F(SurfaceDrawing, ACoveredWindowShowsItsLastImageWhenUncovered) {
  parent.Show();
  site.Surface().Clear(kBlue);
  site.Surface().Box(0, 0, 80, 24, kRed, Units::Pixels);
  PumpPending();
  POINT origin{0, 0};
  ClientToScreen(site.Handle(), &origin);
  const auto screen = [&](int x, int y) {
    platform::win32::WindowDc dc(nullptr);
    return GetPixel(dc.Get(), origin.x + x, origin.y + y);
  };
  ASSERT_TRUE(PumpUntil([&] { return screen(40, 12) == kBlue; })) << runtime_tests::Hex(screen(40, 12));

  {
    platform::win32::OwnedWindow cover;
    cover.Attach(CreateWindowExW(WS_EX_TOPMOST, L"STATIC", L"", WS_POPUP | WS_VISIBLE, origin.x - 5, origin.y - 5,
                                 120, 60, nullptr, nullptr, GetModuleHandleW(nullptr), nullptr));
    ASSERT_TRUE(PumpUntil([&] { return screen(40, 12) != kBlue; })) << "the cover never showed";
  }
  EXPECT_TRUE(PumpUntil([&] { return screen(40, 12) == kBlue && screen(0, 0) == kRed && screen(80, 24) == kRed; }))
      << runtime_tests::Hex(screen(40, 12));
}

}  // namespace
