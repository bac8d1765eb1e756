#include "installer/voice_installer.h"

#include "installer/texts.h"
#include "platform/paths.h"

namespace installer {

using platform::SearchAttributes;

VoiceInstaller::VoiceInstaller(platform::Services services, FormView& view) : services_(services), view_(view) {}

void VoiceInstaller::Finish(const Outcome& outcome) {
  finished_ = true;
  view_.Finish(outcome);
}

// ---- Probes ----

bool VoiceInstaller::FileExists(const std::string& path) {
  if (!platform::IsAbsoluteFolder(appDir_)) return false;
  // A plain search: a hidden or system file does not count, as the host
  // does not see it either.
  return !services_.files.Dir(path, SearchAttributes::Normal).empty();
}

int VoiceInstaller::VoiceFilesPresent() {
  const VoicePaths paths = Paths();
  int present = 0;
  for (std::string_view ext : kVoiceFileExtensions) present += FileExists(paths.VoiceFile(ext)) ? 1 : 0;
  return present;
}

bool VoiceInstaller::KeyPresent() {
  return services_.registry.OpenKey(record::VoiceKey(VoiceIdentity::kVoiceId)) == 0;
}

bool VoiceInstaller::KeyGone(const std::string& key) {
  return services_.registry.OpenKey(key) == platform::kKeyNotFound;
}

StagingFolder VoiceInstaller::Staging() {
  return StagingFolder(services_.files, Paths(), [this](std::string_view step) { Mark(step); });
}

std::optional<std::string> VoiceInstaller::LocationProblem() {
  if (!platform::IsAbsoluteFolder(appDir_)) return std::string(texts::kCauseDataMissing);
  platform::FileSystem& files = services_.files;
  const VoicePaths paths = Paths();
  const std::optional<platform::FileLocation> folder = files.Locate(paths.VoiceFolder());
  if (!folder) return std::nullopt;  // nothing there yet, so no voice file either
  // Told by identity, not by path text: the application folder may be
  // reached through a link, a mapped drive or a short name, and a volume may
  // have no path the system can give. What cannot be told is no reason to
  // refuse; a link, or a holder that is another folder, is.
  const auto heldElsewhere = [](const platform::FileLocation& entry,
                                const std::optional<platform::FileIdentity>& expectedHolder) {
    return entry.holder && expectedHolder && *entry.holder != *expectedHolder;
  };
  std::string appFolder = appDir_;
  while (appFolder.size() > 1 && appFolder.back() == '\\' && appFolder[appFolder.size() - 2] == '\\') {
    appFolder.pop_back();
  }
  const std::optional<platform::FileLocation> app = files.Locate(appFolder);
  if (folder->isLink || heldElsewhere(*folder, app ? app->identity : std::nullopt)) {
    return std::string(texts::kCauseFolderLink);
  }
  for (std::string_view ext : kVoiceFileExtensions) {
    const std::optional<platform::FileLocation> file = files.Locate(paths.VoiceFile(ext));
    if (file && (file->isLink || heldElsewhere(*file, folder->identity))) return std::string(texts::kCauseFileLink);
  }
  return std::nullopt;
}

// ---- The record ----

registration::Install VoiceInstaller::ThisInstall() {
  std::uint64_t bytes = 0;
  for (std::string_view ext : kVoiceFileExtensions) bytes += services_.files.FileSize(Paths().VoiceFile(ext)).value_or(0);
  return {services_.app.Folder(), services_.app.ProgramPath(), bytes};
}

void VoiceInstaller::WriteVoiceRecord() { Write(registration::All(ThisInstall())); }

void VoiceInstaller::Write(const std::vector<registration::Key>& keys) {
  // What could not be stored shows when the record is read back.
  for (const registration::Key& key : keys) {
    services_.registry.SetValues(key.path, key.values);
    Mark("record key written");
  }
}

bool VoiceInstaller::ReadsBack(const std::vector<registration::Key>& keys) {
  for (const registration::Key& key : keys) {
    std::vector<std::string> names;
    for (const platform::ValueToStore& value : key.values) names.push_back(value.name);
    const std::vector<std::optional<platform::RegistryValue>> stored = services_.registry.ReadValues(key.path, names);
    for (std::size_t i = 0; i < names.size(); ++i) {
      if (i >= stored.size() || stored[i] != key.values[i].Stored()) return false;
    }
  }
  return true;
}

void VoiceInstaller::DeleteVoiceRecord() {
  const std::string voiceKey = record::VoiceKey(VoiceIdentity::kVoiceId);
  for (const std::string& key : {voiceKey + "\\" + std::string(record::kSubkeyOnDelete), voiceKey,
                                 record::UninstallKey(VoiceIdentity::kVoiceName, VoiceIdentity::kVoiceId)}) {
    services_.registry.DeleteKey(key);
    Mark("record key deleted");
  }
}

}  // namespace installer
