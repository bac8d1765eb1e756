#pragma once
// Process service: hidden start, exit-code polling and an idle wait.
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
  // handle is kept until the matching Close, so that the process id stays
  // valid for Open even when the program ends at once.
  std::optional<std::uint32_t> StartHidden(const std::string& applicationPath,
                                           const std::string& commandLine) override;
  std::uintptr_t Open(std::uint32_t processId) override;  // OpenProcess(QUERY_INFORMATION | SYNCHRONIZE)
  std::optional<std::uint32_t> ExitCode(std::uintptr_t process) override;  // GetExitCodeProcess
  // MsgWaitForMultipleObjectsEx on the process for at most 50 ms, waking on
  // any input (QS_ALLINPUT, MWMO_INPUTAVAILABLE).
  void WaitForExitOrInput(std::uintptr_t process) override;
  void Close(std::uintptr_t process) override;  // CloseHandle, and releases the kept start handle

 private:
  std::map<std::uint32_t, void*> started_;       // process id -> handle from the start (owned)
  std::map<std::uintptr_t, std::uint32_t> opened_;  // handle from Open -> its process id
};

}  // namespace platform::win32
