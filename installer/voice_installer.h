#pragma once
// The installer's logic: what the voice's state is, and how an install,
// repair, uninstall or export runs. It talks only to the platform services
// and to a FormView, so native tests run it against fakes and Wine tests
// against the real registry, files and processes.
//
// One file per operation: voice_installer.cpp (the probes and the record),
// start_up.cpp, install_and_repair.cpp, uninstall.cpp, export.cpp.
//
// Rules it keeps:
// - a second copy ends before it touches the files or the registry;
// - an application folder that is not a full path ("X:\..." or
//   "\\server\share") counts as missing installation data: nothing is looked
//   up, extracted, registered, deleted or exported relative to the current
//   folder; a missing extractor DATA\Rar.exe counts as a missing archive;
// - one operation at a time: while the extractor runs nothing else starts
//   but an export, and the window does not close;
// - install, repair and uninstall first make sure that the voice folder and
//   the voice files are where their paths say (no link out of the
//   application folder); otherwise they touch nothing and say so;
// - an install or repair is all or nothing: the extractor extracts into a
//   folder of the installer's own, and only a finished extraction's files,
//   flushed to disk, are moved into the voice folder (staging_folder.h);
//   success is reported only when the extractor's exit code is 0 or 1, the
//   three voice files are in place and every value of the record reads back
//   as written; a failed attempt's folder is removed before its message, one
//   cut short at the next start, before anything else;
// - uninstall removes a voice key that has subkeys with them, and fails,
//   leaving the files, when the key still stays; with neither voice files
//   nor record it removes the voice's entry left in the list of installed
//   programs;
// - the export is written beside the old file and then takes its place; one
//   it cannot replace (read-only) is reported and left whole, and no partial
//   file stays behind.
#include <cstdint>
#include <optional>
#include <string>
#include <vector>

#include "installer/form_view.h"
#include "installer/outcome.h"
#include "installer/registration.h"
#include "installer/staging_folder.h"
#include "installer/voice_identity.h"
#include "installer/voice_status.h"
#include "platform/services.h"

namespace installer {

enum class StartResult {
  Show,             // show the window
  AnotherCopyRuns,  // close without showing anything; nothing was touched
};

class VoiceInstaller {
 public:
  VoiceInstaller(platform::Services services, FormView& view);

  // ---- start_up.cpp ----
  // The single-instance check, the removal of what an attempt or an export
  // cut short left, the record of a complete voice, then the state, shown.
  StartResult Start();
  VoiceStatus Status() const { return status_; }
  // While the extractor runs.
  bool Busy() const { return busy_; }
  // Why the session may not end yet, or nothing when it may.
  std::optional<std::string> SessionEndBlockReason() const;

  // ---- install_and_repair.cpp ----
  // Install when the voice is absent, repair when it is incomplete, nothing
  // otherwise. Returns once the extractor runs: its end arrives as a
  // message (Processes::WatchForExit), and the attempt finishes then.
  void InstallOrRepair();
  std::string ExtractCommandLine(Operation operation) const;

  // ---- uninstall.cpp ----
  // Asks first; "no" ends the program with nothing changed.
  void AskThenUninstall();
  // Uninstalls without asking. Returns without Finish only in the absent
  // state with no entry left in the list of installed programs.
  void Uninstall();

  // ---- export.cpp ----
  // Asks first, then exports and reports a failure.
  void AskThenExport();
  // Writes the export file without asking; on failure no partial file stays.
  Outcome Export();
  std::vector<std::string> ExportLines();  // lines without CR LF

  // ---- voice_installer.cpp: the record ----
  void WriteVoiceRecord();
  void DeleteVoiceRecord();
  VoicePaths Paths() const {
    return {appDir_, std::string(VoiceIdentity::kVoiceId), std::string(VoiceIdentity::kVoiceName)};
  }

 private:
  // Every look at a file goes through here: below a folder that is no full
  // path every file would be looked up from the current folder.
  bool FileExists(const std::string& path);
  int VoiceFilesPresent();  // tests .vvd, .ddi, .ddb in this order
  bool KeyPresent();
  // Stricter than a failed probe: a key that cannot be read is not gone.
  bool KeyGone(const std::string& key);
  VoiceState Classify();
  // Why the voice folder or a voice file is not what its path says, or nothing.
  std::optional<std::string> LocationProblem();
  // Where the voice is installed, as its registration says.
  registration::Install ThisInstall();
  void Write(const std::vector<registration::Key>& keys);
  bool ReadsBack(const std::vector<registration::Key>& keys);
  StagingFolder Staging();
  void Mark(std::string_view step) { services_.app.Mark(step); }
  // The one way an operation ends: the view is told, and nothing starts
  // after it, even where the view lets the program go on (a test, say).
  void Finish(const Outcome& outcome);
  bool Idle() const { return !busy_ && !finished_; }

  // install_and_repair.cpp: the extractor has ended (false: its end can no
  // longer be watched); settles the attempt and finishes.
  void ExtractorEnded(bool ended);
  // The cause when it cannot be told how the extractor ended; the process
  // handle is closed.
  std::optional<std::string> ExtractorResult(bool ended, std::uint32_t& exitCode);
  // Why the extraction cannot be used, or nothing.
  std::optional<std::string> JudgeExtraction(bool ended);
  // Moves a finished extraction into place and registers it; the staging
  // folder goes either way. The cause of a failure, or nothing.
  std::optional<std::string> SettleAttempt(std::optional<std::string> problem);
  std::optional<std::string> PutInPlace(StagingFolder& staging);

  // uninstall.cpp
  void RemoveEntryLeftAlone();
  // start_up.cpp: the new text of an export cut short before it took the
  // old file's place.
  void RemoveExportLeftover();

  // Counts the boxes of the export open while an extraction may end.
  struct ModalScope {
    explicit ModalScope(int& depth) : depth_(depth) { ++depth_; }
    ~ModalScope() { --depth_; }
    ModalScope(const ModalScope&) = delete;
    ModalScope& operator=(const ModalScope&) = delete;
    int& depth_;
  };

  platform::Services services_;
  FormView& view_;  // not owned
  std::string appDir_;  // the application folder and one backslash
  VoiceStatus status_;
  bool busy_ = false;
  bool finished_ = false;
  Operation attempt_ = Operation::Install;  // the install or repair under way, chosen when it starts
  std::uintptr_t extractor_ = 0;             // its process handle while it runs
  int modalDepth_ = 0;
  std::optional<bool> pendingEnd_;  // the extractor's end, told during a box
};

}  // namespace installer
