#include "wine_support.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <filesystem>

#include "platform/win32/text.h"
#include "tests/support/file_bytes.h"
#include "tests/support/wait.h"
#include "tests/support/wine_paths.h"

namespace wine_test {
namespace {

using platform::win32::Narrow;
using platform::win32::ToAnsi;
using platform::win32::Widen;

std::wstring Unique() {
  static int counter = 0;
  return std::to_wstring(GetCurrentProcessId()) + L"-" + std::to_wstring(GetTickCount()) + L"-" +
         std::to_wstring(++counter);
}

}  // namespace

FolderLink::FolderLink(const std::string& link, const std::string& target) : link_(Widen(link)) {
  const std::wstring wideTarget = Widen(target);
  if (CreateSymbolicLinkW(link_.c_str(), wideTarget.c_str(),
                          SYMBOLIC_LINK_FLAG_DIRECTORY | SYMBOLIC_LINK_FLAG_ALLOW_UNPRIVILEGED_CREATE) &&
      IsLink()) {
    made_ = true;
    return;
  }
  unixLink_ = test_support::UnixPath(link_);
  const std::wstring unixTarget = test_support::UnixPath(wideTarget);
  if (!unixLink_.empty() && !unixTarget.empty() && test_support::StartUnix(L"/bin/ln", L"-s " + unixTarget + L" " + unixLink_)) {
    made_ = test_support::WaitUntil([&] { return IsLink(); }, std::chrono::seconds(20));
  }
}

FolderLink::~FolderLink() {
  if (GetFileAttributesW(link_.c_str()) == INVALID_FILE_ATTRIBUTES) return;  // removed by the test
  if (unixLink_.empty()) {
    RemoveDirectoryW(link_.c_str());
  } else if (test_support::StartUnix(L"/bin/rm", L"-f " + unixLink_)) {
    test_support::WaitUntil([&] { return GetFileAttributesW(link_.c_str()) == INVALID_FILE_ATTRIBUTES; },
                            std::chrono::seconds(20));
  }
}

bool FolderLink::IsLink() const {
  const DWORD attributes = GetFileAttributesW(link_.c_str());
  return attributes != INVALID_FILE_ATTRIBUTES && (attributes & FILE_ATTRIBUTE_REPARSE_POINT) != 0;
}

std::string PathArgument(std::size_t index) {
  const std::filesystem::path path = test_support::ArgumentPath(index);
  if (path.empty()) ADD_FAILURE() << "missing command-line argument " << index;
  return Narrow(path.wstring());
}

TempFolder::TempFolder(const std::string& name) {
  wchar_t temp[MAX_PATH + 1] = {};
  GetTempPathW(MAX_PATH, temp);
  std::wstring path = std::wstring(temp) + Widen(name) + L"-" + Unique();
  CreateDirectoryW(path.c_str(), nullptr);
  path_ = Narrow(path);
}

TempFolder::~TempFolder() {
  std::error_code error;
  const std::filesystem::path root(Widen(path_));
  for (auto it = std::filesystem::recursive_directory_iterator(root, error);
       !error && it != std::filesystem::recursive_directory_iterator(); it.increment(error)) {
    SetFileAttributesW(it->path().c_str(), FILE_ATTRIBUTE_NORMAL);
  }
  SetFileAttributesW(root.c_str(), FILE_ATTRIBUTE_NORMAL);
  std::filesystem::remove_all(root, error);
}

void WriteBytes(const std::string& path, const std::string& bytes) {
  HANDLE file = CreateFileW(Widen(path).c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, FILE_ATTRIBUTE_NORMAL,
                            nullptr);
  ASSERT_NE(file, INVALID_HANDLE_VALUE) << path;
  DWORD written = 0;
  WriteFile(file, bytes.data(), static_cast<DWORD>(bytes.size()), &written, nullptr);
  CloseHandle(file);
  ASSERT_EQ(written, bytes.size());
}

std::string ReadBytes(const std::string& path) { return test_support::ReadAll(Widen(path)); }

bool Exists(const std::string& path) { return GetFileAttributesW(Widen(path).c_str()) != INVALID_FILE_ATTRIBUTES; }

void CreateFolder(const std::string& path) {
  std::error_code error;
  std::filesystem::create_directories(std::filesystem::path(Widen(path)), error);
}

void CopyInto(const std::string& from, const std::string& to) {
  ASSERT_TRUE(CopyFileW(Widen(from).c_str(), Widen(to).c_str(), FALSE)) << from << " -> " << to;
}

DWORD Attributes(const std::string& path) { return GetFileAttributesW(Widen(path).c_str()); }

void SetAttributes(const std::string& path, DWORD attributes) {
  ASSERT_TRUE(SetFileAttributesW(Widen(path).c_str(), attributes)) << path;
}

std::vector<std::string> FolderEntries(const std::string& folder) {
  std::vector<std::string> names;
  std::error_code error;
  for (const auto& entry : std::filesystem::directory_iterator(std::filesystem::path(Widen(folder)), error)) {
    names.push_back(Narrow(entry.path().filename().wstring()));
  }
  std::sort(names.begin(), names.end());
  return names;
}

std::uint64_t WriteTime(const std::string& path) {
  WIN32_FILE_ATTRIBUTE_DATA data{};
  if (!GetFileAttributesExW(Widen(path).c_str(), GetFileExInfoStandard, &data)) return 0;
  return (std::uint64_t{data.ftLastWriteTime.dwHighDateTime} << 32) | data.ftLastWriteTime.dwLowDateTime;
}

// The installer's view of HKEY_LOCAL_MACHINE: the 32-bit one, whichever build
// runs the tests. The view applies to the key opened with it, so the tree is
// removed through its parent opened in that view.
void DeleteTree(const std::string& path) {
  const std::size_t split = path.rfind('\\');
  if (split == std::string::npos) return;
  HKEY parent = nullptr;
  if (RegOpenKeyExA(HKEY_LOCAL_MACHINE, ToAnsi(path.substr(0, split)).c_str(), 0, KEY_ALL_ACCESS | KEY_WOW64_32KEY,
                    &parent) != ERROR_SUCCESS)
    return;
  RegDeleteTreeA(parent, ToAnsi(path.substr(split + 1)).c_str());
  RegCloseKey(parent);
}

RawValue ReadValue(const std::string& key, const std::string& name) {
  RawValue value;
  HKEY handle = nullptr;
  if (RegOpenKeyExA(HKEY_LOCAL_MACHINE, ToAnsi(key).c_str(), 0, KEY_READ | KEY_WOW64_32KEY, &handle) != ERROR_SUCCESS) return value;
  DWORD size = 0;
  if (RegQueryValueExA(handle, ToAnsi(name).c_str(), nullptr, &value.type, nullptr, &size) == ERROR_SUCCESS) {
    value.bytes.resize(size);
    RegQueryValueExA(handle, ToAnsi(name).c_str(), nullptr, &value.type,
                     reinterpret_cast<BYTE*>(value.bytes.data()), &size);
    value.bytes.resize(size);
    value.found = true;
  }
  RegCloseKey(handle);
  return value;
}

RawValue ReadWideValue(const std::string& key, const std::string& name) {
  RawValue value;
  HKEY handle = nullptr;
  if (RegOpenKeyExW(HKEY_LOCAL_MACHINE, Widen(key).c_str(), 0, KEY_READ | KEY_WOW64_32KEY, &handle) != ERROR_SUCCESS)
    return value;
  DWORD size = 0;
  if (RegQueryValueExW(handle, Widen(name).c_str(), nullptr, &value.type, nullptr, &size) == ERROR_SUCCESS) {
    value.bytes.resize(size);
    RegQueryValueExW(handle, Widen(name).c_str(), nullptr, &value.type,
                     reinterpret_cast<BYTE*>(value.bytes.data()), &size);
    value.bytes.resize(size);
    value.found = true;
  }
  RegCloseKey(handle);
  return value;
}

std::string Utf16Le(const std::string& utf8) {
  std::string bytes;
  for (const wchar_t unit : Widen(utf8)) {
    bytes += static_cast<char>(unit & 0xFF);
    bytes += static_cast<char>((unit >> 8) & 0xFF);
  }
  return bytes;
}

bool KeyExists(const std::string& key) {
  HKEY handle = nullptr;
  if (RegOpenKeyExA(HKEY_LOCAL_MACHINE, ToAnsi(key).c_str(), 0, KEY_READ | KEY_WOW64_32KEY, &handle) != ERROR_SUCCESS) return false;
  RegCloseKey(handle);
  return true;
}

std::vector<std::string> ValueNames(const std::string& key) {
  std::vector<std::string> names;
  HKEY handle = nullptr;
  if (RegOpenKeyExA(HKEY_LOCAL_MACHINE, ToAnsi(key).c_str(), 0, KEY_READ | KEY_WOW64_32KEY, &handle) != ERROR_SUCCESS) return names;
  for (DWORD i = 0;; ++i) {
    char name[256];
    DWORD length = sizeof name;
    if (RegEnumValueA(handle, i, name, &length, nullptr, nullptr, nullptr, nullptr) != ERROR_SUCCESS) break;
    names.emplace_back(name, length);
  }
  RegCloseKey(handle);
  return names;
}

FileHolder::FileHolder(const std::string& helperPath, const std::string& filePath) {
  const std::wstring id = Unique();
  const std::wstring readyName = L"ilvo-hold-ready-" + id;
  const std::wstring releaseName = L"ilvo-hold-release-" + id;
  HANDLE ready = CreateEventW(nullptr, TRUE, FALSE, readyName.c_str());
  release_ = CreateEventW(nullptr, TRUE, FALSE, releaseName.c_str());
  std::wstring line = L"\"" + Widen(helperPath) + L"\" hold \"" + Widen(filePath) + L"\" " + id;
  STARTUPINFOW startup{};
  startup.cb = sizeof startup;
  PROCESS_INFORMATION info{};
  if (CreateProcessW(Widen(helperPath).c_str(), line.data(), nullptr, nullptr, FALSE, 0, nullptr, nullptr, &startup,
                     &info)) {
    CloseHandle(info.hThread);
    process_ = info.hProcess;
    HANDLE waits[] = {ready, process_};
    holding_ = WaitForMultipleObjects(2, waits, FALSE, 20000) == WAIT_OBJECT_0;
  }
  CloseHandle(ready);
  EXPECT_TRUE(holding_) << "the helper does not hold " << filePath;
}

FileHolder::~FileHolder() {
  SetEvent(release_);
  if (process_ != nullptr) {
    WaitForSingleObject(process_, 20000);
    CloseHandle(process_);
  }
  CloseHandle(release_);
}

DWORD RunAndWait(const std::string& applicationPath, const std::string& commandLine) {
  std::wstring line = Widen(commandLine);
  STARTUPINFOW startup{};
  startup.cb = sizeof startup;
  PROCESS_INFORMATION info{};
  if (!CreateProcessW(Widen(applicationPath).c_str(), line.data(), nullptr, nullptr, FALSE, 0, nullptr, nullptr,
                      &startup, &info)) {
    return ~0u;
  }
  CloseHandle(info.hThread);
  WaitForSingleObject(info.hProcess, 30000);
  DWORD code = ~0u;
  GetExitCodeProcess(info.hProcess, &code);
  CloseHandle(info.hProcess);
  return code;
}

}  // namespace wine_test

