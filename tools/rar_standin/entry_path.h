#pragma once
// The path an archive entry asks to be written to, checked before anything is
// written: it must stay below the destination on every platform.
#include <string>
#include <string_view>
#include <variant>
#include <vector>

namespace rar_standin {

struct EntryPath {
  std::vector<std::string> components;  // UTF-8, never empty
  bool isDirectory = false;
};

struct UnsafeEntryPath {
  std::string reason;
};

// Accepts '/' and '\' as separators; rejects absolute paths, drive letters and
// "..", and names Windows would silently change or treat as devices.
std::variant<EntryPath, UnsafeEntryPath> ParseEntryPath(std::string_view name);

}  // namespace rar_standin
