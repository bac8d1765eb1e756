// Export: the registration as a .reg file beside the program.
#include <utility>

#include "installer/voice_installer.h"
#include "platform/paths.h"

namespace installer {

void VoiceInstaller::AskThenExport() {
  {
    const ModalScope modal(modalDepth_);
    if (view_.Ask(Question::Export)) {
      const Outcome outcome = Export();
      if (!outcome.Succeeded()) view_.Report(outcome);
    }
  }
  // The extractor ended while a box was open: its attempt finishes now.
  if (modalDepth_ == 0 && pendingEnd_) ExtractorEnded(*std::exchange(pendingEnd_, std::nullopt));
}

std::vector<std::string> VoiceInstaller::ExportLines() {
  return registration::ExportLines(registration::Record(ThisInstall()), services_.app.SixtyFourBitWindows());
}

Outcome VoiceInstaller::Export() {
  // Written beside the old file first, then put in its place, so that the old
  // file stays whole when the export fails or is cut short.
  const VoicePaths paths = Paths();
  bool exported = false;
  if (platform::IsAbsoluteFolder(appDir_) && services_.files.WriteText(paths.ExportNext(), ExportLines())) {
    Mark("export written beside the old file");
    exported = services_.files.Rename(paths.ExportNext(), paths.ExportFile(), true);
    if (exported) {
      Mark("export in place");
    } else {
      services_.files.DeleteFile(paths.ExportNext());  // one that stays goes at the next start
    }
  }
  if (exported) return Outcome::Success(Operation::Export, {});
  return Outcome::Failure(Operation::Export, {});
}

}  // namespace installer
