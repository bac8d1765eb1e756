#include "installer/voice_status.h"

#include "installer/texts.h"
#include "installer/voice_identity.h"

namespace installer {
namespace {

std::string_view StateText(VoiceState state) {
  switch (state) {
    case VoiceState::Installed: return texts::kCaptionInstalled;
    case VoiceState::Absent: return texts::kCaptionAbsent;
    case VoiceState::Incomplete: break;
  }
  return texts::kCaptionIncomplete;
}

}  // namespace

std::string StatusCaption(const VoiceStatus& status) {
  return std::string(VoiceIdentity::kVoiceName) +
         std::string(status.dataMissing ? texts::kCaptionArchiveMissing : StateText(status.state));
}

std::string StatusLine(const VoiceStatus& status) {
  std::string line = std::string(VoiceIdentity::kVoiceName) + std::string(StateText(status.state));
  if (status.dataMissing) line += texts::kCaptionArchiveMissing;
  return line;
}

}  // namespace installer
