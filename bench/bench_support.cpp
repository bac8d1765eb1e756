#include "bench/bench_support.h"

#include <cstdlib>
#include <fstream>
#include <optional>
#include <sstream>
#include <stdexcept>

#include "installer/window/control_ids.h"
#include "platform/win32/text.h"

namespace bench {
namespace {

using namespace test_support;
using platform::win32::Narrow;

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

}  // namespace

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

void ResetVoice(const e2e::AppFolder& folder) {
  e2e::DeleteVoiceRecord();
  RemoveTree(folder.VoiceFolder());
}

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

InstallFigures MeasureInstall(const e2e::AppFolder& folder, const std::vector<std::wstring>& environment,
                              std::chrono::milliseconds extractionTimeout, const StepTraceFile& trace,
                              bool pointerAway) {
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

HWND WaitUntilShown(const StartedProgram& program, const std::string& what) {
  const DWORD id = program.Id();
  if (!PollEveryMillisecond([&] { return ShownMainWindow(id) != nullptr; }, 20s))
    throw std::runtime_error(what + " showed no window");
  WaitForInputIdle(program.Process(), 5000);
  return ShownMainWindow(id);
}

std::string Runs(const Summary& summary) { return std::to_string(summary.count); }

std::string Spread(const Summary& summary, int decimals, const std::string& unit) {
  return Fixed(summary.min, decimals, "") + " .. " + Fixed(summary.max, decimals, unit);
}

std::string Verdict(bool met) { return met ? "met" : "NOT met"; }

std::string Ratio(double value) { return Fixed(value, 2, "x"); }

fs::path PlaceProgram(const fs::path& program, const e2e::AppFolder& folder, const wchar_t* name) {
  const fs::path placed = folder.Path() / name;
  if (!CopyFileW(program.c_str(), placed.c_str(), FALSE)) throw std::runtime_error("cannot copy " + program.string());
  return placed;
}

std::vector<Step> StepTraceFile::Read(double fromMs, double originMs, double toMs) const {
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

void StepTimes::Add(const std::vector<Step>& steps) {
  std::map<std::string, int> seen;  // a step reached again in a run is counted apart: "name (2)"
  for (const Step& step : steps) {
    const int time = ++seen[step.name];
    const std::string name = time == 1 ? step.name : step.name + " (" + std::to_string(time) + ")";
    auto [found, added] = times_.try_emplace(name);
    if (added) order_.push_back(name);
    found->second.push_back(step.atMs);
  }
}
void StepTimes::AddRows(Table& table, const std::string& number, const std::string& from) const {
  for (const std::string& name : order_) {
    const Summary time = Summarize(times_.at(name));
    table.Add({number, "  " + from + " -> " + name, Fixed(time.median, 1, "ms"),
               Fixed(time.min, 1, "") + " .. " + Fixed(time.max, 1, "ms"), std::to_string(time.count), "", ""});
  }
}

ProcessorClock::ProcessorClock(DWORD processId, const std::wstring& exeName) : processId_(processId) {
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

double ProcessorClock::Ms() const {
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

QuietChildren::QuietChildren() {
  SECURITY_ATTRIBUTES inheritable{sizeof inheritable, nullptr, TRUE};
  nul_ = OwnedHandle(NoneIfInvalid(CreateFileW(L"NUL", GENERIC_READ | GENERIC_WRITE, FILE_SHARE_READ | FILE_SHARE_WRITE,
                                               &inheritable, OPEN_EXISTING, 0, nullptr)));
  if (!nul_) return;
  for (std::size_t i = 0; i < kWhich.size(); ++i) {
    saved_[i] = GetStdHandle(kWhich[i]);
    SetStdHandle(kWhich[i], nul_.Get());
  }
}

QuietChildren::~QuietChildren() {
  if (!nul_) return;
  for (std::size_t i = 0; i < kWhich.size(); ++i) SetStdHandle(kWhich[i], saved_[i]);
}

}  // namespace bench
