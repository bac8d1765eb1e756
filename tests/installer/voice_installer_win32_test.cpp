// The installer's logic against the real registry, files and processes of a
// Wine prefix, with the extractor stand-in. Each test works in a throwaway
// application folder; what the window would show is the fake view's.
// Arguments: services_helper.exe, Rar.exe (the stand-in), the sample archive
// and its damaged copy.
#include <gtest/gtest.h>

#include <functional>
#include <memory>

#include "fake_form_view.h"
#include "installer/voice_installer.h"
#include "platform/win32/application.h"
#include "platform/win32/file_system.h"
#include "platform/win32/processes.h"
#include "platform/win32/registry.h"
#include "platform/win32/text.h"
#include "tests/fakes/fake_services.h"
#include "wine_support.h"

namespace {

using installer::Outcome;
using installer::Question;
using installer::VoiceState;
using platform::MessageIcon;
using platform::win32::ToAnsi;
using wine_test::TempFolder;

const std::string kHostKey = "Software\\TIRELUNA2";
const std::string kParentKey = "Software\\TIRELUNA2\\DATABASE\\VOICE";
const std::string kVoiceKey = "Software\\TIRELUNA2\\DATABASE\\VOICE\\KT3WQ8ZRMD5LXNVC";
const char* const kExtensions[] = {".vvd", ".ddi", ".ddb"};

std::string Helper() { return wine_test::PathArgument(0); }
std::string StandIn() { return wine_test::PathArgument(1); }
std::string SampleArchive() { return wine_test::PathArgument(2); }
std::string DamagedArchive() { return wine_test::PathArgument(3); }

// The installer's logic on the real services, for one application folder.
struct Rig {
  explicit Rig(const std::string& folder) { app.folder = folder; }
  // Runs the operation, then this thread's message loop, round by round,
  // until the operation finishes: an extraction's end arrives as a message.
  Outcome Finish(const std::function<void()>& operation) {
    operation();
    const DWORD start = GetTickCount();
    while (view.finishes.empty() && GetTickCount() - start < 60000) {
      MsgWaitForMultipleObjectsEx(0, nullptr, 100, QS_ALLINPUT, MWMO_INPUTAVAILABLE);
      ++rounds;
      platform::win32::ProcessPendingMessages();
    }
    EXPECT_EQ(view.finishes.size(), 1u);
    return view.finishes.empty() ? Outcome{} : view.finishes.back();
  }

