#pragma once
// The journal of one install or repair. It is written whole before the
// extractor starts and names what the attempt may create: the voice files
// absent then, and the voice folder if it was absent too. While it exists the
// attempt has not ended well, so nothing the journal names may be
// registered: a failed attempt, or one cut short (the program ended from
// outside, a power loss), is undone by deleting exactly those entries, at
// once or at the next start. A file that existed before the attempt is never
// named, so it is never touched.
//
// It lives in the application folder, beside the program, not in the voice
// folder: the attempt may create that folder, and undoing it removes it.
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "installer/voice_identity.h"
#include "platform/services.h"

namespace installer {

// What an attempt may create.
struct JournalEntries {
  bool createsFolder = false;
  std::vector<std::string> files;  // extensions of kVoiceFileExtensions, in that order
  bool operator==(const JournalEntries&) const = default;
};

// The journal's text, a line each, and back. Anything but exactly such a
// text (a name it does not know, a line missing) reads as damaged: nothing.
std::vector<std::string> JournalLines(const JournalEntries& entries);
std::optional<JournalEntries> ParseJournal(std::string_view text);

enum class UndoResult {
  NoJournal,  // nothing to undo
  Undone,     // every entry named is gone and so is the journal
  Failed,     // the journal cannot be read, or something named stays: it is kept
};

class ExtractionJournal {
 public:
  ExtractionJournal(platform::FileSystem& files, VoicePaths paths);

  bool Exists();
  // Writes the journal for an attempt that starts now. Entries named by a
  // journal still there (one that could not be undone) are kept in it.
  // False when it cannot be written; nothing may start then.
  bool Begin();
  // Deletes what the journal names, the voice folder only when it is empty,
  // then the journal.
  UndoResult Undo();
  // The attempt has ended well: its entries are the voice's now. True when
  // the journal is gone.
  bool Discard();

 private:
  platform::FileSystem& files_;  // not owned
  VoicePaths paths_;
};

}  // namespace installer
