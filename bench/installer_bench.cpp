// Benchmarks of the real IlvoInstaller.exe under Wine: its processor time
// while it waits for the extractor, how soon it reports the end, how fast its
// window comes up, its memory, and a large install against the extractor
// alone. Prints one table; scripts/bench.sh builds and runs it.
//
// The goals are ratios to yardsticks measured in the same run, so that they
// hold on a slow machine as on a fast one: the wait against the floor of a
// 30 ms animation (floor_window.cpp), the end message and the start-up
// against a bare window (bare_window.cpp).
#include <fcntl.h>
#include <io.h>
#include <windows.h>

#include <array>
#include <cstdio>
#include <cstdlib>
#include <exception>
#include <filesystem>
#include <fstream>
#include <limits>
#include <map>
#include <optional>
#include <sstream>
#include <stdexcept>
#include <string>
#include <vector>

#include "bench/report.h"
#include "installer/window/control_ids.h"
#include "tests/e2e/e2e_support.h"
#include "tests/support/probes.h"

namespace bench {
namespace {

namespace fs = std::filesystem;
using namespace std::chrono_literals;
using namespace test_support;

const std::wstring kCaptionAbsent = L"Ilvo - 音源不存在";
const std::wstring kSuccessTitle = L"提示";
const std::wstring kSuccessText = L"音源[安装]成功！";
constexpr int kLongExtractionMs = 5000;
// The wait is steady this long after the extractor is seen: entering the busy
// state (captions, buttons, the first frames) is a cost per install, not per frame.
constexpr auto kSteadyAfter = 1s;
constexpr auto kSettleWindow = 1s;
constexpr auto kIdleWindow = 2s;
constexpr UINT kBareShowMessage = WM_APP + 1;  // bare_window.cpp's kShowMessage
constexpr auto kLargeInstallTimeout = 20min;

struct Options {
  fs::path bareWindow;
  fs::path floorWindow;
  fs::path largeArchive;  // empty: no large install
  int runs = 5;
  int largeRuns = 3;
  std::string only;  // one group: wait, message, startup, large or frames; empty: all but frames
  fs::path framesFolder;  // frames: where the steady moments are told to scripts/bench.sh
};

[[noreturn]] void Usage(const std::string& problem) {
  throw std::invalid_argument(problem +
                              "\nusage: installer_bench --installer EXE --extractor EXE --archive FILE --bare EXE --floor EXE"
                              " [--large-archive FILE] [--runs N] [--large-runs N] [--only wait|message|startup|large]"
                              " [--only frames --frames-folder FOLDER]");
}

int Count(const std::string& text) {
  const int value = std::atoi(text.c_str());
  if (value < 1 || value > 100) Usage("a run count must be 1 to 100: " + text);
  return value;
}

Options ParseOptions(int argc, char** argv) {
  Options options;
  auto& files = e2e::Files();
  for (int i = 1; i < argc; ++i) {
    const std::string name = argv[i];
    if (i + 1 >= argc) Usage("missing value after " + name);
    const std::string value = argv[++i];
    if (name == "--installer") files.installer = e2e::WindowsPath(value);
    else if (name == "--extractor") files.extractor = e2e::WindowsPath(value);
    else if (name == "--archive") files.archive = e2e::WindowsPath(value);
    else if (name == "--bare") options.bareWindow = e2e::WindowsPath(value);
    else if (name == "--floor") options.floorWindow = e2e::WindowsPath(value);
    else if (name == "--large-archive") options.largeArchive = e2e::WindowsPath(value);
    else if (name == "--runs") options.runs = Count(value);
    else if (name == "--large-runs") options.largeRuns = Count(value);
    else if (name == "--only") options.only = value;
    else if (name == "--frames-folder") options.framesFolder = e2e::WindowsPath(value);
    else Usage("unknown option " + name);
  }
  if (files.installer.empty() || files.extractor.empty() || files.archive.empty() || options.bareWindow.empty() ||
      options.floorWindow.empty())
    Usage("--installer, --extractor, --archive, --bare and --floor are needed");
  if ((options.only == "frames") != !options.framesFolder.empty())
    Usage("--only frames and --frames-folder go together");
  return options;
}

void Progress(const char* format, auto... values) {
  std::fprintf(stderr, format, values...);
  std::fflush(stderr);
}

// Leaves the voice absent: no record, no voice folder.
void ResetVoice(const e2e::AppFolder& folder) {
  e2e::DeleteVoiceRecord();
  RemoveTree(folder.VoiceFolder());
}

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

std::string Narrow(const std::wstring& text) {
  const int size = WideCharToMultiByte(CP_UTF8, 0, text.c_str(), -1, nullptr, 0, nullptr, nullptr);
  std::string result(size > 0 ? size - 1 : 0, '\0');
  if (size > 1) WideCharToMultiByte(CP_UTF8, 0, text.c_str(), -1, result.data(), size, nullptr, nullptr);
  return result;
}

// An environment variable of the bench, and so of every program it starts,
// while this lives.
class ScopedVariable {
 public:
  ScopedVariable(const wchar_t* name, const std::wstring& value) : name_(name) {
    SetEnvironmentVariableW(name_, value.c_str());
  }
  ScopedVariable(const ScopedVariable&) = delete;
  ScopedVariable& operator=(const ScopedVariable&) = delete;
  ~ScopedVariable() { SetEnvironmentVariableW(name_, nullptr); }

