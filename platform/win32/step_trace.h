#pragma once
// Timed points in the program's work, for the benchmark to see where the time
// between two outside events goes. Off unless the environment variable
// ILVO_STEP_TRACE names a file; each point is then appended to it as one line:
// milliseconds on the high-resolution clock (the clock other processes read
// too), a space, the step's name.
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

 private:
  KernelHandle file_;
  double ticksPerMs_ = 1;
};

}  // namespace platform::win32
