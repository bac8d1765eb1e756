#include "platform/runtime/design_data.h"

#include <gtest/gtest.h>

#include <string>

namespace {

using platform::DesignData;
using platform::DesignDataError;
using platform::FormatDesignData;
using platform::ParseDesignData;
using platform::PropertyValue;

TEST(DesignDataParse, ReadsEveryValueTypeInOneBlock) {
  const DesignData data = ParseDesignData(
      "\xEF\xBB\xBF# window design\r\n"
      "Begin QORButton QORButtonXZ\r\n"
      "  Caption = \"say \"\"hi\"\"\"   # quoted quote\r\n"
      "\tenabled = false\r\n"
      "  _extentx = 2143\r\n"
      "  min = -5%\r\n"
      "  titleheight = 495.5\r\n"
      "  backcolor = -2147483640\r\n"
      "  empty = \"\"\r\n"
      "End\r\n");
  ASSERT_EQ(data.controls.size(), 1u);
  const auto& control = data.controls[0];
  EXPECT_EQ(control.className, "QORButton");
  EXPECT_EQ(control.name, "QORButtonXZ");
  const auto& bag = control.properties;
  EXPECT_EQ(bag.Raw("caption"), PropertyValue(std::string("say \"hi\"")));
  EXPECT_EQ(bag.Raw("Enabled"), PropertyValue(false));
  EXPECT_EQ(bag.Raw("_EXTENTX"), PropertyValue(std::int32_t{2143}));
  EXPECT_EQ(bag.Raw("min"), PropertyValue(std::int16_t{-5}));
  EXPECT_EQ(bag.Raw("titleheight"), PropertyValue(495.5f));
  EXPECT_EQ(bag.Raw("backcolor"), PropertyValue(std::int32_t{-2147483640}));
  EXPECT_EQ(bag.Raw("empty"), PropertyValue(std::string()));
}

TEST(DesignDataParse, KeepsBlocksInOrderAndFindsByNameIgnoringCase) {
  const DesignData data = ParseDesignData(
      "Begin Xp_ProgressBar Xp_ProgressBar1\nEnd\n\n"
      "Begin QORButton QORButtonAZ\n caption = \"AZ\"\nEnd");
  ASSERT_EQ(data.controls.size(), 2u);
  EXPECT_EQ(data.controls[0].name, "Xp_ProgressBar1");
  EXPECT_TRUE(data.controls[0].properties.Entries().empty());
  ASSERT_NE(data.Find("qorbuttonaz"), nullptr);
  EXPECT_EQ(data.Find("qorbuttonaz")->properties.ReadString("Caption", ""), "AZ");
  EXPECT_EQ(data.Find("Image1"), nullptr);
}

TEST(DesignDataParse, KeywordsAsPropertyNamesAreProperties) {
  const DesignData data = ParseDesignData("Begin A b\n  end = 1\n  begin = 2\nEnd\n");
  EXPECT_EQ(data.controls[0].properties.ReadInt32("End", 0), 1);
  EXPECT_EQ(data.controls[0].properties.ReadInt32("Begin", 0), 2);
}

struct BadDesign {
  const char* text;
  int line;
  const char* problem;
};

class DesignDataErrors : public testing::TestWithParam<BadDesign> {};

TEST_P(DesignDataErrors, NameTheLineAndTheProblem) {
  const BadDesign& bad = GetParam();
  try {
    ParseDesignData(bad.text);
    FAIL() << "accepted: " << bad.text;
  } catch (const DesignDataError& error) {
    EXPECT_EQ(error.Line(), bad.line) << error.what();
    const std::string what = error.what();
    EXPECT_EQ(what.rfind("design data line " + std::to_string(bad.line) + ": ", 0), 0u) << what;
    EXPECT_NE(what.find(bad.problem), std::string::npos) << what;
  }
}

INSTANTIATE_TEST_SUITE_P(
    Table, DesignDataErrors,
    testing::Values(BadDesign{"Begin A b\n  caption = \"open\nEnd\n", 2, "unterminated string"},
                    BadDesign{"Begin A b\n  caption = \"a\"\"\nEnd\n", 2, "unterminated string"},
                    BadDesign{"# c\nBegin A b\n  x = 1\n", 2, "has no End"},
                    BadDesign{"Begin A b\nBegin C d\nEnd\nEnd\n", 2, "Begin inside the block of 'b'"},
                    BadDesign{"Begin A b\n  caption \"x\"\nEnd\n", 2, "expected 'key = value'"},
                    BadDesign{"Begin A b\n  = 5\nEnd\n", 2, "expected 'key = value'"},
                    BadDesign{"Begin A b\n  my key = 5\nEnd\n", 2, "expected 'key = value'"},
                    BadDesign{"Begin A b\n  x = 12a\nEnd\n", 2, "bad number '12a'"},
                    BadDesign{"Begin A b\n  x = 1.5%\nEnd\n", 2, "bad number '1.5%'"},
                    BadDesign{"Begin A b\n  x = -\nEnd\n", 2, "bad number '-'"},
                    BadDesign{"Begin A b\n  x = 2147483648\nEnd\n", 2, "out of range"},
                    BadDesign{"Begin A b\n  x = 32768%\nEnd\n", 2, "out of range"},
                    BadDesign{"Begin A b\n  x = 1e39\nEnd\n", 2, "out of range"},
                    BadDesign{"Begin A b\n  x = Yes\nEnd\n", 2, "unknown value 'Yes'"},
                    BadDesign{"Begin A b\n  x = &H80000008&\nEnd\n", 2, "unknown value"},
                    BadDesign{"Begin A b\n  x =\nEnd\n", 2, "missing value"},
                    BadDesign{"Begin A b\n  x = # none\nEnd\n", 2, "missing value"},
                    BadDesign{"Begin A b\n  x = \"a\" b\nEnd\n", 2, "unexpected text after the value"},
                    BadDesign{"Begin A b\n  x = 1 2\nEnd\n", 2, "unexpected text after the value"},
                    BadDesign{"Begin A b\n  x = 1\n  X = 2\nEnd\n", 3, "duplicate property 'X'"},
                    BadDesign{"Begin A b\nEnd\nBegin C B\nEnd\n", 3, "duplicate control name 'B'"},
                    BadDesign{"caption = \"x\"\n", 1, "text outside a Begin ... End block"},
                    BadDesign{"Begin A b\nEnd\nstray\n", 3, "text outside a Begin ... End block"},
                    BadDesign{"End\n", 1, "End without Begin"},
                    BadDesign{"Begin A b\nEnd now\n", 2, "unexpected text after End"},
                    BadDesign{"Begin A\nEnd\n", 1, "expected 'Begin <class> <name>'"},
                    BadDesign{"Begin A b c\nEnd\n", 1, "expected 'Begin <class> <name>'"}));

TEST(DesignDataParse, EmptyAndCommentOnlyTextsHoldNoControls) {
  EXPECT_TRUE(ParseDesignData("").controls.empty());
  EXPECT_TRUE(ParseDesignData("\n  # nothing\r\n\n").controls.empty());
}

TEST(DesignDataFormat, RoundTripsEveryTypeAndEdgeValue) {
  DesignData data;
  platform::ControlDesign button{"QORButton", "QORButtonXF", {}};
  button.properties.Set("Caption", std::string("a \"quoted\" 修复 # not a comment, x = 1 == y"));
  button.properties.Set("Enabled", false);
  button.properties.Set("CaptionColor", std::int32_t{-2147483640});
  button.properties.Set("Min", std::int16_t{-32768});
  button.properties.Set("Big", std::int32_t{2147483647});
  button.properties.Set("TitleHeight", 495.0f);
  button.properties.Set("Tiny", 1e-7f);
  button.properties.Set("Huge", 3e38f);
  button.properties.Set("Empty", std::string());
  data.controls.push_back(button);
  data.controls.push_back({"Xp_ProgressBar", "Xp_ProgressBar1", {}});

  const std::string text = FormatDesignData(data);
  const DesignData again = ParseDesignData(text);
  ASSERT_EQ(again.controls.size(), 2u) << text;
  for (std::size_t i = 0; i < 2; ++i) {
    EXPECT_EQ(again.controls[i].className, data.controls[i].className);
    EXPECT_EQ(again.controls[i].name, data.controls[i].name);
    EXPECT_EQ(again.controls[i].properties, data.controls[i].properties) << text;
  }
  EXPECT_NE(text.find("  titleheight = 495.0\n"), std::string::npos) << text;
  EXPECT_NE(text.find("  min = -32768%\n"), std::string::npos) << text;
  EXPECT_NE(text.find("  enabled = False\n"), std::string::npos) << text;
}

TEST(DesignDataFormat, RefusesWhatTheTextCannotHold) {
  DesignData lineBreak;
  lineBreak.controls.push_back({"A", "b", {}});
  lineBreak.controls[0].properties.Set("caption", std::string("two\nlines"));
  EXPECT_THROW(FormatDesignData(lineBreak), std::invalid_argument);

  DesignData infinite;
  infinite.controls.push_back({"A", "b", {}});
  infinite.controls[0].properties.Set("x", std::numeric_limits<float>::infinity());
  EXPECT_THROW(FormatDesignData(infinite), std::invalid_argument);

  DesignData badName;
  badName.controls.push_back({"A", "two words", {}});
  EXPECT_THROW(FormatDesignData(badName), std::invalid_argument);
}

}  // namespace
