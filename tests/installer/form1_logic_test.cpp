// Native tests of the voice logic against the fakes: state detection, the
// record, the command lines, the extraction result rules, uninstall, export,
// the focus handlers and the Busy guard.
#include <gtest/gtest.h>

#include <algorithm>
#include <functional>
#include <string>
#include <vector>

#include "fake_form_view.h"
#include "installer/form1_logic.h"
#include "platform/paths.h"
#include "tests/fakes/fake_services.h"

namespace {

using fakes::FakeFileSystem;
using fakes::ProgramEnded;
using installer::BarId;
using installer::ButtonId;
using installer::Form1Logic;
using installer::TimerId;
using platform::MessageButtons;
using platform::MessageIcon;

const std::string kVoiceKey = "Software\\TIRELUNA2\\DATABASE\\VOICE\\KT3WQ8ZRMD5LXNVC";
const std::string kParentKey = "Software\\TIRELUNA2\\DATABASE\\VOICE";
const std::string kEntryKey = "Software\\Microsoft\\Windows\\CurrentVersion\\Uninstall\\Ilvo_KT3WQ8ZRMD5LXNVC";
// The entry in the list of installed programs, value by value as written:
// "SetString|SetDword key name=value" for a program at C:\Voices, with voice
// files of sizeKiB in all.
std::vector<std::string> EntryWrites(std::uint32_t sizeKiB) {
  const std::string s = "SetString " + kEntryKey + " ";
  const std::string d = "SetDword " + kEntryKey + " ";
  return {"CreateKey " + kEntryKey,
          s + "DisplayName=TIRELUNA2 Voice DB (Ilvo)",
          s + "DisplayIcon=C:\\Voices\\IlvoInstaller.exe",
          s + "DisplayVersion=1.0.0.0",
          s + "Publisher=Ilvo 音源 (Ilvo voice bank)",
          s + "InstallLocation=C:\\Voices",
          s + "UninstallString=\"C:\\Voices\\IlvoInstaller.exe\" /uninstall",
          s + "QuietUninstallString=\"C:\\Voices\\IlvoInstaller.exe\" /uninstall /quiet",
          d + "EstimatedSize=" + std::to_string(sizeKiB),
          d + "NoModify=1",
          d + "NoRepair=1"};
}

// Bits of the voice files for the tables.
enum : unsigned { Vvd = 1, Ddi = 2, Ddb = 4, AllFiles = 7 };

struct Rig {
  explicit Rig(std::string folder = "C:\\Voices") {
    s.app.folder = std::move(folder);
    s.files.AddFolder(s.app.folder);
  }
  std::string AppDir() const { return s.app.folder + "\\"; }
  std::string Voice(const char* ext) const { return AppDir() + "KT3WQ8ZRMD5LXNVC\\Ilvo" + ext; }
  std::string Archive() const { return AppDir() + "DATA\\Ilvo.yin"; }
  std::string Extractor() const { return AppDir() + "DATA\\Rar.exe"; }
  std::string ExportFile() const { return AppDir() + "Ilvo.reg"; }

  void AddVoiceFiles(unsigned mask, std::uint32_t attributes = 0) {
    if (mask & Vvd) s.files.AddFile(Voice(".vvd"), "vvd", attributes);
    if (mask & Ddi) s.files.AddFile(Voice(".ddi"), "ddi", attributes);
    if (mask & Ddb) s.files.AddFile(Voice(".ddb"), "ddb", attributes);
  }
  // What the extractor leaves in the staging folder, as it extracts there.
  std::string Staged(const char* ext) const { return AppDir() + "Ilvo.staging\\KT3WQ8ZRMD5LXNVC\\Ilvo" + ext; }
  void AddStagedFiles(unsigned mask, std::uint32_t attributes = 0) {
    if (mask & Vvd) s.files.AddFile(Staged(".vvd"), "new vvd", attributes);
    if (mask & Ddi) s.files.AddFile(Staged(".ddi"), "new ddi", attributes);
    if (mask & Ddb) s.files.AddFile(Staged(".ddb"), "new ddb", attributes);
  }
  void AddData(bool archive = true, bool extractor = true) {
    s.files.AddFolder(AppDir() + "DATA");
    if (archive) s.files.AddFile(Archive(), "archive");
    if (extractor) s.files.AddFile(Extractor(), "rar");
  }
  void AddKey() { s.registry.CreateKey(kVoiceKey); }
  // Form_Load with the log cleared before and after.
  installer::LoadResult Load() {
    s.log.clear();
    const installer::LoadResult result = logic.Form_Load();
    s.log.clear();
    return result;
  }
  // Runs an action that ends the program; fails the test if it does not.
  void ExpectEnds(const std::function<void()>& action) {
    EXPECT_THROW(action(), ProgramEnded);
    EXPECT_TRUE(s.app.ended);
  }
  std::vector<std::string> LogWith(const std::vector<std::string>& prefixes) const {
    std::vector<std::string> lines;
    for (const std::string& line : s.log) {
      for (const std::string& prefix : prefixes) {
        if (line.rfind(prefix, 0) == 0) {
          lines.push_back(line);
          break;
        }
      }
    }
    return lines;
  }

