// IlvoInstaller.exe: installs, repairs, uninstalls and exports the
// registration of the Ilvo voice bank; with a switch (installer/command_line.h)
// it does one of these without its window and ends with an exit code.
#include <windows.h>

#include <exception>
#include <stdexcept>
#include <string>

#include "installer/command_line.h"
#include "installer/voice_identity.h"
#include "installer/window/form1.h"
#include "installer/window/resource_ids.h"
#include "platform/runtime/design_data.h"
#include "platform/win32/application.h"
#include "platform/win32/console.h"
#include "platform/win32/dll_search.h"
#include "platform/win32/file_system.h"
#include "platform/win32/processes.h"
#include "platform/win32/registry.h"
#include "platform/win32/resources.h"
#include "platform/win32/text.h"

namespace {

platform::DesignData LoadForm1Design() {
  auto text = platform::win32::LoadDataResource(IDR_FORM1_DESIGN);
  if (!text) throw std::runtime_error("the window's design data is missing");
  return platform::ParseDesignData(*text);
}

void ShowStartFailure(const std::string& problem) {
  const std::wstring text = platform::win32::Widen("安装程序无法启动：\r\n" + problem);
  MessageBoxW(nullptr, text.c_str(), L"错误", MB_OK | MB_ICONERROR);
}

// The command-line mode: no window of its own, its result on the console it
// was started from, and the job's exit code.
int RunWithoutWindow(const installer::CommandLine& command, platform::Services services) {
  platform::win32::ParentConsole console;
  try {
    return installer::RunCommandLine(command, services,
                                     [&console](const std::string& line) { console.WriteLine(line); });
  } catch (const std::exception& error) {
    console.WriteLine(error.what());
  }
  return installer::exit_code::kFailed;
}

}  // namespace

int WINAPI wWinMain(HINSTANCE, HINSTANCE, PWSTR, int) {
  // Before anything can load a DLL: never from the program's own folder.
  // Only the planted-DLL test builds a copy without it, to prove it can tell.
#ifndef ILVO_TEST_WITHOUT_DLL_RESTRICTION
  platform::win32::RestrictDllSearchToSystemFolder();
#endif
  platform::win32::RefuseLinksFromNonAdministrators();
  try {
    // Named after the voice, not the file: a renamed copy, or one started by
    // its short name, still meets the one already running.
    platform::win32::Application app{std::string(installer::VoiceIdentity::kVoiceId)};
    app.Mark("main entered");
    platform::win32::Registry registry;
    platform::win32::FileSystem files;
    platform::win32::Processes processes;
    const installer::CommandLine command = installer::ParseCommandLine(platform::win32::ProgramArguments());
    if (!command.WantsWindow()) return RunWithoutWindow(command, {registry, files, processes, app});
    const platform::DesignData design = LoadForm1Design();
    app.Mark("design data read");
    installer::Form1 form({registry, files, processes, app}, design);
    app.Mark("window and controls created");
    app.SetOwnerWindow(form.Handle());
    form.Run();
    return 0;
  } catch (const std::exception& error) {
    ShowStartFailure(error.what());
  } catch (...) {
    ShowStartFailure("unknown error");
  }
  return 1;
}
