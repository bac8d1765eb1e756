#include "tools/rar_standin/zip_archive.h"

#include <zlib.h>

#include <algorithm>
#include <array>
#include <limits>
#include <span>

#include "tools/rar_standin/utf16.h"

namespace rar_standin {
namespace {

constexpr std::uint32_t kEndOfDirectorySignature = 0x06054b50;
constexpr std::uint32_t kZip64LocatorSignature = 0x07064b50;
constexpr std::uint32_t kDirectoryEntrySignature = 0x02014b50;
constexpr std::uint32_t kLocalHeaderSignature = 0x04034b50;
constexpr std::size_t kEndOfDirectorySize = 22;
constexpr std::size_t kZip64LocatorSize = 20;
constexpr std::size_t kLocalHeaderSize = 30;
constexpr std::size_t kMaxCommentSize = 0xFFFF;
// Far beyond any real voice archive; keeps a forged size from exhausting
// a 32-bit address space.
constexpr std::uint64_t kMaxDirectorySize = 64u << 20;
constexpr std::size_t kChunkSize = 64u << 10;

constexpr std::uint16_t kMethodStored = 0;
constexpr std::uint16_t kMethodDeflated = 8;
constexpr std::uint16_t kFlagEncrypted = 0x0001;
constexpr std::uint16_t kFlagStrongEncryption = 0x0040;

// Little-endian fields of a record, every read bounds-checked.
class RecordReader {
 public:
  RecordReader(std::span<const char> bytes, const std::string& what) : bytes_(bytes), what_(what) {}

  std::uint16_t U16() { return static_cast<std::uint16_t>(Unsigned(2)); }
  std::uint32_t U32() { return static_cast<std::uint32_t>(Unsigned(4)); }
  std::string Text(std::size_t length) {
    Require(length);
    std::string text(bytes_.data() + pos_, length);
    pos_ += length;
    return text;
  }
  void Skip(std::size_t length) {
    Require(length);
    pos_ += length;
  }
  std::size_t position() const { return pos_; }

 private:
  std::uint64_t Unsigned(std::size_t length) {
    Require(length);
    std::uint64_t value = 0;
    for (std::size_t i = 0; i < length; ++i) {
      value |= static_cast<std::uint64_t>(static_cast<unsigned char>(bytes_[pos_ + i])) << (8 * i);
    }
    pos_ += length;
    return value;
  }
  void Require(std::size_t length) const {
    if (bytes_.size() - pos_ < length) {
      throw ArchiveError(ArchiveFault::Damaged, what_ + " is cut short");
    }
  }

  std::span<const char> bytes_;
  std::string what_;
  std::size_t pos_ = 0;
};

std::uint32_t ReadLittleEndianAt(std::span<const char> bytes, std::size_t offset, std::size_t length) {
  std::uint32_t value = 0;
  for (std::size_t i = 0; i < length; ++i) {
    value |= static_cast<std::uint32_t>(static_cast<unsigned char>(bytes[offset + i])) << (8 * i);
  }
  return value;
}

// zlib's raw inflate state, released however the extraction ends.
class RawInflater {
 public:
  RawInflater() {
    if (inflateInit2(&stream_, -MAX_WBITS) != Z_OK) throw std::bad_alloc();
  }
  ~RawInflater() { inflateEnd(&stream_); }
  RawInflater(const RawInflater&) = delete;
  RawInflater& operator=(const RawInflater&) = delete;

  z_stream& stream() { return stream_; }

 private:
  z_stream stream_{};
};

// Counts and checksums what goes to the output, and refuses to produce more
// than the directory promised.
class CheckedOutput {
 public:
  CheckedOutput(const ZipEntry& entry, std::ostream& out) : entry_(entry), out_(out) {}

  void Write(const char* data, std::size_t length) {
    if (length > entry_.uncompressedSize - written_) {
      throw ArchiveError(ArchiveFault::Damaged,
                         "data of " + entry_.name + " is longer than the archive records");
    }
    crc_ = crc32(crc_, reinterpret_cast<const Bytef*>(data), static_cast<uInt>(length));
    written_ += static_cast<std::uint32_t>(length);
    out_.write(data, static_cast<std::streamsize>(length));
    if (!out_) throw ArchiveError(ArchiveFault::CannotWrite, "cannot write " + entry_.name);
  }

  void Finish() const {
    if (written_ != entry_.uncompressedSize) {
      throw ArchiveError(ArchiveFault::Damaged,
                         "data of " + entry_.name + " is shorter than the archive records");
    }
    if (crc_ != entry_.crc32) {
      throw ArchiveError(ArchiveFault::Damaged, "CRC failed in " + entry_.name);
    }
  }

