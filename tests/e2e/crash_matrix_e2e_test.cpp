// The real installer crashed at every step of install, repair, uninstall and
// export (ILVO_STEP_CRASH ends it there as a power loss or the task manager
// would), then started again through /status and the window. Whatever step
// it died at, the next start tells the truth and cleans up after it:
// - it says "installed" only over three whole files, each as a finished
//   extraction leaves it or, in a repair, the user's own;
// - there is a record exactly when it says "installed";
// - a file that was there before the attempt keeps its bytes;
// - nothing of the attempt is left in the application folder;
// - the next action it offers completes normally from there.
#include <windows.h>

#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <map>
#include <optional>
#include <set>
#include <string>
#include <vector>

#include "installer/window/control_ids.h"
#include "tests/e2e/e2e_steps.h"
#include "tests/e2e/e2e_support.h"

namespace e2e {
namespace {

namespace fs = std::filesystem;

using CrashMatrix = RecordCleanTest;

constexpr DWORD kCrashed = 0xDEAD;  // the exit code of a program ended by ILVO_STEP_CRASH
const wchar_t* const kVoiceFiles[] = {L".ddb", L".ddi", L".vvd"};

enum class Operation { Install, Repair, Uninstall, Export };

const char* NameOf(Operation operation) {
  switch (operation) {
    case Operation::Install: return "install";
    case Operation::Repair: return "repair";
    case Operation::Uninstall: return "uninstall";
    case Operation::Export: return "export";
  }
  return "";
}

// The step names of a trace file, in order.
std::vector<std::string> StepsIn(const fs::path& trace) {
  std::vector<std::string> steps;
  std::ifstream in(trace, std::ios::binary);
  for (std::string line; std::getline(in, line);) {
    if (!line.empty() && line.back() == '\r') line.pop_back();
    const std::size_t space = line.find(' ');
    if (space != std::string::npos) steps.push_back(line.substr(space + 1));
  }
  return steps;
}

std::map<std::wstring, std::string> VoiceBytes(const AppFolder& folder) {
  std::map<std::wstring, std::string> bytes;
  for (const wchar_t* extension : kVoiceFiles) {
    if (folder.VoiceFileExists(extension)) bytes[extension] = ReadAll(folder.VoiceFile(extension));
  }
  return bytes;
}

// What each operation starts from: the folder and the registry before the
// user acts, and what of it must keep its bytes.
struct Before {
  std::map<std::wstring, std::string> voice;  // the user's own voice files
  std::optional<std::string> exportFile;      // an old Ilvo.reg
};

Before Prepare(Operation operation, AppFolder& folder) {
  DeleteVoiceRecord();
  Before before;
  if (operation == Operation::Repair) folder.PlaceVoiceFiles({L".ddb"});
  if (operation == Operation::Uninstall) folder.PlaceVoiceFiles();
  if (operation == Operation::Export) {
    std::ofstream(folder.Path() / L"Ilvo.reg", std::ios::binary) << "the old export\r\n";
    before.exportFile = ReadAll(folder.Path() / L"Ilvo.reg");
  }
  before.voice = VoiceBytes(folder);
  return before;
}

// Does what a person does for the operation in an open window, answering
// every box with OK, until the program has ended; its exit code.
std::optional<DWORD> Act(Operation operation, InstallerRun& run) {
  switch (operation) {
    case Operation::Install: OpenIn(run, L"Ilvo - 音源不存在"); run.Click(run.Control(IDC_QORBUTTON_AZ)); break;
    case Operation::Repair: OpenIn(run, L"Ilvo - 音源不完全"); run.Click(run.Control(IDC_QORBUTTON_XF)); break;
    case Operation::Uninstall: OpenIn(run, L"Ilvo - 音源已安装"); run.Click(run.Control(IDC_QORBUTTON_XZT)); break;
    case Operation::Export: OpenIn(run, L"Ilvo - 音源不存在"); run.DoubleClickPicture(); break;
  }
  const auto deadline = std::chrono::steady_clock::now() + 60s;
  while (run.Running() && std::chrono::steady_clock::now() < deadline) {
    if (auto box = run.WaitForMessageBox(200ms)) run.Answer(*box, IDOK);
    // The export leaves the window open once its question is answered.
    if (operation == Operation::Export && !run.WaitForMessageBox(1500ms) && run.Running()) run.RequestClose();
  }
  return run.WaitForExit(10s);
}

// The steps from the user's action to the result: the count before the
// action, and all of them.
struct Reference {
  std::size_t beforeAction = 0;
  std::vector<std::string> steps;
  std::map<std::wstring, std::string> extracted;  // the voice files as a finished extraction leaves them
  std::string exported;                             // Ilvo.reg as an export writes it
  std::string folderInExport;                       // the reference folder as Ilvo.reg spells it
};

// A folder as Ilvo.reg spells it: every backslash doubled (the test folders' names are ASCII).
std::string AsInExport(const fs::path& folder) {
  std::string text;
  for (const char c : folder.string()) text += c == '\\' ? std::string("\\\\") : std::string(1, c);
  return text;
}

// What an export in the folder writes: the reference's text with its folder.
std::string ExportIn(const Reference& reference, const fs::path& folder) {
  std::string text = reference.exported;
  const std::string to = AsInExport(folder);
  for (std::size_t at = 0; (at = text.find(reference.folderInExport, at)) != std::string::npos; at += to.size()) {
    text.replace(at, reference.folderInExport.size(), to);
  }
  return text;
}

Reference Measure(Operation operation) {
  AppFolder folder(L"crash reference", {});
  Prepare(operation, folder);
  const fs::path trace = folder.Path() / L"trace.txt";
  Reference reference;
  {
    InstallerRun run(folder, {L"ILVO_STEP_TRACE=" + trace.wstring()});
    EXPECT_TRUE(run.WaitForWindow());
    WaitUntil([&] { return !StepsIn(trace).empty() && StepsIn(trace).back() == "window shown"; }, 20s);
    reference.beforeAction = StepsIn(trace).size();
    EXPECT_EQ(Act(operation, run), 0u);
  }
  reference.steps = StepsIn(trace);
  fs::remove(trace);
  // A repair's reference keeps the user's .ddb, which counts as theirs anyway.
  if (operation == Operation::Install || operation == Operation::Repair) reference.extracted = VoiceBytes(folder);
  if (operation == Operation::Export) {
    reference.exported = ReadAll(folder.Path() / L"Ilvo.reg");
    reference.folderInExport = AsInExport(folder.Path());
    EXPECT_NE(reference.exported.find(reference.folderInExport), std::string::npos) << reference.exported;
  }
  DeleteVoiceRecord();
  return reference;
}

// The state the next start shows: its /status code, and the window's caption agrees.
DWORD StateAtNextStart(const AppFolder& folder) {
  const std::optional<DWORD> status = RunSwitch(folder, L"/status /quiet");
  EXPECT_TRUE(status && *status >= 1 && *status <= 3) << (status ? *status : 0);
  const wchar_t* captions[] = {L"", L"Ilvo - 音源已安装", L"Ilvo - 音源不存在", L"Ilvo - 音源不完全"};
  InstallerRun next(folder);
  OpenIn(next, captions[status && *status <= 3 ? *status : 0]);
  next.RequestClose();
  EXPECT_EQ(next.WaitForExit(), 0u);
  return status.value_or(0);
}

void ExpectTheTruthAfter(Operation operation, const Reference& reference, const Before& before,
                         const AppFolder& folder) {
  const DWORD state = StateAtNextStart(folder);

  const std::map<std::wstring, std::string> voice = VoiceBytes(folder);
  for (const auto& [extension, bytes] : voice) {
    const bool theUsers = before.voice.count(extension) != 0 && before.voice.at(extension) == bytes;
    const bool extracted = reference.extracted.count(extension) != 0 && reference.extracted.at(extension) == bytes;
    EXPECT_TRUE(theUsers || extracted) << fs::path(extension).string() << " is neither whole nor the user's";
  }
  if (state == 1) {
    EXPECT_EQ(voice.size(), 3u);
  }
  EXPECT_EQ(VoiceKeyExists(), state == 1);
  EXPECT_EQ(UninstallEntryExists(), state == 1);
  // A file there before keeps its bytes, unless uninstall removed it.
  for (const auto& [extension, bytes] : before.voice) {
    if (operation == Operation::Uninstall && voice.count(extension) == 0) continue;
    ASSERT_TRUE(voice.count(extension)) << fs::path(extension).string();
    EXPECT_EQ(voice.at(extension), bytes) << fs::path(extension).string();
  }
  // Nothing of the attempt is left.
  std::set<std::wstring> allowed{L"DATA", L"IlvoInstaller.exe", L"Ilvo.reg"};
  if (fs::exists(folder.VoiceFolder())) allowed.insert(L"KT3WQ8ZRMD5LXNVC");
  for (const std::wstring& name : NamesIn(folder.Path())) {
    EXPECT_TRUE(allowed.count(name)) << fs::path(name).string() << " was left in the application folder";
  }
  if (fs::exists(folder.VoiceFolder())) {
    for (const std::wstring& name : NamesIn(folder.VoiceFolder())) {
      EXPECT_TRUE(name == L"Ilvo.ddb" || name == L"Ilvo.ddi" || name == L"Ilvo.vvd")
          << fs::path(name).string() << " was left in the voice folder";
    }
  }
  if (operation == Operation::Export) {
    const std::string now = ReadAll(folder.Path() / L"Ilvo.reg");
    EXPECT_TRUE(now == *before.exportFile || now == ExportIn(reference, folder.Path()))
        << "neither the old nor the new export:\n" << now;
  }

  // The next action offered completes from there.
  if (state == 2 && operation != Operation::Export) {
    EXPECT_EQ(RunSwitch(folder, L"/install /quiet"), 0u);
    EXPECT_EQ(RunSwitch(folder, L"/status /quiet"), 1u);
  } else if (state == 3) {
    if (operation == Operation::Uninstall) {
      EXPECT_EQ(RunSwitch(folder, L"/uninstall /quiet"), 0u);
      EXPECT_EQ(RunSwitch(folder, L"/status /quiet"), 2u);
    } else {
      EXPECT_EQ(RunSwitch(folder, L"/repair /quiet"), 0u);
      EXPECT_EQ(RunSwitch(folder, L"/status /quiet"), 1u);
    }
  } else if (state == 1 && operation == Operation::Uninstall) {
    EXPECT_EQ(RunSwitch(folder, L"/uninstall /quiet"), 0u);
    EXPECT_EQ(RunSwitch(folder, L"/status /quiet"), 2u);
  }
}

class EveryStep : public CrashMatrix, public ::testing::WithParamInterface<Operation> {};

TEST_P(EveryStep, LeavesTheTruthForTheNextStart) {
  const Operation operation = GetParam();
  const Reference reference = Measure(operation);
  ASSERT_GT(reference.steps.size(), reference.beforeAction) << "no step after the action";
  std::cout << "[ steps ] " << NameOf(operation) << ": " << reference.steps.size() - reference.beforeAction
            << " steps from the action to the result\n";
  for (std::size_t n = reference.beforeAction + 1; n <= reference.steps.size(); ++n) {
    SCOPED_TRACE("crashed at step " + std::to_string(n) + ", " + reference.steps[n - 1]);
    AppFolder folder(L"crash " + std::to_wstring(n), {});
    const Before before = Prepare(operation, folder);
    {
      InstallerRun run(folder, {L"ILVO_STEP_CRASH=" + std::to_wstring(n)});
      ASSERT_EQ(Act(operation, run), kCrashed) << "the program did not end at the step";
    }
    // The extractor ends with the installer, wherever that crashed.
    EXPECT_TRUE(WaitUntil([] { return !FindProcess(L"Rar.exe"); }, 20s));
    ExpectTheTruthAfter(operation, reference, before, folder);
    DeleteVoiceRecord();
    if (HasFatalFailure()) return;
  }
}

INSTANTIATE_TEST_SUITE_P(Operations, EveryStep,
                         ::testing::Values(Operation::Install, Operation::Repair, Operation::Uninstall,
                                           Operation::Export),
                         [](const ::testing::TestParamInfo<Operation>& operation) {
                           std::string name = NameOf(operation.param);
                           name[0] = static_cast<char>(name[0] - 'a' + 'A');
                           return name;
                         });

// Between two files of the extractor, where no step of the installer's own
// falls: the installer ended from outside.
TEST_F(CrashMatrix, BetweenTwoFilesOfTheExtractor) {
  const Reference reference = Measure(Operation::Install);
  AppFolder folder(L"crash between files", {});
  const Before before = Prepare(Operation::Install, folder);
  {
    InstallerRun run(folder, {L"ILVO_RAR_STANDIN_FILE_PAUSE_MS=5000"});
    OpenIn(run, L"Ilvo - 音源不存在");
    run.Click(run.Control(IDC_QORBUTTON_AZ));
    const fs::path staged = folder.Path() / L"Ilvo.staging" / kVoiceId;
    ASSERT_TRUE(WaitUntil([&] { return fs::exists(staged) && !NamesIn(staged).empty(); }, 30s));
    ASSERT_LT(NamesIn(staged).size(), 3u) << "the extractor did not pause between its files";
    Terminate(run.ProcessId());
  }
  EXPECT_TRUE(WaitUntil([] { return !FindProcess(L"Rar.exe"); }, 20s));
  ExpectTheTruthAfter(Operation::Install, reference, before, folder);
}

}  // namespace
}  // namespace e2e
