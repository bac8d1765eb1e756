#include "installer/extraction_journal.h"

#include <algorithm>

namespace installer {
namespace {

constexpr std::string_view kHeader = "Ilvo extraction journal 1";
constexpr std::string_view kFolderLine = "creates folder";
constexpr std::string_view kFilePrefix = "creates file ";
constexpr std::string_view kEndLine = "end";
// A journal is a handful of short lines; anything larger is not one.
constexpr std::size_t kMaxJournalBytes = 4096;

std::vector<std::string_view> SplitLines(std::string_view text) {
  std::vector<std::string_view> lines;
  while (!text.empty()) {
    const std::size_t end = text.find("\r\n");
    if (end == std::string_view::npos) return {};  // every line ends in CR LF
    lines.push_back(text.substr(0, end));
    text.remove_prefix(end + 2);
  }
  return lines;
}

}  // namespace

std::vector<std::string> JournalLines(const JournalEntries& entries) {
  std::vector<std::string> lines{std::string(kHeader)};
  if (entries.createsFolder) lines.emplace_back(kFolderLine);
  for (const std::string& ext : entries.files) lines.push_back(std::string(kFilePrefix) + ext);
  lines.emplace_back(kEndLine);
  return lines;
}

std::optional<JournalEntries> ParseJournal(std::string_view text) {
  const std::vector<std::string_view> lines = SplitLines(text);
  if (lines.size() < 2 || lines.front() != kHeader || lines.back() != kEndLine) return std::nullopt;
  JournalEntries entries;
  for (std::size_t i = 1; i + 1 < lines.size(); ++i) {
    const std::string_view line = lines[i];
    if (line == kFolderLine && !entries.createsFolder && entries.files.empty()) {
      entries.createsFolder = true;
      continue;
    }
    if (line.substr(0, kFilePrefix.size()) != kFilePrefix) return std::nullopt;
    const std::string_view ext = line.substr(kFilePrefix.size());
    const auto known = std::find(std::begin(kVoiceFileExtensions), std::end(kVoiceFileExtensions), ext);
    if (known == std::end(kVoiceFileExtensions)) return std::nullopt;
    // Each once, in their own order, as JournalLines writes them.
    if (!entries.files.empty()) {
      const auto previous =
          std::find(std::begin(kVoiceFileExtensions), std::end(kVoiceFileExtensions), entries.files.back());
      if (known <= previous) return std::nullopt;
    }
    entries.files.emplace_back(ext);
  }
  return entries;
}

ExtractionJournal::ExtractionJournal(platform::FileSystem& files, VoicePaths paths)
    : files_(files), paths_(std::move(paths)) {}

bool ExtractionJournal::Exists() { return files_.EntryExists(paths_.Journal()); }

bool ExtractionJournal::Begin() {
  std::optional<JournalEntries> earlier;
  if (Exists()) {
    if (const std::optional<std::string> text = files_.ReadFile(paths_.Journal(), kMaxJournalBytes)) {
      earlier = ParseJournal(*text);
    }
  }
  JournalEntries entries;
  entries.createsFolder = !files_.EntryExists(paths_.VoiceFolder()) || (earlier && earlier->createsFolder);
  for (std::string_view ext : kVoiceFileExtensions) {
    const bool namedBefore = earlier && std::find(earlier->files.begin(), earlier->files.end(), ext) !=
                                            earlier->files.end();
    if (namedBefore || !files_.EntryExists(paths_.VoiceFile(ext))) entries.files.emplace_back(ext);
  }
  return files_.ReplaceWithText(paths_.Journal(), JournalLines(entries));
}

UndoResult ExtractionJournal::Undo() {
  if (!Exists()) return UndoResult::NoJournal;
  const std::optional<std::string> text = files_.ReadFile(paths_.Journal(), kMaxJournalBytes);
  const std::optional<JournalEntries> entries = text ? ParseJournal(*text) : std::nullopt;
  // A journal that cannot be read says nothing of what is whose: every file
  // stays, and so does the journal.
  if (!entries) return UndoResult::Failed;
  bool allGone = true;
  for (const std::string& ext : entries->files) {
    const std::string file = paths_.VoiceFile(ext);
    if (files_.EntryExists(file) && !files_.DeleteFile(file)) allGone = false;
  }
  if (!allGone) return UndoResult::Failed;
  // A folder that holds anything else is not the attempt's alone: it stays.
  if (entries->createsFolder && files_.EntryExists(paths_.VoiceFolder())) files_.RemoveFolder(paths_.VoiceFolder());
  return Discard() ? UndoResult::Undone : UndoResult::Failed;
}

bool ExtractionJournal::Discard() {
  return !files_.EntryExists(paths_.Journal()) || files_.DeleteFile(paths_.Journal());
}

}  // namespace installer
