#pragma once
#include <windows.h>

#include <chrono>
#include <cstdlib>

namespace test_support {

// A limit stretched by ILVO_WAIT_SCALE (a whole number; 1 when unset), for a
// machine that runs the programs many times slower than usual, such as the
// emulated one of scripts/vm32.sh. A limit is only the longest wait: a
// condition that holds ends it at once.
inline std::chrono::milliseconds ScaledLimit(std::chrono::milliseconds limit) {
  static const int scale = [] {
    wchar_t text[16] = {};
    const DWORD length = GetEnvironmentVariableW(L"ILVO_WAIT_SCALE", text, 16);
    const int value = length > 0 && length < 16 ? _wtoi(text) : 1;
    return value > 1 ? value : 1;
  }();
  return limit * scale;
}

// Waits, keeping this thread's queue empty, until the condition holds or the
// (scaled) time is up; the condition's last answer.
template <typename Condition>
bool WaitUntil(Condition condition, std::chrono::milliseconds timeout) {
  const auto end = std::chrono::steady_clock::now() + ScaledLimit(timeout);
  while (std::chrono::steady_clock::now() < end) {
    if (condition()) return true;
    MSG message;
    while (PeekMessageW(&message, nullptr, 0, 0, PM_REMOVE)) DispatchMessageW(&message);
    MsgWaitForMultipleObjects(0, nullptr, FALSE, 20, QS_ALLINPUT);
  }
  return condition();
}

}  // namespace test_support
