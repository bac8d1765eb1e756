#include "platform/runtime/design_data.h"

#include <algorithm>
#include <cctype>
#include <charconv>
#include <cmath>
#include <cstdint>
#include <limits>
#include <optional>
#include <stdexcept>

namespace platform {
namespace {

bool IsBlank(char c) { return c == ' ' || c == '\t' || c == '\r'; }
bool IsNameChar(char c) { return std::isalnum(static_cast<unsigned char>(c)) != 0 || c == '_'; }

std::string_view Trim(std::string_view text) {
  while (!text.empty() && IsBlank(text.front())) text.remove_prefix(1);
  while (!text.empty() && IsBlank(text.back())) text.remove_suffix(1);
  return text;
}

bool SameWord(std::string_view a, std::string_view b) {
  return a.size() == b.size() && std::equal(a.begin(), a.end(), b.begin(), [](char x, char y) {
           return std::tolower(static_cast<unsigned char>(x)) == std::tolower(static_cast<unsigned char>(y));
         });
}

bool IsName(std::string_view word) { return !word.empty() && std::all_of(word.begin(), word.end(), IsNameChar); }

std::vector<std::string_view> Words(std::string_view text) {
  std::vector<std::string_view> words;
  while (true) {
    text = Trim(text);
    if (text.empty()) return words;
    std::size_t end = 0;
    while (end < text.size() && !IsBlank(text[end])) ++end;
    words.push_back(text.substr(0, end));
    text.remove_prefix(end);
  }
}

// One line of the text at a time, with its number; a CR before the LF is
// dropped with the other trailing blanks.
class LineReader {
 public:
  explicit LineReader(std::string_view text) : rest_(text) {
    constexpr std::string_view kByteOrderMark = "\xEF\xBB\xBF";
    if (rest_.substr(0, kByteOrderMark.size()) == kByteOrderMark) rest_.remove_prefix(kByteOrderMark.size());
  }

  bool Next(std::string_view& line) {
    if (done_) return false;
    ++number_;
    const std::size_t end = rest_.find('\n');
    if (end == std::string_view::npos) {
      line = rest_;
      done_ = true;
    } else {
      line = rest_.substr(0, end);
      rest_.remove_prefix(end + 1);
    }
    return true;
  }
  int Number() const { return number_; }

 private:
  std::string_view rest_;
  int number_ = 0;
  bool done_ = false;
};

class ValueParser {
 public:
  ValueParser(std::string_view text, int line) : text_(text), line_(line) {}

  PropertyValue Parse() {
    if (text_.empty() || text_.front() == '#') Fail("missing value after '='");
    PropertyValue value = text_.front() == '"' ? ParseString() : ParseToken();
    const std::string_view rest = Trim(text_);
    if (!rest.empty() && rest.front() != '#')
      Fail("unexpected text after the value: '" + std::string(rest) + "'");
    return value;
  }

 private:
  [[noreturn]] void Fail(const std::string& problem) const { throw DesignDataError(line_, problem); }

  std::string ParseString() {
    std::string value;
    std::size_t at = 1;
    while (true) {
      if (at >= text_.size()) Fail("unterminated string");
      const char c = text_[at++];
      if (c != '"') {
        value += c;
        continue;
      }
      if (at < text_.size() && text_[at] == '"') {
        value += '"';
        ++at;
        continue;
      }
      break;
    }
    text_.remove_prefix(at);
    return value;
  }

  PropertyValue ParseToken() {
    std::size_t end = 0;
    while (end < text_.size() && !IsBlank(text_[end]) && text_[end] != '#') ++end;
    const std::string_view token = text_.substr(0, end);
    text_.remove_prefix(end);
    if (SameWord(token, "True")) return true;
    if (SameWord(token, "False")) return false;
    const char first = token.front();
    if (!(std::isdigit(static_cast<unsigned char>(first)) || first == '-' || first == '.'))
      Fail("unknown value '" + std::string(token) + "'");
    if (token.back() == '%') return ParseInteger<std::int16_t>(token.substr(0, token.size() - 1), token);
    if (token.find_first_of(".eE") != std::string_view::npos) return ParseSingle(token);
    return ParseInteger<std::int32_t>(token, token);
  }

  template <typename Int>
  Int ParseInteger(std::string_view digits, std::string_view token) const {
    long long number = 0;
    const char* last = digits.data() + digits.size();
    auto [end, error] = std::from_chars(digits.data(), last, number);
    if (error == std::errc::result_out_of_range) Fail("number out of range: '" + std::string(token) + "'");
    if (error != std::errc() || end != last) Fail("bad number '" + std::string(token) + "'");
    if (number < std::numeric_limits<Int>::min() || number > std::numeric_limits<Int>::max())
      Fail("number out of range: '" + std::string(token) + "'");
    return static_cast<Int>(number);
  }

  float ParseSingle(std::string_view token) const {
    float number = 0;
    const char* last = token.data() + token.size();
    auto [end, error] = std::from_chars(token.data(), last, number);
    if (error == std::errc::result_out_of_range || (error == std::errc() && !std::isfinite(number)))
      Fail("number out of range: '" + std::string(token) + "'");
    if (error != std::errc() || end != last) Fail("bad number '" + std::string(token) + "'");
    return number;
  }

