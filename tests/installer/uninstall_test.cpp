// Uninstall: the question, the order of removal and where a failure stops
// it, keys that will not go, and an entry left alone in the list of
// installed programs.
#include <gtest/gtest.h>

#include <algorithm>

#include "voice_installer_rig.h"

namespace {

using namespace rig;

TEST(Uninstall, AsksFirstAndNoEndsTheProgramWithoutAChange) {
  Rig rig;
  rig.AddVoiceFiles(AllFiles);
  rig.AddData();
  rig.Load();
  rig.view.answers = {false};
  rig.logic.AskThenUninstall();
  EXPECT_EQ(rig.view.questions, std::vector<installer::Question>{installer::Question::Uninstall});
  EXPECT_EQ(rig.Finished(), Outcome::Cancelled(Operation::Uninstall));
  EXPECT_EQ(rig.s.log, (std::vector<std::string>{"Ask uninstall", "Finish uninstall: "}));
  const installer::MessageBoxText box = installer::BoxFor(installer::Question::Uninstall);
  EXPECT_EQ(box.text, "确定要卸载么？");
  EXPECT_EQ(box.title, "警告窗口");
  EXPECT_EQ(box.buttons, platform::MessageButtons::OkCancel);
  EXPECT_EQ(box.icon, MessageIcon::Question);

  Rig yes;
  yes.AddVoiceFiles(AllFiles);
  yes.AddData();
  yes.Load();
  yes.logic.AskThenUninstall();
  EXPECT_EQ(yes.Finished().message, "音源[删除]成功！");
}

TEST(Uninstall, AnsweredYesForAnAbsentVoiceDoesNothing) {
  Rig rig;
  rig.AddData();
  rig.Load();
  rig.logic.AskThenUninstall();  // yes, then no entry is found either
  EXPECT_EQ(rig.s.log, (std::vector<std::string>{"Ask uninstall", "OpenKey " + kEntryKey}));
  EXPECT_TRUE(rig.view.finishes.empty());
}

TEST(Uninstall, RemovesInOrderAndStopsAtTheFirstFailure) {
  struct Case {
    const char* name;
    unsigned files;
    const char* inUse;     // extension held open, or none
    const char* readOnly;  // extension read-only, or none
    bool extraFile;        // another file in the voice folder
    std::vector<std::string> removals;  // expected DeleteFile / RemoveFolder, after the record's keys
    const char* text;
    std::vector<std::string> left;  // voice files left afterwards
  };
  const std::string v = "C:\\Voices\\KT3WQ8ZRMD5LXNVC\\Ilvo";
  const std::string folder = "C:\\Voices\\KT3WQ8ZRMD5LXNVC";
  const char* ok = "音源[删除]成功！";
  const char* inUse = "音源正被使用，请结束后再卸载";
  // clang-format off
  const std::vector<Case> cases = {
    {"complete",      AllFiles, nullptr, nullptr, false,
     {"DeleteFile " + v + ".vvd", "DeleteFile " + v + ".ddi", "DeleteFile " + v + ".ddb", "RemoveFolder " + folder}, ok, {}},
    {"only .ddb",     Ddb,      nullptr, nullptr, false, {"DeleteFile " + v + ".ddb", "RemoveFolder " + folder}, ok, {}},
    {".ddi in use",   AllFiles, ".ddi",  nullptr, false,
     {"DeleteFile " + v + ".vvd", "DeleteFile " + v + ".ddi"}, inUse, {".ddi", ".ddb"}},
    {".vvd read-only", AllFiles, nullptr, ".vvd", false, {"DeleteFile " + v + ".vvd"}, inUse, {".vvd", ".ddi", ".ddb"}},
    {".ddb read-only", AllFiles, nullptr, ".ddb", false,
     {"DeleteFile " + v + ".vvd", "DeleteFile " + v + ".ddi", "DeleteFile " + v + ".ddb"}, inUse, {".ddb"}},
    {"extra file in the folder", AllFiles, nullptr, nullptr, true,
     {"DeleteFile " + v + ".vvd", "DeleteFile " + v + ".ddi", "DeleteFile " + v + ".ddb", "RemoveFolder " + folder}, inUse, {}},
    {"key only, no folder", 0, nullptr, nullptr, false, {}, ok, {}},
  };
  // clang-format on
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    Rig rig;
    rig.AddVoiceFiles(c.files);
    rig.AddData();
    rig.AddKey();
    if (c.extraFile) rig.s.files.AddFile(folder + "\\readme.txt");
    rig.Load();
    if (c.inUse) rig.s.files.Get(v + c.inUse)->inUse = true;
    if (c.readOnly) rig.s.files.Get(v + c.readOnly)->attributes |= FakeFileSystem::kReadOnly;

    rig.logic.Uninstall();

    std::vector<std::string> expected = {"DeleteKey " + kVoiceKey + "\\vvoice", "DeleteKey " + kVoiceKey,
                                         "DeleteKey " + kEntryKey};
    expected.insert(expected.end(), c.removals.begin(), c.removals.end());
    expected.push_back(std::string("Finish uninstall: ") + c.text);
    EXPECT_EQ(rig.LogWith({"DeleteKey", "DeleteFile", "RemoveFolder", "Finish"}), expected);
    // Held open, read-only or not alone: the user's to end, without a cause line.
    EXPECT_EQ(rig.Finished().icon, MessageIcon::None);
    EXPECT_EQ(rig.Finished().Succeeded(), c.text == ok);
    EXPECT_FALSE(rig.s.registry.HasKey(kVoiceKey));
    EXPECT_TRUE(rig.s.registry.HasKey(kParentKey));
    for (const char* ext : kExts) {
      const bool left = std::find(c.left.begin(), c.left.end(), ext) != c.left.end();
      EXPECT_EQ(rig.s.files.Exists(v + ext), left) << ext;
    }
    EXPECT_TRUE(rig.s.files.Exists(rig.Archive()));
    EXPECT_TRUE(rig.s.files.Exists(rig.Extractor()));
  }
}

