#pragma once
// Application service: folder, previous instance, end, event pump and
// message boxes.
#include <optional>
#include <string>

#include "platform/services.h"

namespace platform::win32 {

class Application final : public platform::Application {
 public:
  // Creates the named mutex that marks a running instance and keeps it for
  // the life of this object (normally the whole run). An empty name takes the
  // executable's file name, so that every copy of the same program meets.
  explicit Application(const std::string& instanceName = {});
  Application(const Application&) = delete;
  Application& operator=(const Application&) = delete;
  ~Application() override;

  // The executable's folder from GetModuleFileNameW, without the file name
  // and without a trailing backslash, except at a drive root ("C:\").
  std::string Folder() override;
  // True when the mutex already existed when this object created it.
  bool PreviousInstance() override;
  [[noreturn]] void EndProgram() override;  // ExitProcess(0), or the code of a quit DoEvents kept
  // PeekMessage / TranslateMessage / DispatchMessage until the queue is
  // empty. A WM_QUIT met on the way is kept, not posted again: every caller
  // waits for something that ends in a message box and the end of the
  // program, and a quit left in the queue would wake the wait at once and
  // close that message box unseen.
  void DoEvents() override;
  // The program's one window, which owns every message box from now on.
  void SetOwnerWindow(void* window);  // an HWND
  // MessageBoxW owned by the program's window (before there is one, by the
  // thread's active window); returns IDOK (1), IDCANCEL (2) and so on.
  int MessageBox(const std::string& text, const std::string& title, MessageButtons buttons,
                 MessageIcon icon) override;

 private:
  void* mutex_ = nullptr;  // owned
  void* owner_ = nullptr;  // an HWND, not owned
  bool previousInstance_ = false;
  std::optional<int> quitKept_;  // a WM_QUIT that DoEvents took from the queue
};

// Dispatches this thread's queued messages and returns. A WM_QUIT met on the
// way is posted again for the program's own loop, and ends the dispatching,
// unless keepQuit is given: then its exit code is stored there and the
// dispatching goes on.
void ProcessPendingMessages(std::optional<int>* keepQuit = nullptr);

// The folder part of a module path, by the rule of Application::Folder.
std::string FolderOfModulePath(const std::string& modulePath);

}  // namespace platform::win32
