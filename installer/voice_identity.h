#pragma once
// The voice bank this installer carries, the paths below the application
// folder and the layout of its registration record.
// Every fixed name and path of the installer is here, once.
#include <string>
#include <string_view>

namespace installer {

struct VoiceIdentity {
  static constexpr std::string_view kVoiceId = "KT3WQ8ZRMD5LXNVC";
  static constexpr std::string_view kVoiceName = "Ilvo";
  static constexpr std::string_view kDrpValue = "050010";
};

// Paths derived from AppDir (the application folder plus one backslash,
// whatever the folder ends in), VoiceId and VoiceName.
struct VoicePaths {
  std::string appDir;
  std::string voiceId;
  std::string voiceName;

  std::string VoiceBase() const { return appDir + voiceId + "\\" + voiceName; }
  // ext with its dot: ".vvd", ".ddi", ".ddb"
  std::string VoiceFile(std::string_view ext) const { return VoiceBase() + std::string(ext); }
  std::string VoiceFolder() const { return appDir + voiceId; }
  std::string Archive() const { return appDir + "DATA\\" + voiceName + ".yin"; }
  std::string Extractor() const { return appDir + "DATA\\Rar.exe"; }
  std::string ExportFile() const { return appDir + voiceName + ".reg"; }
  // The export's new text, before it takes the old file's place; one left by
  // an export cut short is removed at the next start.
  std::string ExportNext() const { return ExportFile() + ".new"; }
  // Where an install or repair extracts to before its files take their
  // places (staging_folder.h).
  std::string Staging() const { return appDir + voiceName + ".staging"; }
};

// The three voice files, in the order they are tested and deleted.
inline constexpr std::string_view kVoiceFileExtensions[] = {".vvd", ".ddi", ".ddb"};

// The registration record, all below HKEY_LOCAL_MACHINE.
namespace record {

inline constexpr std::string_view kHost = "TIRELUNA2";
inline constexpr std::string_view kParentKey = "Software\\TIRELUNA2\\DATABASE\\VOICE";
inline constexpr std::string_view kSubkeyOnDelete = "vvoice";
inline constexpr std::string_view kVoiceDir = "VOICEDIR";
inline constexpr std::string_view kInstalled = "INSTALLED";
inline constexpr std::string_view kName = "NAME";
inline constexpr std::string_view kTime = "TIME";
inline constexpr std::string_view kDrp = "DRP";
inline constexpr std::string_view kInstallDir = "INSTALLDIR";
inline constexpr std::string_view kTimeText = "R4NXC8VJ2TQM6WHE";

inline std::string VoiceKey(std::string_view voiceId) { return std::string(kParentKey) + "\\" + std::string(voiceId); }
// The same key as a 64-bit program on 64-bit Windows names it: the record
// lives in the 32-bit view, which such a program reaches below WOW6432Node.
inline std::string In32BitViewFrom64Bit(std::string_view key) {
  constexpr std::string_view kSoftware = "Software\\";
  return std::string(kSoftware) + "WOW6432Node\\" + std::string(key.substr(kSoftware.size()));
}
inline std::string NameText(std::string_view voiceName) {
  return "TIRELUNA2 Voice DB (" + std::string(voiceName) + ")";
}

// The voice's entry in the system's list of installed programs (Settings,
// Programs and Features), written and removed with the record, in the same
// view of the registry.
inline constexpr std::string_view kUninstallParentKey = "Software\\Microsoft\\Windows\\CurrentVersion\\Uninstall";
inline std::string UninstallKey(std::string_view voiceName, std::string_view voiceId) {
  return std::string(kUninstallParentKey) + "\\" + std::string(voiceName) + "_" + std::string(voiceId);
}

}  // namespace record
}  // namespace installer
