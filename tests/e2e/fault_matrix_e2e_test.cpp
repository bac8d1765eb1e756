// Every bad situation a user can meet, on the real installer under Wine: each
// ends in its exact message, nothing that should survive is lost, and the
// program ends normally (no crash).
#include <gtest/gtest.h>

#include <algorithm>
#include <fstream>
#include <iostream>

#include "installer/window/control_ids.h"
#include "installer/window/resource_ids.h"
#include "tests/e2e/e2e_steps.h"
#include "tests/e2e/e2e_support.h"

namespace e2e {
namespace {

namespace fs = std::filesystem;

using FaultMatrix = RecordCleanTest;

TEST_F(FaultMatrix, MissingInstallationDataOffersNeitherInstallNorRepair) {
  struct Case {
    const char* what;
    AppFolder::Contents contents;
  } cases[] = {{"archive missing", {.archive = false}}, {"extractor missing", {.extractor = false}}};
  for (const auto& c : cases) {
    SCOPED_TRACE(c.what);
    AppFolder folder(L"missing data", c.contents);
    InstallerRun run(folder);
    OpenIn(run, L"Ilvo - 安装文件缺失");
    EXPECT_FALSE(run.Usable(IDC_QORBUTTON_AZ));
    EXPECT_FALSE(run.Usable(IDC_QORBUTTON_XF));
    run.RequestClose();
    EXPECT_EQ(run.WaitForExit(), 0u);
  }
}

TEST_F(FaultMatrix, FailingExtractorIsReportedAndNothingIsRegistered) {
  struct Case {
    const char* what;
    std::vector<std::wstring> environment;
    bool damaged;
    std::wstring cause;
  } cases[] = {
      {"exit 2", {L"ILVO_RAR_STANDIN_EXIT=2"}, false, L"解压程序返回错误代码 2"},
      {"exit 3", {L"ILVO_RAR_STANDIN_EXIT=3"}, false, L"解压程序返回错误代码 3"},
      {"exit 255", {L"ILVO_RAR_STANDIN_EXIT=255"}, false, L"解压程序返回错误代码 255"},
      // The code Windows also reports while a process runs: the installer
      // must see the end of the process and not wait for ever.
      {"exit 259", {L"ILVO_RAR_STANDIN_EXIT=259"}, false, L"解压程序返回错误代码 259"},
      {"crash", {L"ILVO_RAR_STANDIN_CRASH=1"}, false, L"解压程序返回错误代码 3221225477"},
      {"damaged archive", {}, true, L"解压程序返回错误代码 3"},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.what);
    DeleteVoiceRecord();
    AppFolder folder(L"failing extractor", {.damagedArchive = c.damaged});
    InstallerRun run(folder, c.environment);
    OpenIn(run, L"Ilvo - 音源不存在");
    const auto pressed = std::chrono::steady_clock::now();
    run.Click(run.Control(IDC_QORBUTTON_AZ));
    ExpectOnlyMessage(run, L"错误", L"音源[安装]失败！\r\n" + c.cause);
    std::cout << "[ note ] " << c.what << ": message after "
              << std::chrono::duration_cast<std::chrono::milliseconds>(std::chrono::steady_clock::now() - pressed).count()
              << " ms\n";
    EXPECT_FALSE(VoiceKeyExists());
    EXPECT_TRUE(fs::exists(folder.Path() / L"DATA" / L"Ilvo.yin")) << "the archive survives";
  }
}

TEST_F(FaultMatrix, ExtractorGoneAtTheMomentOfStart) {
  AppFolder folder(L"extractor gone", {});
  InstallerRun run(folder);
  OpenIn(run, L"Ilvo - 音源不存在");
  fs::remove(folder.Path() / L"DATA" / L"Rar.exe");
  run.Click(run.Control(IDC_QORBUTTON_AZ));
  ExpectOnlyMessage(run, L"错误", L"音源[安装]失败！\r\n解压程序无法启动");
  EXPECT_FALSE(VoiceKeyExists());
}

// Another program holding a file open without sharing, until it closes it.
class HeldFile {
 public:
  explicit HeldFile(const fs::path& path)
      : handle_(CreateFileW(path.c_str(), GENERIC_READ, 0, nullptr, OPEN_EXISTING, 0, nullptr)) {}
  HeldFile(const HeldFile&) = delete;
  HeldFile& operator=(const HeldFile&) = delete;
  ~HeldFile() { Release(); }
  void Release() {
    if (handle_ != INVALID_HANDLE_VALUE) CloseHandle(handle_);
    handle_ = INVALID_HANDLE_VALUE;
  }