  fakes::FakeServices s;
  fakes::FakeFormView view{&s.log};
  Form1Logic logic{s.Services(), view};
};

// ---- the state table and its edge cases ----

struct StateCase {
  const char* name;
  unsigned files;                 // voice files present
  std::uint32_t fileAttributes;   // their attributes
  bool key;                       // registration key present before load
  bool archive, extractor;
  bool registryWritable;
  // expected
  int state;
  const char* captionEnd;
  bool azEnabled, xzVisible, xzEnabled, xfEnabled, xztEnabled, bar1Visible;
  bool recordWritten;
};

TEST(FormLoad, ClassifiesAndArrangesByTheStateTable) {
  const std::uint32_t kHidden = FakeFileSystem::kHidden, kSystem = FakeFileSystem::kSystem,
                      kReadOnly = FakeFileSystem::kReadOnly;
  // clang-format off
  const StateCase cases[] = {
    // name                               files     attr      key    arch   rar    write  st caption            AZ     XZvis  XZen   XF     XZT    Bar1   record
    {"complete, key",                     AllFiles, 0,        true,  true,  true,  true,  1, " - 音源已安装",     false, false, true,  false, true,  false, true},
    {"complete, no key: written at load", AllFiles, 0,        false, true,  true,  true,  1, " - 音源已安装",     false, false, true,  false, true,  false, true},
    {"complete read-only files",          AllFiles, kReadOnly,true,  true,  true,  true,  1, " - 音源已安装",     false, false, true,  false, true,  false, true},
    {"complete, key, archive missing",    AllFiles, 0,        true,  false, true,  true,  1, " - 安装文件缺失",   false, false, true,  false, true,  false, true},
    {"complete, key, extractor missing",  AllFiles, 0,        true,  true,  false, true,  1, " - 安装文件缺失",   false, false, true,  false, true,  false, true},
    {"complete, registry not writable",   AllFiles, 0,        false, true,  true,  false, 3, " - 音源不完全",     false, true,  true,  true,  true,  true,  false},
    {"nothing",                           0,        0,        false, true,  true,  true,  2, " - 音源不存在",     true,  false, true,  false, false, true,  false},
    {"nothing, archive missing",          0,        0,        false, false, true,  true,  2, " - 安装文件缺失",   false, false, true,  false, false, true,  false},
    {"nothing, extractor missing",        0,        0,        false, true,  false, true,  2, " - 安装文件缺失",   false, false, true,  false, false, true,  false},
    {"nothing, both missing",             0,        0,        false, false, false, true,  2, " - 安装文件缺失",   false, false, true,  false, false, true,  false},
    {"key but no file",                   0,        0,        true,  true,  true,  true,  3, " - 音源不完全",     false, true,  true,  true,  true,  true,  false},
    {"key but no file, archive missing",  0,        0,        true,  false, true,  true,  3, " - 安装文件缺失",   false, true,  true,  false, true,  true,  false},
    {"key but no file, extractor missing",0,        0,        true,  true,  false, true,  3, " - 安装文件缺失",   false, true,  true,  false, true,  true,  false},
    {"only .ddb",                         Ddb,      0,        false, true,  true,  true,  3, " - 音源不完全",     false, true,  true,  true,  true,  true,  false},
    {"only .vvd and .ddi",                Vvd | Ddi,0,        false, true,  true,  true,  3, " - 音源不完全",     false, true,  true,  true,  true,  true,  false},
    {"two files, key",                    Ddi | Ddb,0,        true,  true,  true,  true,  3, " - 音源不完全",     false, true,  true,  true,  true,  true,  false},
    {"all three hidden",                  AllFiles, kHidden,  false, true,  true,  true,  2, " - 音源不存在",     true,  false, true,  false, false, true,  false},
    {"all three system",                  AllFiles, kSystem,  false, true,  true,  true,  2, " - 音源不存在",     true,  false, true,  false, false, true,  false},
  };
  // clang-format on
  for (const StateCase& c : cases) {
    SCOPED_TRACE(c.name);
    Rig rig;
    rig.AddVoiceFiles(c.files, c.fileAttributes);
    rig.AddData(c.archive, c.extractor);
    if (c.key) rig.AddKey();
    rig.s.registry.failWrites = !c.registryWritable;

    EXPECT_EQ(rig.Load(), installer::LoadResult::Show);

    EXPECT_EQ(rig.logic.VoiceState, c.state);
    EXPECT_EQ(rig.view.caption, std::string("Ilvo") + c.captionEnd);
    EXPECT_EQ(rig.logic.ArchiveMissing, (c.archive && c.extractor) ? 0 : 1);
    EXPECT_EQ(rig.view.buttons[ButtonId::AZ].enabled, c.azEnabled);
    EXPECT_EQ(rig.view.buttons[ButtonId::XZ].visible, c.xzVisible);
    EXPECT_EQ(rig.view.buttons[ButtonId::XZ].enabled, c.xzEnabled);
    EXPECT_EQ(rig.view.buttons[ButtonId::XF].enabled, c.xfEnabled);
    EXPECT_EQ(rig.view.buttons[ButtonId::XZT].enabled, c.xztEnabled);
    EXPECT_EQ(rig.view.bars[BarId::Bar1].visible, c.bar1Visible);
    // Never touched by the load.
    EXPECT_TRUE(rig.view.buttons[ButtonId::AZ].visible);
    EXPECT_TRUE(rig.view.buttons[ButtonId::XF].visible);
    EXPECT_TRUE(rig.view.buttons[ButtonId::XFT].visible && rig.view.buttons[ButtonId::XFT].enabled);
    EXPECT_TRUE(rig.view.buttons[ButtonId::XZT].visible);
    EXPECT_TRUE(rig.view.bars[BarId::Bar2].visible);
    EXPECT_EQ(rig.s.registry.Find(kVoiceKey, "NAME") != nullptr, c.recordWritten);
    EXPECT_EQ(rig.logic.Busy, 0);
    EXPECT_TRUE(rig.s.app.boxes.empty());
  }
}

TEST(FormLoad, SetsIdentityPathsAndButtonCaptions) {
  Rig rig("D:\\My Voices");
  rig.Load();
  EXPECT_EQ(rig.logic.VoiceId, "KT3WQ8ZRMD5LXNVC");
  EXPECT_EQ(rig.logic.VoiceName, "Ilvo");
  EXPECT_EQ(rig.logic.DrpValue, "050010");
  EXPECT_EQ(rig.logic.AppDir, "D:\\My Voices\\");
  EXPECT_EQ(rig.logic.VoiceBase, "D:\\My Voices\\KT3WQ8ZRMD5LXNVC\\Ilvo");
  EXPECT_EQ(rig.view.buttons[ButtonId::AZ].caption, "安装");
  EXPECT_EQ(rig.view.buttons[ButtonId::XZ].caption, "卸载");
  EXPECT_EQ(rig.view.buttons[ButtonId::XF].caption, "修复");
  EXPECT_EQ(rig.view.buttons[ButtonId::XFT].caption, "修复");
  EXPECT_EQ(rig.view.buttons[ButtonId::XZT].caption, "卸载");
  EXPECT_EQ(rig.logic.FillCounter, 3);
  EXPECT_FALSE(rig.view.timers[TimerId::Timer2].enabled);
  EXPECT_EQ(rig.view.bars[BarId::Bar2].style, 0);
  EXPECT_EQ(rig.view.bars[BarId::Bar2].value, 2);
  EXPECT_EQ(rig.view.bars[BarId::Bar2].max, 2);
}

TEST(FormLoad, RunsItsTwelveStepsInOrder) {
  Rig rig;
  rig.AddVoiceFiles(AllFiles);
  rig.AddData();
  rig.s.log.clear();
  rig.logic.Form_Load();
  const std::string v = "C:\\Voices\\KT3WQ8ZRMD5LXNVC\\Ilvo";
  std::vector<std::string> expected = {
      // 3-6: Timer2 and the full Xp_ProgressBar2
      "Timer2.Enabled 1", "Bar2.Max 2", "Bar2.Value 2",
      "Bar2.Style 0", "Bar2.Value 2", "Bar2.Value?", "Timer2.Enabled 0",
      // what an attempt or an export cut short left goes first
      "EntryExists C:\\Voices\\Ilvo.staging", "EntryExists C:\\Voices\\Ilvo.reg.new",
      // 7: files .vvd, .ddi, .ddb; complete, so the record is written
      "Dir " + v + ".vvd", "Dir " + v + ".ddi", "Dir " + v + ".ddb",
      "CreateKey " + kParentKey, "SetString " + kParentKey + " VOICEDIR=C:\\Voices",
      "CreateKey " + kVoiceKey, "SetDword " + kVoiceKey + " INSTALLED=1",
      "SetString " + kVoiceKey + " NAME=TIRELUNA2 Voice DB (Ilvo)",
      "SetString " + kVoiceKey + " TIME=R4NXC8VJ2TQM6WHE", "SetString " + kVoiceKey + " DRP=050010",
      "SetString " + kVoiceKey + " INSTALLDIR=C:\\Voices",
      // 8: archive and extractor
      "Dir C:\\Voices\\DATA\\Ilvo.yin", "Dir C:\\Voices\\DATA\\Rar.exe",
      // 9: captions
      "AZ.Caption 安装", "XZ.Caption 卸载", "XF.Caption 修复", "XFT.Caption 修复", "XZT.Caption 卸载",
      // 10: probe
      "OpenKey " + kVoiceKey,
      // 11: row 1
      "Dir " + v + ".vvd", "Dir " + v + ".ddi", "Dir " + v + ".ddb",
      "Caption Ilvo - 音源已安装", "Bar1.Visible 0", "AZ.Enabled 0", "XZ.Visible 0", "XF.Enabled 0",
  };
  // Step 7 writes the entry in the list of installed programs after the record.
  const std::vector<std::string> entry = EntryWrites(1);
  expected.insert(std::find(expected.begin(), expected.end(), "Dir C:\\Voices\\DATA\\Ilvo.yin"), entry.begin(), entry.end());
  EXPECT_EQ(rig.s.log, expected);
}

TEST(FormLoad, ProbesTheKeyAgainBeforeTheSecondRow) {
  Rig rig;
  rig.AddData();
  rig.s.log.clear();
  rig.logic.Form_Load();
  const auto probes = rig.LogWith({"OpenKey", "Dir C:\\Voices\\KT3", "Caption"});
  const std::string v = "Dir C:\\Voices\\KT3WQ8ZRMD5LXNVC\\Ilvo";
  const std::vector<std::string> expected = {
      v + ".vvd", v + ".ddi", v + ".ddb",  // step 7
      "OpenKey " + kVoiceKey,              // step 10
      v + ".vvd", v + ".ddi", v + ".ddb",  // row 1
      "OpenKey " + kVoiceKey,              // before row 2
      v + ".vvd", v + ".ddi", v + ".ddb",  // row 2
      "Caption Ilvo - 音源不存在"};
  EXPECT_EQ(probes, expected);
}

TEST(FormLoad, SecondInstanceUnloadsBeforeTouchingFilesOrRegistry) {
  // The first copy may be extracting: neither its staging folder nor the
  // voice's files are touched, nor registered.
  Rig rig;
  rig.AddVoiceFiles(AllFiles);
  rig.AddData();
  rig.AddStagedFiles(Ddb);
  rig.s.app.previousInstance = true;
  rig.s.log.clear();
  EXPECT_EQ(rig.logic.Form_Load(), installer::LoadResult::Unload);
  EXPECT_EQ(rig.LogWith({"Dir", "EntryExists", "ReadFile", "DeleteFile", "RemoveFolder", "RemoveTree", "CreateKey",
                         "Set", "Open"}),
            std::vector<std::string>{});
  EXPECT_EQ(rig.s.registry.KeyCount(), 0u);
  EXPECT_TRUE(rig.s.files.Exists(rig.Voice(".ddb")));
  EXPECT_TRUE(rig.s.files.Exists(rig.Staged(".ddb")));
  EXPECT_TRUE(rig.s.app.boxes.empty());
  EXPECT_FALSE(rig.s.app.ended);
}

TEST(FormUnload, IsRefusedExactlyWhileBusy) {
  Rig rig;
  std::int16_t cancel = 7;
  rig.logic.Form_Unload(cancel);
  EXPECT_EQ(cancel, 0);
  rig.logic.Busy = 1;
  rig.logic.Form_Unload(cancel);
  EXPECT_NE(cancel, 0);
}

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
  EXPECT_EQ(rig.s.app.folderReads, 1 + 1 + 1);  // Form_Load, then once for each write: the folder as it is then
}

