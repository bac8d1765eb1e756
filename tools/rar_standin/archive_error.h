#pragma once
#include <stdexcept>
#include <string>

namespace rar_standin {

// What went wrong, coarse enough to choose an exit code from.
enum class ArchiveFault {
  CannotOpen,   // the archive is missing or unreadable
  Damaged,      // broken structure, bad data, CRC mismatch
  UnsafeEntry,  // an entry would be written outside the destination
  Unsupported,  // a valid archive using a feature the stand-in lacks
  CannotWrite,  // a file or folder below the destination cannot be made
};

class ArchiveError : public std::runtime_error {
 public:
  ArchiveError(ArchiveFault fault, const std::string& message)
      : std::runtime_error(message), fault_(fault) {}
  ArchiveFault fault() const noexcept { return fault_; }

 private:
  ArchiveFault fault_;
};

}  // namespace rar_standin
