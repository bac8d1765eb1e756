#pragma once
// What the benchmarks and the end-to-end tests read from outside another
// process: its clock, processor time, working set, child processes and
// windows, all without disturbing it.
#include <windows.h>

#include <chrono>
#include <filesystem>
#include <functional>
#include <optional>
#include <string>
#include <utility>
#include <vector>

#include "platform/win32/unique_handle.h"

namespace test_support {

// A kernel handle owned alone, closed on destruction.
using OwnedHandle = platform::win32::KernelHandle;
using platform::win32::NoneIfInvalid;

// Milliseconds on the high-resolution clock.
double NowMs();

// User plus kernel time the process's running threads have used so far.
// Summed over threads because Wine answers GetProcessTimes for another
// process with the caller's own times; its thread times are the real ones.
double ProcessorTimeMs(DWORD processId);
SIZE_T PeakWorkingSet(HANDLE process);
// From the creation of an ended process to its end, as the system recorded them.
double LifetimeMs(HANDLE process);

// The process of that name whose parent is parentId, if one runs.
std::optional<DWORD> FindChildProcess(DWORD parentId, const std::wstring& exeName);

// Waits for the handle while answering this thread's messages; the time it was
// seen signalled, or nothing after the timeout.
std::optional<double> WaitSignalled(HANDLE handle, std::chrono::milliseconds timeout);

// Polls about every millisecond until the condition holds; the time it first
// held, or nothing after the timeout. It sleeps in between: a poll that spins
// takes a core, and the Wine server's time, from the program it watches.
std::optional<double> PollEveryMillisecond(const std::function<bool()>& condition, std::chrono::milliseconds timeout);

// A shown top-level window of the process: its main window (captioned, not a
// dialog) or a message box; null when there is none yet.
enum class ShownWindow { Main, MessageBox };
HWND FindShownWindow(DWORD processId, ShownWindow kind);
// The same, by name.
HWND ShownMainWindow(DWORD processId);
HWND ShownMessageBox(DWORD processId);

// A program started by the benchmark; ended if it still runs when this goes.
class StartedProgram {
 public:
  // creationFlags and show as CreateProcessW takes them; startedAtMs is read
  // right before the process is created.
  StartedProgram(const std::filesystem::path& exe, const std::wstring& arguments,
                 const std::filesystem::path& workingFolder, DWORD creationFlags = 0,
                 std::optional<WORD> show = std::nullopt);
  StartedProgram(const StartedProgram&) = delete;
  StartedProgram& operator=(const StartedProgram&) = delete;
  ~StartedProgram();

  HANDLE Process() const { return process_.Get(); }
  DWORD Id() const { return processId_; }
  double StartedAtMs() const { return startedAtMs_; }
  // Asks its main window to close as the close box does; its exit code, or
  // nothing if it did not end in time.
  std::optional<DWORD> Close(std::chrono::milliseconds timeout);
  std::optional<DWORD> WaitForExit(std::chrono::milliseconds timeout);

 private:
  OwnedHandle process_;
  DWORD processId_ = 0;
  double startedAtMs_ = 0;
};

// One hidden window for the benchmark's whole length: Wine ends and restarts
// its desktop process whenever the last window goes, which would stall runs.
class KeepAliveWindow {
 public:
  KeepAliveWindow();
  KeepAliveWindow(const KeepAliveWindow&) = delete;
  KeepAliveWindow& operator=(const KeepAliveWindow&) = delete;
  ~KeepAliveWindow();

 private:
  HWND window_ = nullptr;
};

// Removes a folder tree even where entries are read-only or hidden.
void RemoveTree(const std::filesystem::path& folder);

}  // namespace test_support
