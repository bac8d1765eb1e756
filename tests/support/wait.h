#pragma once
#include <windows.h>

#include <chrono>

namespace test_support {

// Waits, keeping this thread's queue empty, until the condition holds or the
// time is up; the condition's last answer.
template <typename Condition>
bool WaitUntil(Condition condition, std::chrono::milliseconds timeout) {
  const auto end = std::chrono::steady_clock::now() + timeout;
  while (std::chrono::steady_clock::now() < end) {
    if (condition()) return true;
    MSG message;
    while (PeekMessageW(&message, nullptr, 0, 0, PM_REMOVE)) DispatchMessageW(&message);
    MsgWaitForMultipleObjects(0, nullptr, FALSE, 20, QS_ALLINPUT);
  }
  return condition();
}

}  // namespace test_support
