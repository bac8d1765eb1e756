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

void RefuseLinksFromNonAdministrators() {
  // ProcessRedirectionTrustPolicy and its flag, newer than the headers we
  // build with; a system without the policy refuses the call, which is fine.
  constexpr int kProcessRedirectionTrustPolicy = 16;
  constexpr DWORD kEnforceRedirectionTrust = 0x1;
  using SetProcessMitigationPolicyFn = BOOL(WINAPI*)(int, PVOID, SIZE_T);
  HMODULE kernel = GetModuleHandleW(L"kernel32.dll");
  auto setPolicy = reinterpret_cast<SetProcessMitigationPolicyFn>(
      reinterpret_cast<void*>(GetProcAddress(kernel, "SetProcessMitigationPolicy")));
  if (!setPolicy) return;
  DWORD flags = kEnforceRedirectionTrust;
  setPolicy(kProcessRedirectionTrustPolicy, &flags, sizeof flags);
}

}  // namespace platform::win32
