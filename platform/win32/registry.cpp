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

// REG_SZ as UTF-16 with one NUL (the wide call keeps every character; for
// text the ANSI code page holds, Windows stores the same as the ANSI call with
// its ANSI bytes plus the NUL), REG_DWORD as 4 bytes.
LONG Store(HKEY key, const ValueToStore& value) {
  if (value.type == kRegDword) {
    const DWORD data = value.number;
    return RegSetValueExW(key, Widen(value.name).c_str(), 0, REG_DWORD, reinterpret_cast<const BYTE*>(&data),
                          sizeof data);
  }
  const std::wstring wide = Widen(value.text);
  return RegSetValueExW(key, Widen(value.name).c_str(), 0, REG_SZ, reinterpret_cast<const BYTE*>(wide.c_str()),
                        static_cast<DWORD>((wide.size() + 1) * sizeof(wchar_t)));
}

LONG OpenToRead(const std::string& path, Key& key) {
  return RegOpenKeyExW(HKEY_LOCAL_MACHINE, Widen(path).c_str(), 0, KEY_QUERY_VALUE | kView, key.Out());
}

std::optional<RegistryValue> Read(HKEY key, const std::string& name) {
  const std::wstring wideName = Widen(name);
  DWORD type = 0;
  // Most values fit the first try; a larger one is asked for again at its size.
  std::string bytes(512, '\0');
  auto size = static_cast<DWORD>(bytes.size());
  LONG read = RegQueryValueExW(key, wideName.c_str(), nullptr, &type, reinterpret_cast<BYTE*>(bytes.data()), &size);
  if (read == ERROR_MORE_DATA) {
    bytes.resize(size);
    read = RegQueryValueExW(key, wideName.c_str(), nullptr, &type, reinterpret_cast<BYTE*>(bytes.data()), &size);
  }
  if (read != ERROR_SUCCESS) return std::nullopt;
  bytes.resize(size);
  if (type != REG_SZ || size % sizeof(wchar_t) != 0) return RegistryValue{type, bytes};
  std::wstring text(size / sizeof(wchar_t), L'\0');
  bytes.copy(reinterpret_cast<char*>(text.data()), size);
  return RegistryValue{type, Narrow(text)};
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
  return SetValues(path, {{name, kRegSz, value, 0}});
}

long Registry::SetDword(const std::string& path, const std::string& name, std::uint32_t value) {
  return SetValues(path, {{name, kRegDword, {}, value}});
}

long Registry::SetValues(const std::string& path, const std::vector<ValueToStore>& values) {
  Key key;
  const LONG created = CreateKeyIn32BitView(path, key);
  if (created != ERROR_SUCCESS) return created;
  LONG result = ERROR_SUCCESS;
  for (const ValueToStore& value : values) {
    const LONG stored = Store(key.Get(), value);
    if (result == ERROR_SUCCESS) result = stored;
  }
  return result;
}

long Registry::DeleteKey(const std::string& path) {
  return RegDeleteKeyExW(HKEY_LOCAL_MACHINE, Widen(path).c_str(), kView, 0);
}

std::optional<RegistryValue> Registry::ReadValue(const std::string& path, const std::string& name) {
  Key key;
  if (OpenToRead(path, key) != ERROR_SUCCESS) return std::nullopt;
  return Read(key.Get(), name);
}

std::vector<std::optional<RegistryValue>> Registry::ReadValues(const std::string& path,
                                                               const std::vector<std::string>& names) {
  std::vector<std::optional<RegistryValue>> values(names.size());
  Key key;
  if (OpenToRead(path, key) != ERROR_SUCCESS) return values;
  for (std::size_t i = 0; i < names.size(); ++i) values[i] = Read(key.Get(), names[i]);
  return values;
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
