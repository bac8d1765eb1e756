#include <gtest/gtest.h>

#include <functional>
#include <set>

#include "tests/controls/skin/skin_test_fixture.h"

namespace skin_tests {
namespace {

using controls::QORSkin;

// Every persisted value away from its default.
void SetAllAwayFromDefaults(QORSkin& skin) {
  skin.SetEnabled(false);
  skin.SetBackColor(0x00102030);
  skin.SetCaptionColor(0x000000FF);
  skin.SetArrayStyle(7);
  skin.SetMinButton(false);
  skin.SetReButton(false);
  skin.SetEndButton(false);
  skin.SetChangeSize(false);
  skin.SetMoveTo(false);
  skin.SetCancel(true);
  skin.SetTitleHeight(600);
  skin.SetTitleBarLine(false);
}

void ExpectAllAwayFromDefaults(const QORSkin& skin) {
  EXPECT_FALSE(skin.Enabled());
  EXPECT_EQ(skin.BackColor(), 0x00102030u);
  EXPECT_EQ(skin.CaptionColor(), 0x000000FFu);
  EXPECT_EQ(skin.ArrayStyle(), 7);
  EXPECT_FALSE(skin.MinButton());
  EXPECT_FALSE(skin.ReButton());
  EXPECT_FALSE(skin.EndButton());
  EXPECT_FALSE(skin.ChangeSize());
  EXPECT_FALSE(skin.MoveTo());
  EXPECT_TRUE(skin.Cancel());
  EXPECT_EQ(skin.TitleHeight(), 600);
  EXPECT_FALSE(skin.TitleBarLine());
}

void ExpectDefaults(const QORSkin& skin) {
  EXPECT_TRUE(skin.Enabled());
  EXPECT_EQ(skin.BackColor(), 0x00404040u);
  EXPECT_EQ(skin.CaptionColor(), 0x00E0E0E0u);
  EXPECT_EQ(skin.ArrayStyle(), 4);
  EXPECT_TRUE(skin.MinButton());
  EXPECT_TRUE(skin.ReButton());
  EXPECT_TRUE(skin.EndButton());
  EXPECT_TRUE(skin.ChangeSize());
  EXPECT_TRUE(skin.MoveTo());
  EXPECT_FALSE(skin.Cancel());
  EXPECT_EQ(skin.TitleHeight(), 495);
  EXPECT_TRUE(skin.TitleBarLine());
}

TEST_F(SkinTest, CreatesItsElementsWithTheirDesignValuesAndDrawsNothing) {
  Create(true);
  ExpectDefaults(*skin);
  ASSERT_EQ(site.labels.size(), 5u);
  EXPECT_EQ(TitleBar().Caption(), "");
  EXPECT_EQ(TitleBar().Width(), 1455);
  EXPECT_EQ(TitleBar().Height(), 495);
  EXPECT_EQ(TitleBar().Left(), 0);
  EXPECT_EQ(TitleBar().Top(), 0);
  EXPECT_EQ(Captions().TextColour(), 0x00E0E0E0u);
  EXPECT_EQ(Captions().Font().face, "");
  const char* texts[] = {"メ", "ブ", "ヲ"};
  for (int i = 0; i < 3; ++i) {
    SCOPED_TRACE(i);
    EXPECT_EQ(SysButton(i).Caption(), texts[i]);
    EXPECT_EQ(SysButton(i).Font().face, "宋体");
    EXPECT_EQ(SysButton(i).Font().points, 14.25);
    EXPECT_EQ(SysButton(i).Font().charset, 134);
    EXPECT_FALSE(SysButton(i).Font().bold);
    EXPECT_EQ(SysButton(i).TextColour(), 0x00E0E0E0u);
  }
  ASSERT_EQ(site.timers.size(), 1u);
  EXPECT_EQ(Timer1().Interval(), 1);
  EXPECT_FALSE(Timer1().Enabled());
  EXPECT_TRUE(site.surface.ops.empty());
  EXPECT_TRUE(events.empty());
}

TEST_F(SkinTest, SettersRunTheLayoutPassOnlyWhereTheyShould) {
  Create(false);
  const struct {
    const char* name;
    std::function<void(QORSkin&)> set;
    bool layoutPass;
  } cases[] = {
      {"ArrayStyle", [](QORSkin& s) { s.SetArrayStyle(5); }, true},
      {"BackColor", [](QORSkin& s) { s.SetBackColor(0x123456); }, true},
      {"TitleHeight", [](QORSkin& s) { s.SetTitleHeight(400); }, true},
      {"MinButton", [](QORSkin& s) { s.SetMinButton(false); }, true},
      {"ReButton", [](QORSkin& s) { s.SetReButton(false); }, true},
      {"EndButton", [](QORSkin& s) { s.SetEndButton(false); }, true},
      {"TitleBarLine", [](QORSkin& s) { s.SetTitleBarLine(false); }, true},
      {"CaptionColor", [](QORSkin& s) { s.SetCaptionColor(0x0000FF00); }, false},
      {"ChangeSize", [](QORSkin& s) { s.SetChangeSize(false); }, false},
      {"MoveTo", [](QORSkin& s) { s.SetMoveTo(false); }, false},
      {"Cancel", [](QORSkin& s) { s.SetCancel(true); }, false},
      {"Enabled", [](QORSkin& s) { s.SetEnabled(false); }, false},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.name);
    ClearRecords();
    c.set(*skin);
    EXPECT_EQ(Count("Resize"), c.layoutPass ? 1 : 0);
    EXPECT_EQ(site.surface.ops.empty(), !c.layoutPass);
  }
}

TEST_F(SkinTest, CaptionColorRecoloursCaptionAndAllTitleButtonsAlsoHiddenOnes) {
  Create(false);
  skin->SetReButton(false);
  ClearRecords();
  skin->SetCaptionColor(0x00336699);
  EXPECT_EQ(skin->CaptionColor(), 0x00336699u);
  EXPECT_EQ(Captions().TextColour(), 0x00336699u);
  for (int i = 0; i < 3; ++i) EXPECT_EQ(SysButton(i).TextColour(), 0x00336699u) << i;
  EXPECT_TRUE(site.surface.ops.empty());
}

TEST_F(SkinTest, TitleHeightReadsTheTitleBarRoundedHalfToEven) {
  Create(false);
  TitleBar().Resize(1455, 494.5);
  EXPECT_EQ(skin->TitleHeight(), 494);
  TitleBar().Resize(1455, 495.5);
  EXPECT_EQ(skin->TitleHeight(), 496);
}

TEST_F(SkinTest, InitPropertiesResetsStoredValuesWithoutALayoutPass) {
  Create(false);
  SetAllAwayFromDefaults(*skin);
  ClearRecords();
  skin->InitProperties();
  EXPECT_TRUE(skin->MoveTo());
  EXPECT_EQ(skin->ArrayStyle(), 4);
  EXPECT_EQ(skin->BackColor(), 0x00404040u);
  EXPECT_TRUE(skin->ChangeSize());
  EXPECT_FALSE(skin->Cancel());
  EXPECT_TRUE(skin->TitleBarLine());
  EXPECT_TRUE(events.empty());
  EXPECT_TRUE(site.surface.ops.empty());
  // The elements keep what they hold.
  EXPECT_EQ(skin->TitleHeight(), 600);
  EXPECT_EQ(skin->CaptionColor(), 0x000000FFu);
  EXPECT_FALSE(skin->MinButton());
}

TEST_F(SkinTest, DefaultsAreNotStoredAndAMissingKeyLoadsItsDefault) {
  Create(false);
  platform::PropertyBag bag;
  skin->UserControl_WriteProperties(bag);
  EXPECT_TRUE(bag.Entries().empty());

  SetAllAwayFromDefaults(*skin);
  skin->UserControl_ReadProperties(platform::PropertyBag{});
  ExpectDefaults(*skin);
}

TEST_F(SkinTest, SavedPropertiesLoadBackUnderTheirKeys) {
  Create(false);
  SetAllAwayFromDefaults(*skin);
  platform::PropertyBag bag;
  skin->UserControl_WriteProperties(bag);

  std::set<std::string> keys;
  for (const auto& [key, value] : bag.Entries()) keys.insert(key);
  EXPECT_EQ(keys, (std::set<std::string>{"enabled", "backcolor", "captioncolor", "arraystyle", "minbutton",
                                         "rebutton", "endbutton", "changesize", "moveto", "cancel", "titleheight",
                                         "titlebarline"}));
  EXPECT_TRUE(std::holds_alternative<float>(*bag.Raw("TitleHeight")));
  EXPECT_TRUE(std::holds_alternative<std::int32_t>(*bag.Raw("BackColor")));

  fakes::FakeControlSite otherSite{kWidth, kHeight};
  QORSkin other(otherSite, ops, false);
  other.UserControl_ReadProperties(bag);
  ExpectAllAwayFromDefaults(other);
}

TEST_F(SkinTest, LoadingRunsOnePassPerLayoutSetterAndNoneForCancel) {
  Create(false);
  skin->UserControl_ReadProperties(platform::PropertyBag{});
  const auto passesForDefaults = Count("Resize");
  EXPECT_EQ(passesForDefaults, 7);

  events.clear();
  platform::PropertyBag bag;
  bag.Set("Cancel", true);
  skin->UserControl_ReadProperties(bag);
  EXPECT_TRUE(skin->Cancel());
  EXPECT_EQ(Count("Resize"), passesForDefaults);
}

TEST_F(SkinTest, StoredTitleHeightRoundsHalfToEven) {
  Create(false);
  const struct {
    platform::PropertyValue stored;
    std::int32_t loaded;
  } cases[] = {
      {495.5f, 496}, {494.5f, 494}, {495.4f, 495}, {std::int16_t{300}, 300}, {std::int32_t{40000}, 40000},
  };
  for (const auto& c : cases) {
    platform::PropertyBag bag;
    bag.Set("TitleHeight", c.stored);
    skin->UserControl_ReadProperties(bag);
    EXPECT_EQ(skin->TitleHeight(), c.loaded);
  }
}

TEST_F(SkinTest, OnlyRunModeLoadingStartsTheAttachTimer) {
  for (bool runMode : {false, true}) {
    SCOPED_TRACE(runMode);
    Create(runMode);
    skin->UserControl_ReadProperties(platform::PropertyBag{});
    EXPECT_EQ(Timer1().Enabled(), runMode);
  }
}

TEST_F(SkinTest, AValueOfTheWrongTypeIsAClearError) {
  Create(false);
  platform::PropertyBag bag;
  bag.Set("ArrayStyle", std::string("many"));
  EXPECT_THROW(skin->UserControl_ReadProperties(bag), platform::PropertyConversionError);
}

}  // namespace
}  // namespace skin_tests
