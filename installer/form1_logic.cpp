#include "installer/form1_logic.h"

#include <algorithm>
#include <cstdlib>
#include <utility>

#include "installer/texts.h"
#include "platform/paths.h"

namespace installer {
namespace {

using platform::MessageButtons;
using platform::MessageIcon;
using platform::SearchAttributes;

std::string operator+(std::string text, std::string_view more) { return text.append(more); }

std::string Quoted(const std::string& text) { return "\"" + text + "\""; }

}  // namespace

std::string_view FailureHeadline(Operation operation) {
  switch (operation) {
    case Operation::Install: return texts::kInstallFailed;
    case Operation::Repair: return texts::kRepairFailed;
    case Operation::Uninstall: return texts::kUninstallFailed;
    case Operation::Export: break;
  }
  return texts::kExportFailed;
}

Form1Logic::Form1Logic(platform::Services services, FormView& view) : services_(services), view_(view) {}

// ---- Start-up and voice state ----

LoadResult Form1Logic::Form_Load() {
  // 1-2: identity and paths.
  VoiceId = VoiceIdentity::kVoiceId;
  VoiceName = VoiceIdentity::kVoiceName;
  DrpValue = VoiceIdentity::kDrpValue;
  AppDir = services_.app.Folder() + "\\";
  VoiceBase = Paths().VoiceBase();

  // 3-6: Xp_ProgressBar2 stands full from the start.
  view_.SetTimerEnabled(TimerId::Timer2, true);
  FillCounter = 2;
  view_.SetBarMax(BarId::Bar2, 2);
  view_.SetBarValue(BarId::Bar2, 2);
  Timer2_Timer();

  // A second copy touches neither the files nor the registry: the first may
  // be extracting into them right now.
  if (services_.app.PreviousInstance()) return LoadResult::Unload;

  // What an attempt cut short extracted goes before anything else. It never
  // reached the voice folder, so the voice is what its files say even when
  // the folder cannot go yet; the next attempt then says so.
  if (platform::IsAbsoluteFolder(AppDir)) {
    Staging().Remove();
    RemoveExportLeftover();
  }

  // 7: a complete set of files is registered again at every start.
  if (VoiceFilesPresent() == 3) WriteVoiceRecord();
  services_.app.Mark("start-up record");

  // 8: installation data; a missing extractor counts as a missing archive.
  const VoicePaths paths = Paths();
  const bool archiveFound = FileExists(paths.Archive());
  const bool extractorFound = FileExists(paths.Extractor());
  if (!archiveFound || !extractorFound) {
    view_.SetCaption(VoiceName + texts::kCaptionArchiveMissing);
    ArchiveMissing = 1;
  } else {
    ArchiveMissing = 0;
  }

  // 9: button captions.
  view_.SetButtonCaption(ButtonId::AZ, std::string(texts::kButtonInstall));
  view_.SetButtonCaption(ButtonId::XZ, std::string(texts::kButtonUninstall));
  view_.SetButtonCaption(ButtonId::XF, std::string(texts::kButtonRepair));
  view_.SetButtonCaption(ButtonId::XFT, std::string(texts::kButtonRepair));
  view_.SetButtonCaption(ButtonId::XZT, std::string(texts::kButtonUninstall));

  // 10: probe the registration key.
  bool keyPresent = KeyPresent();

  // 11: classify and arrange, first matching row.
  const bool offerArchive = ArchiveMissing == 0;
  if (VoiceFilesPresent() == 3 && keyPresent) {
    VoiceState = kVoiceInstalled;
    if (offerArchive) view_.SetCaption(VoiceName + texts::kCaptionInstalled);
    view_.SetBarVisible(BarId::Bar1, false);
    view_.SetButtonEnabled(ButtonId::AZ, false);
    view_.SetButtonVisible(ButtonId::XZ, false);
    view_.SetButtonEnabled(ButtonId::XF, false);
  } else if (keyPresent = KeyPresent(), VoiceFilesPresent() == 0 && !keyPresent) {
    VoiceState = kVoiceAbsent;
    if (offerArchive) view_.SetCaption(VoiceName + texts::kCaptionAbsent);
    view_.SetButtonEnabled(ButtonId::AZ, offerArchive);
    view_.SetButtonVisible(ButtonId::XZ, false);
    view_.SetButtonEnabled(ButtonId::XZT, false);
    view_.SetButtonEnabled(ButtonId::XF, false);
  } else {
    VoiceState = kVoiceIncomplete;
    if (offerArchive) view_.SetCaption(VoiceName + texts::kCaptionIncomplete);
    view_.SetButtonEnabled(ButtonId::XF, offerArchive);
    view_.SetButtonEnabled(ButtonId::AZ, false);
    view_.SetButtonEnabled(ButtonId::XZ, true);
  }
  services_.app.Mark("state shown");
  return LoadResult::Show;
}

void Form1Logic::Form_Unload(std::int16_t& cancel) { cancel = Busy == 1 ? 1 : 0; }

std::optional<std::string> Form1Logic::Form_QueryEndSession() const {
  if (Busy != 1) return std::nullopt;
  return std::string(VoiceState == kVoiceIncomplete ? texts::kSessionBlockedRepairing
                                                    : texts::kSessionBlockedInstalling);
}

void Form1Logic::Form_EndSession() {
  // The system ends the program anyway; ending it here, before the wait
  // returns, keeps a half-extracted voice from being registered.
  if (Busy == 1) services_.app.EndProgram();
}

void Form1Logic::Timer2_Timer() {
  view_.SetBarStyle(BarId::Bar2, 0);
  view_.SetBarValue(BarId::Bar2, FillCounter);
  if (view_.BarValue(BarId::Bar2) == 2) view_.SetTimerEnabled(TimerId::Timer2, false);
  FillCounter = static_cast<std::int16_t>(FillCounter + 1);
}

bool Form1Logic::FileExists(const std::string& path) {
  // Below a folder that is no full path every file would be looked up from
  // the current folder: there is none.
  if (!platform::IsAbsoluteFolder(AppDir)) return false;
  return !services_.files.Dir(path, SearchAttributes::Normal).empty();
}

int Form1Logic::VoiceFilesPresent() {
  const VoicePaths paths = Paths();
  int present = 0;
  for (std::string_view ext : kVoiceFileExtensions) present += FileExists(paths.VoiceFile(ext)) ? 1 : 0;
  return present;
}

bool Form1Logic::KeyPresent() { return services_.registry.OpenKey(record::VoiceKey(VoiceId)) == 0; }

bool Form1Logic::KeyGone(const std::string& key) {
  return services_.registry.OpenKey(key) == platform::kKeyNotFound;
}

StagingFolder Form1Logic::Staging() {
  return StagingFolder(services_.files, Paths(), [this](std::string_view step) { services_.app.Mark(step); });
}

void Form1Logic::RemoveExportLeftover() {
  const std::string next = Paths().ExportNext();
  if (!services_.files.EntryExists(next)) return;
  services_.files.DeleteFile(next);
  services_.app.Mark("export leftover removed");
}

std::optional<std::string> Form1Logic::LocationProblem() {
  if (!platform::IsAbsoluteFolder(AppDir)) return std::string(texts::kCauseDataMissing);
  platform::FileSystem& files = services_.files;
  const VoicePaths paths = Paths();
  const std::optional<platform::FileLocation> folder = files.Locate(paths.VoiceFolder());
  if (!folder) return std::nullopt;  // nothing there yet, so no voice file either
  // Told by identity, not by path text: the application folder may be
  // reached through a link, a mapped drive or a short name, and a volume may
  // have no path the system can give. What cannot be told is no reason to
  // refuse; a link, or a holder that is another folder, is.
  const auto heldElsewhere = [](const platform::FileLocation& entry,
                                const std::optional<platform::FileIdentity>& expectedHolder) {
    return entry.holder && expectedHolder && *entry.holder != *expectedHolder;
  };
  std::string appFolder = AppDir;
  while (appFolder.size() > 1 && appFolder.back() == '\\' && appFolder[appFolder.size() - 2] == '\\') {
    appFolder.pop_back();
  }
  const std::optional<platform::FileLocation> app = files.Locate(appFolder);
  if (folder->isLink || heldElsewhere(*folder, app ? app->identity : std::nullopt)) {
    return std::string(texts::kCauseFolderLink);
  }
  for (std::string_view ext : kVoiceFileExtensions) {
    const std::optional<platform::FileLocation> file = files.Locate(paths.VoiceFile(ext));
    if (file && (file->isLink || heldElsewhere(*file, folder->identity))) return std::string(texts::kCauseFileLink);
  }
  return std::nullopt;
}

// ---- Registration record ----

registration::Install Form1Logic::ThisInstall() {
  std::uint64_t bytes = 0;
  for (std::string_view ext : kVoiceFileExtensions) bytes += services_.files.FileSize(Paths().VoiceFile(ext)).value_or(0);
  return {services_.app.Folder(), services_.app.ProgramPath(), bytes};
}

void Form1Logic::WriteVoiceRecord() { Write(registration::All(ThisInstall())); }

void Form1Logic::Write(const std::vector<registration::Key>& keys) {
  // What could not be stored shows when the record is read back.
  for (const registration::Key& key : keys) {
    services_.registry.SetValues(key.path, key.values);
    services_.app.Mark("record key written");
  }
}

bool Form1Logic::ReadsBack(const std::vector<registration::Key>& keys) {
  for (const registration::Key& key : keys) {
    std::vector<std::string> names;
    for (const platform::ValueToStore& value : key.values) names.push_back(value.name);
    const std::vector<std::optional<platform::RegistryValue>> stored = services_.registry.ReadValues(key.path, names);
    for (std::size_t i = 0; i < names.size(); ++i) {
      if (i >= stored.size() || stored[i] != key.values[i].Stored()) return false;
    }
  }
  return true;
}

void Form1Logic::DeleteVoiceRecord() {
  const std::string voiceKey = record::VoiceKey(VoiceId);
  for (const std::string& key : {voiceKey + "\\" + std::string(record::kSubkeyOnDelete), voiceKey,
                                 record::UninstallKey(VoiceName, VoiceId)}) {
    services_.registry.DeleteKey(key);
    services_.app.Mark("record key deleted");
  }
}

// ---- Install and repair ----

std::string Form1Logic::ExtractCommandLine(bool install) const {
  const VoicePaths paths = Paths();
  return Quoted(paths.Extractor()) + (install ? " x -o+ " : " x -o- ") + Quoted(paths.Archive()) + " " +
         Quoted(StagingFolder(services_.files, paths).Destination());
}

void Form1Logic::ExtractVoice() {
  if (Busy == 1) return;  // one action at a time
  bool install = false;
  if (VoiceState == kVoiceAbsent) {
    install = true;
  } else if (VoiceState != kVoiceIncomplete) {
    return;
  }
  services_.app.Mark("action taken");
  attempt_ = install ? Operation::Install : Operation::Repair;
  if (const std::optional<std::string> problem = LocationProblem()) {
    view_.SetTimerEnabled(TimerId::Timer1, false);
    Fail(attempt_, *problem);
  }

  services_.app.Mark("location checked");

  // A new folder of its own for each attempt, so that nothing of an earlier
  // one, nor anything someone put there, can pass for what this one extracted.
  if (const std::optional<std::string> problem = Staging().Make()) {
    view_.SetTimerEnabled(TimerId::Timer1, false);
    Fail(attempt_, *problem);
  }

  const std::optional<std::uint32_t> processId =
      services_.processes.StartHidden(Paths().Extractor(), ExtractCommandLine(install));
  services_.app.Mark("extractor started");
  if (!processId) {
    // Nothing else has changed yet: only Timer1, which the caller enabled.
    Staging().Remove();
    view_.SetTimerEnabled(TimerId::Timer1, false);
    Fail(attempt_, texts::kCauseNoStart);
  }
  if (install) {
    view_.SetButtonEnabled(ButtonId::AZ, false);
    view_.SetCaption(VoiceName + texts::kCaptionInstalling);
  } else {
    view_.SetButtonEnabled(ButtonId::XZ, false);
    view_.SetButtonEnabled(ButtonId::XZT, false);
    view_.SetButtonEnabled(ButtonId::XF, false);
    view_.SetCaption(VoiceName + texts::kCaptionRepairing);
  }
  Busy = 1;
  services_.app.Mark("busy state shown");

  // The extractor's end arrives as a message; until then the program's own
  // message loop runs the window (Timer1, the picture, close requests).
  ChildProcess = services_.processes.Open(*processId);
  if (ChildProcess == 0 ||
      !services_.processes.WatchForExit(ChildProcess, [this](bool ended) { ExtractorEnded(ended); })) {
    ExtractorEnded(false);
  }
}

void Form1Logic::ExtractorEnded(bool ended) {
  // Told while the user answers a box of the export: finished after it.
  if (modalDepth_ > 0) {
    pendingEnd_ = ended;
    return;
  }
  services_.app.Mark("extractor end told");
  const bool install = attempt_ == Operation::Install;
  const ExtractionOutcome outcome = SettleAttempt(install, JudgeExtraction(ExtractorResult(ended)));

  view_.SetTimerEnabled(TimerId::Timer1, false);
  view_.SetBarVisible(BarId::Bar1, false);
  view_.SetBarVisible(BarId::Bar2, true);
  services_.app.Mark("bars switched");
  Busy = 0;
  if (outcome.succeeded) {
    EndWithMessage(ActionResult::Succeeded, std::string(install ? texts::kInstallSucceeded : texts::kRepairSucceeded),
                   texts::kTitleInfo, MessageIcon::None);
  }
  Fail(attempt_, outcome.cause);
}

std::string Form1Logic::ExtractorResult(bool ended) {
  if (ChildProcess == 0) return std::string(texts::kCauseNoWait);
  platform::Processes& processes = services_.processes;
  // The end of the process is its end; an exit code of 259 is just a code.
  std::optional<std::uint32_t> code;
  if (ended) code = processes.ExitCode(ChildProcess);
  processes.Close(ChildProcess);
  if (!ended) return std::string(texts::kCauseNoWait);
  if (!code) return std::string(texts::kCauseNoExitCode);
  ChildExitCode = *code;
  return {};
}

ExtractionOutcome Form1Logic::JudgeExtraction(const std::string& waitFailure) {
  if (!waitFailure.empty()) return {false, waitFailure};
  if (ChildExitCode != 0 && ChildExitCode != 1) {
    return {false, std::string(texts::kCauseExitCode) + std::to_string(ChildExitCode)};
  }
  const bool whole = Staging().HoldsVoice();
  services_.app.Mark("voice files tested");
  if (!whole) return {false, std::string(texts::kCauseFilesIncomplete)};
  return {true, {}};
}

ExtractionOutcome Form1Logic::SettleAttempt(bool install, ExtractionOutcome outcome) {
  StagingFolder staging = Staging();
  if (outcome.succeeded) outcome = PutInPlace(install, staging);
  // Whatever was not moved goes now; the next start removes what cannot.
  const bool stagingGone = staging.Remove();
  services_.app.Mark("staging folder removed");
  if (!outcome.succeeded && !stagingGone) outcome.cause += "\r\n" + texts::kCauseStagingLeft;
  return outcome;
}

ExtractionOutcome Form1Logic::PutInPlace(bool install, StagingFolder& staging) {
  // The voice folder may have been swapped for a link while the extractor ran.
  if (const std::optional<std::string> problem = LocationProblem()) return {false, *problem};
  if (const std::optional<std::string> cause = staging.Flush()) return {false, *cause};
  services_.app.Mark("files flushed");
  if (const std::optional<std::string> cause = staging.MoveIntoPlace(install)) return {false, *cause};
  services_.app.Mark("files moved into place");
  // A repair keeps what it finds: a voice file there but hidden stays one
  // that does not count.
  if (VoiceFilesPresent() != 3) return {false, std::string(texts::kCauseFilesIncomplete)};
  // The files are whole and the voice's now; a record that does not read
  // back leaves them to the next start, which registers them again.
  const std::vector<registration::Key> registration = registration::All(ThisInstall());
  Write(registration);
  const bool confirmed = ReadsBack(registration);
  services_.app.Mark("record read back");
  if (!confirmed) return {false, std::string(texts::kCauseRegistry)};
  return {true, {}};
}

void Form1Logic::Timer1_Timer() {
  view_.SetBarStyle(BarId::Bar1, 1);
  view_.SetTimerInterval(TimerId::Timer1, 30);
  view_.SetBarValue(BarId::Bar1, 1);
  view_.SetBarMax(BarId::Bar1, 100);
}

// ---- Uninstall ----

void Form1Logic::UninstallVoice() {
  if (Busy == 1) return;  // one action at a time
  if (VoiceState == kVoiceAbsent) {
    // The entry in the list of installed programs runs this to uninstall:
    // left alone there, it must still be able to go.
    const std::string entry = record::UninstallKey(VoiceName, VoiceId);
    if (services_.registry.OpenKey(entry) != 0) return;
    services_.registry.DeleteKeyTree(entry);
    services_.app.Mark("record key deleted");
    if (!KeyGone(entry)) Fail(Operation::Uninstall, texts::kCauseRecordStays);
    EndWithMessage(ActionResult::Succeeded, std::string(texts::kOrphanEntryRemoved), texts::kTitleInfo,
                   MessageIcon::None);
  }
  if (VoiceState != kVoiceInstalled && VoiceState != kVoiceIncomplete) return;
  const VoicePaths paths = Paths();
  platform::FileSystem& files = services_.files;
  if (const std::optional<std::string> problem = LocationProblem()) Fail(Operation::Uninstall, *problem);

  // The record is read back: subkeys that others put below the voice key
  // belong to the voice and go with it; a key that stays is reported before
  // any file is touched, so the voice stays usable.
  DeleteVoiceRecord();
  for (const std::string& key : {record::VoiceKey(VoiceId), record::UninstallKey(VoiceName, VoiceId)}) {
    if (KeyGone(key)) continue;
    services_.registry.DeleteKeyTree(key);
    services_.app.Mark("record key deleted");
    if (!KeyGone(key)) Fail(Operation::Uninstall, texts::kCauseRecordStays);
  }
  bool removed = true;
  for (std::string_view ext : kVoiceFileExtensions) {
    const std::string file = paths.VoiceFile(ext);
    if (!FileExists(file)) continue;
    if (!files.DeleteFile(file)) {
      removed = false;
      break;
    }
    services_.app.Mark("voice file deleted");
  }
  if (removed && !files.Dir(paths.VoiceFolder(), SearchAttributes::Folders).empty()) {
    removed = files.RemoveFolder(paths.VoiceFolder());
    if (removed) services_.app.Mark("voice folder removed");
  }
  if (!removed) {
    EndWithMessage(ActionResult::Failed, std::string(texts::kUninstallInUse), texts::kTitleError, MessageIcon::None);
  }

  view_.SetBarVisible(BarId::Bar1, true);
  view_.SetBarVisible(BarId::Bar2, false);
  view_.SetCaption(VoiceName + texts::kCaptionAbsent);
  EndWithMessage(ActionResult::Succeeded, std::string(texts::kUninstallSucceeded), texts::kTitleInfo,
                 MessageIcon::None);
}

// ---- Registration export ----

void Form1Logic::Image1_DblClick() {
  {
    const ModalScope modal(modalDepth_);
    if (services_.app.MessageBox(std::string(texts::kExportConfirm), std::string(texts::kTitleInfo),
                                 MessageButtons::OkCancel, MessageIcon::Question) == platform::kAnswerOk) {
      ExportRegistration();
    }
  }
  if (modalDepth_ == 0 && pendingEnd_) ExtractorEnded(*std::exchange(pendingEnd_, std::nullopt));
}

std::vector<std::string> Form1Logic::ExportLines() {
  return registration::ExportLines(registration::Record(ThisInstall()), services_.app.SixtyFourBitWindows());
}

bool Form1Logic::ExportRegistration() {
  // Written beside the old file first, then put in its place, so that the old
  // file stays whole when the export fails or is cut short.
  const VoicePaths paths = Paths();
  bool exported = false;
  if (platform::IsAbsoluteFolder(AppDir) && services_.files.WriteText(paths.ExportNext(), ExportLines())) {
    services_.app.Mark("export written beside the old file");
    exported = services_.files.Rename(paths.ExportNext(), paths.ExportFile(), true);
    if (exported) {
      services_.app.Mark("export in place");
    } else {
      services_.files.DeleteFile(paths.ExportNext());  // one that stays goes at the next start
    }
  }
  view_.ActionEnded(exported ? ActionResult::Succeeded : ActionResult::Failed);
  if (!exported) {
    services_.app.MessageBox(std::string(texts::kExportFailed), std::string(texts::kTitleError), MessageButtons::Ok,
                             MessageIcon::Critical);
  }
  return exported;
}

// ---- Focus handlers ----

void Form1Logic::QORButtonAZ_GotFocus() {
  if (Busy == 1) return;
  view_.SetTimerEnabled(TimerId::Timer1, true);
  ExtractVoice();
}

void Form1Logic::QORButtonXF_GotFocus() { QORButtonAZ_GotFocus(); }

void Form1Logic::QORButtonXZ_GotFocus() { ConfirmUninstall(); }

void Form1Logic::QORButtonXZT_GotFocus() { ConfirmUninstall(); }

void Form1Logic::ConfirmUninstall() {
  if (Busy == 1) return;
  if (services_.app.MessageBox(std::string(texts::kUninstallConfirm), std::string(texts::kTitleWarning),
                               MessageButtons::OkCancel, MessageIcon::Question) == platform::kAnswerOk) {
    UninstallVoice();
  } else {
    services_.app.EndProgram();
  }
}

void Form1Logic::EndWithMessage(ActionResult result, const std::string& text, std::string_view title,
                                MessageIcon icon) {
  view_.ActionEnded(result);
  services_.app.MessageBox(text, std::string(title), MessageButtons::Ok, icon);
  services_.app.EndProgram();
  std::abort();  // EndProgram does not return; the compiler cannot see that through the virtual call
}

void Form1Logic::Fail(Operation operation, std::string_view cause) {
  EndWithMessage(ActionResult::Failed, std::string(FailureHeadline(operation)) + "\r\n" + std::string(cause),
                 texts::kTitleError, MessageIcon::Critical);
}

}  // namespace installer
