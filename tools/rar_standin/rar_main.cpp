// The extractor stand-in: a console program that takes the extractor's
// command line and unpacks a ZIP archive. Exit codes follow the usual
// extractor convention (see ExitCode); test-only switches in test_switches.h.
#include <windows.h>

#include <fstream>
#include <new>
#include <optional>
#include <string>
#include <string_view>

#include "tools/rar_standin/command_line.h"
#include "tools/rar_standin/extractor.h"
#include "tools/rar_standin/test_switches.h"
#include "tools/rar_standin/utf16.h"

namespace rar_standin {
namespace {

enum ExitCode : int {
  kSuccess = 0,
  kFatalError = 2,
  kDamagedArchive = 3,
  kCannotOpenArchive = 6,
  kBadCommandLine = 7,
  kCannotCreateFile = 9,
  kUserBreak = 255,
};

int ExitCodeFor(ArchiveFault fault) {
  switch (fault) {
    case ArchiveFault::CannotOpen: return kCannotOpenArchive;
    case ArchiveFault::Damaged:
    case ArchiveFault::UnsafeEntry: return kDamagedArchive;
    case ArchiveFault::CannotWrite: return kCannotCreateFile;
    case ArchiveFault::Unsupported: break;
  }
  return kFatalError;
}

std::u16string FromWide(std::wstring_view wide) { return std::u16string(wide.begin(), wide.end()); }

// Standard output or error: UTF-16 to a console, UTF-8 bytes to a pipe or file.
class OutputStream {
 public:
  explicit OutputStream(DWORD which) : handle_(GetStdHandle(which)) {}

  void WriteLine(std::string_view utf8) const {
    if (handle_ == nullptr || handle_ == INVALID_HANDLE_VALUE) return;
    std::string line(utf8);
    line += '\n';
    DWORD mode = 0;
    DWORD written = 0;
    if (GetConsoleMode(handle_, &mode)) {
      const std::u16string text = ToUtf16(line);
      const std::wstring wide(text.begin(), text.end());
      WriteConsoleW(handle_, wide.data(), static_cast<DWORD>(wide.size()), &written, nullptr);
    } else {
      WriteFile(handle_, line.data(), static_cast<DWORD>(line.size()), &written, nullptr);
    }
  }

