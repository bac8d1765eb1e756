#include "tools/rar_standin/test_switches.h"

#include <limits>

#include "tools/rar_standin/utf16.h"

namespace rar_standin {
namespace {

std::optional<std::uint32_t> ParseUnsigned(std::u16string_view text) {
  if (text.empty()) return std::nullopt;
  std::uint64_t value = 0;
  for (const char16_t c : text) {
    if (c < u'0' || c > u'9') return std::nullopt;
    value = value * 10 + static_cast<std::uint64_t>(c - u'0');
    if (value > std::numeric_limits<std::uint32_t>::max()) return std::nullopt;
  }
  return static_cast<std::uint32_t>(value);
}

}  // namespace

TestSwitches ReadTestSwitches(const EnvironmentLookup& lookup) {
  TestSwitches switches;
  auto readNumber = [&](std::u16string_view name) -> std::optional<std::uint32_t> {
    const std::optional<std::u16string> text = lookup(name);
    if (!text) return std::nullopt;
    std::optional<std::uint32_t> number = ParseUnsigned(*text);
    if (!number) {
      switches.problems.push_back("ignoring " + ToUtf8(name) + "=" + ToUtf8(*text) +
                                  ": not a number from 0 to 4294967295");
    }
    return number;
  };

  auto readFlag = [&](std::u16string_view name) {
    const std::optional<std::u16string> text = lookup(name);
    if (!text) return false;
    if (*text == u"1") return true;
    if (!text->empty() && *text != u"0") {
      switches.problems.push_back("ignoring " + ToUtf8(name) + "=" + ToUtf8(*text) + ": use 1 or 0");
    }
    return false;
  };

  switches.delayMs = readNumber(u"ILVO_RAR_STANDIN_DELAY_MS").value_or(0);
  switches.exitCode = readNumber(u"ILVO_RAR_STANDIN_EXIT");
  switches.crash = readFlag(u"ILVO_RAR_STANDIN_CRASH");
  switches.ask = readFlag(u"ILVO_RAR_STANDIN_ASK");
  switches.readOnly = readFlag(u"ILVO_RAR_STANDIN_READONLY");
  switches.filePauseMs = readNumber(u"ILVO_RAR_STANDIN_FILE_PAUSE_MS").value_or(0);
  switches.logPath = lookup(u"ILVO_RAR_STANDIN_LOG").value_or(u"");
  switches.showLogPath = lookup(u"ILVO_RAR_STANDIN_SHOW_LOG").value_or(u"");
  switches.consoleLogPath = lookup(u"ILVO_RAR_STANDIN_CONSOLE_LOG").value_or(u"");
  return switches;
}

}  // namespace rar_standin
