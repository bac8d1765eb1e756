#pragma once
// Paths that ctest hands to a Windows test program are the build machine's;
// under Wine the same file is on drive Z:.
#include <filesystem>
#include <string>

namespace test_support {

std::filesystem::path WindowsPath(const std::string& unixOrWindowsPath);

}  // namespace test_support