 private:
  HANDLE handle_;  // not owned
};

std::optional<std::u16string> EnvironmentVariable(std::u16string_view name) {
  const std::wstring wideName(name.begin(), name.end());
  SetLastError(ERROR_SUCCESS);
  const DWORD needed = GetEnvironmentVariableW(wideName.c_str(), nullptr, 0);
  if (needed == 0) {
    if (GetLastError() == ERROR_ENVVAR_NOT_FOUND) return std::nullopt;
    return std::u16string();
  }
  std::wstring value(needed, L'\0');
  const DWORD length = GetEnvironmentVariableW(wideName.c_str(), value.data(), needed);
  value.resize(length < needed ? length : 0);
  return FromWide(value);
}

void AppendToLog(const std::u16string& logPath, std::u16string_view commandLine, const OutputStream& errors) {
  std::ofstream log(PathFromUtf16(logPath), std::ios::binary | std::ios::app);
  log << ToUtf8(commandLine) << '\n';
  log.close();
  if (!log) errors.WriteLine("WARNING: cannot write the command line to " + ToUtf8(logPath));
}

// How the program that started this one asked its window to show.
void AppendShowMode(const std::u16string& logPath, const OutputStream& errors) {
  STARTUPINFOW startup{};
  startup.cb = sizeof startup;
  GetStartupInfoW(&startup);
  std::ofstream log(PathFromUtf16(logPath), std::ios::binary | std::ios::app);
  if ((startup.dwFlags & STARTF_USESHOWWINDOW) != 0) {
    log << "show " << startup.wShowWindow << '\n';
  } else {
    log << "show not given\n";
  }
  log.close();
  if (!log) errors.WriteLine("WARNING: cannot write the show mode to " + ToUtf8(logPath));
}

// The console and the standard output the starter gave this process.
void AppendConsole(const std::u16string& logPath, const OutputStream& errors) {
  const HANDLE output = GetStdHandle(STD_OUTPUT_HANDLE);
  DWORD mode = 0;
  const char* kind = "none";
  if (output != nullptr && output != INVALID_HANDLE_VALUE) {
    switch (GetFileType(output)) {
      case FILE_TYPE_CHAR: kind = GetConsoleMode(output, &mode) ? "console" : "char"; break;
      case FILE_TYPE_PIPE: kind = "pipe"; break;
      case FILE_TYPE_DISK: kind = "file"; break;
      default: break;
    }
  }
  std::ofstream log(PathFromUtf16(logPath), std::ios::binary | std::ios::app);
  log << "console " << (GetConsoleWindow() != nullptr ? "yes" : "no") << ", output " << kind << '\n';
  log.close();
  if (!log) errors.WriteLine("WARNING: cannot write the console to " + ToUtf8(logPath));
}

LONG WINAPI EndProcessOnCrash(EXCEPTION_POINTERS*) { return EXCEPTION_EXECUTE_HANDLER; }

[[noreturn]] void Crash() {
  SetErrorMode(SEM_FAILCRITICALERRORS | SEM_NOGPFAULTERRORBOX | SEM_NOOPENFILEERRORBOX);
  // Wine starts its debugger from the default filter whatever the error mode
  // says; a filter of our own ends the process quietly with the exception code.
  SetUnhandledExceptionFilter(EndProcessOnCrash);
  RaiseException(EXCEPTION_ACCESS_VIOLATION, EXCEPTION_NONCONTINUABLE, 0, nullptr);
  ExitProcess(EXCEPTION_ACCESS_VIOLATION);
}

// Reads an answer from the standard input as a question to the user would;
// false at its end or when it cannot be read.
bool ReadAnswer() {
  char answer[64];
  DWORD read = 0;
  return ReadFile(GetStdHandle(STD_INPUT_HANDLE), answer, sizeof answer, &read, nullptr) && read > 0;
}

int Extract(std::u16string_view commandLine, const ExtractOptions& options, const OutputStream& output,
            const OutputStream& errors) {
  const ParsedCommandLine parsed = ParseCommandLine(commandLine);
  if (const auto* error = std::get_if<CommandLineError>(&parsed)) {
    errors.WriteLine("ERROR: bad command line: " + error->message);
    output.WriteLine("Usage: Rar x [-o+|-o-] [--] <archive> [<destination folder>\\]");
    return kBadCommandLine;
  }
  const auto& request = std::get<ExtractRequest>(parsed);
  try {
    // A destination such as "C:\\" (a drive root with one more backslash)
    // names the same folder as "C:\".
    const ExtractSummary summary =
        ExtractArchive(PathFromUtf16(request.archive), PathFromUtf16(request.destination).lexically_normal(),
                       request.existing,
                       [&](std::string_view line) { output.WriteLine(line); }, options);
    output.WriteLine("All OK: " + std::to_string(summary.filesWritten) + " extracted, " +
                     std::to_string(summary.filesSkipped) + " skipped");
    return kSuccess;
  } catch (const ArchiveError& error) {
    errors.WriteLine(std::string("ERROR: ") + error.what());
    return ExitCodeFor(error.fault());
  } catch (const std::bad_alloc&) {
    errors.WriteLine("ERROR: out of memory");
  } catch (const std::exception& error) {
    errors.WriteLine(std::string("ERROR: ") + error.what());
  }
  return kFatalError;
}

int Run() {
  const OutputStream output(STD_OUTPUT_HANDLE);
  const OutputStream errors(STD_ERROR_HANDLE);
  const std::u16string commandLine = FromWide(GetCommandLineW());

  const TestSwitches switches = ReadTestSwitches(EnvironmentVariable);
  for (const std::string& problem : switches.problems) errors.WriteLine("WARNING: " + problem);
  if (!switches.logPath.empty()) AppendToLog(switches.logPath, commandLine, errors);
  if (!switches.showLogPath.empty()) AppendShowMode(switches.showLogPath, errors);
  if (!switches.consoleLogPath.empty()) AppendConsole(switches.consoleLogPath, errors);
  if (switches.crash) Crash();

  if (switches.ask && !ReadAnswer()) {
    errors.WriteLine("ERROR: no answer");
    return kUserBreak;
  }
  const ExtractOptions options{.readOnly = switches.readOnly,
                               .pauseAfterFile = std::chrono::milliseconds(switches.filePauseMs)};
  const int exitCode = Extract(commandLine, options, output, errors);
  if (switches.delayMs > 0) Sleep(switches.delayMs);
  return switches.exitCode ? static_cast<int>(*switches.exitCode) : exitCode;
}

}  // namespace
}  // namespace rar_standin

int main() {
  try {
    return rar_standin::Run();
  } catch (...) {
    rar_standin::OutputStream(STD_ERROR_HANDLE).WriteLine("ERROR: unexpected failure");
    return rar_standin::kFatalError;
  }
}
