#pragma once
// What the installer finds at its start: whether the voice is there, and
// whether the installation data to install or repair it is.
#include <string>

namespace installer {

enum class VoiceState {
  Installed,   // the three voice files and the record
  Absent,      // neither a voice file nor the record
  Incomplete,  // anything between
};

struct VoiceStatus {
  VoiceState state = VoiceState::Absent;
  // DATA\Ilvo.yin or DATA\Rar.exe missing, or the program's folder no full
  // path: nothing can be extracted.
  bool dataMissing = false;
  bool operator==(const VoiceStatus&) const = default;
};

// The window's caption: the voice's name, then its state, or only that the
// installation data is missing.
std::string StatusCaption(const VoiceStatus& status);
// The state as one line for a console: the voice's name, its state, and
// that the installation data is missing.
std::string StatusLine(const VoiceStatus& status);

}  // namespace installer