TEST(VoiceRecord, DeleteRemovesVvoiceThenTheVoiceKeyAndKeepsTheParent) {
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
  EXPECT_TRUE(empty.s.app.boxes.empty());
}

// ---- command lines ----

TEST(ExtractVoice, ComposesTheCommandLines) {
  struct Case {
    const char* folder;
    const char* install;
    const char* repair;
  };
  // clang-format off
  const Case cases[] = {
    {"C:\\Voices",
     R"("C:\Voices\DATA\Rar.exe" x -o+ "C:\Voices\DATA\Ilvo.yin" "C:\Voices\Ilvo.staging\")",
     R"("C:\Voices\DATA\Rar.exe" x -o- "C:\Voices\DATA\Ilvo.yin" "C:\Voices\Ilvo.staging\")"},
    {"C:\\Program Files\\My Voices",
     R"("C:\Program Files\My Voices\DATA\Rar.exe" x -o+ "C:\Program Files\My Voices\DATA\Ilvo.yin" "C:\Program Files\My Voices\Ilvo.staging\")",
     R"("C:\Program Files\My Voices\DATA\Rar.exe" x -o- "C:\Program Files\My Voices\DATA\Ilvo.yin" "C:\Program Files\My Voices\Ilvo.staging\")"},
    {"D:\\歌声 合成\\音源",
     R"("D:\歌声 合成\音源\DATA\Rar.exe" x -o+ "D:\歌声 合成\音源\DATA\Ilvo.yin" "D:\歌声 合成\音源\Ilvo.staging\")",
     R"("D:\歌声 合成\音源\DATA\Rar.exe" x -o- "D:\歌声 合成\音源\DATA\Ilvo.yin" "D:\歌声 合成\音源\Ilvo.staging\")"},
    // At a drive root the platform gives "C:\" and AppDir gets a second backslash.
    {"C:\\",
     R"("C:\\DATA\Rar.exe" x -o+ "C:\\DATA\Ilvo.yin" "C:\\Ilvo.staging\")",
     R"("C:\\DATA\Rar.exe" x -o- "C:\\DATA\Ilvo.yin" "C:\\Ilvo.staging\")"},
  };
  // clang-format on
  for (const Case& c : cases) {
    SCOPED_TRACE(c.folder);
    Rig rig(c.folder);
    rig.Load();
    EXPECT_EQ(rig.logic.ExtractCommandLine(true), c.install);
    EXPECT_EQ(rig.logic.ExtractCommandLine(false), c.repair);
  }
}

// ---- the result rules ----

// What goes wrong with the registry while the record is written.
enum class RecordFault {
  None,
  AllWrites,    // no key can be made, no value set
  Values,       // the keys open (as in a repair), every value write is refused
  TextChanged,  // every write answers success but stores other text
};

struct ExtractCase {
  const char* name;
  unsigned filesBefore;  // voice files before (0: install, else repair)
  bool keyBefore;
  int wakes;             // waits woken by input before the extractor ends
  std::optional<std::uint32_t> exitCode;  // nothing: it cannot be read
  unsigned filesExtracted;  // voice files the extractor leaves behind
  bool openFails, waitFails;
  RecordFault registry;
  // expected
  const char* text;
  MessageIcon icon;
  bool recordWritten;
};

TEST(ExtractVoice, ReportsSuccessOnlyWhenTrue) {
  using O = std::optional<std::uint32_t>;
  const O none{};
  const auto F = RecordFault::None;
  // clang-format off
  const std::vector<ExtractCase> cases = {
    {"install, exit 0",              0,   false, 2, O{0},          AllFiles, false, false, F, "音源[安装]成功！", MessageIcon::None, true},
    {"install, exit 1 (warning)",    0,   false, 1, O{1},          AllFiles, false, false, F, "音源[安装]成功！", MessageIcon::None, true},
    {"repair, exit 0",               Ddb, false, 0, O{0},          AllFiles, false, false, F, "音源[修复]成功！", MessageIcon::None, true},
    {"repair of key without files",  0,   true,  1, O{0},          AllFiles, false, false, F, "音源[修复]成功！", MessageIcon::None, true},
    {"install, exit 2",              0,   false, 1, O{2},          AllFiles, false, false, F, "音源[安装]失败！\r\n解压程序返回错误代码 2", MessageIcon::Critical, false},
    {"install, exit 3",              0,   false, 0, O{3},          0,        false, false, F, "音源[安装]失败！\r\n解压程序返回错误代码 3", MessageIcon::Critical, false},
    {"repair, exit 255",             Vvd, false, 0, O{255},        AllFiles, false, false, F, "音源[修复]失败！\r\n解压程序返回错误代码 255", MessageIcon::Critical, false},
    {"install, exit 259 once ended", 0,   false, 3, O{259},        AllFiles, false, false, F, "音源[安装]失败！\r\n解压程序返回错误代码 259", MessageIcon::Critical, false},
    {"repair, exit 259 at once",     Ddi, false, 0, O{259},        AllFiles, false, false, F, "音源[修复]失败！\r\n解压程序返回错误代码 259", MessageIcon::Critical, false},
    {"install, exit 0xFFFFFFFF",     0,   false, 0, O{0xFFFFFFFFu},AllFiles, false, false, F, "音源[安装]失败！\r\n解压程序返回错误代码 4294967295", MessageIcon::Critical, false},
    {"install, crashed",             0,   false, 0, O{0xC0000005u},0,        false, false, F, "音源[安装]失败！\r\n解压程序返回错误代码 3221225477", MessageIcon::Critical, false},
    {"no handle to wait on",         0,   false, 0, O{0},          AllFiles, true,  false, F, "音源[安装]失败！\r\n无法等待解压程序结束", MessageIcon::Critical, false},
    {"repair, no handle",            Ddb, false, 0, O{0},          AllFiles, true,  false, F, "音源[修复]失败！\r\n无法等待解压程序结束", MessageIcon::Critical, false},
    {"the wait fails while it runs", 0,   false, 2, O{0},          AllFiles, false, true,  F, "音源[安装]失败！\r\n无法等待解压程序结束", MessageIcon::Critical, false},
    {"exit code unreadable",         0,   false, 1, none,          AllFiles, false, false, F, "音源[安装]失败！\r\n无法读取解压程序的返回代码", MessageIcon::Critical, false},
    {"repair, exit code unreadable", Vvd, false, 0, none,          AllFiles, false, false, F, "音源[修复]失败！\r\n无法读取解压程序的返回代码", MessageIcon::Critical, false},
    {"install, exit 0, files short", 0,   false, 0, O{0},          Vvd|Ddi,  false, false, F, "音源[安装]失败！\r\n音源文件不完整", MessageIcon::Critical, false},
    {"repair, exit 1, none at all",  Ddi, false, 0, O{1},          0,        false, false, F, "音源[修复]失败！\r\n音源文件不完整", MessageIcon::Critical, false},
    {"install, registry refuses",    0,   false, 0, O{0},          AllFiles, false, false, RecordFault::AllWrites, "音源[安装]失败！\r\n无法写入注册表", MessageIcon::Critical, false},
    {"repair, registry refuses",     Ddb, false, 0, O{0},          AllFiles, false, false, RecordFault::AllWrites, "音源[修复]失败！\r\n无法写入注册表", MessageIcon::Critical, false},
    {"repair, key there, values refused", 0, true, 0, O{0},        AllFiles, false, false, RecordFault::Values, "音源[修复]失败！\r\n无法写入注册表", MessageIcon::Critical, false},
    {"install, values refused",      0,   false, 0, O{0},          AllFiles, false, false, RecordFault::Values, "音源[安装]失败！\r\n无法写入注册表", MessageIcon::Critical, false},
    {"repair, key there, text changed", 0, true, 0, O{0},          AllFiles, false, false, RecordFault::TextChanged, "音源[修复]失败！\r\n无法写入注册表", MessageIcon::Critical, true},
  };
  // clang-format on
  for (const ExtractCase& c : cases) {
    SCOPED_TRACE(c.name);
    Rig rig;
    rig.AddVoiceFiles(c.filesBefore);
    rig.AddData();
    if (c.keyBefore) rig.AddKey();
    rig.Load();
    const bool install = rig.logic.VoiceState == 2;
    ASSERT_EQ(install, c.filesBefore == 0 && !c.keyBefore);
    rig.s.processes.wakesBeforeEnd = c.wakes;
    rig.s.processes.exitCode = c.exitCode;
    rig.s.processes.openFails = c.openFails;
    rig.s.processes.waitFails = c.waitFails;
    rig.s.processes.onStart = [&](const fakes::FakeProcesses::Start&) {
      rig.AddStagedFiles(c.filesExtracted);
      rig.s.registry.failWrites = c.registry == RecordFault::AllWrites;
      rig.s.registry.refuseValues = c.registry == RecordFault::Values;
      if (c.registry == RecordFault::TextChanged) {
        rig.s.registry.storedText = [](const std::string& text) { return text + "?"; };
      }
    };

    rig.ExpectEnds([&] { install ? rig.logic.QORButtonAZ_GotFocus() : rig.logic.QORButtonXF_GotFocus(); });

    ASSERT_EQ(rig.s.app.boxes.size(), 1u);
    const auto& box = rig.s.app.boxes[0];
    EXPECT_EQ(box.text, c.text);
    EXPECT_EQ(box.title, c.icon == MessageIcon::None ? "提示" : "错误");
    EXPECT_EQ(box.buttons, MessageButtons::Ok);
    EXPECT_EQ(box.icon, c.icon);
    EXPECT_EQ(rig.s.registry.Find(kVoiceKey, "INSTALLED") != nullptr, c.recordWritten);
    // The exit code is read once, and only after the wait has seen the end;
    // the handle, when there was one, is closed.
    const std::vector<std::string> waited =
        c.openFails ? std::vector<std::string>{}
                    : c.waitFails ? std::vector<std::string>{"Wait failed"}
                                  : std::vector<std::string>{"Wait ended", "ExitCode"};
    EXPECT_EQ(rig.LogWith({"Wait", "ExitCode"}), waited);
    EXPECT_EQ(rig.s.processes.waits, c.openFails ? 0 : c.wakes + 1);
    EXPECT_EQ(rig.s.processes.closed.size(), c.openFails ? 0u : 1u);
    // The finish runs before either message.
    EXPECT_FALSE(rig.view.timers[TimerId::Timer1].enabled);
    EXPECT_FALSE(rig.view.bars[BarId::Bar1].visible);
    EXPECT_TRUE(rig.view.bars[BarId::Bar2].visible);
    EXPECT_EQ(rig.logic.Busy, 0);
    EXPECT_EQ(rig.view.caption, install ? "Ilvo - 安装中" : "Ilvo - 修复中");
    const auto tail = rig.LogWith({"Timer1.Enabled 0", "Bar1.Visible", "Bar2.Visible", "MessageBox", "EndProgram"});
    ASSERT_EQ(tail.size(), 5u);
    EXPECT_EQ(tail[0], "Timer1.Enabled 0");
    EXPECT_EQ(tail[1], "Bar1.Visible 0");
    EXPECT_EQ(tail[2], "Bar2.Visible 1");
    EXPECT_EQ(tail[4], "EndProgram");
  }
}

