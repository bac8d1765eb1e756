// Stands in for a system DLL planted where a user can write. Whatever loads
// it leaves a marker named after it, <name>.loaded, in %ILVO_PLANT_MARKERS%,
// holding the path of the loading program; then it refuses to attach, so the
// load fails cleanly instead of handing out functions it does not have.
#include <windows.h>

namespace {

class OwnedFile {
 public:
  explicit OwnedFile(const wchar_t* path)
      : handle_(CreateFileW(path, GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, FILE_ATTRIBUTE_NORMAL, nullptr)) {}
  OwnedFile(const OwnedFile&) = delete;
  OwnedFile& operator=(const OwnedFile&) = delete;
  ~OwnedFile() {
    if (handle_ != INVALID_HANDLE_VALUE) CloseHandle(handle_);
  }
  void WriteUtf8(const wchar_t* text) {
    if (handle_ == INVALID_HANDLE_VALUE) return;
    char bytes[4 * MAX_PATH];
    const int size = WideCharToMultiByte(CP_UTF8, 0, text, -1, bytes, sizeof bytes, nullptr, nullptr);
    DWORD written = 0;
    if (size > 1) WriteFile(handle_, bytes, static_cast<DWORD>(size - 1), &written, nullptr);
  }

 private:
  HANDLE handle_;
};

const wchar_t* FileNamePart(const wchar_t* path) {
  const wchar_t* name = path;
  for (const wchar_t* at = path; *at; ++at)
    if (*at == L'\\' || *at == L'/') name = at + 1;
  return name;
}

// Fixed buffers only: this runs under the loader lock.
void LeaveMarker(HMODULE self) {
  wchar_t marker[2 * MAX_PATH];
  const DWORD folderLength = GetEnvironmentVariableW(L"ILVO_PLANT_MARKERS", marker, MAX_PATH);
  if (folderLength == 0 || folderLength >= MAX_PATH) return;
  wchar_t ownPath[MAX_PATH];
  if (GetModuleFileNameW(self, ownPath, MAX_PATH) == 0) return;
  lstrcatW(marker, L"\\");
  lstrcatW(marker, FileNamePart(ownPath));
  lstrcatW(marker, L".loaded");
  wchar_t loader[MAX_PATH];
  if (GetModuleFileNameW(nullptr, loader, MAX_PATH) == 0) loader[0] = L'\0';
  OwnedFile(marker).WriteUtf8(loader);
}

}  // namespace

BOOL WINAPI DllMain(HINSTANCE self, DWORD reason, LPVOID) {
  if (reason != DLL_PROCESS_ATTACH) return TRUE;
  LeaveMarker(self);
  return FALSE;
}
