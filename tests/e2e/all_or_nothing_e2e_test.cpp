// An install or repair is all or nothing, on the real installer under Wine:
// a failed extraction is undone before its message, one cut short is undone
// at the next start, and a second copy started meanwhile touches nothing.
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

// The names in the application folder, sorted: what an attempt left there.
std::vector<std::wstring> NamesIn(const fs::path& folder) {
  std::vector<std::wstring> names;
  for (const auto& entry : fs::directory_iterator(folder)) names.push_back(entry.path().filename().wstring());
  std::sort(names.begin(), names.end());
  return names;
}

bool AllVoiceFilesExist(const AppFolder& folder) {
  for (const wchar_t* extension : kVoiceFiles) {
    if (!folder.VoiceFileExists(extension)) return false;
  }
  return true;
}

// Ends a process and waits until it has gone.
void Terminate(DWORD processId) {
  HANDLE process = OpenProcess(PROCESS_TERMINATE | SYNCHRONIZE, FALSE, processId);
  ASSERT_NE(process, nullptr) << "process " << processId;
  TerminateProcess(process, 99);
  EXPECT_EQ(WaitForSingleObject(process, 10000), WAIT_OBJECT_0);
  CloseHandle(process);
}

// Runs the installer of the folder with a switch and no window; its exit code.
std::optional<DWORD> RunSwitch(const AppFolder& folder, const std::wstring& arguments) {
  const fs::path exe = folder.Path() / L"IlvoInstaller.exe";
  std::wstring commandLine = L"\"" + exe.wstring() + L"\" " + arguments;
  STARTUPINFOW startup{};
  startup.cb = sizeof startup;
  PROCESS_INFORMATION info{};
  if (!CreateProcessW(exe.c_str(), commandLine.data(), nullptr, nullptr, FALSE, 0, nullptr, folder.Path().c_str(),
                      &startup, &info)) {
    return std::nullopt;
  }
  CloseHandle(info.hThread);
  std::optional<DWORD> code;
  if (WaitForSingleObject(info.hProcess, 60000) == WAIT_OBJECT_0) {
    DWORD exitCode = 0;
    GetExitCodeProcess(info.hProcess, &exitCode);
    code = exitCode;
  } else {
    TerminateProcess(info.hProcess, 99);
  }
  CloseHandle(info.hProcess);
  return code;
}

// Opens the window in the folder, checks its caption and closes it again.
void ExpectNextStartShows(const AppFolder& folder, const std::wstring& caption) {
  InstallerRun next(folder);
  OpenIn(next, caption);
  next.RequestClose();
  EXPECT_EQ(next.WaitForExit(), 0u);
}

TEST_F(AllOrNothing, AnInstallWhoseExtractorFailsAfterWritingLeavesNothing) {
  AppFolder folder(L"failed install", {});
  const std::vector<std::wstring> before = NamesIn(folder.Path());
  InstallerRun run(folder, {L"ILVO_RAR_STANDIN_EXIT=3"});
  OpenIn(run, L"Ilvo - 音源不存在");
  run.Click(run.Control(IDC_QORBUTTON_AZ));
  auto box = run.WaitForMessageBox();
  ASSERT_TRUE(box);
  EXPECT_EQ(box->text, L"音源[安装]失败！\r\n解压程序返回错误代码 3");
  // Undone by the time the user reads it.
  for (const wchar_t* extension : kVoiceFiles) EXPECT_FALSE(folder.VoiceFileExists(extension)) << extension;
  EXPECT_FALSE(fs::exists(folder.VoiceFolder()));
  EXPECT_FALSE(VoiceKeyExists());
  EXPECT_FALSE(UninstallEntryExists()) << "not in the list of installed programs";
  EXPECT_EQ(NamesIn(folder.Path()), before);
  run.Answer(*box, IDOK);
  EXPECT_EQ(run.WaitForExit(), 0u);

  ExpectNextStartShows(folder, L"Ilvo - 音源不存在");
  EXPECT_FALSE(VoiceKeyExists());
}

