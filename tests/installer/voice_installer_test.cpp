// The probes and the record shared by every operation: the record as it is
// laid out, the entry in the list of installed programs, and the check that
// no operation follows a link out of the application folder.
#include <gtest/gtest.h>

#include <algorithm>

#include "voice_installer_rig.h"

namespace {

using namespace rig;

// ---- the record ----

TEST(VoiceRecord, IsWrittenAsLaidOutAndIdempotent) {
  Rig rig("D:\\语音 库");
  rig.Load();
  rig.logic.WriteVoiceRecord();
  const auto once = rig.s.log;
  rig.logic.WriteVoiceRecord();
  const auto& registry = rig.s.registry;
  EXPECT_EQ(registry.ValueNames(kParentKey), std::vector<std::string>{"VOICEDIR"});
  EXPECT_EQ(registry.ValueNames(kVoiceKey),
            (std::vector<std::string>{"INSTALLED", "NAME", "TIME", "DRP", "INSTALLDIR"}));
  struct Expect {
    const std::string& key;
    const char* name;
    std::uint32_t type;
    std::string text;
    std::uint32_t dword;
  };
  const Expect values[] = {
      {kParentKey, "VOICEDIR", 1, "D:\\语音 库", 0},
      {kVoiceKey, "INSTALLED", 4, "", 1},
      {kVoiceKey, "NAME", 1, "TIRELUNA2 Voice DB (Ilvo)", 0},
      {kVoiceKey, "TIME", 1, "R4NXC8VJ2TQM6WHE", 0},
      {kVoiceKey, "DRP", 1, "050010", 0},
      {kVoiceKey, "INSTALLDIR", 1, "D:\\语音 库", 0},
  };
  for (const Expect& e : values) {
    SCOPED_TRACE(e.name);
    const auto* value = registry.Find(e.key, e.name);
    ASSERT_NE(value, nullptr);
    EXPECT_EQ(value->type, e.type);
    EXPECT_EQ(value->text, e.text);
    EXPECT_EQ(value->dword, e.dword);
  }
  EXPECT_EQ(rig.s.log.size(), 2 * once.size());
  EXPECT_TRUE(std::equal(once.begin(), once.end(), rig.s.log.begin() + static_cast<long>(once.size())));
  EXPECT_EQ(rig.s.app.folderReads, 1 + 1 + 1);  // the start-up, then once for each write: the folder as it is then
}

TEST(VoiceRecord, DeleteRemovesVvoiceThenTheVoiceKeyAndTheEntryAndKeepsTheParent) {
  struct Case {
    const char* name;
    const char* subkey;  // below the voice key, or none
    bool voiceKeyGone;
  };
  const Case cases[] = {{"no subkey", nullptr, true}, {"vvoice", "vvoice", true}, {"other subkey", "other", false}};
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    Rig rig;
    rig.Load();
    rig.logic.WriteVoiceRecord();
    if (c.subkey != nullptr) rig.s.registry.CreateKey(kVoiceKey + "\\" + c.subkey);
    rig.s.log.clear();
    rig.logic.DeleteVoiceRecord();
    EXPECT_EQ(rig.s.log, (std::vector<std::string>{"DeleteKey " + kVoiceKey + "\\vvoice", "DeleteKey " + kVoiceKey,
                                                   "DeleteKey " + kEntryKey}));
    EXPECT_EQ(!rig.s.registry.HasKey(kVoiceKey), c.voiceKeyGone);
    EXPECT_NE(rig.s.registry.Find(kParentKey, "VOICEDIR"), nullptr);
  }
  Rig empty;
  empty.Load();
  empty.logic.DeleteVoiceRecord();  // nothing registered: silent
  EXPECT_TRUE(empty.view.finishes.empty());
}

// ---- the entry in the list of installed programs ----

TEST(UninstallEntry, HoldsTheProgramAndTheVoiceWhereverTheFolderIs) {
  struct Case {
    const char* folder;
    const char* quotedProgram;
  } cases[] = {
      {"D:\\My Voices", "\"D:\\My Voices\\IlvoInstaller.exe\""},
      {"C:\\음성 폴더", "\"C:\\음성 폴더\\IlvoInstaller.exe\""},  // no ANSI code page 936 name for it
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.folder);
    Rig rig(c.folder);
    rig.s.app.programPath = std::string(c.folder) + "\\IlvoInstaller.exe";
    rig.s.files.AddFile(rig.Voice(".ddb"), std::string(2048, 'b'));
    rig.s.files.AddFile(rig.Voice(".ddi"), std::string(1500, 'i'));
    rig.s.files.AddFile(rig.Voice(".vvd"), std::string(100, 'v'));  // 3648 bytes: 4 KiB, rounded up
    rig.Load();  // complete: registered at the start

    const auto& registry = rig.s.registry;
    EXPECT_EQ(registry.ValueNames(kEntryKey),
              (std::vector<std::string>{"DisplayName", "DisplayIcon", "DisplayVersion", "Publisher", "InstallLocation",
                                        "UninstallString", "QuietUninstallString", "EstimatedSize", "NoModify",
                                        "NoRepair"}));
    const auto text = [&](const char* name) {
      const auto* value = registry.Find(kEntryKey, name);
      return value && value->type == 1 ? value->text : std::string("(not a string)");
    };
    const auto dword = [&](const char* name) {
      const auto* value = registry.Find(kEntryKey, name);
      return value && value->type == 4 ? value->dword : 0xDEADu;
    };
    EXPECT_EQ(text("DisplayName"), "TIRELUNA2 Voice DB (Ilvo)");
    EXPECT_EQ(text("DisplayIcon"), rig.s.app.programPath);
    EXPECT_EQ(text("DisplayVersion"), "1.0.0.0");
    EXPECT_EQ(text("Publisher"), "Ilvo 音源 (Ilvo voice bank)");
    EXPECT_EQ(text("InstallLocation"), c.folder);
    EXPECT_EQ(text("UninstallString"), std::string(c.quotedProgram) + " /uninstall");
    EXPECT_EQ(text("QuietUninstallString"), std::string(c.quotedProgram) + " /uninstall /quiet");
    EXPECT_EQ(dword("EstimatedSize"), 4u);
    EXPECT_EQ(dword("NoModify"), 1u);
    EXPECT_EQ(dword("NoRepair"), 1u);
    EXPECT_EQ(rig.logic.Status().state, VoiceState::Installed);
  }
}

