#pragma once
// Extracts a whole archive below a destination folder, keeping the stored
// folder paths. Each file is written under a temporary name and renamed into
// place only once its CRC has been checked, so a failure never leaves a
// half-written file under the real name (nor replaces a good one).
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

// Throws ArchiveError; files completed before the failure stay in place.
ExtractSummary ExtractArchive(const std::filesystem::path& archive, const std::filesystem::path& destination,
                              ExistingFiles existing, const ProgressLine& progress);

// The name a file is written under until it is complete.
std::filesystem::path PartialFileName(const std::filesystem::path& target);

}  // namespace rar_standin
