#pragma once
// Registry service on HKEY_LOCAL_MACHINE through the wide calls, in the
// 32-bit view. Every key handle is opened for one call and closed again.
#include "platform/services.h"

namespace platform::win32 {

class Registry final : public platform::Registry {
 public:
  long OpenKey(const std::string& path) override;
  // The key is created or opened once for all the values, and opened once to
  // read them: one round trip to the registry a value, not three or four.
  // REG_SZ is set as UTF-16 plus one NUL, REG_DWORD as 4 bytes.
  long SetValues(const std::string& path, const std::vector<ValueToStore>& values) override;
  // RegQueryValueExW; a REG_SZ value's UTF-16 is given in UTF-8.
  std::vector<std::optional<RegistryValue>> ReadValues(const std::string& path,
                                                       const std::vector<std::string>& names) override;
  long DeleteKey(const std::string& path) override;
  // RegDeleteTreeW on the key opened in the 32-bit view, then the key itself.
  long DeleteKeyTree(const std::string& path) override;

  // One key or value at a time, for the tests of the calls above.
  long CreateKey(const std::string& path);
  long SetString(const std::string& path, const std::string& name, const std::string& value);
  long SetDword(const std::string& path, const std::string& name, std::uint32_t value);
  std::optional<RegistryValue> ReadValue(const std::string& path, const std::string& name);
};

}  // namespace platform::win32
