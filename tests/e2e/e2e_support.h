#pragma once
// Drives the real IlvoInstaller.exe as a person would: a throwaway
// application folder, the program started in it, its window and message
// boxes found and answered, the registry and files read back afterwards.
#include <windows.h>

#include <chrono>
#include <cstdint>
#include <filesystem>
#include <optional>
#include <string>
#include <vector>

#include "tests/support/file_bytes.h"
#include "tests/support/probes.h"
#include "tests/support/screen_capture.h"
#include "tests/support/wait.h"
#include "tests/support/wine_paths.h"

namespace e2e {

using namespace std::chrono_literals;
using test_support::ScreenImage;
using test_support::WaitUntil;

// Build paths handed over on the command line (the first four arguments), as
// Windows paths; a program with a main of its own sets them.
struct BuildFiles {
  std::filesystem::path installer;  // IlvoInstaller.exe
  std::filesystem::path extractor;  // Rar.exe stand-in
  std::filesystem::path archive;    // sample Ilvo.yin
  std::filesystem::path damagedArchive;
  std::filesystem::path screenshots;  // may be empty
};
BuildFiles& Files();
using test_support::WindowsPath;

inline const std::wstring kVoiceId = L"KT3WQ8ZRMD5LXNVC";
inline const std::wstring kVoiceKey = L"Software\\TIRELUNA2\\DATABASE\\VOICE\\" + kVoiceId;
inline const std::wstring kVoiceParentKey = L"Software\\TIRELUNA2\\DATABASE\\VOICE";
// What an exported Ilvo.reg calls HKEY_LOCAL_MACHINE\Software on this
// machine: below WOW6432Node on 64-bit Windows (where this test program, of
// the installer's own width, is a 64-bit one or runs under WOW64).
std::wstring ExportedSoftwareKey();

// A throwaway application folder below the temp folder; removed (attributes
// cleared first) when it goes out of scope.
class AppFolder {
 public:
  struct Contents {
    bool installer = true;
    bool extractor = true;
    bool archive = true;
    bool damagedArchive = false;  // the archive is the damaged one
  };
  // A folder of that name below the temp folder.
  explicit AppFolder(const std::wstring& name, Contents contents);
  // The root of a drive mapped for the tests (e.g. L"Y:\\"); its contents are
  // cleared before and after, the root itself stays.
  static AppFolder AtDriveRoot(const std::wstring& root, Contents contents);
  AppFolder(AppFolder&& other) noexcept : path_(std::move(other.path_)), isDriveRoot_(other.isDriveRoot_) {
    other.path_.clear();
  }
  AppFolder(const AppFolder&) = delete;
  AppFolder& operator=(const AppFolder&) = delete;
  ~AppFolder();

  const std::filesystem::path& Path() const { return path_; }
  std::filesystem::path VoiceFolder() const { return path_ / L"KT3WQ8ZRMD5LXNVC"; }
  std::filesystem::path VoiceFile(const wchar_t* extension) const;  // L".ddb" ...
  // Puts the three voice files (or those named) in place with sample content.
  void PlaceVoiceFiles(std::vector<const wchar_t*> extensions = {L".ddb", L".ddi", L".vvd"});
  bool VoiceFileExists(const wchar_t* extension) const;

 private:
  AppFolder(std::filesystem::path path, Contents contents, bool isDriveRoot);
  void Fill(Contents contents);
  void Clear() const;

