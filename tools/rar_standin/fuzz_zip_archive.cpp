// libFuzzer target for the ZIP reader: the input is the archive file. Every
// outcome must be an ArchiveError or a clean read, with every accepted entry
// path safe.
#include <cstddef>
#include <cstdint>
#include <filesystem>
#include <fstream>
#include <ostream>
#include <streambuf>
#include <string>

#include <unistd.h>

#include "tools/rar_standin/zip_archive.h"

namespace {

void Check(bool condition) {
  if (!condition) __builtin_trap();
}

class DiscardBuffer : public std::streambuf {
 protected:
  std::streamsize xsputn(const char*, std::streamsize count) override { return count; }
  int_type overflow(int_type c) override { return traits_type::not_eof(c); }
};

std::filesystem::path InputFile() {
  return std::filesystem::temp_directory_path() /
         ("ilvo-fuzz-zip-" + std::to_string(static_cast<unsigned long>(getpid())) + ".zip");
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  const std::filesystem::path file = InputFile();
  {
    std::ofstream out(file, std::ios::binary | std::ios::trunc);
    out.write(reinterpret_cast<const char*>(data), static_cast<std::streamsize>(size));
  }
  try {
    rar_standin::ZipArchive archive(file);
    DiscardBuffer discard;
    std::ostream sink(&discard);
    for (const auto& entry : archive.entries()) {
      Check(!entry.path.components.empty());
      for (const auto& component : entry.path.components) {
        Check(component != ".." && component.find_first_of("/\\:") == std::string::npos);
      }
      try {
        archive.Extract(entry, sink);
      } catch (const rar_standin::ArchiveError&) {
      }
    }
  } catch (const rar_standin::ArchiveError&) {
  }
  return 0;
}
