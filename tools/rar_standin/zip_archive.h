#pragma once
// Reads a standard ZIP archive (stored and deflated entries, no ZIP64, no
// encryption) from its central directory. Every entry path is checked when
// the archive is opened, so a caller never sees an unsafe one.
#include <cstdint>
#include <filesystem>
#include <fstream>
#include <ostream>
#include <string>
#include <vector>

#include "tools/rar_standin/archive_error.h"
#include "tools/rar_standin/entry_path.h"

namespace rar_standin {

struct ZipEntry {
  std::string name;  // as stored, UTF-8
  EntryPath path;
  std::uint16_t method = 0;
  std::uint32_t crc32 = 0;
  std::uint32_t compressedSize = 0;
  std::uint32_t uncompressedSize = 0;
  std::uint32_t localHeaderOffset = 0;
};

class ZipArchive {
 public:
  // Throws ArchiveError: CannotOpen, Damaged, UnsafeEntry or Unsupported.
  explicit ZipArchive(const std::filesystem::path& file);

  const std::vector<ZipEntry>& entries() const { return entries_; }

  // Streams the entry's data into `out`. Throws ArchiveError: Damaged when the
  // data does not inflate to the recorded size and CRC-32 (what was written
  // to `out` by then must be thrown away), CannotWrite when `out` fails.
  void Extract(const ZipEntry& entry, std::ostream& out);

 private:
  void ReadDirectory();
  std::vector<char> ReadAt(std::uint64_t offset, std::size_t length);

  std::filesystem::path path_;
  std::ifstream file_;
  std::uint64_t fileSize_ = 0;
  std::uint64_t directoryOffset_ = 0;
  std::vector<ZipEntry> entries_;
};

}  // namespace rar_standin
