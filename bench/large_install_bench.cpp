// A large install against its extractor alone.
#include "bench/bench_groups.h"

#include <fstream>
#include <stdexcept>

namespace bench {
namespace {

using namespace test_support;

struct AloneFigures {
  double extractorMs = 0;  // start -> exit
  double flushMs = 0;      // its files then written through to the disk, as the installer does
};

// Writes every file below folder through to the disk.
double FlushTree(const fs::path& folder) {
  const double started = NowMs();
  for (const fs::directory_entry& entry : fs::recursive_directory_iterator(folder)) {
    if (!entry.is_regular_file()) continue;
    const HANDLE file = CreateFileW(entry.path().c_str(), GENERIC_WRITE, FILE_SHARE_READ, nullptr, OPEN_EXISTING,
                                    FILE_ATTRIBUTE_NORMAL, nullptr);
    if (file == INVALID_HANDLE_VALUE) throw std::runtime_error("cannot open " + entry.path().string() + " to flush it");
    const bool flushed = FlushFileBuffers(file) != FALSE;
    CloseHandle(file);
    if (!flushed) throw std::runtime_error("cannot flush " + entry.path().string());
  }
  return NowMs() - started;
}

// The stand-in extractor on its own, started as the installer starts it,
// then its files flushed as the installer flushes them.
AloneFigures MeasureExtractorAlone(const e2e::AppFolder& folder) {
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
  const double flushMs = FlushTree(folder.VoiceFile(L".ddb").parent_path());
  return {*endedAt - extractor.StartedAtMs(), flushMs};
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

}  // namespace

void BenchLargeInstall(const Options& options, Table& table, const StepTraceFile& trace) {
  e2e::AppFolder folder(L"bench large", {.archive = false});
  const fs::path archive = folder.Path() / L"DATA" / L"Ilvo.yin";
  PlaceArchive(options.largeArchive, archive);
  const double archiveMiB = static_cast<double>(fs::file_size(archive)) / (1024.0 * 1024.0);
  ReadThrough(archive);
  // The extraction itself varies by tenths of a second from run to run; the
  // installer's own part is the install less its extractor's lifetime.
  std::vector<double> installs, alone, flushes, aloneFlushed, differences, ownTimes;
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
        const AloneFigures figures = MeasureExtractorAlone(folder);
        alone.push_back(figures.extractorMs / 1000.0);
        flushes.push_back(figures.flushMs / 1000.0);
        aloneFlushed.push_back((figures.extractorMs + figures.flushMs) / 1000.0);
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
  const Summary flush = Summarize(flushes);
  table.Add({"5", "  its files then flushed to disk (the installer flushes before it moves them)",
             Fixed(flush.median, 2, "s"), Spread(flush, 2, "s"), Runs(flush), "", ""});
  const double ratio = install.median / extractor.median;
  table.Add({"5", "Ratio install / extractor alone", Fixed(ratio, 2, "x"), "", "", "<= 1.10 x",
             ratio <= 1.10 ? "met" : "not met"});
  const Summary flushed = Summarize(aloneFlushed);
  table.Add({"5", "Ratio install / extractor alone with its files flushed", Fixed(install.median / flushed.median, 2, "x"),
             "", "", "", ""});
  table.Add({"5", "Difference install - extractor alone (per run)", Fixed(difference.median, 2, "s"),
             Spread(difference, 2, "s"), Runs(difference), "", ""});
  const Summary ownTime = Summarize(ownTimes);
  table.Add({"5", "  installer's own part: click -> message minus its extractor's lifetime",
             Fixed(ownTime.median, 3, "s"), Spread(ownTime, 3, "s"), Runs(ownTime), "", ""});
  stepsAfterExit.AddRows(table, "5", "exit");
}

}  // namespace bench
