#include "installer/registration.h"

#include <algorithm>
#include <cstdio>

#include "installer/product_version.h"
#include "installer/voice_identity.h"

namespace installer::registration {
namespace {

using platform::kRegDword;
using platform::kRegSz;

platform::ValueToStore Text(std::string_view name, std::string text) {
  return {std::string(name), kRegSz, std::move(text), 0};
}
platform::ValueToStore Number(std::string_view name, std::uint32_t number) {
  return {std::string(name), kRegDword, {}, number};
}

std::string Quoted(const std::string& text) { return "\"" + text + "\""; }

}  // namespace

std::vector<Key> Record(const Install& install) {
  const std::string name = record::NameText(VoiceIdentity::kVoiceName);
  return {
      {std::string(record::kParentKey), {Text(record::kVoiceDir, install.folder)}},
      {record::VoiceKey(VoiceIdentity::kVoiceId),
       {
           Number(record::kInstalled, 1),
           Text(record::kName, name),
           Text(record::kTime, std::string(record::kTimeText)),
           Text(record::kDrp, std::string(VoiceIdentity::kDrpValue)),
           Text(record::kInstallDir, install.folder),
       }},
  };
}

Key UninstallEntry(const Install& install) {
  // The list starts the program itself to uninstall: it asks nothing then
  // and shows only its result, or nothing at all with /quiet.
  const std::string uninstall = Quoted(install.programPath) + " /uninstall";
  const auto kib = static_cast<std::uint32_t>(std::min<std::uint64_t>((install.voiceBytes + 1023) / 1024, 0xFFFFFFFFu));
  return {record::UninstallKey(VoiceIdentity::kVoiceName, VoiceIdentity::kVoiceId),
          {
              Text("DisplayName", record::NameText(VoiceIdentity::kVoiceName)),
              Text("DisplayIcon", install.programPath),
              Text("DisplayVersion", std::string(product::kVersion)),
              Text("Publisher", std::string(product::kPublisher)),
              Text("InstallLocation", install.folder),
              Text("UninstallString", uninstall),
              Text("QuietUninstallString", uninstall + " /quiet"),
              Number("EstimatedSize", kib),
              Number("NoModify", 1),
              Number("NoRepair", 1),
          }};
}

std::vector<Key> All(const Install& install) {
  std::vector<Key> keys = Record(install);
  keys.push_back(UninstallEntry(install));
  return keys;
}

std::vector<std::string> ExportLines(const std::vector<Key>& keys, bool sixtyFourBitWindows) {
  std::vector<std::string> lines{"Windows Registry Editor Version 5.00", ""};
  for (const Key& key : keys) {
    lines.push_back("[HKEY_LOCAL_MACHINE\\" + (sixtyFourBitWindows ? record::In32BitViewFrom64Bit(key.path) : key.path) +
                    "]");
    for (const platform::ValueToStore& value : key.values) {
      if (value.type == kRegDword) {
        char number[16];
        std::snprintf(number, sizeof number, "%08x", static_cast<unsigned>(value.number));
        lines.push_back(Quoted(value.name) + "=dword:" + number);
      } else {
        lines.push_back(Quoted(value.name) + "=" + Quoted(DoubleBackslashes(value.text)));
      }
    }
    lines.emplace_back();
  }
  return lines;
}

std::string DoubleBackslashes(std::string_view text) {
  std::string doubled;
  for (const char c : text) {
    doubled += c;
    if (c == '\\') doubled += '\\';
  }
  return doubled;
}

}  // namespace installer::registration
