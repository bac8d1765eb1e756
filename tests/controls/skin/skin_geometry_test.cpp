#include "controls/skin/skin_geometry.h"

#include <gtest/gtest.h>

namespace {

using namespace controls::skin;
using platform::Rgb;

TEST(GradientLines, DarkenByATenthPerLineWhileAllComponentsArePositive) {
  const auto lines = GradientLines(Rgb(1, 2, 3), 10, 400);
  ASSERT_EQ(lines.size(), 41u);
  // Repeated subtraction leaves 1.4999999999999996 for green on line 5, just
  // below the half; red reaches 0 after line 10 and from then on nothing
  // darkens, also not green and blue.
  EXPECT_EQ(lines[4].colour, Rgb(1, 2, 3));
  EXPECT_EQ(lines[5].colour, Rgb(1, 1, 2));
  EXPECT_EQ(lines[6].colour, Rgb(0, 1, 2));
  EXPECT_EQ(lines[40].colour, lines[11].colour);
  EXPECT_EQ(lines[40].colour, Rgb(0, 1, 2));
}

TEST(GradientLines, ComponentsOutOfRangeClampOrSkipTheLine) {
  // Above 255 draws as 255; a negative component is a line that cannot be drawn.
  for (const auto& line : GradientLines(0x01000000, 20, 100)) EXPECT_EQ(line.colour, Rgb(0, 0, 255));
  const auto system = GradientLines(platform::kSysButtonFace, 20, 100);
  ASSERT_EQ(system.size(), 6u);
  for (const auto& line : system) EXPECT_FALSE(line.colour);
}

TEST(GradientLines, NonPositiveSpacingGivesNoLines) {
  for (double spacing : {0.0, -5.0, -20.0}) EXPECT_TRUE(GradientLines(0x00404040, spacing, 2490).empty()) << spacing;
}

TEST(InCornerZone, StrictlyInsideTheLastHundredTwips) {
  const struct {
    float x, y;
    bool inside;
  } cases[] = {
      {3425, 2400, false}, {3426, 2400, true},  {3425.5f, 2400, true}, {3426, 2390, false},
      {3426, 2391, true},  {3524, 2489, true},  {0, 0, false},         {5000, 5000, true},
  };
  for (const auto& c : cases) EXPECT_EQ(InCornerZone(c.x, c.y, 3525, 2490), c.inside) << c.x << "," << c.y;
}

TEST(SizingRectFor, FollowsThePointerAndKeepsTheMinimum) {
  const ScreenRect parent{100, 50, 400, 300};
  const struct {
    float x, y;
    ScreenRect expected;
  } cases[] = {
      {4500, 3000, {100, 50, 400, 250}},
      // 300.5 and 200.5 pixels: halves go to the even neighbour.
      {4507.5f, 3007.5f, {100, 50, 400, 250}},
      {4522.5f, 3022.5f, {100, 50, 402, 252}},
      {-3000, -3000, {100, 50, 300, 230}},
      {2985, 2685, {100, 50, 300, 230}},
      {3015, 2715, {100, 50, 301, 231}},
  };
  for (const auto& c : cases) EXPECT_EQ(SizingRectFor(parent, c.x, c.y), c.expected) << c.x << "," << c.y;
}

TEST(MaximisedRect, FillsTheWorkAreaWhereverTheTaskbarIs) {
  const ScreenRect screen{0, 0, 1024, 768};
  struct Case {
    const char* taskbar;
    MonitorArea area;
    ScreenRect expected;
  };
  const Case cases[] = {
      // Five pixels past the monitor's right edge, never over a taskbar.
      {"bottom", {screen, {0, 0, 1024, 738}}, {0, 0, 1029, 738}},
      {"top", {screen, {0, 30, 1024, 768}}, {0, 30, 1029, 768}},
      {"left", {screen, {60, 0, 1024, 768}}, {60, 0, 1029, 768}},
      {"right", {screen, {0, 0, 964, 768}}, {0, 0, 964, 768}},
      {"none", {screen, screen}, {0, 0, 1029, 768}},
      {"on a second monitor at the left", {{-800, 0, 0, 600}, {-800, 0, 0, 570}}, {-800, 0, 5, 570}},
      {"a work area below the minimum", {{0, 0, 150, 100}, {0, 0, 150, 100}}, {0, 0, 200, 180}},
      {"no monitor", {}, {0, 0, 200, 180}},
  };
  for (const auto& c : cases) EXPECT_EQ(MaximisedRect(c.area), c.expected) << "taskbar " << c.taskbar;
}

}  // namespace
