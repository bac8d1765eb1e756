// An install or repair is all or nothing, on the real installer under Wine:
// the extractor works in a staging folder of the installer's own, a failed
// attempt's folder goes before its message, one cut short goes at the next
// start with the extractor ended with the installer, and a second copy
// started meanwhile, under any name, touches nothing.
#include <windows.h>

#include <gtest/gtest.h>

#include <algorithm>
#include <filesystem>
#include <optional>
#include <string>
#include <vector>

#include "installer/window/control_ids.h"
#include "tests/e2e/e2e_steps.h"
#include "tests/e2e/e2e_support.h"

namespace e2e {
namespace {

namespace fs = std::filesystem;

using AllOrNothing = RecordCleanTest;

const wchar_t* const kVoiceFiles[] = {L".ddb", L".ddi", L".vvd"};

fs::path Staged(const AppFolder& folder, const wchar_t* extension) {
  return folder.Path() / L"Ilvo.staging" / kVoiceId / (std::wstring(L"Ilvo") + extension);
}

// The extractor has written the three files into the staging folder.
bool AllVoiceFilesStaged(const AppFolder& folder) {
  for (const wchar_t* extension : kVoiceFiles) {
    if (!fs::exists(Staged(folder, extension))) return false;
  }
  return true;
}

// Starts an install in the window whose extractor pauses long after writing
// its files, and waits until it has written them.
void StartAnInstallThatPauses(InstallerRun& run, const AppFolder& folder) {
  OpenIn(run, L"Ilvo - 音源不存在");
  run.Click(run.Control(IDC_QORBUTTON_AZ));
  ASSERT_TRUE(WaitUntil([&] { return AllVoiceFilesStaged(folder); }, 30s));
  ASSERT_TRUE(test_support::FindChildProcess(run.ProcessId(), L"Rar.exe"));
}

// Opens the window in the folder, checks its caption and closes it again.
void ExpectNextStartShows(const AppFolder& folder, const std::wstring& caption) {
  InstallerRun next(folder);
  OpenIn(next, caption);
  next.RequestClose();
  EXPECT_EQ(next.WaitForExit(), 0u);
}

TEST_F(AllOrNothing, AnInstallWhoseExtractorFailsAfterWritingLeavesNothing) {
  // Read-only files, as an extractor restores them from the archive, go too.
  for (const bool readOnly : {false, true}) {
    SCOPED_TRACE(readOnly ? "read-only files" : "plain files");
    AppFolder folder(L"failed install", {});
    const std::vector<std::wstring> before = NamesIn(folder.Path());
    std::vector<std::wstring> environment{L"ILVO_RAR_STANDIN_EXIT=3"};
    if (readOnly) environment.push_back(L"ILVO_RAR_STANDIN_READONLY=1");
    InstallerRun run(folder, environment);
    OpenIn(run, L"Ilvo - 音源不存在");
    run.Click(run.Control(IDC_QORBUTTON_AZ));
    auto box = run.WaitForMessageBox();
    ASSERT_TRUE(box);
    // No line saying that files were left.
    EXPECT_EQ(box->text, L"音源[安装]失败！\r\n解压程序返回错误代码 3");
    // Gone by the time the user reads it.
    EXPECT_FALSE(fs::exists(folder.VoiceFolder()));
    EXPECT_FALSE(VoiceKeyExists());
    EXPECT_FALSE(UninstallEntryExists()) << "not in the list of installed programs";
    EXPECT_EQ(NamesIn(folder.Path()), before);
    run.Answer(*box, IDOK);
    EXPECT_EQ(run.WaitForExit(), 0u);

    ExpectNextStartShows(folder, L"Ilvo - 音源不存在");
    EXPECT_FALSE(VoiceKeyExists());
  }
}

TEST_F(AllOrNothing, ARepairKeepsTheFileThatWasThereWhetherItSucceedsOrFails) {
  for (const bool fails : {true, false}) {
    SCOPED_TRACE(fails ? "the extractor fails" : "the extractor succeeds");
    DeleteVoiceRecord();
    AppFolder folder(L"repair keeps", {});
    folder.PlaceVoiceFiles({L".ddb"});
    const std::string kept = ReadAll(folder.VoiceFile(L".ddb"));
    const std::vector<std::wstring> before = NamesIn(folder.Path());
    InstallerRun run(folder, fails ? std::vector<std::wstring>{L"ILVO_RAR_STANDIN_EXIT=3"} : std::vector<std::wstring>{});
    OpenIn(run, L"Ilvo - 音源不完全");
    run.Click(run.Control(IDC_QORBUTTON_XF));
    auto box = run.WaitForMessageBox();
    ASSERT_TRUE(box);
    EXPECT_EQ(box->text, fails ? L"音源[修复]失败！\r\n解压程序返回错误代码 3" : L"音源[修复]成功！");
    EXPECT_EQ(folder.VoiceFileExists(L".ddi"), !fails);
    EXPECT_EQ(folder.VoiceFileExists(L".vvd"), !fails);
    ASSERT_TRUE(folder.VoiceFileExists(L".ddb"));
    EXPECT_EQ(ReadAll(folder.VoiceFile(L".ddb")), kept);
    EXPECT_EQ(NamesIn(folder.Path()), before);
    EXPECT_EQ(VoiceKeyExists(), !fails);
    run.Answer(*box, IDOK);
    EXPECT_EQ(run.WaitForExit(), 0u);

    ExpectNextStartShows(folder, fails ? L"Ilvo - 音源不完全" : L"Ilvo - 音源已安装");
    EXPECT_EQ(ReadAll(folder.VoiceFile(L".ddb")), kept);
  }
}

TEST_F(AllOrNothing, TheExtractorEndsWithTheInstallerAndTheNextStartFindsNothingOfTheAttempt) {
  for (const bool script : {false, true}) {
    SCOPED_TRACE(script ? "/status" : "the window");
    DeleteVoiceRecord();
    AppFolder folder(L"cut short", {});
    const std::vector<std::wstring> before = NamesIn(folder.Path());
    {
      InstallerRun run(folder, {L"ILVO_RAR_STANDIN_DELAY_MS=120000"});
      ASSERT_NO_FATAL_FAILURE(StartAnInstallThatPauses(run, folder));
      // As the task manager's End task would: the installer alone.
      Terminate(run.ProcessId());
    }
    EXPECT_TRUE(WaitUntil([] { return !FindProcess(L"Rar.exe"); }, 20s)) << "the extractor outlived the installer";
    EXPECT_FALSE(fs::exists(folder.VoiceFolder())) << "nothing reached the voice folder";

    if (script) {
      EXPECT_EQ(RunSwitch(folder, L"/status /quiet"), 2u);
    } else {
      ExpectNextStartShows(folder, L"Ilvo - 音源不存在");
    }
    EXPECT_FALSE(VoiceKeyExists());
    EXPECT_EQ(NamesIn(folder.Path()), before);
  }
}

TEST_F(AllOrNothing, FilesPutInPlaceByHandAfterAnAttemptCutShortSurvive) {
  for (const bool script : {false, true}) {
    SCOPED_TRACE(script ? "/status" : "the window");
    DeleteVoiceRecord();
    AppFolder folder(L"by hand", {});
    {
      InstallerRun run(folder, {L"ILVO_RAR_STANDIN_DELAY_MS=120000"});
      ASSERT_NO_FATAL_FAILURE(StartAnInstallThatPauses(run, folder));
      Terminate(run.ProcessId());
    }
    ASSERT_TRUE(WaitUntil([] { return !FindProcess(L"Rar.exe"); }, 20s));
    // Extracted by hand, or brought back from a backup: the only copy.
    folder.PlaceVoiceFiles();
    std::vector<std::string> mine;
    for (const wchar_t* extension : kVoiceFiles) mine.push_back(ReadAll(folder.VoiceFile(extension)));

    if (script) {
      EXPECT_EQ(RunSwitch(folder, L"/status /quiet"), 1u);
    } else {
      ExpectNextStartShows(folder, L"Ilvo - 音源已安装");
    }
    for (std::size_t i = 0; i < std::size(kVoiceFiles); ++i) {
      ASSERT_TRUE(folder.VoiceFileExists(kVoiceFiles[i])) << i;
      EXPECT_EQ(ReadAll(folder.VoiceFile(kVoiceFiles[i])), mine[i]) << i;
    }
    EXPECT_TRUE(VoiceKeyExists());
    EXPECT_FALSE(fs::exists(folder.Path() / L"Ilvo.staging"));
  }
}

TEST_F(AllOrNothing, AQuestionOfTheExtractorGetsNoAnswerAndFailsTheAttempt) {
  AppFolder folder(L"question", {});
  const std::vector<std::wstring> before = NamesIn(folder.Path());
  {
    InstallerRun run(folder, {L"ILVO_RAR_STANDIN_ASK=1"});
    OpenIn(run, L"Ilvo - 音源不存在");
    run.Click(run.Control(IDC_QORBUTTON_AZ));
    auto box = run.WaitForMessageBox(30s);
    ASSERT_TRUE(box) << "the extractor still waits for an answer";
    EXPECT_EQ(box->text, L"音源[安装]失败！\r\n解压程序返回错误代码 255");
    run.Answer(*box, IDOK);
    EXPECT_EQ(run.WaitForExit(), 0u);
  }
  EXPECT_EQ(NamesIn(folder.Path()), before);
  EXPECT_FALSE(VoiceKeyExists());

  // A script is not held up either.
  SetEnvironmentVariableW(L"ILVO_RAR_STANDIN_ASK", L"1");
  const std::optional<DWORD> code = RunSwitch(folder, L"/install /quiet");
  SetEnvironmentVariableW(L"ILVO_RAR_STANDIN_ASK", nullptr);
  EXPECT_EQ(code, 20u);
  EXPECT_EQ(NamesIn(folder.Path()), before);
  EXPECT_FALSE(VoiceKeyExists());
}

TEST_F(AllOrNothing, ASecondCopyUnderAnyNameStartedDuringTheExtractionWritesNothing) {
  AppFolder folder(L"second copy", {});
  fs::copy_file(folder.Path() / L"IlvoInstaller.exe", folder.Path() / L"setup.exe");
  InstallerRun first(folder, {L"ILVO_RAR_STANDIN_DELAY_MS=15000"});
  ASSERT_NO_FATAL_FAILURE(StartAnInstallThatPauses(first, folder));

  {
    InstallerRun second(folder);
    EXPECT_EQ(second.WaitForExit(), 0u);
    EXPECT_EQ(second.WaitForWindow(200ms), nullptr);
  }
  EXPECT_EQ(RunSwitch(folder, L"", L"setup.exe"), 0u) << "a renamed copy shows no window and ends";
  EXPECT_EQ(RunSwitch(folder, L"/status /quiet"), 5u);
  EXPECT_EQ(RunSwitch(folder, L"/status /quiet", L"setup.exe"), 5u);
  EXPECT_TRUE(first.Running());
  EXPECT_TRUE(AllVoiceFilesStaged(folder)) << "a second copy removed the first one's extraction";
  EXPECT_FALSE(VoiceKeyExists()) << "registered over files still being written";

  ExpectOnlyMessage(first, L"提示", L"音源[安装]成功！");
  EXPECT_TRUE(VoiceKeyExists());
}

TEST_F(AllOrNothing, UninstallRemovesAnEntryLeftAloneInTheListOfInstalledPrograms) {
  AppFolder folder(L"orphan entry", {});
  HKEY entry = nullptr;
  ASSERT_EQ(RegCreateKeyExW(HKEY_LOCAL_MACHINE, kUninstallEntryKey.c_str(), 0, nullptr, 0,
                            KEY_ALL_ACCESS | KEY_WOW64_32KEY, nullptr, &entry, nullptr),
            ERROR_SUCCESS);
  RegCloseKey(entry);
  ASSERT_TRUE(UninstallEntryExists());

  EXPECT_EQ(RunSwitch(folder, L"/uninstall /quiet"), 0u);
  EXPECT_FALSE(UninstallEntryExists());
  // Nothing at all is left now.
  EXPECT_EQ(RunSwitch(folder, L"/uninstall /quiet"), 10u);
}

}  // namespace
}  // namespace e2e
