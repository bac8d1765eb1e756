#include "platform/win32/registry.h"

#include <windows.h>

#include "platform/win32/text.h"
#include "platform/win32/unique_handle.h"

namespace platform::win32 {
namespace {

void CloseKey(HKEY key) { RegCloseKey(key); }
// An open registry key, closed when it goes out of scope.
using Key = UniqueHandle<HKEY, &CloseKey>;

// The record lives where the 32-bit program's HKEY_LOCAL_MACHINE\Software is,
// which is where the voice host reads it: name that view, so a 64-bit build
// on 64-bit Windows reads and writes the same keys (a 32-bit build on 32-bit
// Windows has only that view).
constexpr REGSAM kView = KEY_WOW64_32KEY;

LONG CreateKeyIn32BitView(const std::string& path, Key& key) {
  return RegCreateKeyExW(HKEY_LOCAL_MACHINE, Widen(path).c_str(), 0, nullptr, 0, MAXIMUM_ALLOWED | kView, nullptr,
                         key.Out(), nullptr);
}

long SetValue(const std::string& path, const std::string& name, DWORD type, const BYTE* data, DWORD size) {
  Key key;
  const LONG created = CreateKeyIn32BitView(path, key);
  if (created != ERROR_SUCCESS) return created;
  return RegSetValueExW(key.Get(), Widen(name).c_str(), 0, type, data, size);
}

}  // namespace

long Registry::OpenKey(const std::string& path) {
  Key key;
  return RegOpenKeyExW(HKEY_LOCAL_MACHINE, Widen(path).c_str(), 0, MAXIMUM_ALLOWED | kView, key.Out());
}

long Registry::CreateKey(const std::string& path) {
  Key key;
  return CreateKeyIn32BitView(path, key);
}

long Registry::SetString(const std::string& path, const std::string& name, const std::string& value) {
  // The wide call keeps every character; for text the ANSI code page holds,
  // Windows stores the same as the ANSI call with its ANSI bytes plus the NUL.
  const std::wstring wide = Widen(value);
  return SetValue(path, name, REG_SZ, reinterpret_cast<const BYTE*>(wide.c_str()),
                  static_cast<DWORD>((wide.size() + 1) * sizeof(wchar_t)));
}

long Registry::SetDword(const std::string& path, const std::string& name, std::uint32_t value) {
  const DWORD data = value;
  return SetValue(path, name, REG_DWORD, reinterpret_cast<const BYTE*>(&data), sizeof data);
}

long Registry::DeleteKey(const std::string& path) {
  return RegDeleteKeyExW(HKEY_LOCAL_MACHINE, Widen(path).c_str(), kView, 0);
}

std::optional<RegistryValue> Registry::ReadValue(const std::string& path, const std::string& name) {
  Key key;
  if (RegOpenKeyExW(HKEY_LOCAL_MACHINE, Widen(path).c_str(), 0, KEY_QUERY_VALUE | kView, key.Out()) !=
      ERROR_SUCCESS) {
    return std::nullopt;
  }
  const std::wstring wideName = Widen(name);
  DWORD type = 0;
  DWORD size = 0;
  if (RegQueryValueExW(key.Get(), wideName.c_str(), nullptr, &type, nullptr, &size) != ERROR_SUCCESS) {
    return std::nullopt;
  }
  std::string bytes(size, '\0');
  if (RegQueryValueExW(key.Get(), wideName.c_str(), nullptr, &type, reinterpret_cast<BYTE*>(bytes.data()), &size) !=
      ERROR_SUCCESS) {
    return std::nullopt;
  }
  bytes.resize(size);
  if (type != REG_SZ || size % sizeof(wchar_t) != 0) return RegistryValue{type, bytes};
  std::wstring text(size / sizeof(wchar_t), L'\0');
  bytes.copy(reinterpret_cast<char*>(text.data()), size);
  return RegistryValue{type, Narrow(text)};
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
