// The Win32 services against the real registry, files and processes of a
// Wine prefix. Arguments: the path of services_helper.exe.
#include <gtest/gtest.h>

#include <thread>

#include "platform/win32/application.h"
#include "platform/win32/file_system.h"
#include "platform/win32/processes.h"
#include "platform/win32/registry.h"
#include "platform/win32/text.h"
#include "wine_support.h"

namespace {

using platform::SearchAttributes;
using platform::win32::ToAnsi;
using platform::win32::Widen;
using wine_test::TempFolder;

const std::string kTestKey = "Software\\IlvoServicesTest";

std::string Helper() { return wine_test::PathArgument(0); }
// The helper's command line: its quoted path, a space and the arguments.
std::string HelperLine(const std::string& arguments) {
  std::string line = "\"";
  line += Helper();
  line += "\" ";
  line += arguments;
  return line;
}

// ---- Registry ----

class RegistryTest : public testing::Test {
 protected:
  void SetUp() override { wine_test::DeleteTree(kTestKey); }
  void TearDown() override { wine_test::DeleteTree(kTestKey); }
  platform::win32::Registry registry;
};

TEST_F(RegistryTest, StringsAreAnsiWithTheirNulAndDwordsFourBytes) {
  const std::string key = kTestKey + "\\Values";
  ASSERT_EQ(registry.CreateKey(key), 0);
  struct Case {
    const char* name;
    std::string value;
  };
  const Case cases[] = {{"ascii", "C:\\Voices"}, {"chinese", "D:\\语音 库\\音源"}, {"empty", ""}};
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    EXPECT_EQ(registry.SetString(key, c.name, c.value), 0);
    const wine_test::RawValue raw = wine_test::ReadValue(key, c.name);
    ASSERT_TRUE(raw.found);
    EXPECT_EQ(raw.type, static_cast<DWORD>(REG_SZ));
    EXPECT_EQ(raw.bytes, ToAnsi(c.value) + std::string(1, '\0'));  // ANSI bytes + NUL
  }
  EXPECT_EQ(ToAnsi("语音").size(), 4u);  // code page 936: two bytes a character
  EXPECT_EQ(registry.SetDword(key, "number", 0x01020304), 0);
  const wine_test::RawValue number = wine_test::ReadValue(key, "number");
  EXPECT_EQ(number.type, static_cast<DWORD>(REG_DWORD));
  EXPECT_EQ(number.bytes, std::string("\x04\x03\x02\x01", 4));
}

TEST_F(RegistryTest, OpenCreateAndDeleteFollowThePlainCalls) {
  const std::string key = kTestKey + "\\A\\B";
  EXPECT_NE(registry.OpenKey(key), 0);
  EXPECT_EQ(registry.CreateKey(key), 0);  // with its parents
  EXPECT_EQ(registry.OpenKey(key), 0);
  EXPECT_EQ(registry.CreateKey(key), 0);  // again: opens it
  EXPECT_NE(registry.DeleteKey(kTestKey + "\\A"), 0);  // has a subkey
  EXPECT_TRUE(wine_test::KeyExists(kTestKey + "\\A"));
  EXPECT_EQ(registry.DeleteKey(key), 0);
  EXPECT_EQ(registry.DeleteKey(kTestKey + "\\A"), 0);
  EXPECT_NE(registry.DeleteKey(kTestKey + "\\A"), 0);  // gone
  EXPECT_NE(registry.OpenKey(kTestKey + "\\A"), 0);
  EXPECT_EQ(registry.SetString(kTestKey + "\\New", "v", "x"), 0);  // creates the key it writes to
}