TEST(ExtractVoice, InstallArrangesTheWindowThenWaitsWithoutSpinning) {
  Rig rig;
  rig.AddData();
  rig.Load();
  rig.s.processes.wakesBeforeEnd = 3;
  rig.s.processes.onStart = [&](const auto&) { rig.AddStagedFiles(AllFiles); };
  std::vector<std::int16_t> busyDuringWait;
  rig.s.app.onDoEvents = [&] { busyDuringWait.push_back(rig.logic.Busy); };

  rig.ExpectEnds([&] { rig.logic.QORButtonAZ_GotFocus(); });

  ASSERT_EQ(rig.s.processes.starts.size(), 1u);
  EXPECT_EQ(rig.s.processes.starts[0].applicationPath, "C:\\Voices\\DATA\\Rar.exe");
  EXPECT_EQ(rig.s.processes.starts[0].commandLine, rig.logic.ExtractCommandLine(true));
  EXPECT_EQ(rig.s.processes.exitCodeCalls, 1);  // once it has ended
  EXPECT_EQ(rig.s.app.doEvents, 4);
  EXPECT_EQ(rig.s.processes.waits, 4);  // an idle wait after each round of events
  EXPECT_EQ(rig.s.processes.closed, std::vector<std::uintptr_t>{fakes::FakeProcesses::kHandle});
  EXPECT_EQ(busyDuringWait, (std::vector<std::int16_t>{1, 1, 1, 1}));
  EXPECT_EQ(rig.logic.ChildProcess, fakes::FakeProcesses::kHandle);
  EXPECT_EQ(rig.logic.ChildExitCode, 0u);
  const auto order = rig.LogWith({"Timer1.Enabled", "StartHidden", "AZ.Enabled", "XZ", "XF", "Caption", "OpenProcess",
                                  "Wait", "ExitCode", "CloseProcess", "SetDword", "ReadValue"});
  const std::vector<std::string> expected = {
      "Timer1.Enabled 1", "StartHidden " + rig.logic.ExtractCommandLine(true), "AZ.Enabled 0",
      "Caption Ilvo - 安装中", "OpenProcess 4242", "Wait ended", "ExitCode", "CloseProcess",
      "SetDword " + kVoiceKey + " INSTALLED=1", "SetDword " + kEntryKey + " EstimatedSize=1",
      "SetDword " + kEntryKey + " NoModify=1", "SetDword " + kEntryKey + " NoRepair=1",
      // Every value read back after writing.
      "ReadValue " + kParentKey + " VOICEDIR", "ReadValue " + kVoiceKey + " INSTALLED",
      "ReadValue " + kVoiceKey + " NAME", "ReadValue " + kVoiceKey + " TIME", "ReadValue " + kVoiceKey + " DRP",
      "ReadValue " + kVoiceKey + " INSTALLDIR", "ReadValue " + kEntryKey + " DisplayName",
      "ReadValue " + kEntryKey + " DisplayIcon", "ReadValue " + kEntryKey + " DisplayVersion",
      "ReadValue " + kEntryKey + " Publisher", "ReadValue " + kEntryKey + " InstallLocation",
      "ReadValue " + kEntryKey + " UninstallString", "ReadValue " + kEntryKey + " QuietUninstallString",
      "ReadValue " + kEntryKey + " EstimatedSize", "ReadValue " + kEntryKey + " NoModify",
      "ReadValue " + kEntryKey + " NoRepair", "Timer1.Enabled 0"};
  EXPECT_EQ(order, expected);
}

TEST(ExtractVoice, RepairDisablesItsButtonsInOrder) {
  Rig rig;
  rig.AddVoiceFiles(Ddb);
  rig.AddData();
  rig.Load();
  rig.s.processes.onStart = [&](const auto&) { rig.AddStagedFiles(AllFiles); };
  rig.ExpectEnds([&] { rig.logic.QORButtonXF_GotFocus(); });
  const auto order = rig.LogWith({"StartHidden", "XZ.Enabled", "XZT.Enabled", "XF.Enabled", "Caption", "AZ"});
  const std::vector<std::string> expected = {"StartHidden " + rig.logic.ExtractCommandLine(false), "XZ.Enabled 0",
                                             "XZT.Enabled 0", "XF.Enabled 0", "Caption Ilvo - 修复中"};
  EXPECT_EQ(order, expected);
  EXPECT_EQ(rig.s.app.boxes.at(0).text, "音源[修复]成功！");
}

