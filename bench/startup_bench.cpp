// Start-up: the installer's window against a bare one.
#include "bench/bench_groups.h"

#include <stdexcept>

namespace bench {
namespace {

using namespace test_support;

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

}  // namespace

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

}  // namespace bench
