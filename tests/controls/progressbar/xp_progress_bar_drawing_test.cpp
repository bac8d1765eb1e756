#include <gtest/gtest.h>

#include <cstdint>
#include <string>
#include <vector>

#include "controls/progressbar/progress_pictures.h"
#include "controls/progressbar/xp_progress_bar.h"
#include "tests/controls/progressbar/progress_test_support.h"
#include "tests/fakes/fake_control_site.h"

namespace {

using fakes::DrawOp;
using controls::Xp_ProgressBar;
using progressbar_test::Copy;
using progressbar_test::Tile;

// A bar of the installer window's size, 233 x 13 pixels, sized once.
class ProgressBarDrawing : public ::testing::Test {
 protected:
  fakes::FakeControlSite site{233 * 15, 13 * 15};
  std::vector<std::string> messages;
  Xp_ProgressBar bar{site, [this](const std::string& text, const std::string&) { messages.push_back(text); }};
  const controls::progressbar::ProgressPictures pictures = controls::progressbar::LoadBuiltInPictures();

  void SetUp() override { site.Resize(233 * 15, 13 * 15); }

  // What the action drew.
  template <typename Action>
  std::vector<DrawOp> Drawn(Action action) {
    site.surface.ops.clear();
    action();
    return site.surface.ops;
  }
  template <typename Action>
  std::vector<Copy> Copied(Action action) {
    return progressbar_test::Copies(Drawn(action), pictures);
  }

