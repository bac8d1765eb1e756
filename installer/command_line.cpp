#include "installer/command_line.h"

#include <cstdlib>
#include <map>

#include "installer/form1_logic.h"
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

// The window as the voice logic sees it, without a window: it keeps what the
// logic reads back and the result of the action for the exit code.
class HeadlessView final : public FormView {
 public:
  void SetCaption(const std::string& text) override { caption_ = text; }
  std::string Caption() const override { return caption_; }
  void SetButtonCaption(ButtonId, const std::string&) override {}
  void SetButtonEnabled(ButtonId, bool) override {}
  void SetButtonVisible(ButtonId, bool) override {}
  void SetBarVisible(BarId, bool) override {}
  void SetBarStyle(BarId, std::int32_t) override {}
  void SetBarMax(BarId, std::int32_t) override {}
  void SetBarValue(BarId bar, std::int32_t value) override { barValues_[bar] = value; }
  std::int32_t BarValue(BarId bar) const override {
    const auto found = barValues_.find(bar);
    return found == barValues_.end() ? 0 : found->second;
  }
  void SetTimerEnabled(TimerId, bool) override {}
  void SetTimerInterval(TimerId, int) override {}
  void ActionEnded(ActionResult result) override { result_ = result; }

  // An action that ends the program without telling its result has failed.
  int ExitCode() const { return result_ == ActionResult::Succeeded ? exit_code::kSucceeded : exit_code::kFailed; }

 private:
  std::string caption_;
  std::map<BarId, std::int32_t> barValues_;
  std::optional<ActionResult> result_;
};

// The program's application service as the command-line mode hands it to the
// voice logic: every message box is also a result line, none is shown under
// /quiet, and ending the program ends it with the action's exit code.
class CommandLineApplication final : public platform::Application {
 public:
  CommandLineApplication(platform::Application& program, bool quiet, const HeadlessView& view,
                         const std::function<void(const std::string&)>& writeLine,
                         const std::function<void(int)>& endProgram)
      : program_(program), quiet_(quiet), view_(view), writeLine_(writeLine), endProgram_(endProgram) {}

  std::string Folder() override { return program_.Folder(); }
  std::string ProgramPath() override { return program_.ProgramPath(); }
  bool PreviousInstance() override { return program_.PreviousInstance(); }
  bool SixtyFourBitWindows() override { return program_.SixtyFourBitWindows(); }
  void RunMessageLoop() override { program_.RunMessageLoop(); }
  void Mark(std::string_view step) override { program_.Mark(step); }
  [[noreturn]] void EndProgram() override {
    endProgram_(view_.ExitCode());
    std::abort();  // endProgram does not return
  }
  // The voice logic asks nothing in this mode (no confirmation for uninstall
  // or export); an OK answer stands for any question.
  int MessageBox(const std::string& text, const std::string& title, MessageButtons buttons,
                 MessageIcon icon) override {
    writeLine_(OneLine(text));
    if (quiet_) return platform::kAnswerOk;
    return program_.MessageBox(text, title, buttons, icon);
  }

 private:
  platform::Application& program_;  // not owned
  bool quiet_;
  const HeadlessView& view_;  // not owned
  const std::function<void(const std::string&)>& writeLine_;
  const std::function<void(int)>& endProgram_;
};

std::string StateLine(const Form1Logic& logic) {
  std::string line = logic.VoiceName;
  switch (logic.VoiceState) {
    case kVoiceInstalled: line += texts::kCaptionInstalled; break;
    case kVoiceAbsent: line += texts::kCaptionAbsent; break;
    default: line += texts::kCaptionIncomplete; break;
  }
  if (logic.ArchiveMissing == 1) line += texts::kCaptionArchiveMissing;
  return line;
}

int StatusCode(const Form1Logic& logic) {
  if (logic.VoiceState == kVoiceInstalled) return exit_code::kInstalled;
  if (logic.ArchiveMissing == 1) return exit_code::kDataMissing;
  return logic.VoiceState == kVoiceAbsent ? exit_code::kAbsent : exit_code::kIncomplete;
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
                   const std::function<void(const std::string&)>& writeLine,
                   const std::function<void(int)>& endProgram) {
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

  HeadlessView view;
  CommandLineApplication app(services.app, command.quiet, view, writeLine, endProgram);
  Form1Logic logic({services.registry, services.files, services.processes, app}, view);
  logic.Form_Load();  // classifies the voice and rewrites a complete voice's record, as every start does

  switch (*command.action) {
    case CommandAction::Status:
      writeLine(StateLine(logic));
      return StatusCode(logic);
    case CommandAction::Install:
    case CommandAction::Repair: {
      const bool install = *command.action == CommandAction::Install;
      if (logic.VoiceState != (install ? kVoiceAbsent : kVoiceIncomplete)) {
        writeLine(StateLine(logic));
        return exit_code::kNotAllowed;
      }
      // The window offers neither job then; asked for one, it is a failure.
      if (logic.ArchiveMissing == 1) {
        app.MessageBox(std::string(FailureHeadline(install ? Operation::Install : Operation::Repair)) + "\r\n" +
                           std::string(texts::kCauseDataMissing),
                       std::string(texts::kTitleError), MessageButtons::Ok, MessageIcon::Critical);
        return exit_code::kFailed;
      }
      // What pressing the button does; the extractor's end arrives as a
      // message, and the program ends after the job's message.
      if (install) {
        logic.QORButtonAZ_GotFocus();
      } else {
        logic.QORButtonXF_GotFocus();
      }
      app.RunMessageLoop();
      return exit_code::kFailed;
    }
    case CommandAction::Uninstall:
      // Ends the program after its message; returns only when there is
      // nothing of the voice at all, not even its entry in the list of
      // installed programs.
      logic.UninstallVoice();
      writeLine(StateLine(logic));
      return exit_code::kNotAllowed;
    case CommandAction::Export:
      if (!logic.ExportRegistration()) return exit_code::kFailed;
      writeLine(logic.Paths().ExportFile());
      return exit_code::kSucceeded;
  }
  return exit_code::kFailed;
}

}  // namespace installer