TEST(ExtractVoice, ExtractorThatCannotStartChangesNothingButTimer1) {
  for (const bool install : {true, false}) {
    SCOPED_TRACE(install ? "install" : "repair");
    Rig rig;
    if (!install) rig.AddVoiceFiles(Vvd);
    rig.AddData();
    rig.Load();
    rig.s.processes.startFails = true;
    const auto before = rig.view.buttons;
    const std::string caption = rig.view.caption;
    const bool bar1 = rig.view.bars[BarId::Bar1].visible;

    rig.ExpectEnds([&] { install ? rig.logic.QORButtonAZ_GotFocus() : rig.logic.QORButtonXF_GotFocus(); });

    // Only looks, and the staging folder made for the attempt and removed again.
    std::erase_if(rig.s.log, [](const std::string& line) {
      return line.rfind("Locate ", 0) == 0 || line.rfind("EntryExists ", 0) == 0;
    });
    EXPECT_EQ(rig.s.log, (std::vector<std::string>{
                             "Timer1.Enabled 1", "CreateFolder C:\\Voices\\Ilvo.staging",
                             "StartHidden " + rig.logic.ExtractCommandLine(install),
                             "RemoveTree C:\\Voices\\Ilvo.staging", "Timer1.Enabled 0",
                             std::string("MessageBox 错误: ") + (install ? "音源[安装]失败！" : "音源[修复]失败！") +
                                 "\r\n解压程序无法启动",
                             "EndProgram"}));
    EXPECT_EQ(rig.s.app.boxes.at(0).icon, MessageIcon::Critical);
    EXPECT_EQ(rig.s.app.boxes.at(0).buttons, MessageButtons::Ok);
    EXPECT_EQ(rig.view.caption, caption);
    EXPECT_EQ(rig.view.bars[BarId::Bar1].visible, bar1);
    for (const auto& [id, button] : before) {
      EXPECT_EQ(rig.view.buttons[id].enabled, button.enabled);
      EXPECT_EQ(rig.view.buttons[id].visible, button.visible);
    }
    EXPECT_EQ(rig.logic.Busy, 0);
    EXPECT_EQ(rig.s.registry.Find(kVoiceKey, "INSTALLED"), nullptr);
    EXPECT_FALSE(rig.s.files.Exists(rig.AppDir() + "Ilvo.staging"));
  }
}

TEST(ExtractVoice, DoesNothingInstalledAndTimer1TicksAsGiven) {
  Rig rig;
  rig.AddVoiceFiles(AllFiles);
  rig.AddData();
  rig.Load();
  rig.logic.ExtractVoice();
  EXPECT_TRUE(rig.s.log.empty());

  rig.logic.Timer1_Timer();
  EXPECT_EQ(rig.s.log, (std::vector<std::string>{"Bar1.Style 1", "Timer1.Interval 30", "Bar1.Value 1", "Bar1.Max 100"}));
}

// ---- the Busy guard ----

TEST(BusyGuard, NoSecondActionStartsWhileTheExtractorRuns) {
  Rig rig;
  rig.AddVoiceFiles(Ddi);
  rig.AddData();
  rig.Load();
  rig.s.processes.wakesBeforeEnd = 2;
  rig.s.processes.onStart = [&](const auto&) { rig.AddStagedFiles(AllFiles); };
  std::vector<std::int16_t> cancels;
  bool exported = false;
  rig.s.app.onDoEvents = [&] {
    // Whatever focus changes reach the window while it waits:
    rig.logic.QORButtonAZ_GotFocus();
    rig.logic.QORButtonXF_GotFocus();
    rig.logic.QORButtonXZ_GotFocus();
    rig.logic.QORButtonXZT_GotFocus();
    rig.logic.ExtractVoice();
    rig.logic.UninstallVoice();
    std::int16_t cancel = 0;
    rig.logic.Form_Unload(cancel);
    cancels.push_back(cancel);
    if (!exported) {  // the export still works during the wait
      rig.logic.Image1_DblClick();
      exported = true;
    }
  };
  rig.ExpectEnds([&] { rig.logic.QORButtonXF_GotFocus(); });

  EXPECT_EQ(rig.s.processes.starts.size(), 1u);
  EXPECT_EQ(rig.LogWith({"Timer1.Enabled 1"}).size(), 1u);
  EXPECT_EQ(rig.LogWith({"DeleteKey", "DeleteFile " + rig.Voice("")}).size(), 0u);
  EXPECT_EQ(cancels, (std::vector<std::int16_t>{1, 1, 1}));
  ASSERT_EQ(rig.s.app.boxes.size(), 2u);  // the export question and the closing message
  EXPECT_EQ(rig.s.app.boxes[0].text, "需要导出注册表到文件目录么？");
  EXPECT_TRUE(rig.s.files.Exists(rig.ExportFile()));
  EXPECT_EQ(rig.s.app.boxes[1].text, "音源[修复]成功！");
}

// ---- the focus handlers ----

TEST(FocusHandlers, UninstallAsksFirstAndCancelEndsWithoutChange) {
  for (const auto handler : {&Form1Logic::QORButtonXZ_GotFocus, &Form1Logic::QORButtonXZT_GotFocus}) {
    Rig rig;
    rig.AddVoiceFiles(AllFiles);
    rig.AddData();
    rig.Load();
    rig.s.app.answers = {platform::kAnswerCancel};
    rig.ExpectEnds([&] { (rig.logic.*handler)(); });
    ASSERT_EQ(rig.s.app.boxes.size(), 1u);
    EXPECT_EQ(rig.s.app.boxes[0].text, "确定要卸载么？");
    EXPECT_EQ(rig.s.app.boxes[0].title, "警告窗口");
    EXPECT_EQ(rig.s.app.boxes[0].buttons, MessageButtons::OkCancel);
    EXPECT_EQ(rig.s.app.boxes[0].icon, MessageIcon::Question);
    EXPECT_EQ(rig.s.log, (std::vector<std::string>{"MessageBox 警告窗口: 确定要卸载么？", "EndProgram"}));

    Rig ok;
    ok.AddVoiceFiles(AllFiles);
    ok.AddData();
    ok.Load();
    ok.ExpectEnds([&] { (ok.logic.*handler)(); });
    ASSERT_EQ(ok.s.app.boxes.size(), 2u);
    EXPECT_EQ(ok.s.app.boxes[1].text, "音源[删除]成功！");
  }
}

TEST(FocusHandlers, UninstallConfirmedInStateTwoDoesNothing) {
  Rig rig;
  rig.AddData();
  rig.Load();
  rig.logic.QORButtonXZT_GotFocus();  // OK, then UninstallVoice finds no entry either and returns
  EXPECT_EQ(rig.s.log, (std::vector<std::string>{"MessageBox 警告窗口: 确定要卸载么？", "OpenKey " + kEntryKey}));
  EXPECT_FALSE(rig.s.app.ended);
}

// ---- uninstall order and where a failure stops it ----

TEST(UninstallVoice, RemovesInOrderAndStopsAtTheFirstFailure) {
  struct Case {
    const char* name;
    unsigned files;
    const char* inUse;     // extension held open, or none
    const char* readOnly;  // extension read-only, or none
    bool extraFile;        // another file in the voice folder
    std::vector<std::string> removals;  // expected DeleteFile / RemoveFolder, after the two DeleteKey
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

    rig.ExpectEnds([&] { rig.logic.UninstallVoice(); });

    std::vector<std::string> expected = {"DeleteKey " + kVoiceKey + "\\vvoice", "DeleteKey " + kVoiceKey,
                                         "DeleteKey " + kEntryKey};
    expected.insert(expected.end(), c.removals.begin(), c.removals.end());
    expected.push_back(std::string("MessageBox ") + (c.text == ok ? "提示: " : "错误: ") + c.text);
    expected.push_back("EndProgram");
    EXPECT_EQ(rig.LogWith({"DeleteKey", "DeleteFile", "RemoveFolder", "MessageBox", "EndProgram"}), expected);
    EXPECT_EQ(rig.s.app.boxes.at(0).buttons, MessageButtons::Ok);
    EXPECT_EQ(rig.s.app.boxes.at(0).icon, MessageIcon::None);
    EXPECT_FALSE(rig.s.registry.HasKey(kVoiceKey));
    EXPECT_TRUE(rig.s.registry.HasKey(kParentKey));
    for (const char* ext : {".vvd", ".ddi", ".ddb"}) {
      const bool left = std::find(c.left.begin(), c.left.end(), ext) != c.left.end();
      EXPECT_EQ(rig.s.files.Exists(v + ext), left) << ext;
    }
    EXPECT_TRUE(rig.s.files.Exists(rig.Archive()));
    EXPECT_TRUE(rig.s.files.Exists(rig.Extractor()));
    if (c.text == ok) {
      EXPECT_EQ(rig.view.caption, "Ilvo - 音源不存在");
      EXPECT_TRUE(rig.view.bars[BarId::Bar1].visible);
      EXPECT_FALSE(rig.view.bars[BarId::Bar2].visible);
    }
  }
}

// ---- the export ----

TEST(Registration, ImportTextDoublesEveryBackslash) {
  const std::pair<std::string, std::string> cases[] = {
      {"", ""},
      {"Voices", "Voices"},
      {"C:\\", "C:\\\\"},
      {"C:\\Voices", "C:\\\\Voices"},
      {"D:\\语音\\库\\", "D:\\\\语音\\\\库\\\\"},
      {"\\\\server\\share", "\\\\\\\\server\\\\share"},
  };
  for (const auto& [in, out] : cases) {
    EXPECT_EQ(installer::registration::DoubleBackslashes(in), out) << in;
  }
}

