#include <gtest/gtest.h>

#include <cstdint>
#include <functional>
#include <string>
#include <vector>

#include "controls/progressbar/progress_pictures.h"
#include "controls/progressbar/xp_progress_bar.h"
#include "tests/controls/progressbar/progress_test_support.h"
#include "tests/fakes/fake_control_site.h"

namespace {

using platform::PropertyBag;
using platform::PropertyValue;
using controls::Xp_ProgressBar;
using progressbar_test::Copies;

struct Message {
  std::string text, title;
  friend bool operator==(const Message&, const Message&) = default;
};

class ProgressBarProperties : public ::testing::Test {
 protected:
  fakes::FakeControlSite site{233 * 15, 13 * 15};
  std::vector<Message> messages;
  Xp_ProgressBar bar{site, [this](const std::string& text, const std::string& title) {
                       messages.push_back({text, title});
                     }};

  void ClearRecords() {
    site.changedProperties.clear();
    site.surface.ops.clear();
    messages.clear();
  }
};

TEST_F(ProgressBarProperties, NewInstanceHasTheDefaultsAndDrawsNothing) {
  EXPECT_EQ(bar.Min(), 0);
  EXPECT_EQ(bar.Max(), 100);
  EXPECT_EQ(bar.Value(), 0);
  EXPECT_EQ(bar.Style(), 0);
  EXPECT_EQ(bar.ProgressLook(), 0);
  EXPECT_TRUE(site.surface.ops.empty());
  EXPECT_TRUE(site.changedProperties.empty());
}

enum class Property { Min, Max, Value, Style, ProgressLook };

std::int32_t Get(const Xp_ProgressBar& bar, Property p) {
  switch (p) {
    case Property::Min: return bar.Min();
    case Property::Max: return bar.Max();
    case Property::Value: return bar.Value();
    case Property::Style: return bar.Style();
    case Property::ProgressLook: return bar.ProgressLook();
  }
  return 0;
}

void Set(Xp_ProgressBar& bar, Property p, std::int32_t v) {
  switch (p) {
    case Property::Min: return bar.SetMin(v);
    case Property::Max: return bar.SetMax(v);
    case Property::Value: return bar.SetValue(v);
    case Property::Style: return bar.SetStyle(v);
    case Property::ProgressLook: return bar.SetProgressLook(v);
  }
}

const char* NameOf(Property p) {
  switch (p) {
    case Property::Min: return "Min";
    case Property::Max: return "Max";
    case Property::Value: return "Value";
    case Property::Style: return "Style";
    case Property::ProgressLook: return "ProgressLook";
  }
  return "";
}

// A stored set as loaded properties hold it: ranges the setters would refuse.
PropertyBag Loaded(std::int32_t min, std::int32_t max, std::int32_t value) {
  PropertyBag bag;
  bag.Set("Min", min);
  bag.Set("Max", max);
  bag.Set("Value", value);
  return bag;
}

TEST_F(ProgressBarProperties, SettersCheckInTheirOrderAndReportWithTheExactMessages) {
  const std::string higher = "Value can NOT be higher than Maximum !";
  const std::string lower = "Value can NOT be smaller than minimum !";
  const std::string minAboveMax = "Minimum can NOT be biger than maximum !";
  const std::string minNegative = "Minimum can NOT be smaller then 0 !";
  const std::string maxBelowMin = "Maximum can NOT be smaller than minimum !";
  const struct {
    const char* what;
    std::function<void(Xp_ProgressBar&)> arrange;
    Property property;
    std::int32_t newValue;
    std::string message;  // empty: accepted
  } cases[] = {
      {"Value at Max", {}, Property::Value, 100, ""},
      {"Value above Max", {}, Property::Value, 101, higher},
      {"Value below Min", {}, Property::Value, -1, lower},
      {"Value above a lowered Max", [](auto& b) { b.SetMax(2); }, Property::Value, 3, higher},
      {"Value below a raised Min", [](auto& b) { b.SetMin(10); }, Property::Value, 9, lower},
      {"Value: the Max check comes first", [](auto& b) { b.UserControl_ReadProperties(Loaded(10, 5, 0)); },
       Property::Value, 7, higher},
      {"Min above Max", {}, Property::Min, 101, minAboveMax},
      {"Min negative", {}, Property::Min, -1, minNegative},
      {"Min: the Max check comes first", [](auto& b) { b.UserControl_ReadProperties(Loaded(0, -10, 0)); },
       Property::Min, -5, minAboveMax},
      {"Min equal to Max", {}, Property::Min, 100, ""},
      {"Min above Value", [](auto& b) { b.SetValue(5); }, Property::Min, 50, ""},
      {"Max below Min", [](auto& b) { b.SetMin(10); }, Property::Max, 9, maxBelowMin},
      {"Max equal to Min", [](auto& b) { b.SetMin(10); }, Property::Max, 10, ""},
      {"Max below Value", [](auto& b) { b.SetValue(50); }, Property::Max, 2, ""},
      {"Max far above", {}, Property::Max, 2147483647, ""},
      {"any Style", {}, Property::Style, -3, ""},
      {"any ProgressLook", {}, Property::ProgressLook, 9, ""},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.what);
    fakes::FakeControlSite caseSite{233 * 15, 13 * 15};
    std::vector<Message> shown;
    Xp_ProgressBar b(caseSite, [&shown](const std::string& text, const std::string& title) {
      shown.push_back({text, title});
    });
    if (c.arrange) c.arrange(b);
    const std::int32_t before = Get(b, c.property);
    const std::int32_t valueBefore = b.Value();
    caseSite.changedProperties.clear();
    caseSite.surface.ops.clear();

    Set(b, c.property, c.newValue);

    if (c.message.empty()) {
      EXPECT_TRUE(shown.empty());
      EXPECT_EQ(Get(b, c.property), c.newValue);
      EXPECT_EQ(caseSite.changedProperties, std::vector<std::string>{NameOf(c.property)});
      if (c.property != Property::Value) {
        EXPECT_EQ(b.Value(), valueBefore) << "Value is never adjusted";
      }
    } else {
      EXPECT_EQ(shown, (std::vector<Message>{{c.message, "Error"}}));
      EXPECT_EQ(Get(b, c.property), before);
      EXPECT_TRUE(caseSite.changedProperties.empty());
      EXPECT_TRUE(caseSite.surface.ops.empty());
    }
  }
}