TEST_F(AllOrNothing, ARepairThatFailsTakesBackOnlyTheFilesItWrote) {
  AppFolder folder(L"failed repair", {});
  folder.PlaceVoiceFiles({L".ddb"});
  const std::string kept = ReadAll(folder.VoiceFile(L".ddb"));
  const std::vector<std::wstring> before = NamesIn(folder.Path());
  InstallerRun run(folder, {L"ILVO_RAR_STANDIN_EXIT=3"});
  OpenIn(run, L"Ilvo - 音源不完全");
  run.Click(run.Control(IDC_QORBUTTON_XF));
  auto box = run.WaitForMessageBox();
  ASSERT_TRUE(box);
  EXPECT_EQ(box->text, L"音源[修复]失败！\r\n解压程序返回错误代码 3");
  EXPECT_FALSE(folder.VoiceFileExists(L".ddi"));
  EXPECT_FALSE(folder.VoiceFileExists(L".vvd"));
  ASSERT_TRUE(folder.VoiceFileExists(L".ddb"));
  EXPECT_EQ(ReadAll(folder.VoiceFile(L".ddb")), kept);
  EXPECT_EQ(NamesIn(folder.Path()), before);
  run.Answer(*box, IDOK);
  EXPECT_EQ(run.WaitForExit(), 0u);

  ExpectNextStartShows(folder, L"Ilvo - 音源不完全");
  EXPECT_FALSE(VoiceKeyExists());
}

TEST_F(AllOrNothing, AnInstallCutShortIsUndoneAtTheNextStartInTheWindowAndInAScript) {
  for (const bool script : {false, true}) {
    SCOPED_TRACE(script ? "/status" : "the window");
    DeleteVoiceRecord();
    AppFolder folder(L"cut short", {});
    const std::vector<std::wstring> before = NamesIn(folder.Path());
    {
      InstallerRun run(folder, {L"ILVO_RAR_STANDIN_DELAY_MS=120000"});
      OpenIn(run, L"Ilvo - 音源不存在");
      run.Click(run.Control(IDC_QORBUTTON_AZ));
      ASSERT_TRUE(WaitUntil([&] { return AllVoiceFilesExist(folder); }, 30s));
      const std::optional<DWORD> extractor = test_support::FindChildProcess(run.ProcessId(), L"Rar.exe");
      ASSERT_TRUE(extractor);
      // As the task manager or a power loss would: the installer first, so
      // that it never sees the extractor end.
      Terminate(run.ProcessId());
      Terminate(*extractor);
    }
    ASSERT_TRUE(AllVoiceFilesExist(folder));

    if (script) {
      EXPECT_EQ(RunSwitch(folder, L"/status /quiet"), 2u);
    } else {
      ExpectNextStartShows(folder, L"Ilvo - 音源不存在");
    }
    EXPECT_FALSE(VoiceKeyExists());
    for (const wchar_t* extension : kVoiceFiles) EXPECT_FALSE(folder.VoiceFileExists(extension)) << extension;
    EXPECT_EQ(NamesIn(folder.Path()), before);
  }
}

TEST_F(AllOrNothing, ASecondCopyStartedDuringTheExtractionWritesNothing) {
  AppFolder folder(L"second copy", {});
  InstallerRun first(folder, {L"ILVO_RAR_STANDIN_DELAY_MS=8000"});
  OpenIn(first, L"Ilvo - 音源不存在");
  first.Click(first.Control(IDC_QORBUTTON_AZ));
  ASSERT_TRUE(WaitUntil([&] { return AllVoiceFilesExist(folder); }, 30s));

  {
    InstallerRun second(folder);
    EXPECT_EQ(second.WaitForExit(), 0u);
    EXPECT_EQ(second.WaitForWindow(200ms), nullptr);
  }
  EXPECT_EQ(RunSwitch(folder, L"/status /quiet"), 5u);
  EXPECT_TRUE(first.Running());
  EXPECT_FALSE(VoiceKeyExists()) << "registered over files still being written";

  ExpectOnlyMessage(first, L"提示", L"音源[安装]成功！");
  EXPECT_TRUE(VoiceKeyExists());
}

}  // namespace
}  // namespace e2e

int main(int argc, char** argv) {
  ::testing::InitGoogleTest(&argc, argv);
  e2e::ParseArguments(argc, argv);
  return RUN_ALL_TESTS();
}
