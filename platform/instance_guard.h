#pragma once
// The guard against a second copy of the program: a named mutex that every
// copy creates. Kept apart from Windows so that its rules are tested natively.
#include <string>
#include <string_view>

namespace platform {

// Win32 error codes CreateMutexW leaves behind.
inline constexpr unsigned long kErrorAccessDenied = 5;
inline constexpr unsigned long kErrorAlreadyExists = 183;

// In the global namespace, so that copies in every session on the machine
// meet (two users switched in at once must not extract into one folder
// together). A backslash in the name would name a namespace.
inline std::string InstanceGuardName(std::string_view programName) {
  std::string name = "Global\\PrevInstance-";
  for (const char c : programName) name += c == '\\' ? '_' : c;
  return name;
}

// What creating the guard said, as the answer to "does another copy run?".
// A guard that exists but cannot be opened (another user's copy, with
// rights this one lacks) counts as a copy running.
inline bool AnotherCopyRuns(bool created, unsigned long lastError) {
  return created ? lastError == kErrorAlreadyExists : lastError == kErrorAccessDenied;
}

}  // namespace platform
