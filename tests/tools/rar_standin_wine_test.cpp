// Runs the real Rar.exe stand-in the way the installer does: from the DATA
// folder of an application folder whose path has spaces and Chinese in it,
// with the installer's exact command line.
//
// Arguments (Unix paths, as ctest passes them): Rar.exe, the sample archive,
// the damaged sample archive.
#include <windows.h>
#include <tlhelp32.h>

#include <gtest/gtest.h>

#include <cstdio>
#include <filesystem>
#include <optional>
#include <string>

#include "tests/tools/zip_builder.h"
#include "tools/rar_standin/utf16.h"

namespace rar_standin {
namespace {

namespace fs = std::filesystem;
using testing::FilesBelow;
using testing::ReadBytes;
using testing::TemporaryFolder;
using testing::WriteBytes;

constexpr DWORD kAccessViolation = 0xC0000005;
constexpr DWORD kRunTimeoutMs = 60000;
const std::string kVoiceFolder = "KT3WQ8ZRMD5LXNVC";
constexpr std::uintmax_t kDdbSize = 3u << 20;
constexpr std::uintmax_t kDdiSize = 768u << 10;
constexpr std::uintmax_t kVvdSize = 256u << 10;

struct StandinFiles {
  fs::path extractor;
  fs::path archive;
  fs::path damagedArchive;
};

fs::path FromUnixPath(const std::string& unixPath) {
  std::string windows = "Z:" + unixPath;
  for (char& c : windows) {
    if (c == '/') c = '\\';
  }
  return PathFromUtf8(windows);
}

std::wstring Wide(const std::string& utf8) {
  const std::u16string text = ToUtf16(utf8);
  return std::wstring(text.begin(), text.end());
}

class Handle {
 public:
  explicit Handle(HANDLE handle = nullptr) : handle_(handle) {}
  ~Handle() {
    if (handle_ != nullptr && handle_ != INVALID_HANDLE_VALUE) CloseHandle(handle_);
  }
  Handle(const Handle&) = delete;
  Handle& operator=(const Handle&) = delete;
  HANDLE get() const { return handle_; }

 private:
  HANDLE handle_;
};

// Sets a variable for the children started while it lives.
class ScopedEnvironmentVariable {
 public:
  ScopedEnvironmentVariable(const std::string& name, const std::string& value) : name_(Wide(name)) {
    SetEnvironmentVariableW(name_.c_str(), Wide(value).c_str());
  }
  ~ScopedEnvironmentVariable() { SetEnvironmentVariableW(name_.c_str(), nullptr); }
  ScopedEnvironmentVariable(const ScopedEnvironmentVariable&) = delete;
  ScopedEnvironmentVariable& operator=(const ScopedEnvironmentVariable&) = delete;

 private:
  std::wstring name_;
};

struct RunResult {
  DWORD exitCode = 0;
  std::string output;
  std::string errors;
  ULONGLONG elapsedMs = 0;
};

Handle InheritableFile(const fs::path& path) {
  SECURITY_ATTRIBUTES inherit{sizeof(SECURITY_ATTRIBUTES), nullptr, TRUE};
  return Handle(CreateFileW(path.c_str(), GENERIC_WRITE, FILE_SHARE_READ | FILE_SHARE_WRITE, &inherit,
                            CREATE_ALWAYS, FILE_ATTRIBUTE_NORMAL, nullptr));
}

bool IsDebuggerRunning() {
  Handle snapshot(CreateToolhelp32Snapshot(TH32CS_SNAPPROCESS, 0));
  PROCESSENTRY32W entry{};
  entry.dwSize = sizeof(entry);
  for (BOOL more = Process32FirstW(snapshot.get(), &entry); more; more = Process32NextW(snapshot.get(), &entry)) {
    if (lstrcmpiW(entry.szExeFile, L"winedbg.exe") == 0) return true;
  }
  return false;
}

class RarStandinTest : public ::testing::Test {
 public:
  static StandinFiles files;

 protected:
  RarStandinTest()
      : appFolder_(folder_.path() / PathFromUtf8("Voices 音源 声库")),
        dataFolder_(appFolder_ / "DATA"),
        voiceFolder_(appFolder_ / PathFromUtf8(kVoiceFolder)) {
    fs::create_directories(dataFolder_);
    fs::copy_file(files.extractor, dataFolder_ / "Rar.exe");
    fs::copy_file(files.archive, dataFolder_ / "Ilvo.yin");
  }

