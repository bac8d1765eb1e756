#pragma once
// Paths that ctest hands to a Windows test program are the build machine's;
// under Wine the same file is on drive Z:.
#include <cstddef>
#include <filesystem>
#include <string>

namespace test_support {

std::filesystem::path WindowsPath(const std::string& unixOrWindowsPath);

// The test program's arguments after Google Test has taken its own: kept by
// the shared main (e2e_main.cpp), read by each program as it needs them.
void KeepArguments(int argc, char** argv);
// The argument at index (0: the first after the program name) as a Windows
// path; empty when there is none.
std::filesystem::path ArgumentPath(std::size_t index);

// The Unix path Wine gives a Windows path; empty when it gives none.
std::wstring UnixPath(const std::filesystem::path& windowsPath);
// Starts a Unix program by its Unix path (Wine runs it from Z:). Wine
// neither waits for it nor reports its exit code, so the caller watches for
// its effect; Wine hands the arguments on split at spaces.
bool StartUnix(const std::wstring& program, const std::wstring& arguments);

}  // namespace test_support
