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
  HANDLE handle = OpenProcess(PROCESS_QUERY_INFORMATION | SYNCHRONIZE, FALSE, processId);
  if (handle == nullptr) return 0;
  const auto process = reinterpret_cast<std::uintptr_t>(handle);
  opened_[process] = processId;
  return process;
}

std::optional<std::uint32_t> Processes::ExitCode(std::uintptr_t process) {
  DWORD code = 0;
  if (process == 0 || !GetExitCodeProcess(AsHandle(process), &code)) return std::nullopt;
  return code;
}

void Processes::WaitForExitOrInput(std::uintptr_t process) {
  HANDLE handle = AsHandle(process);
  MsgWaitForMultipleObjectsEx(process == 0 ? 0 : 1, process == 0 ? nullptr : &handle, kWaitSliceMs, QS_ALLINPUT,
                              MWMO_INPUTAVAILABLE);
}

void Processes::Close(std::uintptr_t process) {
  if (process == 0) return;
  CloseHandle(AsHandle(process));
  if (auto opened = opened_.find(process); opened != opened_.end()) {
    if (auto started = started_.find(opened->second); started != started_.end()) {
      CloseHandle(started->second);
      started_.erase(started);
    }
    opened_.erase(opened);
  }
}

}  // namespace platform::win32
