#pragma once
// Every key and value the installer writes to the registry, from one list:
// the host's record (VOICEDIR on its parent key, then the voice key) and the
// voice's entry in the system's list of installed programs. The installer
// writes and reads back exactly these, and the export spells the record's
// keys and values from the same list. Pure functions: no registry, no files.
#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

#include "platform/services.h"

namespace installer::registration {

// One key, below HKEY_LOCAL_MACHINE, with its values in the order written.
struct Key {
  std::string path;
  std::vector<platform::ValueToStore> values;
};

// What the registration says of this machine.
struct Install {
  std::string folder;       // the application folder, as the platform gives it
  std::string programPath;  // the installer itself, which the list starts to uninstall
  std::uint64_t voiceBytes = 0;  // the three voice files together
};

// The host's record: the parent key, then the voice key.
std::vector<Key> Record(const Install& install);
// The entry in the list of installed programs.
Key UninstallEntry(const Install& install);
// Both, as they are written and read back.
std::vector<Key> All(const Install& install);

// The registry-import text of keys, a line each without its CR LF. On 64-bit
// Windows a double-click starts the 64-bit registry editor, which must be
// told the 32-bit view the record lives in.
std::vector<std::string> ExportLines(const std::vector<Key>& keys, bool sixtyFourBitWindows);
// Text as a registry-import string holds it: every backslash doubled.
std::string DoubleBackslashes(std::string_view text);

}  // namespace installer::registration
