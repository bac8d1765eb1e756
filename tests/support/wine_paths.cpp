#include "tests/support/wine_paths.h"

#include <algorithm>

namespace test_support {

std::filesystem::path WindowsPath(const std::string& path) {
  if (path.empty() || path[0] != '/') return std::filesystem::path(path);
  std::string windows = "Z:" + path;
  std::replace(windows.begin(), windows.end(), '/', '\\');
  return std::filesystem::path(windows);
}

}  // namespace test_support
