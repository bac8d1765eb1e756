// The installer's processor time while it waits for a long extraction,
// against the floor window; with it the end message's latency and the peak
// working set.
#include "bench/bench_groups.h"

#include <stdexcept>
#include <utility>

namespace bench {
namespace {

using namespace test_support;

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

}  // namespace

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

}  // namespace bench
