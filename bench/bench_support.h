#pragma once
// What the benchmark's groups share: its options, the voice reset between
// runs, the programs' step traces and processor time, the extractor the
// installer starts, one measured install, and the table's cells.
#include <windows.h>

#include <array>
#include <chrono>
#include <cstdio>
#include <exception>
#include <filesystem>
#include <limits>
#include <map>
#include <optional>
#include <string>
#include <vector>

#include "bench/report.h"
#include "tests/e2e/e2e_support.h"
#include "tests/support/environment.h"
#include "tests/support/probes.h"

namespace bench {

namespace fs = std::filesystem;
using namespace std::chrono_literals;
using test_support::OwnedHandle;
using test_support::ScopedVariable;
using test_support::StartedProgram;

inline const std::wstring kCaptionAbsent = L"Ilvo - 音源不存在";
inline const std::wstring kSuccessTitle = L"提示";
inline const std::wstring kSuccessText = L"音源[安装]成功！";
inline constexpr int kLongExtractionMs = 5000;
// The wait is steady this long after the extractor is seen: entering the busy
// state (captions, buttons, the first frames) is a cost per install, not per frame.
inline constexpr auto kSteadyAfter = 1s;
inline constexpr auto kSettleWindow = 1s;
inline constexpr auto kIdleWindow = 2s;
inline constexpr UINT kBareShowMessage = WM_APP + 1;  // bare_window.cpp's kShowMessage
inline constexpr auto kLargeInstallTimeout = 20min;

struct Options {
  fs::path bareWindow;
  fs::path floorWindow;
  fs::path largeArchive;  // empty: no large install
  int runs = 5;
  int largeRuns = 3;
  std::string only;  // one group: wait, message, startup, large or frames; empty: all but frames
  fs::path framesFolder;  // frames: where the steady moments are told to scripts/bench.sh
};

// The options of the command line; throws std::invalid_argument with the usage.
Options ParseOptions(int argc, char** argv);

void Progress(const char* format, auto... values) {
  std::fprintf(stderr, format, values...);
  std::fflush(stderr);
}

// Leaves the voice absent: no record, no voice folder.
void ResetVoice(const e2e::AppFolder& folder);

// Resets the voice when a run ends, however it ends; declared before the
// programs of the run, so that they have ended by then.
class VoiceReset {
 public:
  explicit VoiceReset(const e2e::AppFolder& folder) : folder_(folder) { ResetVoice(folder_); }
  VoiceReset(const VoiceReset&) = delete;
  VoiceReset& operator=(const VoiceReset&) = delete;
  ~VoiceReset() { ResetVoice(folder_); }

 private:
  const e2e::AppFolder& folder_;
};

// One named step of a program's own trace: when it was reached.
struct Step {
  double atMs = 0;
  std::string name;
};

// The step trace of the programs the bench starts (platform/win32/step_trace.h):
// turned on through the environment they inherit, read after each run.
class StepTraceFile {
 public:
  StepTraceFile()
      : path_(fs::temp_directory_path() / L"ilvo-bench-steps.txt"), variable_(L"ILVO_STEP_TRACE", path_.wstring()) {
    Clear();
  }
  StepTraceFile(const StepTraceFile&) = delete;
  StepTraceFile& operator=(const StepTraceFile&) = delete;
  ~StepTraceFile() { Clear(); }

  void Clear() const { DeleteFileW(path_.c_str()); }
  // The steps written since the last Clear and reached from fromMs on, before
  // toMs, in their order, their times counted from originMs; none from a
  // program that keeps no trace.
  std::vector<Step> Read(double fromMs, double originMs,
                         double toMs = std::numeric_limits<double>::infinity()) const;

 private:
  fs::path path_;
  ScopedVariable variable_;
};

// Each step's times (counted from some outside moment), over the runs, in
// the order the steps were first reached.
class StepTimes {
 public:
  void Add(const std::vector<Step>& steps);
  // One row a step: "  <from> -> <step>".
  void AddRows(Table& table, const std::string& number, const std::string& from) const;

 private:
  std::vector<std::string> order_;
  std::map<std::string, std::vector<double>> times_;
};

// The processor time of one program, every thread's, to the nanosecond where
// the Linux kernel under Wine tells it (its scheduler's run time, through
// Z:\proc), else in the system's 10 ms ticks. At 1 % of a core a 4 s span
// holds only 4 ticks, too coarse to tell 1.0 x from 1.3 x in a few runs.
class ProcessorClock {
 public:
  // exeName: the program's file name, which begins its Linux command line.
  ProcessorClock(DWORD processId, const std::wstring& exeName);
  double Ms() const;

 private:
  DWORD processId_;
  fs::path tasks_;  // Z:\proc\<pid>\task, or empty
};

// The extractor the installer has started, opened before it can end.
OwnedHandle OpenExtractor(e2e::InstallerRun& run);

struct InstallFigures {
  double idleSharePercent = 0;  // window open, before the click
  // From the moment the extractor is seen running to its end: the wait alone.
  double waitProcessorMs = 0;
  double waitElapsedMs = 0;
  // From kSteadyAfter later to the extractor's end: the steady wait.
  double steadyProcessorMs = 0;
  double steadyElapsedMs = 0;
  double clickToSteadyProcessorMs = 0;
  double clickToExtractorSeenProcessorMs = 0;
  double exitToMessageMs = 0;
  double clickToMessageMs = 0;
  double extractorLifetimeMs = 0;
  double peakWorkingSetMiB = 0;
  std::vector<Step> stepsAfterExit;  // from the installer's step trace
  std::vector<Step> stepsAfterClick;  // those before the wait is steady
};

// One install through the window from the voice absent, timed from outside.
InstallFigures MeasureInstall(const e2e::AppFolder& folder, const std::vector<std::wstring>& environment,
                              std::chrono::milliseconds extractionTimeout, const StepTraceFile& trace,
                              bool pointerAway = false);

// Waits until the program's main window is shown and the program waits for
// input; that window.
HWND WaitUntilShown(const StartedProgram& program, const std::string& what);

// Cells of the table.
std::string Runs(const Summary& summary);
std::string Spread(const Summary& summary, int decimals, const std::string& unit);
std::string Verdict(bool met);
std::string Ratio(double value);

// A copy of the program in the folder, under that name.
fs::path PlaceProgram(const fs::path& program, const e2e::AppFolder& folder, const wchar_t* name);

// Yardsticks measured by one group and compared with by another.
struct Yardsticks {
  std::optional<Summary> installerExitToMessage;  // ms
  std::optional<Summary> bareMessageBox;          // ms
};

// Runs one group of figures; a failure is reported in the table and the
// other groups still run.
template <typename Bench>
bool Attempt(const char* number, const char* figure, Table& table, Bench bench) {
  try {
    bench();
    return true;
  } catch (const std::exception& error) {
    Progress("%s: %s\n", figure, error.what());
    table.AddFailure(number, figure, error.what());
  }
  return false;
}

// Children of the benchmark write to NUL while this lives: Wine hands a
// program's standard handles down even to the children of a windowed one,
// and the extractor's lines would run through the table.
class QuietChildren {
 public:
  QuietChildren();
  QuietChildren(const QuietChildren&) = delete;
  QuietChildren& operator=(const QuietChildren&) = delete;
  ~QuietChildren();

 private:
  static constexpr std::array<DWORD, 3> kWhich{STD_INPUT_HANDLE, STD_OUTPUT_HANDLE, STD_ERROR_HANDLE};
  OwnedHandle nul_;
  std::array<HANDLE, 3> saved_{};  // not owned
};

}  // namespace bench
