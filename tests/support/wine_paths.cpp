#include "tests/support/wine_paths.h"

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

}  // namespace test_support