  platform::win32::Registry registry;
  platform::win32::FileSystem files;
  platform::win32::Processes processes;
  fakes::FakeApplication app;
  fakes::FakeFormView view;
  installer::VoiceInstaller logic{{registry, files, processes, app}, view};
  int rounds = 0;  // of the message loop while it waited
};

class InstallerWine : public testing::Test {
 protected:
  void SetUp() override {
    wine_test::DeleteTree(kHostKey);
    ClearSwitches();
  }
  void TearDown() override {
    wine_test::DeleteTree(kHostKey);
    ClearSwitches();
  }
  static void ClearSwitches() {
    for (const wchar_t* name : {L"ILVO_RAR_STANDIN_EXIT", L"ILVO_RAR_STANDIN_DELAY_MS", L"ILVO_RAR_STANDIN_CRASH"}) {
      SetEnvironmentVariableW(name, nullptr);
    }
  }
  // An application folder with DATA\Rar.exe and DATA\Ilvo.yin.
  static std::unique_ptr<TempFolder> AppFolder(const std::string& name, const std::string& archive) {
    auto folder = std::make_unique<TempFolder>(name);
    wine_test::CreateFolder(*folder / "DATA");
    wine_test::CopyInto(StandIn(), *folder / "DATA\\Rar.exe");
    wine_test::CopyInto(archive, *folder / "DATA\\Ilvo.yin");
    return folder;
  }
  static std::string Voice(const TempFolder& folder, const char* ext) {
    return folder / (std::string("KT3WQ8ZRMD5LXNVC\\Ilvo") + ext);
  }
  static void AddVoiceFiles(const TempFolder& folder, const std::string& content) {
    wine_test::CreateFolder(folder / "KT3WQ8ZRMD5LXNVC");
    for (const char* ext : kExtensions) wine_test::WriteBytes(Voice(folder, ext), content + ext);
  }
  // Every value of the record's two keys, raw, by name.
  static std::vector<std::pair<std::string, wine_test::RawValue>> Record() {
    std::vector<std::pair<std::string, wine_test::RawValue>> values;
    for (const std::string& key : {kParentKey, kVoiceKey}) {
      for (const std::string& name : wine_test::ValueNames(key)) {
        values.emplace_back(key + "|" + name, wine_test::ReadValue(key, name));
      }
    }
    return values;
  }
};

// ---- The record on the real registry ----

TEST_F(InstallerWine, RecordIsWrittenValueByValueInTheAnsiCodePage) {
  TempFolder folder("音源 目录");
  Rig rig(folder.Path());
  rig.logic.Start();
  rig.logic.WriteVoiceRecord();

  const std::string ansiFolder = ToAnsi(folder.Path());
  ASSERT_GT(ansiFolder.size(), 0u);
  EXPECT_LT(ansiFolder.size(), folder.Path().size());  // 2 bytes a character in 936, 3 in UTF-8
  struct Expect {
    const std::string& key;
    const char* name;
    DWORD type;
    std::string bytes;
  };
  const Expect expected[] = {
      {kParentKey, "VOICEDIR", REG_SZ, ansiFolder + '\0'},
      {kVoiceKey, "INSTALLED", REG_DWORD, std::string("\x01\x00\x00\x00", 4)},
      {kVoiceKey, "NAME", REG_SZ, std::string("TIRELUNA2 Voice DB (Ilvo)") + '\0'},
      {kVoiceKey, "TIME", REG_SZ, std::string("R4NXC8VJ2TQM6WHE") + '\0'},
      {kVoiceKey, "DRP", REG_SZ, std::string("050010") + '\0'},
      {kVoiceKey, "INSTALLDIR", REG_SZ, ansiFolder + '\0'},
  };
  for (const Expect& e : expected) {
    SCOPED_TRACE(e.name);
    const wine_test::RawValue value = wine_test::ReadValue(e.key, e.name);
    ASSERT_TRUE(value.found);
    EXPECT_EQ(value.type, e.type);
    EXPECT_EQ(value.bytes.size(), e.bytes.size());
    EXPECT_EQ(value.bytes, e.bytes);
  }
  EXPECT_EQ(wine_test::ValueNames(kParentKey).size(), 1u);
  EXPECT_EQ(wine_test::ValueNames(kVoiceKey).size(), 5u);

  const auto once = Record();
  rig.logic.WriteVoiceRecord();
  const auto twice = Record();
  ASSERT_EQ(once.size(), twice.size());
  for (std::size_t i = 0; i < once.size(); ++i) {
    EXPECT_EQ(once[i].first, twice[i].first);
    EXPECT_EQ(once[i].second.type, twice[i].second.type);
    EXPECT_EQ(once[i].second.bytes, twice[i].second.bytes);
  }
}

TEST_F(InstallerWine, DeleteRemovesTheVoiceKeyWithVvoiceOnly) {
  TempFolder folder;
  struct Case {
    const char* name;
    const char* subkey;
    bool voiceKeyGone;
  };
  const Case cases[] = {{"plain", nullptr, true}, {"vvoice", "vvoice", true}, {"other subkey", "other", false}};
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    wine_test::DeleteTree(kHostKey);
    Rig rig(folder.Path());
    rig.logic.Start();
    rig.logic.WriteVoiceRecord();
    if (c.subkey != nullptr) rig.registry.CreateKey(kVoiceKey + "\\" + c.subkey);
    rig.logic.DeleteVoiceRecord();
    EXPECT_EQ(!wine_test::KeyExists(kVoiceKey), c.voiceKeyGone);
    EXPECT_TRUE(wine_test::ReadValue(kParentKey, "VOICEDIR").found);
    rig.logic.DeleteVoiceRecord();  // again: nothing happens, nothing is reported
    EXPECT_TRUE(rig.view.finishes.empty());
  }
  wine_test::DeleteTree(kHostKey);
  Rig none(folder.Path());
  none.logic.Start();
  none.logic.DeleteVoiceRecord();  // nothing registered at all
  EXPECT_FALSE(wine_test::KeyExists(kParentKey));
  EXPECT_TRUE(none.view.finishes.empty());
}

