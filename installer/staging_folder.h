#pragma once
// The folder an install or repair extracts into. It is the installer's own,
// made fresh for each attempt in the application folder beside the program:
// on the voice folder's volume, so that moving a file out of it is a rename,
// and outside the voice folder, so that removing it never touches the voice.
// The voice folder changes only by whole files moved out of it once the
// extractor has finished; while the folder stands, an attempt has not
// finished, and whatever it holds goes with it.
#include <functional>
#include <optional>
#include <string>
#include <string_view>

#include "installer/voice_identity.h"
#include "platform/services.h"

namespace installer {

class StagingFolder {
 public:
  // mark is told each change on disk, right after it is made.
  StagingFolder(platform::FileSystem& files, VoicePaths paths, std::function<void(std::string_view step)> mark = {});

  // Removes the folder with all it holds, a link in its place only as the
  // link; true when nothing stands there any more.
  bool Remove();
  // A new, empty folder for an attempt that starts now; the cause when there
  // can be none (one left from before that cannot be removed, say).
  std::optional<std::string> Make();
  // Where the extractor is told to extract to: the folder, ending in a backslash.
  std::string Destination() const;
  // Whether the extraction holds the three voice files.
  bool HoldsVoice();
  // Writes every extracted file through to the disk, so that a power loss
  // after the move cannot leave a voice file whose tail was never written.
  // The cause when one cannot be.
  std::optional<std::string> Flush();
  // Puts what was extracted in its place below the application folder.
  // replace (install): a file there is replaced; otherwise (repair) it stays
  // as it is and the extracted one is dropped. The cause when a file cannot
  // be moved; every file moved by then is whole.
  std::optional<std::string> MoveIntoPlace(bool replace);

 private:
  std::string Path(const std::string& relative) const { return paths_.Staging() + "\\" + relative; }

  void Mark(std::string_view step) const {
    if (mark_) mark_(step);
  }

  platform::FileSystem& files_;  // not owned
  VoicePaths paths_;
  std::function<void(std::string_view)> mark_;
};

}  // namespace installer
