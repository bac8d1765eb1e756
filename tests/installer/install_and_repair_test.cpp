// Install and repair: the extractor's command line, when an attempt counts
// as a success, what reaches the voice folder, and what may happen while the
// extractor runs.
#include <gtest/gtest.h>

#include <algorithm>
#include <optional>

#include "voice_installer_rig.h"

namespace {

using namespace rig;

TEST(InstallAndRepair, ComposeTheExtractorsCommandLines) {
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
    // At a drive root the platform gives "C:\" and the folder gets a second backslash.
    {"C:\\",
     R"("C:\\DATA\Rar.exe" x -o+ "C:\\DATA\Ilvo.yin" "C:\\Ilvo.staging\")",
     R"("C:\\DATA\Rar.exe" x -o- "C:\\DATA\Ilvo.yin" "C:\\Ilvo.staging\")"},
  };
  // clang-format on
  for (const Case& c : cases) {
    SCOPED_TRACE(c.folder);
    Rig rig(c.folder);
    rig.Load();
    EXPECT_EQ(rig.logic.ExtractCommandLine(Operation::Install), c.install);
    EXPECT_EQ(rig.logic.ExtractCommandLine(Operation::Repair), c.repair);
  }
}

// What goes wrong with the registry while the record is written.
enum class RecordFault {
  None,
  AllWrites,    // no key can be made, no value set
  Values,       // the keys open (as in a repair), every value write is refused
  TextChanged,  // every write answers success but stores other text
};
// How the extractor's end is learnt.
enum class Watch {
  Ends,        // its end is told
  NoHandle,    // no handle to watch it by
  CannotWatch, // the watch cannot be set up
  Lost,        // the watch fails while it runs
};

struct ExtractCase {
  const char* name;
  unsigned filesBefore;  // voice files before (0 and no key: install, else repair)
  bool keyBefore;
  Watch watch;
  std::optional<std::uint32_t> exitCode;  // nothing: it cannot be read
  unsigned filesExtracted;                // voice files the extractor leaves behind
  RecordFault registry;
  // expected
  const char* text;
  bool recordWritten;
};

