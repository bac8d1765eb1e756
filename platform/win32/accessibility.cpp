#include "platform/win32/accessibility.h"

#include <objbase.h>

#include <string>

namespace platform::win32 {
namespace {

// IID_IAccessible, without linking the accessibility library.
constexpr GUID kAccessibleInterface = {0x618736E0, 0x3C3D, 0x11CF, {0x81, 0x0C, 0x00, 0xAA, 0x00, 0x38, 0x9B, 0x71}};
constexpr LONG kClientObject = -4;  // OBJID_CLIENT

std::wstring SystemLibraryPath(const wchar_t* name) {
  wchar_t folder[MAX_PATH];
  const UINT length = GetSystemDirectoryW(folder, MAX_PATH);
  if (length == 0 || length >= MAX_PATH) return {};
  return std::wstring(folder, length) + L"\\" + name;
}

template <typename Function>
Function Export(HMODULE library, const char* name) {
  return reinterpret_cast<Function>(reinterpret_cast<void*>(GetProcAddress(library, name)));
}

}  // namespace

AccessibleProxy::AccessibleProxy() {
  const std::wstring path = SystemLibraryPath(L"oleacc.dll");
  if (path.empty()) return;
  library_ = LoadLibraryW(path.c_str());
  if (!library_) return;
  // A client may hold an object of the library after this proxy is gone;
  // pinning keeps the code it calls in place until the process ends.
  HMODULE pinned = nullptr;
  GetModuleHandleExW(GET_MODULE_HANDLE_EX_FLAG_FROM_ADDRESS | GET_MODULE_HANDLE_EX_FLAG_PIN,
                     reinterpret_cast<LPCWSTR>(library_), &pinned);
  createProxy_ = Export<CreateProxyFunction>(library_, "CreateStdAccessibleProxyW");
  resultFromObject_ = Export<ResultFromObjectFunction>(library_, "LresultFromObject");
}

AccessibleProxy::~AccessibleProxy() {
  if (library_) FreeLibrary(library_);
}

LRESULT AccessibleProxy::Answer(HWND window, WPARAM wParam, const wchar_t* proxyClass) const {
  if (!Loaded()) return 0;
  IUnknown* object = nullptr;
  if (FAILED(createProxy_(window, proxyClass, kClientObject, kAccessibleInterface, reinterpret_cast<void**>(&object))) ||
      !object)
    return 0;
  const LRESULT result = resultFromObject_(kAccessibleInterface, wParam, object);
  object->Release();
  return result;
}

}  // namespace platform::win32
