#pragma once
// A whole number that remembers whether it was given as a 16-bit or a 32-bit
// integer, so that it is saved back in the width it came in.
#include <cstdint>
#include <variant>

#include "platform/runtime/property_bag.h"

namespace controls::progressbar {

class HeldInteger {
 public:
  static HeldInteger Narrow(std::int16_t value) { return HeldInteger(value); }
  static HeldInteger Wide(std::int32_t value) { return HeldInteger(value); }
  // A value read from a property bag with an integer default is always one of
  // the two widths.
  static HeldInteger FromProperty(const platform::PropertyValue& stored) {
    if (const auto* narrow = std::get_if<std::int16_t>(&stored)) return Narrow(*narrow);
    return Wide(std::get<std::int32_t>(stored));
  }

  std::int32_t Get() const {
    return std::visit([](auto v) { return static_cast<std::int32_t>(v); }, value_);
  }
  platform::PropertyValue AsProperty() const {
    return std::visit([](auto v) { return platform::PropertyValue(v); }, value_);
  }

 private:
  explicit HeldInteger(std::variant<std::int16_t, std::int32_t> value) : value_(value) {}
  std::variant<std::int16_t, std::int32_t> value_;
};

}  // namespace controls::progressbar
