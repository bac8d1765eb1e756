#pragma once
// Process service: hidden start, a wait on the process that wakes for input,
// and the exit code once it has ended.
#include <cstdint>
#include <map>

#include "platform/services.h"

namespace platform::win32 {

class Processes final : public platform::Processes {
 public:
  Processes() = default;
  Processes(const Processes&) = delete;
  Processes& operator=(const Processes&) = delete;
  ~Processes() override;  // closes every handle still kept

  // CreateProcessW with the program's full path as lpApplicationName and the
  // command line unchanged; window hidden (STARTF_USESHOWWINDOW, SW_HIDE), no
  // handle inheritance. The thread handle is closed at once; the process
  // handle is kept until the matching Close, so that it names this very
  // process however soon it ends.
  std::optional<std::uint32_t> StartHidden(const std::string& applicationPath,
                                           const std::string& commandLine) override;
  std::uintptr_t Open(std::uint32_t processId) override;  // the handle kept from the start
  // MsgWaitForMultipleObjectsEx on the process for at most 50 ms, waking on
  // any input (QS_ALLINPUT, MWMO_INPUTAVAILABLE).
  WaitResult WaitForExitOrInput(std::uintptr_t process) override;
  std::optional<std::uint32_t> ExitCode(std::uintptr_t process) override;  // GetExitCodeProcess
  void Close(std::uintptr_t process) override;  // closes the kept handle

 private:
  std::map<std::uint32_t, void*> started_;  // process id -> handle from the start (owned)
};

}  // namespace platform::win32
