#include "tests/support/wine_paths.h"

#include <windows.h>

#include <algorithm>
#include <vector>

namespace test_support {

std::filesystem::path WindowsPath(const std::string& path) {
  if (path.empty() || path[0] != '/') return std::filesystem::path(path);
  std::string windows = "Z:" + path;
  std::replace(windows.begin(), windows.end(), '/', '\\');
  return std::filesystem::path(windows);
}

namespace {

std::vector<std::string>& Arguments() {
  static std::vector<std::string> arguments;
  return arguments;
}

}  // namespace

void KeepArguments(int argc, char** argv) { Arguments().assign(argv + std::min(argc, 1), argv + argc); }

std::filesystem::path ArgumentPath(std::size_t index) {
  const auto& arguments = Arguments();
  return index < arguments.size() ? WindowsPath(arguments[index]) : std::filesystem::path();
}

std::wstring UnixPath(const std::filesystem::path& windowsPath) {
  using ToUnix = char*(CDECL*)(const wchar_t*);
  auto toUnix = reinterpret_cast<ToUnix>(
      reinterpret_cast<void*>(GetProcAddress(GetModuleHandleW(L"kernel32.dll"), "wine_get_unix_file_name")));
  if (!toUnix) return {};
  char* unix = toUnix(windowsPath.c_str());
  if (!unix) return {};
  const std::wstring path = std::filesystem::u8path(unix).wstring();
  HeapFree(GetProcessHeap(), 0, unix);
  return path;
}

bool StartUnix(const std::wstring& program, const std::wstring& arguments) {
  std::wstring commandLine = program + L" " + arguments;
  STARTUPINFOW startup{};
  startup.cb = sizeof startup;
  PROCESS_INFORMATION info{};
  const std::wstring exe = L"Z:" + program;
  if (!CreateProcessW(exe.c_str(), commandLine.data(), nullptr, nullptr, FALSE, 0, nullptr, nullptr, &startup,
                      &info)) {
    return false;
  }
  CloseHandle(info.hThread);
  CloseHandle(info.hProcess);
  return true;
}

}  // namespace test_support
