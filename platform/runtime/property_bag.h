#pragma once
// A control instance's stored properties: named, typed values. Keys match
// without regard to case; a value equal to the default given with it is not
// stored.
#include <cstdint>
#include <map>
#include <optional>
#include <stdexcept>
#include <string>
#include <variant>
#include <vector>

namespace platform {

using PropertyValue = std::variant<bool, std::int16_t, std::int32_t, float, std::string>;

// Raised when a stored value cannot be converted to the type asked for.
class PropertyConversionError : public std::runtime_error {
 public:
  using std::runtime_error::runtime_error;
};

class PropertyBag {
 public:
  // Reads a key; an absent key yields the default. The stored value is
  // converted to the default's type (numbers between widths, "True"/"False"
  // and numbers to booleans, numeric text to numbers); a value that cannot be
  // converted throws PropertyConversionError.
  PropertyValue Read(const std::string& key, const PropertyValue& defaultValue) const;
  bool ReadBool(const std::string& key, bool defaultValue) const;
  std::int32_t ReadInt32(const std::string& key, std::int32_t defaultValue) const;
  std::string ReadString(const std::string& key, const std::string& defaultValue) const;

  // Stores the value unless it equals the default, in which case the key is
  // removed.
  void Write(const std::string& key, const PropertyValue& value, const PropertyValue& defaultValue);

  bool Contains(const std::string& key) const;
  std::optional<PropertyValue> Raw(const std::string& key) const;
  // Stores a value as it stands (used by the design data reader).
  void Set(const std::string& key, PropertyValue value);
  // Keys in lower case, in sorted order, with their values.
  const std::map<std::string, PropertyValue>& Entries() const { return entries_; }

 private:
  std::map<std::string, PropertyValue> entries_;
};

bool operator==(const PropertyBag& a, const PropertyBag& b);

}  // namespace platform
