// Uninstall: the record first, then the voice files and their folder.
#include "installer/texts.h"
#include "installer/voice_installer.h"

namespace installer {

using platform::SearchAttributes;

void VoiceInstaller::AskThenUninstall() {
  if (!Idle()) return;  // one operation at a time
  if (!view_.Ask(Question::Uninstall)) return Finish(Outcome::Cancelled(Operation::Uninstall));
  Uninstall();
}

void VoiceInstaller::Uninstall() {
  if (!Idle()) return;
  if (status_.state == VoiceState::Absent) return RemoveEntryLeftAlone();
  const VoicePaths paths = Paths();
  platform::FileSystem& files = services_.files;
  if (const std::optional<std::string> problem = LocationProblem()) {
    return Finish(Outcome::Failure(Operation::Uninstall, *problem));
  }

  // The record is read back: subkeys that others put below the voice key
  // belong to the voice and go with it; a key that stays is reported before
  // any file is touched, so the voice stays usable.
  DeleteVoiceRecord();
  for (const std::string& key : {record::VoiceKey(VoiceIdentity::kVoiceId),
                                 record::UninstallKey(VoiceIdentity::kVoiceName, VoiceIdentity::kVoiceId)}) {
    if (KeyGone(key)) continue;
    services_.registry.DeleteKeyTree(key);
    Mark("record key deleted");
    if (!KeyGone(key)) return Finish(Outcome::Failure(Operation::Uninstall, texts::kCauseRecordStays));
  }
  bool removed = true;
  for (std::string_view ext : kVoiceFileExtensions) {
    const std::string file = paths.VoiceFile(ext);
    if (!FileExists(file)) continue;
    if (!files.DeleteFile(file)) {
      removed = false;
      break;
    }
    Mark("voice file deleted");
  }
  if (removed && !files.Dir(paths.VoiceFolder(), SearchAttributes::Folders).empty()) {
    removed = files.RemoveFolder(paths.VoiceFolder());
    if (removed) Mark("voice folder removed");
  }
  if (!removed) {
    // A file held open, read-only, or another file in the folder: the user's
    // to end or remove; no cause line, no critical icon.
    return Finish({Operation::Uninstall, Outcome::Result::Failed, std::string(texts::kUninstallInUse),
                         platform::MessageIcon::None});
  }
  Finish(Outcome::Success(Operation::Uninstall, texts::kUninstallSucceeded));
}

void VoiceInstaller::RemoveEntryLeftAlone() {
  // The entry in the list of installed programs runs the uninstall: left
  // alone there, it must still be able to go.
  const std::string entry = record::UninstallKey(VoiceIdentity::kVoiceName, VoiceIdentity::kVoiceId);
  if (services_.registry.OpenKey(entry) != 0) return;
  services_.registry.DeleteKeyTree(entry);
  Mark("record key deleted");
  if (!KeyGone(entry)) return Finish(Outcome::Failure(Operation::Uninstall, texts::kCauseRecordStays));
  Finish(Outcome::Success(Operation::Uninstall, texts::kOrphanEntryRemoved));
}

}  // namespace installer
