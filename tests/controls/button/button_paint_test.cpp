#include "controls/button/button_paint.h"

#include <gtest/gtest.h>

#include <vector>

#include "tests/fakes/fake_control_site.h"

namespace controls::button {
namespace {

using platform::Colour;
using platform::Rgb;

TEST(GradientColours, LineCountsAndLastColoursOfTheThreeLooksAt375Twips) {
  struct Case {
    int step;
    std::size_t lines;
    int last;
  };
  const Case cases[] = {{kNormalStep, 76, 206}, {kHoverStep, 54, 218}, {kPressedStep, 126, 182}};
  for (const auto& c : cases) {
    auto colours = GradientColours(0xF4F4F4, c.step, 375);
    ASSERT_EQ(colours.size(), c.lines) << "step " << c.step;
    EXPECT_EQ(colours.front(), Rgb(244, 244, 244));
    EXPECT_EQ(colours.back(), Rgb(c.last, c.last, c.last)) << "step " << c.step;
  }
}

TEST(GradientColours, HalfStepsRoundToTheEvenNeighbour) {
  auto colours = GradientColours(0xF4F4F4, kNormalStep, 375);
  // 243.5 -> 244, 243, 242.5 -> 242
  EXPECT_EQ(colours[1], Rgb(244, 244, 244));
  EXPECT_EQ(colours[2], Rgb(243, 243, 243));
  EXPECT_EQ(colours[3], Rgb(242, 242, 242));
}

TEST(GradientColours, StopsDarkeningOnceAComponentReachesZero) {
  auto pureRed = GradientColours(0x0000FF, kNormalStep, 375);
  EXPECT_EQ(pureRed, std::vector<Colour>(76, 0x0000FF));

  auto nearBlack = GradientColours(Rgb(1, 2, 3), kNormalStep, 375);
  ASSERT_EQ(nearBlack.size(), 76u);
  EXPECT_EQ(nearBlack[0], Rgb(1, 2, 3));
  EXPECT_EQ(nearBlack[1], Rgb(0, 2, 2));  // 0.5, 1.5, 2.5
  EXPECT_EQ(nearBlack[2], Rgb(0, 1, 2));  // red is 0 now: no more lowering
  EXPECT_EQ(nearBlack.back(), Rgb(0, 1, 2));
}

TEST(GradientColours, SurfaceLowerThanOneStepGetsOneLine) {
  for (int height : {0, 2, 4, 6}) EXPECT_EQ(GradientColours(0xF4F4F4, kHoverStep, height).size(), 1u) << height;
  EXPECT_EQ(GradientColours(0xF4F4F4, kHoverStep, 7).size(), 2u);
}

TEST(GradientColours, OutOfRangeComponentsAreHeldToDrawableValues) {
  EXPECT_EQ(GradientColours(platform::kSysButtonFace, kNormalStep, 30), std::vector<Colour>(7, 0x000000));
  auto oversized = GradientColours(0x01FFFFFF, kNormalStep, 375);
  EXPECT_EQ(oversized.front(), 0xFFFFFFu);
  EXPECT_EQ(oversized.back(), Rgb(218, 218, 255));  // blue starts at 511
}

TEST(DrawGradient, DrawsFullWidthLinesStepApartFromTheTop) {
  fakes::RecordingSurface surface;
  surface.widthTwips = 1215;
  surface.heightTwips = 375;
  DrawGradient(surface, 0xF4F4F4, kPressedStep);
  const auto& lines = surface.ops;
  ASSERT_EQ(lines.size(), 126u);
  for (std::size_t i = 0; i < lines.size(); ++i) {
    ASSERT_EQ(lines[i].kind, fakes::DrawOp::Line);
    EXPECT_EQ(lines[i].units, platform::Units::Twips);
    EXPECT_EQ(lines[i].x1, 0);
    EXPECT_EQ(lines[i].x2, 1215);
    EXPECT_EQ(lines[i].y1, 3.0 * static_cast<double>(i));
    EXPECT_EQ(lines[i].y2, lines[i].y1);
  }
  EXPECT_EQ(lines.back().y1, 375);
  EXPECT_EQ(lines.back().colour, Rgb(182, 182, 182));
}

// A system colour reference shades from the system's present colour, as the
// face of any other button would; anything else with high bits keeps being
// held to drawable values.
TEST(DrawGradient, ResolvesSystemColourReferencesFirst) {
  struct Case {
    const char* what;
    Colour backColor;
    Colour first, last;
  };
  const Case cases[] = {
      {"button face", platform::kSysButtonFace, Rgb(240, 240, 240), Rgb(202, 202, 202)},
      {"window background", platform::kSysWindowBackground, Rgb(255, 255, 255), Rgb(218, 218, 218)},
      {"window text", platform::kSysWindowText, 0x000000, 0x000000},
      {"an index past the last system colour", 0x8000001F, 0x000000, 0x000000},
      {"bits beside the index", 0x8000010F, 0x000000, 0x000000},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.what);
    fakes::RecordingSurface surface;
    surface.widthTwips = 1215;
    surface.heightTwips = 375;
    surface.systemColours[5] = 0xFFFFFF;
    DrawGradient(surface, c.backColor, kNormalStep);
    ASSERT_EQ(surface.ops.size(), 76u);
    EXPECT_EQ(surface.ops.front().colour, c.first);
    EXPECT_EQ(surface.ops.back().colour, c.last);
  }
}

TEST(PointerInside, EdgesCountAsInside) {
  struct Case {
    platform::Point pointer;
    int widthTwips, heightTwips;
    bool inside;
  };
  const Case cases[] = {
      {{0, 0}, 1215, 375, true},    {{81, 25}, 1215, 375, true},  {{40, 12}, 1215, 375, true},
      {{-1, 10}, 1215, 375, false}, {{10, -1}, 1215, 375, false}, {{82, 10}, 1215, 375, false},
      {{10, 26}, 1215, 375, false}, {{81, 10}, 1220, 380, true},  {{82, 10}, 1220, 380, false},
  };
  for (const auto& c : cases)
    EXPECT_EQ(PointerInside(c.pointer, c.widthTwips, c.heightTwips), c.inside)
        << c.pointer.x << "," << c.pointer.y << " in " << c.widthTwips << "x" << c.heightTwips;
}

TEST(ApplyRoundRegion, RoundsTheSizeToTheNearestWholePixel) {
  struct Case {
    int width, height;
    int right, bottom;
  };
  const Case cases[] = {{1215, 375, 81, 25}, {1207, 382, 80, 25}, {1223, 368, 82, 25}, {7, 22, 0, 1}};
  for (const auto& c : cases) {
    fakes::FakeControlSite site;
    ApplyRoundRegion(site, c.width, c.height, kRoundEllipse);
    ASSERT_EQ(site.regions.size(), 1u);
    EXPECT_EQ(site.regions[0].right, c.right) << c.width;
    EXPECT_EQ(site.regions[0].bottom, c.bottom) << c.height;
    EXPECT_EQ(site.regions[0].ellipse, 5);
  }
}

}  // namespace
}  // namespace controls::button
