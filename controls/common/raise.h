#pragma once
// Raising a control's event to its container.
#include <utility>

namespace controls {

// Runs the handler from a copy, so that a handler may replace the control's
// events, or end the control, while it runs. An empty handler is no event.
template <typename Handler, typename... Args>
void Raise(Handler handler, Args&&... args) {
  if (handler) handler(std::forward<Args>(args)...);
}

}  // namespace controls
