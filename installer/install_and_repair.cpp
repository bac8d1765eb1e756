// Install and repair: the extractor extracts into the staging folder, and
// only a finished extraction is moved into the voice folder and registered.
#include <utility>

#include "installer/texts.h"
#include "installer/voice_installer.h"

namespace installer {
namespace {

std::string Quoted(const std::string& text) { return "\"" + text + "\""; }

}  // namespace

std::string VoiceInstaller::ExtractCommandLine(Operation operation) const {
  const VoicePaths paths = Paths();
  // -o+ overwrites what is there, -o- keeps it; the staging folder is empty,
  // so the switch matters only where the folder is not.
  return Quoted(paths.Extractor()) + (operation == Operation::Install ? " x -o+ " : " x -o- ") +
         Quoted(paths.Archive()) + " " + Quoted(StagingFolder(services_.files, paths).Destination());
}

void VoiceInstaller::InstallOrRepair() {
  if (!Idle()) return;  // one operation at a time
  if (status_.state == VoiceState::Installed) return;
  attempt_ = status_.state == VoiceState::Absent ? Operation::Install : Operation::Repair;
  Mark("action taken");
  if (const std::optional<std::string> problem = LocationProblem()) {
    return Finish(Outcome::Failure(attempt_, *problem));
  }
  Mark("location checked");

  // A new folder of its own for each attempt, so that nothing of an earlier
  // one, nor anything someone put there, can pass for what this one extracted.
  if (const std::optional<std::string> problem = Staging().Make()) {
    return Finish(Outcome::Failure(attempt_, *problem));
  }

  const std::optional<std::uint32_t> processId =
      services_.processes.StartHidden(Paths().Extractor(), ExtractCommandLine(attempt_));
  Mark("extractor started");
  if (!processId) {
    Staging().Remove();
    return Finish(Outcome::Failure(attempt_, texts::kCauseNoStart));
  }
  busy_ = true;
  view_.ShowBusy(attempt_);
  Mark("busy state shown");

  // The extractor's end arrives as a message; until then the program's own
  // message loop runs the window (the progress bar, the picture, close requests).
  extractor_ = services_.processes.Open(*processId);
  if (extractor_ == 0 ||
      !services_.processes.WatchForExit(extractor_, [this](bool ended) { ExtractorEnded(ended); })) {
    ExtractorEnded(false);
  }
}

void VoiceInstaller::ExtractorEnded(bool ended) {
  // Told while the user answers a box of the export: finished after it.
  if (modalDepth_ > 0) {
    pendingEnd_ = ended;
    return;
  }
  Mark("extractor end told");
  const std::optional<std::string> problem = SettleAttempt(JudgeExtraction(ended));
  busy_ = false;
  if (problem) return Finish(Outcome::Failure(attempt_, *problem));
  Finish(Outcome::Success(
      attempt_, attempt_ == Operation::Install ? texts::kInstallSucceeded : texts::kRepairSucceeded));
}

std::optional<std::string> VoiceInstaller::ExtractorResult(bool ended, std::uint32_t& exitCode) {
  if (extractor_ == 0) return std::string(texts::kCauseNoWait);
  platform::Processes& processes = services_.processes;
  // The end of the process is its end; an exit code of 259 is just a code.
  std::optional<std::uint32_t> code;
  if (ended) code = processes.ExitCode(extractor_);
  processes.Close(std::exchange(extractor_, 0));
  if (!ended) return std::string(texts::kCauseNoWait);
  if (!code) return std::string(texts::kCauseNoExitCode);
  exitCode = *code;
  return std::nullopt;
}

std::optional<std::string> VoiceInstaller::JudgeExtraction(bool ended) {
  std::uint32_t exitCode = 0;
  if (std::optional<std::string> failure = ExtractorResult(ended, exitCode)) return failure;
  // 1 is the extractor's warning: the files are extracted all the same.
  if (exitCode != 0 && exitCode != 1) return std::string(texts::kCauseExitCode) + std::to_string(exitCode);
  const bool whole = Staging().HoldsVoice();
  Mark("voice files tested");
  if (!whole) return std::string(texts::kCauseFilesIncomplete);
  return std::nullopt;
}

std::optional<std::string> VoiceInstaller::SettleAttempt(std::optional<std::string> problem) {
  StagingFolder staging = Staging();
  if (!problem) problem = PutInPlace(staging);
  // Whatever was not moved goes now; the next start removes what cannot.
  const bool stagingGone = staging.Remove();
  Mark("staging folder removed");
  if (problem && !stagingGone) *problem += "\r\n" + std::string(texts::kCauseStagingLeft);
  return problem;
}

std::optional<std::string> VoiceInstaller::PutInPlace(StagingFolder& staging) {
  // The voice folder may have been swapped for a link while the extractor ran.
  if (std::optional<std::string> problem = LocationProblem()) return problem;
  if (std::optional<std::string> cause = staging.Flush()) return cause;
  Mark("files flushed");
  if (std::optional<std::string> cause = staging.MoveIntoPlace(attempt_ == Operation::Install)) return cause;
  Mark("files moved into place");
  // A repair keeps what it finds: a voice file there but hidden stays one
  // that does not count.
  if (VoiceFilesPresent() != 3) return std::string(texts::kCauseFilesIncomplete);
  // The files are whole and the voice's now; a record that does not read
  // back leaves them to the next start, which registers them again.
  const std::vector<registration::Key> registration = registration::All(ThisInstall());
  Write(registration);
  const bool confirmed = ReadsBack(registration);
  Mark("record read back");
  if (!confirmed) return std::string(texts::kCauseRegistry);
  return std::nullopt;
}

}  // namespace installer