// ---- Install and repair with the stand-in ----

TEST_F(InstallerWine, InstallsFromAbsent) {
  auto folder = AppFolder("音源 安装", SampleArchive());
  Rig rig(folder->Path());
  rig.logic.Start();
  ASSERT_EQ(rig.logic.Status(), (installer::VoiceStatus{VoiceState::Absent, false}));

  const Outcome outcome = rig.Finish([&] { rig.logic.InstallOrRepair(); });

  EXPECT_EQ(outcome.message, "音源[安装]成功！");
  EXPECT_EQ(installer::BoxFor(outcome).title, "提示");
  EXPECT_GT(rig.rounds, 0);
  EXPECT_EQ(wine_test::ReadBytes(Voice(*folder, ".ddb")).size(), 3145728u);
  EXPECT_EQ(wine_test::ReadBytes(Voice(*folder, ".ddi")).size(), 786432u);
  EXPECT_EQ(wine_test::ReadBytes(Voice(*folder, ".vvd")).size(), 262144u);
  EXPECT_EQ(wine_test::ReadValue(kVoiceKey, "INSTALLDIR").bytes, ToAnsi(folder->Path()) + '\0');

  Rig next(folder->Path());  // the next start
  next.logic.Start();
  EXPECT_EQ(next.logic.Status().state, VoiceState::Installed);
  EXPECT_EQ(installer::StatusCaption(next.view.states.at(0)), "Ilvo - 音源已安装");
}

TEST_F(InstallerWine, RepairAddsTheMissingFileAndLeavesTheOthers) {
  auto folder = AppFolder("repair", SampleArchive());
  AddVoiceFiles(*folder, "kept ");
  Rig setup(folder->Path());
  setup.logic.Start();  // registers the complete set
  ASSERT_TRUE(wine_test::KeyExists(kVoiceKey));
  ASSERT_TRUE(DeleteFileW(platform::win32::Widen(Voice(*folder, ".ddi")).c_str()));
  const std::uint64_t vvdTime = wine_test::WriteTime(Voice(*folder, ".vvd"));
  const std::uint64_t ddbTime = wine_test::WriteTime(Voice(*folder, ".ddb"));
  Sleep(50);

  Rig rig(folder->Path());
  rig.logic.Start();
  ASSERT_EQ(rig.logic.Status().state, VoiceState::Incomplete);

  EXPECT_EQ(rig.Finish([&] { rig.logic.InstallOrRepair(); }).message, "音源[修复]成功！");
  EXPECT_EQ(wine_test::ReadBytes(Voice(*folder, ".ddi")).size(), 786432u);
  EXPECT_EQ(wine_test::ReadBytes(Voice(*folder, ".vvd")), "kept .vvd");
  EXPECT_EQ(wine_test::ReadBytes(Voice(*folder, ".ddb")), "kept .ddb");
  EXPECT_EQ(wine_test::WriteTime(Voice(*folder, ".vvd")), vvdTime);
  EXPECT_EQ(wine_test::WriteTime(Voice(*folder, ".ddb")), ddbTime);
  EXPECT_TRUE(wine_test::KeyExists(kVoiceKey));
}

Rig* tickingRig = nullptr;
int ticks = 0;

void CALLBACK Tick(HWND, UINT, UINT_PTR, DWORD) {
  ++ticks;
  tickingRig->logic.InstallOrRepair();  // a focus change during the wait starts nothing
}