TEST_F(RegistryTest, DeleteKeyTreeTakesEverySubkeyAndKeepsTheParent) {
  ASSERT_EQ(registry.SetString(kTestKey + "\\Voice\\vvoice", "v", "x"), 0);
  ASSERT_EQ(registry.SetDword(kTestKey + "\\Voice\\Presets\\Soft", "n", 1), 0);
  ASSERT_EQ(registry.SetString(kTestKey + "\\Voice", "NAME", "x"), 0);
  EXPECT_EQ(registry.DeleteKeyTree(kTestKey + "\\Voice"), 0);
  EXPECT_FALSE(wine_test::KeyExists(kTestKey + "\\Voice"));
  EXPECT_TRUE(wine_test::KeyExists(kTestKey));
  EXPECT_NE(registry.DeleteKeyTree(kTestKey + "\\Voice"), 0);  // gone
}

// ---- Files ----

TEST(FileSystem, LocateGivesTheFinalPathOfWhatIsThere) {
  TempFolder folder;
  platform::win32::FileSystem files;
  CreateDirectoryW(Widen(folder / "音源").c_str(), nullptr);
  wine_test::WriteBytes(folder / "音源\\Ilvo.ddb", "x");
  const auto where = files.Locate(folder.Path());
  ASSERT_TRUE(where);
  EXPECT_EQ(where->finalPath.rfind("\\\\?\\", 0), std::string::npos) << "no extended-length prefix";
  for (const char* name : {"音源", "音源\\Ilvo.ddb"}) {
    SCOPED_TRACE(name);
    const auto found = files.Locate(folder / name);
    ASSERT_TRUE(found);
    EXPECT_FALSE(found->isLink);
    EXPECT_EQ(found->finalPath, where->finalPath + "\\" + name);
  }
  EXPECT_FALSE(files.Locate(folder / "missing"));
}



TEST(FileSystem, DirFollowsTheAttributeRule) {
  TempFolder folder;
  platform::win32::FileSystem files;
  struct Case {
    const char* name;
    DWORD attributes;  // 0: a plain file; FILE_ATTRIBUTE_DIRECTORY: a folder
    bool foundNormal, foundFolders;
  };
  const Case cases[] = {
      {"plain.txt", FILE_ATTRIBUTE_NORMAL, true, true},
      {"archive.txt", FILE_ATTRIBUTE_ARCHIVE, true, true},
      {"readonly.txt", FILE_ATTRIBUTE_READONLY, true, true},
      {"hidden.txt", FILE_ATTRIBUTE_HIDDEN, false, false},
      {"system.txt", FILE_ATTRIBUTE_SYSTEM, false, false},
      {"folder", FILE_ATTRIBUTE_DIRECTORY, false, true},
      {"hidden folder", FILE_ATTRIBUTE_DIRECTORY | FILE_ATTRIBUTE_HIDDEN, false, false},
      {"音源.ddb", FILE_ATTRIBUTE_NORMAL, true, true},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    const std::string path = folder / c.name;
    if (c.attributes & FILE_ATTRIBUTE_DIRECTORY) {
      wine_test::CreateFolder(path);
      if (c.attributes != FILE_ATTRIBUTE_DIRECTORY) wine_test::SetAttributes(path, c.attributes);
    } else {
      wine_test::WriteBytes(path, "x");
      wine_test::SetAttributes(path, c.attributes);
    }
    EXPECT_EQ(files.Dir(path, SearchAttributes::Normal), c.foundNormal ? c.name : "");
    EXPECT_EQ(files.Dir(path, SearchAttributes::Folders), c.foundFolders ? c.name : "");
  }
  EXPECT_EQ(files.Dir(folder / "missing.txt", SearchAttributes::Normal), "");
  EXPECT_EQ(files.Dir(folder / "no folder\\x.txt", SearchAttributes::Folders), "");
}