 private:
  const wchar_t* name_;
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
                         double toMs = std::numeric_limits<double>::infinity()) const {
    std::vector<Step> steps;
    std::ifstream in(path_);
    std::string line;
    while (std::getline(in, line)) {
      if (!line.empty() && line.back() == '\r') line.pop_back();
      std::istringstream fields(line);
      Step step;
      if (!(fields >> step.atMs) || step.atMs < fromMs || step.atMs >= toMs) continue;
      std::getline(fields >> std::ws, step.name);
      step.atMs -= originMs;
      steps.push_back(step);
    }
    return steps;
  }

 private:
  fs::path path_;
  ScopedVariable variable_;
};

// Each step's times (counted from some outside moment), over the runs, in
// the order the steps were first reached.
class StepTimes {
 public:
  void Add(const std::vector<Step>& steps) {
    std::map<std::string, int> seen;  // a step reached again in a run is counted apart: "name (2)"
    for (const Step& step : steps) {
      const int time = ++seen[step.name];
      const std::string name = time == 1 ? step.name : step.name + " (" + std::to_string(time) + ")";
      auto [found, added] = times_.try_emplace(name);
      if (added) order_.push_back(name);
      found->second.push_back(step.atMs);
    }
  }
  // One row a step: "  <from> -> <step>".
  void AddRows(Table& table, const std::string& number, const std::string& from) const {
    for (const std::string& name : order_) {
      const Summary time = Summarize(times_.at(name));
      table.Add({number, "  " + from + " -> " + name, Fixed(time.median, 1, "ms"),
                 Fixed(time.min, 1, "") + " .. " + Fixed(time.max, 1, "ms"), std::to_string(time.count), "", ""});
    }
  }

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
  ProcessorClock(DWORD processId, const std::wstring& exeName) : processId_(processId) {
    const std::string wanted = std::string(1, '\\').append(Narrow(exeName));
    std::error_code error;
    for (const auto& entry : fs::directory_iterator(L"Z:\\proc", error)) {
      const std::wstring name = entry.path().filename().wstring();
      if (name.empty() || name.find_first_not_of(L"0123456789") != std::wstring::npos) continue;
      std::ifstream in(entry.path() / L"cmdline", std::ios::binary);
      std::string first;
      std::getline(in, first, '\0');
      if (first.size() >= wanted.size() && first.compare(first.size() - wanted.size(), wanted.size(), wanted) == 0) {
        tasks_ = entry.path() / L"task";
        break;
      }
    }
  }

  double Ms() const {
    if (tasks_.empty()) return ProcessorTimeMs(processId_);
    double total = 0;
    std::error_code error;
    for (const auto& task : fs::directory_iterator(tasks_, error)) {
      std::ifstream in(task.path() / L"schedstat");
      double nanoseconds = 0;
      if (in >> nanoseconds) total += nanoseconds / 1e6;
    }
    return total;
  }

