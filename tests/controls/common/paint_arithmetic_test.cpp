// The colour and corner arithmetic both self-painted controls paint with.
#include "controls/common/paint_arithmetic.h"

#include <gtest/gtest.h>

#include <iterator>

namespace controls {
namespace {

TEST(ColorToRgbText, SplitsIntoDecimalRedGreenBlueWithTruncatingArithmetic) {
  struct Case {
    platform::Colour colour;
    const char* text;
  };
  const Case cases[] = {
      {0x000000, "0,0,0"},
      {0x0000FF, "255,0,0"},
      {0x404040, "64,64,64"},
      {0xF4F4F4, "244,244,244"},
      {0x151413, "19,20,21"},
      {0xFF8001, "1,128,255"},
      {0xFFFFFF, "255,255,255"},
      // Not a plain colour: blue takes every bit above the low 16.
      {0x01000000, "0,0,256"},
      {0x01FFFFFF, "255,255,511"},
      // Taken apart as a signed value: toward zero, sign kept.
      {0xFFFFFFFF, "-1,0,0"},
      {0x8000000F, "-241,-255,-32767"},  // a system colour reference
  };
  for (const auto& c : cases) EXPECT_EQ(ColorToRgbText(c.colour), c.text) << std::hex << c.colour;
}

TEST(CornerPixels, DiagonalsOfAnEightyOneByTwentyFiveSurfaceInDrawingOrder) {
  struct P {
    int x, y;
  };
  // Per i: top left, bottom left, top right, bottom right.
  const P expected[] = {{2, 0},  {2, 23},  {77, 0}, {77, 23}, {1, 1},  {1, 22},  {78, 1}, {78, 22},
                        {0, 2},  {0, 21},  {79, 2}, {79, 21}, {-1, 3}, {-1, 20}, {80, 3}, {80, 20}};
  auto pixels = CornerPixels(81, 25, 3);
  ASSERT_EQ(pixels.size(), std::size(expected));
  for (std::size_t i = 0; i < pixels.size(); ++i) {
    EXPECT_EQ(pixels[i].x, expected[i].x) << "pixel " << i;
    EXPECT_EQ(pixels[i].y, expected[i].y) << "pixel " << i;
  }
}

TEST(SplitRgbText, ReadsBackWhatColorToRgbTextWrites) {
  EXPECT_EQ(SplitRgbText(ColorToRgbText(0x00FF8001)), (std::array<double, 3>{1, 128, 255}));
  EXPECT_EQ(SplitRgbText(ColorToRgbText(0x8000000F)), (std::array<double, 3>{-241, -255, -32767}));
}

}  // namespace
}  // namespace controls
