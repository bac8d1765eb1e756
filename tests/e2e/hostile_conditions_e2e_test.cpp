// Hostile and unlucky conditions on the real installer under Wine: a link
// planted in place of the voice folder, a voice key that holds another
// subkey, the session ending during an extraction, a quit message during the
// wait. Each ends in its exact message and loses nothing that should stay.
#include <gtest/gtest.h>

#include <fstream>

#include "tests/support/probes.h"
#include "tests/support/wine_paths.h"
#include "installer/window/control_ids.h"
#include "tests/e2e/e2e_steps.h"
#include "tests/e2e/e2e_support.h"

namespace e2e {
namespace {

namespace fs = std::filesystem;

using HostileConditions = RecordCleanTest;
using test_support::StartUnix;
using test_support::UnixPath;

// A Unix symbolic link, made with ln -s and removed with rm (never through
// Windows calls, which could follow it into its target). Wine hands the
// command line on split at spaces, so neither path may hold one.
class UnixSymlink {
 public:
  UnixSymlink(const fs::path& link, const fs::path& target) : link_(link), unixLink_(UnixPath(link)) {
    if (!unixLink_.empty() && StartUnix(L"/bin/ln", L"-s " + UnixPath(target) + L" " + unixLink_)) {
      made_ = WaitUntil([&] { return IsLink(); }, 10s);
    }
  }
  UnixSymlink(const UnixSymlink&) = delete;
  UnixSymlink& operator=(const UnixSymlink&) = delete;
  ~UnixSymlink() {
    if (made_ && StartUnix(L"/bin/rm", L"-f " + unixLink_)) {
      WaitUntil([&] { return GetFileAttributesW(link_.c_str()) == INVALID_FILE_ATTRIBUTES; }, 10s);
    }
  }
  bool Made() const { return made_; }

 private:
  // Wine shows a Unix symbolic link to a folder as a reparse point.
  bool IsLink() const {
    const DWORD attributes = GetFileAttributesW(link_.c_str());
    return attributes != INVALID_FILE_ATTRIBUTES && (attributes & FILE_ATTRIBUTE_REPARSE_POINT) != 0;
  }

  fs::path link_;
  std::wstring unixLink_;
  bool made_ = false;
};

// A folder outside the application folder that a link may lead to.
class OutsideFolder {
 public:
  explicit OutsideFolder(const std::wstring& name) {
    wchar_t temp[MAX_PATH];
    GetTempPathW(MAX_PATH, temp);
    path_ = fs::path(temp) / L"ilvo-e2e-outside" / name;
    fs::remove_all(path_);
    fs::create_directories(path_);
  }
  OutsideFolder(const OutsideFolder&) = delete;
  OutsideFolder& operator=(const OutsideFolder&) = delete;
  ~OutsideFolder() {
    std::error_code error;
    fs::remove_all(path_, error);
  }
  const fs::path& Path() const { return path_; }
  void Put(const wchar_t* name, const std::string& content) {
    std::ofstream(path_ / name, std::ios::binary) << content;
  }
  // name and content of every file, in name order
  std::vector<std::pair<std::wstring, std::string>> Files() const {
    std::vector<std::pair<std::wstring, std::string>> files;
    for (const auto& entry : fs::directory_iterator(path_)) {
      files.emplace_back(entry.path().filename().wstring(), ReadAll(entry.path()));
    }
    std::sort(files.begin(), files.end());
    return files;
  }

