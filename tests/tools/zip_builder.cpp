#include "tests/tools/zip_builder.h"

#include <zlib.h>

#include <algorithm>
#include <fstream>
#include <iterator>
#include <random>
#include <stdexcept>

#include "tools/rar_standin/utf16.h"

namespace rar_standin::testing {
namespace {

void Put16(std::string& out, std::uint32_t value) {
  out += static_cast<char>(value & 0xFF);
  out += static_cast<char>((value >> 8) & 0xFF);
}

void Put32(std::string& out, std::uint32_t value) {
  Put16(out, value & 0xFFFF);
  Put16(out, value >> 16);
}

std::string RawDeflate(const std::string& data) {
  z_stream stream{};
  if (deflateInit2(&stream, Z_DEFAULT_COMPRESSION, Z_DEFLATED, -MAX_WBITS, 8, Z_DEFAULT_STRATEGY) != Z_OK) {
    throw std::runtime_error("deflateInit2 failed");
  }
  std::string out(deflateBound(&stream, static_cast<uLong>(data.size())), '\0');
  stream.next_in = reinterpret_cast<Bytef*>(const_cast<char*>(data.data()));
  stream.avail_in = static_cast<uInt>(data.size());
  stream.next_out = reinterpret_cast<Bytef*>(out.data());
  stream.avail_out = static_cast<uInt>(out.size());
  const int status = deflate(&stream, Z_FINISH);
  out.resize(stream.total_out);
  deflateEnd(&stream);
  if (status != Z_STREAM_END) throw std::runtime_error("deflate failed");
  return out;
}

}  // namespace

std::string BuildZip(const std::vector<FixtureEntry>& entries) {
  std::string archive;
  std::string directory;
  for (const FixtureEntry& entry : entries) {
    const std::string stored = entry.method == 8 ? RawDeflate(entry.data) : entry.data;
    const auto crc = entry.recordedCrc.value_or(static_cast<std::uint32_t>(
        crc32(0, reinterpret_cast<const Bytef*>(entry.data.data()), static_cast<uInt>(entry.data.size()))));
    const auto offset = static_cast<std::uint32_t>(archive.size());
    const auto nameSize = static_cast<std::uint32_t>(entry.name.size());
    const auto storedSize = static_cast<std::uint32_t>(stored.size());
    const auto dataSize = static_cast<std::uint32_t>(entry.data.size());

    Put32(archive, 0x04034b50);
    Put16(archive, 20);
    Put16(archive, entry.flags);
    Put16(archive, entry.method);
    Put32(archive, 0);  // time, date
    Put32(archive, crc);
    Put32(archive, storedSize);
    Put32(archive, dataSize);
    Put16(archive, nameSize);
    Put16(archive, 0);
    archive += entry.name;
    archive += stored;

    Put32(directory, 0x02014b50);
    Put16(directory, 20);
    Put16(directory, 20);
    Put16(directory, entry.flags);
    Put16(directory, entry.method);
    Put32(directory, 0);
    Put32(directory, crc);
    Put32(directory, storedSize);
    Put32(directory, dataSize);
    Put16(directory, nameSize);
    Put16(directory, 0);  // extra
    Put16(directory, 0);  // comment
    Put16(directory, 0);  // disk
    Put16(directory, 0);  // internal attributes
    Put32(directory, 0);  // external attributes
    Put32(directory, offset);
    directory += entry.name;
  }
  const auto directoryOffset = static_cast<std::uint32_t>(archive.size());
  archive += directory;
  Put32(archive, 0x06054b50);
  Put16(archive, 0);
  Put16(archive, 0);
  Put16(archive, static_cast<std::uint32_t>(entries.size()));
  Put16(archive, static_cast<std::uint32_t>(entries.size()));
  Put32(archive, static_cast<std::uint32_t>(directory.size()));
  Put32(archive, directoryOffset);
  Put16(archive, 0);
  return archive;
}

void WriteBytes(const std::filesystem::path& file, const std::string& bytes) {
  std::ofstream out(file, std::ios::binary | std::ios::trunc);
  out.write(bytes.data(), static_cast<std::streamsize>(bytes.size()));
  if (!out) throw std::runtime_error("cannot write " + PathToUtf8(file));
}

std::string ReadBytes(const std::filesystem::path& file) {
  std::ifstream in(file, std::ios::binary);
  if (!in) throw std::runtime_error("cannot read " + PathToUtf8(file));
  return std::string(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
}

TemporaryFolder::TemporaryFolder(const std::string& label)
    : TemporaryFolder(std::filesystem::temp_directory_path(), label) {}

TemporaryFolder::TemporaryFolder(const std::filesystem::path& parent, const std::string& label) {
  std::random_device random;
  path_ = parent / PathFromUtf8("ilvo-tools " + label + " " + std::to_string(random()));
  std::filesystem::create_directories(path_);
}

TemporaryFolder::~TemporaryFolder() {
  std::error_code ignored;
  std::filesystem::remove_all(path_, ignored);
}

std::vector<std::string> FilesBelow(const std::filesystem::path& folder) {
  std::vector<std::string> files;
  for (const auto& item : std::filesystem::recursive_directory_iterator(folder)) {
    if (!item.is_regular_file()) continue;
    std::string relative = PathToUtf8(std::filesystem::relative(item.path(), folder));
    std::replace(relative.begin(), relative.end(), '\\', '/');
    files.push_back(relative);
  }
  std::sort(files.begin(), files.end());
  return files;
}

}  // namespace rar_standin::testing
