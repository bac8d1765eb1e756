#pragma once
// Process service: hidden start, the end of a process told as a message, and
// the exit code once it has ended.
#include <cstdint>
#include <functional>
#include <map>
#include <memory>

#include "platform/services.h"
#include "platform/win32/unique_handle.h"

namespace platform::win32 {

class ExitNotifier;

class Processes final : public platform::Processes {
 public:
  Processes();
  Processes(const Processes&) = delete;
  Processes& operator=(const Processes&) = delete;
  ~Processes() override;  // ends every watch and closes every handle still kept

  // CreateProcessW with the program's full path as lpApplicationName and the
  // command line unchanged; no console (DETACHED_PROCESS), window hidden
  // (STARTF_USESHOWWINDOW, SW_HIDE), standard input, output and error on
  // NUL, inheriting only those. Started suspended and resumed once in the
  // service's job, which ends it with the program; nothing when it cannot
  // be put there. The process handle is kept until the matching Close, so
  // that it names this very process however soon it ends.
  std::optional<std::uint32_t> StartHidden(const std::string& applicationPath,
                                           const std::string& commandLine) override;
  std::uintptr_t Open(std::uint32_t processId) override;  // the handle kept from the start
  // A one-shot RegisterWaitForSingleObject on the process; its callback, on a
  // thread of the pool, posts to a message-only window of this thread, whose
  // procedure calls onEnd.
  bool WatchForExit(std::uintptr_t process, std::function<void(bool ended)> onEnd) override;
  std::optional<std::uint32_t> ExitCode(std::uintptr_t process) override;  // GetExitCodeProcess
  void Close(std::uintptr_t process) override;  // ends the watch, closes the kept handle

 private:
  KernelHandle job_;  // JOB_OBJECT_LIMIT_KILL_ON_JOB_CLOSE, for every process started
  std::map<std::uint32_t, KernelHandle> started_;  // process id -> handle from the start
  std::unique_ptr<ExitNotifier> notifier_;   // made on the first watch, on the watching thread
};

}  // namespace platform::win32