// On 64-bit Windows the key lines name the 32-bit view, where the record is.
std::string ExportText(const std::string& dirInFile, bool sixtyFourBitWindows = false) {
  const std::string software = sixtyFourBitWindows ? "Software\\WOW6432Node" : "Software";
  return "Windows Registry Editor Version 5.00\r\n"
         "\r\n"
         "[HKEY_LOCAL_MACHINE\\" + software + "\\TIRELUNA2\\DATABASE\\VOICE]\r\n"
         "\"VOICEDIR\"=\"" + dirInFile + "\"\r\n"
         "\r\n"
         "[HKEY_LOCAL_MACHINE\\" + software + "\\TIRELUNA2\\DATABASE\\VOICE\\KT3WQ8ZRMD5LXNVC]\r\n"
         "\"INSTALLED\"=dword:00000001\r\n"
         "\"NAME\"=\"TIRELUNA2 Voice DB (Ilvo)\"\r\n"
         "\"TIME\"=\"R4NXC8VJ2TQM6WHE\"\r\n"
         "\"DRP\"=\"050010\"\r\n"
         "\"INSTALLDIR\"=\"" + dirInFile + "\"\r\n"
         "\r\n";
}

TEST(Export, WritesTheTwelveLinesByteForByte) {
  const std::pair<const char*, const char*> folders[] = {
      {"C:\\Voices", "C:\\\\Voices"}, {"C:\\", "C:\\\\"}, {"D:\\语音 库", "D:\\\\语音 库"}};
  for (const bool sixtyFourBit : {false, true}) {
    for (const auto& [folder, inFile] : folders) {
      SCOPED_TRACE(folder + std::string(sixtyFourBit ? ", 64-bit Windows" : ", 32-bit Windows"));
      Rig rig(folder);
      rig.s.app.sixtyFourBitWindows = sixtyFourBit;
      rig.Load();
      rig.logic.Image1_DblClick();
      ASSERT_EQ(rig.s.app.boxes.size(), 1u);
      EXPECT_EQ(rig.s.app.boxes[0].text, "需要导出注册表到文件目录么？");
      EXPECT_EQ(rig.s.app.boxes[0].title, "提示");
      EXPECT_EQ(rig.s.app.boxes[0].buttons, MessageButtons::OkCancel);
      EXPECT_EQ(rig.s.app.boxes[0].icon, MessageIcon::Question);
      ASSERT_TRUE(rig.s.files.Exists(rig.ExportFile()));
      EXPECT_EQ(rig.s.files.Get(rig.ExportFile())->content, ExportText(inFile, sixtyFourBit));
    }
  }
}

TEST(Export, ReplacesOrFailsWithoutLeavingAPartialFile) {
  struct Case {
    const char* name;
    int answer;
    bool oldFile;
    std::uint32_t oldAttributes;
    bool unwritable;  // the new text cannot be written
    // expected
    bool failureMessage;
    const char* content;  // the export file afterwards, or null when there is none
  };
  const std::string full = ExportText("C:\\\\Voices");
  // clang-format off
  const Case cases[] = {
    {"new file",                    1, false, 0,                         false, false, full.c_str()},
    {"replaces an old one",         1, true,  0,                         false, false, full.c_str()},
    {"replaces a hidden old one",   1, true,  FakeFileSystem::kHidden,   false, false, full.c_str()},
    {"replaces a system old one",   1, true,  FakeFileSystem::kSystem,   false, false, full.c_str()},
    {"cancelled",                   2, true,  0,                         false, false, "old"},
    {"cancelled, no old file",      2, false, 0,                         false, false, nullptr},
    {"old one read-only",           1, true,  FakeFileSystem::kReadOnly, false, true,  "old"},
    {"cannot be written",           1, false, 0,                         true,  true,  nullptr},
    {"cannot be written, old kept", 1, true,  FakeFileSystem::kHidden,   true,  true,  "old"},
  };
  // clang-format on
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    Rig rig;
    rig.AddData();
    if (c.oldFile) rig.s.files.AddFile(rig.ExportFile(), "old", c.oldAttributes);
    if (c.unwritable) rig.s.files.unwritable.insert(rig.ExportFile() + ".new");
    rig.Load();
    const auto viewBefore = rig.s.log;
    rig.s.app.answers = {c.answer};

    rig.logic.Image1_DblClick();

    EXPECT_FALSE(rig.s.app.ended);
    ASSERT_EQ(rig.s.app.boxes.size(), c.failureMessage ? 2u : 1u);
    if (c.failureMessage) {
      EXPECT_EQ(rig.s.app.boxes[1].text, "注册表导出失败！");
      EXPECT_EQ(rig.s.app.boxes[1].title, "错误");
      EXPECT_EQ(rig.s.app.boxes[1].buttons, MessageButtons::Ok);
      EXPECT_EQ(rig.s.app.boxes[1].icon, MessageIcon::Critical);
    }
    if (c.answer != 1) {
      EXPECT_EQ(rig.s.log.size(), 1u);  // only the question
    }
    const auto* file = rig.s.files.Get(rig.ExportFile());
    if (c.content == nullptr) {
      EXPECT_EQ(file, nullptr);
    } else {
      ASSERT_NE(file, nullptr);
      EXPECT_EQ(file->content, c.content);
      if (c.content == full.c_str()) {
        EXPECT_EQ(file->attributes, 0u) << "a plain file, found by the next search";
      }
    }
    // The window stays as it was, and the new text is nowhere but in its place.
    EXPECT_TRUE(rig.LogWith({"Caption", "AZ.", "XZ.", "XF.", "Bar", "Timer"}).empty());
    EXPECT_FALSE(rig.s.files.Exists(rig.ExportFile() + ".new"));
  }
}

TEST(Export, TheNewTextOfAnExportCutShortGoesAtTheNextStart) {
  Rig rig;
  rig.AddData();
  rig.s.files.AddFile(rig.ExportFile(), "old");
  rig.s.files.AddFile(rig.ExportFile() + ".new", "Windows Registry Editor Version 5.00\r\n");
  rig.Load();
  EXPECT_FALSE(rig.s.files.Exists(rig.ExportFile() + ".new"));
  EXPECT_EQ(rig.s.files.Get(rig.ExportFile())->content, "old");
}

// ---- the application folder must be a full path ----

TEST(AppFolder, OnlyAFullPathIsTrustedAndAnythingElseIsMissingData) {
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
    EXPECT_EQ(rig.logic.ArchiveMissing, c.absolute ? 0 : 1);
    EXPECT_EQ(rig.s.registry.HasKey(kVoiceKey), c.absolute) << "the record names only a full path";
    if (!c.absolute) {
      EXPECT_EQ(rig.view.caption, "Ilvo - 安装文件缺失");
      EXPECT_FALSE(rig.view.buttons[ButtonId::AZ].enabled);
      EXPECT_FALSE(rig.view.buttons[ButtonId::XF].enabled);
      rig.logic.VoiceState = 2;  // even if the logic were asked to, nothing starts
      rig.ExpectEnds([&] { rig.logic.QORButtonAZ_GotFocus(); });
      EXPECT_TRUE(rig.s.processes.starts.empty());
      EXPECT_EQ(rig.s.app.boxes.at(0).text, "音源[安装]失败！\r\n安装文件缺失");
    }
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
    rig.s.processes.onStart = [&](const auto&) { rig.AddStagedFiles(AllFiles); };
    rig.ExpectEnds([&] {
      if (c.action == Action::Uninstall) {
        rig.logic.UninstallVoice();
      } else {
        rig.logic.ExtractVoice();
      }
    });
    ASSERT_EQ(rig.s.app.boxes.size(), 1u);
    if (*c.text == '\0') {
      EXPECT_EQ(rig.s.app.boxes[0].icon, MessageIcon::None) << rig.s.app.boxes[0].text;
      continue;
    }
    EXPECT_EQ(rig.s.app.boxes[0].text, c.text);
    EXPECT_EQ(rig.s.app.boxes[0].title, "错误");
    EXPECT_EQ(rig.s.app.boxes[0].icon, MessageIcon::Critical);
    EXPECT_TRUE(rig.s.processes.starts.empty()) << "nothing is extracted";
    EXPECT_TRUE(rig.LogWith({"DeleteKey", "DeleteFile", "RemoveFolder", "SetDword"}).empty()) << "nothing is touched";
    EXPECT_TRUE(rig.s.files.Exists(folder));
  }
}

// ---- a record that will not go ----

