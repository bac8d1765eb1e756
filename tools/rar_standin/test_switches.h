#pragma once
// Switches that only tests use, read from the environment so they reach the
// extractor through the installer that starts it:
//   ILVO_RAR_STANDIN_DELAY_MS=N  wait N milliseconds before exiting (a long extraction)
//   ILVO_RAR_STANDIN_EXIT=N      do the work, then exit with code N whatever happened
//   ILVO_RAR_STANDIN_CRASH=1     crash with an access violation right after starting
//   ILVO_RAR_STANDIN_LOG=path    append the raw command line, as one UTF-8 line, to path
//   ILVO_RAR_STANDIN_SHOW_LOG=path  append how the starter asked the window to show:
//                                "show N" (STARTF_USESHOWWINDOW with wShowWindow N) or "show not given"
//   ILVO_RAR_STANDIN_CONSOLE_LOG=path  append the console and the standard output this process was given:
//                                "console yes|no, output console|char|pipe|file|none"
//   ILVO_RAR_STANDIN_ASK=1       before extracting, read an answer from the standard input as a
//                                question would; at its end or a failed read, "ERROR: no answer"
//                                and exit code 255 (user break), nothing extracted
//   ILVO_RAR_STANDIN_READONLY=1  mark every file written read-only
//   ILVO_RAR_STANDIN_FILE_PAUSE_MS=N  wait N milliseconds after each file written
// A value that cannot be read is reported and ignored.
#include <cstdint>
#include <functional>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace rar_standin {

struct TestSwitches {
  std::uint32_t delayMs = 0;
  std::optional<std::uint32_t> exitCode;
  bool crash = false;
  bool ask = false;
  bool readOnly = false;
  std::uint32_t filePauseMs = 0;
  std::u16string logPath;  // empty: no log
  std::u16string showLogPath;  // empty: no log
  std::u16string consoleLogPath;  // empty: no log
  std::vector<std::string> problems;  // UTF-8, one line each
};

using EnvironmentLookup = std::function<std::optional<std::u16string>(std::u16string_view name)>;

TestSwitches ReadTestSwitches(const EnvironmentLookup& lookup);

}  // namespace rar_standin
