#include "platform/runtime/property_bag.h"

#include <gtest/gtest.h>

#include "platform/runtime/design_data.h"

namespace {

using platform::PropertyBag;
using platform::PropertyConversionError;
using platform::PropertyValue;

// Writes with defaults as a control's WriteProperties does, then reads the bag
// back through its text form as the container would load it.
PropertyBag ThroughDesignText(const PropertyBag& bag) {
  platform::DesignData data;
  data.controls.push_back({"QORButton", "QORButton1", bag});
  return platform::ParseDesignData(platform::FormatDesignData(data)).controls.at(0).properties;
}

TEST(PropertyBag, ValuesEqualToTheirDefaultsAreNotStored) {
  PropertyBag bag;
  bag.Write("Enabled", true, true);
  bag.Write("Caption", std::string("Button"), std::string("Button"));
  bag.Write("BackColor", std::int32_t{0xF4F4F4}, std::int32_t{0xF4F4F4});
  bag.Write("CaptionColor", std::int32_t{0}, std::int16_t{0});  // default given in another width
  bag.Write("TitleHeight", 495.0f, std::int16_t{495});
  EXPECT_TRUE(bag.Entries().empty());

  bag.Write("Caption", std::string("XZ"), std::string("Button"));
  bag.Write("Enabled", false, true);
  bag.Write("Caption", std::string("Button"), std::string("Button"));  // back to the default removes it
  ASSERT_EQ(bag.Entries().size(), 1u);
  EXPECT_EQ(bag.Raw("enabled"), PropertyValue(false));
}

TEST(PropertyBag, RoundTripsThroughTheDesignTextWithKeysInAnyCase) {
  PropertyBag written;
  written.Write("Caption", std::string("卸载"), std::string("Button"));
  written.Write("Enabled", false, true);
  written.Write("Min", std::int16_t{-3}, std::int16_t{0});
  written.Write("BackColor", std::int32_t{-2147483633}, std::int32_t{0xF4F4F4});
  written.Write("TitleHeight", 494.5f, std::int16_t{495});

  const PropertyBag read = ThroughDesignText(written);
  EXPECT_EQ(read, written);
  EXPECT_EQ(read.ReadString("CAPTION", "Button"), "卸载");
  EXPECT_FALSE(read.ReadBool("enabled", true));
  EXPECT_EQ(read.ReadInt32("backcolor", 0), -2147483633);
  // The stored width is kept when an integer of another width is asked for.
  EXPECT_EQ(read.Read("min", std::int32_t{0}), PropertyValue(std::int16_t{-3}));
  EXPECT_EQ(read.Read("backcolor", std::int16_t{0}), PropertyValue(std::int32_t{-2147483633}));
  // A real number read as an integer rounds half to even.
  EXPECT_EQ(read.ReadInt32("TitleHeight", 495), 494);
  EXPECT_EQ(read.ReadString("Absent", "fallback"), "fallback");
}

TEST(PropertyBag, ConvertsBetweenTypesTheWayStoredValuesAre) {
  PropertyBag bag;
  bag.Set("t", std::string("True"));
  bag.Set("n", std::string(" 42"));
  bag.Set("f", 495.5f);
  bag.Set("b", true);
  bag.Set("i", std::int16_t{7});
  EXPECT_TRUE(bag.ReadBool("t", false));
  EXPECT_EQ(bag.ReadInt32("n", 0), 42);
  EXPECT_EQ(bag.ReadInt32("f", 0), 496);
  EXPECT_EQ(bag.ReadString("f", ""), "495.5");
  EXPECT_EQ(bag.ReadInt32("b", 0), -1);
  EXPECT_EQ(bag.ReadString("b", ""), "True");
  EXPECT_EQ(bag.ReadString("i", ""), "7");
  EXPECT_EQ(bag.Read("i", 0.0f), PropertyValue(7.0f));
}

TEST(PropertyBag, UnconvertibleValuesThrowConversionErrors) {
  PropertyBag bag;
  bag.Set("BackColor", std::string("abc"));
  bag.Set("Empty", std::string());
  bag.Set("NotANumber", std::string("nan"));
  bag.Set("Huge", 3e38f);
  EXPECT_THROW(bag.ReadInt32("BackColor", 0xF4F4F4), PropertyConversionError);
  EXPECT_THROW(bag.ReadBool("BackColor", true), PropertyConversionError);
  EXPECT_THROW(bag.ReadInt32("Empty", 0), PropertyConversionError);
  EXPECT_THROW(bag.ReadInt32("NotANumber", 0), PropertyConversionError);
  EXPECT_THROW(bag.Read("Huge", std::int16_t{0}), PropertyConversionError);
  EXPECT_THROW(bag.ReadInt32("Huge", 0), PropertyConversionError);
  EXPECT_EQ(bag.ReadString("BackColor", ""), "abc");
}

}  // namespace
