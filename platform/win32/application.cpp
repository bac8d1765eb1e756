#include "platform/win32/application.h"

#include <windows.h>

#include "platform/instance_guard.h"
#include "platform/win32/module_path.h"
#include "platform/win32/text.h"

// windows.h maps this name to its A/W form; the service keeps its own.
#undef MessageBox

namespace platform::win32 {
namespace {

std::wstring MutexName(const std::string& instanceName) {
  std::string name = instanceName;
  if (name.empty()) {
    const std::wstring path = ModulePath();
    std::wstring fileName = path.substr(path.find_last_of(L"\\/") + 1);
    CharUpperW(fileName.data());
    name = Narrow(fileName);
  }
  return Widen(InstanceGuardName(name));
}

}  // namespace

std::string FolderOfModulePath(const std::string& modulePath) {
  const std::size_t slash = modulePath.find_last_of('\\');
  if (slash == std::string::npos) return {};
  std::string folder = modulePath.substr(0, slash);
  if (folder.size() == 2 && folder[1] == ':') folder += '\\';  // drive root keeps its backslash
  return folder;
}

Application::Application(const std::string& instanceName) {
  mutex_.Reset(CreateMutexW(nullptr, FALSE, MutexName(instanceName).c_str()));
  previousInstance_ = AnotherCopyRuns(static_cast<bool>(mutex_), GetLastError());
  BOOL wow64 = FALSE;
  sixtyFourBitWindows_ = sizeof(void*) == 8 || (IsWow64Process(GetCurrentProcess(), &wow64) && wow64);
}

Application::~Application() = default;

std::string Application::Folder() { return FolderOfModulePath(Narrow(ModulePath())); }

std::string Application::ProgramPath() { return Narrow(ModulePath()); }

bool Application::PreviousInstance() { return previousInstance_; }

void Application::SetOwnerWindow(void* window) { owner_ = window; }

void Application::EndProgram() { ExitProcess(0); }

void Application::RunMessageLoopUntil(const std::function<bool()>& done) {
  MSG message;
  while (!done()) {
    const BOOL got = GetMessageW(&message, nullptr, 0, 0);
    if (got == -1) return;
    if (got == 0) continue;  // a quit: only the job's end ends the loop
    TranslateMessage(&message);
    DispatchMessageW(&message);
  }
}

void ProcessPendingMessages() {
  MSG message;
  while (PeekMessageW(&message, nullptr, 0, 0, PM_REMOVE)) {
    if (message.message == WM_QUIT) {
      // Left for the program's own loop.
      PostQuitMessage(static_cast<int>(message.wParam));
      return;
    }
    TranslateMessage(&message);
    DispatchMessageW(&message);
  }
}

int Application::MessageBox(const std::string& text, const std::string& title, MessageButtons buttons,
                            MessageIcon icon) {
  UINT style = buttons == MessageButtons::OkCancel ? MB_OKCANCEL : MB_OK;
  if (icon == MessageIcon::Question) style |= MB_ICONQUESTION;
  if (icon == MessageIcon::Critical) style |= MB_ICONERROR;
  // The program's window owns every box, also when another program is in
  // front (the thread then has no active window), so the box stays modal to it.
  HWND owner = IsWindow(static_cast<HWND>(owner_)) ? static_cast<HWND>(owner_) : GetActiveWindow();
  Mark("message box called");
  return MessageBoxW(owner, Widen(text).c_str(), Widen(title).c_str(), style);
}

}  // namespace platform::win32
