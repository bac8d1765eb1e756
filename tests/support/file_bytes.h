#pragma once
// A whole file read back as bytes, for comparing what a program wrote.
#include <filesystem>
#include <string>

namespace test_support {

// Every byte of the file; empty when it cannot be opened. Shares the file
// with writers and deleters, so a file a program still holds can be read.
std::string ReadAll(const std::filesystem::path& path);

}  // namespace test_support