TEST(InstallAndRepair, ReportSuccessOnlyWhenTrue) {
  using O = std::optional<std::uint32_t>;
  const O none{};
  const auto F = RecordFault::None;
  const auto E = Watch::Ends;
  // clang-format off
  const std::vector<ExtractCase> cases = {
    {"install, exit 0",              0,   false, E, O{0},          AllFiles, F, "音源[安装]成功！", true},
    {"install, exit 1 (warning)",    0,   false, E, O{1},          AllFiles, F, "音源[安装]成功！", true},
    {"repair, exit 0",               Ddb, false, E, O{0},          AllFiles, F, "音源[修复]成功！", true},
    {"repair of key without files",  0,   true,  E, O{0},          AllFiles, F, "音源[修复]成功！", true},
    {"install, exit 2",              0,   false, E, O{2},          AllFiles, F, "音源[安装]失败！\r\n解压程序返回错误代码 2", false},
    {"install, exit 3",              0,   false, E, O{3},          0,        F, "音源[安装]失败！\r\n解压程序返回错误代码 3", false},
    {"repair, exit 255",             Vvd, false, E, O{255},        AllFiles, F, "音源[修复]失败！\r\n解压程序返回错误代码 255", false},
    {"install, exit 259 once ended", 0,   false, E, O{259},        AllFiles, F, "音源[安装]失败！\r\n解压程序返回错误代码 259", false},
    {"install, exit 0xFFFFFFFF",     0,   false, E, O{0xFFFFFFFFu},AllFiles, F, "音源[安装]失败！\r\n解压程序返回错误代码 4294967295", false},
    {"install, crashed",             0,   false, E, O{0xC0000005u},0,        F, "音源[安装]失败！\r\n解压程序返回错误代码 3221225477", false},
    {"no handle to wait on",         0,   false, Watch::NoHandle,    O{0}, AllFiles, F, "音源[安装]失败！\r\n无法等待解压程序结束", false},
    {"repair, no handle",            Ddb, false, Watch::NoHandle,    O{0}, AllFiles, F, "音源[修复]失败！\r\n无法等待解压程序结束", false},
    {"the watch cannot be set up",   0,   false, Watch::CannotWatch, O{0}, AllFiles, F, "音源[安装]失败！\r\n无法等待解压程序结束", false},
    {"the watch fails while it runs",0,   false, Watch::Lost,        O{0}, AllFiles, F, "音源[安装]失败！\r\n无法等待解压程序结束", false},
    {"exit code unreadable",         0,   false, E, none,          AllFiles, F, "音源[安装]失败！\r\n无法读取解压程序的返回代码", false},
    {"repair, exit code unreadable", Vvd, false, E, none,          AllFiles, F, "音源[修复]失败！\r\n无法读取解压程序的返回代码", false},
    {"install, exit 0, files short", 0,   false, E, O{0},          Vvd|Ddi,  F, "音源[安装]失败！\r\n音源文件不完整", false},
    {"repair, exit 1, none at all",  Ddi, false, E, O{1},          0,        F, "音源[修复]失败！\r\n音源文件不完整", false},
    {"install, registry refuses",    0,   false, E, O{0},          AllFiles, RecordFault::AllWrites, "音源[安装]失败！\r\n无法写入注册表", false},
    {"repair, registry refuses",     Ddb, false, E, O{0},          AllFiles, RecordFault::AllWrites, "音源[修复]失败！\r\n无法写入注册表", false},
    {"repair, key there, values refused", 0, true, E, O{0},        AllFiles, RecordFault::Values, "音源[修复]失败！\r\n无法写入注册表", false},
    {"install, values refused",      0,   false, E, O{0},          AllFiles, RecordFault::Values, "音源[安装]失败！\r\n无法写入注册表", false},
    {"repair, key there, text changed", 0, true, E, O{0},          AllFiles, RecordFault::TextChanged, "音源[修复]失败！\r\n无法写入注册表", true},
  };
  // clang-format on
  for (const ExtractCase& c : cases) {
    SCOPED_TRACE(c.name);
    Rig rig;
    rig.AddVoiceFiles(c.filesBefore);
    rig.AddData();
    if (c.keyBefore) rig.AddKey();
    rig.Load();
    const Operation operation =
        rig.logic.Status().state == VoiceState::Absent ? Operation::Install : Operation::Repair;
    ASSERT_EQ(operation == Operation::Install, c.filesBefore == 0 && !c.keyBefore);
    rig.s.processes.exitCode = c.exitCode;
    rig.s.processes.openFails = c.watch == Watch::NoHandle;
    rig.s.processes.watchFails = c.watch == Watch::CannotWatch;
    rig.s.processes.onStart = [&](const fakes::FakeProcesses::Start&) {
      rig.AddStagedFiles(c.filesExtracted);
      rig.s.registry.failWrites = c.registry == RecordFault::AllWrites;
      rig.s.registry.refuseValues = c.registry == RecordFault::Values;
      if (c.registry == RecordFault::TextChanged) {
        rig.s.registry.storedText = [](const std::string& text) { return text + "?"; };
      }
    };

    rig.logic.InstallOrRepair();
    if (c.watch == Watch::Lost) {
      EXPECT_TRUE(rig.s.processes.LoseWatch());
    } else if (c.watch == Watch::Ends) {
      EXPECT_TRUE(rig.s.processes.End());
    }

    const Outcome outcome = rig.Finished();
    EXPECT_EQ(outcome.operation, operation);
    EXPECT_EQ(outcome.message, c.text);
    const bool succeeded = std::string(c.text).find("成功") != std::string::npos;
    EXPECT_EQ(outcome.Succeeded(), succeeded);
    EXPECT_EQ(outcome.icon, succeeded ? MessageIcon::None : MessageIcon::Critical);
    EXPECT_EQ(installer::BoxFor(outcome).title, succeeded ? "提示" : "错误");
    EXPECT_EQ(rig.s.registry.Find(kVoiceKey, "INSTALLED") != nullptr, c.recordWritten);
    // The busy state shows once the extractor runs, whatever comes of it.
    EXPECT_EQ(rig.view.busy, std::vector<Operation>{operation});
    EXPECT_FALSE(rig.logic.Busy());
    // The exit code is read once, and only after the end was told; the
    // handle, when there was one, is closed.
    const std::vector<std::string> told = c.watch == Watch::Ends ? std::vector<std::string>{"Watched end told", "ExitCode"}
                                          : c.watch == Watch::Lost ? std::vector<std::string>{"Watch failed"}
                                                                   : std::vector<std::string>{};
    EXPECT_EQ(rig.LogWith({"Watched end told", "Watch failed", "ExitCode"}), told);
    EXPECT_EQ(rig.s.processes.closed.size(), c.watch == Watch::NoHandle ? 0u : 1u);
    EXPECT_EQ(rig.Last("Finish"), static_cast<long>(rig.s.log.size()) - 1);
  }
}

