// Start-up: what the voice's state is, in the window and in every switch.
#include "installer/texts.h"
#include "installer/voice_installer.h"
#include "platform/paths.h"

namespace installer {

StartResult VoiceInstaller::Start() {
  appDir_ = services_.app.Folder() + "\\";

  // A second copy touches neither the files nor the registry: the first may
  // be extracting into them right now.
  if (services_.app.PreviousInstance()) return StartResult::AnotherCopyRuns;

  // What an attempt cut short extracted goes before anything else. It never
  // reached the voice folder, so the voice is what its files say even when
  // the folder cannot go yet; the next attempt then says so.
  if (platform::IsAbsoluteFolder(appDir_)) {
    Staging().Remove();
    RemoveExportLeftover();
  }

  // A complete set of files is registered again at every start, so that a
  // voice copied in or restored by hand is found by the host.
  if (VoiceFilesPresent() == 3) WriteVoiceRecord();
  Mark("start-up record");

  const VoicePaths paths = Paths();
  const bool archiveFound = FileExists(paths.Archive());
  const bool extractorFound = FileExists(paths.Extractor());
  status_.dataMissing = !archiveFound || !extractorFound;
  status_.state = Classify();
  view_.ShowState(status_);
  Mark("state shown");
  return StartResult::Show;
}

VoiceState VoiceInstaller::Classify() {
  // Each row looks at the files and the key itself rather than trusting an
  // earlier look, so that the row that matches decides on what is there now
  // (the record written just above included).
  if (VoiceFilesPresent() == 3 && KeyPresent()) return VoiceState::Installed;
  if (VoiceFilesPresent() == 0 && !KeyPresent()) return VoiceState::Absent;
  return VoiceState::Incomplete;
}

void VoiceInstaller::RemoveExportLeftover() {
  const std::string next = Paths().ExportNext();
  if (!services_.files.EntryExists(next)) return;
  services_.files.DeleteFile(next);
  Mark("export leftover removed");
}

std::optional<std::string> VoiceInstaller::SessionEndBlockReason() const {
  if (!busy_) return std::nullopt;
  return std::string(attempt_ == Operation::Repair ? texts::kSessionBlockedRepairing
                                                   : texts::kSessionBlockedInstalling);
}

}  // namespace installer
