#pragma once
#include <functional>

namespace platform {

// A timer of a control or window. Interval 0 never fires.
class Timer {
 public:
  virtual ~Timer() = default;
  virtual void SetEnabled(bool enabled) = 0;
  virtual bool Enabled() const = 0;
  virtual void SetInterval(int milliseconds) = 0;
  virtual int Interval() const = 0;
};

}  // namespace platform
