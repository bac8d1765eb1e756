#include "platform/runtime/property_bag.h"

#include <algorithm>
#include <cctype>
#include <charconv>
#include <cmath>
#include <limits>

namespace platform {
namespace {

std::string LowerCase(std::string key) {
  std::transform(key.begin(), key.end(), key.begin(),
                 [](unsigned char c) { return static_cast<char>(std::tolower(c)); });
  return key;
}

// The stored value as a number, when it is one or numeric text.
std::optional<double> AsNumber(const PropertyValue& value) {
  if (const auto* b = std::get_if<bool>(&value)) return *b ? -1.0 : 0.0;  // True is -1, as stored booleans are
  if (const auto* i16 = std::get_if<std::int16_t>(&value)) return *i16;
  if (const auto* i32 = std::get_if<std::int32_t>(&value)) return *i32;
  if (const auto* f = std::get_if<float>(&value)) return *f;
  const auto& text = std::get<std::string>(value);
  double number = 0;
  const char* first = text.data();
  const char* last = text.data() + text.size();
  while (first < last && *first == ' ') ++first;
  auto [end, error] = std::from_chars(first, last, number);
  if (error != std::errc() || end != last || first == last) return std::nullopt;
  return number;
}

[[noreturn]] void ConversionFailed(const std::string& key) {
  throw PropertyConversionError("property '" + key + "' holds a value of the wrong type");
}

template <typename Int>
Int ToInteger(const std::string& key, double number) {
  double rounded = std::nearbyint(number);
  // Written as "not inside" so that NaN, which compares false, is refused too.
  if (!(rounded >= static_cast<double>(std::numeric_limits<Int>::min()) &&
        rounded <= static_cast<double>(std::numeric_limits<Int>::max())))
    throw PropertyConversionError("property '" + key + "' is out of range");
  return static_cast<Int>(rounded);
}

PropertyValue Convert(const std::string& key, const PropertyValue& stored, const PropertyValue& like) {
  if (std::holds_alternative<std::string>(like)) {
    if (const auto* text = std::get_if<std::string>(&stored)) return *text;
    if (const auto* b = std::get_if<bool>(&stored)) return std::string(*b ? "True" : "False");
    auto number = AsNumber(stored);
    std::string text = std::to_string(*number);
    if (std::holds_alternative<float>(stored)) {
      char buffer[32];
      auto [end, ec] = std::to_chars(buffer, buffer + sizeof buffer, std::get<float>(stored));
      text.assign(buffer, end);
    } else {
      text = std::to_string(static_cast<long long>(*number));
    }
    return text;
  }
  if (std::holds_alternative<bool>(like)) {
    if (const auto* text = std::get_if<std::string>(&stored)) {
      std::string lower = LowerCase(*text);
      if (lower == "true") return true;
      if (lower == "false") return false;
    }
    auto number = AsNumber(stored);
    if (!number) ConversionFailed(key);
    return *number != 0;
  }
  auto number = AsNumber(stored);
  if (!number) ConversionFailed(key);
  if (std::holds_alternative<std::int16_t>(like)) return ToInteger<std::int16_t>(key, *number);
  if (std::holds_alternative<std::int32_t>(like)) return ToInteger<std::int32_t>(key, *number);
  return static_cast<float>(*number);
}

bool SameValue(const PropertyValue& a, const PropertyValue& b) {
  const bool aText = std::holds_alternative<std::string>(a);
  const bool bText = std::holds_alternative<std::string>(b);
  if (aText || bText) return aText && bText && std::get<std::string>(a) == std::get<std::string>(b);
  return *AsNumber(a) == *AsNumber(b);
}

}  // namespace

PropertyValue PropertyBag::Read(const std::string& key, const PropertyValue& defaultValue) const {
  auto found = entries_.find(LowerCase(key));
  if (found == entries_.end()) return defaultValue;
  // A stored number keeps the width it was stored in, unless the default asks
  // for text, a boolean or a real number.
  const PropertyValue& stored = found->second;
  const bool storedInteger =
      std::holds_alternative<std::int16_t>(stored) || std::holds_alternative<std::int32_t>(stored);
  const bool wantInteger =
      std::holds_alternative<std::int16_t>(defaultValue) || std::holds_alternative<std::int32_t>(defaultValue);
  if (storedInteger && wantInteger) return stored;
  return Convert(key, stored, defaultValue);
}

bool PropertyBag::ReadBool(const std::string& key, bool defaultValue) const {
  return std::get<bool>(Convert(key, Read(key, defaultValue), false));
}

std::int32_t PropertyBag::ReadInt32(const std::string& key, std::int32_t defaultValue) const {
  return std::get<std::int32_t>(Convert(key, Read(key, defaultValue), std::int32_t{0}));
}

std::string PropertyBag::ReadString(const std::string& key, const std::string& defaultValue) const {
  return std::get<std::string>(Convert(key, Read(key, defaultValue), std::string()));
}

void PropertyBag::Write(const std::string& key, const PropertyValue& value, const PropertyValue& defaultValue) {
  if (SameValue(value, defaultValue))
    entries_.erase(LowerCase(key));
  else
    entries_[LowerCase(key)] = value;
}

bool PropertyBag::Contains(const std::string& key) const { return entries_.count(LowerCase(key)) != 0; }

std::optional<PropertyValue> PropertyBag::Raw(const std::string& key) const {
  auto found = entries_.find(LowerCase(key));
  if (found == entries_.end()) return std::nullopt;
  return found->second;
}

void PropertyBag::Set(const std::string& key, PropertyValue value) { entries_[LowerCase(key)] = std::move(value); }

bool operator==(const PropertyBag& a, const PropertyBag& b) { return a.Entries() == b.Entries(); }

}  // namespace platform
