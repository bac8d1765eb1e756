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

}  // namespace platform
