// The start-up: what the voice's state is, what it cleans up first, and what
// a second copy leaves alone.
#include <gtest/gtest.h>

#include "platform/paths.h"
#include "voice_installer_rig.h"

namespace {

using namespace rig;

struct StateCase {
  const char* name;
  unsigned files;                // voice files present
  std::uint32_t fileAttributes;  // their attributes
  bool key;                      // registration key present before the start
  bool archive, extractor;
  bool registryWritable;
  // expected
  VoiceState state;
  bool recordWritten;
};

TEST(StartUp, ClassifiesTheVoiceAndShowsItsState) {
  const std::uint32_t kHidden = FakeFileSystem::kHidden, kSystem = FakeFileSystem::kSystem,
                      kReadOnly = FakeFileSystem::kReadOnly;
  const auto I = VoiceState::Installed, A = VoiceState::Absent, N = VoiceState::Incomplete;
  // clang-format off
  const StateCase cases[] = {
    // name                               files     attr      key    arch   rar    write  state record
    {"complete, key",                     AllFiles, 0,        true,  true,  true,  true,  I,    true},
    {"complete, no key: written at load", AllFiles, 0,        false, true,  true,  true,  I,    true},
    {"complete read-only files",          AllFiles, kReadOnly,true,  true,  true,  true,  I,    true},
    {"complete, key, archive missing",    AllFiles, 0,        true,  false, true,  true,  I,    true},
    {"complete, key, extractor missing",  AllFiles, 0,        true,  true,  false, true,  I,    true},
    {"complete, registry not writable",   AllFiles, 0,        false, true,  true,  false, N,    false},
    {"nothing",                           0,        0,        false, true,  true,  true,  A,    false},
    {"nothing, archive missing",          0,        0,        false, false, true,  true,  A,    false},
    {"nothing, extractor missing",        0,        0,        false, true,  false, true,  A,    false},
    {"nothing, both missing",             0,        0,        false, false, false, true,  A,    false},
    {"key but no file",                   0,        0,        true,  true,  true,  true,  N,    false},
    {"key but no file, archive missing",  0,        0,        true,  false, true,  true,  N,    false},
    {"only .ddb",                         Ddb,      0,        false, true,  true,  true,  N,    false},
    {"only .vvd and .ddi",                Vvd | Ddi,0,        false, true,  true,  true,  N,    false},
    {"two files, key",                    Ddi | Ddb,0,        true,  true,  true,  true,  N,    false},
    {"all three hidden",                  AllFiles, kHidden,  false, true,  true,  true,  A,    false},
    {"all three system",                  AllFiles, kSystem,  false, true,  true,  true,  A,    false},
  };
  // clang-format on
  for (const StateCase& c : cases) {
    SCOPED_TRACE(c.name);
    Rig rig;
    rig.AddVoiceFiles(c.files, c.fileAttributes);
    rig.AddData(c.archive, c.extractor);
    if (c.key) rig.AddKey();
    rig.s.registry.failWrites = !c.registryWritable;

    EXPECT_EQ(rig.Load(), installer::StartResult::Show);

    const installer::VoiceStatus expected{c.state, !(c.archive && c.extractor)};
    EXPECT_EQ(rig.logic.Status(), expected);
    EXPECT_EQ(rig.view.states, std::vector<installer::VoiceStatus>{expected});
    EXPECT_EQ(rig.s.registry.Find(kVoiceKey, "NAME") != nullptr, c.recordWritten);
    EXPECT_FALSE(rig.logic.Busy());
    EXPECT_TRUE(rig.view.finishes.empty());
    EXPECT_TRUE(rig.s.app.boxes.empty());
  }
}

TEST(StartUp, CleansUpFirstAndShowsTheStateAfterTheRecord) {
  Rig rig;
  rig.AddVoiceFiles(AllFiles);
  rig.AddData();
  rig.s.log.clear();
  rig.logic.Start();
  // What an attempt or an export cut short left goes before any look at the
  // voice; the record of the complete voice is written before its state shows.
  EXPECT_LT(rig.First("EntryExists C:\\Voices\\Ilvo.staging"), rig.First("Dir "));
  EXPECT_LT(rig.First("EntryExists C:\\Voices\\Ilvo.reg.new"), rig.First("Dir "));
  EXPECT_LT(rig.Last("Set"), rig.First("ShowState"));
  EXPECT_EQ(rig.Last("ShowState"), static_cast<long>(rig.s.log.size()) - 1);
  // Each row of the classification looks at the key itself.
  Rig absent;
  absent.AddData();
  absent.s.log.clear();
  absent.logic.Start();
  EXPECT_EQ(absent.LogWith({"OpenKey"}).size(), 1u) << "no key probe while the files are short";
}

TEST(StartUp, PathsFollowTheProgramsFolder) {
  Rig rig("D:\\My Voices");
  rig.Load();
  const installer::VoicePaths paths = rig.logic.Paths();
  EXPECT_EQ(paths.appDir, "D:\\My Voices\\");
  EXPECT_EQ(paths.VoiceBase(), "D:\\My Voices\\KT3WQ8ZRMD5LXNVC\\Ilvo");
  EXPECT_EQ(paths.Staging(), "D:\\My Voices\\Ilvo.staging");
}

TEST(StartUp, ASecondCopyTouchesNothing) {
  // The first copy may be extracting: neither its staging folder nor the
  // voice's files are touched, nor registered.
  Rig rig;
  rig.AddVoiceFiles(AllFiles);
  rig.AddData();
  rig.AddStagedFiles(Ddb);
  rig.s.app.previousInstance = true;
  rig.s.log.clear();
  EXPECT_EQ(rig.logic.Start(), installer::StartResult::AnotherCopyRuns);
  EXPECT_EQ(rig.s.log, std::vector<std::string>{});
  EXPECT_EQ(rig.s.registry.KeyCount(), 0u);
  EXPECT_TRUE(rig.s.files.Exists(rig.Voice(".ddb")));
  EXPECT_TRUE(rig.s.files.Exists(rig.Staged(".ddb")));
}

TEST(StartUp, OnlyAFullPathIsTrustedAndAnythingElseIsMissingData) {
  struct Case {
    const char* folder;
    bool absolute;
  } cases[] = {
      {"C:\\Voices", true},
      {"c:\\", true},
      {"\\\\srv\\share", true},
      {"\\\\srv\\share\\app", true},
      {"UNC\\srv\\share\\app", false},  // what Wine once reported for a network share
      {"Voices\\app", false},
      {"C:Voices", false},  // relative to drive C's current folder
      {"\\Voices", false},
      {"\\\\srv", false},
      {"\\\\srv\\", false},
      {"\\\\?\\C:\\Voices", false},
      {"\\\\.\\pipe\\x", false},
      {"", false},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.folder);
    EXPECT_EQ(platform::IsAbsoluteFolder(c.folder), c.absolute);
    // The whole start-up in that folder, with everything in place as far as
    // the fakes can hold it and the voice files complete.
    Rig rig(c.folder);
    rig.AddVoiceFiles(AllFiles);
    rig.AddData();
    rig.Load();
    EXPECT_EQ(rig.logic.Status().dataMissing, !c.absolute);
    EXPECT_EQ(rig.s.registry.HasKey(kVoiceKey), c.absolute) << "the record names only a full path";
    if (!c.absolute) {
      // Nothing is installed, repaired or uninstalled relative to the current folder.
      rig.InstallOrRepair();
      EXPECT_TRUE(rig.s.processes.starts.empty());
      EXPECT_EQ(rig.Finished().message, "音源[安装]失败！\r\n安装文件缺失");
      Rig uninstall(c.folder);
      uninstall.AddVoiceFiles(AllFiles);
      uninstall.AddKey();
      uninstall.Load();
      ASSERT_EQ(uninstall.logic.Status().state, VoiceState::Incomplete);
      uninstall.logic.Uninstall();
      EXPECT_EQ(uninstall.Finished().message, "音源[删除]失败！\r\n安装文件缺失");
      EXPECT_TRUE(uninstall.LogWith({"Delete"}).empty());
    }
  }
}