TEST_F(InstallerWine, TheWaitKeepsEventsRunningWithoutSpinning) {
  auto folder = AppFolder("wait", SampleArchive());
  SetEnvironmentVariableW(L"ILVO_RAR_STANDIN_DELAY_MS", L"1500");
  Rig rig(folder->Path());
  rig.logic.Start();
  tickingRig = &rig;
  ticks = 0;
  const UINT_PTR timer = SetTimer(nullptr, 0, 30, Tick);
  const DWORD start = GetTickCount();

  const Outcome outcome = rig.Finish([&] { rig.logic.InstallOrRepair(); });

  const DWORD elapsed = GetTickCount() - start;
  KillTimer(nullptr, timer);
  tickingRig = nullptr;
  EXPECT_EQ(outcome.message, "音源[安装]成功！");
  EXPECT_GE(elapsed, 1500u);
  EXPECT_GE(ticks, 10);          // the timer ran during the wait
  EXPECT_LE(rig.rounds, 1000);   // an idle wait between rounds, not a spin
  EXPECT_EQ(rig.view.busy.size(), 1u);
  std::cout << "[ note ] " << elapsed << " ms, " << rig.rounds << " rounds, " << ticks << " ticks\n";
}

TEST_F(InstallerWine, FailedExtractionsWriteNoRecord) {
  struct Case {
    const char* name;
    bool damaged;
    const wchar_t* exitSwitch;  // ILVO_RAR_STANDIN_EXIT, or none
    const char* text;           // expected, or null: any failure of install
  };
  const Case cases[] = {
      {"extractor exits with 3", false, L"3", "音源[安装]失败！\r\n解压程序返回错误代码 3"},
      // The code Windows also gives while a process runs: the end of the
      // process tells that it ended, so this is a failure like any other.
      {"extractor exits with 259", false, L"259", "音源[安装]失败！\r\n解压程序返回错误代码 259"},
      {"damaged archive", true, nullptr, nullptr},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    wine_test::DeleteTree(kHostKey);
    auto folder = AppFolder("failed", c.damaged ? DamagedArchive() : SampleArchive());
    SetEnvironmentVariableW(L"ILVO_RAR_STANDIN_EXIT", c.exitSwitch);
    Rig rig(folder->Path());
    rig.logic.Start();
    ASSERT_EQ(rig.logic.Status().state, VoiceState::Absent);
    const installer::MessageBoxText box = installer::BoxFor(rig.Finish([&] { rig.logic.InstallOrRepair(); }));
    if (c.text != nullptr) {
      EXPECT_EQ(box.text, c.text);
    } else {
      EXPECT_EQ(box.text.rfind("音源[安装]失败！\r\n", 0), 0u) << box.text;
      std::cout << "[ note ] " << c.name << ": " << box.text << "\n";
    }
    EXPECT_EQ(box.title, "错误");
    EXPECT_EQ(box.icon, MessageIcon::Critical);
    EXPECT_FALSE(wine_test::KeyExists(kVoiceKey));
    EXPECT_FALSE(rig.logic.Busy());
    SetEnvironmentVariableW(L"ILVO_RAR_STANDIN_EXIT", nullptr);
  }
}

TEST_F(InstallerWine, ExtractorGoneAtTheMomentOfStart) {
  auto folder = AppFolder("gone", SampleArchive());
  Rig rig(folder->Path());
  rig.logic.Start();
  ASSERT_FALSE(rig.logic.Status().dataMissing);
  ASSERT_TRUE(DeleteFileW(platform::win32::Widen(*folder / "DATA\\Rar.exe").c_str()));

  EXPECT_EQ(rig.Finish([&] { rig.logic.InstallOrRepair(); }).message, "音源[安装]失败！\r\n解压程序无法启动");
  EXPECT_TRUE(rig.view.busy.empty()) << "the window never showed an extraction";
  EXPECT_FALSE(rig.logic.Busy());
  EXPECT_FALSE(wine_test::KeyExists(kVoiceKey));
}

// ---- Uninstall on real files ----

