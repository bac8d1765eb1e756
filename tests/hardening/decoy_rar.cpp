// A decoy named like the extractor, put where a search by name would find
// it before DATA\Rar.exe. If it ever runs it leaves Rar.exe.ran, holding its
// own path, in %ILVO_PLANT_MARKERS% and fails the extraction.
#include <windows.h>

#include <filesystem>
#include <fstream>

int wmain() {
  wchar_t folder[MAX_PATH];
  const DWORD length = GetEnvironmentVariableW(L"ILVO_PLANT_MARKERS", folder, MAX_PATH);
  if (length > 0 && length < MAX_PATH) {
    wchar_t self[MAX_PATH] = {};
    GetModuleFileNameW(nullptr, self, MAX_PATH);
    char path[4 * MAX_PATH] = {};
    WideCharToMultiByte(CP_UTF8, 0, self, -1, path, sizeof path, nullptr, nullptr);
    std::ofstream(std::filesystem::path(folder) / L"Rar.exe.ran", std::ios::binary) << path;
  }
  return 9;
}