TEST(FileSystem, DeleteFailsOnAFileInUseOrReadOnlyAndRemoveOnAFullFolder) {
  TempFolder folder;
  platform::win32::FileSystem files;
  const std::string held = folder / "held.ddi";
  const std::string readOnly = folder / "readonly.vvd";
  const std::string plain = folder / "plain.ddb";
  wine_test::WriteBytes(held, "held");
  wine_test::WriteBytes(readOnly, "ro");
  wine_test::SetAttributes(readOnly, FILE_ATTRIBUTE_READONLY);
  wine_test::WriteBytes(plain, "plain");
  {
    wine_test::FileHolder holder(Helper(), held);
    ASSERT_TRUE(holder.Holding());
    EXPECT_FALSE(files.DeleteFile(held));
    EXPECT_TRUE(wine_test::Exists(held));
  }
  EXPECT_TRUE(files.DeleteFile(held));  // released
  EXPECT_FALSE(files.DeleteFile(readOnly));
  EXPECT_TRUE(wine_test::Exists(readOnly));
  EXPECT_FALSE(files.DeleteFile(folder / "missing"));

  const std::string sub = folder / "sub";
  wine_test::CreateFolder(sub);
  wine_test::WriteBytes(sub + "\\left.txt", "");
  EXPECT_FALSE(files.RemoveFolder(sub));
  EXPECT_TRUE(files.DeleteFile(sub + "\\left.txt"));
  EXPECT_TRUE(files.RemoveFolder(sub));
  EXPECT_FALSE(files.RemoveFolder(sub));
  EXPECT_TRUE(files.DeleteFile(plain));
}

TEST(FileSystem, TextFileAppendsAnsiLinesWithCrLf) {
  TempFolder folder;
  platform::win32::FileSystem files;
  const std::string path = folder / "out.reg";
  {
    auto file = files.OpenForAppend(path);
    ASSERT_NE(file, nullptr);
    EXPECT_TRUE(file->WriteLine("\"VOICEDIR\"=\"D:\\\\语音\""));
    EXPECT_TRUE(file->WriteLine(""));
    EXPECT_TRUE(file->Close());
  }
  {
    auto file = files.OpenForAppend(path);  // appends
    ASSERT_NE(file, nullptr);
    EXPECT_TRUE(file->WriteLine("end"));
  }  // closed by its destructor
  EXPECT_EQ(wine_test::ReadBytes(path), "\"VOICEDIR\"=\"D:\\\\\xD3\xEF\xD2\xF4\"\r\n\r\nend\r\n");
}

TEST(FileSystem, OpenForAppendFailsWhereNoFileCanBeWritten) {
  TempFolder folder;
  platform::win32::FileSystem files;
  // A "folder" that is a file.
  const std::string notAFolder = folder / "file";
  wine_test::WriteBytes(notAFolder, "");
  EXPECT_EQ(files.OpenForAppend(notAFolder + "\\Ilvo.reg"), nullptr);
  // A folder that does not exist.
  EXPECT_EQ(files.OpenForAppend(folder / "none\\Ilvo.reg"), nullptr);
  // A path that is a folder.
  wine_test::CreateFolder(folder / "dir");
  EXPECT_EQ(files.OpenForAppend(folder / "dir"), nullptr);
}

// Records what Wine does with a read-only folder and a read-only file opened
// for writing; neither is a reliable fault there (Wine keeps no read-only
// attribute on folders, and a test run as root may open a read-only file for
// writing). Deleting a read-only file does fail, which the export relies on.
TEST(FileSystem, ReadOnlyFolderAndFileUnderWine) {
  TempFolder folder;
  platform::win32::FileSystem files;
  const std::string sub = folder / "ro";
  wine_test::CreateFolder(sub);
  wine_test::SetAttributes(sub, FILE_ATTRIBUTE_READONLY);
  auto file = files.OpenForAppend(sub + "\\Ilvo.reg");
  const bool created = file != nullptr && file->WriteLine("x") && file->Close();
  std::cout << "[ note ] read-only folder attribute kept: "
            << ((wine_test::Attributes(sub) & FILE_ATTRIBUTE_READONLY) != 0)
            << "; a file could be created in it: " << created << "\n";

  const std::string readOnly = folder / "Ilvo.reg";
  wine_test::WriteBytes(readOnly, "old");
  wine_test::SetAttributes(readOnly, FILE_ATTRIBUTE_READONLY);
  auto opened = files.OpenForAppend(readOnly);
  std::cout << "[ note ] a read-only file could be opened for appending: " << (opened != nullptr) << "\n";
  opened.reset();
  EXPECT_FALSE(files.DeleteFile(readOnly));
}

