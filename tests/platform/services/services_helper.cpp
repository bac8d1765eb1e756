// A second process for the Win32 tests:
//   hold <path> <id>   opens the file without sharing, sets the event
//                      "ilvo-hold-ready-<id>" and keeps the file open until
//                      "ilvo-hold-release-<id>" is set (at most 60 s);
//   exit <code> [ms]   waits ms milliseconds, then exits with code;
//   instance <name>    exits with 1 when platform::win32::Application(name)
//                      finds a previous instance, else 0.
#include <windows.h>

#include <cstdlib>
#include <string>

#include "platform/win32/application.h"

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
  return 100;
}