 private:
  const ZipEntry& entry_;
  std::ostream& out_;
  uLong crc_ = crc32(0, Z_NULL, 0);
  std::uint32_t written_ = 0;
};

}  // namespace

ZipArchive::ZipArchive(const std::filesystem::path& file) : path_(file) {
  std::error_code error;
  if (!std::filesystem::exists(file, error)) {
    throw ArchiveError(ArchiveFault::CannotOpen, "cannot find " + PathToUtf8(file));
  }
  if (!std::filesystem::is_regular_file(file, error)) {
    throw ArchiveError(ArchiveFault::CannotOpen, PathToUtf8(file) + " is not a file");
  }
  file_.open(file, std::ios::binary);
  if (!file_) throw ArchiveError(ArchiveFault::CannotOpen, "cannot open " + PathToUtf8(file));
  file_.seekg(0, std::ios::end);
  const std::streamoff size = file_.tellg();
  if (!file_ || size < 0) throw ArchiveError(ArchiveFault::CannotOpen, "cannot read " + PathToUtf8(file));
  fileSize_ = static_cast<std::uint64_t>(size);
  ReadDirectory();
}

std::vector<char> ZipArchive::ReadAt(std::uint64_t offset, std::size_t length) {
  std::vector<char> bytes(length);
  file_.clear();
  file_.seekg(static_cast<std::streamoff>(offset));
  file_.read(bytes.data(), static_cast<std::streamsize>(length));
  if (!file_) {
    throw ArchiveError(ArchiveFault::Damaged, "unexpected end of archive " + PathToUtf8(path_));
  }
  return bytes;
}

void ZipArchive::ReadDirectory() {
  const std::string archiveName = PathToUtf8(path_);
  if (fileSize_ < kEndOfDirectorySize) {
    throw ArchiveError(ArchiveFault::Damaged, archiveName + " is not a valid archive (too short)");
  }
  const std::size_t tailSize = static_cast<std::size_t>(
      std::min<std::uint64_t>(fileSize_, kEndOfDirectorySize + kMaxCommentSize + kZip64LocatorSize));
  const std::uint64_t tailOffset = fileSize_ - tailSize;
  const std::vector<char> tail = ReadAt(tailOffset, tailSize);

  // The end record is the last signature whose comment fits in the file.
  std::size_t endRecord = tailSize - kEndOfDirectorySize + 1;
  for (std::size_t pos = tailSize - kEndOfDirectorySize + 1; pos-- > 0;) {
    if (ReadLittleEndianAt(tail, pos, 4) != kEndOfDirectorySignature) continue;
    const std::size_t commentSize = ReadLittleEndianAt(tail, pos + 20, 2);
    if (pos + kEndOfDirectorySize + commentSize <= tailSize) {
      endRecord = pos;
      break;
    }
  }
  if (endRecord > tailSize - kEndOfDirectorySize) {
    throw ArchiveError(ArchiveFault::Damaged, archiveName + " is not a valid archive (no end of directory)");
  }
  if (endRecord >= kZip64LocatorSize && ReadLittleEndianAt(tail, endRecord - kZip64LocatorSize, 4) == kZip64LocatorSignature) {
    throw ArchiveError(ArchiveFault::Unsupported, archiveName + " is a ZIP64 archive");
  }

  RecordReader end(std::span<const char>(tail).subspan(endRecord, kEndOfDirectorySize), "end of directory");
  end.Skip(4);
  const std::uint16_t diskNumber = end.U16();
  const std::uint16_t directoryDisk = end.U16();
  const std::uint16_t entriesOnDisk = end.U16();
  const std::uint16_t entryCount = end.U16();
  const std::uint32_t directorySize = end.U32();
  const std::uint32_t directoryOffset = end.U32();
  if (diskNumber != 0 || directoryDisk != 0 || entriesOnDisk != entryCount) {
    throw ArchiveError(ArchiveFault::Unsupported, archiveName + " is part of a multi-volume archive");
  }
  const std::uint64_t endRecordOffset = tailOffset + endRecord;
  if (static_cast<std::uint64_t>(directoryOffset) + directorySize > endRecordOffset) {
    throw ArchiveError(ArchiveFault::Damaged, archiveName + " has a damaged directory");
  }
  if (directorySize > kMaxDirectorySize) {
    throw ArchiveError(ArchiveFault::Unsupported, archiveName + " has too large a directory");
  }
  directoryOffset_ = directoryOffset;

  const std::vector<char> directory = ReadAt(directoryOffset, directorySize);
  RecordReader reader(directory, "directory of " + archiveName);
  entries_.reserve(entryCount);
  for (std::uint16_t i = 0; i < entryCount; ++i) {
    if (reader.U32() != kDirectoryEntrySignature) {
      throw ArchiveError(ArchiveFault::Damaged, archiveName + " has a damaged directory");
    }
    ZipEntry entry;
    reader.Skip(4);  // versions
    const std::uint16_t flags = reader.U16();
    entry.method = reader.U16();
    reader.Skip(4);  // time, date
    entry.crc32 = reader.U32();
    entry.compressedSize = reader.U32();
    entry.uncompressedSize = reader.U32();
    const std::uint16_t nameSize = reader.U16();
    const std::uint16_t extraSize = reader.U16();
    const std::uint16_t commentSize = reader.U16();
    reader.Skip(8);  // disk, internal and external attributes
    entry.localHeaderOffset = reader.U32();
    entry.name = reader.Text(nameSize);
    reader.Skip(static_cast<std::size_t>(extraSize) + commentSize);

    if (!IsValidUtf8(entry.name)) {
      throw ArchiveError(ArchiveFault::Unsupported, "entry name is not UTF-8: " + ToUtf8(ToUtf16(entry.name)));
    }
    auto path = ParseEntryPath(entry.name);
    if (auto* unsafe = std::get_if<UnsafeEntryPath>(&path)) {
      throw ArchiveError(ArchiveFault::UnsafeEntry, "refusing entry " + entry.name + ": " + unsafe->reason);
    }
    entry.path = std::get<EntryPath>(std::move(path));
    if ((flags & (kFlagEncrypted | kFlagStrongEncryption)) != 0) {
      throw ArchiveError(ArchiveFault::Unsupported, entry.name + " is encrypted");
    }
    if (entry.method != kMethodStored && entry.method != kMethodDeflated) {
      throw ArchiveError(ArchiveFault::Unsupported,
                         entry.name + " uses compression method " + std::to_string(entry.method));
    }
    constexpr std::uint32_t kZip64Marker = std::numeric_limits<std::uint32_t>::max();
    if (entry.compressedSize == kZip64Marker || entry.uncompressedSize == kZip64Marker ||
        entry.localHeaderOffset == kZip64Marker) {
      throw ArchiveError(ArchiveFault::Unsupported, entry.name + " needs ZIP64");
    }
    if (entry.method == kMethodStored && entry.compressedSize != entry.uncompressedSize) {
      throw ArchiveError(ArchiveFault::Damaged, "sizes of stored entry " + entry.name + " disagree");
    }
    if (static_cast<std::uint64_t>(entry.localHeaderOffset) + kLocalHeaderSize > directoryOffset_) {
      throw ArchiveError(ArchiveFault::Damaged, "entry " + entry.name + " points outside the archive");
    }
    entries_.push_back(std::move(entry));
  }
}

void ZipArchive::Extract(const ZipEntry& entry, std::ostream& out) {
  const std::vector<char> header = ReadAt(entry.localHeaderOffset, kLocalHeaderSize);
  RecordReader local(header, "local header of " + entry.name);
  if (local.U32() != kLocalHeaderSignature) {
    throw ArchiveError(ArchiveFault::Damaged, "local header of " + entry.name + " is damaged");
  }
  local.Skip(22);
  const std::uint16_t nameSize = local.U16();
  const std::uint16_t extraSize = local.U16();
  const std::uint64_t dataOffset =
      static_cast<std::uint64_t>(entry.localHeaderOffset) + kLocalHeaderSize + nameSize + extraSize;
  if (dataOffset + entry.compressedSize > directoryOffset_) {
    throw ArchiveError(ArchiveFault::Damaged, "data of " + entry.name + " runs past its end");
  }

  file_.clear();
  file_.seekg(static_cast<std::streamoff>(dataOffset));
  std::vector<char> input(kChunkSize);
  std::uint32_t remaining = entry.compressedSize;
  auto readChunk = [&]() -> std::size_t {
    const std::size_t length = std::min<std::size_t>(remaining, input.size());
    file_.read(input.data(), static_cast<std::streamsize>(length));
    if (!file_) throw ArchiveError(ArchiveFault::Damaged, "unexpected end of data in " + entry.name);
    remaining -= static_cast<std::uint32_t>(length);
    return length;
  };

  CheckedOutput output(entry, out);
  if (entry.method == kMethodStored) {
    while (remaining > 0) {
      const std::size_t length = readChunk();
      output.Write(input.data(), length);
    }
    output.Finish();
    return;
  }

  RawInflater inflater;
  z_stream& stream = inflater.stream();
  std::vector<char> inflated(kChunkSize);
  bool ended = false;
  while (!ended) {
    if (stream.avail_in == 0 && remaining > 0) {
      stream.avail_in = static_cast<uInt>(readChunk());
      stream.next_in = reinterpret_cast<Bytef*>(input.data());
    }
    stream.next_out = reinterpret_cast<Bytef*>(inflated.data());
    stream.avail_out = static_cast<uInt>(inflated.size());
    const int status = inflate(&stream, Z_NO_FLUSH);
    if (status == Z_MEM_ERROR) throw std::bad_alloc();
    if (status != Z_OK && status != Z_STREAM_END && status != Z_BUF_ERROR) {
      throw ArchiveError(ArchiveFault::Damaged, "compressed data of " + entry.name + " is damaged");
    }
    const std::size_t produced = inflated.size() - stream.avail_out;
    output.Write(inflated.data(), produced);
    ended = status == Z_STREAM_END;
    if (!ended && produced == 0 && stream.avail_in == 0 && remaining == 0) {
      throw ArchiveError(ArchiveFault::Damaged, "compressed data of " + entry.name + " is cut short");
    }
  }
  output.Finish();
}

}  // namespace rar_standin
