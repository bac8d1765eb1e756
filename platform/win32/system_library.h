#pragma once
// A DLL of the system folder, loaded for one use and freed again: for the
// calls the program makes seldom, so that the DLL costs nothing at start.
#include <windows.h>

#include <string>

#include "platform/win32/unique_handle.h"

namespace platform::win32 {

class SystemLibrary {
 public:
  // By its full path in the system folder, whatever lies beside the program
  // (also where LoadLibraryEx knows no LOAD_LIBRARY_SEARCH_SYSTEM32).
  explicit SystemLibrary(const wchar_t* name) {
    wchar_t folder[MAX_PATH];
    const UINT length = GetSystemDirectoryW(folder, MAX_PATH);
    if (length == 0 || length >= MAX_PATH) return;
    const std::wstring path = std::wstring(folder, length) + L"\\" + name;
    module_.Reset(LoadLibraryW(path.c_str()));
  }

  // The exported function, typed; null when the DLL or the export is missing.
  template <typename Function>
  Function* Find(const char* name) const {
    if (!module_) return nullptr;
    return reinterpret_cast<Function*>(reinterpret_cast<void*>(GetProcAddress(module_.Get(), name)));
  }

 private:
  static void Free(HMODULE module) { FreeLibrary(module); }
  UniqueHandle<HMODULE, &SystemLibrary::Free> module_;
};

}  // namespace platform::win32
