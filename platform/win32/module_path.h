#pragma once
// The running program's own file.
#include <string>

namespace platform::win32 {

// GetModuleFileNameW for the program, however long the path; empty when the
// system cannot give it.
std::wstring ModulePath();

}  // namespace platform::win32