  // The installer's line: the destination keeps its trailing backslash
  // right before the closing quote.
  // `folderSuffix` is what the installer's folder text ends in before it adds
  // its own backslash: nothing for a normal folder, a backslash for a drive root.
  std::string CommandLine(const std::string& switchText, const std::string& folderSuffix = "") const {
    const std::string app = PathToUtf8(appFolder_) + folderSuffix + "\\";
    return "\"" + app + "DATA\\Rar.exe\" x " + switchText + " \"" + app + "DATA\\Ilvo.yin\" \"" + app + "\"";
  }

  std::string ExtractorLine(const std::string& switchText, const std::string& archive,
                            const std::string& destination) const {
    const std::string parts[] = {"\"", PathToUtf8(dataFolder_ / "Rar.exe"), "\" x ", switchText, " \"",
                                 archive, "\" \"", destination, "\""};
    std::string line;
    for (const std::string& part : parts) line += part;
    return line;
  }

  // input: what its standard input reads from; empty: no handle given
  // (Wine then reads its hidden console, which never answers).
  RunResult Run(const std::string& commandLine, const fs::path& input = {}) const {
    const fs::path outputFile = folder_.path() / "stdout.txt";
    const fs::path errorFile = folder_.path() / "stderr.txt";
    RunResult result;
    {
      Handle output = InheritableFile(outputFile);
      Handle errors = InheritableFile(errorFile);
      SECURITY_ATTRIBUTES inherit{sizeof(SECURITY_ATTRIBUTES), nullptr, TRUE};
      Handle inputHandle(input.empty() ? nullptr
                                       : CreateFileW(input.c_str(), GENERIC_READ, FILE_SHARE_READ | FILE_SHARE_WRITE,
                                                     &inherit, OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr));
      STARTUPINFOW startup{};
      startup.cb = sizeof(startup);
      startup.dwFlags = STARTF_USESTDHANDLES | STARTF_USESHOWWINDOW;
      startup.wShowWindow = SW_HIDE;
      startup.hStdInput = inputHandle.get();
      startup.hStdOutput = output.get();
      startup.hStdError = errors.get();
      PROCESS_INFORMATION process{};
      std::wstring line = Wide(commandLine);
      const ULONGLONG start = GetTickCount64();
      if (!CreateProcessW(nullptr, line.data(), nullptr, nullptr, TRUE, CREATE_NO_WINDOW, nullptr, nullptr,
                          &startup, &process)) {
        ADD_FAILURE() << "cannot start " << commandLine << ": error " << GetLastError();
        return result;
      }
      Handle processHandle(process.hProcess);
      Handle threadHandle(process.hThread);
      if (WaitForSingleObject(process.hProcess, kRunTimeoutMs) != WAIT_OBJECT_0) {
        TerminateProcess(process.hProcess, 1);
        WaitForSingleObject(process.hProcess, kRunTimeoutMs);
        ADD_FAILURE() << "the extractor did not end within " << kRunTimeoutMs << " ms";
      }
      result.elapsedMs = GetTickCount64() - start;
      GetExitCodeProcess(process.hProcess, &result.exitCode);
    }
    result.output = ReadBytes(outputFile);
    result.errors = ReadBytes(errorFile);
    return result;
  }

  fs::path Voice(const std::string& name) const { return voiceFolder_ / name; }

  void Plant(const std::string& name, const std::string& content) const {
    fs::create_directories(voiceFolder_);
    WriteBytes(Voice(name), content);
  }

  void ExpectCompleteVoiceFiles() const {
    EXPECT_EQ(fs::file_size(Voice("Ilvo.ddb")), kDdbSize);
    EXPECT_EQ(fs::file_size(Voice("Ilvo.ddi")), kDdiSize);
    EXPECT_EQ(fs::file_size(Voice("Ilvo.vvd")), kVvdSize);
  }

