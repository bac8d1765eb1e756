#include "installer/staging_folder.h"

#include <utility>
#include <vector>

#include "installer/texts.h"

namespace installer {

StagingFolder::StagingFolder(platform::FileSystem& files, VoicePaths paths,
                             std::function<void(std::string_view step)> mark)
    : files_(files), paths_(std::move(paths)), mark_(std::move(mark)) {}

bool StagingFolder::Remove() {
  if (!files_.EntryExists(paths_.Staging())) return true;
  const bool gone = files_.RemoveTree(paths_.Staging());
  Mark("staging folder removed");
  return gone;
}

std::optional<std::string> StagingFolder::Make() {
  if (!Remove()) return std::string(texts::kCauseStagingStays);
  // Made by this call or not used at all: never a folder someone put there.
  if (!files_.CreateFolder(paths_.Staging())) return std::string(texts::kCauseStagingMake);
  Mark("staging folder made");
  return std::nullopt;
}

std::string StagingFolder::Destination() const { return paths_.Staging() + "\\"; }

bool StagingFolder::HoldsVoice() {
  const VoicePaths staged{Destination(), paths_.voiceId, paths_.voiceName};
  for (std::string_view ext : kVoiceFileExtensions) {
    if (files_.Dir(staged.VoiceFile(ext), platform::SearchAttributes::Normal).empty()) return false;
  }
  return true;
}

std::optional<std::string> StagingFolder::Flush() {
  const std::optional<std::vector<platform::TreeEntry>> extracted = files_.ListTree(paths_.Staging());
  if (!extracted) return std::string(texts::kCauseFlush);
  for (const platform::TreeEntry& entry : *extracted) {
    if (!entry.isFolder && !entry.isLink && !files_.FlushFile(Path(entry.relativePath))) {
      return std::string(texts::kCauseFlush);
    }
  }
  return std::nullopt;
}

std::optional<std::string> StagingFolder::MoveIntoPlace(bool replace) {
  const std::optional<std::vector<platform::TreeEntry>> extracted = files_.ListTree(paths_.Staging());
  if (!extracted) return std::string(texts::kCauseMove);
  for (const platform::TreeEntry& entry : *extracted) {
    // A link the archive made is no file of the voice; it goes with the folder.
    if (entry.isLink) continue;
    const std::string target = paths_.appDir + entry.relativePath;
    if (entry.isFolder) {
      if (files_.CreateFolder(target)) {
        Mark("folder made");
        continue;
      }
      // One already there is used, unless it leads elsewhere.
      const std::optional<platform::FileLocation> there = files_.Locate(target);
      if (!there || there->isLink) return std::string(texts::kCauseMove);
      continue;
    }
    if (!replace && files_.EntryExists(target)) continue;
    if (!files_.Rename(Path(entry.relativePath), target, replace)) return std::string(texts::kCauseMove);
    Mark("file moved into place");
  }
  return std::nullopt;
}

}  // namespace installer
