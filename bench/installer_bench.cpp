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

#include <cstdio>
#include <exception>
#include <filesystem>
#include <system_error>

#include "bench/bench_groups.h"

namespace bench {
namespace {

using test_support::KeepAliveWindow;

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
