#include "tools/rar_standin/extractor.h"

#include <fstream>
#include <system_error>
#include <thread>

#include "tools/rar_standin/utf16.h"
#include "tools/rar_standin/zip_archive.h"

namespace rar_standin {
namespace {

ArchiveError CannotWrite(const std::string& what, const std::filesystem::path& path, const std::error_code& error) {
  return ArchiveError(ArchiveFault::CannotWrite,
                      "cannot " + what + " " + PathToUtf8(path) + ": " + error.message());
}

void CreateFolders(const std::filesystem::path& folder) {
  if (folder.empty()) return;  // the current folder
  std::error_code error;
  std::filesystem::create_directories(folder, error);
  if (error) throw CannotWrite("create folder", folder, error);
}

// A file being written under its temporary name; removed unless committed.
class PartialFile {
 public:
  explicit PartialFile(std::filesystem::path target)
      : target_(std::move(target)), partial_(PartialFileName(target_)) {
    stream_.open(partial_, std::ios::binary | std::ios::trunc);
    if (!stream_) {
      throw ArchiveError(ArchiveFault::CannotWrite, "cannot create " + PathToUtf8(partial_));
    }
  }
  ~PartialFile() {
    if (committed_) return;
    stream_.close();
    std::error_code ignored;
    std::filesystem::remove(partial_, ignored);
  }
  PartialFile(const PartialFile&) = delete;
  PartialFile& operator=(const PartialFile&) = delete;

  std::ostream& stream() { return stream_; }

  void Commit() {
    stream_.close();
    if (!stream_) throw ArchiveError(ArchiveFault::CannotWrite, "cannot write " + PathToUtf8(partial_));
    std::error_code error;
    std::filesystem::rename(partial_, target_, error);
    if (error) throw CannotWrite("replace", target_, error);
    committed_ = true;
  }

 private:
  std::filesystem::path target_;
  std::filesystem::path partial_;
  std::ofstream stream_;
  bool committed_ = false;
};

std::filesystem::path TargetPath(const std::filesystem::path& destination, const EntryPath& entry) {
  std::filesystem::path target = destination;
  for (const std::string& component : entry.components) target /= PathFromUtf8(component);
  return target;
}

}  // namespace

std::filesystem::path PartialFileName(const std::filesystem::path& target) {
  std::filesystem::path partial = target;
  partial += ".partial";
  return partial;
}

ExtractSummary ExtractArchive(const std::filesystem::path& archivePath, const std::filesystem::path& destination,
                              ExistingFiles existing, const ProgressLine& progress, const ExtractOptions& options) {
  ZipArchive archive(archivePath);
  CreateFolders(destination);

  ExtractSummary summary;
  for (const ZipEntry& entry : archive.entries()) {
    const std::filesystem::path target = TargetPath(destination, entry.path);
    if (entry.path.isDirectory) {
      CreateFolders(target);
      continue;
    }
    std::error_code error;
    const bool present = std::filesystem::exists(std::filesystem::symlink_status(target, error));
    if (present && existing == ExistingFiles::Skip) {
      progress("Skipping    " + entry.name);
      ++summary.filesSkipped;
      continue;
    }
    CreateFolders(target.parent_path());
    progress("Extracting  " + entry.name);
    PartialFile file(target);
    archive.Extract(entry, file.stream());
    file.Commit();
    if (options.readOnly) {
      // Without write permission Windows sets the read-only attribute.
      using std::filesystem::perms;
      std::filesystem::permissions(target, perms::owner_write | perms::group_write | perms::others_write,
                                   std::filesystem::perm_options::remove, error);
      if (error) throw CannotWrite("make read-only", target, error);
    }
    ++summary.filesWritten;
    if (options.pauseAfterFile.count() > 0) std::this_thread::sleep_for(options.pauseAfterFile);
  }
  return summary;
}

}  // namespace rar_standin
