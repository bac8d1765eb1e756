#include "platform/win32/dll_search.h"

#include <windows.h>

namespace platform::win32 {

void RestrictDllSearchToSystemFolder() {
  // kernel32 is always loaded; looking the entry point up keeps the program
  // starting on systems whose kernel32 predates it.
  using SetDefaultDllDirectoriesFn = BOOL(WINAPI*)(DWORD);
  HMODULE kernel = GetModuleHandleW(L"kernel32.dll");
  auto setDefault = reinterpret_cast<SetDefaultDllDirectoriesFn>(
      reinterpret_cast<void*>(GetProcAddress(kernel, "SetDefaultDllDirectories")));
  if (setDefault) setDefault(0x00000800 /* LOAD_LIBRARY_SEARCH_SYSTEM32 */);
  SetDllDirectoryW(L"");
}

}  // namespace platform::win32
