#pragma once
// The command-line mode: with a switch the program does one job without its
// window and ends with an exit code, for publishers who install several voice
// banks from a script.
//
//   IlvoInstaller.exe /status | /install | /repair | /uninstall | /export  [/quiet]
//
// Switches are matched without regard to case and may start with "/" or "-".
// The job runs through the window's own voice logic (VoiceInstaller) with a
// view that has no window, so it decides success exactly as the window does.
#include <functional>
#include <optional>
#include <string>
#include <vector>

#include "platform/services.h"

namespace installer {

enum class CommandAction { Status, Install, Repair, Uninstall, Export };

struct CommandLine {
  std::optional<CommandAction> action;  // none with no arguments: the window
  bool quiet = false;                   // no message box at all
  bool valid = true;                    // false: an unknown switch, two jobs, or /quiet alone
  bool WantsWindow() const { return valid && !action; }
};

// Parses the arguments after the program's name.
CommandLine ParseCommandLine(const std::vector<std::string>& arguments);

namespace exit_code {
inline constexpr int kSucceeded = 0;
// /status
inline constexpr int kInstalled = 1;
inline constexpr int kAbsent = 2;
inline constexpr int kIncomplete = 3;
inline constexpr int kDataMissing = 4;  // absent or incomplete, and DATA\Ilvo.yin or DATA\Rar.exe missing
inline constexpr int kAlreadyRunning = 5;  // ERROR_ACCESS_DENIED: a copy of the program runs
inline constexpr int kNotAllowed = 10;     // the voice's state does not allow the job
inline constexpr int kFailed = 20;
inline constexpr int kUsage = 87;  // ERROR_INVALID_PARAMETER
}  // namespace exit_code

std::string UsageText();

// Runs the command and returns its exit code once the job has come out.
// writeLine takes the result line (the text of the message box, or the
// state) for a console.
int RunCommandLine(const CommandLine& command, platform::Services services,
                   const std::function<void(const std::string&)>& writeLine);

}  // namespace installer
