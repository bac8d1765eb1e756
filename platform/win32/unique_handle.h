#pragma once
// The one owner of a Win32 handle of any kind: it gives the handle back with
// the call that kind needs (Free) when it goes out of scope, moves, and is
// never copied. Kinds whose call needs <windows.h> are named where that is
// included (gdi_handles.h and the .cpp files); kernel handles are named here,
// so that headers can hold them without <windows.h>.
#include <cstdint>
#include <utility>

namespace platform::win32 {

template <typename Handle, auto Free>
class UniqueHandle {
 public:
  UniqueHandle() = default;
  explicit UniqueHandle(Handle handle) : handle_(handle) {}
  ~UniqueHandle() { Reset(); }
  UniqueHandle(UniqueHandle&& other) noexcept : handle_(std::exchange(other.handle_, Handle{})) {}
  UniqueHandle& operator=(UniqueHandle&& other) noexcept {
    if (this != &other) Reset(std::exchange(other.handle_, Handle{}));
    return *this;
  }
  UniqueHandle(const UniqueHandle&) = delete;
  UniqueHandle& operator=(const UniqueHandle&) = delete;

  Handle Get() const { return handle_; }
  explicit operator bool() const { return handle_ != Handle{}; }
  // For calls that hand a new handle back through a pointer; the one held
  // before is given back first.
  Handle* Out() {
    Reset();
    return &handle_;
  }
  // Gives up ownership, for calls that take it over (SetWindowRgn), or whose
  // result of giving it back matters (CloseHandle after a write).
  Handle Release() { return std::exchange(handle_, Handle{}); }
  void Reset(Handle handle = Handle{}) {
    if (handle_ != Handle{}) Free(handle_);
    handle_ = handle;
  }

 private:
  Handle handle_{};
};

// CloseHandle, for a HANDLE (void*) of a process, file, mutex and so on.
void CloseKernelHandle(void* handle);
using KernelHandle = UniqueHandle<void*, &CloseKernelHandle>;

// CreateFileW and FindFirstFileW answer INVALID_HANDLE_VALUE, not null, when
// they fail; owners hold null for "none".
inline void* NoneIfInvalid(void* handle) {
  return handle == reinterpret_cast<void*>(static_cast<std::intptr_t>(-1)) ? nullptr : handle;
}

}  // namespace platform::win32
