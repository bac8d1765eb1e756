#pragma once
// Registry service on HKEY_LOCAL_MACHINE through the ANSI calls.
// Every key handle is opened for one call and closed again.
#include "platform/services.h"

namespace platform::win32 {

class Registry final : public platform::Registry {
 public:
  long OpenKey(const std::string& path) override;
  long CreateKey(const std::string& path) override;
  // The key is created or opened with RegCreateKeyA, then the value is set
  // with RegSetValueExA: REG_SZ as ANSI bytes plus the NUL, REG_DWORD as 4 bytes.
  long SetString(const std::string& path, const std::string& name, const std::string& value) override;
  long SetDword(const std::string& path, const std::string& name, std::uint32_t value) override;
  long DeleteKey(const std::string& path) override;
  // RegDeleteTreeW on the key opened in the 32-bit view, then the key itself.
  long DeleteKeyTree(const std::string& path) override;
};

}  // namespace platform::win32