TEST_F(ProgressBarProperties, RangeChangesDrawNothingAndValueStaysUntilAssigned) {
  bar.SetValue(50);
  ClearRecords();
  bar.SetMax(2);
  bar.SetMin(1);
  bar.SetStyle(1);
  EXPECT_EQ(bar.Value(), 50);
  EXPECT_TRUE(site.surface.ops.empty());
  EXPECT_EQ(site.changedProperties, (std::vector<std::string>{"Max", "Min", "Style"}));
}

TEST_F(ProgressBarProperties, AcceptedValueIsAnnouncedBeforeItIsDrawnAndEveryTime) {
  site.Resize(233 * 15, 13 * 15);
  ClearRecords();
  bar.SetValue(30);
  bar.SetValue(30);
  EXPECT_EQ(site.changedProperties, (std::vector<std::string>{"Value", "Value"}));
}

TEST(CriticalMessageBox, ShowsOneOkButtonAndTheCriticalIcon) {
  struct Recorder : platform::Application {
    std::vector<std::string> shown;
    std::string Folder() override { return {}; }
    std::string ProgramPath() override { return {}; }
    bool PreviousInstance() override { return false; }
    bool SixtyFourBitWindows() override { return false; }
    [[noreturn]] void EndProgram() override { std::abort(); }
    void RunMessageLoopUntil(const std::function<bool()>&) override {}
    int MessageBox(const std::string& text, const std::string& title, platform::MessageButtons buttons,
                   platform::MessageIcon icon) override {
      shown.push_back(text + "|" + title + "|" + std::to_string(buttons == platform::MessageButtons::Ok) +
                      std::to_string(icon == platform::MessageIcon::Critical));
      return platform::kAnswerOk;
    }
  } app;
  controls::progressbar::CriticalMessageBox(app)("Value can NOT be higher than Maximum !", "Error");
  EXPECT_EQ(app.shown, std::vector<std::string>{"Value can NOT be higher than Maximum !|Error|11"});
}

// Persistence.

PropertyBag Written(const Xp_ProgressBar& bar) {
  PropertyBag bag;
  bar.UserControl_WriteProperties(bag);
  return bag;
}

TEST_F(ProgressBarProperties, DefaultsAreNotStored) {
  EXPECT_TRUE(Written(bar).Entries().empty());
}

TEST_F(ProgressBarProperties, InitPropertiesGivesBackTheDefaultsButKeepsTheLook) {
  bar.SetMax(500);
  bar.SetMin(20);
  bar.SetValue(321);
  bar.SetStyle(5);
  bar.SetProgressLook(3);
  ClearRecords();

  bar.InitProperties();

  EXPECT_EQ(bar.Min(), 0);
  EXPECT_EQ(bar.Max(), 100);
  EXPECT_EQ(bar.Value(), 0);
  EXPECT_EQ(bar.Style(), 0);
  EXPECT_EQ(bar.ProgressLook(), 3);
  const PropertyBag out = Written(bar);
  EXPECT_EQ(out.Entries().size(), 1u) << "the range in its 16-bit width again, so not stored";
  EXPECT_TRUE(out.Contains("ProgressLook"));
  EXPECT_TRUE(site.changedProperties.empty());
  EXPECT_TRUE(site.surface.ops.empty());
}

