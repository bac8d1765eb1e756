// A second process for the Win32 tests:
//   hold <path> <id>   opens the file without sharing, sets the event
//                      "ilvo-hold-ready-<id>" and keeps the file open until
//                      "ilvo-hold-release-<id>" is set (at most 60 s);
//   exit <code> [ms]   waits ms milliseconds, then exits with code;
//   instance <name>    exits with 1 when platform::win32::Application(name)
//                      finds a previous instance, else 0;
//   start <helper> <pid file> <id>  starts "<helper> exit 0 60000" through
//                      platform::win32::Processes, writes its process id to
//                      the pid file, and on "ilvo-start-end-<id>" (at most
//                      60 s) ends with ExitProcess, no destructor run;
//   stdin              reads its standard input: exits with 0 at the end of
//                      input, 1 with data, 2 when the read fails.
#include <windows.h>

#include <cstdlib>
#include <string>

#include "platform/win32/application.h"
#include "platform/win32/processes.h"
#include "platform/win32/text.h"

int wmain(int argc, wchar_t** argv) {
  const std::wstring mode = argc > 1 ? argv[1] : L"";
  if (mode == L"hold" && argc > 3) {
    HANDLE file = CreateFileW(argv[2], GENERIC_READ, 0, nullptr, OPEN_EXISTING, 0, nullptr);
    if (file == INVALID_HANDLE_VALUE) return 2;
    HANDLE ready = OpenEventW(EVENT_MODIFY_STATE, FALSE, (std::wstring(L"ilvo-hold-ready-") + argv[3]).c_str());
    HANDLE release = OpenEventW(SYNCHRONIZE, FALSE, (std::wstring(L"ilvo-hold-release-") + argv[3]).c_str());
    if (ready == nullptr || release == nullptr) return 3;
    SetEvent(ready);
    WaitForSingleObject(release, 60000);
    CloseHandle(file);
    return 0;
  }
  if (mode == L"exit" && argc > 2) {
    if (argc > 3) Sleep(static_cast<DWORD>(std::wcstoul(argv[3], nullptr, 10)));
    return static_cast<int>(std::wcstoul(argv[2], nullptr, 10));
  }
  if (mode == L"instance" && argc > 2) {
    char name[256] = {};
    WideCharToMultiByte(CP_UTF8, 0, argv[2], -1, name, sizeof name, nullptr, nullptr);
    platform::win32::Application application(name);
    return application.PreviousInstance() ? 1 : 0;
  }
  if (mode == L"start" && argc > 4) {
    const HANDLE end = OpenEventW(SYNCHRONIZE, FALSE, (std::wstring(L"ilvo-start-end-") + argv[4]).c_str());
    if (end == nullptr) return 3;
    platform::win32::Processes processes;
    const std::string helper = platform::win32::Narrow(argv[2]);
    const auto id = processes.StartHidden(helper, "\"" + helper + "\" exit 0 60000");
    if (!id) return 4;
    const std::string text = std::to_string(*id);
    HANDLE file = CreateFileW(argv[3], GENERIC_WRITE, FILE_SHARE_READ, nullptr, CREATE_ALWAYS, 0, nullptr);
    if (file == INVALID_HANDLE_VALUE) return 5;
    DWORD written = 0;
    WriteFile(file, text.data(), static_cast<DWORD>(text.size()), &written, nullptr);
    CloseHandle(file);
    WaitForSingleObject(end, 60000);
    ExitProcess(0);
  }
  if (mode == L"stdin") {
    char byte = 0;
    DWORD read = 0;
    if (!ReadFile(GetStdHandle(STD_INPUT_HANDLE), &byte, 1, &read, nullptr)) return 2;
    return read == 0 ? 0 : 1;
  }
  return 100;
}
