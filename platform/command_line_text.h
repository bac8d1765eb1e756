#pragma once
// The raw command line Windows gives a program, before it is split.
#include <string_view>

namespace platform {

// Whether anything but blanks follows the program's name, read as the
// system's splitting reads it: quoted, up to the next quote, else up to the
// first space or tab.
inline bool HasArgumentsAfterProgramName(std::wstring_view commandLine) {
  std::size_t end = 0;
  if (!commandLine.empty() && commandLine.front() == L'"') {
    const std::size_t quote = commandLine.find(L'"', 1);
    end = quote == std::wstring_view::npos ? commandLine.size() : quote + 1;
  } else {
    end = commandLine.find_first_of(L" \t");
    if (end == std::wstring_view::npos) end = commandLine.size();
  }
  return commandLine.find_first_not_of(L" \t", end) != std::wstring_view::npos;
}

}  // namespace platform
