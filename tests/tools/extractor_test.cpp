#include "tools/rar_standin/extractor.h"

#include <gtest/gtest.h>

#include "tests/tools/zip_builder.h"
#include "tools/rar_standin/utf16.h"

namespace rar_standin {
namespace {

using testing::BuildZip;
using testing::FilesBelow;
using testing::ReadBytes;
using testing::TemporaryFolder;
using testing::WriteBytes;
namespace fs = std::filesystem;

const std::string kVoiceFolder = "KT3WQ8ZRMD5LXNVC";

class ExtractorTest : public ::testing::Test {
 protected:
  ExtractorTest() : destination_(folder_.path() / PathFromUtf8("Voices 音源")) {}

  fs::path Archive(const std::vector<testing::FixtureEntry>& entries) {
    const fs::path file = folder_.path() / "Ilvo.yin";
    WriteBytes(file, BuildZip(entries));
    return file;
  }

  fs::path Voice(const std::string& name) const { return destination_ / kVoiceFolder / name; }

  void Plant(const std::string& name, const std::string& content) const {
    fs::create_directories(destination_ / kVoiceFolder);
    WriteBytes(Voice(name), content);
  }

  ExtractSummary Extract(const fs::path& archive, ExistingFiles existing, const ExtractOptions& options = {}) {
    return ExtractArchive(
        archive, destination_, existing, [this](std::string_view line) { progress_.emplace_back(line); }, options);
  }

  ArchiveFault FaultExtracting(const fs::path& archive, ExistingFiles existing) {
    try {
      Extract(archive, existing);
    } catch (const ArchiveError& error) {
      return error.fault();
    }
    ADD_FAILURE() << "extraction succeeded";
    return ArchiveFault::Unsupported;
  }