TEST_F(InstallerWine, UninstallRemovesOrStopsAtWhatIsInUse) {
  struct Case {
    const char* name;
    const char* held;      // held open by another process without sharing
    const char* readOnly;  // read-only voice file
    bool extraFile;
    const char* text;
    std::vector<const char*> left;  // voice files left
    bool folderLeft;
  };
  const char* ok = "音源[删除]成功！";
  const char* inUse = "音源正被使用，请结束后再卸载";
  const Case cases[] = {
      {"complete", nullptr, nullptr, false, ok, {}, false},
      {".ddi held open", ".ddi", nullptr, false, inUse, {".ddi", ".ddb"}, true},
      {".vvd read-only", nullptr, ".vvd", false, inUse, {".vvd", ".ddi", ".ddb"}, true},
      {"extra file", nullptr, nullptr, true, inUse, {}, true},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    wine_test::DeleteTree(kHostKey);
    auto folder = AppFolder("uninstall", SampleArchive());
    AddVoiceFiles(*folder, "voice ");
    if (c.extraFile) wine_test::WriteBytes(*folder / "KT3WQ8ZRMD5LXNVC\\notes.txt", "mine");
    if (c.readOnly) wine_test::SetAttributes(Voice(*folder, c.readOnly), FILE_ATTRIBUTE_READONLY);
    Rig rig(folder->Path());
    rig.logic.Start();
    ASSERT_EQ(rig.logic.Status().state, VoiceState::Installed);
    std::unique_ptr<wine_test::FileHolder> holder;
    if (c.held) holder = std::make_unique<wine_test::FileHolder>(Helper(), Voice(*folder, c.held));

    const Outcome outcome = rig.Finish([&] { rig.logic.AskThenUninstall(); });  // answered yes

    EXPECT_EQ(rig.view.questions, std::vector<Question>{Question::Uninstall});
    EXPECT_EQ(outcome.message, c.text);
    EXPECT_FALSE(wine_test::KeyExists(kVoiceKey));
    EXPECT_TRUE(wine_test::ReadValue(kParentKey, "VOICEDIR").found);
    for (const char* ext : kExtensions) {
      const bool left = std::find_if(c.left.begin(), c.left.end(),
                                     [&](const char* e) { return std::string(e) == ext; }) != c.left.end();
      EXPECT_EQ(wine_test::Exists(Voice(*folder, ext)), left) << ext;
    }
    EXPECT_EQ(wine_test::Exists(*folder / "KT3WQ8ZRMD5LXNVC"), c.folderLeft);
    EXPECT_TRUE(wine_test::Exists(*folder / "DATA\\Ilvo.yin"));
    EXPECT_TRUE(wine_test::Exists(*folder / "DATA\\Rar.exe"));
    holder.reset();
  }
}

// ---- Export on real files ----

std::string ExportUtf8(const std::string& folder) {
  const std::string doubled = installer::registration::DoubleBackslashes(folder);
  return "Windows Registry Editor Version 5.00\r\n"
                "\r\n"
                "[HKEY_LOCAL_MACHINE\\Software\\TIRELUNA2\\DATABASE\\VOICE]\r\n"
                "\"VOICEDIR\"=\"" + doubled + "\"\r\n"
                "\r\n"
                "[HKEY_LOCAL_MACHINE\\Software\\TIRELUNA2\\DATABASE\\VOICE\\KT3WQ8ZRMD5LXNVC]\r\n"
                "\"INSTALLED\"=dword:00000001\r\n"
                "\"NAME\"=\"TIRELUNA2 Voice DB (Ilvo)\"\r\n"
                "\"TIME\"=\"R4NXC8VJ2TQM6WHE\"\r\n"
                "\"DRP\"=\"050010\"\r\n"
                "\"INSTALLDIR\"=\"" + doubled + "\"\r\n"
                "\r\n";
}

std::string ExportText(const std::string& folder) { return ToAnsi(ExportUtf8(folder)); }