TEST(InstallAndRepair, WaitForTheEndToBeToldAndRegisterAfterIt) {
  Rig rig;
  rig.AddData();
  rig.Load();
  rig.ExtractorExtracts(AllFiles);

  rig.logic.InstallOrRepair();

  // The extractor runs; nothing is judged before its end is told.
  ASSERT_EQ(rig.s.processes.starts.size(), 1u);
  EXPECT_EQ(rig.s.processes.starts[0].applicationPath, "C:\\Voices\\DATA\\Rar.exe");
  EXPECT_EQ(rig.s.processes.starts[0].commandLine, rig.logic.ExtractCommandLine(Operation::Install));
  EXPECT_TRUE(rig.logic.Busy());
  EXPECT_EQ(rig.view.busy, std::vector<Operation>{Operation::Install});
  EXPECT_TRUE(rig.view.finishes.empty());
  EXPECT_EQ(rig.s.processes.exitCodeCalls, 0);
  EXPECT_TRUE(rig.s.processes.closed.empty());
  EXPECT_FALSE(rig.s.registry.HasKey(kVoiceKey));

  ASSERT_TRUE(rig.s.processes.End());

  EXPECT_EQ(rig.Finished(), Outcome::Success(Operation::Install, "音源[安装]成功！"));
  EXPECT_EQ(rig.s.processes.exitCodeCalls, 1);
  EXPECT_EQ(rig.s.processes.closed, std::vector<std::uintptr_t>{fakes::FakeProcesses::kHandle});
  EXPECT_LT(rig.First("StartHidden"), rig.First("ShowBusy"));
  EXPECT_LT(rig.First("ShowBusy"), rig.First("WatchForExit"));
  EXPECT_LT(rig.First("Watched end told"), rig.First("ExitCode"));
  EXPECT_LT(rig.First("CloseProcess"), rig.First("Set"));
  // Every value written is read back, after the last write and before the end.
  std::vector<std::string> written, read;
  for (const std::string& line : rig.LogWith({"SetString", "SetDword", "ReadValue"})) {
    const std::string keyAndName = line.substr(line.find(' ') + 1);
    if (line.rfind("ReadValue", 0) == 0) {
      read.push_back(keyAndName);
    } else {
      written.push_back(keyAndName.substr(0, keyAndName.find('=')));
    }
  }
  std::sort(written.begin(), written.end());
  std::sort(read.begin(), read.end());
  EXPECT_EQ(read, written);
  EXPECT_LT(rig.Last("Set"), rig.First("ReadValue"));
  EXPECT_LT(rig.Last("ReadValue"), rig.First("Finish"));
}

TEST(InstallAndRepair, RepairShowsItsOwnBusyState) {
  Rig rig;
  rig.AddVoiceFiles(Ddb);
  rig.AddData();
  rig.Load();
  rig.ExtractorExtracts(AllFiles);
  rig.InstallOrRepair();
  EXPECT_EQ(rig.view.busy, std::vector<Operation>{Operation::Repair});
  EXPECT_EQ(rig.s.processes.starts.at(0).commandLine, rig.logic.ExtractCommandLine(Operation::Repair));
  EXPECT_EQ(rig.Finished().message, "音源[修复]成功！");
}

TEST(InstallAndRepair, AnExtractorThatCannotStartChangesNothing) {
  for (const bool install : {true, false}) {
    SCOPED_TRACE(install ? "install" : "repair");
    Rig rig;
    if (!install) rig.AddVoiceFiles(Vvd);
    rig.AddData();
    rig.Load();
    rig.s.processes.startFails = true;

    rig.logic.InstallOrRepair();

    // Only looks, and the staging folder made for the attempt and removed again.
    std::erase_if(rig.s.log, [](const std::string& line) {
      return line.rfind("Locate ", 0) == 0 || line.rfind("EntryExists ", 0) == 0;
    });
    const Operation operation = install ? Operation::Install : Operation::Repair;
    EXPECT_EQ(rig.s.log,
              (std::vector<std::string>{"CreateFolder C:\\Voices\\Ilvo.staging",
                                        "StartHidden " + rig.logic.ExtractCommandLine(operation),
                                        "RemoveTree C:\\Voices\\Ilvo.staging",
                                        std::string("Finish ") + (install ? "install: 音源[安装]失败！" : "repair: 音源[修复]失败！") +
                                            "\r\n解压程序无法启动"}));
    EXPECT_EQ(rig.Finished().icon, MessageIcon::Critical);
    EXPECT_TRUE(rig.view.busy.empty());
    EXPECT_FALSE(rig.logic.Busy());
    EXPECT_EQ(rig.s.registry.Find(kVoiceKey, "INSTALLED"), nullptr);
    EXPECT_FALSE(rig.s.files.Exists(rig.Staging()));
  }
}

