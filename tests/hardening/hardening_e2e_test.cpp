// The installer runs elevated from a folder a user can write to. Nothing
// planted there may run inside it: neither a DLL named like a system one
// nor a program named like the extractor. Driven through a real install
// under Wine, with native DLLs preferred for the planted names (the test's
// environment, see CMakeLists.txt) so Wine takes a planted one wherever the
// search would reach it.
#include <gtest/gtest.h>

#include <optional>
#include <string>
#include <vector>

#include "installer/window/control_ids.h"
#include "tests/e2e/e2e_support.h"
#include "tests/support/environment.h"

namespace hardening {
namespace {
namespace fs = std::filesystem;

struct HardeningFiles {
  fs::path unrestrictedInstaller;  // the installer built without the DLL search restriction
  fs::path plantedDlls;            // folder of marker DLLs named like system ones
  fs::path decoyExtractor;         // a marker program named Rar.exe
};

// The arguments after the installer test's four.
HardeningFiles Files() {
  return {test_support::ArgumentPath(4), test_support::ArgumentPath(5), test_support::ArgumentPath(6)};
}

using test_support::ScopedVariable;
using test_support::Variable;
using e2e::ReadAll;

// "<marker>: <who>" for each marker left in the folder.
std::vector<std::string> MarkersIn(const fs::path& folder) {
  std::vector<std::string> found;
  std::error_code error;
  for (const auto& entry : fs::directory_iterator(folder, error))
    found.push_back(entry.path().filename().string() + ": " + ReadAll(entry.path()));
  return found;
}

void Copy(const fs::path& from, const fs::path& to) {
  ASSERT_TRUE(CopyFileW(from.c_str(), to.c_str(), FALSE)) << from.string() << " -> " << to.string();
}

// Every marker DLL, beside the installer and in DATA\. Which of them Wine
// is told to prefer over its own is set where the test is registered.
void PlantDlls(const e2e::AppFolder& folder) {
  for (const auto& dll : fs::directory_iterator(Files().plantedDlls))
    for (const fs::path& where : {folder.Path(), folder.Path() / L"DATA"})
      Copy(dll.path(), where / dll.path().filename());
}

// Install from the absent state, as a person would; the real extractor
// leaves its command line in the log.
void InstallThroughTheWindow(const e2e::AppFolder& folder, const fs::path& markers, const fs::path& extractorLog) {
  e2e::InstallerRun run(folder, {L"ILVO_PLANT_MARKERS=" + markers.wstring(),
                                 L"ILVO_RAR_STANDIN_LOG=" + extractorLog.wstring()});
  ASSERT_TRUE(run.WaitForWindow());
  ASSERT_TRUE(run.WaitForCaption(L"Ilvo - 音源不存在"));
  // An accessibility client asks the button for its object: the installer
  // loads the accessibility DLL then. The first answer in a new prefix starts
  // Wine's COM services, which takes seconds on a busy machine.
  DWORD_PTR ignored = 0;
  const ULONGLONG asked = GetTickCount64();
  const LRESULT answered = SendMessageTimeoutW(run.Control(IDC_QORBUTTON_AZ), WM_GETOBJECT, 0,
                                               static_cast<LPARAM>(OBJID_CLIENT), SMTO_NORMAL, 60000, &ignored);
  EXPECT_TRUE(answered) << "error " << GetLastError() << " after " << GetTickCount64() - asked << " ms";
  run.Click(run.Control(IDC_QORBUTTON_AZ));
  auto box = run.WaitForMessageBox();
  ASSERT_TRUE(box);
  EXPECT_EQ(box->text, L"音源[安装]成功！");
  run.Answer(*box, IDOK);
  EXPECT_EQ(run.WaitForExit(), 0u);
  for (const wchar_t* extension : {L".ddb", L".ddi", L".vvd"}) EXPECT_TRUE(folder.VoiceFileExists(extension));
  EXPECT_TRUE(e2e::VoiceKeyExists());
}

class Hardening : public ::testing::Test {
 protected:
  void SetUp() override { e2e::DeleteVoiceRecord(); }
  void TearDown() override { e2e::DeleteVoiceRecord(); }
};

TEST_F(Hardening, PlantedDllsBesideTheInstallerAndInDataAreNeverLoaded) {
  e2e::AppFolder folder(L"planted dlls", {});
  PlantDlls(folder);
  const fs::path markers = folder.Path() / L"markers";
  fs::create_directories(markers);
  InstallThroughTheWindow(folder, markers, folder.Path() / L"extractor.log");
  EXPECT_EQ(MarkersIn(markers), std::vector<std::string>{});
}

TEST_F(Hardening, ThePlantedDllTestCanSeeAPlantedDllBeingLoaded) {
  e2e::AppFolder folder(L"planted dlls unrestricted", {.installer = false});
  Copy(Files().unrestrictedInstaller, folder.Path() / L"IlvoInstaller.exe");
  PlantDlls(folder);
  const fs::path markers = folder.Path() / L"markers";
  fs::create_directories(markers);
  InstallThroughTheWindow(folder, markers, folder.Path() / L"extractor.log");
  EXPECT_NE(MarkersIn(markers), std::vector<std::string>{})
      << "without the restriction a planted DLL must be taken, or this test proves nothing";
}

TEST_F(Hardening, ADecoyExtractorInTheCurrentFolderOrOnThePathNeverRuns) {
  e2e::AppFolder folder(L"decoy extractor", {});
  const fs::path onPath = folder.Path() / L"on path";
  fs::create_directories(onPath);
  Copy(Files().decoyExtractor, folder.Path() / L"Rar.exe");  // the installer's current folder
  Copy(Files().decoyExtractor, onPath / L"Rar.exe");
  const fs::path markers = folder.Path() / L"markers";
  fs::create_directories(markers);
  const ScopedVariable searchPath(L"PATH", onPath.wstring() + L";" + Variable(L"PATH").value_or(L""));
  const fs::path extractorLog = folder.Path() / L"extractor.log";

  InstallThroughTheWindow(folder, markers, extractorLog);
  EXPECT_EQ(MarkersIn(markers), std::vector<std::string>{});
  EXPECT_NE(ReadAll(extractorLog), "") << "DATA\\Rar.exe must have done the extraction";
}

}  // namespace
}  // namespace hardening