 private:
  DWORD processId_;
  fs::path tasks_;  // Z:\proc\<pid>\task, or empty
};

// The extractor the installer has started, opened before it can end.
OwnedHandle OpenExtractor(e2e::InstallerRun& run) {
  const double end = NowMs() + 10000;
  while (NowMs() < end) {
    if (const auto id = FindChildProcess(run.ProcessId(), L"Rar.exe")) {
      OwnedHandle extractor(OpenProcess(SYNCHRONIZE | PROCESS_QUERY_LIMITED_INFORMATION, FALSE, *id));
      if (!extractor) throw std::runtime_error("cannot open the extractor process");
      return extractor;
    }
    if (ShownMessageBox(run.ProcessId())) {
      const auto box = run.WaitForMessageBox(1s);
      throw std::runtime_error("the installer started no extractor: " + Narrow(box ? box->text : L"?"));
    }
    Sleep(1);
  }
  throw std::runtime_error("no extractor appeared within 10 s of the click");
}

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

InstallFigures MeasureInstall(const e2e::AppFolder& folder, const std::vector<std::wstring>& environment,
                              std::chrono::milliseconds extractionTimeout, const StepTraceFile& trace,
                              bool pointerAway = false) {
  VoiceReset reset(folder);
  trace.Clear();
  e2e::InstallerRun run(folder, environment);
  if (!run.WaitForWindow()) throw std::runtime_error("the installer showed no window");
  if (!run.WaitForCaption(kCaptionAbsent)) throw std::runtime_error("the installer did not find the voice absent");
  OwnedHandle installer(
      OpenProcess(PROCESS_QUERY_INFORMATION | PROCESS_VM_READ | SYNCHRONIZE, FALSE, run.ProcessId()));
  if (!installer) throw std::runtime_error("cannot open the installer process");

  const ProcessorClock clock(run.ProcessId(), L"IlvoInstaller.exe");
  // The first paint goes on after the first wait for input; idle means later.
  WaitForInputIdle(installer.Get(), 5000);
  WaitSignalled(installer.Get(), kSettleWindow);
  const double idleFrom = NowMs();
  const double processorIdleFrom = clock.Ms();
  WaitSignalled(installer.Get(), kIdleWindow);
  const double idleShare = 100.0 * (clock.Ms() - processorIdleFrom) / (NowMs() - idleFrom);

  run.Click(run.Control(IDC_QORBUTTON_AZ));
  const double clickedAt = NowMs();
  // The hover look of the button under the pointer polls it every 100 ms
  // until it leaves; moved off, the wait is the installer's own.
  if (pointerAway) SetCursorPos(0, 0);
  const double processorAtClick = clock.Ms();

  const OwnedHandle extractor = OpenExtractor(run);
  const double waitFrom = NowMs();
  const double processorAtWaitStart = clock.Ms();
  if (WaitSignalled(extractor.Get(), kSteadyAfter)) throw std::runtime_error("the extraction ended before the wait was steady");
  const double steadyFrom = NowMs();
  const double processorAtSteady = clock.Ms();
  const auto extractorEndedAt = WaitSignalled(extractor.Get(), extractionTimeout);
  if (!extractorEndedAt) throw std::runtime_error("the extraction did not end in time");
  const double processorAtEnd = clock.Ms();
  const double extractorLifetime = LifetimeMs(extractor.Get());

  const DWORD installerId = run.ProcessId();
  const auto messageAt = PollEveryMillisecond([&] { return ShownMessageBox(installerId) != nullptr; }, 30s);
  if (!messageAt) throw std::runtime_error("no message within 30 s of the extractor's end");
  const auto box = run.WaitForMessageBox(1s);
  if (!box || box->title != kSuccessTitle || box->text != kSuccessText)
    throw std::runtime_error("the installer said: " + Narrow(box ? box->text : L"?"));
  const SIZE_T peak = PeakWorkingSet(installer.Get());
  run.Answer(*box, IDOK);
  if (run.WaitForExit(10s) != 0u) throw std::runtime_error("the installer did not end cleanly");

  InstallFigures figures;
  figures.idleSharePercent = idleShare;
  figures.waitProcessorMs = processorAtEnd - processorAtWaitStart;
  figures.waitElapsedMs = *extractorEndedAt - waitFrom;
  figures.steadyProcessorMs = processorAtEnd - processorAtSteady;
  figures.steadyElapsedMs = *extractorEndedAt - steadyFrom;
  figures.clickToSteadyProcessorMs = processorAtSteady - processorAtClick;
  figures.clickToExtractorSeenProcessorMs = processorAtWaitStart - processorAtClick;
  // Steps up to the steady wait count from the click; later ones from the
  // extractor's exit, which the installer may hear of before the bench does
  // (negative times).
  figures.stepsAfterClick = trace.Read(clickedAt, clickedAt, steadyFrom);
  figures.stepsAfterExit = trace.Read(steadyFrom, *extractorEndedAt);
  figures.exitToMessageMs = *messageAt - *extractorEndedAt;
  figures.clickToMessageMs = *messageAt - clickedAt;
  figures.extractorLifetimeMs = extractorLifetime;
  figures.peakWorkingSetMiB = static_cast<double>(peak) / (1024.0 * 1024.0);
  return figures;
}

// Waits until the program's main window is shown and the program waits for
// input; that window.
HWND WaitUntilShown(const StartedProgram& program, const std::string& what) {
  const DWORD id = program.Id();
  if (!PollEveryMillisecond([&] { return ShownMainWindow(id) != nullptr; }, 20s))
    throw std::runtime_error(what + " showed no window");
  WaitForInputIdle(program.Process(), 5000);
  return ShownMainWindow(id);
}

struct StartFigures {
  double shownMs = 0;  // from CreateProcess until the main window is visible
  double peakWorkingSetMiB = 0;
  std::vector<Step> steps;  // from the program's step trace, from CreateProcess
};

StartFigures MeasureWindowShown(const fs::path& exe, const fs::path& folder, const StepTraceFile& trace,
                                const std::wstring& arguments = L"") {
  trace.Clear();
  StartedProgram program(exe, arguments, folder);
  const DWORD id = program.Id();
  const auto shownAt = PollEveryMillisecond([&] { return ShownMainWindow(id) != nullptr; }, 20s);
  if (!shownAt) throw std::runtime_error("no window within 20 s: " + exe.filename().string());
  WaitForInputIdle(program.Process(), 5000);
  const SIZE_T peak = PeakWorkingSet(program.Process());
  if (program.Close(10s) != 0u) throw std::runtime_error(exe.filename().string() + " did not close cleanly");
  return {*shownAt - program.StartedAtMs(), static_cast<double>(peak) / (1024.0 * 1024.0),
          trace.Read(program.StartedAtMs(), program.StartedAtMs())};
}

struct ShareFigures {
  double processorMs = 0;
  double elapsedMs = 0;
  double Percent() const { return 100.0 * processorMs / elapsedMs; }
};

// The floor window's processor time over as long as the installer's steady
// wait, once it is shown and settled, as that of the installer is taken.
ShareFigures MeasureFloor(const fs::path& exe, const fs::path& folder) {
  StartedProgram program(exe, L"", folder);
  WaitUntilShown(program, "the floor window");
  WaitSignalled(program.Process(), kSettleWindow);
  const double from = NowMs();
  const ProcessorClock clock(program.Id(), exe.filename().wstring());
  const double processorFrom = clock.Ms();
  WaitSignalled(program.Process(), std::chrono::milliseconds(kLongExtractionMs) - kSteadyAfter);
  ShareFigures figures{clock.Ms() - processorFrom, NowMs() - from};
  if (program.Close(10s) != 0u) throw std::runtime_error("the floor window did not close cleanly");
  return figures;
}

// The stand-in extractor on its own, started as the installer starts it.
double MeasureExtractorAlone(const e2e::AppFolder& folder) {
  VoiceReset reset(folder);
  const fs::path data = folder.Path() / L"DATA";
  const std::wstring arguments =
      L"x -o+ \"" + (data / L"Ilvo.yin").wstring() + L"\" \"" + folder.Path().wstring() + L"\\\"";
  StartedProgram extractor(data / L"Rar.exe", arguments, folder.Path(), 0, SW_HIDE);
  const auto endedAt = WaitSignalled(extractor.Process(), kLargeInstallTimeout);
  if (!endedAt) throw std::runtime_error("the extractor alone did not end in time");
  DWORD code = 0;
  GetExitCodeProcess(extractor.Process(), &code);
  if (code != 0) throw std::runtime_error("the extractor alone failed with exit code " + std::to_string(code));
  for (const wchar_t* extension : {L".ddb", L".ddi", L".vvd"})
    if (!fs::exists(folder.VoiceFile(extension))) throw std::runtime_error("the extractor alone left a file out");
  return *endedAt - extractor.StartedAtMs();
}

// From the end of the extractor the bare program started until its message
// box is visible: what hearing of that end, writing the record, reading it
// back and a message box cost on this system at the least.
struct BareMessageFigures {
  double shownMs = 0;
  std::vector<Step> steps;  // from the extractor's exit
};

BareMessageFigures MeasureBareMessageBox(const fs::path& exe, const fs::path& folder, const StepTraceFile& trace) {
  e2e::DeleteVoiceRecord();
  trace.Clear();
  // The extractor stand-in, doing nothing but living a while and ending.
  StartedProgram program(exe, L"/extractor " + e2e::Files().extractor.wstring(), folder);
  const DWORD id = program.Id();
  const HWND window = WaitUntilShown(program, "the bare program");
  const double requestedAt = NowMs();
  PostMessageW(window, kBareShowMessage, 0, 0);
  std::optional<DWORD> extractorId;
  if (!PollEveryMillisecond([&] { return (extractorId = FindChildProcess(id, L"Rar.exe")).has_value(); }, 10s))
    throw std::runtime_error("the bare program started no extractor");
  const OwnedHandle extractor(OpenProcess(SYNCHRONIZE, FALSE, *extractorId));
  if (!extractor) throw std::runtime_error("cannot open the bare program's extractor");
  const auto endedAt = WaitSignalled(extractor.Get(), 10s);
  if (!endedAt) throw std::runtime_error("the bare program's extractor did not end");
  const double exitedAt = *endedAt;
  const auto shownAt = PollEveryMillisecond([&] { return ShownMessageBox(id) != nullptr; }, 10s);
  if (!shownAt) throw std::runtime_error("the bare program showed no message box");
  HWND box = ShownMessageBox(id);
  wchar_t title[16] = L"";
  GetWindowTextW(box, title, 16);
  if (title != kSuccessTitle) throw std::runtime_error("the bare program could not write the record");
  if (!e2e::VoiceKeyExists()) throw std::runtime_error("the bare program's record is not in the registry");
  e2e::DeleteVoiceRecord();
  PostMessageW(box, WM_COMMAND, MAKEWPARAM(IDOK, BN_CLICKED), reinterpret_cast<LPARAM>(GetDlgItem(box, IDOK)));
  if (!PollEveryMillisecond([&] { return ShownMessageBox(id) == nullptr; }, 10s))
    throw std::runtime_error("the bare program's message box stayed");
  if (program.Close(10s) != 0u) throw std::runtime_error("the bare program did not close cleanly");
  return {*shownAt - exitedAt, trace.Read(requestedAt, exitedAt)};  // not the steps of its start
}

// Hard link where the file system allows, so that a large archive is not copied.
void PlaceArchive(const fs::path& archive, const fs::path& target) {
  if (CreateHardLinkW(target.c_str(), archive.c_str(), nullptr)) return;
  if (!CopyFileW(archive.c_str(), target.c_str(), FALSE))
    throw std::runtime_error("cannot place the archive " + archive.string());
}

// Reads the file once, so that the first timed run does not pay for the disk.
void ReadThrough(const fs::path& file) {
  std::ifstream in(file, std::ios::binary);
  std::vector<char> buffer(1 << 20);
  while (in.read(buffer.data(), static_cast<std::streamsize>(buffer.size())) || in.gcount() > 0) {
  }
}

std::string Runs(const Summary& summary) { return std::to_string(summary.count); }

std::string Spread(const Summary& summary, int decimals, const std::string& unit) {
  return Fixed(summary.min, decimals, "") + " .. " + Fixed(summary.max, decimals, unit);
}

std::string Verdict(bool met) { return met ? "met" : "NOT met"; }

// A copy of the program in the folder, under that name.
fs::path PlaceProgram(const fs::path& program, const e2e::AppFolder& folder, const wchar_t* name) {
  const fs::path placed = folder.Path() / name;
  if (!CopyFileW(program.c_str(), placed.c_str(), FALSE)) throw std::runtime_error("cannot copy " + program.string());
  return placed;
}

// Yardsticks measured by one group and compared with by another.
struct Yardsticks {
  std::optional<Summary> installerExitToMessage;  // ms
  std::optional<Summary> bareMessageBox;          // ms
};

std::string Ratio(double value) { return Fixed(value, 2, "x"); }

void BenchWaiting(const Options& options, Table& table, Yardsticks& yardsticks, const StepTraceFile& trace) {
  e2e::AppFolder folder(L"bench install", {});
  e2e::AppFolder floorFolder(L"bench floor", {.installer = false, .extractor = false, .archive = false});
  const fs::path floor = PlaceProgram(options.floorWindow, floorFolder, L"FloorWindow.exe");
  MeasureFloor(floor, floorFolder.Path());  // unmeasured: the program into the cache

  std::vector<double> steadyShares, floorShares, steadyRatios, waitShares, toSteady, toExtractorSeen, idleShares,
      latencies, peaks;
  ShareFigures pooledSteady, pooledWait, pooledFloor, pooledPointerAway;
  StepTimes stepsAfterExit, stepsAfterClick;
  const std::vector<std::wstring> environment{L"ILVO_RAR_STANDIN_DELAY_MS=" + std::to_wstring(kLongExtractionMs)};
  for (int i = 0; i < options.runs; ++i) {
    Progress("floor window, run %d of %d\n", i + 1, options.runs);
    const ShareFigures floorRun = MeasureFloor(floor, floorFolder.Path());
    Progress("install with a %d s extraction, run %d of %d\n", kLongExtractionMs / 1000, i + 1, options.runs);
    const InstallFigures figures = MeasureInstall(folder, environment, 60s, trace);
    Progress("the same with the pointer moved off the window, run %d of %d\n", i + 1, options.runs);
    const InstallFigures away = MeasureInstall(folder, environment, 60s, trace, true);
    pooledPointerAway.processorMs += away.steadyProcessorMs;
    pooledPointerAway.elapsedMs += away.steadyElapsedMs;
    const ShareFigures steady{figures.steadyProcessorMs, figures.steadyElapsedMs};
    const ShareFigures wait{figures.waitProcessorMs, figures.waitElapsedMs};
    steadyShares.push_back(steady.Percent());
    waitShares.push_back(wait.Percent());
    floorShares.push_back(floorRun.Percent());
    steadyRatios.push_back(steady.Percent() / floorRun.Percent());
    for (auto [pooled, run] :
         {std::pair{&pooledSteady, steady}, std::pair{&pooledWait, wait}, std::pair{&pooledFloor, floorRun}}) {
      pooled->processorMs += run.processorMs;
      pooled->elapsedMs += run.elapsedMs;
    }
    toSteady.push_back(figures.clickToSteadyProcessorMs);
    toExtractorSeen.push_back(figures.clickToExtractorSeenProcessorMs);
    idleShares.push_back(figures.idleSharePercent);
    latencies.push_back(figures.exitToMessageMs);
    peaks.push_back(figures.peakWorkingSetMiB);
    stepsAfterExit.Add(figures.stepsAfterExit);
    stepsAfterClick.Add(figures.stepsAfterClick);
  }
  const Summary steady = Summarize(steadyShares);
  const Summary floorShare = Summarize(floorShares);
  const Summary steadyRatio = Summarize(steadyRatios);
  const Summary wait = Summarize(waitShares);
  const Summary idle = Summarize(idleShares);
  const Summary clickToSteady = Summarize(toSteady);
  const std::string steadySpan = "1 s after the extractor is seen -> its end";
  table.Add({"1", "Installer processor time in the steady wait of a 5 s extraction (" + steadySpan + ")",
             Fixed(steady.median, 2, "% of a core"), Spread(steady, 2, "%"), Runs(steady), "", ""});
  table.Add({"1", "Floor: a window redrawing the 233 x 13 strip every 30 ms, as long", Fixed(floorShare.median, 2, "% of a core"),
             Spread(floorShare, 2, "%"), Runs(floorShare), "", ""});
  const double pooledRatio = pooledSteady.Percent() / pooledFloor.Percent();
  table.Add({"1", "Ratio steady wait / floor, all runs pooled (finer than one run's 10 ms ticks)", Ratio(pooledRatio),
             "", Runs(steady), "<= 1.1x", Verdict(pooledRatio <= 1.1)});
  table.Add({"1", "  the same ratio per run", Ratio(steadyRatio.median), Spread(steadyRatio, 2, "x"),
             Runs(steadyRatio), "", ""});
  table.Add({"1", "  the same ratio with the pointer moved off the window after the click (no hover poll), pooled",
             Ratio(pooledPointerAway.Percent() / pooledFloor.Percent()), "", Runs(steady), "", ""});
  table.Add({"1", "Installer processor time from the click until the wait is steady", Fixed(clickToSteady.median, 1, "ms"),
             Spread(clickToSteady, 1, "ms"), Runs(clickToSteady), "", ""});
  const Summary clickToSeen = Summarize(toExtractorSeen);
  table.Add({"1", "  of which until the extractor is seen running", Fixed(clickToSeen.median, 1, "ms"),
             Spread(clickToSeen, 1, "ms"), Runs(clickToSeen), "", ""});
  stepsAfterClick.AddRows(table, "1", "click");
  table.Add({"1", "  reference: the whole wait (extractor seen -> its end)", Fixed(wait.median, 2, "% of a core"),
             Spread(wait, 2, "%"), Runs(wait), "", ""});
  table.Add({"1", "  its ratio to the floor, pooled", Ratio(pooledWait.Percent() / pooledFloor.Percent()), "",
             Runs(wait), "", ""});
  table.Add({"1", "  reference: the same installer idle, window open (2 s before the click)",
             Fixed(idle.median, 2, "% of a core"), Spread(idle, 2, "%"), Runs(idle), "", ""});
  const Summary latency = Summarize(latencies);
  yardsticks.installerExitToMessage = latency;
  table.Add({"2", "Extractor exit -> success message shown", Fixed(latency.median, 1, "ms"),
             Spread(latency, 1, "ms"), Runs(latency), "", ""});
  stepsAfterExit.AddRows(table, "2", "exit");
  const Summary peak = Summarize(peaks);
  table.Add({"4", "Installer peak working set during an install", Fixed(peak.median, 1, "MiB"),
             Spread(peak, 1, "MiB"), Runs(peak), "", ""});
}

void BenchStartup(const Options& options, Table& table, const StepTraceFile& trace) {
  e2e::AppFolder installerFolder(L"bench start", {});
  e2e::AppFolder bareFolder(L"bench bare", {.installer = false, .extractor = false, .archive = false});
  const fs::path bare = PlaceProgram(options.bareWindow, bareFolder, L"BareWindow.exe");
  const fs::path installer = installerFolder.Path() / L"IlvoInstaller.exe";
  VoiceReset reset(installerFolder);

  // Unmeasured first starts: the programs and Wine's libraries into the cache.
  MeasureWindowShown(bare, bareFolder.Path(), trace);
  MeasureWindowShown(installer, installerFolder.Path(), trace);
  std::vector<double> bareTimes, installerTimes, ratios, barePeaks, structureTimes;
  StepTimes steps, bareSteps;
  for (int i = 0; i < options.runs; ++i) {
    Progress("start-up, run %d of %d\n", i + 1, options.runs);
    const StartFigures bareStart = MeasureWindowShown(bare, bareFolder.Path(), trace);
    bareSteps.Add(bareStart.steps);
    bareTimes.push_back(bareStart.shownMs);
    barePeaks.push_back(bareStart.peakWorkingSetMiB);
    structureTimes.push_back(MeasureWindowShown(bare, bareFolder.Path(), trace, L"/structure").shownMs);
    const StartFigures installerStart = MeasureWindowShown(installer, installerFolder.Path(), trace);
    installerTimes.push_back(installerStart.shownMs);
    steps.Add(installerStart.steps);
    ratios.push_back(installerTimes.back() / bareTimes.back());
  }
  const Summary installerShown = Summarize(installerTimes);
  const Summary bareShown = Summarize(bareTimes);
  const Summary ratio = Summarize(ratios);
  const double medianRatio = installerShown.median / bareShown.median;
  table.Add({"3", "Start -> window shown: IlvoInstaller.exe", Fixed(installerShown.median, 1, "ms"),
             Spread(installerShown, 1, "ms"), Runs(installerShown), "", ""});
  steps.AddRows(table, "3", "start");
  table.Add({"3", "Start -> window shown: bare Win32 window", Fixed(bareShown.median, 1, "ms"),
             Spread(bareShown, 1, "ms"), Runs(bareShown), "", ""});
  bareSteps.AddRows(table, "3", "start");
  const Summary structure = Summarize(structureTimes);
  table.Add({"3", "  reference: the bare window with the installer's icon and 7 empty child windows",
             Fixed(structure.median, 1, "ms"), Spread(structure, 1, "ms"), Runs(structure), "", ""});
  table.Add({"3", "Ratio installer / bare (of the medians; spread per run)", Fixed(medianRatio, 2, "x"),
             Spread(ratio, 2, "x"), Runs(ratio), "<= 1.15x", Verdict(medianRatio <= 1.15)});
  const Summary barePeak = Summarize(barePeaks);
  table.Add({"4", "  reference: peak working set of the bare window, shown", Fixed(barePeak.median, 1, "MiB"),
             Spread(barePeak, 1, "MiB"), Runs(barePeak), "", ""});
}

void BenchMessageBoxReference(const Options& options, Table& table, Yardsticks& yardsticks,
                              const StepTraceFile& trace) {
  e2e::AppFolder folder(L"bench bare message", {.installer = false, .extractor = false, .archive = false});
  const fs::path bare = PlaceProgram(options.bareWindow, folder, L"BareWindow.exe");
  // Long enough for the bench to open it before it ends.
  const ScopedVariable delay(L"ILVO_RAR_STANDIN_DELAY_MS", L"500");
  MeasureBareMessageBox(bare, folder.Path(), trace);
  std::vector<double> times;
  StepTimes steps;
  for (int i = 0; i < options.runs; ++i) {
    Progress("bare message box, run %d of %d\n", i + 1, options.runs);
    const BareMessageFigures figures = MeasureBareMessageBox(bare, folder.Path(), trace);
    times.push_back(figures.shownMs);
    steps.Add(figures.steps);
  }
  const Summary shown = Summarize(times);
  yardsticks.bareMessageBox = shown;
  table.Add({"2", "Bare window: its extractor's exit -> the same record written and read back, message shown",
             Fixed(shown.median, 1, "ms"), Spread(shown, 1, "ms"), Runs(shown), "", ""});
  steps.AddRows(table, "2", "exit");
}

// The installer's end message against a bare window's message box, once both are measured.
void AddMessageRatio(const Yardsticks& yardsticks, Table& table) {
  if (!yardsticks.installerExitToMessage || !yardsticks.bareMessageBox) return;
  const double ratio = yardsticks.installerExitToMessage->median / yardsticks.bareMessageBox->median;
  table.Add({"2", "Ratio installer exit -> message / bare window's exit -> record and message (of the medians)", Ratio(ratio), "",
             Runs(*yardsticks.bareMessageBox), "<= 1.15x", Verdict(ratio <= 1.15)});
}

void BenchLargeInstall(const Options& options, Table& table, const StepTraceFile& trace) {
  e2e::AppFolder folder(L"bench large", {.archive = false});
  const fs::path archive = folder.Path() / L"DATA" / L"Ilvo.yin";
  PlaceArchive(options.largeArchive, archive);
  const double archiveMiB = static_cast<double>(fs::file_size(archive)) / (1024.0 * 1024.0);
  ReadThrough(archive);
  // The extraction itself varies by tenths of a second from run to run; the
  // installer's own part is the install less its extractor's lifetime.
  std::vector<double> installs, alone, differences, ownTimes;
  StepTimes stepsAfterExit;  // where the installer's own part goes: the flush, the moves, the record
  for (int i = 0; i < options.largeRuns; ++i) {
    // Taking turns at going first, so that neither always meets a fuller disk cache.
    for (const bool installFirst : {i % 2 == 1, i % 2 == 0}) {
      if (installFirst) {
        Progress("large archive, run %d of %d: install\n", i + 1, options.largeRuns);
        const InstallFigures figures = MeasureInstall(folder, {}, kLargeInstallTimeout, trace);
        installs.push_back(figures.clickToMessageMs / 1000.0);
        ownTimes.push_back((figures.clickToMessageMs - figures.extractorLifetimeMs) / 1000.0);
        stepsAfterExit.Add(figures.stepsAfterExit);
      } else {
        Progress("large archive, run %d of %d: extractor alone\n", i + 1, options.largeRuns);
        alone.push_back(MeasureExtractorAlone(folder) / 1000.0);
      }
    }
    differences.push_back(installs.back() - alone.back());
  }
  const Summary install = Summarize(installs);
  const Summary extractor = Summarize(alone);
  const Summary difference = Summarize(differences);
  const std::string size = Fixed(archiveMiB, 0, "MiB archive");
  table.Add({"5", "Install of 1 GiB content (" + size + "), click -> success message", Fixed(install.median, 2, "s"),
             Spread(install, 2, "s"), Runs(install), "", ""});
  table.Add({"5", "Stand-in extractor alone, same archive", Fixed(extractor.median, 2, "s"), Spread(extractor, 2, "s"),
             Runs(extractor), "", ""});
  table.Add({"5", "Difference install - extractor alone (per run)", Fixed(difference.median, 2, "s"),
             Spread(difference, 2, "s"), Runs(difference), "", ""});
  const Summary ownTime = Summarize(ownTimes);
  table.Add({"5", "  installer's own part: click -> message minus its extractor's lifetime",
             Fixed(ownTime.median, 3, "s"), Spread(ownTime, 3, "s"), Runs(ownTime), "", ""});
  stepsAfterExit.AddRows(table, "5", "exit");
}

// For counting a steady frame's requests from outside (scripts/bench.sh
// attaches strace): "<name>.steady" is written in the folder once the program
// animates steadily, and the program is kept so until "<name>.counted" appears.
class SteadyMoment {
 public:
  SteadyMoment(const fs::path& folder, const std::wstring& name)
      : steady_(folder / (name + L".steady")), counted_(folder / (name + L".counted")) {
    DeleteFileW(counted_.c_str());
  }
  void Tell() const { std::ofstream(steady_) << "steady\n"; }
  void WaitUntilCounted(HANDLE ending) const {
    const bool counted = PollEveryMillisecond(
        [&] { return fs::exists(counted_) || WaitForSingleObject(ending, 0) == WAIT_OBJECT_0; }, 60s).has_value();
    if (!counted || !fs::exists(counted_)) throw std::runtime_error("the frames were not counted in time");
  }

