#include "platform/win32/step_trace.h"

#include <windows.h>

#include <cstdio>
#include <cwchar>
#include <string>

namespace platform::win32 {

StepTrace::StepTrace() {
  wchar_t crash[16];
  const DWORD crashLength = GetEnvironmentVariableW(L"ILVO_STEP_CRASH", crash, 16);
  if (crashLength > 0 && crashLength < 16) crashAfter_ = static_cast<std::uint32_t>(std::wcstoul(crash, nullptr, 10));
  wchar_t path[MAX_PATH];
  const DWORD length = GetEnvironmentVariableW(L"ILVO_STEP_TRACE", path, MAX_PATH);
  if (length == 0 || length >= MAX_PATH) return;
  LARGE_INTEGER frequency;
  QueryPerformanceFrequency(&frequency);
  ticksPerMs_ = static_cast<double>(frequency.QuadPart) / 1000.0;
  file_.Reset(NoneIfInvalid(CreateFileW(path, FILE_APPEND_DATA, FILE_SHARE_READ | FILE_SHARE_WRITE, nullptr,
                                        OPEN_ALWAYS, FILE_ATTRIBUTE_NORMAL, nullptr)));
}

void StepTrace::Mark(std::string_view step) const {
  Write(step);
  if (crashAfter_ != 0 && ++marks_ == crashAfter_) TerminateProcess(GetCurrentProcess(), kCrashExitCode);
}

void StepTrace::Write(std::string_view step) const {
  if (!file_) return;
  LARGE_INTEGER now;
  QueryPerformanceCounter(&now);
  char time[32];
  const int length = std::snprintf(time, sizeof time, "%.3f ", static_cast<double>(now.QuadPart) / ticksPerMs_);
  std::string line(time, static_cast<std::size_t>(length > 0 ? length : 0));
  line.append(step).append("\r\n");
  DWORD written = 0;
  WriteFile(file_.Get(), line.data(), static_cast<DWORD>(line.size()), &written, nullptr);
}

}  // namespace platform::win32
