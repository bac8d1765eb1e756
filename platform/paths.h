#pragma once
// Rules for Windows path text that the installer relies on, kept apart from
// Windows so that they are tested natively.
#include <cstddef>
#include <string>
#include <string_view>

namespace platform {

// A folder path that names one place whatever the current folder and the
// current drive are: "X:\..." or "\\server\share[\...]". Relative paths,
// "X:" without a backslash, "\folder", device paths ("\\?\...", "\\.\...")
// and a bare "UNC\server\share" are not.
inline bool IsAbsoluteFolder(std::string_view path) {
  const auto isLetter = [](char c) { return (c >= 'A' && c <= 'Z') || (c >= 'a' && c <= 'z'); };
  if (path.size() >= 3 && isLetter(path[0]) && path[1] == ':' && path[2] == '\\') return true;
  if (path.substr(0, 2) != "\\\\") return false;
  const std::string_view rest = path.substr(2);
  const std::size_t serverEnd = rest.find('\\');
  if (serverEnd == 0 || serverEnd == std::string_view::npos) return false;
  const std::string_view server = rest.substr(0, serverEnd);
  if (server == "?" || server == ".") return false;
  const std::string_view share = rest.substr(serverEnd + 1);
  return !share.empty() && share.front() != '\\';
}

// The same path without the extended-length prefix: "\\?\C:\x" -> "C:\x",
// "\\?\UNC\server\share" -> "\\server\share"; other paths unchanged.
inline std::string WithoutExtendedPrefix(std::string_view path) {
  constexpr std::string_view kUnc = "\\\\?\\UNC\\";
  constexpr std::string_view kExtended = "\\\\?\\";
  if (path.substr(0, kUnc.size()) == kUnc) return "\\\\" + std::string(path.substr(kUnc.size()));
  if (path.substr(0, kExtended.size()) == kExtended) return std::string(path.substr(kExtended.size()));
  return std::string(path);
}

// Joins a folder and a name with one backslash, whether or not the folder
// already ends in one (a drive root does).
inline std::string JoinPath(std::string_view folder, std::string_view name) {
  std::string joined(folder);
  if (!joined.empty() && joined.back() != '\\') joined += '\\';
  return joined.append(name);
}

// Windows compares paths without regard to case; the names the installer
// checks are ASCII, and the rest of each path comes from the same system
// call on both sides, so ASCII folding is enough here.
inline bool SamePathText(std::string_view a, std::string_view b) {
  if (a.size() != b.size()) return false;
  const auto fold = [](char c) { return c >= 'a' && c <= 'z' ? static_cast<char>(c - 'a' + 'A') : c; };
  for (std::size_t i = 0; i < a.size(); ++i) {
    if (fold(a[i]) != fold(b[i])) return false;
  }
  return true;
}

}  // namespace platform