 private:
  fs::path steady_;
  fs::path counted_;
};

void HoldFloorSteady(const Options& options) {
  e2e::AppFolder folder(L"bench frames floor", {.installer = false, .extractor = false, .archive = false});
  const fs::path floor = PlaceProgram(options.floorWindow, folder, L"FloorWindow.exe");
  const SteadyMoment moment(options.framesFolder, L"floor");
  StartedProgram program(floor, L"", folder.Path());
  WaitUntilShown(program, "the floor window");
  WaitSignalled(program.Process(), kSettleWindow);
  moment.Tell();
  moment.WaitUntilCounted(program.Process());
  if (program.Close(10s) != 0u) throw std::runtime_error("the floor window did not close cleanly");
}

void HoldInstallerSteady(const Options& options) {
  e2e::AppFolder folder(L"bench frames install", {});
  VoiceReset reset(folder);
  const SteadyMoment moment(options.framesFolder, L"installer");
  const SteadyMoment pointerAway(options.framesFolder, L"installer-pointer-away");
  DWORD extractorId = 0;
  {
    // Long enough for strace to attach and count however slowly the machine goes.
    e2e::InstallerRun run(folder, {L"ILVO_RAR_STANDIN_DELAY_MS=30000"});
    if (!run.WaitForWindow() || !run.WaitForCaption(kCaptionAbsent))
      throw std::runtime_error("the installer did not find the voice absent");
    run.Click(run.Control(IDC_QORBUTTON_AZ));
    const OwnedHandle extractor = OpenExtractor(run);
    extractorId = GetProcessId(extractor.Get());
    if (WaitSignalled(extractor.Get(), kSteadyAfter)) throw std::runtime_error("the extraction ended too soon");
    // First with the pointer where the click left it, on the disabled button,
    // whose hover look polls the pointer every 100 ms until it leaves.
    moment.Tell();
    moment.WaitUntilCounted(extractor.Get());
    SetCursorPos(0, 0);
    if (WaitSignalled(extractor.Get(), kSteadyAfter)) throw std::runtime_error("the extraction ended too soon");
    pointerAway.Tell();
    pointerAway.WaitUntilCounted(extractor.Get());
  }  // the installer is ended here, and then its extractor, still waiting
  if (OwnedHandle rest(OpenProcess(PROCESS_TERMINATE, FALSE, extractorId)); rest) TerminateProcess(rest.Get(), 1);
}

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
  QuietChildren() {
    SECURITY_ATTRIBUTES inheritable{sizeof inheritable, nullptr, TRUE};
    nul_ = OwnedHandle(NoneIfInvalid(CreateFileW(L"NUL", GENERIC_READ | GENERIC_WRITE, FILE_SHARE_READ | FILE_SHARE_WRITE,
                                                 &inheritable, OPEN_EXISTING, 0, nullptr)));
    if (!nul_) return;
    for (std::size_t i = 0; i < kWhich.size(); ++i) {
      saved_[i] = GetStdHandle(kWhich[i]);
      SetStdHandle(kWhich[i], nul_.Get());
    }
  }
  QuietChildren(const QuietChildren&) = delete;
  QuietChildren& operator=(const QuietChildren&) = delete;
  ~QuietChildren() {
    if (!nul_) return;
    for (std::size_t i = 0; i < kWhich.size(); ++i) SetStdHandle(kWhich[i], saved_[i]);
  }

