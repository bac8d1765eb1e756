#pragma once
// Timed points in the program's work, for the benchmark to see where the time
// between two outside events goes. Off unless the environment variable
// ILVO_STEP_TRACE names a file; each point is then appended to it as one line:
// milliseconds on the high-resolution clock (the clock other processes read
// too), a space, the step's name.
//
// ILVO_STEP_CRASH=N ends the program right after its N-th point, counted from
// its start, as a power loss or the task manager would: TerminateProcess on
// itself, nothing cleaned up or flushed beyond what the step itself did. The
// tests crash every step of an operation this way and check what the next
// start finds.
#include <cstdint>
#include <string_view>

#include "platform/win32/unique_handle.h"

namespace platform::win32 {

class StepTrace {
 public:
  StepTrace();
  StepTrace(const StepTrace&) = delete;
  StepTrace& operator=(const StepTrace&) = delete;

  bool On() const { return static_cast<bool>(file_); }
  void Mark(std::string_view step) const;

  // The exit code of a program ended by ILVO_STEP_CRASH.
  static constexpr std::uint32_t kCrashExitCode = 0xDEAD;

 private:
  void Write(std::string_view step) const;

  KernelHandle file_;
  double ticksPerMs_ = 1;
  std::uint32_t crashAfter_ = 0;  // 0: never
  mutable std::uint32_t marks_ = 0;
};

}  // namespace platform::win32
