#include "tools/rar_standin/command_line.h"

#include "tools/rar_standin/utf16.h"

namespace rar_standin {
namespace {

std::u16string AsciiLower(std::u16string_view word) {
  std::u16string lower(word);
  for (char16_t& c : lower) {
    if (c >= u'A' && c <= u'Z') c = static_cast<char16_t>(c - u'A' + u'a');
  }
  return lower;
}

CommandLineError Error(std::string message) { return CommandLineError{std::move(message)}; }

CommandLineError Error(std::string message, std::u16string_view word) {
  return Error(std::move(message) + ": " + ToUtf8(word));
}

}  // namespace

CommandLineWords SplitCommandLine(std::u16string_view line) {
  std::vector<std::u16string> words;
  std::u16string word;
  bool inWord = false;
  bool inQuotes = false;
  for (const char16_t c : line) {
    if (c == u'"') {
      inQuotes = !inQuotes;
      inWord = true;  // "" is an empty word, not nothing
    } else if (!inQuotes && (c == u' ' || c == u'\t')) {
      if (inWord) words.push_back(std::move(word));
      word.clear();
      inWord = false;
    } else {
      word += c;
      inWord = true;
    }
  }
  if (inQuotes) return Error("unterminated quote in the command line");
  if (inWord) words.push_back(std::move(word));
  return words;
}

ParsedCommandLine ParseCommandLine(std::u16string_view line) {
  CommandLineWords split = SplitCommandLine(line);
  if (auto* error = std::get_if<CommandLineError>(&split)) return *error;
  const auto& words = std::get<std::vector<std::u16string>>(split);

  ExtractRequest request;
  std::vector<std::u16string> operands;
  bool switchesEnded = false;
  for (std::size_t i = 1; i < words.size(); ++i) {
    const std::u16string& word = words[i];
    if (switchesEnded || word.empty() || word.front() != u'-') {
      operands.push_back(word);
      continue;
    }
    const std::u16string lower = AsciiLower(word);
    if (lower == u"--") {
      switchesEnded = true;
    } else if (lower == u"-o+") {
      request.existing = ExistingFiles::Overwrite;
    } else if (lower == u"-o-") {
      request.existing = ExistingFiles::Skip;
    } else {
      return Error("unknown switch", word);
    }
  }

  if (operands.empty()) return Error("missing command");
  if (AsciiLower(operands[0]) != u"x") return Error("unknown command", operands[0]);
  if (operands.size() < 2) return Error("missing archive name");
  if (operands[1].empty()) return Error("empty archive name");
  // The stand-in always extracts the whole archive: no file names to pick.
  if (operands.size() > 3) return Error("unexpected argument", operands[3]);
  request.archive = operands[1];
  if (operands.size() == 3) {
    if (operands[2].empty()) return Error("empty destination folder");
    request.destination = operands[2];
  }
  return request;
}

}  // namespace rar_standin