 private:
  static constexpr std::array<DWORD, 3> kWhich{STD_INPUT_HANDLE, STD_OUTPUT_HANDLE, STD_ERROR_HANDLE};
  OwnedHandle nul_;
  std::array<HANDLE, 3> saved_{};  // not owned
};

int Run(const Options& options) {
  const KeepAliveWindow keepAlive;
  const QuietChildren quiet;
  if (options.only == "frames") {
    HoldFloorSteady(options);
    HoldInstallerSteady(options);
    return 0;
  }
  const StepTraceFile trace;
  Table table;
  bool ok = true;
  Yardsticks yardsticks;
  const auto wanted = [&](const char* group) { return options.only.empty() || options.only == group; };
  if (wanted("wait") || wanted("message"))
    ok &= Attempt("1, 2, 4", "Install with a long extraction", table,
                  [&] { BenchWaiting(options, table, yardsticks, trace); });
  if (wanted("message"))
    ok &= Attempt("2", "Message box reference", table,
                  [&] { BenchMessageBoxReference(options, table, yardsticks, trace); });
  AddMessageRatio(yardsticks, table);
  if (wanted("startup")) ok &= Attempt("3", "Start-up", table, [&] { BenchStartup(options, table, trace); });
  const auto exeSize = fs::file_size(e2e::Files().installer);
  table.Add({"4", "Size of IlvoInstaller.exe", std::to_string(exeSize) + " bytes", "", "", "", ""});
  if (!wanted("large")) {
    // another group asked for: no 1 GiB install
  } else if (options.largeArchive.empty()) {
    table.AddFailure("5", "Install of 1 GiB content", "no large archive given (see the script's message)");
    ok = false;
  } else {
    ok &= Attempt("5", "Install of 1 GiB content", table, [&] { BenchLargeInstall(options, table, trace); });
  }
  e2e::DeleteVoiceRecord();

  // The programs measured are of the bench's own build: the shipped i686 one, or
  // its x86_64 twin on machines that cannot run 32-bit programs.
  constexpr const char* kArchitecture = sizeof(void*) == 8 ? "x86_64 build, win64 prefix" : "i686 build, win32 prefix";
  std::error_code noProc;
  const char* processorTime = fs::exists(L"Z:\\proc\\self\\schedstat", noProc)
                                  ? "processor time: the kernel's scheduler time of every thread"
                                  : "processor time: thread times in 10 ms ticks";
  std::printf("\nIlvoInstaller benchmarks under Wine, %s (medians; other programs on the machine disturb timing;"
              " %s)\n\n",
              kArchitecture, processorTime);
  table.Print(stdout);
  std::fflush(stdout);
  return ok ? 0 : 1;
}

}  // namespace
}  // namespace bench

int main(int argc, char** argv) {
  _setmode(_fileno(stdout), _O_BINARY);
  try {
    return bench::Run(bench::ParseOptions(argc, argv));
  } catch (const std::exception& error) {
    std::fprintf(stderr, "installer_bench: %s\n", error.what());
  }
  return 2;
}
