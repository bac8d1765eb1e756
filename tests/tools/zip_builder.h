#pragma once
// Builds small ZIP archives in memory, with the faults a test needs.
#include <cstdint>
#include <filesystem>
#include <optional>
#include <string>
#include <vector>

namespace rar_standin::testing {

struct FixtureEntry {
  std::string name{};
  std::string data{};
  std::uint16_t method = 8;  // 0 stored, 8 deflated, anything else as given
  std::uint16_t flags = 0;
  std::optional<std::uint32_t> recordedCrc{};  // a wrong CRC-32 to record
};

std::string BuildZip(const std::vector<FixtureEntry>& entries);

void WriteBytes(const std::filesystem::path& file, const std::string& bytes);
std::string ReadBytes(const std::filesystem::path& file);

// A fresh folder below the temporary folder (or `parent`), removed with
// everything in it.
class TemporaryFolder {
 public:
  explicit TemporaryFolder(const std::string& label);
  TemporaryFolder(const std::filesystem::path& parent, const std::string& label);
  ~TemporaryFolder();
  TemporaryFolder(const TemporaryFolder&) = delete;
  TemporaryFolder& operator=(const TemporaryFolder&) = delete;

  const std::filesystem::path& path() const { return path_; }

 private:
  std::filesystem::path path_;
};

// Every file below `folder`, as paths relative to it with '/' separators.
std::vector<std::string> FilesBelow(const std::filesystem::path& folder);

}  // namespace rar_standin::testing
