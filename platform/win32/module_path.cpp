#include "platform/win32/module_path.h"

#include <windows.h>

namespace platform::win32 {

std::wstring ModulePath() {
  std::wstring buffer(MAX_PATH, L'\0');
  for (;;) {
    const DWORD length = GetModuleFileNameW(nullptr, buffer.data(), static_cast<DWORD>(buffer.size()));
    if (length == 0) return {};
    if (length < buffer.size()) {
      buffer.resize(length);
      return buffer;
    }
    buffer.resize(buffer.size() * 2);  // truncated: try a larger buffer
  }
}

}  // namespace platform::win32