// ---- links out of the application folder ----

TEST(Links, NoActionFollowsALinkOutOfTheApplicationFolder) {
  enum class Link {
    None, FolderReparse, FolderPlain, FileReparse, FilePlain, FolderOnWayIn,
    NoFinalPath,         // a volume the system can give no path for
    OtherSpelling,       // the program's folder named in another case than the disk has it
    FolderOtherVolume,   // the voice folder leads to another volume, though no reparse point says so
  };
  enum class Action { Install, Repair, Uninstall };
  struct Case {
    const char* name;
    Link link;
    Action action;
    const char* text;  // empty: the action goes ahead
  } cases[] = {
      {"install, folder is a link", Link::FolderReparse, Action::Install, "音源[安装]失败！\r\n音源文件夹是一个链接"},
      {"install, folder resolves elsewhere", Link::FolderPlain, Action::Install,
       "音源[安装]失败！\r\n音源文件夹是一个链接"},
      {"repair, file is a link", Link::FileReparse, Action::Repair, "音源[修复]失败！\r\n音源文件是一个链接"},
      {"repair, file resolves elsewhere", Link::FilePlain, Action::Repair, "音源[修复]失败！\r\n音源文件是一个链接"},
      {"uninstall, folder is a link", Link::FolderReparse, Action::Uninstall,
       "音源[删除]失败！\r\n音源文件夹是一个链接"},
      {"uninstall, file resolves elsewhere", Link::FilePlain, Action::Uninstall,
       "音源[删除]失败！\r\n音源文件是一个链接"},
      {"uninstall, nothing linked", Link::None, Action::Uninstall, ""},
      {"install, program folder reached through a link", Link::FolderOnWayIn, Action::Install, ""},
      {"uninstall on a volume without a final path", Link::NoFinalPath, Action::Uninstall, ""},
      {"repair on a volume without a final path", Link::NoFinalPath, Action::Repair, ""},
      {"uninstall, the folder spelled otherwise", Link::OtherSpelling, Action::Uninstall, ""},
      {"repair, folder on another volume", Link::FolderOtherVolume, Action::Repair,
       "音源[修复]失败！\r\n音源文件夹是一个链接"},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    Rig rig;
    const std::string folder = rig.AppDir() + "KT3WQ8ZRMD5LXNVC";
    const std::string elsewhere = "C:\\Users\\Public\\Target";
    rig.AddData();
    if (c.action == Action::Install) {
      rig.s.files.AddFolder(folder);
    } else {
      rig.AddVoiceFiles(c.action == Action::Repair ? Ddb : AllFiles);
      rig.AddKey();
    }
    switch (c.link) {
      case Link::None: break;
      case Link::FolderReparse: rig.s.files.MakeLink(folder, elsewhere, true); break;
      case Link::FolderPlain: rig.s.files.MakeLink(folder, elsewhere, false); break;
      case Link::FileReparse: rig.s.files.MakeLink(rig.Voice(".ddb"), elsewhere + "\\Ilvo.ddb", true); break;
      case Link::FilePlain: rig.s.files.MakeLink(rig.Voice(".ddb"), elsewhere + "\\Ilvo.ddb", false); break;
      case Link::FolderOnWayIn: rig.s.files.MakeLink(rig.s.app.folder, "D:\\Real Voices", true); break;
      case Link::NoFinalPath:
        for (const std::string& path : rig.s.files.Paths()) rig.s.files.Get(path)->noFinalPath = true;
        break;
      case Link::OtherSpelling: rig.s.app.folder = "c:\\VOICES"; break;
      case Link::FolderOtherVolume: rig.s.files.MakeLink(folder, "E:\\KT3WQ8ZRMD5LXNVC", false); break;
    }
    rig.Load();
    rig.ExtractorExtracts(AllFiles);
    if (c.action == Action::Uninstall) {
      rig.logic.Uninstall();
    } else {
      rig.InstallOrRepair();
    }
    const Outcome outcome = rig.Finished();
    if (*c.text == '\0') {
      EXPECT_TRUE(outcome.Succeeded()) << outcome.message;
      continue;
    }
    EXPECT_EQ(outcome.message, c.text);
    EXPECT_EQ(outcome.icon, MessageIcon::Critical);
    EXPECT_TRUE(rig.s.processes.starts.empty()) << "nothing is extracted";
    EXPECT_TRUE(rig.LogWith({"DeleteKey", "DeleteFile", "RemoveFolder", "SetDword"}).empty()) << "nothing is touched";
    EXPECT_TRUE(rig.s.files.Exists(folder));
  }
}

}  // namespace
