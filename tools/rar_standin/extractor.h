#pragma once
// Extracts a whole archive below a destination folder, keeping the stored
// folder paths. Each file is written under a temporary name and renamed into
// place only once its CRC has been checked, so a failure never leaves a
// half-written file under the real name (nor replaces a good one).
#include <chrono>
#include <filesystem>
#include <functional>
#include <string_view>

#include "tools/rar_standin/archive_error.h"
#include "tools/rar_standin/command_line.h"

namespace rar_standin {

struct ExtractSummary {
  int filesWritten = 0;
  int filesSkipped = 0;
};

// Receives one UTF-8 line per file written or skipped.
using ProgressLine = std::function<void(std::string_view)>;

// How the files are left, for tests of what meets them.
struct ExtractOptions {
  bool readOnly = false;                      // each file marked read-only once in place
  std::chrono::milliseconds pauseAfterFile{0};  // a pause after each file in place
};

// Throws ArchiveError; files completed before the failure stay in place.
ExtractSummary ExtractArchive(const std::filesystem::path& archive, const std::filesystem::path& destination,
                              ExistingFiles existing, const ProgressLine& progress,
                              const ExtractOptions& options = {});

// The name a file is written under until it is complete.
std::filesystem::path PartialFileName(const std::filesystem::path& target);

}  // namespace rar_standin
