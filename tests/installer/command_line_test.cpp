// Native tests of the command-line mode against the fakes: how the switches
// are read, and the exit code, messages, result lines, record and files of
// each job in each state.
#include <gtest/gtest.h>

#include <optional>
#include <string>
#include <vector>

#include "installer/command_line.h"
#include "platform/command_line_text.h"
#include "tests/fakes/fake_services.h"

namespace {

using installer::CommandAction;
using installer::CommandLine;
using installer::ParseCommandLine;
namespace code = installer::exit_code;

const std::string kVoiceKey = "Software\\TIRELUNA2\\DATABASE\\VOICE\\KT3WQ8ZRMD5LXNVC";
const std::string kVoice = "C:\\Voices\\KT3WQ8ZRMD5LXNVC\\Ilvo";
const std::string kStaged = "C:\\Voices\\Ilvo.staging\\KT3WQ8ZRMD5LXNVC\\Ilvo";
const std::string kExportFile = "C:\\Voices\\Ilvo.reg";

// The window's start splits nothing; anything after the program's name,
// however the name is written, is split and read as switches.
TEST(CommandLineText, ArgumentsFollowTheProgramNameQuotedOrNot) {
  struct Case {
    const wchar_t* line;
    bool arguments;
  } cases[] = {
      {L"", false},
      {L"IlvoInstaller.exe", false},
      {L"IlvoInstaller.exe \t ", false},
      {L"\"C:\\Voices\\Ilvo Setup\\IlvoInstaller.exe\"", false},
      {L"\"C:\\Voices\\Ilvo Setup\\IlvoInstaller.exe\"  ", false},
      {L"\"C:\\unclosed quote\\IlvoInstaller.exe /status", false},  // all of it is the name
      {L"IlvoInstaller.exe /status", true},
      {L"IlvoInstaller.exe\t/status", true},
      {L"\"C:\\Voices\\Ilvo Setup\\IlvoInstaller.exe\" /status", true},
      {L"\"IlvoInstaller.exe\"/status", true},  // no blank needed after a quoted name
  };
  for (const Case& c : cases) {
    EXPECT_EQ(platform::HasArgumentsAfterProgramName(c.line), c.arguments) << c.line;
  }
}

TEST(ParseCommandLine, ReadsSwitchesWithoutRegardToCaseOrPrefix) {
  struct Case {
    std::vector<std::string> arguments;
    bool window;
    bool valid;
    std::optional<CommandAction> action;
    bool quiet;
  } cases[] = {
      {{}, true, true, std::nullopt, false},
      {{"/status"}, false, true, CommandAction::Status, false},
      {{"-INSTALL"}, false, true, CommandAction::Install, false},
      {{"/Repair", "/quiet"}, false, true, CommandAction::Repair, true},
      {{"-Quiet", "/uninstall"}, false, true, CommandAction::Uninstall, true},
      {{"/export"}, false, true, CommandAction::Export, false},
      // usage errors
      {{"/quiet"}, false, false, std::nullopt, true},
      {{"/bogus"}, false, false, std::nullopt, false},
      {{"status"}, false, false, std::nullopt, false},
      {{"/"}, false, false, std::nullopt, false},
      {{""}, false, false, std::nullopt, false},
      {{"/install", "/uninstall"}, false, false, CommandAction::Install, false},
      {{"/install", "/install"}, false, false, CommandAction::Install, false},
      {{"/install", "/bogus", "/quiet"}, false, false, CommandAction::Install, true},
      {{"/status:x"}, false, false, std::nullopt, false},
  };
  for (const Case& c : cases) {
    std::string joined;
    for (const auto& argument : c.arguments) joined += "[" + argument + "]";
    SCOPED_TRACE(joined);
    const CommandLine command = ParseCommandLine(c.arguments);
    EXPECT_EQ(command.WantsWindow(), c.window);
    EXPECT_EQ(command.valid, c.valid);
    EXPECT_EQ(command.quiet, c.quiet);
    if (c.valid) {
      EXPECT_EQ(command.action, c.action);
    }
  }
}

enum class Voice { Absent, Installed, Incomplete };

// The program's folder C:\Voices with its data, the voice in a given state, and
// an extractor that extracts the three files.
struct Rig {
  Rig(Voice voice, bool dataComplete) {
    s.app.folder = "C:\\Voices";
    s.files.AddFolder("C:\\Voices");
    s.files.AddFolder("C:\\Voices\\DATA");
    s.files.AddFile("C:\\Voices\\DATA\\Rar.exe");
    if (dataComplete) s.files.AddFile("C:\\Voices\\DATA\\Ilvo.yin");
    if (voice == Voice::Installed) AddVoiceFiles({".vvd", ".ddi", ".ddb"});
    if (voice == Voice::Incomplete) AddVoiceFiles({".ddb"});
    s.processes.onStart = [this](const fakes::FakeProcesses::Start&) {
      for (const char* extension : {".vvd", ".ddi", ".ddb"}) s.files.AddFile(kStaged + extension, "voice");
    };
  }
  void AddVoiceFiles(std::vector<const char*> extensions) {
    for (const char* extension : extensions) {
      if (!s.files.Exists(kVoice + extension)) s.files.AddFile(kVoice + extension, "voice");
    }
  }
  int VoiceFiles() const {
    int count = 0;
    for (const char* extension : {".vvd", ".ddi", ".ddb"}) count += s.files.Exists(kVoice + extension) ? 1 : 0;
    return count;
  }
  // The job's exit code; the extractor's end comes through the job's message loop.
  int Run(std::vector<std::string> arguments) {
    return installer::RunCommandLine(ParseCommandLine(arguments), s.Services(),
                                     [this](const std::string& line) { lines.push_back(line); });
  }

