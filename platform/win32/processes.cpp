#include "platform/win32/processes.h"

#include <windows.h>

#include <vector>

#include "platform/win32/text.h"

namespace platform::win32 {
namespace {

constexpr DWORD kWaitSliceMs = 50;

HANDLE AsHandle(std::uintptr_t process) { return reinterpret_cast<HANDLE>(process); }

}  // namespace

Processes::~Processes() {
  for (auto& [id, handle] : started_) CloseHandle(handle);
}

std::optional<std::uint32_t> Processes::StartHidden(const std::string& applicationPath,
                                                    const std::string& commandLine) {
  const std::wstring application = Widen(applicationPath);
  std::wstring line = Widen(commandLine);
  std::vector<wchar_t> mutableLine(line.begin(), line.end());  // CreateProcessW may write to it
  mutableLine.push_back(L'\0');

  STARTUPINFOW startup{};
  startup.cb = sizeof startup;
  startup.dwFlags = STARTF_USESHOWWINDOW;
  startup.wShowWindow = SW_HIDE;
  PROCESS_INFORMATION info{};
  if (!CreateProcessW(application.c_str(), mutableLine.data(), nullptr, nullptr, FALSE, 0, nullptr, nullptr,
                      &startup, &info)) {
    return std::nullopt;
  }
  CloseHandle(info.hThread);
  if (auto old = started_.find(info.dwProcessId); old != started_.end()) CloseHandle(old->second);
  started_[info.dwProcessId] = info.hProcess;
  return info.dwProcessId;
}

std::uintptr_t Processes::Open(std::uint32_t processId) {
  const auto started = started_.find(processId);
  return started == started_.end() ? 0 : reinterpret_cast<std::uintptr_t>(started->second);
}

WaitResult Processes::WaitForExitOrInput(std::uintptr_t process) {
  if (process == 0) return WaitResult::Failed;
  HANDLE handle = AsHandle(process);
  switch (MsgWaitForMultipleObjectsEx(1, &handle, kWaitSliceMs, QS_ALLINPUT, MWMO_INPUTAVAILABLE)) {
    case WAIT_OBJECT_0:
      return WaitResult::Ended;
    case WAIT_OBJECT_0 + 1:
    case WAIT_TIMEOUT:
      return WaitResult::Woken;
    default:
      return WaitResult::Failed;
  }
}

std::optional<std::uint32_t> Processes::ExitCode(std::uintptr_t process) {
  DWORD code = 0;
  if (process == 0 || !GetExitCodeProcess(AsHandle(process), &code)) return std::nullopt;
  return code;
}

void Processes::Close(std::uintptr_t process) {
  for (auto started = started_.begin(); started != started_.end(); ++started) {
    if (reinterpret_cast<std::uintptr_t>(started->second) == process) {
      CloseHandle(started->second);
      started_.erase(started);
      return;
    }
  }
}

}  // namespace platform::win32
