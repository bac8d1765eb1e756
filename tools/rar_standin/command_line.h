#pragma once
// The extractor's command line, read the way the extractor itself reads its raw
// line: quotes group, quotes do not nest, and a backslash is always an ordinary
// character. So "C:\Voices\" is the folder C:\Voices\, not an escaped quote.
#include <string>
#include <string_view>
#include <variant>
#include <vector>

namespace rar_standin {

enum class ExistingFiles { Skip, Overwrite };

struct ExtractRequest {
  std::u16string archive;
  // As written, trailing backslash included; empty means the current folder.
  std::u16string destination;
  // Without -o+ or -o- nobody can be asked (the window is hidden), so existing
  // files are kept.
  ExistingFiles existing = ExistingFiles::Skip;
};

struct CommandLineError {
  std::string message;  // UTF-8, one line
};

using CommandLineWords = std::variant<std::vector<std::u16string>, CommandLineError>;
using ParsedCommandLine = std::variant<ExtractRequest, CommandLineError>;

// Splits on spaces and tabs outside quotes; the program path is the first word.
CommandLineWords SplitCommandLine(std::u16string_view line);

// Accepts: program x [-o+|-o-]... [--] archive [destination]
// Command and switches are matched without regard to case.
ParsedCommandLine ParseCommandLine(std::u16string_view line);

}  // namespace rar_standin
