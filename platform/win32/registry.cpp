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

// The record lives where the 32-bit program's HKEY_LOCAL_MACHINE\Software is,
// which is where the voice host reads it: name that view, so a 64-bit build
// on 64-bit Windows reads and writes the same keys (a 32-bit build on 32-bit
// Windows has only that view).
constexpr REGSAM kView = KEY_WOW64_32KEY;

LONG CreateKeyIn32BitView(const std::string& path, Key& key) {
  return RegCreateKeyExA(HKEY_LOCAL_MACHINE, ToAnsi(path).c_str(), 0, nullptr, 0, MAXIMUM_ALLOWED | kView, nullptr,
                         key.Out(), nullptr);
}

long SetValue(const std::string& path, const std::string& name, DWORD type, const BYTE* data, DWORD size) {
  Key key;
  const LONG created = CreateKeyIn32BitView(path, key);
  if (created != ERROR_SUCCESS) return created;
  return RegSetValueExA(key.Get(), ToAnsi(name).c_str(), 0, type, data, size);
}

}  // namespace

long Registry::OpenKey(const std::string& path) {
  Key key;
  return RegOpenKeyExA(HKEY_LOCAL_MACHINE, ToAnsi(path).c_str(), 0, MAXIMUM_ALLOWED | kView, key.Out());
}

long Registry::CreateKey(const std::string& path) {
  Key key;
  return CreateKeyIn32BitView(path, key);
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
  return RegDeleteKeyExA(HKEY_LOCAL_MACHINE, ToAnsi(path).c_str(), kView, 0);
}

long Registry::DeleteKeyTree(const std::string& path) {
  const std::wstring widePath = Widen(path);
  {
    Key key;
    const LONG opened = RegOpenKeyExW(HKEY_LOCAL_MACHINE, widePath.c_str(), 0,
                                      DELETE | KEY_ENUMERATE_SUB_KEYS | KEY_QUERY_VALUE | KEY_SET_VALUE | kView,
                                      key.Out());
    if (opened != ERROR_SUCCESS) return opened;
    const LONG emptied = RegDeleteTreeW(key.Get(), nullptr);  // subkeys and values; the key stays
    if (emptied != ERROR_SUCCESS) return emptied;
  }
  return RegDeleteKeyExW(HKEY_LOCAL_MACHINE, widePath.c_str(), kView, 0);
}

}  // namespace platform::win32