TEST(UninstallVoice, RemovesAVoiceKeyWithForeignSubkeysOrSaysItCannot) {
  for (const bool keyStays : {false, true}) {
    SCOPED_TRACE(keyStays ? "the key cannot be removed" : "the key has another subkey");
    Rig rig;
    rig.AddVoiceFiles(AllFiles);
    rig.AddData();
    rig.Load();
    rig.s.registry.CreateKey(kVoiceKey + "\\vvoice");
    rig.s.registry.CreateKey(kVoiceKey + "\\Presets\\Soft");
    rig.s.registry.treesStay = keyStays;
    rig.ExpectEnds([&] { rig.logic.UninstallVoice(); });
    ASSERT_EQ(rig.s.app.boxes.size(), 1u);
    EXPECT_EQ(rig.s.registry.HasKey(kVoiceKey), keyStays);
    EXPECT_TRUE(rig.s.registry.HasKey(kParentKey));
    if (keyStays) {
      EXPECT_EQ(rig.s.app.boxes[0].text, "音源[删除]失败！\r\n无法删除注册表记录");
      EXPECT_EQ(rig.s.app.boxes[0].title, "错误");
      for (const char* ext : {".vvd", ".ddi", ".ddb"}) EXPECT_TRUE(rig.s.files.Exists(rig.Voice(ext))) << ext;
    } else {
      EXPECT_EQ(rig.s.app.boxes[0].text, "音源[删除]成功！");
      EXPECT_FALSE(rig.s.files.Exists(rig.AppDir() + "KT3WQ8ZRMD5LXNVC"));
    }
  }
}

// ---- the session ending during an extraction ----

TEST(EndSession, IsHeldUpWhileBusyAndEndingAnywayRegistersNothing) {
  for (const bool install : {true, false}) {
    SCOPED_TRACE(install ? "install" : "repair");
    Rig rig;
    if (!install) rig.AddVoiceFiles(Ddb);
    rig.AddData();
    rig.Load();
    EXPECT_EQ(rig.logic.Form_QueryEndSession(), std::nullopt) << "idle: the session may end";
    rig.s.processes.wakesBeforeEnd = 2;
    rig.s.processes.onStart = [&](const auto&) { rig.AddStagedFiles(AllFiles); };
    std::optional<std::string> reason;
    rig.s.app.onDoEvents = [&] {
      reason = rig.logic.Form_QueryEndSession();
      rig.logic.Form_EndSession();  // the session ends all the same
    };
    rig.ExpectEnds([&] { install ? rig.logic.QORButtonAZ_GotFocus() : rig.logic.QORButtonXF_GotFocus(); });
    EXPECT_EQ(reason, install ? "正在安装音源，请稍候" : "正在修复音源，请稍候");
    EXPECT_FALSE(rig.s.registry.HasKey(kVoiceKey));
    EXPECT_TRUE(rig.s.app.boxes.empty());
  }
}

}  // namespace

// ---- an install or repair is all or nothing ----

namespace all_or_nothing {

// Bits of the voice files' places, the staging folder and what a test puts
// in them.
const char* const kExts[] = {".vvd", ".ddi", ".ddb"};
const unsigned kBits[] = {Vvd, Ddi, Ddb};

std::string StagingOf(const Rig& rig) { return rig.AppDir() + "Ilvo.staging"; }
// A file of the archive besides the voice files.
std::string Extra(const Rig& rig) { return rig.AppDir() + "KT3WQ8ZRMD5LXNVC\\Ilvo.txt"; }
std::string StagedExtra(const Rig& rig) { return StagingOf(rig) + "\\KT3WQ8ZRMD5LXNVC\\Ilvo.txt"; }

// What stands in each voice file's place: "mine" (there before), "new ..."
// (moved in from the extraction), or "" (nothing), .vvd, .ddi, .ddb.
std::vector<std::string> VoiceContents(const Rig& rig) {
  std::vector<std::string> contents;
  for (const char* ext : kExts) {
    const FakeFileSystem::Entry* entry = rig.s.files.Get(rig.Voice(ext));
    contents.push_back(entry == nullptr ? "" : entry->content);
  }
  return contents;
}

TEST(AllOrNothing, OnlyAFinishedExtractionReachesTheVoiceFolder) {
  enum class Fault { None, StagedFileInUse, FlushFails, LeftStagingInUse, LeftStagingIsALink, RegistryRefuses };
  struct Case {
    const char* name;
    unsigned before;        // voice files there before, each "mine"
    unsigned hiddenBefore;  // of those, hidden (they do not count)
    bool extraBefore;       // the archive's other file there before, "mine"
    std::uint32_t exitCode;
    unsigned extracted;     // voice files the extractor leaves in the staging folder
    Fault fault;
    // expected
    const char* text;
    std::vector<std::string> voice;  // VoiceContents afterwards
    const char* extra;      // the other file afterwards, "" for none
    bool record, stagingLeft, started;
  };
  const std::string n = "new vvd", d = "new ddi", b = "new ddb";
  const auto F = Fault::None;
  // clang-format off
  const std::vector<Case> cases = {
    {"install over nothing", 0, 0, false, 0, AllFiles, F,
     "音源[安装]成功！", {n, d, b}, "new extra", true, false, true},
    {"install replaces the archive's other file", 0, 0, true, 1, AllFiles, F,
     "音源[安装]成功！", {n, d, b}, "new extra", true, false, true},
    {"install, all written then exit 3", 0, 0, true, 3, AllFiles, F,
     "音源[安装]失败！\r\n解压程序返回错误代码 3", {"", "", ""}, "mine", false, false, true},
    {"install, exit 0 but a file short", 0, 0, false, 0, Vvd | Ddb, F,
     "音源[安装]失败！\r\n音源文件不完整", {"", "", ""}, "", false, false, true},
    {"repair keeps the file there and the other file", Ddb, 0, true, 0, AllFiles, F,
     "音源[修复]成功！", {n, d, "mine"}, "mine", true, false, true},
    {"repair of some files fails: theirs kept", Vvd | Ddi, 0, false, 3, AllFiles, F,
     "音源[修复]失败！\r\n解压程序返回错误代码 3", {"mine", "mine", ""}, "", false, false, true},
    {"repair over all three, one hidden: kept, still no voice", AllFiles, Ddi, false, 0, AllFiles, F,
     "音源[修复]失败！\r\n音源文件不完整", {"mine", "mine", "mine"}, "new extra", false, false, true},
    {"a move fails: what moved is whole, the rest goes", 0, 0, false, 0, AllFiles, Fault::StagedFileInUse,
     "音源[安装]失败！\r\n无法将解压的文件移入音源文件夹\r\n临时解压文件夹未能删除，下次启动时将再次删除",
     {"", "", b}, "", false, true, true},
    {"a flush fails: nothing moves", Ddb, 0, false, 0, AllFiles, Fault::FlushFails,
     "音源[修复]失败！\r\n无法将解压的文件写入磁盘", {"", "", "mine"}, "", false, false, true},
    {"a staging folder from before in use: nothing starts", 0, 0, false, 0, AllFiles, Fault::LeftStagingInUse,
     "音源[安装]失败！\r\n上次解压的临时文件夹无法删除", {"", "", ""}, "", false, true, false},
    {"a staging folder from before is a link: only the link goes", 0, 0, false, 0, AllFiles, Fault::LeftStagingIsALink,
     "音源[安装]成功！", {n, d, b}, "new extra", true, false, true},
    {"the record is refused: the whole files stay", 0, 0, false, 0, AllFiles, Fault::RegistryRefuses,
     "音源[安装]失败！\r\n无法写入注册表", {n, d, b}, "new extra", false, false, true},
  };
  // clang-format on
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    Rig rig;
    rig.AddData();
    for (int i = 0; i < 3; ++i) {
      if (c.before & kBits[i]) {
        rig.s.files.AddFile(rig.Voice(kExts[i]), "mine", (c.hiddenBefore & kBits[i]) ? FakeFileSystem::kHidden : 0);
      }
    }
    if (c.extraBefore) rig.s.files.AddFile(Extra(rig), "mine");
    rig.Load();
    // Left after the start-up: something the start-up could not remove.
    if (c.fault == Fault::LeftStagingInUse) {
      rig.s.files.AddFile(StagingOf(rig) + "\\old.tmp");
      rig.s.files.Get(StagingOf(rig) + "\\old.tmp")->inUse = true;
    }
    if (c.fault == Fault::LeftStagingIsALink) {
      rig.s.files.AddFile("D:\\Elsewhere\\keep.txt", "keep");
      rig.s.files.AddFolder(StagingOf(rig));
      rig.s.files.MakeLink(StagingOf(rig), "D:\\Elsewhere", true);
    }
    rig.s.processes.exitCode = c.exitCode;
    rig.s.processes.onStart = [&](const fakes::FakeProcesses::Start&) {
      // A new, empty folder of the installer's own.
      EXPECT_EQ(rig.s.files.ListTree(StagingOf(rig)), std::vector<platform::TreeEntry>{});
      rig.AddStagedFiles(c.extracted);
      rig.s.files.AddFile(StagedExtra(rig), "new extra");
      if (c.fault == Fault::StagedFileInUse) rig.s.files.Get(rig.Staged(".ddi"))->inUse = true;
      if (c.fault == Fault::FlushFails) rig.s.files.unflushable.insert(rig.Staged(".vvd"));
      rig.s.registry.failWrites = c.fault == Fault::RegistryRefuses;
    };

    rig.ExpectEnds([&] { rig.logic.VoiceState == 2 ? rig.logic.QORButtonAZ_GotFocus() : rig.logic.QORButtonXF_GotFocus(); });

    ASSERT_EQ(rig.s.app.boxes.size(), 1u);
    EXPECT_EQ(rig.s.app.boxes[0].text, c.text);
    EXPECT_EQ(rig.s.processes.starts.size(), c.started ? 1u : 0u);
    EXPECT_EQ(VoiceContents(rig), c.voice);
    const FakeFileSystem::Entry* extra = rig.s.files.Get(Extra(rig));
    EXPECT_EQ(extra == nullptr ? "" : extra->content, c.extra);
    EXPECT_EQ(rig.s.registry.HasKey(kVoiceKey), c.record);
    EXPECT_EQ(rig.s.files.Exists(StagingOf(rig)), c.stagingLeft);
    if (c.fault == Fault::LeftStagingIsALink) { EXPECT_EQ(rig.s.files.Get("D:\\Elsewhere\\keep.txt")->content, "keep"); }
    // Every file is on disk before the first takes its place, every place
    // is taken before the record is written, and the staging folder goes
    // before the user is told.
    const auto order = rig.LogWith({"FlushFile", "Rename", "CreateKey", "RemoveTree", "MessageBox"});
    const auto first = [&](const std::string& prefix) {
      return std::find_if(order.begin(), order.end(), [&](const std::string& l) { return l.rfind(prefix, 0) == 0; });
    };
    const auto last = [&](const std::string& prefix) {
      auto found = order.end();
      for (auto it = order.begin(); it != order.end(); ++it) {
        if (it->rfind(prefix, 0) == 0) found = it;
      }
      return found;
    };
    if (first("Rename") != order.end()) { EXPECT_LT(last("FlushFile"), first("Rename")); }
    if (c.record) { EXPECT_LT(last("Rename"), first("CreateKey")); }
    ASSERT_FALSE(order.empty());
    EXPECT_EQ(order.back().rfind("MessageBox", 0), 0u);
    EXPECT_EQ(order[order.size() - 2].rfind("RemoveTree", 0), 0u);
  }
}

