// The real IlvoInstaller.exe started with switches under Wine, as a
// publisher's script starts it: its exit code, the record and files after
// each job, its result line on the output it was handed, and which windows it
// opens (none with /quiet).
#include <gtest/gtest.h>

#include <optional>
#include <string>
#include <vector>

#include "platform/win32/text.h"
#include "tests/e2e/e2e_steps.h"
#include "tests/e2e/e2e_support.h"

namespace e2e {
namespace {

namespace fs = std::filesystem;

using CommandLineE2E = RecordCleanTest;

struct Handle {
  HANDLE value = nullptr;
  ~Handle() {
    if (value) CloseHandle(value);
  }
};

std::wstring TextOf(HWND window) {
  wchar_t buffer[1024] = {};
  GetWindowTextW(window, buffer, 1024);
  return buffer;
}

struct WindowCount {
  DWORD processId;
  int count = 0;
};

BOOL CALLBACK CountWindowOfProcess(HWND window, LPARAM data) {
  auto* counting = reinterpret_cast<WindowCount*>(data);
  DWORD owner = 0;
  GetWindowThreadProcessId(window, &owner);
  if (owner == counting->processId) ++counting->count;
  return TRUE;
}

// Every top-level window of the process, shown or hidden.
int TopLevelWindows(DWORD processId) {
  WindowCount search{processId};
  EnumWindows(CountWindowOfProcess, reinterpret_cast<LPARAM>(&search));
  return search.count;
}

struct CommandResult {
  std::optional<DWORD> exitCode;  // none: it did not end in time
  std::wstring output;            // what it wrote to its standard output
  int mostWindows = 0;            // the most top-level windows it had at one time
  bool mainWindowSeen = false;
  std::vector<std::wstring> boxes;  // the message boxes it showed, "title: text", each answered OK
};

// Starts the installer of the folder with the arguments, its standard output
// a pipe, and watches it until it ends.
CommandResult RunCommand(const AppFolder& folder, const std::wstring& arguments) {
  SECURITY_ATTRIBUTES inheritable{sizeof inheritable, nullptr, TRUE};
  Handle readEnd, writeEnd;
  if (!CreatePipe(&readEnd.value, &writeEnd.value, &inheritable, 0)) throw std::runtime_error("no pipe");
  SetHandleInformation(readEnd.value, HANDLE_FLAG_INHERIT, 0);

  const fs::path exe = folder.Path() / L"IlvoInstaller.exe";
  std::wstring commandLine = L"\"" + exe.wstring() + L"\" " + arguments;
  STARTUPINFOW startup{};
  startup.cb = sizeof startup;
  startup.dwFlags = STARTF_USESTDHANDLES;
  startup.hStdOutput = writeEnd.value;
  startup.hStdError = writeEnd.value;
  PROCESS_INFORMATION info{};
  if (!CreateProcessW(exe.c_str(), commandLine.data(), nullptr, nullptr, TRUE, 0, nullptr, folder.Path().c_str(),
                      &startup, &info))
    throw std::runtime_error("cannot start the installer");
  Handle process{info.hProcess}, thread{info.hThread};
  CloseHandle(writeEnd.value);
  writeEnd.value = nullptr;

  CommandResult result;
  std::string bytes;
  const auto drain = [&] {
    DWORD available = 0;
    while (PeekNamedPipe(readEnd.value, nullptr, 0, nullptr, &available, nullptr) && available > 0) {
      std::string chunk(available, '\0');
      DWORD read = 0;
      if (!ReadFile(readEnd.value, chunk.data(), available, &read, nullptr) || read == 0) break;
      bytes.append(chunk, 0, read);
    }
  };
  const bool ended = WaitUntil(
      [&] {
        drain();
        result.mostWindows = std::max(result.mostWindows, TopLevelWindows(info.dwProcessId));
        if (FindShownWindow(info.dwProcessId, ShownWindow::Main)) result.mainWindowSeen = true;
        if (HWND box = FindShownWindow(info.dwProcessId, ShownWindow::MessageBox)) {
          HWND text = GetDlgItem(box, 0xFFFF);
          result.boxes.push_back(TextOf(box) + L": " + (text ? TextOf(text) : L""));
          PostMessageW(box, WM_COMMAND, MAKEWPARAM(IDOK, BN_CLICKED), reinterpret_cast<LPARAM>(GetDlgItem(box, IDOK)));
          WaitUntil([&] { return !IsWindow(box) || !IsWindowVisible(box); }, 10s);
        }
        return WaitForSingleObject(process.value, 0) == WAIT_OBJECT_0;
      },
      60s);
  if (!ended) {
    TerminateProcess(process.value, 99);
    WaitForSingleObject(process.value, 10000);
    return result;
  }
  drain();
  DWORD code = 0;
  GetExitCodeProcess(process.value, &code);
  result.exitCode = code;
  result.output = platform::win32::WidenAnsi(bytes);
  return result;
}

// The result line: the last line of the output.
std::wstring LastLine(const std::wstring& output) {
  if (output.size() < 2 || output.compare(output.size() - 2, 2, L"\r\n") != 0) return L"(no CR LF at the end)";
  const std::wstring body = output.substr(0, output.size() - 2);
  const std::size_t newline = body.find_last_of(L'\n');
  return newline == std::wstring::npos ? body : body.substr(newline + 1);
}

enum class Voice { Absent, Installed, Incomplete };

struct Case {
  const wchar_t* arguments;
  Voice voice;
  bool archive;
  // expected
  DWORD exitCode;
  int voiceFilesAfter;
  bool recordAfter;
  bool exportFileAfter;
  const wchar_t* output;  // the result line
};

int VoiceFiles(const AppFolder& folder) {
  int count = 0;
  for (const wchar_t* extension : {L".ddb", L".ddi", L".vvd"}) count += folder.VoiceFileExists(extension) ? 1 : 0;
  return count;
}

void Prepare(AppFolder& folder, Voice voice) {
  if (voice == Voice::Installed) folder.PlaceVoiceFiles();  // no record: the start writes it
  if (voice == Voice::Incomplete) folder.PlaceVoiceFiles({L".ddb"});
}

TEST_F(CommandLineE2E, EachSwitchInEachStateQuietly) {
  // clang-format off
  const Case cases[] = {
    {L"/status /quiet",     Voice::Absent,     true,  2,  0, false, false, L"Ilvo - 音源不存在"},
    {L"/status /quiet",     Voice::Installed,  true,  1,  3, true,  false, L"Ilvo - 音源已安装"},
    {L"/status /quiet",     Voice::Incomplete, true,  3,  1, false, false, L"Ilvo - 音源不完全"},
    {L"/status /quiet",     Voice::Absent,     false, 4,  0, false, false, L"Ilvo - 音源不存在 - 安装文件缺失"},
    {L"-INSTALL /Quiet",    Voice::Absent,     true,  0,  3, true,  false, L"音源[安装]成功！"},
    {L"/install /quiet",    Voice::Installed,  true,  10, 3, true,  false, L"Ilvo - 音源已安装"},
    {L"/install /quiet",    Voice::Incomplete, true,  10, 1, false, false, L"Ilvo - 音源不完全"},
    {L"/install /quiet",    Voice::Absent,     false, 20, 0, false, false, L"音源[安装]失败！ 安装文件缺失"},
    {L"/repair /quiet",     Voice::Incomplete, true,  0,  3, true,  false, L"音源[修复]成功！"},
    {L"/repair /quiet",     Voice::Absent,     true,  10, 0, false, false, L"Ilvo - 音源不存在"},
    {L"/uninstall /quiet",  Voice::Installed,  true,  0,  0, false, false, L"音源[删除]成功！"},
    {L"/uninstall /quiet",  Voice::Incomplete, false, 0,  0, false, false, L"音源[删除]成功！"},
    {L"/uninstall /quiet",  Voice::Absent,     true,  10, 0, false, false, L"Ilvo - 音源不存在"},
    {L"/export /quiet",     Voice::Installed,  true,  0,  3, true,  true,  nullptr},
    {L"/install /bogus /quiet", Voice::Installed, true, 87, 3, false, false, nullptr},
  };
  // clang-format on
  for (const Case& c : cases) {
    SCOPED_TRACE(testing::Message() << fs::path(c.arguments).string() << ", voice " << static_cast<int>(c.voice)
                                    << (c.archive ? "" : ", no archive"));
    DeleteVoiceRecord();
    AppFolder folder(L"command line", {.archive = c.archive});
    Prepare(folder, c.voice);
    const CommandResult result = RunCommand(folder, c.arguments);
    EXPECT_EQ(result.exitCode, c.exitCode);
    EXPECT_EQ(VoiceFiles(folder), c.voiceFilesAfter);
    if (c.voiceFilesAfter == 0 && c.voice != Voice::Absent) {
      EXPECT_FALSE(fs::exists(folder.VoiceFolder()));
    }
    EXPECT_EQ(VoiceKeyExists(), c.recordAfter);
    if (c.recordAfter) {
      EXPECT_EQ(ReadAnsiString(kVoiceKey, L"INSTALLDIR"), folder.Path().string() + '\0');
    }
    EXPECT_EQ(fs::exists(folder.Path() / L"Ilvo.reg"), c.exportFileAfter);
    EXPECT_EQ(result.mostWindows, 0) << "a window appeared under /quiet";
    if (c.output) {
      EXPECT_EQ(LastLine(result.output), c.output) << fs::path(result.output).string();
    }
    if (c.exportFileAfter) {
      EXPECT_EQ(LastLine(result.output), (folder.Path() / L"Ilvo.reg").wstring());
      EXPECT_EQ(ReadAll(folder.Path() / L"Ilvo.reg").rfind("Windows Registry Editor Version 5.00\r\n", 0), 0u);
    }
    if (c.exitCode == 87) {
      EXPECT_NE(result.output.find(L"/uninstall"), std::wstring::npos);
    }
  }
}

TEST_F(CommandLineE2E, WithoutQuietOnlyTheJobsOwnMessageAppears) {
  struct BoxCase {
    const wchar_t* arguments;
    Voice voice;
    DWORD exitCode;
    const wchar_t* box;  // nullptr: none
  } cases[] = {
      {L"/install", Voice::Absent, 0, L"提示: 音源[安装]成功！"},
      {L"/uninstall", Voice::Installed, 0, L"提示: 音源[删除]成功！"},  // no question first
      {L"/status", Voice::Installed, 1, nullptr},
      {L"/export", Voice::Absent, 0, nullptr},
      {L"/unknown", Voice::Absent, 87, L"用法: "},
  };
  for (const BoxCase& c : cases) {
    SCOPED_TRACE(fs::path(c.arguments).string());
    DeleteVoiceRecord();
    AppFolder folder(L"command line boxes", {});
    Prepare(folder, c.voice);
    const CommandResult result = RunCommand(folder, c.arguments);
    EXPECT_EQ(result.exitCode, c.exitCode);
    EXPECT_FALSE(result.mainWindowSeen);
    if (c.box) {
      ASSERT_EQ(result.boxes.size(), 1u);
      EXPECT_EQ(result.boxes[0].rfind(c.box, 0), 0u) << fs::path(result.boxes[0]).string();
    } else {
      EXPECT_TRUE(result.boxes.empty());
      EXPECT_EQ(result.mostWindows, 0);
    }
  }
}

TEST_F(CommandLineE2E, WhileTheWindowRunsEveryJobEndsWith5AndTouchesNothing) {
  AppFolder folder(L"command line running", {});
  folder.PlaceVoiceFiles({L".ddb"});
  InstallerRun window(folder);
  ASSERT_TRUE(window.WaitForWindow());
  ASSERT_TRUE(window.WaitForCaption(L"Ilvo - 音源不完全"));
  for (const wchar_t* arguments : {L"/status /quiet", L"/repair /quiet", L"/uninstall", L"/export /quiet"}) {
    SCOPED_TRACE(fs::path(arguments).string());
    const CommandResult result = RunCommand(folder, arguments);
    EXPECT_EQ(result.exitCode, 5u);
    EXPECT_EQ(result.output, L"安装程序已在运行\r\n");
    EXPECT_TRUE(result.boxes.empty());
    EXPECT_EQ(VoiceFiles(folder), 1);
    EXPECT_FALSE(fs::exists(folder.Path() / L"Ilvo.reg"));
    EXPECT_TRUE(window.Running());
  }
  window.RequestClose();
  EXPECT_EQ(window.WaitForExit(), 0u);
}

// A scripted install owns no console while it works: the extractor gets no
// console at all and writes to NUL (a character device, not a console),
// never into the caller's output, and the result line still reaches the
// caller.
TEST_F(CommandLineE2E, TheExtractorOfAScriptedInstallHasNoConsoleAndWritesToNul) {
  AppFolder folder(L"command line console", {});
  wchar_t temp[MAX_PATH];
  GetTempPathW(MAX_PATH, temp);
  const fs::path consoleLog = fs::path(temp) / L"ilvo-extractor-console.log";
  fs::remove(consoleLog);
  SetEnvironmentVariableW(L"ILVO_RAR_STANDIN_CONSOLE_LOG", consoleLog.c_str());
  const CommandResult result = RunCommand(folder, L"/install /quiet");
  SetEnvironmentVariableW(L"ILVO_RAR_STANDIN_CONSOLE_LOG", nullptr);

  EXPECT_EQ(result.exitCode, 0u);
  EXPECT_EQ(result.output, L"音源[安装]成功！\r\n") << "the extractor wrote nothing into the caller's output";
  EXPECT_EQ(ReadAll(consoleLog), "console no, output char\n");
  fs::remove(consoleLog);
}

}  // namespace
}  // namespace e2e
