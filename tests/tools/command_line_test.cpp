#include "tools/rar_standin/command_line.h"

#include <gtest/gtest.h>

#include "tools/rar_standin/utf16.h"

namespace rar_standin {
namespace {

std::vector<std::string> Words(const char* line) {
  const CommandLineWords split = SplitCommandLine(ToUtf16(line));
  if (const auto* error = std::get_if<CommandLineError>(&split)) return {"<error: " + error->message + ">"};
  std::vector<std::string> words;
  for (const auto& word : std::get<std::vector<std::u16string>>(split)) words.push_back(ToUtf8(word));
  return words;
}

TEST(SplitCommandLine, QuotesGroupAndBackslashesStayLiteral) {
  struct Case {
    const char* line;
    std::vector<std::string> words;
  };
  const Case cases[] = {
      {R"("C:\Voices\DATA\Rar.exe" x "C:\Voices\")", {R"(C:\Voices\DATA\Rar.exe)", "x", R"(C:\Voices\)"}},
      {R"(a\\"b c" d)", {R"(a\\b c)", "d"}},
      {"  a \t b  ", {"a", "b"}},
      {R"("a""b")", {"ab"}},
      {R"("" x)", {"", "x"}},
      {R"(C:\"My Voices"\a.yin)", {R"(C:\My Voices\a.yin)"}},
      {"", {}},
  };
  for (const Case& c : cases) EXPECT_EQ(Words(c.line), c.words) << c.line;
}

TEST(ParseCommandLine, AcceptsExtractLines) {
  struct Case {
    const char* line;
    const char* archive;
    const char* destination;
    ExistingFiles existing;
  };
  const Case cases[] = {
      // The installer's install and repair lines.
      {R"("C:\Voices\DATA\Rar.exe" x -o+ "C:\Voices\DATA\Ilvo.yin" "C:\Voices\")", R"(C:\Voices\DATA\Ilvo.yin)",
       R"(C:\Voices\)", ExistingFiles::Overwrite},
      {R"("C:\Voices\DATA\Rar.exe" x -o- "C:\Voices\DATA\Ilvo.yin" "C:\Voices\")", R"(C:\Voices\DATA\Ilvo.yin)",
       R"(C:\Voices\)", ExistingFiles::Skip},
      {R"("D:\Program Files\音源 Ilvo\DATA\Rar.exe" x -o+ "D:\Program Files\音源 Ilvo\DATA\Ilvo.yin" "D:\Program Files\音源 Ilvo\")",
       R"(D:\Program Files\音源 Ilvo\DATA\Ilvo.yin)", R"(D:\Program Files\音源 Ilvo\)", ExistingFiles::Overwrite},
      {R"("C:\DATA\Rar.exe" x -o- "C:\DATA\Ilvo.yin" "C:\")", R"(C:\DATA\Ilvo.yin)", R"(C:\)", ExistingFiles::Skip},
      {"Rar.exe x a.yin", "a.yin", "", ExistingFiles::Skip},
      {"Rar X -O+ a.yin out\\", "a.yin", "out\\", ExistingFiles::Overwrite},
      {"Rar\tx\t-o+\ta.yin", "a.yin", "", ExistingFiles::Overwrite},
      {"Rar x a.yin out -o+", "a.yin", "out", ExistingFiles::Overwrite},
      {"Rar x -o+ -o- a.yin", "a.yin", "", ExistingFiles::Skip},
      {R"(Rar x -o+ -- -odd.yin -dest\)", "-odd.yin", R"(-dest\)", ExistingFiles::Overwrite},
  };
  for (const Case& c : cases) {
    const ParsedCommandLine parsed = ParseCommandLine(ToUtf16(c.line));
    const auto* request = std::get_if<ExtractRequest>(&parsed);
    ASSERT_NE(request, nullptr) << c.line << ": " << std::get<CommandLineError>(parsed).message;
    EXPECT_EQ(ToUtf8(request->archive), c.archive) << c.line;
    EXPECT_EQ(ToUtf8(request->destination), c.destination) << c.line;
    EXPECT_EQ(request->existing, c.existing) << c.line;
  }
}

TEST(ParseCommandLine, RejectsBadLinesWithAReason) {
  struct Case {
    const char* line;
    const char* message;
  };
  const Case cases[] = {
      {"", "missing command"},
      {R"("C:\Voices\DATA\Rar.exe")", "missing command"},
      {"Rar -o+", "missing command"},
      {"Rar x -o+", "missing archive name"},
      {"Rar e a.yin out\\", "unknown command: e"},
      {"Rar x -y a.yin", "unknown switch: -y"},
      {"Rar x -o a.yin", "unknown switch: -o"},
      {"Rar x - a.yin", "unknown switch: -"},
      {"Rar x -音 a.yin", "unknown switch: -音"},
      {R"(Rar x "a.yin)", "unterminated quote in the command line"},
      {R"("C:\Voices\DATA\Rar.exe" x -o+ "C:\Voices\DATA\Ilvo.yin" "C:\Voices\)",
       "unterminated quote in the command line"},
      {"Rar x a.yin out\\ extra", "unexpected argument: extra"},
      {R"(Rar x "" out\)", "empty archive name"},
      {R"(Rar x a.yin "")", "empty destination folder"},
  };
  for (const Case& c : cases) {
    const ParsedCommandLine parsed = ParseCommandLine(ToUtf16(c.line));
    const auto* error = std::get_if<CommandLineError>(&parsed);
    ASSERT_NE(error, nullptr) << c.line;
    EXPECT_EQ(error->message, c.message) << c.line;
  }
}

TEST(ParseCommandLine, ReportsALoneSurrogateWithoutFailing) {
  const std::u16string line = std::u16string(u"Rar x -") + char16_t(0xD800) + u" a.yin";
  const ParsedCommandLine parsed = ParseCommandLine(line);
  ASSERT_TRUE(std::holds_alternative<CommandLineError>(parsed));
  EXPECT_EQ(std::get<CommandLineError>(parsed).message, "unknown switch: -\xEF\xBF\xBD");
}

}  // namespace
}  // namespace rar_standin