TEST(AllOrNothing, StartUpRemovesWhatAnAttemptCutShortExtractedAndNothingElse) {
  struct Case {
    const char* name;
    unsigned files;  // voice files in their places, "mine" (put there by hand, say)
    bool stagedInUse;
    bool stagingIsALink;
    // expected
    int state;
    bool stagingLeft;
  };
  // clang-format off
  const std::vector<Case> cases = {
    {"files put in place by hand",           AllFiles, false, false, 1, false},
    {"nothing in place",                     0,        false, false, 2, false},
    {"some in place",                        Ddb,      false, false, 3, false},
    {"a staged file still held open",        AllFiles, true,  false, 1, true},
    {"the staging folder is a link",         Vvd,      false, true,  3, false},
  };
  // clang-format on
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    Rig rig;
    rig.AddData();
    for (int i = 0; i < 3; ++i) {
      if (c.files & kBits[i]) rig.s.files.AddFile(rig.Voice(kExts[i]), "mine");
    }
    if (c.stagingIsALink) {
      rig.s.files.AddFile("D:\\Elsewhere\\Ilvo.ddb", "keep");
      rig.s.files.AddFolder(StagingOf(rig));
      rig.s.files.MakeLink(StagingOf(rig), "D:\\Elsewhere", true);
    } else {
      rig.AddStagedFiles(AllFiles, FakeFileSystem::kReadOnly);
      if (c.stagedInUse) rig.s.files.Get(rig.Staged(".ddi"))->inUse = true;
    }

    EXPECT_EQ(rig.Load(), installer::LoadResult::Show);

    EXPECT_EQ(rig.logic.VoiceState, c.state);
    for (int i = 0; i < 3; ++i) {
      const FakeFileSystem::Entry* entry = rig.s.files.Get(rig.Voice(kExts[i]));
      EXPECT_EQ(entry == nullptr ? "" : entry->content, (c.files & kBits[i]) ? "mine" : "") << kExts[i];
    }
    EXPECT_EQ(rig.s.registry.HasKey(kVoiceKey), c.state == 1);
    EXPECT_EQ(rig.s.files.Exists(StagingOf(rig)), c.stagingLeft);
    if (c.stagingIsALink) { EXPECT_EQ(rig.s.files.Get("D:\\Elsewhere\\Ilvo.ddb")->content, "keep"); }
  }
}

}  // namespace all_or_nothing

// ---- uninstall of an entry left alone in the list of installed programs ----

namespace orphan_entry {

TEST(UninstallVoice, AnEntryLeftAloneInTheListIsRemoved) {
  struct Case {
    const char* name;
    bool entry;
    bool treesStay;
    // expected: the box, or none when nothing happens
    const char* text;
    bool entryLeft;
  };
  // clang-format off
  const std::vector<Case> cases = {
    {"only the entry",          true,  false, "音源不存在，已从程序列表中删除其残留项", false},
    {"the entry cannot go",     true,  true,  "音源[删除]失败！\r\n无法删除注册表记录", true},
    {"nothing at all",          false, false, nullptr, false},
  };
  // clang-format on
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    Rig rig;
    rig.AddData();
    if (c.entry) rig.s.registry.CreateKey(kEntryKey);
    rig.Load();
    ASSERT_EQ(rig.logic.VoiceState, 2);
    rig.s.registry.treesStay = c.treesStay;
    rig.s.registry.failWrites = c.treesStay;
    if (c.text == nullptr) {
      rig.logic.UninstallVoice();
      EXPECT_TRUE(rig.s.app.boxes.empty());
      EXPECT_FALSE(rig.s.app.ended);
      continue;
    }
    rig.ExpectEnds([&] { rig.logic.UninstallVoice(); });
    ASSERT_EQ(rig.s.app.boxes.size(), 1u);
    EXPECT_EQ(rig.s.app.boxes[0].text, c.text);
    EXPECT_EQ(rig.s.registry.HasKey(kEntryKey), c.entryLeft);
    EXPECT_TRUE(rig.s.registry.HasKey(kParentKey) == false);
  }
}

}  // namespace orphan_entry

// ---- the entry in the list of installed programs ----

namespace uninstall_entry {

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
    EXPECT_EQ(rig.logic.VoiceState, 1);
  }
}

TEST(UninstallEntry, AnInstallWhoseEntryCannotBeWrittenIsNoSuccess) {
  Rig rig;
  rig.AddData();
  rig.Load();
  rig.s.registry.closedKey = kEntryKey;
  rig.s.processes.onStart = [&](const auto&) { rig.AddStagedFiles(AllFiles); };
  rig.ExpectEnds([&] { rig.logic.QORButtonAZ_GotFocus(); });
  ASSERT_EQ(rig.s.app.boxes.size(), 1u);
  EXPECT_EQ(rig.s.app.boxes[0].text, "音源[安装]失败！\r\n无法写入注册表");
  EXPECT_FALSE(rig.s.registry.HasKey(kEntryKey));
}

TEST(UninstallEntry, GoesWithTheRecordOrTheUninstallSaysItCannot) {
  for (const bool entryStays : {false, true}) {
    SCOPED_TRACE(entryStays ? "the entry cannot be deleted" : "the entry goes");
    Rig rig;
    rig.AddData();
    rig.AddVoiceFiles(AllFiles);
    rig.Load();
    ASSERT_TRUE(rig.s.registry.HasKey(kEntryKey));
    if (entryStays) rig.s.registry.closedKey = kEntryKey;
    rig.ExpectEnds([&] { rig.logic.UninstallVoice(); });
    EXPECT_EQ(rig.s.registry.HasKey(kEntryKey), entryStays);
    EXPECT_EQ(rig.s.app.boxes.at(0).text, entryStays ? "音源[删除]失败！\r\n无法删除注册表记录" : "音源[删除]成功！");
    EXPECT_EQ(rig.s.files.Exists(rig.Voice(".ddb")), entryStays) << "a registration that stays keeps the files";
  }
}

}  // namespace uninstall_entry