 private:
  HANDLE handle_;
};

TEST_F(FaultMatrix, UninstallThatCannotFinishSaysTheVoiceIsInUseAndKeepsTheRest) {
  enum class Fault { HeldOpen, ReadOnly, ExtraFile };
  struct Case {
    const char* what;
    Fault fault;
    std::vector<const wchar_t*> kept;
  } cases[] = {
      {"voice file held open", Fault::HeldOpen, {L".ddi", L".ddb"}},
      {"read-only voice file", Fault::ReadOnly, {L".vvd", L".ddi", L".ddb"}},
      {"extra file in the voice folder", Fault::ExtraFile, {}},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.what);
    DeleteVoiceRecord();
    AppFolder folder(L"uninstall fault", {});
    folder.PlaceVoiceFiles();
    std::optional<HeldFile> held;
    if (c.fault == Fault::HeldOpen) held.emplace(folder.VoiceFile(L".ddi"));
    if (c.fault == Fault::ReadOnly) SetFileAttributesW(folder.VoiceFile(L".vvd").c_str(), FILE_ATTRIBUTE_READONLY);
    if (c.fault == Fault::ExtraFile) std::ofstream(folder.VoiceFolder() / L"notes.txt") << "mine";

    InstallerRun run(folder);
    OpenIn(run, L"Ilvo - 音源已安装");
    run.Click(run.Control(IDC_QORBUTTON_XZT));
    auto question = run.WaitForMessageBox();
    ASSERT_TRUE(question);
    run.Answer(*question, IDOK);
    ExpectOnlyMessage(run, L"错误", L"音源正被使用，请结束后再卸载");
    held.reset();

    EXPECT_FALSE(VoiceKeyExists()) << "the record goes first";
    for (const wchar_t* extension : {L".vvd", L".ddi", L".ddb"}) {
      const bool kept = std::find(c.kept.begin(), c.kept.end(), std::wstring_view(extension)) != c.kept.end();
      EXPECT_EQ(folder.VoiceFileExists(extension), kept) << fs::path(extension).string();
    }
    if (c.fault == Fault::ExtraFile) {
      EXPECT_EQ(ReadAll(folder.VoiceFolder() / L"notes.txt"), "mine");
    }
  }
}

TEST_F(FaultMatrix, ExportOverAnOldFileLeavesTheTwelveLinesOrTheOldFile) {
  // Wine, run as root, lets a program write into a read-only folder; an old
  // export file that is read-only cannot be replaced on either system.
  struct Case {
    const char* what;
    DWORD oldAttributes;
    bool replaced;
  } cases[] = {
      {"read-only", FILE_ATTRIBUTE_READONLY, false},
      {"hidden", FILE_ATTRIBUTE_HIDDEN, true},
      {"system", FILE_ATTRIBUTE_SYSTEM, true},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.what);
    AppFolder folder(L"export fault", {});
    const fs::path old = folder.Path() / L"Ilvo.reg";
    std::ofstream(old, std::ios::binary) << "old export";
    SetFileAttributesW(old.c_str(), c.oldAttributes);
    InstallerRun run(folder);
    OpenIn(run, L"Ilvo - 音源不存在");
    run.DoubleClickPicture();
    auto question = run.WaitForMessageBox();
    ASSERT_TRUE(question);
    run.Answer(*question, IDOK);
    if (c.replaced) {
      // Watched by its size: a reader holding the file open would keep it
      // from being replaced.
      std::error_code error;
      ASSERT_TRUE(WaitUntil([&] { return fs::file_size(old, error) > 20; }, 10s));
      const std::string text = ReadAll(old);
      EXPECT_EQ(text.rfind("Windows Registry Editor Version 5.00\r\n\r\n", 0), 0u);
      EXPECT_EQ(std::count(text.begin(), text.end(), '\n'), 12) << text;
      EXPECT_EQ(text.substr(text.size() - 4), "\r\n\r\n");
      EXPECT_EQ(GetFileAttributesW(old.c_str()) & (FILE_ATTRIBUTE_HIDDEN | FILE_ATTRIBUTE_SYSTEM), 0u);
      EXPECT_FALSE(run.WaitForMessageBox(500ms)) << "nothing to say";
    } else {
      auto failure = run.WaitForMessageBox();
      ASSERT_TRUE(failure);
      EXPECT_EQ(failure->title, L"错误");
      EXPECT_EQ(failure->text, L"注册表导出失败！");
      run.Answer(*failure, IDOK);
      EXPECT_EQ(ReadAll(old), "old export");
    }
    EXPECT_TRUE(run.WaitForCaption(L"Ilvo - 音源不存在")) << "the window stays as it was";
    std::vector<std::wstring> names;
    for (const auto& entry : fs::directory_iterator(folder.Path())) names.push_back(entry.path().filename().wstring());
    std::sort(names.begin(), names.end());
    EXPECT_EQ(names, (std::vector<std::wstring>{L"DATA", L"Ilvo.reg", L"IlvoInstaller.exe"})) << "no stray file";
    run.RequestClose();
    EXPECT_EQ(run.WaitForExit(), 0u);
  }
}

