#pragma once
// The voice logic of the installer window Form1: its procedures and
// handlers, with the window's fields under the window's own names. It talks only to the platform services and to the window through
// FormView, so native tests run it against fakes and Wine tests against the
// real registry, files and processes.
//
// Where it is stricter than a plain reading of the window's procedures:
// - a missing extractor DATA\Rar.exe at load counts as a missing archive;
// - install and repair hear of the extractor's end as a message, and report
//   success only when its exit code could be read and is 0 or 1, the three
//   voice files exist and every value of the record reads back as written;
//   otherwise a failure message with its cause is shown before the program
//   ends (and no record is written unless it was the read-back that failed);
// - an extractor that cannot be started disables Timer1 again and ends the
//   program after the failure message, touching nothing else;
// - while Busy = 1 no install, repair or uninstall can start again;
// - the export is written beside the old file and then takes its place, hidden
//   or system as the old one may be; one it cannot replace (read-only) is
//   reported and left whole, and no partial file stays behind;
// - an application folder that is not a full path ("X:\..." or
//   "\\server\share") counts as missing installation data: nothing is
//   looked up, extracted, registered, deleted or exported relative to the
//   current folder;
// - install, repair and uninstall first make sure that the voice folder and
//   the voice files are where their paths say (no link out of the
//   application folder); otherwise they touch nothing and report it;
// - uninstall removes a voice key that has subkeys with them, and reports a
//   failure, leaving the files, when the key still stays;
// - while Busy = 1 the session may not end; ending anyway registers nothing;
// - an install or repair is all or nothing: the extractor extracts into a
//   folder of the installer's own, and only a finished extraction's files,
//   flushed to disk, are moved into the voice folder; a failed attempt's
//   folder is removed before its message, one cut short at the next start,
//   before anything else (staging_folder.h);
// - uninstall with neither voice files nor record removes the voice's entry
//   left in the system's list of installed programs;
// - a second copy ends before it touches the files or the registry.
#include <cstdint>
#include <optional>
#include <string>
#include <vector>

#include "installer/registration.h"
#include "installer/staging_folder.h"
#include "installer/form_view.h"
#include "installer/voice_identity.h"
#include "platform/services.h"

namespace installer {

inline constexpr std::int16_t kVoiceInstalled = 1;
inline constexpr std::int16_t kVoiceAbsent = 2;
inline constexpr std::int16_t kVoiceIncomplete = 3;

enum class LoadResult {
  Show,    // show the window
  Unload,  // another instance runs: unload the window without showing it
};

// What the user asked for: the four things the window offers.
enum class Operation { Install, Repair, Uninstall, Export };
// The first line of the message of an install, repair or uninstall that failed.
std::string_view FailureHeadline(Operation operation);

// What an install or repair came to.
struct ExtractionOutcome {
  bool succeeded = false;
  std::string cause;  // empty on success
};

class Form1Logic {
 public:
  Form1Logic(platform::Services services, FormView& view);

  // Start-up: the identity, the full Xp_ProgressBar2, then the single
  // instance (Unload: another copy runs; the window closes without being
  // shown and nothing has been touched), the removal of what an attempt cut
  // short extracted, the record of a complete voice, and the state.
  LoadResult Form_Load();
  // Sets cancel to 1 exactly while Busy = 1.
  void Form_Unload(std::int16_t& cancel);
  // Asked when the session is about to end: the reason to show for holding
  // it up while an extraction runs, or nothing when it may end.
  std::optional<std::string> Form_QueryEndSession() const;
  // The session ends now: during an extraction the program ends at once,
  // registering nothing.
  void Form_EndSession();
  void Timer2_Timer();

  // The registration record.
  void WriteVoiceRecord();
  void DeleteVoiceRecord();

  // Install and repair. Returns when there is nothing to do (VoiceState 1,
  // or Busy), and once the extractor runs: its end arrives as a message
  // (Processes::WatchForExit), and the program ends after its own message.
  void ExtractVoice();
  void Timer1_Timer();

  // Uninstall. Returns only while Busy, or in VoiceState 2 when the voice
  // has no entry left in the list of installed programs; otherwise ends the
  // program after its message.
  void UninstallVoice();

  // Registration export: asks first, then ExportRegistration.
  void Image1_DblClick();
  // Writes the export file without asking; reports a failure with its
  // message and returns false, leaving no partial file.
  bool ExportRegistration();

  // The focus handlers of the buttons. QORButtonXFT has none.
  void QORButtonAZ_GotFocus();
  void QORButtonXF_GotFocus();
  void QORButtonXZ_GotFocus();
  void QORButtonXZT_GotFocus();

  // Composed texts, for the window and the tests.
  std::string ExtractCommandLine(bool install) const;
  std::vector<std::string> ExportLines();               // lines without CR LF
  VoicePaths Paths() const { return {AppDir, VoiceId, VoiceName}; }

  // The window's fields, public as the window's are to its code.
  std::string VoiceId;
  std::string VoiceName;
  std::string DrpValue;
  std::string AppDir;
  std::string VoiceBase;
  std::int16_t VoiceState = 0;
  std::int16_t ArchiveMissing = 0;
  std::int16_t Busy = 0;
  std::int16_t FillCounter = 0;
  std::uintptr_t ChildProcess = 0;
  std::uint32_t ChildExitCode = 0;

 private:
  bool FileExists(const std::string& path);
  int VoiceFilesPresent();  // tests .vvd, .ddi, .ddb in this order
  bool KeyPresent();
  // Stricter than a failed probe: a key that cannot be read is not gone.
  bool KeyGone(const std::string& key);
  // Why the voice folder or a voice file is not what its path says, or nothing.
  std::optional<std::string> LocationProblem();
  // Where the voice is installed, as its registration says.
  registration::Install ThisInstall();
  void Write(const std::vector<registration::Key>& keys);
  bool ReadsBack(const std::vector<registration::Key>& keys);
  // The extractor has ended (false: its end can no longer be watched):
  // settles the attempt, shows its message and ends the program.
  void ExtractorEnded(bool ended);
  // The cause of a failure to learn how the extractor ended, or empty once
  // ChildExitCode holds its exit code; the process handle is closed.
  std::string ExtractorResult(bool ended);
  // What the extraction came to, before anything is registered.
  ExtractionOutcome JudgeExtraction(const std::string& waitFailure);
  // Ends the attempt by its outcome: a finished extraction is moved into
  // place, registered and confirmed; the staging folder goes either way.
  ExtractionOutcome SettleAttempt(bool install, ExtractionOutcome outcome);
  // Moves a finished extraction into place and registers it.
  ExtractionOutcome PutInPlace(bool install, StagingFolder& staging);
  StagingFolder Staging();
  // The new text of an export cut short before it took the old file's place.
  void RemoveExportLeftover();
  void ConfirmUninstall();
  [[noreturn]] void EndWithMessage(ActionResult result, const std::string& text, std::string_view title,
                                   platform::MessageIcon icon);
  // The one way an operation fails: its headline, the cause on the next
  // line, then the end of the program.
  [[noreturn]] void Fail(Operation operation, std::string_view cause);

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
  Operation attempt_ = Operation::Install;  // the install or repair under way, chosen when it starts
  int modalDepth_ = 0;
  std::optional<bool> pendingEnd_;  // the extractor's end, told during a box
};

}  // namespace installer
