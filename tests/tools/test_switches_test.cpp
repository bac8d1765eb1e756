#include "tools/rar_standin/test_switches.h"

#include <gtest/gtest.h>

#include <map>

namespace rar_standin {
namespace {

TestSwitches Read(const std::map<std::u16string, std::u16string>& environment) {
  return ReadTestSwitches([&](std::u16string_view name) -> std::optional<std::u16string> {
    const auto found = environment.find(std::u16string(name));
    if (found == environment.end()) return std::nullopt;
    return found->second;
  });
}

TEST(TestSwitches, OffUnlessSet) {
  const TestSwitches switches = Read({});
  EXPECT_EQ(switches.delayMs, 0u);
  EXPECT_FALSE(switches.exitCode);
  EXPECT_FALSE(switches.crash);
  EXPECT_FALSE(switches.ask);
  EXPECT_FALSE(switches.readOnly);
  EXPECT_EQ(switches.filePauseMs, 0u);
  EXPECT_TRUE(switches.logPath.empty());
  EXPECT_TRUE(switches.showLogPath.empty());
  EXPECT_TRUE(switches.consoleLogPath.empty());
  EXPECT_TRUE(switches.problems.empty());
}

TEST(TestSwitches, ReadsEverySwitch) {
  const TestSwitches switches = Read({{u"ILVO_RAR_STANDIN_DELAY_MS", u"1500"},
                                      {u"ILVO_RAR_STANDIN_EXIT", u"4294967295"},
                                      {u"ILVO_RAR_STANDIN_CRASH", u"1"},
                                      {u"ILVO_RAR_STANDIN_ASK", u"1"},
                                      {u"ILVO_RAR_STANDIN_READONLY", u"1"},
                                      {u"ILVO_RAR_STANDIN_FILE_PAUSE_MS", u"250"},
                                      {u"ILVO_RAR_STANDIN_LOG", u"C:\\logs\\音源.txt"},
                                      {u"ILVO_RAR_STANDIN_SHOW_LOG", u"C:\\logs\\show.txt"},
                                      {u"ILVO_RAR_STANDIN_CONSOLE_LOG", u"C:\\logs\\console.txt"}});
  EXPECT_EQ(switches.delayMs, 1500u);
  EXPECT_EQ(switches.exitCode, 4294967295u);
  EXPECT_TRUE(switches.crash);
  EXPECT_TRUE(switches.ask);
  EXPECT_TRUE(switches.readOnly);
  EXPECT_EQ(switches.filePauseMs, 250u);
  EXPECT_EQ(switches.logPath, u"C:\\logs\\音源.txt");
  EXPECT_EQ(switches.showLogPath, u"C:\\logs\\show.txt");
  EXPECT_EQ(switches.consoleLogPath, u"C:\\logs\\console.txt");
  EXPECT_TRUE(switches.problems.empty());
}

TEST(TestSwitches, ReportsAndIgnoresValuesItCannotRead) {
  const TestSwitches switches = Read({{u"ILVO_RAR_STANDIN_DELAY_MS", u"-5"},
                                      {u"ILVO_RAR_STANDIN_EXIT", u"4294967296"},
                                      {u"ILVO_RAR_STANDIN_CRASH", u"yes"},
                                      {u"ILVO_RAR_STANDIN_ASK", u"2"},
                                      {u"ILVO_RAR_STANDIN_READONLY", u"true"},
                                      {u"ILVO_RAR_STANDIN_FILE_PAUSE_MS", u"1s"}});
  EXPECT_EQ(switches.delayMs, 0u);
  EXPECT_FALSE(switches.exitCode);
  EXPECT_FALSE(switches.crash);
  EXPECT_FALSE(switches.ask);
  EXPECT_FALSE(switches.readOnly);
  EXPECT_EQ(switches.filePauseMs, 0u);
  EXPECT_EQ(switches.problems,
            (std::vector<std::string>{
                "ignoring ILVO_RAR_STANDIN_DELAY_MS=-5: not a number from 0 to 4294967295",
                "ignoring ILVO_RAR_STANDIN_EXIT=4294967296: not a number from 0 to 4294967295",
                "ignoring ILVO_RAR_STANDIN_CRASH=yes: use 1 or 0",
                "ignoring ILVO_RAR_STANDIN_ASK=2: use 1 or 0",
                "ignoring ILVO_RAR_STANDIN_READONLY=true: use 1 or 0",
                "ignoring ILVO_RAR_STANDIN_FILE_PAUSE_MS=1s: not a number from 0 to 4294967295"}));
}

}  // namespace
}  // namespace rar_standin
