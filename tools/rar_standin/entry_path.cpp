#include "tools/rar_standin/entry_path.h"

#include <algorithm>
#include <array>

namespace rar_standin {
namespace {

bool IsSeparator(char c) { return c == '/' || c == '\\'; }

std::string AsciiUpper(std::string_view text) {
  std::string upper(text);
  std::transform(upper.begin(), upper.end(), upper.begin(),
                 [](char c) { return c >= 'a' && c <= 'z' ? static_cast<char>(c - 'a' + 'A') : c; });
  return upper;
}

// CON, NUL, COM1... open a device on Windows whatever extension follows.
bool IsDeviceName(std::string_view component) {
  static constexpr std::array<std::string_view, 22> kDevices = {
      "CON",  "PRN",  "AUX",  "NUL",  "COM1", "COM2", "COM3", "COM4", "COM5", "COM6", "COM7",
      "COM8", "COM9", "LPT1", "LPT2", "LPT3", "LPT4", "LPT5", "LPT6", "LPT7", "LPT8", "LPT9"};
  std::string_view stem = component.substr(0, component.find('.'));
  while (!stem.empty() && stem.back() == ' ') stem.remove_suffix(1);
  const std::string upper = AsciiUpper(stem);
  return std::find(kDevices.begin(), kDevices.end(), upper) != kDevices.end();
}

// Reason the component cannot be written as given; empty when it can.
std::string ComponentProblem(std::string_view component) {
  if (component == "..") return "it leaves the destination folder (\"..\")";
  for (const char c : component) {
    const auto byte = static_cast<unsigned char>(c);
    if (byte < 0x20) return "it contains a control character";
    if (c == ':') return "it names a drive or a stream (\":\")";
    if (std::string_view("<>\"|?*").find(c) != std::string_view::npos) {
      return std::string("it contains the character '") + c + "'";
    }
  }
  // Windows drops trailing dots and spaces, so "..." or "a." would not land
  // where the name says.
  if (component.back() == '.' || component.back() == ' ') return "a name ends in a dot or a space";
  if (IsDeviceName(component)) return "it names a device";
  return {};
}

}  // namespace

std::variant<EntryPath, UnsafeEntryPath> ParseEntryPath(std::string_view name) {
  if (name.empty()) return UnsafeEntryPath{"the entry has no name"};
  if (IsSeparator(name.front())) return UnsafeEntryPath{"the path is absolute"};
  if (name.size() >= 2 && name[1] == ':') return UnsafeEntryPath{"the path starts with a drive"};

  EntryPath path;
  path.isDirectory = IsSeparator(name.back());
  std::size_t start = 0;
  while (start <= name.size()) {
    std::size_t end = start;
    while (end < name.size() && !IsSeparator(name[end])) ++end;
    const std::string_view component = name.substr(start, end - start);
    if (!component.empty() && component != ".") {
      std::string problem = ComponentProblem(component);
      if (!problem.empty()) return UnsafeEntryPath{std::move(problem)};
      path.components.emplace_back(component);
    }
    start = end + 1;
  }
  if (path.components.empty()) return UnsafeEntryPath{"the path names no file or folder"};
  return path;
}

}  // namespace rar_standin