// ---- Processes ----

TEST(Processes, StartOfAMissingProgramFails) {
  platform::win32::Processes processes;
  TempFolder folder;
  const std::string missing = folder / "DATA\\Rar.exe";
  EXPECT_FALSE(processes.StartHidden(missing, "\"" + missing + "\" x").has_value());
}

TEST(Processes, ExitCodesAreReadBackAndTheWaitReturns) {
  platform::win32::Processes processes;
  for (const std::uint32_t code : {0u, 1u, 3u, 255u, 1234567u}) {
    SCOPED_TRACE(code);
    const std::string line = HelperLine("exit " + std::to_string(code) + " 300");
    const std::optional<std::uint32_t> id = processes.StartHidden(Helper(), line);
    ASSERT_TRUE(id.has_value());
    const std::uintptr_t process = processes.Open(*id);
    ASSERT_NE(process, 0u);
    EXPECT_EQ(processes.ExitCode(process), platform::kStillActive);
    int waits = 0;
    const DWORD start = GetTickCount();
    std::optional<std::uint32_t> exit;
    while ((exit = processes.ExitCode(process)) == platform::kStillActive) {
      processes.WaitForExitOrInput(process);
      ++waits;
    }
    const DWORD elapsed = GetTickCount() - start;
    EXPECT_EQ(exit, code);
    EXPECT_LE(waits, 200) << "the wait does not sleep";
    EXPECT_LT(elapsed, 10000u);
    processes.Close(process);
  }
}

TEST(Processes, AProgramThatEndsAtOnceCanStillBeOpened) {
  platform::win32::Processes processes;
  const std::optional<std::uint32_t> id = processes.StartHidden(Helper(), HelperLine("exit 7"));
  ASSERT_TRUE(id.has_value());
  Sleep(500);  // long ended
  const std::uintptr_t process = processes.Open(*id);
  ASSERT_NE(process, 0u);
  EXPECT_EQ(processes.ExitCode(process), 7u);
  processes.Close(process);
  EXPECT_FALSE(processes.ExitCode(0).has_value());
}

TEST(Processes, WaitReturnsWhenInputArrives) {
  platform::win32::Processes processes;
  const std::optional<std::uint32_t> id = processes.StartHidden(Helper(), HelperLine("exit 0 3000"));
  ASSERT_TRUE(id.has_value());
  const std::uintptr_t process = processes.Open(*id);
  PostThreadMessageW(GetCurrentThreadId(), WM_APP, 0, 0);
  const DWORD start = GetTickCount();
  processes.WaitForExitOrInput(process);
  EXPECT_LT(GetTickCount() - start, 1000u);
  MSG message;
  EXPECT_TRUE(PeekMessageW(&message, nullptr, WM_APP, WM_APP, PM_REMOVE));
  processes.Close(process);
}

// ---- Application ----

TEST(Application, FolderDropsTheFileNameButKeepsADriveRoot) {
  const std::pair<const char*, const char*> cases[] = {
      {"C:\\Voices\\IlvoInstaller.exe", "C:\\Voices"},
      {"C:\\IlvoInstaller.exe", "C:\\"},
      {"D:\\语音 库\\安装.exe", "D:\\语音 库"},
      {"\\\\server\\share\\x.exe", "\\\\server\\share"},
  };
  for (const auto& [path, folder] : cases) EXPECT_EQ(platform::win32::FolderOfModulePath(path), folder) << path;

  platform::win32::Application application("ilvo-folder-test");
  wchar_t module[MAX_PATH];
  GetModuleFileNameW(nullptr, module, MAX_PATH);
  const std::string modulePath = platform::win32::Narrow(module);
  EXPECT_EQ(application.Folder(), modulePath.substr(0, modulePath.find_last_of('\\')));
}

