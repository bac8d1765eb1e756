#include "platform/win32/registry.h"

#include <windows.h>

#include "platform/win32/text.h"

namespace platform::win32 {
namespace {

// An open registry key, closed when it goes out of scope.
class Key {
 public:
  Key() = default;
  Key(const Key&) = delete;
  Key& operator=(const Key&) = delete;
  ~Key() {
    if (key_ != nullptr) RegCloseKey(key_);
  }
  HKEY* Out() { return &key_; }
  HKEY Get() const { return key_; }

 private:
  HKEY key_ = nullptr;
};

long SetValue(const std::string& path, const std::string& name, DWORD type, const BYTE* data, DWORD size) {
  Key key;
  const LONG created = RegCreateKeyA(HKEY_LOCAL_MACHINE, ToAnsi(path).c_str(), key.Out());
  if (created != ERROR_SUCCESS) return created;
  return RegSetValueExA(key.Get(), ToAnsi(name).c_str(), 0, type, data, size);
}

}  // namespace

long Registry::OpenKey(const std::string& path) {
  Key key;
  return RegOpenKeyA(HKEY_LOCAL_MACHINE, ToAnsi(path).c_str(), key.Out());
}

long Registry::CreateKey(const std::string& path) {
  Key key;
  return RegCreateKeyA(HKEY_LOCAL_MACHINE, ToAnsi(path).c_str(), key.Out());
}

long Registry::SetString(const std::string& path, const std::string& name, const std::string& value) {
  const std::string ansi = ToAnsi(value);  // the length given is its bytes plus the NUL
  return SetValue(path, name, REG_SZ, reinterpret_cast<const BYTE*>(ansi.c_str()),
                  static_cast<DWORD>(ansi.size() + 1));
}

long Registry::SetDword(const std::string& path, const std::string& name, std::uint32_t value) {
  const DWORD data = value;
  return SetValue(path, name, REG_DWORD, reinterpret_cast<const BYTE*>(&data), sizeof data);
}

long Registry::DeleteKey(const std::string& path) {
  return RegDeleteKeyA(HKEY_LOCAL_MACHINE, ToAnsi(path).c_str());
}

}  // namespace platform::win32
