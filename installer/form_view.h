#pragma once
// The window as the voice logic sees it: states and outcomes, not widgets.
// Form1 maps them to its controls and boxes; the command-line mode to result
// lines and an exit code; native tests use a fake.
#include "installer/outcome.h"
#include "installer/voice_status.h"

namespace installer {

class FormView {
 public:
  virtual ~FormView() = default;

  // What the start-up found.
  virtual void ShowState(const VoiceStatus& status) = 0;
  // The extractor runs for an install or repair, until Finish.
  virtual void ShowBusy(Operation operation) = 0;
  // True: the user wants the operation.
  virtual bool Ask(Question question) = 0;
  // Tells how an operation came out; the program goes on.
  virtual void Report(const Outcome& outcome) = 0;
  // Tells how an operation came out, as the program's last word: the window
  // ends the program; the command-line mode ends its job with the outcome's
  // exit code. The logic does nothing more after it.
  virtual void Finish(const Outcome& outcome) = 0;
};

}  // namespace installer
