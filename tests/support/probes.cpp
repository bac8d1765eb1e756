#include "tests/support/probes.h"

#include <psapi.h>
#include <tlhelp32.h>

#include <cwchar>
#include <stdexcept>
#include <system_error>


namespace test_support {
namespace {

double Frequency() {
  LARGE_INTEGER frequency;
  QueryPerformanceFrequency(&frequency);
  return static_cast<double>(frequency.QuadPart);
}

double FileTimeMs(const FILETIME& time) {
  ULARGE_INTEGER value;
  value.LowPart = time.dwLowDateTime;
  value.HighPart = time.dwHighDateTime;
  return static_cast<double>(value.QuadPart) / 10000.0;  // 100 ns units
}

void PumpMessages() {
  MSG message;
  while (PeekMessageW(&message, nullptr, 0, 0, PM_REMOVE)) DispatchMessageW(&message);
}

constexpr wchar_t kKeepAliveClass[] = L"IlvoBenchKeepAlive";

}  // namespace

double NowMs() {
  static const double frequency = Frequency();
  LARGE_INTEGER now;
  QueryPerformanceCounter(&now);
  return static_cast<double>(now.QuadPart) * 1000.0 / frequency;
}

double ProcessorTimeMs(DWORD processId) {
  OwnedHandle snapshot(NoneIfInvalid(CreateToolhelp32Snapshot(TH32CS_SNAPTHREAD, 0)));
  if (!snapshot) throw std::runtime_error("cannot list the threads");
  double total = 0;
  int threads = 0;
  THREADENTRY32 entry{};
  entry.dwSize = sizeof entry;
  for (BOOL more = Thread32First(snapshot.Get(), &entry); more; more = Thread32Next(snapshot.Get(), &entry)) {
    if (entry.th32OwnerProcessID != processId) continue;
    OwnedHandle thread(OpenThread(THREAD_QUERY_LIMITED_INFORMATION, FALSE, entry.th32ThreadID));
    FILETIME created, ended, kernel, user;
    if (!thread || !GetThreadTimes(thread.Get(), &created, &ended, &kernel, &user)) continue;
    total += FileTimeMs(kernel) + FileTimeMs(user);
    ++threads;
  }
  if (threads == 0) throw std::runtime_error("cannot read the processor time of any thread");
  return total;
}

double LifetimeMs(HANDLE process) {
  FILETIME created, ended, kernel, user;
  if (!GetProcessTimes(process, &created, &ended, &kernel, &user)) throw std::runtime_error("GetProcessTimes failed");
  return FileTimeMs(ended) - FileTimeMs(created);
}

SIZE_T PeakWorkingSet(HANDLE process) {
  PROCESS_MEMORY_COUNTERS counters{};
  counters.cb = sizeof counters;
  if (!GetProcessMemoryInfo(process, &counters, sizeof counters))
    throw std::runtime_error("GetProcessMemoryInfo failed");
  return counters.PeakWorkingSetSize;
}

std::optional<DWORD> FindChildProcess(DWORD parentId, const std::wstring& exeName) {
  OwnedHandle snapshot(NoneIfInvalid(CreateToolhelp32Snapshot(TH32CS_SNAPPROCESS, 0)));
  if (!snapshot) return std::nullopt;
  PROCESSENTRY32W entry{};
  entry.dwSize = sizeof entry;
  for (BOOL more = Process32FirstW(snapshot.Get(), &entry); more; more = Process32NextW(snapshot.Get(), &entry)) {
    if (entry.th32ParentProcessID == parentId && _wcsicmp(entry.szExeFile, exeName.c_str()) == 0)
      return entry.th32ProcessID;
  }
  return std::nullopt;
}

std::optional<double> WaitSignalled(HANDLE handle, std::chrono::milliseconds timeout) {
  const double end = NowMs() + static_cast<double>(timeout.count());
  for (;;) {
    const double left = end - NowMs();
    if (left < 0) return std::nullopt;
    const DWORD result = MsgWaitForMultipleObjectsEx(1, &handle, static_cast<DWORD>(left) + 1, QS_ALLINPUT,
                                                     MWMO_INPUTAVAILABLE);
    if (result == WAIT_OBJECT_0) return NowMs();
    if (result == WAIT_OBJECT_0 + 1) PumpMessages();
    if (result == WAIT_FAILED) throw std::runtime_error("waiting failed");
  }
}

std::optional<double> PollEveryMillisecond(const std::function<bool()>& condition,
                                           std::chrono::milliseconds timeout) {
  const double end = NowMs() + static_cast<double>(timeout.count());
  for (;;) {
    if (condition()) return NowMs();
    if (NowMs() > end) return std::nullopt;
    Sleep(1);
  }
}

namespace {

struct ShownWindowSearch {
  DWORD processId;
  ShownWindow kind;
  HWND found = nullptr;
};

BOOL CALLBACK MatchShownWindow(HWND window, LPARAM data) {
  auto* search = reinterpret_cast<ShownWindowSearch*>(data);
  DWORD owner = 0;
  GetWindowThreadProcessId(window, &owner);
  if (owner != search->processId || !IsWindowVisible(window)) return TRUE;
  wchar_t className[128] = {};
  GetClassNameW(window, className, 128);
  const bool isMessageBox = std::wstring(className) == L"#32770";
  const bool captioned = (GetWindowLongW(window, GWL_STYLE) & WS_CAPTION) == WS_CAPTION;
  if (search->kind == ShownWindow::MessageBox ? isMessageBox : (!isMessageBox && captioned)) {
    search->found = window;
    return FALSE;
  }
  return TRUE;
}

}  // namespace

HWND FindShownWindow(DWORD processId, ShownWindow kind) {
  ShownWindowSearch search{processId, kind};
  EnumWindows(MatchShownWindow, reinterpret_cast<LPARAM>(&search));
  return search.found;
}

HWND ShownMainWindow(DWORD processId) { return FindShownWindow(processId, ShownWindow::Main); }
HWND ShownMessageBox(DWORD processId) {
  return FindShownWindow(processId, ShownWindow::MessageBox);
}

StartedProgram::StartedProgram(const std::filesystem::path& exe, const std::wstring& arguments,
                               const std::filesystem::path& workingFolder, DWORD creationFlags,
                               std::optional<WORD> show) {
  std::wstring commandLine = L"\"" + exe.wstring() + L"\"";
  if (!arguments.empty()) commandLine += L" " + arguments;
  STARTUPINFOW startup{};
  startup.cb = sizeof startup;
  if (show) {
    startup.dwFlags = STARTF_USESHOWWINDOW;
    startup.wShowWindow = *show;
  }
  PROCESS_INFORMATION info{};
  startedAtMs_ = NowMs();
  if (!CreateProcessW(exe.c_str(), commandLine.data(), nullptr, nullptr, FALSE, creationFlags, nullptr,
                      workingFolder.c_str(), &startup, &info))
    throw std::runtime_error("cannot start " + exe.string());
  CloseHandle(info.hThread);
  process_ = OwnedHandle(info.hProcess);
  processId_ = info.dwProcessId;
}

StartedProgram::~StartedProgram() {
  if (WaitForSingleObject(process_.Get(), 0) == WAIT_TIMEOUT) {
    TerminateProcess(process_.Get(), 99);
    WaitForSingleObject(process_.Get(), 10000);
  }
}

std::optional<DWORD> StartedProgram::Close(std::chrono::milliseconds timeout) {
  if (HWND window = ShownMainWindow(processId_)) PostMessageW(window, WM_SYSCOMMAND, SC_CLOSE, 0);
  return WaitForExit(timeout);
}

std::optional<DWORD> StartedProgram::WaitForExit(std::chrono::milliseconds timeout) {
  if (!WaitSignalled(process_.Get(), timeout)) return std::nullopt;
  DWORD code = 0;
  GetExitCodeProcess(process_.Get(), &code);
  return code;
}

KeepAliveWindow::KeepAliveWindow() {
  WNDCLASSW windowClass{};
  windowClass.lpfnWndProc = DefWindowProcW;
  windowClass.hInstance = GetModuleHandleW(nullptr);
  windowClass.lpszClassName = kKeepAliveClass;
  RegisterClassW(&windowClass);
  window_ = CreateWindowExW(0, kKeepAliveClass, L"", WS_POPUP, 0, 0, 1, 1, nullptr, nullptr,
                            GetModuleHandleW(nullptr), nullptr);
}

KeepAliveWindow::~KeepAliveWindow() {
  if (window_) DestroyWindow(window_);
}

void RemoveTree(const std::filesystem::path& folder) {
  std::error_code error;
  if (!std::filesystem::exists(folder, error)) return;
  SetFileAttributesW(folder.c_str(), FILE_ATTRIBUTE_NORMAL);
  for (const auto& entry : std::filesystem::recursive_directory_iterator(folder, error))
    SetFileAttributesW(entry.path().c_str(), FILE_ATTRIBUTE_NORMAL);
  std::filesystem::remove_all(folder, error);
}

}  // namespace test_support