  TemporaryFolder folder_{"wine"};
  fs::path appFolder_;
  fs::path dataFolder_;
  fs::path voiceFolder_;
};

StandinFiles RarStandinTest::files;

TEST_F(RarStandinTest, InstallExtractsTheThreeVoiceFiles) {
  const RunResult run = Run(CommandLine("-o+"));
  EXPECT_EQ(run.exitCode, 0u) << run.errors;
  EXPECT_EQ(run.errors, "");
  EXPECT_EQ(FilesBelow(voiceFolder_), (std::vector<std::string>{"Ilvo.ddb", "Ilvo.ddi", "Ilvo.vvd"}));
  ExpectCompleteVoiceFiles();
}

TEST_F(RarStandinTest, DoubledBackslashBeforeTheClosingQuoteNamesTheSameFolder) {
  const RunResult run = Run(CommandLine("-o+", "\\"));
  EXPECT_EQ(run.exitCode, 0u) << run.errors;
  EXPECT_EQ(FilesBelow(voiceFolder_), (std::vector<std::string>{"Ilvo.ddb", "Ilvo.ddi", "Ilvo.vvd"}));
}

// Installed at a drive root, the installer's folder text already ends in a
// backslash, so the destination reads C:\\ (two backslashes).
TEST_F(RarStandinTest, DriveRootDestinationWithOneOrTwoBackslashes) {
  const TemporaryFolder below("C:\\", "root");
  const std::string folderName = PathToUtf8(below.path().filename());
  const fs::path archive = folder_.path() / "root.yin";
  WriteBytes(archive, testing::BuildZip({{.name = folderName + "/Ilvo.vvd", .data = "root"}}));
  for (const std::string destination : {"C:\\", "C:\\\\"}) {
    const RunResult run = Run(ExtractorLine("-o+", PathToUtf8(archive), destination));
    EXPECT_EQ(run.exitCode, 0u) << destination << ": " << run.errors;
    EXPECT_EQ(FilesBelow(below.path()), std::vector<std::string>{"Ilvo.vvd"}) << destination;
    fs::remove(below.path() / "Ilvo.vvd");
  }
}

TEST_F(RarStandinTest, InstallOverwritesAChangedFile) {
  Plant("Ilvo.ddi", "changed");
  const RunResult run = Run(CommandLine("-o+"));
  EXPECT_EQ(run.exitCode, 0u) << run.errors;
  ExpectCompleteVoiceFiles();
}

TEST_F(RarStandinTest, RepairKeepsExistingFilesAndAddsMissingOnes) {
  Plant("Ilvo.ddb", "kept");
  const RunResult run = Run(CommandLine("-o-"));
  EXPECT_EQ(run.exitCode, 0u) << run.errors;
  EXPECT_EQ(ReadBytes(Voice("Ilvo.ddb")), "kept");
  EXPECT_EQ(fs::file_size(Voice("Ilvo.ddi")), kDdiSize);
  EXPECT_EQ(fs::file_size(Voice("Ilvo.vvd")), kVvdSize);
}

TEST_F(RarStandinTest, MissingArchiveEndsWithCode6AndAMessage) {
  fs::remove(dataFolder_ / "Ilvo.yin");
  const RunResult run = Run(CommandLine("-o+"));
  EXPECT_EQ(run.exitCode, 6u);
  EXPECT_EQ(run.errors, "ERROR: cannot find " + PathToUtf8(dataFolder_) + "\\Ilvo.yin\n");
  EXPECT_FALSE(fs::exists(voiceFolder_));
}

TEST_F(RarStandinTest, DamagedArchiveEndsWithCode3AndLeavesNoHalfWrittenFile) {
  fs::copy_file(files.damagedArchive, dataFolder_ / "Ilvo.yin", fs::copy_options::overwrite_existing);
  // Fresh install: the damaged file never appears, not even under a temporary name.
  RunResult run = Run(CommandLine("-o+"));
  EXPECT_EQ(run.exitCode, 3u);
  EXPECT_EQ(run.errors, "ERROR: CRC failed in KT3WQ8ZRMD5LXNVC/Ilvo.vvd\n");
  EXPECT_EQ(FilesBelow(voiceFolder_), (std::vector<std::string>{"Ilvo.ddb", "Ilvo.ddi"}));
  // Over an existing file: the good copy survives.
  Plant("Ilvo.vvd", "good old data");
  run = Run(CommandLine("-o+"));
  EXPECT_EQ(run.exitCode, 3u);
  EXPECT_EQ(ReadBytes(Voice("Ilvo.vvd")), "good old data");
  EXPECT_EQ(FilesBelow(voiceFolder_), (std::vector<std::string>{"Ilvo.ddb", "Ilvo.ddi", "Ilvo.vvd"}));
}

TEST_F(RarStandinTest, BadCommandLineEndsWithCode7) {
  const RunResult run = Run(CommandLine("-q"));
  EXPECT_EQ(run.exitCode, 7u);
  EXPECT_EQ(run.errors, "ERROR: bad command line: unknown switch: -q\n");
  EXPECT_FALSE(fs::exists(voiceFolder_));
}

TEST_F(RarStandinTest, ExitSwitchReplacesTheExitCodeAfterExtracting) {
  const ScopedEnvironmentVariable exitCode("ILVO_RAR_STANDIN_EXIT", "5");
  const RunResult run = Run(CommandLine("-o+"));
  EXPECT_EQ(run.exitCode, 5u);
  ExpectCompleteVoiceFiles();
}

TEST_F(RarStandinTest, DelaySwitchHoldsTheExtractorBeforeItEnds) {
  const ScopedEnvironmentVariable delay("ILVO_RAR_STANDIN_DELAY_MS", "1500");
  const RunResult run = Run(CommandLine("-o+"));
  EXPECT_EQ(run.exitCode, 0u) << run.errors;
  EXPECT_GE(run.elapsedMs, 1500u);
  ExpectCompleteVoiceFiles();
}

TEST_F(RarStandinTest, CrashSwitchEndsWithAnAccessViolationAndNoDebugger) {
  const ScopedEnvironmentVariable crash("ILVO_RAR_STANDIN_CRASH", "1");
  const RunResult run = Run(CommandLine("-o+"));
  EXPECT_EQ(run.exitCode, kAccessViolation);
  EXPECT_FALSE(IsDebuggerRunning());
  EXPECT_FALSE(fs::exists(voiceFolder_));
}

TEST_F(RarStandinTest, AskSwitchEndsWithAUserBreakWithoutAnAnswer) {
  const ScopedEnvironmentVariable ask("ILVO_RAR_STANDIN_ASK", "1");
  struct Case {
    const char* name;
    std::optional<std::string> answers;  // a file's content; nothing: NUL, as the installer gives
    DWORD exitCode;
    std::string errors;
  };
  const Case cases[] = {
      {"input from NUL", std::nullopt, 255, "ERROR: no answer\n"},
      {"an empty file", "", 255, "ERROR: no answer\n"},
      {"an answer", "A\r\n", 0, ""},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    const fs::path answers = folder_.path() / "answers.txt";
    if (c.answers) WriteBytes(answers, *c.answers);
    const RunResult run = Run(CommandLine("-o+"), c.answers ? answers : fs::path(L"NUL"));
    EXPECT_EQ(run.exitCode, c.exitCode);
    EXPECT_EQ(run.errors, c.errors);
    EXPECT_EQ(fs::exists(voiceFolder_), c.exitCode == 0) << "extracts only once answered";
  }
}

TEST_F(RarStandinTest, ReadOnlySwitchLeavesEachVoiceFileReadOnly) {
  const ScopedEnvironmentVariable readOnly("ILVO_RAR_STANDIN_READONLY", "1");
  const RunResult run = Run(CommandLine("-o+"));
  EXPECT_EQ(run.exitCode, 0u) << run.errors;
  ExpectCompleteVoiceFiles();
  for (const char* name : {"Ilvo.ddb", "Ilvo.ddi", "Ilvo.vvd"}) {
    SCOPED_TRACE(name);
    const DWORD attributes = GetFileAttributesW(Voice(name).c_str());
    EXPECT_NE(attributes & FILE_ATTRIBUTE_READONLY, 0u);
    SetFileAttributesW(Voice(name).c_str(), FILE_ATTRIBUTE_NORMAL);  // so that the folder can go
  }
}

TEST_F(RarStandinTest, LogSwitchAppendsTheExactCommandLine) {
  const fs::path log = folder_.path() / PathFromUtf8("命令行 log.txt");
  const ScopedEnvironmentVariable logSwitch("ILVO_RAR_STANDIN_LOG", PathToUtf8(log));
  const std::string install = CommandLine("-o+");
  const std::string repair = CommandLine("-o-");
  EXPECT_EQ(Run(install).exitCode, 0u);
  EXPECT_EQ(Run(repair).exitCode, 0u);
  EXPECT_EQ(ReadBytes(log), install + "\n" + repair + "\n");
}

}  // namespace
}  // namespace rar_standin

int main(int argc, char** argv) {
  ::testing::InitGoogleTest(&argc, argv);
  if (argc != 4) {
    std::fprintf(stderr, "usage: %s <Rar.exe> <archive> <damaged archive>  (Unix paths)\n", argv[0]);
    return 2;
  }
  rar_standin::RarStandinTest::files = {rar_standin::FromUnixPath(argv[1]), rar_standin::FromUnixPath(argv[2]),
                                        rar_standin::FromUnixPath(argv[3])};
  return RUN_ALL_TESTS();
}