TEST_F(ProgressBarProperties, StoredStyleOnlyLoadsTheDefaultsWithTheGreenLookApplied) {
  bar.SetProgressLook(3);
  ClearRecords();
  PropertyBag bag;
  bag.Set("Style", std::int32_t{1});

  bar.UserControl_ReadProperties(bag);

  EXPECT_EQ(bar.Min(), 0);
  EXPECT_EQ(bar.Max(), 100);
  EXPECT_EQ(bar.Value(), 0);
  EXPECT_EQ(bar.Style(), 1);
  EXPECT_EQ(bar.ProgressLook(), 0);
  EXPECT_EQ(site.changedProperties, std::vector<std::string>{"ProgressLook"});
  EXPECT_TRUE(site.surface.ops.empty()) << "loading draws nothing";

  site.Resize(233 * 15, 13 * 15);
  site.surface.ops.clear();
  bar.SetValue(1);
  const auto pictures = controls::progressbar::LoadBuiltInPictures();
  const auto copies = Copies(site.surface.ops, pictures);
  ASSERT_EQ(copies.size(), 3u);
  EXPECT_EQ(copies[0].picture, "master_2");
  EXPECT_EQ(copies[1].picture, "master_1");
  EXPECT_EQ(copies[2].picture, "master_0");
}

TEST_F(ProgressBarProperties, LoadedValuesAreTakenAsStoredAndKeepTheirWidth) {
  PropertyBag bag;
  bag.Set("min", std::int32_t{7});  // keys match without regard to case
  bag.Set("MAX", std::int16_t{3});
  bag.Set("Value", std::int16_t{99});
  bag.Set("ProgressLook", std::int32_t{-2});

  bar.UserControl_ReadProperties(bag);

  EXPECT_EQ(bar.Min(), 7);
  EXPECT_EQ(bar.Max(), 3);
  EXPECT_EQ(bar.Value(), 99);
  EXPECT_EQ(bar.ProgressLook(), -2);
  const PropertyBag out = Written(bar);
  EXPECT_EQ(out.Raw("Min"), PropertyValue(std::int32_t{7}));
  EXPECT_EQ(out.Raw("Max"), PropertyValue(std::int16_t{3}));
  EXPECT_EQ(out.Raw("Value"), PropertyValue(std::int32_t{99})) << "Value is always 32-bit";
  EXPECT_EQ(out.Raw("ProgressLook"), PropertyValue(std::int32_t{-2}));
}

TEST_F(ProgressBarProperties, RangeIsSavedInTheWidthItWasGiven) {
  bar.SetMax(200);
  EXPECT_EQ(Written(bar).Raw("Max"), PropertyValue(std::int32_t{200})) << "a setter gives 32 bits";

  PropertyBag stored;
  stored.Set("Min", std::int16_t{5});
  bar.UserControl_ReadProperties(stored);
  const PropertyBag out = Written(bar);
  EXPECT_EQ(out.Raw("Min"), PropertyValue(std::int16_t{5}));
  EXPECT_FALSE(out.Contains("Max")) << "the 16-bit default, not stored";
}

TEST_F(ProgressBarProperties, EveryPropertySurvivesARoundTrip) {
  bar.SetMax(500);
  bar.SetMin(20);
  bar.SetValue(321);
  bar.SetStyle(5);
  bar.SetProgressLook(9);
  const PropertyBag saved = Written(bar);
  EXPECT_EQ(saved.Entries().size(), 5u);

  fakes::FakeControlSite otherSite{233 * 15, 13 * 15};
  Xp_ProgressBar loaded(otherSite, {});
  loaded.UserControl_ReadProperties(saved);
  EXPECT_EQ(loaded.Min(), 20);
  EXPECT_EQ(loaded.Max(), 500);
  EXPECT_EQ(loaded.Value(), 321);
  EXPECT_EQ(loaded.Style(), 5);
  EXPECT_EQ(loaded.ProgressLook(), 9);
  EXPECT_EQ(Written(loaded), saved);
}

TEST_F(ProgressBarProperties, UnreadableStoredValueThrowsAndLeavesTheBarAsItWas) {
  bar.SetMax(40);
  bar.SetValue(30);
  ClearRecords();
  PropertyBag bag;
  bag.Set("Min", std::int32_t{3});
  bag.Set("Style", std::string("busy"));

  EXPECT_THROW(bar.UserControl_ReadProperties(bag), platform::PropertyConversionError);
  EXPECT_EQ(bar.Min(), 0);
  EXPECT_EQ(bar.Max(), 40);
  EXPECT_EQ(bar.Value(), 30);
  EXPECT_EQ(bar.Style(), 0);
  EXPECT_TRUE(site.changedProperties.empty());
}

}  // namespace
