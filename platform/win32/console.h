#pragma once
// The program's arguments and the console it was started from. The installer
// is a windowed program: Windows gives it no console of its own, so lines for
// a console go to the output it was handed (a file or a pipe) or, failing
// that, to the console of the program that started it.
#include <string>
#include <vector>

#include "platform/win32/unique_handle.h"

namespace platform::win32 {

// The arguments after the program's name, split by CommandLineToArgvW
// (shell32 is loaded for it only when there are any); std::runtime_error
// when there are some and they cannot be split.
std::vector<std::string> ProgramArguments();

// Reached only when there is a line to write (the job's result, at its end):
// while the job runs the program owns no console, so the extractor it starts
// does not share the caller's, and a console closed meanwhile ends nothing.
class ParentConsole {
 public:
  ParentConsole() = default;
  ParentConsole(const ParentConsole&) = delete;
  ParentConsole& operator=(const ParentConsole&) = delete;
  ~ParentConsole();

  // The line and CR LF: on a console as UTF-16, into a file or pipe in the
  // ANSI code page. Nothing when there is neither.
  void WriteLine(const std::string& utf8);

 private:
  void Open();

  bool opened_ = false;
  void* output_ = nullptr;   // not owned: the handed output, or ownOutput_
  KernelHandle ownOutput_;   // CONOUT$ opened after attaching
  bool attached_ = false;    // AttachConsole(ATTACH_PARENT_PROCESS) succeeded
};

}  // namespace platform::win32