  std::string_view text_;
  int line_;
};

class DesignParser {
 public:
  explicit DesignParser(std::string_view text) : lines_(text) {}

  DesignData Parse() {
    std::string_view line;
    while (lines_.Next(line)) {
      line = Trim(line);
      if (line.empty() || line.front() == '#') continue;
      const auto words = Words(line);
      const bool keyword = words.size() == 1 || words[1].front() != '=';
      if (keyword && SameWord(words.front(), "Begin"))
        BeginBlock(words);
      else if (keyword && SameWord(words.front(), "End"))
        EndBlock(words);
      else if (!open_)
        Fail("text outside a Begin ... End block: '" + std::string(line) + "'");
      else
        Property(line);
    }
    if (open_)
      throw DesignDataError(beginLine_, "'Begin " + open_->className + " " + open_->name + "' has no End");
    return std::move(data_);
  }

 private:
  [[noreturn]] void Fail(const std::string& problem) const { throw DesignDataError(lines_.Number(), problem); }

  void BeginBlock(const std::vector<std::string_view>& words) {
    if (open_) Fail("Begin inside the block of '" + open_->name + "' (a missing End?)");
    if (words.size() != 3 || !IsName(words[1]) || !IsName(words[2])) Fail("expected 'Begin <class> <name>'");
    const std::string name(words[2]);
    for (const auto& control : data_.controls)
      if (SameWord(control.name, name)) Fail("duplicate control name '" + name + "'");
    open_ = ControlDesign{std::string(words[1]), name, {}};
    beginLine_ = lines_.Number();
  }

  void EndBlock(const std::vector<std::string_view>& words) {
    if (!open_) Fail("End without Begin");
    if (words.size() != 1) Fail("unexpected text after End");
    data_.controls.push_back(std::move(*open_));
    open_.reset();
  }

  void Property(std::string_view line) {
    const std::size_t equals = line.find('=');
    if (equals == std::string_view::npos) Fail("expected 'key = value'");
    const std::string_view key = Trim(line.substr(0, equals));
    if (!IsName(key)) Fail("expected 'key = value' with a key of letters, digits and '_'");
    if (open_->properties.Contains(std::string(key))) Fail("duplicate property '" + std::string(key) + "'");
    PropertyValue value = ValueParser(Trim(line.substr(equals + 1)), lines_.Number()).Parse();
    open_->properties.Set(std::string(key), std::move(value));
  }

  LineReader lines_;
  DesignData data_;
  std::optional<ControlDesign> open_;
  int beginLine_ = 0;
};

std::string Quoted(const std::string& text, const std::string& where) {
  if (text.find_first_of("\r\n") != std::string::npos)
    throw std::invalid_argument(where + ": a line break cannot be stored in design data");
  std::string quoted = "\"";
  for (char c : text) {
    if (c == '"') quoted += '"';
    quoted += c;
  }
  return quoted + '"';
}

std::string SingleText(float value, const std::string& where) {
  if (!std::isfinite(value)) throw std::invalid_argument(where + ": not a finite number");
  char buffer[64];
  auto [end, error] = std::to_chars(buffer, buffer + sizeof buffer, value, std::chars_format::fixed);
  std::string text(buffer, end);
  // The decimal point is what marks a single-precision value.
  if (text.find('.') == std::string::npos) text += ".0";
  return text;
}

std::string ValueText(const PropertyValue& value, const std::string& where) {
  if (const auto* b = std::get_if<bool>(&value)) return *b ? "True" : "False";
  if (const auto* i16 = std::get_if<std::int16_t>(&value)) return std::to_string(*i16) + "%";
  if (const auto* i32 = std::get_if<std::int32_t>(&value)) return std::to_string(*i32);
  if (const auto* f = std::get_if<float>(&value)) return SingleText(*f, where);
  return Quoted(std::get<std::string>(value), where);
}

}  // namespace

DesignDataError::DesignDataError(int line, const std::string& problem)
    : std::runtime_error("design data line " + std::to_string(line) + ": " + problem), line_(line) {}

const ControlDesign* DesignData::Find(std::string_view name) const {
  for (const auto& control : controls)
    if (SameWord(control.name, name)) return &control;
  return nullptr;
}

DesignData ParseDesignData(std::string_view text) { return DesignParser(text).Parse(); }

std::string FormatDesignData(const DesignData& data) {
  std::string text;
  for (const auto& control : data.controls) {
    if (!IsName(control.className) || !IsName(control.name))
      throw std::invalid_argument("control '" + control.name + "' of class '" + control.className +
                                  "': names must be letters, digits and '_'");
    if (!text.empty()) text += '\n';
    text += "Begin " + control.className + " " + control.name + "\n";
    for (const auto& [key, value] : control.properties.Entries())
      text += "  " + key + " = " + ValueText(value, control.name + "." + key) + "\n";
    text += "End\n";
  }
  return text;
}

}  // namespace platform