TEST(StartUp, RemovesWhatAnAttemptCutShortExtractedAndNothingElse) {
  struct Case {
    const char* name;
    unsigned files;  // voice files in their places, put there by hand, say
    bool stagedInUse;
    bool stagingIsALink;
    // expected
    VoiceState state;
    bool stagingLeft;
  };
  // clang-format off
  const std::vector<Case> cases = {
    {"files put in place by hand",    AllFiles, false, false, VoiceState::Installed,  false},
    {"nothing in place",              0,        false, false, VoiceState::Absent,     false},
    {"some in place",                 Ddb,      false, false, VoiceState::Incomplete, false},
    {"a staged file still held open", AllFiles, true,  false, VoiceState::Installed,  true},
    {"the staging folder is a link",  Vvd,      false, true,  VoiceState::Incomplete, false},
  };
  // clang-format on
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    Rig rig;
    rig.AddData();
    rig.AddVoiceFiles(c.files);
    const std::vector<std::string> before = VoiceContents(rig);
    if (c.stagingIsALink) {
      rig.s.files.AddFile("D:\\Elsewhere\\Ilvo.ddb", "keep");
      rig.s.files.AddFolder(rig.Staging());
      rig.s.files.MakeLink(rig.Staging(), "D:\\Elsewhere", true);
    } else {
      rig.AddStagedFiles(AllFiles, FakeFileSystem::kReadOnly);
      if (c.stagedInUse) rig.s.files.Get(rig.Staged(".ddi"))->inUse = true;
    }

    EXPECT_EQ(rig.Load(), installer::StartResult::Show);

    EXPECT_EQ(rig.logic.Status().state, c.state);
    EXPECT_EQ(VoiceContents(rig), before);
    EXPECT_EQ(rig.s.registry.HasKey(kVoiceKey), c.state == VoiceState::Installed);
    EXPECT_EQ(rig.s.files.Exists(rig.Staging()), c.stagingLeft);
    if (c.stagingIsALink) {
      EXPECT_EQ(rig.s.files.Get("D:\\Elsewhere\\Ilvo.ddb")->content, "keep");
    }
  }
}

TEST(StartUp, TheNewTextOfAnExportCutShortGoes) {
  Rig rig;
  rig.AddData();
  rig.s.files.AddFile(rig.ExportFile(), "old");
  rig.s.files.AddFile(rig.ExportFile() + ".new", "Windows Registry Editor Version 5.00\r\n");
  rig.Load();
  EXPECT_FALSE(rig.s.files.Exists(rig.ExportFile() + ".new"));
  EXPECT_EQ(rig.s.files.Get(rig.ExportFile())->content, "old");
}

}  // namespace
