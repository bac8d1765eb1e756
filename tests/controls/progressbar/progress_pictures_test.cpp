#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <cstdint>
#include <limits>
#include <vector>

#include "controls/progressbar/bmp_decoder.h"
#include "controls/progressbar/embedded_assets.h"
#include "controls/progressbar/progress_pictures.h"
#include "tests/controls/progressbar/progress_test_support.h"

namespace {

using platform::Colour;
using platform::Picture;
using controls::progressbar::DecodeBmp;
using progressbar_test::Luminance;

const controls::progressbar::ProgressPictures& Pictures() {
  static const auto pictures = controls::progressbar::LoadBuiltInPictures();
  return pictures;
}

TEST(ProgressPictures, AllTwentySixHaveTheirSizes) {
  const auto& p = Pictures();
  EXPECT_EQ(p.img.width, 59);
  EXPECT_EQ(p.img.height, 13);
  EXPECT_EQ(p.blank.width, 8);
  EXPECT_EQ(p.blank.height, 10);
  for (int look = 0; look < controls::progressbar::kLookCount; ++look)
    for (int tile = 0; tile < controls::progressbar::kTilesPerLook; ++tile) {
      SCOPED_TRACE(std::string(controls::progressbar::kLookNames[look]) + "_" + std::to_string(tile));
      EXPECT_EQ(p.looks[look][tile].width, 8);
      EXPECT_EQ(p.looks[look][tile].height, 10);
    }
}

TEST(ProgressPictures, BlankIsAllWhite) {
  const auto& blank = Pictures().blank;
  EXPECT_TRUE(std::all_of(blank.pixels.begin(), blank.pixels.end(),
                          [](Colour c) { return c == platform::Rgb(255, 255, 255); }));
}

TEST(ProgressPictures, FrameHasThreeRingsAroundAWhiteInterior) {
  const Picture& img = Pictures().img;
  // Across the top, the left side and the bottom, away from the corners.
  EXPECT_LT(Luminance(img.At(29, 0)), 128) << "dark grey outside";
  EXPECT_GT(Luminance(img.At(29, 1)), Luminance(img.At(29, 0)));
  EXPECT_LT(Luminance(img.At(29, 1)), Luminance(img.At(29, 2))) << "light grey, then near-white";
  EXPECT_GT(Luminance(img.At(29, 2)), 230);
  EXPECT_LT(Luminance(img.At(0, 6)), 128);
  EXPECT_LT(Luminance(img.At(1, 6)), Luminance(img.At(2, 6)));
  EXPECT_LT(Luminance(img.At(29, 12)), 128);
  EXPECT_GT(Luminance(img.At(29, 11)), 230) << "the middle ring is near-white along the bottom";
  EXPECT_GT(Luminance(img.At(29, 10)), 230);
  for (int y = 3; y < 10; ++y)
    for (int x = 3; x < 56; ++x) ASSERT_EQ(img.At(x, y), platform::Rgb(255, 255, 255)) << x << "," << y;
}

// The trough's interior is copied from (4, 4, 51, 7) of the frame picture and
// the runner is erased with the blank tile: both must be the same one colour,
// or every erased segment leaves a mark. The bottom edge, copied from column
// 3, keeps its near-white inner ring.
TEST(ProgressPictures, InteriorSourceIsTheErasersColourAndTheBottomEdgeKeepsItsRing) {
  const auto& p = Pictures();
  for (int y = 4; y < 11; ++y)
    for (int x = 4; x < 55; ++x) ASSERT_EQ(p.img.At(x, y), p.blank.At(0, 0)) << x << "," << y;
  EXPECT_LT(Luminance(p.img.At(3, 10)), 250);
  EXPECT_GT(Luminance(p.img.At(3, 10)), 230);
}

TEST(ProgressPictures, FrameCornersAreRoundedAndSmoothed) {
  const Picture& img = Pictures().img;
  const Colour edge = img.At(0, 6);
  // The outermost corner pixel is mostly outside the rounded edge: lighter
  // than the straight dark edge, and each corner alike.
  for (auto [x, y] : {std::pair{0, 0}, {58, 0}, {0, 12}, {58, 12}}) {
    SCOPED_TRACE(std::to_string(x) + "," + std::to_string(y));
    EXPECT_GT(Luminance(img.At(x, y)), Luminance(edge) + 40);
    // Blended against the white the bars sit on, not a grey window face.
    EXPECT_GT(Luminance(img.At(x, y)), 245);
  }
  EXPECT_EQ(img.At(0, 0), img.At(58, 0));
  // A pixel the curve passes through is a blend, neither outside nor ring.
  EXPECT_NE(img.At(1, 0), edge);
  EXPECT_NE(img.At(1, 0), img.At(0, 0));
}

// Hue in degrees and saturation of the full block's middle row.
struct Shade {
  double hue;
  double saturation;
  double luminance;
};

Shade FullBlockShade(int look) {
  const Colour c = Pictures().looks[look][2].At(4, 5);
  const double r = platform::RedOf(c) / 255.0, g = platform::GreenOf(c) / 255.0, b = platform::BlueOf(c) / 255.0;
  const double hi = std::max({r, g, b}), lo = std::min({r, g, b}), d = hi - lo;
  double hue = 0;
  if (d > 0) {
    if (hi == r) hue = 60 * std::fmod((g - b) / d + 6, 6);
    else if (hi == g) hue = 60 * ((b - r) / d + 2);
    else hue = 60 * ((r - g) / d + 4);
  }
  return {hue, hi > 0 ? d / hi : 0, Luminance(c)};
}

TEST(ProgressPictures, EachLookHasItsColourFamilyInProgressLookOrder) {
  struct Family {
    const char* name;
    double hueFrom, hueTo, minSaturation, maxSaturation, maxLuminance;
  };
  const Family families[] = {
      {"master: bright green", 100, 140, 0.6, 1, 255},
      {"blue: bright blue", 205, 235, 0.6, 1, 255},
      {"bluemet: dark blue-teal", 180, 205, 0.4, 1, 110},
      {"goldmet: gold", 38, 50, 0.6, 1, 255},
      {"grmet: muted green", 95, 130, 0.15, 0.5, 150},
      {"greymet: grey", 0, 360, 0, 0.05, 200},
      {"orangemet: yellow-amber", 38, 50, 0.8, 1, 255},
      {"redmet: orange", 18, 32, 0.8, 1, 255},
  };
  for (int look = 0; look < controls::progressbar::kLookCount; ++look) {
    const Family& f = families[look];
    const Shade s = FullBlockShade(look);
    SCOPED_TRACE(f.name);
    EXPECT_GE(s.hue, f.hueFrom);
    EXPECT_LE(s.hue, f.hueTo);
    EXPECT_GE(s.saturation, f.minSaturation);
    EXPECT_LE(s.saturation, f.maxSaturation);
    EXPECT_LE(s.luminance, f.maxLuminance);
  }
  // Gold and amber share a hue; amber is the lighter and more yellow.
  EXPECT_GT(FullBlockShade(6).luminance, FullBlockShade(3).luminance);
}

double RowLuminance(const Picture& p, int y) {
  double sum = 0;
  for (int x = 0; x < p.width; ++x) sum += Luminance(p.At(x, y));
  return sum / p.width;
}

double ColumnLuminance(const Picture& p, int x) {
  double sum = 0;
  for (int y = 0; y < p.height; ++y) sum += Luminance(p.At(x, y));
  return sum / p.height;
}

TEST(ProgressPictures, TilesShadeLikeARoundedBarAndFadeToTheLeft) {
  for (int look = 0; look < controls::progressbar::kLookCount; ++look) {
    SCOPED_TRACE(controls::progressbar::kLookNames[look]);
    const auto& tiles = Pictures().looks[look];
    const Picture& full = tiles[2];
    for (int middle : {4, 5}) {
      EXPECT_LT(RowLuminance(full, middle), RowLuminance(full, 0) - 10) << "light at the top";
      EXPECT_LT(RowLuminance(full, middle), RowLuminance(full, 9) - 10) << "light at the bottom";
    }
    EXPECT_GT(ColumnLuminance(tiles[1], 0), ColumnLuminance(tiles[1], 7) + 10) << "tile 1 pales to the left";
    EXPECT_GT(ColumnLuminance(tiles[0], 0), ColumnLuminance(tiles[0], 7)) << "tile 0 palest at the left";
    EXPECT_GT(ColumnLuminance(tiles[0], 7), ColumnLuminance(full, 7) + 10) << "tile 0 is a pale tint";
    EXPECT_GE(ColumnLuminance(tiles[0], 0), ColumnLuminance(tiles[1], 0)) << "the tail is paler than the middle";
  }
}

TEST(ProgressPictures, UnknownAssetNameGivesNoBytes) {
  EXPECT_TRUE(controls::progressbar::EmbeddedAsset("nothing").empty());
  EXPECT_FALSE(controls::progressbar::EmbeddedAsset("img").empty());
}

// A 24-bit bitmap of the given pixels, rows from the top.
std::vector<std::uint8_t> Bmp24(int width, int height, const std::vector<Colour>& topDownPixels, bool topDown) {
  const int stride = (width * 3 + 3) & ~3;
  const int dataSize = stride * height;
  std::vector<std::uint8_t> b(54 + static_cast<std::size_t>(dataSize), 0);
  auto put32 = [&b](std::size_t at, std::uint32_t v) {
    for (int i = 0; i < 4; ++i) b[at + i] = static_cast<std::uint8_t>(v >> (8 * i));
  };
  b[0] = 'B';
  b[1] = 'M';
  put32(2, static_cast<std::uint32_t>(b.size()));
  put32(10, 54);
  put32(14, 40);
  put32(18, static_cast<std::uint32_t>(width));
  put32(22, static_cast<std::uint32_t>(topDown ? -height : height));
  b[26] = 1;
  b[28] = 24;
  for (int y = 0; y < height; ++y) {
    const int row = topDown ? y : height - 1 - y;
    for (int x = 0; x < width; ++x) {
      const Colour c = topDownPixels[static_cast<std::size_t>(y * width + x)];
      const std::size_t at = 54 + static_cast<std::size_t>(row * stride + x * 3);
      b[at] = static_cast<std::uint8_t>(platform::BlueOf(c));
      b[at + 1] = static_cast<std::uint8_t>(platform::GreenOf(c));
      b[at + 2] = static_cast<std::uint8_t>(platform::RedOf(c));
    }
  }
  return b;
}

const std::vector<Colour> kThreeByTwo = {platform::Rgb(1, 2, 3),    platform::Rgb(4, 5, 6),
                                         platform::Rgb(7, 8, 9),    platform::Rgb(10, 11, 12),
                                         platform::Rgb(13, 14, 15), platform::Rgb(16, 17, 18)};

TEST(BmpDecoder, ReadsBottomUpAndTopDownRowsWithPadding) {
  for (bool topDown : {false, true}) {
    SCOPED_TRACE(topDown ? "top-down" : "bottom-up");
    auto picture = DecodeBmp(Bmp24(3, 2, kThreeByTwo, topDown));
    ASSERT_TRUE(picture);
    EXPECT_EQ(picture->width, 3);
    EXPECT_EQ(picture->height, 2);
    EXPECT_EQ(picture->pixels, kThreeByTwo);
  }
}

TEST(BmpDecoder, RejectsWhatIsNotACompleteUncompressed24BitBitmap) {
  const auto good = Bmp24(3, 2, kThreeByTwo, false);
  auto with = [&good](std::size_t at, std::uint32_t value, int bytes = 4) {
    auto b = good;
    for (int i = 0; i < bytes; ++i) b[at + i] = static_cast<std::uint8_t>(value >> (8 * i));
    return b;
  };
  auto cut = [&good](std::size_t size) { return std::vector<std::uint8_t>(good.begin(), good.begin() + size); };
  const struct {
    const char* what;
    std::vector<std::uint8_t> bytes;
  } cases[] = {
      {"empty", {}},
      {"header only", cut(30)},
      {"not BM", with(0, 'X', 1)},
      {"8 bits per pixel", with(28, 8, 2)},
      {"compressed", with(30, 1)},
      {"two planes", with(26, 2, 2)},
      {"short info header", with(14, 12)},
      {"info header past the end", with(14, 4000)},
      {"zero width", with(18, 0)},
      {"negative width", with(18, static_cast<std::uint32_t>(-3))},
      {"zero height", with(22, 0)},
      {"most negative height", with(22, static_cast<std::uint32_t>(std::numeric_limits<std::int32_t>::min()))},
      {"too wide", with(18, 5000)},
      {"pixels past the end", with(10, 0xFFFFFFF0u)},
      {"last row cut short", cut(good.size() - 4)},
      {"taller than its data", with(22, 3)},
  };
  for (const auto& c : cases) EXPECT_FALSE(DecodeBmp(c.bytes)) << c.what;
  EXPECT_TRUE(DecodeBmp(cut(good.size() - 3))) << "the last row's padding may be missing";
}

}  // namespace