  fakes::FakeServices s;
  std::vector<std::string> lines;
};

struct JobCase {
  const char* job;
  Voice voice;
  bool dataComplete;
  // expected
  int exitCode;
  int voiceFilesAfter;
  bool recordAfter;
  const char* message;  // the message box and the result line; nullptr: none
};

TEST(CommandLineMode, EachJobInEachStateEndsWithItsCodeAndLeavesWhatTheWindowWould) {
  constexpr bool kData = true, kNoData = false;
  // clang-format off
  const JobCase cases[] = {
    {"/status",    Voice::Installed,  kData,   code::kInstalled,   3, true,  nullptr},
    {"/status",    Voice::Installed,  kNoData, code::kInstalled,   3, true,  nullptr},
    {"/status",    Voice::Absent,     kData,   code::kAbsent,      0, false, nullptr},
    {"/status",    Voice::Absent,     kNoData, code::kDataMissing, 0, false, nullptr},
    {"/status",    Voice::Incomplete, kData,   code::kIncomplete,  1, false, nullptr},
    {"/status",    Voice::Incomplete, kNoData, code::kDataMissing, 1, false, nullptr},
    {"/install",   Voice::Absent,     kData,   code::kSucceeded,   3, true,  "音源[安装]成功！"},
    {"/install",   Voice::Absent,     kNoData, code::kFailed,      0, false, "音源[安装]失败！ 安装文件缺失"},
    {"/install",   Voice::Installed,  kData,   code::kNotAllowed,  3, true,  nullptr},
    {"/install",   Voice::Incomplete, kData,   code::kNotAllowed,  1, false, nullptr},
    {"/repair",    Voice::Incomplete, kData,   code::kSucceeded,   3, true,  "音源[修复]成功！"},
    {"/repair",    Voice::Incomplete, kNoData, code::kFailed,      1, false, "音源[修复]失败！ 安装文件缺失"},
    {"/repair",    Voice::Absent,     kData,   code::kNotAllowed,  0, false, nullptr},
    {"/repair",    Voice::Installed,  kData,   code::kNotAllowed,  3, true,  nullptr},
    {"/uninstall", Voice::Installed,  kData,   code::kSucceeded,   0, false, "音源[删除]成功！"},
    {"/uninstall", Voice::Incomplete, kNoData, code::kSucceeded,   0, false, "音源[删除]成功！"},
    {"/uninstall", Voice::Absent,     kData,   code::kNotAllowed,  0, false, nullptr},
    {"/export",    Voice::Absent,     kData,   code::kSucceeded,   0, false, nullptr},
    {"/export",    Voice::Installed,  kNoData, code::kSucceeded,   3, true,  nullptr},
  };
  // clang-format on
  for (const bool quiet : {false, true}) {
    for (const JobCase& c : cases) {
      SCOPED_TRACE(std::string(c.job) + " in state " + std::to_string(static_cast<int>(c.voice)) +
                   (c.dataComplete ? "" : ", data missing") + (quiet ? ", /quiet" : ""));
      Rig rig(c.voice, c.dataComplete);
      std::vector<std::string> arguments{c.job};
      if (quiet) arguments.push_back("/QUIET");
      EXPECT_EQ(rig.Run(arguments), c.exitCode);
      EXPECT_EQ(rig.VoiceFiles(), c.voiceFilesAfter);
      EXPECT_EQ(rig.s.registry.HasKey(kVoiceKey), c.recordAfter);
      EXPECT_EQ(rig.s.files.Exists(kExportFile), std::string(c.job) == "/export");
      // No question is asked in this mode; a message only where the window shows one.
      const std::size_t boxes = c.message && !quiet ? 1 : 0;
      ASSERT_EQ(rig.s.app.boxes.size(), boxes);
      if (boxes == 1) {
        EXPECT_EQ(rig.s.app.boxes[0].buttons, platform::MessageButtons::Ok);
      }
      ASSERT_EQ(rig.lines.size(), 1u);
      if (c.message) {
        EXPECT_EQ(rig.lines[0], c.message);
      }
    }
  }
}

TEST(CommandLineMode, ResultLinesNameTheStateTheFileAndTheCause) {
  {
    Rig rig(Voice::Absent, false);
    EXPECT_EQ(rig.Run({"/status"}), code::kDataMissing);
    EXPECT_EQ(rig.lines, std::vector<std::string>{"Ilvo - 音源不存在 - 安装文件缺失"});
  }
  {
    Rig rig(Voice::Installed, true);
    EXPECT_EQ(rig.Run({"/install", "/quiet"}), code::kNotAllowed);
    EXPECT_EQ(rig.lines, std::vector<std::string>{"Ilvo - 音源已安装"});
    EXPECT_TRUE(rig.s.processes.starts.empty());
  }
  {
    Rig rig(Voice::Absent, true);
    EXPECT_EQ(rig.Run({"/export"}), code::kSucceeded);
    EXPECT_EQ(rig.lines, std::vector<std::string>{kExportFile});
  }
  {  // only the entry in the list of installed programs is left: the list's own command removes it
    Rig rig(Voice::Absent, true);
    const std::string entry = "Software\\Microsoft\\Windows\\CurrentVersion\\Uninstall\\Ilvo_KT3WQ8ZRMD5LXNVC";
    rig.s.registry.CreateKey(entry);
    EXPECT_EQ(rig.Run({"/uninstall", "/quiet"}), code::kSucceeded);
    EXPECT_EQ(rig.lines, std::vector<std::string>{"音源不存在，已从程序列表中删除其残留项"});
    EXPECT_FALSE(rig.s.registry.HasKey(entry));
  }
}

TEST(CommandLineMode, FailuresOfTheJobAreExitCode20WithTheWindowsMessage) {
  {  // the extractor reports an error: no record
    Rig rig(Voice::Absent, true);
    rig.s.processes.exitCode = 3;
    EXPECT_EQ(rig.Run({"/install", "/quiet"}), code::kFailed);
    EXPECT_FALSE(rig.s.registry.HasKey(kVoiceKey));
    EXPECT_EQ(rig.lines, std::vector<std::string>{"音源[安装]失败！ 解压程序返回错误代码 3"});
  }
  {  // the extractor cannot start
    Rig rig(Voice::Absent, true);
    rig.s.processes.startFails = true;
    EXPECT_EQ(rig.Run({"/install"}), code::kFailed);
    ASSERT_EQ(rig.s.app.boxes.size(), 1u);
    EXPECT_EQ(rig.s.app.boxes[0].text, "音源[安装]失败！\r\n解压程序无法启动");
    EXPECT_EQ(rig.s.app.boxes[0].title, "错误");
  }
  {  // a voice file in use at uninstall
    Rig rig(Voice::Installed, true);
    rig.s.files.Get(kVoice + ".ddi")->inUse = true;
    EXPECT_EQ(rig.Run({"/uninstall", "/quiet"}), code::kFailed);
    EXPECT_EQ(rig.lines, std::vector<std::string>{"音源正被使用，请结束后再卸载"});
    EXPECT_TRUE(rig.s.files.Exists(kVoice + ".ddi"));
  }
  {  // the export file cannot be written
    Rig rig(Voice::Absent, true);
    rig.s.files.unwritable.insert(kExportFile + ".new");
    EXPECT_EQ(rig.Run({"/export"}), code::kFailed);
    ASSERT_EQ(rig.s.app.boxes.size(), 1u);
    EXPECT_EQ(rig.s.app.boxes[0].text, "注册表导出失败！");
    EXPECT_FALSE(rig.s.files.Exists(kExportFile));
  }
}

TEST(CommandLineMode, UsageErrorsAndARunningCopyTouchNothing) {
  for (const bool quiet : {false, true}) {
    SCOPED_TRACE(quiet ? "/quiet" : "with boxes");
    Rig rig(Voice::Installed, true);  // complete files and no key: any start would write the record
    std::vector<std::string> arguments{"/instal"};
    if (quiet) arguments.push_back("/quiet");
    EXPECT_EQ(rig.Run(arguments), code::kUsage);
    EXPECT_EQ(rig.s.app.boxes.size(), quiet ? 0u : 1u);
    ASSERT_EQ(rig.lines.size(), 1u);
    EXPECT_NE(rig.lines[0].find("/uninstall"), std::string::npos);
    EXPECT_EQ(rig.s.registry.KeyCount(), 0u);
    EXPECT_TRUE(rig.s.processes.starts.empty());
  }
  for (const char* job : {"/status", "/install", "/uninstall", "/export"}) {
    SCOPED_TRACE(job);
    Rig rig(Voice::Installed, true);
    rig.s.app.previousInstance = true;
    EXPECT_EQ(rig.Run({job, "/quiet"}), code::kAlreadyRunning);
    EXPECT_EQ(rig.s.registry.KeyCount(), 0u);
    EXPECT_EQ(rig.VoiceFiles(), 3);
    EXPECT_FALSE(rig.s.files.Exists(kExportFile));
    EXPECT_EQ(rig.lines, std::vector<std::string>{"安装程序已在运行"});
  }
}

}  // namespace
