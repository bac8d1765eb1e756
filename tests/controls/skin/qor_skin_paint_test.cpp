#include <gtest/gtest.h>

#include <set>
#include <utility>

#include "tests/controls/skin/skin_test_fixture.h"

namespace skin_tests {
namespace {

using fakes::DrawOp;
using platform::Rgb;

class SkinPaintTest : public SkinTest {
 protected:
  // A design-mode skin and one layout pass at the design size.
  void Paint(std::function<void(controls::QORSkin&)> setUp = {}) {
    Create(false);
    if (setUp) setUp(*skin);
    ClearRecords();
    site.Resize(kWidth, kHeight);
  }
};

TEST_F(SkinPaintTest, APassPaintsFaceFrameSeparatorAndIconInThatOrder) {
  Paint();
  std::vector<DrawOp::Kind> kinds;
  for (const auto& op : site.surface.ops)
    if (kinds.empty() || kinds.back() != op.kind || op.kind == DrawOp::Clear) kinds.push_back(op.kind);
  EXPECT_EQ(kinds, (std::vector<DrawOp::Kind>{DrawOp::Clear, DrawOp::Clear, DrawOp::Line, DrawOp::Box, DrawOp::Pixel,
                                               DrawOp::Line, DrawOp::Icon}));
  EXPECT_EQ(site.surface.ops[1].colour, 0x00404040u);
  EXPECT_EQ(events, std::vector<std::string>{"Resize"});
}

TEST_F(SkinPaintTest, DefaultGradientDarkensByOneEveryTenLines) {
  Paint();
  const auto lines = GradientLines();
  // 2490 / 20 = 124.5: lines 0 to 124.
  ASSERT_EQ(lines.size(), 125u);
  for (std::size_t i = 0; i < 25; ++i) {
    SCOPED_TRACE(i);
    const int expected = i < 5 ? 64 : i < 15 ? 63 : 62;
    EXPECT_EQ(lines[i].y1, 20.0 * static_cast<double>(i));
    EXPECT_EQ(lines[i].y2, lines[i].y1);
    EXPECT_EQ(lines[i].colour, Rgb(expected, expected, expected));
    EXPECT_EQ(lines[i].units, platform::Units::Twips);
  }
}

TEST_F(SkinPaintTest, AZeroComponentStopsTheDarkening) {
  Paint([](auto& s) { s.SetBackColor(0x000000FF); });
  const auto lines = GradientLines();
  ASSERT_FALSE(lines.empty());
  for (const auto& line : lines) EXPECT_EQ(line.colour, Rgb(255, 0, 0));
}

TEST_F(SkinPaintTest, ASystemColourShadesFromTheSystemsPresentColour) {
  Paint([](auto& s) { s.SetBackColor(platform::kSysButtonFace); });
  const auto lines = GradientLines();
  ASSERT_EQ(lines.size(), 125u);
  EXPECT_EQ(lines.front().colour, Rgb(240, 240, 240));
  EXPECT_EQ(lines.back().colour, Rgb(228, 228, 228));
}

TEST_F(SkinPaintTest, ArrayStyleThreeGivesOneLinePerPixelRow) {
  Paint([](auto& s) { s.SetArrayStyle(3); });
  const auto lines = GradientLines();
  ASSERT_EQ(lines.size(), 167u);  // rows 0 to 165, and one on the bottom edge
  for (std::size_t i = 0; i < lines.size(); ++i) EXPECT_EQ(lines[i].y1, 15.0 * static_cast<double>(i));
}

TEST_F(SkinPaintTest, ArrayStyleZeroOrLessLeavesThePlainBaseColour) {
  for (int style : {0, -1, -100}) {
    SCOPED_TRACE(style);
    Paint([style](auto& s) { s.SetArrayStyle(style); });
    EXPECT_TRUE(GradientLines().empty());
    EXPECT_EQ(site.surface.OpsOfKind(DrawOp::Clear).back().colour, 0x00404040u);
    EXPECT_EQ(Count("Resize"), 1);
  }
}

TEST_F(SkinPaintTest, BorderAndCornerPixels) {
  Paint();
  const auto boxes = site.surface.OpsOfKind(DrawOp::Box);
  ASSERT_EQ(boxes.size(), 1u);
  // 235 x 166 pixels.
  EXPECT_EQ(std::make_pair(boxes[0].x1, boxes[0].y1), std::make_pair(0.0, 0.0));
  EXPECT_EQ(std::make_pair(boxes[0].x2, boxes[0].y2), std::make_pair(3500.0, 2465.0));
  EXPECT_EQ(boxes[0].colour, 0u);

  std::set<std::pair<int, int>> pixels;
  for (const auto& op : site.surface.OpsOfKind(DrawOp::Pixel)) {
    EXPECT_EQ(op.colour, 0u);
    pixels.insert({static_cast<int>(op.x1), static_cast<int>(op.y1)});
  }
  EXPECT_EQ(pixels, (std::set<std::pair<int, int>>{
                        {2, 0}, {1, 1}, {0, 2}, {-1, 3},                 // top left
                        {2, 164}, {1, 163}, {0, 162}, {-1, 161},         // bottom left
                        {231, 0}, {232, 1}, {233, 2}, {234, 3},          // top right
                        {231, 164}, {232, 163}, {233, 162}, {234, 161},  // bottom right
                    }));
}

TEST_F(SkinPaintTest, SeparatorUnderTheTitleBarFollowsTitleBarLineAndTitleHeight) {
  Paint([](auto& s) { s.SetTitleHeight(600); });
  std::vector<DrawOp> separator;
  for (const auto& op : site.surface.OpsOfKind(DrawOp::Line))
    if (op.x1 == 30) separator.push_back(op);
  ASSERT_EQ(separator.size(), 2u);
  EXPECT_EQ(separator[0].y1, 612);
  EXPECT_EQ(separator[0].colour, Rgb(200, 200, 200));
  EXPECT_EQ(separator[1].y1, 600);
  EXPECT_EQ(separator[1].colour, Rgb(70, 70, 70));
  for (const auto& line : separator) {
    EXPECT_EQ(line.x2, 3485);
    EXPECT_EQ(line.y2, line.y1);
  }

  Paint([](auto& s) { s.SetTitleBarLine(false); });
  for (const auto& op : site.surface.OpsOfKind(DrawOp::Line)) EXPECT_EQ(op.x1, 0) << "only gradient lines";
  EXPECT_EQ(site.surface.OpsOfKind(DrawOp::Box).size(), 1u);
  EXPECT_EQ(site.surface.OpsOfKind(DrawOp::Pixel).size(), 16u);
}

TEST_F(SkinPaintTest, TitleButtonsLineUpFromTheRightInIndexOrder) {
  const struct {
    bool visible[3];
    double lefts[3];  // -1: not placed
  } cases[] = {
      {{true, true, true}, {3025, 2675, 2325}},
      {{true, false, true}, {3025, -1, 2675}},
      {{false, true, false}, {-1, 3025, -1}},
      {{false, false, false}, {-1, -1, -1}},
  };
  for (const auto& c : cases) {
    Paint([&c](auto& s) {
      s.SetEndButton(c.visible[0]);
      s.SetReButton(c.visible[1]);
      s.SetMinButton(c.visible[2]);
    });
    for (int i = 0; i < 3; ++i) SysButton(i).Move(-1, -1);
    site.Resize(kWidth, kHeight);
    for (int i = 0; i < 3; ++i) {
      SCOPED_TRACE(testing::Message() << c.visible[0] << c.visible[1] << c.visible[2] << " button " << i);
      EXPECT_EQ(SysButton(i).Left(), c.lefts[i]);
      // A third of the label height above the middle; the fake's labels are
      // 180 twips high.
      EXPECT_EQ(SysButton(i).Top(), c.lefts[i] < 0 ? -1 : 247.5 - 60);
    }
  }
}

TEST_F(SkinPaintTest, TitleBarSpansTheControlAtItsHeight) {
  Paint([](auto& s) { s.SetTitleHeight(420); });
  EXPECT_EQ(TitleBar().Left(), 0);
  EXPECT_EQ(TitleBar().Top(), 0);
  EXPECT_EQ(TitleBar().Width(), kWidth);
  EXPECT_EQ(TitleBar().Height(), 420);
}

TEST_F(SkinPaintTest, IconSitsTenPixelsInAndRoundsItsTopHalfToEven) {
  const struct {
    std::int32_t titleHeight;
    int top;
  } cases[] = {{495, 8}, {525, 8}, {555, 10}, {270, 0}};
  for (const auto& c : cases) {
    Paint([&c](auto& s) { s.SetTitleHeight(c.titleHeight); });
    const auto icons = site.surface.OpsOfKind(DrawOp::Icon);
    ASSERT_EQ(icons.size(), 1u);
    EXPECT_EQ(icons[0].x1, 10);
    EXPECT_EQ(icons[0].y1, c.top) << c.titleHeight;
    EXPECT_EQ(icons[0].w, 20);
    EXPECT_EQ(icons[0].h, 20);
  }
}

TEST_F(SkinPaintTest, CaptionShowsTheParentsTitleOfEachPass) {
  ops.parentTitle = "声库安装";
  Paint();
  EXPECT_EQ(Captions().Caption(), "声库安装");
  EXPECT_EQ(Captions().Left(), 600);
  EXPECT_EQ(Captions().Top(), 247.5 - 90);

  ops.parentTitle = "";
  site.Resize(kWidth, kHeight);
  EXPECT_EQ(Captions().Caption(), "");
}

TEST_F(SkinPaintTest, ControlIsAlwaysRoundedTheParentOnlyInRunMode) {
  ops.parentRect = {10, 20, 310, 220};
  Paint();
  ASSERT_FALSE(site.regions.empty());
  EXPECT_EQ(site.regions.back().right, 235);
  EXPECT_EQ(site.regions.back().bottom, 166);
  EXPECT_EQ(site.regions.back().ellipse, 5);
  EXPECT_TRUE(ops.regions.empty());

  Create(true);
  ClearRecords();
  site.Resize(kWidth, kHeight);
  ASSERT_EQ(ops.regions.size(), 1u);
  EXPECT_EQ(ops.regions[0].window, FakeSkinWindowOps::kParent);
  EXPECT_EQ(ops.regions[0].right, 300);
  EXPECT_EQ(ops.regions[0].bottom, 200);
  EXPECT_EQ(ops.regions[0].ellipse, 5);
}

}  // namespace
}  // namespace skin_tests