 private:
  fs::path path_;
};

TEST_F(HostileConditions, LinkInPlaceOfTheVoiceFolderIsNeverFollowed) {
  struct Case {
    const char* what;
    bool installed;  // the voice files sit in the link's target
    std::wstring caption;
    int button;
    std::wstring failure;
  } cases[] = {
      {"install", false, L"Ilvo - 音源不存在", IDC_QORBUTTON_AZ, L"音源[安装]失败！\r\n音源文件夹是一个链接"},
      {"uninstall", true, L"Ilvo - 音源已安装", IDC_QORBUTTON_XZT, L"音源[删除]失败！\r\n音源文件夹是一个链接"},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.what);
    DeleteVoiceRecord();
    AppFolder folder(L"plantedlink", {});
    OutsideFolder target(L"target");
    target.Put(L"notes.txt", "someone else's file");
    if (c.installed) {
      for (const wchar_t* name : {L"Ilvo.ddb", L"Ilvo.ddi", L"Ilvo.vvd"}) target.Put(name, "someone else's voice");
    }
    const auto before = target.Files();
    UnixSymlink link(folder.VoiceFolder(), target.Path());
    ASSERT_TRUE(link.Made());

    InstallerRun run(folder);
    OpenIn(run, c.caption);
    run.Click(run.Control(c.button));
    if (c.installed) {
      auto question = run.WaitForMessageBox();
      ASSERT_TRUE(question);
      run.Answer(*question, IDOK);
    }
    ExpectOnlyMessage(run, L"错误", c.failure);

    EXPECT_EQ(target.Files(), before) << "nothing written or deleted in the link's target";
    EXPECT_EQ(target.Files().size(), c.installed ? 4u : 1u);
    if (!c.installed) {
      EXPECT_FALSE(VoiceKeyExists());
    }
  }
}

TEST_F(HostileConditions, UninstallRemovesAVoiceKeyThatHoldsAnotherSubkey) {
  AppFolder folder(L"extra subkey", {});
  folder.PlaceVoiceFiles();
  HKEY extra = nullptr;
  ASSERT_EQ(RegCreateKeyExW(HKEY_LOCAL_MACHINE, (kVoiceKey + L"\\Presets").c_str(), 0, nullptr, 0,
                            KEY_ALL_ACCESS | KEY_WOW64_32KEY, nullptr, &extra, nullptr),
            ERROR_SUCCESS);
  RegCloseKey(extra);

  InstallerRun run(folder);
  OpenIn(run, L"Ilvo - 音源已安装");
  run.Click(run.Control(IDC_QORBUTTON_XZT));
  auto question = run.WaitForMessageBox();
  ASSERT_TRUE(question);
  run.Answer(*question, IDOK);
  ExpectOnlyMessage(run, L"提示", L"音源[删除]成功！");
  EXPECT_FALSE(VoiceKeyExists()) << "success only when the record is really gone";
  for (const wchar_t* extension : {L".vvd", L".ddi", L".ddb"}) EXPECT_FALSE(folder.VoiceFileExists(extension));
  InstallerRun next(folder);
  OpenIn(next, L"Ilvo - 音源不存在");
  next.RequestClose();
  EXPECT_EQ(next.WaitForExit(), 0u);
}

// Waits until the extractor the installer started has ended too, so that the
// folder can be cleared.
void WaitForExtractorGone(DWORD installerId) {
  WaitUntil([&] { return !test_support::FindChildProcess(installerId, L"Rar.exe"); }, 20s);
}

LRESULT Ask(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
  DWORD_PTR answer = 0xDEAD;
  SendMessageTimeoutW(window, message, wParam, lParam, SMTO_ABORTIFHUNG, 5000, &answer);
  return static_cast<LRESULT>(answer);
}

TEST_F(HostileConditions, SessionEndIsHeldUpDuringAnExtractionAndRegistersNothingIfItComes) {
  AppFolder folder(L"session end", {});
  InstallerRun run(folder, {L"ILVO_RAR_STANDIN_DELAY_MS=4000"});
  OpenIn(run, L"Ilvo - 音源不存在");
  EXPECT_EQ(Ask(run.Window(), WM_QUERYENDSESSION, 0, 0), TRUE) << "idle, the session may end";

  run.Click(run.Control(IDC_QORBUTTON_AZ));
  ASSERT_TRUE(run.WaitForCaption(L"Ilvo - 安装中"));
  EXPECT_EQ(Ask(run.Window(), WM_QUERYENDSESSION, 0, 0), FALSE);
  EXPECT_TRUE(run.Running());
  EXPECT_EQ(run.Caption(), L"Ilvo - 安装中") << "the extraction goes on";

  // The user ends the session anyway.
  Ask(run.Window(), WM_ENDSESSION, TRUE, 0);
  EXPECT_EQ(run.WaitForExit(), 0u);
  EXPECT_FALSE(VoiceKeyExists()) << "nothing is registered";
  WaitForExtractorGone(run.ProcessId());
  EXPECT_FALSE(VoiceKeyExists());
}

TEST_F(HostileConditions, QuitMessageDuringTheWaitEndsNeitherTheWaitNorTheMessage) {
  AppFolder folder(L"stray quit", {});
  InstallerRun run(folder, {L"ILVO_RAR_STANDIN_DELAY_MS=3000"});
  OpenIn(run, L"Ilvo - 音源不存在");
  run.Click(run.Control(IDC_QORBUTTON_AZ));
  ASSERT_TRUE(run.WaitForCaption(L"Ilvo - 安装中"));

  const DWORD thread = GetWindowThreadProcessId(run.Window(), nullptr);
  ASSERT_TRUE(PostThreadMessageW(thread, WM_QUIT, 0, 0));
  const double startedMs = test_support::NowMs();
  const double processorBeforeMs = test_support::ProcessorTimeMs(run.ProcessId());
  Sleep(1000);
  const double processorMs = test_support::ProcessorTimeMs(run.ProcessId()) - processorBeforeMs;
  const double wallMs = test_support::NowMs() - startedMs;
  // A spinning wait takes most of a core; an idle one next to nothing.
  EXPECT_LT(processorMs, wallMs / 4) << processorMs << " ms of processor time in " << wallMs << " ms";
  EXPECT_TRUE(run.Running());

  ExpectOnlyMessage(run, L"提示", L"音源[安装]成功！");
  EXPECT_EQ(ReadDword(kVoiceKey, L"INSTALLED"), 1u);
}

}  // namespace
}  // namespace e2e
