// The bare window's message box after its extractor ends: the yardstick of
// the installer's end message.
#include "bench/bench_groups.h"

#include <optional>
#include <stdexcept>

namespace bench {
namespace {

using namespace test_support;

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

}  // namespace

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

void AddMessageRatio(const Yardsticks& yardsticks, Table& table) {
  if (!yardsticks.installerExitToMessage || !yardsticks.bareMessageBox) return;
  const double ratio = yardsticks.installerExitToMessage->median / yardsticks.bareMessageBox->median;
  table.Add({"2", "Ratio installer exit -> message / bare window's exit -> record and message (of the medians)", Ratio(ratio), "",
             Runs(*yardsticks.bareMessageBox), "<= 1.15x", Verdict(ratio <= 1.15)});
}

}  // namespace bench