  TemporaryFolder folder_{"extract"};
  fs::path destination_;
  std::vector<std::string> progress_;
};

std::vector<testing::FixtureEntry> VoiceEntries(const std::string& tag) {
  return {{.name = kVoiceFolder + "/Ilvo.ddb", .data = "ddb " + tag},
          {.name = kVoiceFolder + "/Ilvo.ddi", .data = "ddi " + tag, .method = 0},
          {.name = kVoiceFolder + "/Ilvo.vvd", .data = "vvd " + tag}};
}

TEST_F(ExtractorTest, WritesEntriesWithTheirFoldersBelowTheDestination) {
  auto entries = VoiceEntries("new");
  entries.push_back({.name = kVoiceFolder + "/empty/"});
  entries.push_back({.name = "extra\\nested\\readme.txt", .data = "nested"});
  const ExtractSummary summary = Extract(Archive(entries), ExistingFiles::Overwrite);

  EXPECT_EQ(summary.filesWritten, 4);
  EXPECT_EQ(FilesBelow(destination_),
            (std::vector<std::string>{kVoiceFolder + "/Ilvo.ddb", kVoiceFolder + "/Ilvo.ddi",
                                      kVoiceFolder + "/Ilvo.vvd", "extra/nested/readme.txt"}));
  EXPECT_EQ(ReadBytes(Voice("Ilvo.ddi")), "ddi new");
  EXPECT_EQ(ReadBytes(destination_ / "extra" / "nested" / "readme.txt"), "nested");
  EXPECT_TRUE(fs::is_directory(destination_ / kVoiceFolder / "empty"));
  EXPECT_EQ(progress_.front(), "Extracting  " + kVoiceFolder + "/Ilvo.ddb");
}

TEST_F(ExtractorTest, OverwriteReplacesExistingFiles) {
  Plant("Ilvo.ddb", "old and longer than the new content");
  const ExtractSummary summary = Extract(Archive(VoiceEntries("new")), ExistingFiles::Overwrite);
  EXPECT_EQ(summary.filesWritten, 3);
  EXPECT_EQ(ReadBytes(Voice("Ilvo.ddb")), "ddb new");
}

TEST_F(ExtractorTest, SkipKeepsExistingFilesAndAddsMissingOnes) {
  Plant("Ilvo.ddb", "old ddb");
  Plant("Ilvo.vvd", "old vvd");
  const ExtractSummary summary = Extract(Archive(VoiceEntries("new")), ExistingFiles::Skip);
  EXPECT_EQ(summary.filesWritten, 1);
  EXPECT_EQ(summary.filesSkipped, 2);
  EXPECT_EQ(ReadBytes(Voice("Ilvo.ddb")), "old ddb");
  EXPECT_EQ(ReadBytes(Voice("Ilvo.ddi")), "ddi new");
  EXPECT_EQ(ReadBytes(Voice("Ilvo.vvd")), "old vvd");
}

bool Writable(const fs::path& file) { return (fs::status(file).permissions() & fs::perms::owner_write) != fs::perms::none; }

TEST_F(ExtractorTest, ReadOnlyMarksEachFileItWritesAndNoOther) {
  Plant("Ilvo.ddb", "old ddb");
  const ExtractSummary summary =
      Extract(Archive(VoiceEntries("new")), ExistingFiles::Skip, {.readOnly = true, .pauseAfterFile = {}});
  EXPECT_EQ(summary.filesWritten, 2);
  EXPECT_TRUE(Writable(Voice("Ilvo.ddb"))) << "skipped";
  EXPECT_FALSE(Writable(Voice("Ilvo.ddi")));
  EXPECT_FALSE(Writable(Voice("Ilvo.vvd")));
  EXPECT_EQ(ReadBytes(Voice("Ilvo.vvd")), "vvd new");
  // Writable again, so the folder can go (Windows deletes no read-only file).
  for (const char* name : {"Ilvo.ddi", "Ilvo.vvd"}) {
    fs::permissions(Voice(name), fs::perms::owner_write, fs::perm_options::add);
  }
}

TEST_F(ExtractorTest, PauseAfterFileWaitsAfterEachFileWritten) {
  const auto start = std::chrono::steady_clock::now();
  Extract(Archive(VoiceEntries("new")), ExistingFiles::Overwrite,
          {.readOnly = false, .pauseAfterFile = std::chrono::milliseconds(100)});
  EXPECT_GE(std::chrono::steady_clock::now() - start, std::chrono::milliseconds(300));
}

TEST_F(ExtractorTest, CrcFailureKeepsTheOldFileAndLeavesNoPartialFile) {
  auto entries = VoiceEntries("new");
  entries[1].recordedCrc = 0xDEADBEEF;
  const fs::path archive = Archive(entries);
  for (const ExistingFiles existing : {ExistingFiles::Overwrite, ExistingFiles::Skip}) {
    fs::remove_all(destination_);
    Plant("Ilvo.vvd", "old vvd");
    EXPECT_EQ(FaultExtracting(archive, existing), ArchiveFault::Damaged);
    // The file before the damaged one is complete; the damaged one was never
    // put in place; extraction stopped there.
    EXPECT_EQ(FilesBelow(destination_),
              (std::vector<std::string>{kVoiceFolder + "/Ilvo.ddb", kVoiceFolder + "/Ilvo.vvd"}));
    EXPECT_EQ(ReadBytes(Voice("Ilvo.vvd")), "old vvd");
  }
  // An existing file under the damaged entry's name is not replaced either.
  fs::remove_all(destination_);
  Plant("Ilvo.ddi", "old ddi");
  EXPECT_EQ(FaultExtracting(archive, ExistingFiles::Overwrite), ArchiveFault::Damaged);
  EXPECT_EQ(ReadBytes(Voice("Ilvo.ddi")), "old ddi");
  EXPECT_FALSE(fs::exists(PartialFileName(Voice("Ilvo.ddi"))));
}

TEST_F(ExtractorTest, UnsafeArchiveWritesNothing) {
  auto entries = VoiceEntries("new");
  entries.push_back({.name = "../escape.txt", .data = "evil"});
  EXPECT_EQ(FaultExtracting(Archive(entries), ExistingFiles::Overwrite), ArchiveFault::UnsafeEntry);
  EXPECT_FALSE(fs::exists(destination_));
  EXPECT_FALSE(fs::exists(folder_.path() / "escape.txt"));
}

TEST_F(ExtractorTest, BlockedPathIsAWriteError) {
  // A file stands where the voice folder should go.
  fs::create_directories(destination_);
  WriteBytes(destination_ / kVoiceFolder, "not a folder");
  EXPECT_EQ(FaultExtracting(Archive(VoiceEntries("new")), ExistingFiles::Overwrite), ArchiveFault::CannotWrite);
  EXPECT_EQ(ReadBytes(destination_ / kVoiceFolder), "not a folder");
}

}  // namespace
}  // namespace rar_standin
