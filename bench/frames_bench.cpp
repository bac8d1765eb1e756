// Steady moments held for scripts/bench.sh to count a frame's requests.
#include "bench/bench_groups.h"

#include <fstream>
#include <stdexcept>

#include "installer/window/control_ids.h"

namespace bench {
namespace {

using namespace test_support;

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

}  // namespace

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

}  // namespace bench
