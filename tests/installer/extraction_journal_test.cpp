// Native tests of the journal of an install or repair: its text, and what
// undoing it deletes and keeps, against the fake file system.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "installer/extraction_journal.h"
#include "tests/fakes/fake_services.h"

namespace {

using fakes::FakeFileSystem;
using installer::ExtractionJournal;
using installer::JournalEntries;
using installer::UndoResult;

const installer::VoicePaths kPaths{"C:\\Voices\\", "KT3WQ8ZRMD5LXNVC", "Ilvo"};
const std::string kJournal = "C:\\Voices\\Ilvo.install-journal";
const std::string kFolder = "C:\\Voices\\KT3WQ8ZRMD5LXNVC";
std::string Voice(const char* ext) { return kFolder + "\\Ilvo" + ext; }

std::string Text(const std::vector<std::string>& lines) {
  std::string text;
  for (const std::string& line : lines) text += line + "\r\n";
  return text;
}

TEST(JournalText, ReadsBackWhatItWritesAndNothingElse) {
  const JournalEntries all{true, {".vvd", ".ddi", ".ddb"}};
  const JournalEntries one{false, {".ddi"}};
  const JournalEntries none{};
  for (const JournalEntries& entries : {all, one, none}) {
    EXPECT_EQ(installer::ParseJournal(Text(installer::JournalLines(entries))), entries);
  }
  EXPECT_EQ(installer::JournalLines(all),
            (std::vector<std::string>{"Ilvo extraction journal 1", "creates folder", "creates file .vvd",
                                      "creates file .ddi", "creates file .ddb", "end"}));

  const std::string head = "Ilvo extraction journal 1\r\n";
  const char* damaged[] = {
      "",
      "end\r\n",
      "Ilvo extraction journal 2\r\nend\r\n",                  // a later layout
      "Ilvo extraction journal 1\r\ncreates file .ddb\r\n",    // cut off before its end
      "Ilvo extraction journal 1\r\nend",                      // last line unended
      "Ilvo extraction journal 1\nend\n",                      // LF alone
  };
  for (const char* text : damaged) EXPECT_EQ(installer::ParseJournal(text), std::nullopt) << text;
  const char* foreignLines[] = {
      "creates file ..\\..\\Windows\\win.ini",  // only the three voice files can be named
      "creates file .reg",
      "creates file .ddb\r\ncreates file .ddb",  // twice
      "creates file .ddb\r\ncreates file .vvd",  // out of order
      "creates file .vvd\r\ncreates folder",     // the folder comes first
      "creates file  .vvd",
      "CREATES FILE .vvd",
  };
  for (const char* lines : foreignLines) {
    EXPECT_EQ(installer::ParseJournal(head + lines + "\r\nend\r\n"), std::nullopt) << lines;
  }
}

struct Rig {
  Rig() { files.AddFolder("C:\\Voices"); }
  void AddJournal(const JournalEntries& entries) { files.AddFile(kJournal, Text(installer::JournalLines(entries))); }
  FakeFileSystem files;
  ExtractionJournal journal{files, kPaths};
};

TEST(JournalBegin, NamesWhatIsAbsentNowAndKeepsWhatAnEarlierOneStillNames) {
  {
    SCOPED_TRACE("nothing there: the folder and all three");
    Rig rig;
    ASSERT_TRUE(rig.journal.Begin());
    EXPECT_EQ(installer::ParseJournal(rig.files.Get(kJournal)->content),
              (JournalEntries{true, {".vvd", ".ddi", ".ddb"}}));
  }
  {
    SCOPED_TRACE("a repair: present files, hidden ones too, are not named");
    Rig rig;
    rig.files.AddFile(Voice(".ddi"), "mine");
    rig.files.AddFile(Voice(".vvd"), "hidden", FakeFileSystem::kHidden);
    ASSERT_TRUE(rig.journal.Begin());
    EXPECT_EQ(installer::ParseJournal(rig.files.Get(kJournal)->content), (JournalEntries{false, {".ddb"}}));
  }
  {
    SCOPED_TRACE("an earlier journal that could not be undone");
    Rig rig;
    rig.files.AddFile(Voice(".ddi"), "left by the last attempt");
    rig.AddJournal({true, {".ddi"}});
    ASSERT_TRUE(rig.journal.Begin());
    EXPECT_EQ(installer::ParseJournal(rig.files.Get(kJournal)->content),
              (JournalEntries{true, {".vvd", ".ddi", ".ddb"}}));
  }
  {
    SCOPED_TRACE("cannot be written");
    Rig rig;
    rig.files.unwritable.insert(kJournal);
    EXPECT_FALSE(rig.journal.Begin());
    EXPECT_FALSE(rig.files.Exists(kJournal));
  }
}

TEST(JournalUndo, DeletesExactlyWhatItNamesOrKeepsEverything) {
  struct Case {
    const char* name;
    std::vector<const char*> present;  // voice files there before the undo
    std::optional<JournalEntries> journal;  // nothing: no journal at all
    std::string rawJournal;          // used when journal is nothing and this is not empty
    bool unreadable = false;
    const char* inUse = nullptr;     // a named file that cannot be deleted
    bool otherFileInFolder = false;
    // expected
    UndoResult result;
    std::vector<const char*> left;   // voice files afterwards
    bool folderLeft;
    bool journalLeft;
  };
  const std::vector<Case> cases = {
      {"no journal", {".ddb"}, std::nullopt, "", false, nullptr, false, UndoResult::NoJournal, {".ddb"}, true, false},
      {"an install: all three and the folder", {".vvd", ".ddi", ".ddb"}, JournalEntries{true, {".vvd", ".ddi", ".ddb"}},
       "", false, nullptr, false, UndoResult::Undone, {}, false, false},
      {"a repair: only the one it named", {".vvd", ".ddi", ".ddb"}, JournalEntries{false, {".ddi"}}, "", false, nullptr,
       false, UndoResult::Undone, {".vvd", ".ddb"}, true, false},
      {"named files never written", {}, JournalEntries{true, {".vvd", ".ddi", ".ddb"}}, "", false, nullptr, false,
       UndoResult::Undone, {}, false, false},
      {"damaged", {".vvd", ".ddi", ".ddb"}, std::nullopt, "Ilvo extraction journal 1\r\ncreates fi", false, nullptr,
       false, UndoResult::Failed, {".vvd", ".ddi", ".ddb"}, true, true},
      {"unreadable", {".vvd", ".ddi", ".ddb"}, JournalEntries{true, {".vvd", ".ddi", ".ddb"}}, "", true, nullptr, false,
       UndoResult::Failed, {".vvd", ".ddi", ".ddb"}, true, true},
      {"a named file in use", {".vvd", ".ddi", ".ddb"}, JournalEntries{true, {".vvd", ".ddi", ".ddb"}}, "", false,
       ".ddi", false, UndoResult::Failed, {".ddi"}, true, true},
      {"the folder holds another file", {".vvd", ".ddi", ".ddb"}, JournalEntries{true, {".vvd", ".ddi", ".ddb"}}, "",
       false, nullptr, true, UndoResult::Undone, {}, true, false},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    Rig rig;
    rig.files.AddFolder(kFolder);
    for (const char* ext : c.present) rig.files.AddFile(Voice(ext), ext);
    if (c.otherFileInFolder) rig.files.AddFile(kFolder + "\\notes.txt", "the user's");
    if (c.journal) rig.AddJournal(*c.journal);
    if (!c.journal && !c.rawJournal.empty()) rig.files.AddFile(kJournal, c.rawJournal);
    if (c.unreadable) rig.files.unreadable.insert(kJournal);
    if (c.inUse) rig.files.Get(Voice(c.inUse))->inUse = true;

    EXPECT_EQ(rig.journal.Undo(), c.result);

    for (const char* ext : {".vvd", ".ddi", ".ddb"}) {
      const bool left = std::find_if(c.left.begin(), c.left.end(), [&](const char* e) {
                          return std::string(e) == ext;
                        }) != c.left.end();
      EXPECT_EQ(rig.files.Exists(Voice(ext)), left) << ext;
    }
    EXPECT_EQ(rig.files.Exists(kFolder), c.folderLeft);
    EXPECT_EQ(rig.files.Exists(kJournal), c.journalLeft);
    if (c.otherFileInFolder) {
      EXPECT_TRUE(rig.files.Exists(kFolder + "\\notes.txt"));
    }
  }
}

}  // namespace