  std::filesystem::path path_;
  bool isDriveRoot_ = false;
};

using test_support::ReadAll;
// The names in a folder, sorted: what an attempt left in the application folder.
std::vector<std::wstring> NamesIn(const std::filesystem::path& folder);

// Runs a copy of the installer in the folder (by default the one named so)
// with a switch and no window, in this process's environment; its exit
// code, or nothing when it could not start or did not end within a minute.
std::optional<DWORD> RunSwitch(const AppFolder& folder, const std::wstring& arguments,
                               const wchar_t* program = L"IlvoInstaller.exe");
// Ends a process from outside, as the task manager would, and waits until it has gone.
void Terminate(DWORD processId);

// Registry of the running prefix.
void DeleteVoiceRecord();  // voice key (with subkeys), the parent's VOICEDIR and the uninstall entry
bool VoiceKeyExists();
// The voice's entry in the system's list of installed programs.
inline const std::wstring kUninstallEntryKey =
    L"Software\\Microsoft\\Windows\\CurrentVersion\\Uninstall\\Ilvo_KT3WQ8ZRMD5LXNVC";
bool UninstallEntryExists();
// Runs a command line (a program of the prefix, such as uninstaller.exe) and
// returns what it wrote to its standard output, once it has ended; nothing
// when it could not start or did not end in time.
std::optional<std::string> CaptureOutput(std::wstring commandLine, std::chrono::milliseconds timeout = 60s);
// A running process of that file name, if one runs.
std::optional<DWORD> FindProcess(const std::wstring& exeName);
std::optional<std::string> ReadAnsiString(const std::wstring& key, const wchar_t* name);  // raw bytes
// A REG_SZ value read with the wide call: every stored UTF-16 unit, its
// terminating NUL included.
std::optional<std::wstring> ReadWideString(const std::wstring& key, const wchar_t* name);
std::optional<DWORD> ReadDword(const std::wstring& key, const wchar_t* name);

using test_support::FindShownWindow;
using test_support::ShownWindow;

struct MessageBoxSeen {
  HWND window = nullptr;
  std::wstring title;
  std::wstring text;
  bool hasCancel = false;
};

// One run of the installer.
class InstallerRun {
 public:
  // Starts the installer copied into the folder, with extra environment
  // variables (NAME=value) for the extractor stand-in.
  InstallerRun(const AppFolder& folder, std::vector<std::wstring> environment = {});
  InstallerRun(const InstallerRun&) = delete;
  InstallerRun& operator=(const InstallerRun&) = delete;
  ~InstallerRun();  // ends the process if it still runs

  DWORD ProcessId() const { return processId_; }
  // The shown main window, or null after the timeout.
  HWND WaitForWindow(std::chrono::milliseconds timeout = 20s);
  std::wstring Caption() const;
  // Waits until the caption equals the text.
  bool WaitForCaption(const std::wstring& text, std::chrono::milliseconds timeout = 20s);
  // The control window whose text is the caption, among the visible ones first.
  HWND FindControl(const std::wstring& text, bool visibleOnly = true) const;
  std::vector<HWND> Controls() const;
  // A control by its window identifier (installer/window/control_ids.h).
  HWND Control(int id) const { return GetDlgItem(window_, id); }
  bool Shown(int id) const { return IsWindowVisible(Control(id)) != FALSE; }
  bool Usable(int id) const { return IsWindowEnabled(Control(id)) != FALSE; }
  HWND Window() const { return window_; }

  // A message box of this process, once shown.
  std::optional<MessageBoxSeen> WaitForMessageBox(std::chrono::milliseconds timeout = 20s);
  // Presses IDOK or IDCANCEL and waits until the box has gone.
  void Answer(const MessageBoxSeen& box, int id);

  void BringToFront();
  // Presses and releases the left button over the control, as a person would.
  void Click(HWND control);
  void DoubleClickPicture();
  void PressKey(WORD virtualKey, bool shift = false);
  void RequestClose();  // as the close box does

  // Waits for the process to end; its exit code, or nothing on timeout.
  std::optional<DWORD> WaitForExit(std::chrono::milliseconds timeout = 30s);
  bool Running() const;

  // Saves the window as a BMP in the screenshots folder; settled: once its
  // picture stands still (not while something on it moves).
  void Screenshot(const std::wstring& name, bool settled = true) const;

 private:
  HANDLE process_ = nullptr;
  DWORD processId_ = 0;
  HWND window_ = nullptr;
};

// Captures until two captures in a row agree (bounded), so that a window
// that is still painting is not taken half-drawn.
ScreenImage CaptureSettled(HWND window);

}  // namespace e2e