  static bool IsRepaint(const std::vector<DrawOp>& ops) {
    return !ops.empty() && ops[0].kind == DrawOp::Clear;
  }
};

std::vector<Copy> Blocks(int fromX, int toX, const std::string& tile = "master_2") {
  std::vector<Copy> blocks;
  for (int x = fromX; x <= toX; x += 10) blocks.push_back(Tile(tile, x, 8));
  return blocks;
}

std::vector<Copy> operator+(std::vector<Copy> a, const std::vector<Copy>& b) {
  a.insert(a.end(), b.begin(), b.end());
  return a;
}

const Copy kCompressedLastBlock = Tile("master_2", 224, 6);

TEST_F(ProgressBarDrawing, ResizeClearsToWhiteAndDrawsTheFrameInNinePieces) {
  const auto ops = Drawn([&] { site.Resize(233 * 15, 13 * 15); });
  ASSERT_FALSE(ops.empty());
  EXPECT_EQ(ops[0].kind, DrawOp::Clear);
  EXPECT_EQ(ops[0].colour, controls::progressbar::kTroughWhite);
  const std::vector<Copy> frame = {
      {"img", 0, 0, 3, 3, 0, 0, 3, 3},        {"img", 230, 0, 3, 3, 56, 0, 3, 3},
      {"img", 230, 10, 3, 3, 56, 10, 3, 3},   {"img", 0, 10, 3, 3, 0, 10, 3, 3},
      {"img", 3, 0, 227, 3, 3, 0, 12, 3},     {"img", 230, 3, 3, 7, 56, 3, 3, 3},
      {"img", 3, 10, 227, 3, 3, 10, 1, 3},    {"img", 0, 3, 3, 7, 0, 3, 3, 3},
      {"img", 3, 3, 227, 7, 4, 4, 51, 7},
  };
  EXPECT_EQ(progressbar_test::Copies(ops, pictures), frame);
  EXPECT_EQ(ops.size(), 10u);
}

TEST_F(ProgressBarDrawing, FullValueFillsTwentyTwoBlocksAndACompressedLastOne) {
  bar.SetMax(2);
  EXPECT_EQ(Copied([&] { bar.SetValue(2); }), Blocks(4, 214) + std::vector{kCompressedLastBlock});
}

TEST(ProgressBarLastBlock, EndsExactlyAtTheFramesInnerEdgeOrIsLeftOut) {
  const struct {
    int width;
    int fullBlocks;
    int lastBlockWidth;  // 0: none fits
  } cases[] = {{233, 22, 6}, {234, 22, 7}, {236, 23, 0}, {237, 23, 0}, {243, 23, 6}};
  const auto pictures = controls::progressbar::LoadBuiltInPictures();
  for (const auto& c : cases) {
    SCOPED_TRACE(c.width);
    fakes::FakeControlSite site{c.width * 15, 13 * 15};
    Xp_ProgressBar bar(site, {});
    site.Resize(c.width * 15, 13 * 15);
    site.surface.ops.clear();
    bar.SetValue(100);
    auto expected = Blocks(4, 4 + 10 * (c.fullBlocks - 1));
    if (c.lastBlockWidth > 0) expected.push_back(Tile("master_2", 4 + 10 * c.fullBlocks, c.lastBlockWidth));
    EXPECT_EQ(progressbar_test::Copies(site.surface.ops, pictures), expected);
  }
}

TEST_F(ProgressBarDrawing, IncreaseDrawsOnlyTheNewBlocks) {
  bar.SetMax(2);
  EXPECT_EQ(Copied([&] { bar.SetValue(1); }), Blocks(4, 114)) << "target 116.5";
  EXPECT_EQ(Copied([&] { bar.SetValue(2); }), Blocks(124, 214) + std::vector{kCompressedLastBlock});
}

TEST_F(ProgressBarDrawing, BlockStartsOnlyStrictlyBeforeTheTarget) {
  EXPECT_TRUE(Drawn([&] { bar.SetValue(1); }).empty()) << "target 2.33";
  EXPECT_EQ(Copied([&] { bar.SetValue(2); }), Blocks(4, 4)) << "target 4.66";
  EXPECT_TRUE(Drawn([&] { bar.SetValue(2); }).empty()) << "a repeated value draws nothing";
}

// A target exactly on a block's left edge starts no block there. These
// targets are whole numbers in double arithmetic, but 0.01 is not exact: a
// build that keeps the intermediate products in the x87 unit's extended
// precision lands a hair past the edge and draws one block more.
TEST(ProgressBarBlockEdge, ATargetOnABlocksLeftEdgeStartsNoBlockThere) {
  const struct {
    int width;
    std::int32_t max;
    std::int32_t value;
    int blocks;
    const char* target;
  } cases[] = {
      {400, 100, 1, 0, "4.0, the first block's edge"},
      {400, 100, 2, 1, "8.0"},
      {400, 50, 3, 2, "24.0, the third block's edge"},
      {400, 25, 14, 22, "224.0, the twenty-third block's edge"},
      {500, 125, 16, 6, "64.0, the seventh block's edge"},
      {20, 5, 1, 0, "4.0 on a bar with room for one block"},
  };
  const auto pictures = controls::progressbar::LoadBuiltInPictures();
  for (const auto& c : cases) {
    SCOPED_TRACE(std::to_string(c.width) + " px, Max " + std::to_string(c.max) + ", Value " +
                 std::to_string(c.value) + ": target " + c.target);
    fakes::FakeControlSite site{c.width * 15, 13 * 15};
    Xp_ProgressBar bar(site, {});
    site.Resize(c.width * 15, 13 * 15);
    bar.SetMax(c.max);
    site.surface.ops.clear();
    bar.SetValue(c.value);
    const auto expected = c.blocks == 0 ? std::vector<Copy>{} : Blocks(4, 4 + 10 * (c.blocks - 1));
    EXPECT_EQ(progressbar_test::Copies(site.surface.ops, pictures), expected);
  }
}

TEST_F(ProgressBarDrawing, FullBarRedrawsOnlyTheCompressedBlockOnLaterIncreases) {
  EXPECT_EQ(Copied([&] { bar.SetValue(97); }), Blocks(4, 214) + std::vector{kCompressedLastBlock})
      << "target 226.01";
  EXPECT_EQ(Copied([&] { bar.SetValue(98); }), std::vector{kCompressedLastBlock});
  EXPECT_EQ(Copied([&] { bar.SetValue(100); }), std::vector{kCompressedLastBlock});
}

TEST_F(ProgressBarDrawing, DecreaseOrReturnToMinRepaintsThenDrawsFromTheLeft) {
  bar.SetMax(2);
  bar.SetValue(2);
  auto ops = Drawn([&] { bar.SetValue(1); });
  EXPECT_TRUE(IsRepaint(ops));
  auto copies = progressbar_test::Copies(ops, pictures);
  ASSERT_EQ(copies.size(), 9u + 12u);
  EXPECT_EQ(std::vector(copies.begin() + 9, copies.end()), Blocks(4, 114));

  ops = Drawn([&] { bar.SetValue(0); });
  EXPECT_TRUE(IsRepaint(ops));
  EXPECT_EQ(ops.size(), 10u) << "the empty trough";
}

TEST_F(ProgressBarDrawing, AfterAResizeTheSameValueRedrawsAllItsBlocks) {
  bar.SetMax(2);
  bar.SetValue(1);
  site.Resize(233 * 15, 13 * 15);
  EXPECT_EQ(Copied([&] { bar.SetValue(1); }), Blocks(4, 114));
}

TEST_F(ProgressBarDrawing, EmptyRangeDrawsOnlyTheEmptyTrough) {
  bar.SetMin(5);
  bar.SetMax(5);
  bar.SetValue(5);
  const auto ops = Drawn([&] { bar.SetValue(5); });
  EXPECT_TRUE(IsRepaint(ops));
  EXPECT_EQ(ops.size(), 10u);
  EXPECT_TRUE(messages.empty());
}

TEST_F(ProgressBarDrawing, BlocksFollowTheHeightOfTheTrough) {
  site.Resize(100 * 15, 30 * 15);
  bar.SetMax(10);
  const auto copies = Copied([&] { bar.SetValue(1); });
  ASSERT_EQ(copies.size(), 1u) << "target 10: one block at 4";
  EXPECT_EQ(copies[0], Tile("master_2", 4, 8, 24));
}

TEST_F(ProgressBarDrawing, LookChangeKeepsDrawnBlocksAndColoursTheFollowingOnes) {
  bar.SetMax(2);
  bar.SetValue(1);
  EXPECT_TRUE(Drawn([&] { bar.SetProgressLook(1); }).empty());
  EXPECT_EQ(Copied([&] { bar.SetValue(2); }),
            Blocks(124, 214, "blue_2") + std::vector{Tile("blue_2", 224, 6)});
}

TEST_F(ProgressBarDrawing, EachLookDrawsItsOwnSetAndOtherNumbersKeepTheTiles) {
  const char* const sets[] = {"master", "blue", "bluemet", "goldmet", "grmet", "greymet", "orangemet", "redmet"};
  for (int look = 0; look < 8; ++look) {
    bar.SetProgressLook(look);
    site.Resize(233 * 15, 13 * 15);
    EXPECT_EQ(Copied([&] { bar.SetValue(2); }).at(0).picture, std::string(sets[look]) + "_2");
  }
  for (int unknown : {8, 9, -1}) {
    bar.SetProgressLook(unknown);
    EXPECT_EQ(bar.ProgressLook(), unknown);
    site.Resize(233 * 15, 13 * 15);
    EXPECT_EQ(Copied([&] { bar.SetValue(2); }).at(0).picture, "redmet_2");
  }
}

// Marquee style.

class ProgressBarMarquee : public ProgressBarDrawing {
 protected:
  void SetUp() override {
    ProgressBarDrawing::SetUp();
    bar.SetStyle(1);
  }
  std::vector<Copy> Step() { return Copied([&] { bar.SetValue(1); }); }
  // Steps until the tail is due at p (from a fresh start at 4).
  void StepsUntil(int p) {
    for (int at = 4; at != p; at += 5) Step();
  }
};

// The runner's segments with their tail at p, head first: tile 2 at p + 10,
// tile 1 at p + 5, tile 0 at p.
std::vector<Copy> Runner(int p, std::initializer_list<int> tiles = {2, 1, 0}) {
  std::vector<Copy> segments;
  for (int tile : tiles) segments.push_back(Tile("master_" + std::to_string(tile), p + 5 * tile, 4));
  return segments;
}

std::vector<Copy> Erase(int x, int w = 4) { return {Tile("blank", x, w)}; }

TEST_F(ProgressBarMarquee, FirstStepDrawsThreeSegmentsWithoutErasing) {
  EXPECT_EQ(Step(), Runner(4));
  EXPECT_EQ(Step(), Erase(4) + Runner(9)) << "the same value again moves on";
}

TEST_F(ProgressBarMarquee, RunsOffTheRightEndAndStartsAgainAtTwo) {
  StepsUntil(209);
  EXPECT_EQ(Step(), Erase(204) + Runner(209)) << "the last step with a head";
  EXPECT_EQ(Step(), Erase(209) + Runner(214, {1, 0})) << "middle and tail";
  EXPECT_EQ(Step(), Erase(214) + Runner(219, {1, 0}));
  EXPECT_EQ(Step(), Erase(219) + Runner(224, {0})) << "tail only";
  EXPECT_EQ(Step(), Erase(224) + Erase(229, 1)) << "wipes up to the frame";
  EXPECT_EQ(Step(), Runner(2)) << "no erase at the restart";
  EXPECT_EQ(Step(), Erase(2) + Runner(7));
  EXPECT_EQ(Step(), Erase(7) + Runner(12));
}

TEST(ProgressBarMarqueeEnd, SegmentsAreDrawnOnlyStrictlyBeforeTheRightEnd) {
  // The step with its tail at 209, on widths where a segment just touches the
  // end.
  const struct {
    int width;
    std::vector<Copy> drawn;
  } cases[] = {
      {230, Erase(204) + Runner(209)},
      {229, Erase(204) + Runner(209, {1, 0})},
      {220, Erase(204) + Runner(209, {1, 0})},
      {219, Erase(204) + Runner(209, {0})},
      {215, Erase(204) + Runner(209, {0})},
      {214, Erase(204) + Erase(209, 2)},
      {212, Erase(204)},
  };
  const auto pictures = controls::progressbar::LoadBuiltInPictures();
  for (const auto& c : cases) {
    SCOPED_TRACE(c.width);
    fakes::FakeControlSite site{c.width * 15, 13 * 15};
    Xp_ProgressBar bar(site, {});
    site.Resize(c.width * 15, 13 * 15);
    bar.SetStyle(1);
    for (int p = 4; p < 209; p += 5) bar.SetValue(1);
    site.surface.ops.clear();
    bar.SetValue(1);
    EXPECT_EQ(progressbar_test::Copies(site.surface.ops, pictures), c.drawn);
  }
}

TEST_F(ProgressBarMarquee, ValueAtMaxClearsAndTheNextStepStartsAtFour) {
  Step();
  Step();
  const auto ops = Drawn([&] { bar.SetValue(100); });
  EXPECT_TRUE(IsRepaint(ops));
  EXPECT_EQ(ops.size(), 10u);
  EXPECT_EQ(Step(), Runner(4));
}

TEST_F(ProgressBarMarquee, ResizePutsTheRunnerBackToFour) {
  StepsUntil(224);
  site.Resize(233 * 15, 13 * 15);
  EXPECT_EQ(Step(), Runner(4));
}

TEST_F(ProgressBarMarquee, AnyNonZeroStyleDrawsExactlyAsStyleOne) {
  auto record = [](int style) {
    fakes::FakeControlSite s{233 * 15, 13 * 15};
    Xp_ProgressBar b(s, {});
    s.Resize(233 * 15, 13 * 15);
    b.SetStyle(style);
    for (int i = 0; i < 50; ++i) b.SetValue(i % 3 == 0 ? 100 : 7);
    return progressbar_test::Copies(s.surface.ops, controls::progressbar::LoadBuiltInPictures());
  };
  const auto styleOne = record(1);
  for (int style : {5, -1, 2147483647}) EXPECT_EQ(record(style), styleOne) << style;
}

TEST_F(ProgressBarMarquee, SwitchingStyleRepaintsNothing) {
  bar.SetStyle(0);
  bar.SetValue(50);
  EXPECT_TRUE(Drawn([&] { bar.SetStyle(1); }).empty());
  EXPECT_EQ(Step(), Runner(4)) << "drawn over the blocks";
}

TEST(ProgressBarSmallSurfaces, NeverDrawAnEmptyOrNegativeExtent) {
  const struct {
    int w, h;
  } sizes[] = {{0, 0}, {4, 4}, {5, 13}, {233, 5}, {6, 6}, {12, 13}};
  for (auto size : sizes) {
    SCOPED_TRACE(std::to_string(size.w) + " x " + std::to_string(size.h));
    fakes::FakeControlSite site{size.w * 15, size.h * 15};
    Xp_ProgressBar bar(site, {});
    site.Resize(size.w * 15, size.h * 15);
    for (int v : {50, 100, 0}) bar.SetValue(v);
    bar.SetStyle(1);
    for (int i = 0; i < 10; ++i) bar.SetValue(1);
    for (const auto& op : site.surface.OpsOfKind(DrawOp::Picture)) {
      EXPECT_GT(op.w, 0);
      EXPECT_GT(op.h, 0);
    }
  }
}

}  // namespace