TEST(Uninstall, RemovesAVoiceKeyWithForeignSubkeysOrSaysItCannot) {
  for (const bool keyStays : {false, true}) {
    SCOPED_TRACE(keyStays ? "the key cannot be removed" : "the key has another subkey");
    Rig rig;
    rig.AddVoiceFiles(AllFiles);
    rig.AddData();
    rig.Load();
    rig.s.registry.CreateKey(kVoiceKey + "\\vvoice");
    rig.s.registry.CreateKey(kVoiceKey + "\\Presets\\Soft");
    rig.s.registry.treesStay = keyStays;
    rig.logic.Uninstall();
    EXPECT_EQ(rig.s.registry.HasKey(kVoiceKey), keyStays);
    EXPECT_TRUE(rig.s.registry.HasKey(kParentKey));
    if (keyStays) {
      EXPECT_EQ(rig.Finished(), Outcome::Failure(Operation::Uninstall, "无法删除注册表记录"));
      EXPECT_EQ(rig.Finished().message, "音源[删除]失败！\r\n无法删除注册表记录");
      for (const char* ext : kExts) EXPECT_TRUE(rig.s.files.Exists(rig.Voice(ext))) << ext;
    } else {
      EXPECT_EQ(rig.Finished().message, "音源[删除]成功！");
      EXPECT_FALSE(rig.s.files.Exists(rig.VoiceFolder()));
    }
  }
}

TEST(Uninstall, TheEntryGoesWithTheRecordOrTheUninstallSaysItCannot) {
  for (const bool entryStays : {false, true}) {
    SCOPED_TRACE(entryStays ? "the entry cannot be deleted" : "the entry goes");
    Rig rig;
    rig.AddData();
    rig.AddVoiceFiles(AllFiles);
    rig.Load();
    ASSERT_TRUE(rig.s.registry.HasKey(kEntryKey));
    if (entryStays) rig.s.registry.closedKey = kEntryKey;
    rig.logic.Uninstall();
    EXPECT_EQ(rig.s.registry.HasKey(kEntryKey), entryStays);
    EXPECT_EQ(rig.Finished().message, entryStays ? "音源[删除]失败！\r\n无法删除注册表记录" : "音源[删除]成功！");
    EXPECT_EQ(rig.s.files.Exists(rig.Voice(".ddb")), entryStays) << "a registration that stays keeps the files";
  }
}

TEST(Uninstall, AnEntryLeftAloneInTheListIsRemoved) {
  struct Case {
    const char* name;
    bool entry;
    bool treesStay;
    // expected: the message, or none when nothing happens
    const char* text;
    bool entryLeft;
  };
  // clang-format off
  const std::vector<Case> cases = {
    {"only the entry",      true,  false, "音源不存在，已从程序列表中删除其残留项", false},
    {"the entry cannot go", true,  true,  "音源[删除]失败！\r\n无法删除注册表记录", true},
    {"nothing at all",      false, false, nullptr, false},
  };
  // clang-format on
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    Rig rig;
    rig.AddData();
    if (c.entry) rig.s.registry.CreateKey(kEntryKey);
    rig.Load();
    ASSERT_EQ(rig.logic.Status().state, VoiceState::Absent);
    rig.s.registry.treesStay = c.treesStay;
    rig.s.registry.failWrites = c.treesStay;
    rig.logic.Uninstall();
    if (c.text == nullptr) {
      EXPECT_TRUE(rig.view.finishes.empty());
      continue;
    }
    EXPECT_EQ(rig.Finished().message, c.text);
    EXPECT_EQ(rig.s.registry.HasKey(kEntryKey), c.entryLeft);
    EXPECT_FALSE(rig.s.registry.HasKey(kParentKey));
  }
}

}  // namespace
