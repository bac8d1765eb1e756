#include "tools/rar_standin/zip_archive.h"

#include <gtest/gtest.h>

#include <sstream>

#include "tests/tools/zip_builder.h"
#include "tools/rar_standin/entry_path.h"

namespace rar_standin {
namespace {

using testing::BuildZip;
using testing::FixtureEntry;
using testing::TemporaryFolder;
using testing::WriteBytes;

TEST(EntryPath, SplitsOnEitherSeparator) {
  struct Case {
    const char* name;
    std::vector<std::string> components;
    bool isDirectory;
  };
  const Case cases[] = {
      {"KT3WQ8ZRMD5LXNVC/Ilvo.ddb", {"KT3WQ8ZRMD5LXNVC", "Ilvo.ddb"}, false},
      {"KT3WQ8ZRMD5LXNVC\\Ilvo.ddb", {"KT3WQ8ZRMD5LXNVC", "Ilvo.ddb"}, false},
      {"a/./b//c", {"a", "b", "c"}, false},
      {"KT3WQ8ZRMD5LXNVC/", {"KT3WQ8ZRMD5LXNVC"}, true},
      {"音源\\声库.ddb", {"音源", "声库.ddb"}, false},
      {"..a/b..c/.hidden", {"..a", "b..c", ".hidden"}, false},
      {"console/conx.txt", {"console", "conx.txt"}, false},
  };
  for (const Case& c : cases) {
    const auto parsed = ParseEntryPath(c.name);
    const auto* path = std::get_if<EntryPath>(&parsed);
    ASSERT_NE(path, nullptr) << c.name << ": " << std::get<UnsafeEntryPath>(parsed).reason;
    EXPECT_EQ(path->components, c.components) << c.name;
    EXPECT_EQ(path->isDirectory, c.isDirectory) << c.name;
  }
}

TEST(EntryPath, RejectsPathsThatLeaveTheDestination) {
  const char* const names[] = {
      "../escape.txt", "a/../../escape.txt", "a\\..\\..\\escape.txt", "..", "a/..",
      "/etc/passwd", "\\Windows\\win.ini", "C:/Windows/win.ini", "C:escape.txt", "c:\\escape.txt",
      "a/b:stream", "", "/", ".", "./",
      "a/CON", "a/con.txt", "nul", "LPT1 .log", "a/b.", "a/b ", "a/...", "a/<b>", "a/b?", "tab\there",
  };
  for (const char* name : names) {
    EXPECT_TRUE(std::holds_alternative<UnsafeEntryPath>(ParseEntryPath(name))) << '"' << name << '"';
  }
}

class ZipArchiveTest : public ::testing::Test {
 protected:
  std::filesystem::path Write(const std::string& bytes) {
    const auto file = folder_.path() / "archive.zip";
    WriteBytes(file, bytes);
    return file;
  }

  static std::string ExtractText(ZipArchive& archive, const ZipEntry& entry) {
    std::ostringstream out;
    archive.Extract(entry, out);
    return out.str();
  }

  static ArchiveFault FaultOpening(const std::filesystem::path& file, std::string* message = nullptr) {
    try {
      ZipArchive archive(file);
    } catch (const ArchiveError& error) {
      if (message) *message = error.what();
      return error.fault();
    }
    ADD_FAILURE() << "opened " << file;
    return ArchiveFault::Unsupported;
  }

  static ArchiveFault FaultExtracting(ZipArchive& archive, const ZipEntry& entry, std::string* message = nullptr) {
    try {
      ExtractText(archive, entry);
    } catch (const ArchiveError& error) {
      if (message) *message = error.what();
      return error.fault();
    }
    ADD_FAILURE() << "extracted " << entry.name;
    return ArchiveFault::Unsupported;
  }

