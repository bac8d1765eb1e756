#include "platform/win32/console.h"

#include <windows.h>

#include <stdexcept>

#include "platform/command_line_text.h"
#include "platform/win32/system_library.h"
#include "platform/win32/text.h"

namespace platform::win32 {

std::vector<std::string> ProgramArguments() {
  const wchar_t* commandLine = GetCommandLineW();
  // The window's start has no arguments, and needs no shell32 to tell.
  if (!HasArgumentsAfterProgramName(commandLine)) return {};
  const SystemLibrary shell(L"shell32.dll");
  const auto split = shell.Find<LPWSTR* WINAPI(LPCWSTR, int*)>("CommandLineToArgvW");
  int count = 0;
  LPWSTR* arguments = split ? split(commandLine, &count) : nullptr;
  // Switches that cannot be read must not become a window nobody asked for.
  if (arguments == nullptr) throw std::runtime_error("the command line cannot be read");
  std::vector<std::string> result;
  for (int i = 1; i < count; ++i) result.push_back(Narrow(arguments[i]));
  LocalFree(arguments);
  return result;
}

namespace {

bool IsConsole(HANDLE handle) {
  DWORD mode = 0;
  return GetConsoleMode(handle, &mode) != FALSE;
}

}  // namespace

void ParentConsole::Open() {
  opened_ = true;
  // Redirected (a file, a pipe): the handle came with the start.
  HANDLE handed = GetStdHandle(STD_OUTPUT_HANDLE);
  if (handed != nullptr && handed != INVALID_HANDLE_VALUE && GetFileType(handed) != FILE_TYPE_UNKNOWN) {
    output_ = handed;
    return;
  }
  if (!AttachConsole(ATTACH_PARENT_PROCESS)) return;
  attached_ = true;
  ownOutput_.Reset(NoneIfInvalid(CreateFileW(L"CONOUT$", GENERIC_READ | GENERIC_WRITE,
                                             FILE_SHARE_READ | FILE_SHARE_WRITE, nullptr, OPEN_EXISTING, 0, nullptr)));
  output_ = ownOutput_.Get();
}

ParentConsole::~ParentConsole() {
  ownOutput_.Reset();
  if (attached_) FreeConsole();
}

void ParentConsole::WriteLine(const std::string& utf8) {
  if (!opened_) Open();
  if (output_ == nullptr) return;
  if (IsConsole(output_)) {
    const std::wstring line = Widen(utf8) + L"\r\n";
    DWORD written = 0;
    WriteConsoleW(output_, line.data(), static_cast<DWORD>(line.size()), &written, nullptr);
    return;
  }
  const std::string line = ToAnsi(utf8) + "\r\n";
  DWORD written = 0;
  WriteFile(output_, line.data(), static_cast<DWORD>(line.size()), &written, nullptr);
}

}  // namespace platform::win32