TEST_F(FaultMatrix, InstallWorksFromAnyApplicationFolder) {
  struct Case {
    const char* what;
    std::function<AppFolder()> make;
    std::string voicedir;  // as stored, code page 936
  };
  const Case cases[] = {
      {"spaces", [] { return AppFolder(L"with some spaces", {}); }, ""},
      {"Chinese characters", [] { return AppFolder(L"音源 安装", {}); }, ""},
      {"drive root", [] { return AppFolder::AtDriveRoot(L"Y:\\", {}); }, std::string("Y:\\", 4)},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.what);
    DeleteVoiceRecord();
    AppFolder folder = c.make();
    const fs::path showLog = folder.Path() / L"show.log";
    InstallerRun run(folder, {L"ILVO_RAR_STANDIN_SHOW_LOG=" + showLog.wstring()});
    OpenIn(run, L"Ilvo - 音源不存在");
    run.Click(run.Control(IDC_QORBUTTON_AZ));
    ExpectOnlyMessage(run, L"提示", L"音源[安装]成功！");
    EXPECT_EQ(ReadAll(showLog), "show 0\n") << "the extractor is started with its window hidden (SW_HIDE)";
    for (const wchar_t* extension : {L".vvd", L".ddi", L".ddb"}) EXPECT_TRUE(folder.VoiceFileExists(extension));
    EXPECT_EQ(ReadDword(kVoiceKey, L"INSTALLED"), 1u);
    if (!c.voicedir.empty()) {
      EXPECT_EQ(ReadAnsiString(kVoiceParentKey, L"VOICEDIR"), c.voicedir);
    }
  }
}

TEST_F(FaultMatrix, ClosingOrSwitchingAwayDuringExtractionStartsAndStopsNothing) {
  AppFolder folder(L"busy", {});
  const fs::path log = folder.Path() / L"extractor.log";
  InstallerRun run(folder, {L"ILVO_RAR_STANDIN_DELAY_MS=3000", L"ILVO_RAR_STANDIN_LOG=" + log.wstring()});
  OpenIn(run, L"Ilvo - 音源不存在");
  run.Click(run.Control(IDC_QORBUTTON_AZ));
  ASSERT_TRUE(run.WaitForCaption(L"Ilvo - 安装中"));

  run.RequestClose();
  // Another program comes to the front and the user returns to the installer.
  HWND other = CreateWindowExW(0, L"STATIC", L"another program", WS_OVERLAPPEDWINDOW | WS_VISIBLE, 0, 0, 200, 100,
                               nullptr, nullptr, nullptr, nullptr);
  SetForegroundWindow(other);
  WaitUntil([&] { return GetForegroundWindow() == other; }, 2s);
  run.BringToFront();
  DestroyWindow(other);
  EXPECT_TRUE(run.Running());
  EXPECT_EQ(run.Caption(), L"Ilvo - 安装中");

  ExpectOnlyMessage(run, L"提示", L"音源[安装]成功！");
  const std::string lines = ReadAll(log);
  EXPECT_EQ(std::count(lines.begin(), lines.end(), '\n'), 1) << "one extraction only:\n" << lines;
}