  TemporaryFolder folder_{"zip"};
};

TEST_F(ZipArchiveTest, ReadsStoredDeflatedEmptyAndFolderEntries) {
  std::string large;
  for (int i = 0; i < 200000; ++i) large += static_cast<char>('A' + (i * 7919 % 61));
  ZipArchive archive(Write(BuildZip({
      {.name = "KT3WQ8ZRMD5LXNVC/"},
      {.name = "KT3WQ8ZRMD5LXNVC/Ilvo.ddb", .data = large},
      {.name = "KT3WQ8ZRMD5LXNVC\\Ilvo.ddi", .data = "stored bytes", .method = 0},
      {.name = "KT3WQ8ZRMD5LXNVC/Ilvo.vvd", .data = ""},
  })));
  const auto& entries = archive.entries();
  ASSERT_EQ(entries.size(), 4u);
  EXPECT_TRUE(entries[0].path.isDirectory);
  EXPECT_EQ(entries[2].path.components, (std::vector<std::string>{"KT3WQ8ZRMD5LXNVC", "Ilvo.ddi"}));
  EXPECT_EQ(ExtractText(archive, entries[1]), large);
  EXPECT_EQ(ExtractText(archive, entries[2]), "stored bytes");
  EXPECT_EQ(ExtractText(archive, entries[3]), "");
  // Entries can be read again and out of order.
  EXPECT_EQ(ExtractText(archive, entries[2]), "stored bytes");
}

TEST_F(ZipArchiveTest, ReadsTheSampleVoiceArchive) {
  ZipArchive archive(ILVO_SAMPLE_ARCHIVE);
  std::vector<std::string> names;
  std::size_t total = 0;
  for (const ZipEntry& entry : archive.entries()) {
    names.push_back(entry.name);
    total += ExtractText(archive, entry).size();
  }
  EXPECT_EQ(names, (std::vector<std::string>{"KT3WQ8ZRMD5LXNVC/Ilvo.ddb", "KT3WQ8ZRMD5LXNVC/Ilvo.ddi",
                                             "KT3WQ8ZRMD5LXNVC/Ilvo.vvd"}));
  EXPECT_EQ(total, 4u << 20);
}

TEST_F(ZipArchiveTest, DamagedSampleFailsItsCrcCheck) {
  ZipArchive archive(ILVO_SAMPLE_DAMAGED_ARCHIVE);
  const auto& entries = archive.entries();
  ASSERT_EQ(entries.size(), 3u);
  EXPECT_NO_THROW(ExtractText(archive, entries[0]));
  std::string message;
  EXPECT_EQ(FaultExtracting(archive, entries[2], &message), ArchiveFault::Damaged);
  EXPECT_EQ(message, "CRC failed in KT3WQ8ZRMD5LXNVC/Ilvo.vvd");
}

TEST_F(ZipArchiveTest, WrongCrcIsDamageForStoredAndDeflatedData) {
  for (const std::uint16_t method : {std::uint16_t{0}, std::uint16_t{8}}) {
    ZipArchive archive(Write(BuildZip({{.name = "a.ddb", .data = "voice data", .method = method,
                                        .recordedCrc = 0x12345678}})));
    std::string message;
    EXPECT_EQ(FaultExtracting(archive, archive.entries()[0], &message), ArchiveFault::Damaged);
    EXPECT_EQ(message, "CRC failed in a.ddb") << "method " << method;
  }
}

TEST_F(ZipArchiveTest, CorruptDeflateStreamIsDamage) {
  const std::string data(5000, 'x');
  std::string bytes = BuildZip({{.name = "a.ddb", .data = data}});
  bytes[30 + 5] = static_cast<char>(0xFF);  // first byte of the stream: an invalid block type
  ZipArchive archive(Write(bytes));
  EXPECT_EQ(FaultExtracting(archive, archive.entries()[0]), ArchiveFault::Damaged);
}

TEST_F(ZipArchiveTest, TruncatedArchivesAreDamaged) {
  const std::string whole = BuildZip({{.name = "a.ddb", .data = std::string(3000, 'a')},
                                      {.name = "b.ddb", .data = "bbbb", .method = 0}});
  for (const std::size_t length : {std::size_t{0}, std::size_t{10}, whole.size() / 2, whole.size() - 1}) {
    EXPECT_EQ(FaultOpening(Write(whole.substr(0, length))), ArchiveFault::Damaged) << length << " bytes";
  }
  EXPECT_EQ(FaultOpening(Write("this is not an archive at all, just text")), ArchiveFault::Damaged);
}

TEST_F(ZipArchiveTest, DirectoryPointingPastTheDataIsDamaged) {
  // Compressed size in the directory far larger than the data in the file.
  std::string bytes = BuildZip({{.name = "a.ddb", .data = "abc", .method = 0}});
  const std::size_t directory = bytes.find("PK\x01\x02");
  bytes[directory + 20] = bytes[directory + 24] = static_cast<char>(0x7F);
  ZipArchive archive(Write(bytes));
  EXPECT_EQ(FaultExtracting(archive, archive.entries()[0]), ArchiveFault::Damaged);
}

TEST_F(ZipArchiveTest, UnsafeEntryRejectsTheWholeArchive) {
  std::string message;
  EXPECT_EQ(FaultOpening(Write(BuildZip({{.name = "KT3WQ8ZRMD5LXNVC/Ilvo.ddb", .data = "ok"},
                                         {.name = "KT3WQ8ZRMD5LXNVC/../../escape.txt", .data = "evil"}})),
                         &message),
            ArchiveFault::UnsafeEntry);
  EXPECT_EQ(message, "refusing entry KT3WQ8ZRMD5LXNVC/../../escape.txt: it leaves the destination folder (\"..\")");
}

TEST_F(ZipArchiveTest, FeaturesItCannotReadAreUnsupported) {
  const std::vector<FixtureEntry> entries[] = {
      {{.name = "a.ddb", .data = "abc", .method = 12}},
      {{.name = "a.ddb", .data = "abc", .flags = 1}},
      {{.name = "\xFF\xFE.ddb", .data = "abc"}},
  };
  for (const auto& archive : entries) {
    EXPECT_EQ(FaultOpening(Write(BuildZip(archive))), ArchiveFault::Unsupported) << archive[0].name;
  }
}

TEST_F(ZipArchiveTest, MissingArchiveOrAFolderCannotBeOpened) {
  std::string message;
  EXPECT_EQ(FaultOpening(folder_.path() / "missing.yin", &message), ArchiveFault::CannotOpen);
  EXPECT_NE(message.find("missing.yin"), std::string::npos) << message;
  EXPECT_EQ(FaultOpening(folder_.path()), ArchiveFault::CannotOpen);
}

TEST_F(ZipArchiveTest, FailingOutputIsAWriteError) {
  ZipArchive archive(Write(BuildZip({{.name = "a.ddb", .data = "abc"}})));
  std::ostringstream out;
  out.setstate(std::ios::badbit);
  try {
    archive.Extract(archive.entries()[0], out);
    ADD_FAILURE() << "extracted into a failed stream";
  } catch (const ArchiveError& error) {
    EXPECT_EQ(error.fault(), ArchiveFault::CannotWrite);
  }
}

}  // namespace
}  // namespace rar_standin
