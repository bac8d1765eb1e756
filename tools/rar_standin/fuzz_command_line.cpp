// libFuzzer target for the command-line parser. The input is read twice: as
// raw UTF-16 units (what GetCommandLineW can hand over, lone surrogates
// included) and as UTF-8 text.
#include <cstddef>
#include <cstdint>
#include <string>

#include "tools/rar_standin/command_line.h"
#include "tools/rar_standin/utf16.h"

namespace {

void Check(bool condition) {
  if (!condition) __builtin_trap();
}

void CheckParse(const std::u16string& line) {
  const auto words = rar_standin::SplitCommandLine(line);
  const auto parsed = rar_standin::ParseCommandLine(line);
  if (const auto* error = std::get_if<rar_standin::CommandLineError>(&parsed)) {
    Check(!error->message.empty());
    Check(rar_standin::IsValidUtf8(error->message));
    return;
  }
  // A request needs at least the program, the command and the archive.
  const auto* split = std::get_if<std::vector<std::u16string>>(&words);
  Check(split != nullptr && split->size() >= 3);
  const auto& request = std::get<rar_standin::ExtractRequest>(parsed);
  Check(!request.archive.empty());
  for (const auto& word : {request.archive, request.destination}) {
    Check(word.find(u'"') == std::u16string::npos);
    Check(rar_standin::IsValidUtf8(rar_standin::ToUtf8(word)));
  }
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  std::u16string units;
  for (std::size_t i = 0; i + 1 < size; i += 2) {
    units += static_cast<char16_t>(data[i] | (data[i + 1] << 8));
  }
  CheckParse(units);
  CheckParse(rar_standin::ToUtf16(std::string(reinterpret_cast<const char*>(data), size)));
  return 0;
}
