#include "tests/e2e/e2e_support.h"

#include <gtest/gtest.h>
#include <tlhelp32.h>

#include <cwchar>

#include <algorithm>

namespace e2e {
namespace fs = std::filesystem;

BuildFiles& Files() {
  static BuildFiles files = [] {
    BuildFiles fromArguments{test_support::ArgumentPath(0), test_support::ArgumentPath(1),
                             test_support::ArgumentPath(2), test_support::ArgumentPath(3), {}};
    if (const char* shots = std::getenv("ILVO_SCREENSHOTS")) fromArguments.screenshots = WindowsPath(shots);
    return fromArguments;
  }();
  return files;
}

namespace {

void ClearAttributes(const fs::path& root) {
  std::error_code error;
  if (!fs::exists(root, error)) return;
  SetFileAttributesW(root.c_str(), FILE_ATTRIBUTE_NORMAL);
  if (fs::is_directory(root, error))
    for (const auto& entry : fs::recursive_directory_iterator(root, error))
      SetFileAttributesW(entry.path().c_str(), FILE_ATTRIBUTE_NORMAL);
}

void Copy(const fs::path& from, const fs::path& to) {
  if (!CopyFileW(from.c_str(), to.c_str(), FALSE))
    throw std::runtime_error("cannot copy " + from.string() + " to " + to.string());
}

struct KeyCloser {
  HKEY key = nullptr;
  ~KeyCloser() {
    if (key) RegCloseKey(key);
  }
};

}  // namespace

AppFolder::AppFolder(const std::wstring& name, Contents contents) {
  wchar_t temp[MAX_PATH];
  GetTempPathW(MAX_PATH, temp);
  path_ = fs::path(temp) / L"ilvo-e2e" / name;
  Clear();
  Fill(contents);
}

AppFolder::AppFolder(fs::path path, Contents contents, bool isDriveRoot)
    : path_(std::move(path)), isDriveRoot_(isDriveRoot) {
  Clear();
  Fill(contents);
}

AppFolder AppFolder::AtDriveRoot(const std::wstring& root, Contents contents) {
  return AppFolder(fs::path(root), contents, true);
}

void AppFolder::Fill(Contents contents) {
  fs::create_directories(path_ / L"DATA");
  const auto& files = Files();
  if (contents.installer) Copy(files.installer, path_ / L"IlvoInstaller.exe");
  if (contents.extractor) Copy(files.extractor, path_ / L"DATA" / L"Rar.exe");
  if (contents.archive)
    Copy(contents.damagedArchive ? files.damagedArchive : files.archive, path_ / L"DATA" / L"Ilvo.yin");
}

void AppFolder::Clear() const {
  if (path_.empty()) return;
  std::error_code error;
  ClearAttributes(path_);
  if (!isDriveRoot_) {
    fs::remove_all(path_, error);
    return;
  }
  for (const auto& entry : fs::directory_iterator(path_, error)) fs::remove_all(entry.path(), error);
}

AppFolder::~AppFolder() { Clear(); }

std::vector<std::wstring> NamesIn(const fs::path& folder) {
  std::vector<std::wstring> names;
  for (const auto& entry : fs::directory_iterator(folder)) names.push_back(entry.path().filename().wstring());
  std::sort(names.begin(), names.end());
  return names;
}

std::optional<DWORD> RunSwitch(const AppFolder& folder, const std::wstring& arguments, const wchar_t* program) {
  const fs::path exe = folder.Path() / program;
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

void Terminate(DWORD processId) {
  HANDLE process = OpenProcess(PROCESS_TERMINATE | SYNCHRONIZE, FALSE, processId);
  ASSERT_NE(process, nullptr) << "process " << processId;
  TerminateProcess(process, 99);
  EXPECT_EQ(WaitForSingleObject(process, 10000), WAIT_OBJECT_0);
  CloseHandle(process);
}

fs::path AppFolder::VoiceFile(const wchar_t* extension) const {
  return VoiceFolder() / (std::wstring(L"Ilvo") + extension);
}

void AppFolder::PlaceVoiceFiles(std::vector<const wchar_t*> extensions) {
  fs::create_directories(VoiceFolder());
  for (const wchar_t* extension : extensions) {
    HANDLE file = CreateFileW(VoiceFile(extension).c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS,
                              FILE_ATTRIBUTE_NORMAL, nullptr);
    if (file == INVALID_HANDLE_VALUE) throw std::runtime_error("cannot place a voice file");
    const char data[] = "voice data placed by the test\n";
    DWORD written = 0;
    WriteFile(file, data, sizeof data - 1, &written, nullptr);
    CloseHandle(file);
  }
}

bool AppFolder::VoiceFileExists(const wchar_t* extension) const { return fs::exists(VoiceFile(extension)); }

// The record is read and removed in the installer's view of HKEY_LOCAL_MACHINE:
// the 32-bit one, whichever build runs the tests. The view applies to the key
// opened with it, so the voice key goes through its parent opened in that view.
void DeleteVoiceRecord() {
  HKEY parent = nullptr;
  if (RegOpenKeyExW(HKEY_LOCAL_MACHINE, kVoiceParentKey.c_str(), 0, KEY_ALL_ACCESS | KEY_WOW64_32KEY, &parent) ==
      ERROR_SUCCESS) {
    RegDeleteTreeW(parent, kVoiceId.c_str());
    RegDeleteValueW(parent, L"VOICEDIR");
    RegCloseKey(parent);
  }
  const std::wstring entries = kUninstallEntryKey.substr(0, kUninstallEntryKey.find_last_of(L'\\'));
  if (RegOpenKeyExW(HKEY_LOCAL_MACHINE, entries.c_str(), 0, KEY_ALL_ACCESS | KEY_WOW64_32KEY, &parent) ==
      ERROR_SUCCESS) {
    RegDeleteTreeW(parent, kUninstallEntryKey.substr(entries.size() + 1).c_str());
    RegCloseKey(parent);
  }
}

bool VoiceKeyExists() {
  KeyCloser key;
  return RegOpenKeyExW(HKEY_LOCAL_MACHINE, kVoiceKey.c_str(), 0, KEY_READ | KEY_WOW64_32KEY, &key.key) == ERROR_SUCCESS;
}

bool UninstallEntryExists() {
  KeyCloser key;
  return RegOpenKeyExW(HKEY_LOCAL_MACHINE, kUninstallEntryKey.c_str(), 0, KEY_READ | KEY_WOW64_32KEY, &key.key) ==
         ERROR_SUCCESS;
}

std::optional<std::string> CaptureOutput(std::wstring commandLine, std::chrono::milliseconds timeout) {
  SECURITY_ATTRIBUTES inheritable{sizeof inheritable, nullptr, TRUE};
  HANDLE readEnd = nullptr;
  HANDLE writeEnd = nullptr;
  if (!CreatePipe(&readEnd, &writeEnd, &inheritable, 0)) return std::nullopt;
  const test_support::OwnedHandle reader(readEnd);
  test_support::OwnedHandle writer(writeEnd);
  SetHandleInformation(readEnd, HANDLE_FLAG_INHERIT, 0);
  STARTUPINFOW startup{};
  startup.cb = sizeof startup;
  startup.dwFlags = STARTF_USESTDHANDLES;
  startup.hStdOutput = writeEnd;
  startup.hStdError = writeEnd;
  PROCESS_INFORMATION info{};
  if (!CreateProcessW(nullptr, commandLine.data(), nullptr, nullptr, TRUE, 0, nullptr, nullptr, &startup, &info)) {
    return std::nullopt;
  }
  const test_support::OwnedHandle process(info.hProcess);
  const test_support::OwnedHandle thread(info.hThread);
  writer.Reset();  // the child holds the only write end now
  std::string output;
  const auto drain = [&] {
    DWORD available = 0;
    while (PeekNamedPipe(readEnd, nullptr, 0, nullptr, &available, nullptr) && available > 0) {
      std::string chunk(available, '\0');
      DWORD read = 0;
      if (!ReadFile(readEnd, chunk.data(), available, &read, nullptr) || read == 0) break;
      output.append(chunk, 0, read);
    }
  };
  const bool ended = WaitUntil(
      [&] {
        drain();
        return WaitForSingleObject(process.Get(), 0) == WAIT_OBJECT_0;
      },
      timeout);
  if (!ended) return std::nullopt;
  drain();
  return output;
}

std::optional<DWORD> FindProcess(const std::wstring& exeName) {
  const test_support::OwnedHandle snapshot(test_support::NoneIfInvalid(CreateToolhelp32Snapshot(TH32CS_SNAPPROCESS, 0)));
  if (!snapshot) return std::nullopt;
  PROCESSENTRY32W entry{};
  entry.dwSize = sizeof entry;
  for (BOOL more = Process32FirstW(snapshot.Get(), &entry); more; more = Process32NextW(snapshot.Get(), &entry)) {
    if (_wcsicmp(entry.szExeFile, exeName.c_str()) == 0) return entry.th32ProcessID;
  }
  return std::nullopt;
}

std::wstring ExportedSoftwareKey() {
  BOOL wow64 = FALSE;
  const bool sixtyFourBit = sizeof(void*) == 8 || (IsWow64Process(GetCurrentProcess(), &wow64) && wow64);
  return sixtyFourBit ? L"Software\\WOW6432Node" : L"Software";
}

std::optional<std::string> ReadAnsiString(const std::wstring& path, const wchar_t* name) {
  KeyCloser key;
  if (RegOpenKeyExW(HKEY_LOCAL_MACHINE, path.c_str(), 0, KEY_READ | KEY_WOW64_32KEY, &key.key) != ERROR_SUCCESS) return std::nullopt;
  std::string wideName(name, name + wcslen(name));
  DWORD type = 0, size = 0;
  if (RegQueryValueExA(key.key, wideName.c_str(), nullptr, &type, nullptr, &size) != ERROR_SUCCESS || type != REG_SZ)
    return std::nullopt;
  std::string data(size, '\0');
  RegQueryValueExA(key.key, wideName.c_str(), nullptr, &type, reinterpret_cast<BYTE*>(data.data()), &size);
  data.resize(size);
  return data;
}

std::optional<std::wstring> ReadWideString(const std::wstring& path, const wchar_t* name) {
  KeyCloser key;
  if (RegOpenKeyExW(HKEY_LOCAL_MACHINE, path.c_str(), 0, KEY_READ | KEY_WOW64_32KEY, &key.key) != ERROR_SUCCESS)
    return std::nullopt;
  DWORD type = 0, size = 0;
  if (RegQueryValueExW(key.key, name, nullptr, &type, nullptr, &size) != ERROR_SUCCESS || type != REG_SZ)
    return std::nullopt;
  std::wstring data(size / sizeof(wchar_t), L'\0');
  RegQueryValueExW(key.key, name, nullptr, &type, reinterpret_cast<BYTE*>(data.data()), &size);
  data.resize(size / sizeof(wchar_t));
  return data;
}

std::optional<DWORD> ReadDword(const std::wstring& path, const wchar_t* name) {
  KeyCloser key;
  if (RegOpenKeyExW(HKEY_LOCAL_MACHINE, path.c_str(), 0, KEY_READ | KEY_WOW64_32KEY, &key.key) != ERROR_SUCCESS) return std::nullopt;
  DWORD type = 0, value = 0, size = sizeof value;
  if (RegQueryValueExW(key.key, name, nullptr, &type, reinterpret_cast<BYTE*>(&value), &size) != ERROR_SUCCESS ||
      type != REG_DWORD)
    return std::nullopt;
  return value;
}

namespace {

std::wstring WindowText(HWND window) {
  wchar_t buffer[512] = {};
  GetWindowTextW(window, buffer, 512);
  return buffer;
}

BOOL CALLBACK CollectChild(HWND child, LPARAM data) {
  reinterpret_cast<std::vector<HWND>*>(data)->push_back(child);
  return TRUE;
}

std::vector<wchar_t> EnvironmentWith(const std::vector<std::wstring>& extra) {
  std::vector<wchar_t> block;
  wchar_t* current = GetEnvironmentStringsW();
  for (const wchar_t* entry = current; *entry; entry += wcslen(entry) + 1)
    block.insert(block.end(), entry, entry + wcslen(entry) + 1);
  FreeEnvironmentStringsW(current);
  for (const auto& entry : extra) {
    block.insert(block.end(), entry.begin(), entry.end());
    block.push_back(L'\0');
  }
  block.push_back(L'\0');
  return block;
}

void SendMouse(DWORD flags) {
  INPUT input{};
  input.type = INPUT_MOUSE;
  input.mi.dwFlags = flags;
  SendInput(1, &input, sizeof input);
}

void SendKey(WORD key, bool up) {
  INPUT input{};
  input.type = INPUT_KEYBOARD;
  input.ki.wVk = key;
  input.ki.dwFlags = up ? KEYEVENTF_KEYUP : 0;
  SendInput(1, &input, sizeof input);
}

}  // namespace

InstallerRun::InstallerRun(const AppFolder& folder, std::vector<std::wstring> environment) {
  const fs::path exe = folder.Path() / L"IlvoInstaller.exe";
  std::wstring commandLine = L"\"" + exe.wstring() + L"\"";
  auto block = EnvironmentWith(environment);
  STARTUPINFOW startup{};
  startup.cb = sizeof startup;
  PROCESS_INFORMATION info{};
  if (!CreateProcessW(exe.c_str(), commandLine.data(), nullptr, nullptr, FALSE, CREATE_UNICODE_ENVIRONMENT,
                      block.data(), folder.Path().c_str(), &startup, &info))
    throw std::runtime_error("cannot start the installer");
  CloseHandle(info.hThread);
  process_ = info.hProcess;
  processId_ = info.dwProcessId;
}

InstallerRun::~InstallerRun() {
  if (Running()) {
    TerminateProcess(process_, 99);
    WaitForSingleObject(process_, 10000);
  }
  CloseHandle(process_);
}

bool InstallerRun::Running() const { return WaitForSingleObject(process_, 0) == WAIT_TIMEOUT; }

HWND InstallerRun::WaitForWindow(std::chrono::milliseconds timeout) {
  WaitUntil([&] { return (window_ = FindShownWindow(processId_, ShownWindow::Main)) != nullptr; }, timeout);
  return window_;
}

std::wstring InstallerRun::Caption() const { return window_ ? WindowText(window_) : std::wstring(); }

bool InstallerRun::WaitForCaption(const std::wstring& text, std::chrono::milliseconds timeout) {
  return WaitUntil([&] { return Caption() == text; }, timeout);
}

std::vector<HWND> InstallerRun::Controls() const {
  std::vector<HWND> children;
  EnumChildWindows(window_, CollectChild, reinterpret_cast<LPARAM>(&children));
  return children;
}

HWND InstallerRun::FindControl(const std::wstring& text, bool visibleOnly) const {
  for (HWND child : Controls())
    if (WindowText(child) == text && (!visibleOnly || IsWindowVisible(child))) return child;
  return nullptr;
}

std::optional<MessageBoxSeen> InstallerRun::WaitForMessageBox(std::chrono::milliseconds timeout) {
  MessageBoxSeen seen;
  WaitUntil([&] { return (seen.window = FindShownWindow(processId_, ShownWindow::MessageBox)) != nullptr; },
            timeout);
  if (!seen.window) return std::nullopt;
  seen.title = WindowText(seen.window);
  HWND text = GetDlgItem(seen.window, 0xFFFF);
  if (text) seen.text = WindowText(text);
  HWND cancel = GetDlgItem(seen.window, IDCANCEL);
  seen.hasCancel = cancel && IsWindowVisible(cancel);
  return seen;
}

void InstallerRun::Answer(const MessageBoxSeen& box, int id) {
  HWND button = GetDlgItem(box.window, id);
  PostMessageW(box.window, WM_COMMAND, MAKEWPARAM(id, BN_CLICKED), reinterpret_cast<LPARAM>(button));
  // The next box must not be mistaken for this one while it closes.
  WaitUntil([&] { return !IsWindow(box.window) || !IsWindowVisible(box.window); }, 10s);
}

void InstallerRun::BringToFront() {
  // A person looks at the window before pressing anything: it is in front
  // and painted.
  SetForegroundWindow(window_);
  WaitUntil([&] { return GetForegroundWindow() == window_; }, 5s);
  CaptureSettled(window_);
}

void InstallerRun::Click(HWND control) {
  BringToFront();
  RECT rect;
  GetWindowRect(control, &rect);
  SetCursorPos((rect.left + rect.right) / 2, (rect.top + rect.bottom) / 2);
  SendMouse(MOUSEEVENTF_LEFTDOWN);
  SendMouse(MOUSEEVENTF_LEFTUP);
}

void InstallerRun::DoubleClickPicture() {
  BringToFront();
  POINT inside{30, 30};
  ClientToScreen(window_, &inside);
  SetCursorPos(inside.x, inside.y);
  for (int i = 0; i < 2; ++i) {
    SendMouse(MOUSEEVENTF_LEFTDOWN);
    SendMouse(MOUSEEVENTF_LEFTUP);
  }
}

void InstallerRun::PressKey(WORD virtualKey, bool shift) {
  BringToFront();
  if (shift) SendKey(VK_SHIFT, false);
  SendKey(virtualKey, false);
  SendKey(virtualKey, true);
  if (shift) SendKey(VK_SHIFT, true);
}

void InstallerRun::RequestClose() { PostMessageW(window_, WM_SYSCOMMAND, SC_CLOSE, 0); }

std::optional<DWORD> InstallerRun::WaitForExit(std::chrono::milliseconds timeout) {
  if (!WaitUntil([&] { return !Running(); }, timeout)) return std::nullopt;
  DWORD code = 0;
  GetExitCodeProcess(process_, &code);
  return code;
}

ScreenImage CaptureSettled(HWND window) {
  RedrawWindow(window, nullptr, nullptr, RDW_INVALIDATE | RDW_UPDATENOW | RDW_ALLCHILDREN);
  ScreenImage last = test_support::CaptureWindow(window);
  for (int attempt = 0; attempt < 50; ++attempt) {
    Sleep(100);
    ScreenImage next = test_support::CaptureWindow(window);
    if (next == last) return next;
    last = std::move(next);
  }
  return last;
}

void InstallerRun::Screenshot(const std::wstring& name, bool settled) const {
  const auto& folder = Files().screenshots;
  if (folder.empty() || !window_) return;
  test_support::SaveBmp(settled ? CaptureSettled(window_) : test_support::CaptureWindow(window_),
                        folder / (name + L".bmp"));
}

}  // namespace e2e
