#pragma once
// Application service: folder, previous instance, end, the message loop of
// the command-line mode and message boxes.
#include <optional>
#include <string>

#include "platform/services.h"
#include "platform/win32/step_trace.h"
#include "platform/win32/unique_handle.h"

namespace platform::win32 {

class Application final : public platform::Application {
 public:
  // Creates the named mutex that marks a running instance, in every session
  // (platform/instance_guard.h), and keeps it for the life of this object
  // (normally the whole run). Copies that give the same name meet whatever
  // their file is called; an empty name takes the executable's file name in
  // upper case (copies under other names then do not meet).
  explicit Application(const std::string& instanceName = {});
  Application(const Application&) = delete;
  Application& operator=(const Application&) = delete;
  ~Application() override;

  // The executable's folder from GetModuleFileNameW, without the file name
  // and without a trailing backslash, except at a drive root ("C:\").
  std::string Folder() override;
  std::string ProgramPath() override;  // GetModuleFileNameW
  // True when the mutex already existed when this object created it.
  bool PreviousInstance() override;
  // A 64-bit build, or a 32-bit one for which IsWow64Process says so.
  bool SixtyFourBitWindows() override { return sixtyFourBitWindows_; }
  [[noreturn]] void EndProgram() override;  // ExitProcess(0)
  // GetMessage / TranslateMessage / DispatchMessage; a WM_QUIT is dropped.
  void RunMessageLoopUntil(const std::function<bool()>& done) override;
  // The program's one window, which owns every message box from now on.
  void SetOwnerWindow(void* window);  // an HWND
  // MessageBoxW owned by the program's window (before there is one, by the
  // thread's active window); returns IDOK (1), IDCANCEL (2) and so on.
  int MessageBox(const std::string& text, const std::string& title, MessageButtons buttons,
                 MessageIcon icon) override;
  // Appended to the step trace file (platform/win32/step_trace.h) when one is named.
  void Mark(std::string_view step) override { trace_.Mark(step); }

 private:
  StepTrace trace_;
  KernelHandle mutex_;
  void* owner_ = nullptr;  // an HWND, not owned
  bool previousInstance_ = false;
  bool sixtyFourBitWindows_ = false;
};

// Dispatches this thread's queued messages and returns. A WM_QUIT met on the
// way is posted again for the program's own loop, and ends the dispatching.
void ProcessPendingMessages();

// The folder part of a module path, by the rule of Application::Folder.
std::string FolderOfModulePath(const std::string& modulePath);

}  // namespace platform::win32
