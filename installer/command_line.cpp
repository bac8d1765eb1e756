#include "installer/command_line.h"

#include <map>
#include <optional>

#include "installer/voice_installer.h"
#include "installer/texts.h"

namespace installer {
namespace {

using platform::MessageButtons;
using platform::MessageIcon;

std::string LowerAscii(std::string text) {
  for (char& c : text) {
    if (c >= 'A' && c <= 'Z') c = static_cast<char>(c - 'A' + 'a');
  }
  return text;
}

// One line for a console: the lines of a message box joined by a space.
std::string OneLine(const std::string& text) {
  std::string line;
  for (std::size_t i = 0; i < text.size(); ++i) {
    if (text.compare(i, 2, "\r\n") == 0) {
      line += ' ';
      ++i;
    } else {
      line += text[i];
    }
  }
  return line;
}

// The window as the voice logic sees it, without a window: an outcome is a
// result line, and a message box unless /quiet; it is kept for the exit code.
class CommandLineView final : public FormView {
 public:
  CommandLineView(platform::Application& app, bool quiet, const std::function<void(const std::string&)>& writeLine)
      : app_(app), quiet_(quiet), writeLine_(writeLine) {}

  void ShowState(const VoiceStatus&) override {}
  void ShowBusy(Operation) override {}
  // The switch was the answer: nothing is asked in this mode.
  bool Ask(Question) override { return true; }
  void Report(const Outcome& outcome) override { Tell(outcome); }
  void Finish(const Outcome& outcome) override {
    Tell(outcome);
    finished_ = outcome;
  }

  bool Finished() const { return finished_.has_value(); }
  int ExitCode() const {
    return finished_ && finished_->Succeeded() ? exit_code::kSucceeded : exit_code::kFailed;
  }

 private:
  void Tell(const Outcome& outcome) {
    if (outcome.message.empty()) return;
    writeLine_(OneLine(outcome.message));
    if (quiet_) return;
    const MessageBoxText box = BoxFor(outcome);
    app_.MessageBox(box.text, box.title, box.buttons, box.icon);
  }

  platform::Application& app_;  // not owned
  bool quiet_;
  const std::function<void(const std::string&)>& writeLine_;
  std::optional<Outcome> finished_;
};

int StatusCode(const VoiceStatus& status) {
  if (status.state == VoiceState::Installed) return exit_code::kInstalled;
  if (status.dataMissing) return exit_code::kDataMissing;
  return status.state == VoiceState::Absent ? exit_code::kAbsent : exit_code::kIncomplete;
}

}  // namespace

CommandLine ParseCommandLine(const std::vector<std::string>& arguments) {
  static const std::map<std::string, CommandAction> kActions{{"status", CommandAction::Status},
                                                             {"install", CommandAction::Install},
                                                             {"repair", CommandAction::Repair},
                                                             {"uninstall", CommandAction::Uninstall},
                                                             {"export", CommandAction::Export}};
  CommandLine command;
  for (const std::string& argument : arguments) {
    const bool isSwitch = argument.size() > 1 && (argument[0] == '/' || argument[0] == '-');
    const std::string name = isSwitch ? LowerAscii(argument.substr(1)) : std::string();
    if (name == "quiet") {
      command.quiet = true;
    } else if (const auto action = kActions.find(name); isSwitch && action != kActions.end() && !command.action) {
      command.action = action->second;
    } else {
      command.valid = false;  // not a switch, an unknown one, or a second job
    }
  }
  if (!arguments.empty() && !command.action) command.valid = false;  // /quiet needs a job
  return command;
}

std::string UsageText() { return std::string(texts::kUsage); }

int RunCommandLine(const CommandLine& command, platform::Services services,
                   const std::function<void(const std::string&)>& writeLine) {
  if (!command.valid || !command.action) {
    writeLine(OneLine(UsageText()));
    if (!command.quiet) {
      services.app.MessageBox(UsageText(), std::string(texts::kUsageTitle), MessageButtons::Ok, MessageIcon::None);
    }
    return exit_code::kUsage;
  }
  // A copy of the program already runs (the window, or another command):
  // nothing is touched, not even the record that a start rewrites.
  if (services.app.PreviousInstance()) {
    writeLine(std::string(texts::kAlreadyRunning));
    return exit_code::kAlreadyRunning;
  }

  CommandLineView view(services.app, command.quiet, writeLine);
  VoiceInstaller logic(services, view);
  logic.Start();  // classifies the voice and rewrites a complete voice's record, as every start does
  const VoiceStatus status = logic.Status();

  switch (*command.action) {
    case CommandAction::Status:
      writeLine(StatusLine(status));
      return StatusCode(status);
    case CommandAction::Install:
    case CommandAction::Repair: {
      const bool install = *command.action == CommandAction::Install;
      if (status.state != (install ? VoiceState::Absent : VoiceState::Incomplete)) {
        writeLine(StatusLine(status));
        return exit_code::kNotAllowed;
      }
      if (status.dataMissing) {
        // The window offers neither job then; asked for one, it is a failure.
        view.Finish(Outcome::Failure(install ? Operation::Install : Operation::Repair, texts::kCauseDataMissing));
        return view.ExitCode();
      }
      // What pressing the button does; the extractor's end arrives as a
      // message, and the job finishes then.
      logic.InstallOrRepair();
      services.app.RunMessageLoopUntil([&view] { return view.Finished(); });
      return view.ExitCode();
    }
    case CommandAction::Uninstall:
      logic.Uninstall();
      if (view.Finished()) return view.ExitCode();
      // Nothing of the voice at all, not even its entry in the list of
      // installed programs.
      writeLine(StatusLine(status));
      return exit_code::kNotAllowed;
    case CommandAction::Export: {
      const Outcome outcome = logic.Export();
      if (!outcome.Succeeded()) {
        view.Finish(outcome);
        return view.ExitCode();
      }
      writeLine(logic.Paths().ExportFile());
      return exit_code::kSucceeded;
    }
  }
  return exit_code::kFailed;
}

}  // namespace installer