TEST(InstallAndRepair, DoNothingForAnInstalledVoice) {
  Rig rig;
  rig.AddVoiceFiles(AllFiles);
  rig.AddData();
  rig.Load();
  rig.logic.InstallOrRepair();
  EXPECT_TRUE(rig.s.log.empty());
}

TEST(InstallAndRepair, NothingElseStartsWhileTheExtractorRuns) {
  Rig rig;
  rig.AddVoiceFiles(Ddi);
  rig.AddData();
  rig.Load();
  rig.ExtractorExtracts(AllFiles);
  rig.logic.InstallOrRepair();

  // Whatever the window is asked while it waits:
  rig.logic.InstallOrRepair();
  rig.logic.AskThenUninstall();
  rig.logic.Uninstall();
  EXPECT_TRUE(rig.logic.Busy()) << "the window refuses to close";
  EXPECT_EQ(rig.logic.SessionEndBlockReason(), "正在修复音源，请稍候");
  rig.logic.AskThenExport();  // the export still works during the wait

  EXPECT_EQ(rig.s.processes.starts.size(), 1u);
  EXPECT_EQ(rig.view.busy.size(), 1u);
  EXPECT_TRUE(rig.LogWith({"DeleteKey", "DeleteFile " + rig.Voice("")}).empty());
  EXPECT_EQ(rig.view.questions, std::vector<installer::Question>{installer::Question::Export});
  EXPECT_TRUE(rig.s.files.Exists(rig.ExportFile()));
  EXPECT_TRUE(rig.view.finishes.empty());

  ASSERT_TRUE(rig.s.processes.End());
  EXPECT_EQ(rig.Finished().message, "音源[修复]成功！");
  EXPECT_EQ(rig.logic.SessionEndBlockReason(), std::nullopt);

  // Nor after its end, where the view lets the program go on.
  rig.logic.InstallOrRepair();
  rig.logic.Uninstall();
  EXPECT_EQ(rig.s.processes.starts.size(), 1u);
  EXPECT_EQ(rig.view.finishes.size(), 1u);
}

TEST(InstallAndRepair, TheSessionIsHeldUpOnlyWhileTheExtractorRuns) {
  for (const bool install : {true, false}) {
    SCOPED_TRACE(install ? "install" : "repair");
    Rig rig;
    if (!install) rig.AddVoiceFiles(Ddb);
    rig.AddData();
    rig.Load();
    EXPECT_EQ(rig.logic.SessionEndBlockReason(), std::nullopt) << "idle: the session may end";
    rig.ExtractorExtracts(AllFiles);
    rig.logic.InstallOrRepair();
    EXPECT_EQ(rig.logic.SessionEndBlockReason(), install ? "正在安装音源，请稍候" : "正在修复音源，请稍候");
  }
}

