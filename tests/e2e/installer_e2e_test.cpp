// The real IlvoInstaller.exe, driven as a person would under Wine.
#include <gtest/gtest.h>

#include <filesystem>
#include <optional>
#include <string>
#include <vector>

#include "installer/window/control_ids.h"
#include "tests/e2e/e2e_steps.h"
#include "tests/e2e/e2e_support.h"

namespace e2e {
namespace {

using InstallerE2E = RecordCleanTest;

struct Offer {
  bool azUsable;
  bool xzShown;
  bool xzUsable;
  bool xztUsable;
  bool xfUsable;
};

void ExpectOffer(const InstallerRun& run, const Offer& offer) {
  EXPECT_TRUE(run.Shown(IDC_QORBUTTON_AZ));
  EXPECT_EQ(run.Usable(IDC_QORBUTTON_AZ), offer.azUsable);
  EXPECT_EQ(run.Shown(IDC_QORBUTTON_XZ), offer.xzShown);
  if (offer.xzShown) {
    EXPECT_EQ(run.Usable(IDC_QORBUTTON_XZ), offer.xzUsable);
  }
  EXPECT_EQ(run.Usable(IDC_QORBUTTON_XZT), offer.xztUsable);
  EXPECT_EQ(run.Usable(IDC_QORBUTTON_XF), offer.xfUsable);
}

TEST_F(InstallerE2E, OpensInEachStateWithItsCaptionAndOffer) {
  struct Case {
    const wchar_t* folder;
    std::vector<const wchar_t*> files;
    bool key;
    const wchar_t* caption;
    Offer offer;
    const wchar_t* screenshot;
  } cases[] = {
      {L"state absent", {}, false, L"Ilvo - 音源不存在", {true, false, false, false, false}, L"state2-absent"},
      {L"state installed", {L".ddb", L".ddi", L".vvd"}, false, L"Ilvo - 音源已安装",
       {false, false, false, true, false}, L"state1-installed"},
      {L"state incomplete", {L".ddb"}, false, L"Ilvo - 音源不完全", {false, true, true, true, true},
       L"state3-incomplete"},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(testing::Message() << "folder " << std::filesystem::path(c.folder).string());
    DeleteVoiceRecord();
    AppFolder folder(c.folder, {});
    if (!c.files.empty()) folder.PlaceVoiceFiles(c.files);
    InstallerRun run(folder);
    OpenIn(run, c.caption);
    ExpectOffer(run, c.offer);
    EXPECT_EQ(run.FindControl(L"安装"), run.Control(IDC_QORBUTTON_AZ));
    run.Screenshot(c.screenshot);
    run.RequestClose();
    EXPECT_EQ(run.WaitForExit(), 0u);
  }
}

TEST_F(InstallerE2E, CompleteFilesWithoutKeyAreRegisteredAtStartAndASecondInstanceEndsUnseen) {
  AppFolder folder(L"complete", {});
  folder.PlaceVoiceFiles();
  InstallerRun first(folder);
  ASSERT_NO_FATAL_FAILURE(OpenIn(first, L"Ilvo - 音源已安装"));
  EXPECT_TRUE(VoiceKeyExists());

  InstallerRun second(folder);
  EXPECT_EQ(second.WaitForExit(), 0u);
  EXPECT_EQ(second.WaitForWindow(200ms), nullptr);
  EXPECT_TRUE(first.Running());
  first.RequestClose();
  EXPECT_EQ(first.WaitForExit(), 0u);
}

TEST_F(InstallerE2E, InstallFromAbsentShowsTheBusyWindowThenRegisters) {
  AppFolder folder(L"安装 测试", {});
  InstallerRun run(folder, {L"ILVO_RAR_STANDIN_DELAY_MS=2500"});
  ASSERT_NO_FATAL_FAILURE(OpenIn(run, L"Ilvo - 音源不存在"));
  run.Click(run.Control(IDC_QORBUTTON_AZ));
  ASSERT_TRUE(run.WaitForCaption(L"Ilvo - 安装中"));
  EXPECT_FALSE(run.Usable(IDC_QORBUTTON_AZ));
  // The busy runner moves every 30 ms while the extractor runs.
  const ScreenImage before = test_support::CaptureWindow(run.Control(IDC_PROGRESSBAR_1));
  EXPECT_TRUE(WaitUntil([&] { return test_support::CaptureWindow(run.Control(IDC_PROGRESSBAR_1)) != before; }, 2s));
  run.Screenshot(L"installing", false);

  run.RequestClose();  // refused while the extractor runs
  ASSERT_TRUE(run.WaitForMessageBox());
  // The finished look stays under the message.
  EXPECT_FALSE(run.Shown(IDC_PROGRESSBAR_1));
  EXPECT_TRUE(run.Shown(IDC_PROGRESSBAR_2));
  ExpectOnlyMessage(run, L"提示", L"音源[安装]成功！");

  for (const wchar_t* extension : {L".ddb", L".ddi", L".vvd"}) EXPECT_TRUE(folder.VoiceFileExists(extension));
  EXPECT_EQ(ReadDword(kVoiceKey, L"INSTALLED"), 1u);
  EXPECT_EQ(ReadAnsiString(kVoiceKey, L"DRP"), std::string("050010", 7));
}

TEST_F(InstallerE2E, RepairAddsTheMissingFile) {
  AppFolder folder(L"repair", {});
  folder.PlaceVoiceFiles({L".ddb", L".ddi"});
  const std::string kept = ReadAll(folder.VoiceFile(L".ddb"));
  InstallerRun run(folder);
  ASSERT_NO_FATAL_FAILURE(OpenIn(run, L"Ilvo - 音源不完全"));
  run.Click(run.Control(IDC_QORBUTTON_XF));
  ExpectOnlyMessage(run, L"提示", L"音源[修复]成功！");
  EXPECT_TRUE(folder.VoiceFileExists(L".vvd"));
  EXPECT_EQ(ReadAll(folder.VoiceFile(L".ddb")), kept);
  EXPECT_TRUE(VoiceKeyExists());
}

TEST_F(InstallerE2E, UninstallConfirmedRemovesEverythingCancelledChangesNothing) {
  for (bool confirm : {false, true}) {
    SCOPED_TRACE(confirm ? "OK" : "Cancel");
    AppFolder folder(L"uninstall", {});
    folder.PlaceVoiceFiles();
    InstallerRun run(folder);
    ASSERT_NO_FATAL_FAILURE(OpenIn(run, L"Ilvo - 音源已安装"));
    run.Click(run.Control(IDC_QORBUTTON_XZT));
    auto question = run.WaitForMessageBox();
    ASSERT_TRUE(question);
    EXPECT_EQ(question->title, L"警告窗口");
    EXPECT_EQ(question->text, L"确定要卸载么？");
    EXPECT_TRUE(question->hasCancel);
    run.Answer(*question, confirm ? IDOK : IDCANCEL);
    if (confirm) ExpectOnlyMessage(run, L"提示", L"音源[删除]成功！");
    EXPECT_EQ(run.WaitForExit(), 0u);
    EXPECT_EQ(VoiceKeyExists(), !confirm);
    EXPECT_EQ(std::filesystem::exists(folder.VoiceFolder()), !confirm);
  }
}

TEST_F(InstallerE2E, TabFromTheInitialFocusInStateOneAsksToUninstall) {
  AppFolder folder(L"tab", {});
  folder.PlaceVoiceFiles();
  InstallerRun run(folder);
  ASSERT_NO_FATAL_FAILURE(OpenIn(run, L"Ilvo - 音源已安装"));
  EXPECT_FALSE(run.WaitForMessageBox(500ms)) << "opening the window must start nothing";
  run.PressKey(VK_TAB);
  AnswerQuestion(run, L"确定要卸载么？", IDCANCEL);
  EXPECT_EQ(run.WaitForExit(), 0u);
  EXPECT_TRUE(VoiceKeyExists());
}

TEST_F(InstallerE2E, DoubleClickOnThePictureExportsTheRegistration) {
  AppFolder folder(L"export", {});
  InstallerRun run(folder);
  ASSERT_NO_FATAL_FAILURE(OpenIn(run, L"Ilvo - 音源不存在"));
  run.DoubleClickPicture();
  AnswerQuestion(run, L"需要导出注册表到文件目录么？", IDOK);
  ASSERT_TRUE(WaitUntil([&] { return std::filesystem::exists(folder.Path() / L"Ilvo.reg"); }, 10s));
  const std::string text = ReadAll(folder.Path() / L"Ilvo.reg");
  EXPECT_EQ(text.rfind("Windows Registry Editor Version 5.00\r\n\r\n", 0), 0u);
  EXPECT_TRUE(run.Running()) << "the export leaves the window as it was";
  run.RequestClose();
  EXPECT_EQ(run.WaitForExit(), 0u);
}

std::wstring Doubled(const std::wstring& text) {
  std::wstring doubled;
  for (const wchar_t c : text) {
    doubled += c;
    if (c == L'\\') doubled += c;
  }
  return doubled;
}

// The text after a UTF-16LE byte-order mark, or nothing without one.
std::optional<std::wstring> DecodeUtf16Le(const std::string& bytes) {
  if (bytes.size() % 2 != 0 || bytes.rfind("\xFF\xFE", 0) != 0) return std::nullopt;
  std::wstring text;
  for (std::size_t i = 2; i < bytes.size(); i += 2) {
    text += static_cast<wchar_t>(static_cast<unsigned char>(bytes[i]) | (static_cast<unsigned char>(bytes[i + 1]) << 8));
  }
  return text;
}

// The voice shows in the system's list of installed programs, and that list
// uninstalls it: Wine's own uninstaller, as a person would use the list.
TEST_F(InstallerE2E, TheListOfInstalledProgramsNamesTheVoiceAndUninstallsIt) {
  AppFolder folder(L"listed", {});
  InstallerRun run(folder);
  OpenIn(run, L"Ilvo - 音源不存在");
  run.Click(run.Control(IDC_QORBUTTON_AZ));
  ExpectOnlyMessage(run, L"提示", L"音源[安装]成功！");
  ASSERT_TRUE(UninstallEntryExists());
  const std::optional<std::string> listed = CaptureOutput(L"uninstaller.exe --list");
  ASSERT_TRUE(listed);
  EXPECT_NE(listed->find("Ilvo_KT3WQ8ZRMD5LXNVC|||TIRELUNA2 Voice DB (Ilvo)"), std::string::npos) << *listed;

  // --remove starts the entry's UninstallString: the program with /uninstall,
  // which asks nothing and shows only its result.
  std::wstring remove = L"uninstaller.exe --remove Ilvo_KT3WQ8ZRMD5LXNVC";
  STARTUPINFOW startup{};
  startup.cb = sizeof startup;
  PROCESS_INFORMATION info{};
  ASSERT_TRUE(CreateProcessW(nullptr, remove.data(), nullptr, nullptr, FALSE, 0, nullptr, nullptr, &startup, &info));
  const test_support::OwnedHandle uninstaller(info.hProcess);
  const test_support::OwnedHandle uninstallerThread(info.hThread);
  std::optional<DWORD> started;
  HWND box = nullptr;
  ASSERT_TRUE(WaitUntil([&] {
    started = FindProcess(L"IlvoInstaller.exe");
    return started && (box = FindShownWindow(*started, ShownWindow::MessageBox)) != nullptr;
  }, 30s));
  const test_support::OwnedHandle program(OpenProcess(SYNCHRONIZE, FALSE, *started));
  std::wstring text(256, L'\0');
  text.resize(static_cast<std::size_t>(GetDlgItemTextW(box, 0xFFFF, text.data(), 256)));
  EXPECT_EQ(text, L"音源[删除]成功！");
  PostMessageW(box, WM_COMMAND, MAKEWPARAM(IDOK, BN_CLICKED), reinterpret_cast<LPARAM>(GetDlgItem(box, IDOK)));
  EXPECT_EQ(WaitForSingleObject(program.Get(), 20000), WAIT_OBJECT_0);
  EXPECT_EQ(WaitForSingleObject(uninstaller.Get(), 20000), WAIT_OBJECT_0);

  for (const wchar_t* extension : {L".ddb", L".ddi", L".vvd"}) EXPECT_FALSE(folder.VoiceFileExists(extension));
  EXPECT_FALSE(VoiceKeyExists());
  EXPECT_FALSE(UninstallEntryExists());
  const std::optional<std::string> after = CaptureOutput(L"uninstaller.exe --list");
  ASSERT_TRUE(after);
  EXPECT_EQ(after->find("Ilvo_KT3WQ8ZRMD5LXNVC"), std::string::npos) << *after;
}

// The backup the export makes is restored where the host reads the record:
// the registry editor of the machine's own width imports the file into the
// 32-bit view.
TEST_F(InstallerE2E, TheExportedFileRestoresTheRecordWhereTheHostReadsIt) {
  AppFolder folder(L"export restore", {});
  folder.PlaceVoiceFiles();
  InstallerRun run(folder);
  ASSERT_NO_FATAL_FAILURE(OpenIn(run, L"Ilvo - 音源已安装"));  // registered at the start
  run.DoubleClickPicture();
  AnswerQuestion(run, L"需要导出注册表到文件目录么？", IDOK);
  const std::filesystem::path exported = folder.Path() / L"Ilvo.reg";
  ASSERT_TRUE(WaitUntil([&] { return std::filesystem::exists(exported); }, 10s));
  run.RequestClose();
  ASSERT_EQ(run.WaitForExit(), 0u);

  const wchar_t* const strings[] = {L"NAME", L"TIME", L"DRP", L"INSTALLDIR"};
  const auto written = [&] {
    std::vector<std::optional<std::string>> values{ReadAnsiString(kVoiceParentKey, L"VOICEDIR")};
    for (const wchar_t* name : strings) values.push_back(ReadAnsiString(kVoiceKey, name));
    return values;
  }();
  ASSERT_TRUE(written[0].has_value());
  DeleteVoiceRecord();
  ASSERT_FALSE(VoiceKeyExists());

  std::wstring commandLine = L"regedit.exe /s \"" + exported.wstring() + L"\"";
  STARTUPINFOW startup{};
  startup.cb = sizeof startup;
  PROCESS_INFORMATION info{};
  ASSERT_TRUE(CreateProcessW(nullptr, commandLine.data(), nullptr, nullptr, FALSE, 0, nullptr, nullptr, &startup,
                             &info));
  CloseHandle(info.hThread);
  EXPECT_EQ(WaitForSingleObject(info.hProcess, 60000), WAIT_OBJECT_0);
  CloseHandle(info.hProcess);

  ASSERT_TRUE(VoiceKeyExists()) << "the record is back in the 32-bit view";
  EXPECT_EQ(ReadDword(kVoiceKey, L"INSTALLED"), 1u);
  std::vector<std::optional<std::string>> restored{ReadAnsiString(kVoiceParentKey, L"VOICEDIR")};
  for (const wchar_t* name : strings) restored.push_back(ReadAnsiString(kVoiceKey, name));
  EXPECT_EQ(restored, written);
}

TEST_F(InstallerE2E, AFolderNameTheCodePageCannotHoldIsKeptWholeThroughout) {
  // Code page 936 has no Hangul: through it the name would become "?? ??".
  AppFolder folder(L"음성 보관", {});
  const std::wstring path = folder.Path().wstring();
  {
    InstallerRun run(folder);
    ASSERT_NO_FATAL_FAILURE(OpenIn(run, L"Ilvo - 音源不存在"));
    run.Click(run.Control(IDC_QORBUTTON_AZ));
    ExpectOnlyMessage(run, L"提示", L"音源[安装]成功！");
  }
  for (const wchar_t* extension : {L".ddb", L".ddi", L".vvd"}) EXPECT_TRUE(folder.VoiceFileExists(extension));
  EXPECT_EQ(ReadWideString(kVoiceParentKey, L"VOICEDIR"), path + L'\0');
  EXPECT_EQ(ReadWideString(kVoiceKey, L"INSTALLDIR"), path + L'\0');

  InstallerRun next(folder);  // the next start sees the voice installed
  ASSERT_NO_FATAL_FAILURE(OpenIn(next, L"Ilvo - 音源已安装"));

  next.DoubleClickPicture();
  AnswerQuestion(next, L"需要导出注册表到文件目录么？", IDOK);
  const std::filesystem::path exported = folder.Path() / L"Ilvo.reg";
  ASSERT_TRUE(WaitUntil([&] { return std::filesystem::exists(exported); }, 10s));
  const std::wstring dir = Doubled(path);
  const std::wstring expected =
      L"Windows Registry Editor Version 5.00\r\n"
      L"\r\n"
      L"[HKEY_LOCAL_MACHINE\\" + ExportedSoftwareKey() + L"\\TIRELUNA2\\DATABASE\\VOICE]\r\n"
      L"\"VOICEDIR\"=\"" + dir + L"\"\r\n"
      L"\r\n"
      L"[HKEY_LOCAL_MACHINE\\" + ExportedSoftwareKey() + L"\\TIRELUNA2\\DATABASE\\VOICE\\KT3WQ8ZRMD5LXNVC]\r\n"
      L"\"INSTALLED\"=dword:00000001\r\n"
      L"\"NAME\"=\"TIRELUNA2 Voice DB (Ilvo)\"\r\n"
      L"\"TIME\"=\"R4NXC8VJ2TQM6WHE\"\r\n"
      L"\"DRP\"=\"050010\"\r\n"
      L"\"INSTALLDIR\"=\"" + dir + L"\"\r\n"
      L"\r\n";
  EXPECT_EQ(DecodeUtf16Le(ReadAll(exported)), expected);
  EXPECT_TRUE(next.Running()) << "the export leaves the window as it was";

  next.Click(next.Control(IDC_QORBUTTON_XZT));
  AnswerQuestion(next, L"确定要卸载么？", IDOK);
  ExpectOnlyMessage(next, L"提示", L"音源[删除]成功！");
  EXPECT_FALSE(VoiceKeyExists());
  EXPECT_FALSE(std::filesystem::exists(folder.VoiceFolder()));
  EXPECT_TRUE(std::filesystem::exists(exported)) << "uninstall leaves the export file";
}

}  // namespace
}  // namespace e2e
