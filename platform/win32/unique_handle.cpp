#include "platform/win32/unique_handle.h"

#include <windows.h>

namespace platform::win32 {

void CloseKernelHandle(void* handle) { CloseHandle(handle); }

}  // namespace platform::win32