TEST(InstallAndRepair, AnEndToldWhileAnExportBoxIsOpenWaitsForTheBox) {
  struct Case {
    const char* name;
    bool answer;        // to the export question
    bool exportFails;
    // expected
    bool exported;
    bool reported;      // the export's failure box
  };
  const Case cases[] = {
      {"the export is made", true, false, true, false},
      {"the export is declined", false, false, false, false},
      {"the export fails", true, true, false, true},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    Rig rig;
    rig.AddData();
    rig.Load();
    rig.ExtractorExtracts(AllFiles);
    rig.logic.InstallOrRepair();
    if (c.exportFails) rig.s.files.unwritable.insert(rig.ExportFile() + ".new");
    rig.view.answers = {c.answer};
    bool finishedDuringTheBox = true;
    rig.view.onAsk = [&](installer::Question) {
      ASSERT_TRUE(rig.s.processes.End());  // the extractor ends while the question is open
      finishedDuringTheBox = !rig.view.finishes.empty();
    };

    rig.logic.AskThenExport();

    EXPECT_FALSE(finishedDuringTheBox);
    EXPECT_EQ(rig.Finished().message, "音源[安装]成功！");
    EXPECT_EQ(rig.s.files.Exists(rig.ExportFile()), c.exported);
    EXPECT_EQ(rig.view.reports.size(), c.reported ? 1u : 0u);
    // The attempt finishes after the export and its box, as the program's last word.
    EXPECT_EQ(rig.Last("Finish"), static_cast<long>(rig.s.log.size()) - 1);
    if (c.exported) {
      EXPECT_LT(rig.First("Rename+ " + rig.ExportFile() + ".new"), rig.First("FlushFile"));
    }
    if (c.reported) {
      EXPECT_LT(rig.First("Report"), rig.First("Finish"));
    }
  }
}

// ---- all or nothing ----

// A file of the archive besides the voice files.
std::string Extra(const Rig& rig) { return rig.VoiceFolder() + "\\Ilvo.txt"; }
std::string StagedExtra(const Rig& rig) { return rig.Staging() + "\\KT3WQ8ZRMD5LXNVC\\Ilvo.txt"; }

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
      rig.s.files.AddFile(rig.Staging() + "\\old.tmp");
      rig.s.files.Get(rig.Staging() + "\\old.tmp")->inUse = true;
    }
    if (c.fault == Fault::LeftStagingIsALink) {
      rig.s.files.AddFile("D:\\Elsewhere\\keep.txt", "keep");
      rig.s.files.AddFolder(rig.Staging());
      rig.s.files.MakeLink(rig.Staging(), "D:\\Elsewhere", true);
    }
    rig.s.processes.exitCode = c.exitCode;
    rig.s.processes.onStart = [&](const fakes::FakeProcesses::Start&) {
      // A new, empty folder of the installer's own.
      EXPECT_EQ(rig.s.files.ListTree(rig.Staging()), std::vector<platform::TreeEntry>{});
      rig.AddStagedFiles(c.extracted);
      rig.s.files.AddFile(StagedExtra(rig), "new extra");
      if (c.fault == Fault::StagedFileInUse) rig.s.files.Get(rig.Staged(".ddi"))->inUse = true;
      if (c.fault == Fault::FlushFails) rig.s.files.unflushable.insert(rig.Staged(".vvd"));
      rig.s.registry.failWrites = c.fault == Fault::RegistryRefuses;
    };

    rig.InstallOrRepair();

    EXPECT_EQ(rig.Finished().message, c.text);
    EXPECT_EQ(rig.s.processes.starts.size(), c.started ? 1u : 0u);
    EXPECT_EQ(VoiceContents(rig), c.voice);
    const FakeFileSystem::Entry* extra = rig.s.files.Get(Extra(rig));
    EXPECT_EQ(extra == nullptr ? "" : extra->content, c.extra);
    EXPECT_EQ(rig.s.registry.HasKey(kVoiceKey), c.record);
    EXPECT_EQ(rig.s.files.Exists(rig.Staging()), c.stagingLeft);
    if (c.fault == Fault::LeftStagingIsALink) {
      EXPECT_EQ(rig.s.files.Get("D:\\Elsewhere\\keep.txt")->content, "keep");
    }
    // Every file is on disk before the first takes its place, every place
    // is taken before the record is written, and the staging folder goes
    // before the user is told.
    if (rig.First("Rename") >= 0) {
      EXPECT_LT(rig.Last("FlushFile"), rig.First("Rename"));
    }
    if (c.record) {
      EXPECT_LT(rig.Last("Rename"), rig.First("CreateKey"));
    }
    if (c.started) {
      EXPECT_LT(rig.Last("RemoveTree"), rig.First("Finish"));
    }
  }
}

TEST(AllOrNothing, AnInstallWhoseEntryCannotBeWrittenIsNoSuccess) {
  Rig rig;
  rig.AddData();
  rig.Load();
  rig.s.registry.closedKey = kEntryKey;
  rig.ExtractorExtracts(AllFiles);
  rig.InstallOrRepair();
  EXPECT_EQ(rig.Finished().message, "音源[安装]失败！\r\n无法写入注册表");
  EXPECT_FALSE(rig.s.registry.HasKey(kEntryKey));
}

}  // namespace
