#pragma once
// File service through the wide Win32 calls.
#include "platform/services.h"

namespace platform::win32 {

class FileSystem final : public platform::FileSystem {
 public:
  // The entry's attributes for a path without wildcards (its name comes
  // back as the path gives it), FindFirstFileW for a pattern (the first
  // match's name); entries with the hidden or system attribute never count,
  // folders only with SearchAttributes::Folders.
  std::string Dir(const std::string& path, SearchAttributes attributes) override;
  bool DeleteFile(const std::string& path) override;    // DeleteFileW
  bool RemoveFolder(const std::string& path) override;  // RemoveDirectoryW
  bool EntryExists(const std::string& path) override;   // GetFileAttributesW
  std::optional<std::uint64_t> FileSize(const std::string& path) override;  // GetFileAttributesExW
  // Opens the entry itself (FILE_FLAG_OPEN_REPARSE_POINT) for its attributes,
  // and followed through its links for its identity and, through
  // GetFinalPathNameByHandleW, the folder that holds it. Wine shows a Unix
  // symbolic link to a folder as a reparse point; one to a file only by the
  // folder that really holds it.
  std::optional<FileLocation> Locate(const std::string& path) override;
  bool WriteText(const std::string& path, const std::vector<std::string>& lines) override;
  bool CreateFolder(const std::string& path) override;  // CreateDirectoryW
  // Entries are told apart by their own attributes (GetFileAttributesW and
  // the search never follow a link): a reparse point is removed with
  // RemoveDirectoryW or DeleteFileW as it shows, its target untouched. A
  // link that cannot be opened itself (FILE_FLAG_OPEN_REPARSE_POINT gives
  // what it leads to: Wine's view of a Unix symbolic link to a folder) is
  // left, and the tree with it, as no call could remove it without acting
  // on its target.
  bool RemoveTree(const std::string& path) override;
  // FindFirstFileExW folder by folder, names in each folder in ordinal
  // order; nothing when any folder in the tree cannot be searched, so that a
  // listing is never silently short.
  std::optional<std::vector<TreeEntry>> ListTree(const std::string& folder) override;
  // FlushFileBuffers, which needs write access: a read-only file loses its
  // attribute only while the handle is opened, then gets it back.
  bool FlushFile(const std::string& path) override;
  // MoveFileExW with MOVEFILE_WRITE_THROUGH; the target's attributes are
  // checked first, as Wine run as root would replace a read-only file.
  bool Rename(const std::string& from, const std::string& to, bool replace) override;
};

}  // namespace platform::win32