TEST(Application, PreviousInstanceIsSeenAcrossProcessesWhileTheFirstRuns) {
  const std::string name = "ilvo-instance-test-" + std::to_string(GetCurrentProcessId());
  const std::string line = HelperLine("instance " + name);
  EXPECT_EQ(wine_test::RunAndWait(Helper(), line), 0u);  // none running
  {
    platform::win32::Application first(name);
    EXPECT_FALSE(first.PreviousInstance());
    EXPECT_EQ(wine_test::RunAndWait(Helper(), line), 1u);
    platform::win32::Application second(name);
    EXPECT_TRUE(second.PreviousInstance());
    EXPECT_FALSE(first.PreviousInstance());  // the answer is kept for the run
  }
  EXPECT_EQ(wine_test::RunAndWait(Helper(), line), 0u);  // released with the first
}

int dispatched = 0;

LRESULT CALLBACK CountingProcedure(HWND window, UINT message, WPARAM w, LPARAM l) {
  if (message == WM_APP) ++dispatched;
  return DefWindowProcW(window, message, w, l);
}

TEST(Application, DoEventsDispatchesWhatIsQueuedAndReturns) {
  platform::win32::Application application("ilvo-doevents-test");
  WNDCLASSW windowClass{};
  windowClass.lpfnWndProc = CountingProcedure;
  windowClass.hInstance = GetModuleHandleW(nullptr);
  windowClass.lpszClassName = L"IlvoDoEventsTest";
  RegisterClassW(&windowClass);
  HWND window = CreateWindowW(L"IlvoDoEventsTest", L"", 0, 0, 0, 0, 0, HWND_MESSAGE, nullptr, nullptr, nullptr);
  ASSERT_NE(window, nullptr);
  for (int i = 0; i < 2; ++i) PostMessageW(window, WM_APP, 0, 0);
  PostQuitMessage(5);
  PostMessageW(window, WM_APP, 0, 0);
  application.DoEvents();
  EXPECT_EQ(dispatched, 3) << "a quit does not end the dispatching";
  MSG message;
  // Taken out of the queue: left there, it would wake every wait at once and
  // close the next message box unseen.
  EXPECT_FALSE(PeekMessageW(&message, nullptr, WM_QUIT, WM_QUIT, PM_REMOVE));
  application.DoEvents();  // an empty queue returns at once

  // The plain pump (the skin's roll animation) leaves a quit for the main loop.
  PostQuitMessage(6);
  PostMessageW(window, WM_APP, 0, 0);
  platform::win32::ProcessPendingMessages();
  ASSERT_TRUE(PeekMessageW(&message, nullptr, WM_QUIT, WM_QUIT, PM_REMOVE));
  EXPECT_EQ(message.wParam, 6u);
  DestroyWindow(window);
}

// Answers a message box of the given title with a button, from another thread.
void AnswerBox(const std::wstring& title, int button) {
  for (int i = 0; i < 500; ++i) {
    if (HWND box = FindWindowW(L"#32770", title.c_str())) {
      PostMessageW(box, WM_COMMAND, static_cast<WPARAM>(button), 0);
      return;
    }
    Sleep(20);
  }
}

TEST(Application, MessageBoxReturnsTheAnswer) {
  platform::win32::Application application("ilvo-messagebox-test");
  struct Case {
    platform::MessageButtons buttons;
    platform::MessageIcon icon;
    int press;
  };
  const Case cases[] = {
      {platform::MessageButtons::Ok, platform::MessageIcon::None, IDOK},
      {platform::MessageButtons::OkCancel, platform::MessageIcon::Question, IDOK},
      {platform::MessageButtons::OkCancel, platform::MessageIcon::Question, IDCANCEL},
      {platform::MessageButtons::Ok, platform::MessageIcon::Critical, IDOK},
  };
  for (const Case& c : cases) {
    std::thread answer(AnswerBox, L"警告窗口", c.press);
    EXPECT_EQ(application.MessageBox("确定要卸载么？", "警告窗口", c.buttons, c.icon), c.press);
    answer.join();
  }
}

}  // namespace