TEST_F(FaultMatrix, TheClosingMessageIsOwnedByTheWindowWhileAnotherProgramIsInFront) {
  AppFolder folder(L"owner", {});
  InstallerRun run(folder, {L"ILVO_RAR_STANDIN_DELAY_MS=2500"});
  OpenIn(run, L"Ilvo - 音源不存在");
  run.Click(run.Control(IDC_QORBUTTON_AZ));
  ASSERT_TRUE(run.WaitForCaption(L"Ilvo - 安装中"));
  // The user switches to another program while the extractor runs.
  HWND other = CreateWindowExW(0, L"STATIC", L"another program", WS_OVERLAPPEDWINDOW | WS_VISIBLE, 0, 0, 300, 200,
                               nullptr, nullptr, nullptr, nullptr);
  ASSERT_NE(other, nullptr);
  SetForegroundWindow(other);
  ASSERT_TRUE(WaitUntil([&] { return GetForegroundWindow() == other; }, 5s));

  auto box = run.WaitForMessageBox();
  ASSERT_TRUE(box);
  EXPECT_EQ(box->text, L"音源[安装]成功！");
  EXPECT_EQ(GetWindow(box->window, GW_OWNER), run.Window());
  EXPECT_FALSE(IsWindowEnabled(run.Window())) << "the box is modal to the window";
  run.Answer(*box, IDOK);
  EXPECT_EQ(run.WaitForExit(), 0u);
  DestroyWindow(other);
}

BOOL CALLBACK TakeFirstLanguage(HMODULE, LPCWSTR, LPCWSTR, WORD language, LONG_PTR found) {
  *reinterpret_cast<WORD*>(found) = language;
  return FALSE;
}

// The design data is a resource of the program; a damaged one must give a
// clear message, not a crash.
void ReplaceDesignData(const fs::path& exe, const std::string& text) {
  WORD language = MAKELANGID(LANG_NEUTRAL, SUBLANG_NEUTRAL);
  if (HMODULE module = LoadLibraryExW(exe.c_str(), nullptr, LOAD_LIBRARY_AS_DATAFILE)) {
    EnumResourceLanguagesW(
        module, MAKEINTRESOURCEW(10) /* RT_RCDATA */, MAKEINTRESOURCEW(IDR_FORM1_DESIGN), TakeFirstLanguage,
        reinterpret_cast<LONG_PTR>(&language));
    FreeLibrary(module);
  }
  HANDLE update = BeginUpdateResourceW(exe.c_str(), FALSE);
  ASSERT_NE(update, nullptr) << "BeginUpdateResourceW: error " << GetLastError();
  ASSERT_TRUE(UpdateResourceW(update, MAKEINTRESOURCEW(10), MAKEINTRESOURCEW(IDR_FORM1_DESIGN), language,
                              const_cast<char*>(text.data()), static_cast<DWORD>(text.size())));
  ASSERT_TRUE(EndUpdateResourceW(update, FALSE));
}

TEST_F(FaultMatrix, DamagedDesignDataIsAClearMessage) {
  AppFolder folder(L"design", {});
  ReplaceDesignData(folder.Path() / L"IlvoInstaller.exe", "Begin QORButton QORButtonXZ\n  caption = \"XZ\n");
  InstallerRun run(folder);
  auto box = run.WaitForMessageBox();
  ASSERT_TRUE(box);
  EXPECT_EQ(box->title, L"错误");
  EXPECT_EQ(box->text.rfind(L"安装程序无法启动：\r\ndesign data line 2", 0), 0u) << fs::path(box->text).string();
  run.Answer(*box, IDOK);
  EXPECT_EQ(run.WaitForExit(), 1u);
  EXPECT_FALSE(VoiceKeyExists());
}

}  // namespace
}  // namespace e2e