TEST_F(InstallerWine, ExportReplacesCancelsOrFailsCleanly) {
  struct Case {
    const char* name;
    int answer;
    const char* old;  // content of an old Ilvo.reg, or none
    bool oldReadOnly;
    bool folderIsAFile;
    bool failure;
    bool newText;  // the file holds the export afterwards (else: the old content, or nothing)
  };
  const Case cases[] = {
      {"replaces an old file", IDOK, "old text", false, false, false, true},
      {"new file", IDOK, nullptr, false, false, false, true},
      {"cancelled", IDCANCEL, "old text", false, false, false, false},
      {"cancelled, none there", IDCANCEL, nullptr, false, false, false, false},
      {"old file read-only", IDOK, "old text", true, false, true, false},
      {"folder is a file", IDOK, nullptr, false, true, true, false},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    TempFolder folder("导出 测试");
    std::string appFolder = folder.Path();
    if (c.folderIsAFile) {
      appFolder = folder / "not a folder";
      wine_test::WriteBytes(appFolder, "file");
    }
    const std::string exportFile = appFolder + "\\Ilvo.reg";
    std::uint64_t oldTime = 0;
    if (c.old) {
      wine_test::WriteBytes(exportFile, c.old);
      if (c.oldReadOnly) wine_test::SetAttributes(exportFile, FILE_ATTRIBUTE_READONLY);
      oldTime = wine_test::WriteTime(exportFile);
      Sleep(50);
    }
    Rig rig(appFolder);
    rig.logic.Start();
    rig.view.answers = {c.answer == IDOK};

    rig.logic.AskThenExport();

    EXPECT_TRUE(rig.view.finishes.empty());
    EXPECT_EQ(rig.view.questions, std::vector<Question>{Question::Export});
    ASSERT_EQ(rig.view.reports.size(), c.failure ? 1u : 0u);
    if (c.failure) {
      EXPECT_EQ(rig.view.reports[0], installer::Outcome::Failure(installer::Operation::Export, {}));
    }
    if (c.newText) {
      EXPECT_EQ(wine_test::ReadBytes(exportFile), ExportText(appFolder));
    } else if (c.old) {
      EXPECT_EQ(wine_test::ReadBytes(exportFile), c.old);
      EXPECT_EQ(wine_test::WriteTime(exportFile), oldTime);
    } else {
      EXPECT_FALSE(wine_test::Exists(exportFile));
    }
    if (c.folderIsAFile) {
      EXPECT_EQ(wine_test::ReadBytes(appFolder), "file");
    }
  }
}

TEST_F(InstallerWine, ExportReplacesHiddenOrSystemOldFilesAndHoldsAnyFolderName) {
  struct Case {
    const char* name;
    const char* folder;
    DWORD oldAttributes;  // of an old Ilvo.reg; 0: none there
    bool utf16;           // code page 936 cannot hold the folder's name
  };
  const Case cases[] = {
      {"hidden old file", "导出 隐藏", FILE_ATTRIBUTE_HIDDEN, false},
      {"system old file", "导出 系统", FILE_ATTRIBUTE_SYSTEM, false},
      {"hidden and system old file", "导出", FILE_ATTRIBUTE_HIDDEN | FILE_ATTRIBUTE_SYSTEM, false},
      {"hangul folder", "음성 보관", 0, true},
      {"hangul folder, hidden old file", "음성 보관", FILE_ATTRIBUTE_HIDDEN, true},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    TempFolder folder(c.folder);
    const std::string exportFile = folder / "Ilvo.reg";
    if (c.oldAttributes != 0) {
      wine_test::WriteBytes(exportFile, "old text\r\n");
      wine_test::SetAttributes(exportFile, c.oldAttributes);
    }
    Rig rig(folder.Path());
    rig.logic.Start();

    rig.logic.AskThenExport();  // answered yes

    EXPECT_TRUE(rig.view.reports.empty()) << "no failure message";
    const std::string expected =
        c.utf16 ? "\xFF\xFE" + wine_test::Utf16Le(ExportUtf8(folder.Path())) : ExportText(folder.Path());
    EXPECT_EQ(wine_test::ReadBytes(exportFile), expected);
    EXPECT_EQ(wine_test::Attributes(exportFile) & (FILE_ATTRIBUTE_HIDDEN | FILE_ATTRIBUTE_SYSTEM), 0u);
    EXPECT_EQ(wine_test::FolderEntries(folder.Path()), std::vector<std::string>{"Ilvo.reg"});
  }
}

}  // namespace
