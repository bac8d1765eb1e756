// The Win32 services against the real registry, files and processes of a
// Wine prefix. Arguments: the path of services_helper.exe.
#include <gtest/gtest.h>

#include <chrono>
#include <functional>
#include <thread>
#include <vector>

#include "platform/win32/application.h"
#include "platform/win32/file_system.h"
#include "platform/win32/processes.h"
#include "platform/win32/registry.h"
#include "platform/win32/text.h"
#include "tests/support/wait.h"
#include "wine_support.h"

namespace {

using platform::SearchAttributes;
using platform::win32::ToAnsi;
using platform::win32::Widen;
using wine_test::TempFolder;

const std::string kTestKey = "Software\\IlvoServicesTest";

std::string Helper() { return wine_test::PathArgument(0); }
// The helper's command line: its quoted path, a space and the arguments.
std::string HelperLine(const std::string& arguments) {
  std::string line = "\"";
  line += Helper();
  line += "\" ";
  line += arguments;
  return line;
}

// ---- Registry ----

class RegistryTest : public testing::Test {
 protected:
  void SetUp() override { wine_test::DeleteTree(kTestKey); }
  void TearDown() override { wine_test::DeleteTree(kTestKey); }
  platform::win32::Registry registry;
};

// Sets a REG_SZ value as an ANSI program does: its ANSI bytes and one NUL.
void SetWithTheAnsiCall(const std::string& key, const std::string& name, const std::string& value) {
  HKEY handle = nullptr;
  ASSERT_EQ(RegCreateKeyExA(HKEY_LOCAL_MACHINE, key.c_str(), 0, nullptr, 0, KEY_ALL_ACCESS | KEY_WOW64_32KEY, nullptr,
                            &handle, nullptr),
            ERROR_SUCCESS);
  const std::string ansi = ToAnsi(value);
  EXPECT_EQ(RegSetValueExA(handle, name.c_str(), 0, REG_SZ, reinterpret_cast<const BYTE*>(ansi.c_str()),
                           static_cast<DWORD>(ansi.size() + 1)),
            ERROR_SUCCESS);
  RegCloseKey(handle);
}

TEST_F(RegistryTest, StringsStoreWhatTheAnsiCallStoredAndKeepEveryCharacter) {
  const std::string key = kTestKey + "\\Values";
  ASSERT_EQ(registry.CreateKey(key), 0);
  struct Case {
    const char* name;
    std::string value;
    bool codePageHoldsIt;  // 936 here
  };
  const Case cases[] = {{"ascii", "C:\\Voices", true},
                        {"chinese", "D:\\语音 库\\音源", true},
                        {"empty", "", true},
                        {"hangul", "C:\\음성 보관\\Ilvo", false},
                        {"chinese and hangul", "D:\\语音\\음성", false}};
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    EXPECT_EQ(registry.SetString(key, c.name, c.value), 0);
    const std::string wide = wine_test::Utf16Le(c.value) + std::string(2, '\0');  // one NUL
    const wine_test::RawValue asWide = wine_test::ReadWideValue(key, c.name);
    ASSERT_TRUE(asWide.found);
    EXPECT_EQ(asWide.type, static_cast<DWORD>(REG_SZ));
    EXPECT_EQ(asWide.bytes, wide);
    EXPECT_EQ(registry.ReadValue(key, c.name), platform::RegistryValue::String(c.value));
    if (c.codePageHoldsIt) {
      // Stored as the ANSI call stores it, read either way.
      const std::string ansiName = std::string(c.name) + " by the ANSI call";
      SetWithTheAnsiCall(key, ansiName, c.value);
      EXPECT_EQ(wine_test::ReadWideValue(key, ansiName).bytes, asWide.bytes);
      const wine_test::RawValue asAnsi = wine_test::ReadValue(key, c.name);
      EXPECT_EQ(asAnsi.type, static_cast<DWORD>(REG_SZ));
      EXPECT_EQ(asAnsi.bytes, ToAnsi(c.value) + std::string(1, '\0'));  // ANSI bytes + NUL
      EXPECT_EQ(asAnsi.bytes, wine_test::ReadValue(key, ansiName).bytes);
    }
  }
  EXPECT_EQ(ToAnsi("语音").size(), 4u);  // code page 936: two bytes a character
  EXPECT_EQ(registry.SetDword(key, "number", 0x01020304), 0);
  const wine_test::RawValue number = wine_test::ReadValue(key, "number");
  EXPECT_EQ(number.type, static_cast<DWORD>(REG_DWORD));
  EXPECT_EQ(number.bytes, std::string("\x04\x03\x02\x01", 4));
  EXPECT_EQ(registry.ReadValue(key, "number"), platform::RegistryValue::Dword(0x01020304));
}

// What the "A" calls give, read back as the program's UTF-8 and as UTF-16.
TEST(Text, AnsiTextReadsBackAsTheCharactersItHolds) {
  struct Case {
    std::string ansi;
    std::string utf8;
  };
  const Case cases[] = {
      {"", ""},
      {"Ilvo - setup", "Ilvo - setup"},
      {"\xD3\xEF\xD2\xF4 \xBF\xE2", "语音 库"},  // code page 936
  };
  for (const auto& c : cases) {
    EXPECT_EQ(platform::win32::FromAnsi(c.ansi), c.utf8) << c.utf8;
    EXPECT_EQ(platform::win32::WidenAnsi(c.ansi), Widen(c.utf8)) << c.utf8;
    EXPECT_EQ(ToAnsi(c.utf8), c.ansi) << c.utf8;
  }
}

TEST_F(RegistryTest, ReadValueGivesWhatIsStored) {
  const std::string key = kTestKey + "\\Read";
  EXPECT_FALSE(registry.ReadValue(key, "VOICEDIR").has_value());  // no key
  ASSERT_EQ(registry.CreateKey(key), 0);
  EXPECT_FALSE(registry.ReadValue(key, "VOICEDIR").has_value());  // no value
  HKEY handle = nullptr;
  ASSERT_EQ(RegOpenKeyExW(HKEY_LOCAL_MACHINE, Widen(key).c_str(), 0, KEY_ALL_ACCESS | KEY_WOW64_32KEY, &handle),
            ERROR_SUCCESS);
  // Written by someone else: two NULs, another type. (A string without its
  // NUL is read back with one under Wine.)
  const wchar_t text[] = L"C:\\V\0\0";
  RegSetValueExW(handle, L"two NULs", 0, REG_SZ, reinterpret_cast<const BYTE*>(text), 6 * sizeof(wchar_t));
  RegSetValueExW(handle, L"expandable", 0, REG_EXPAND_SZ, reinterpret_cast<const BYTE*>(text), 5 * sizeof(wchar_t));
  RegCloseKey(handle);
  EXPECT_EQ(registry.ReadValue(key, "two NULs"), (platform::RegistryValue{REG_SZ, std::string("C:\\V\0\0", 6)}));
  EXPECT_EQ(registry.ReadValue(key, "expandable")->type, static_cast<std::uint32_t>(REG_EXPAND_SZ));
  for (const char* name : {"two NULs", "expandable"}) {
    EXPECT_NE(registry.ReadValue(key, name), platform::RegistryValue::String("C:\\V")) << name;
  }
}

// The record is written a key at a time and read back the same way: what
// reads back must be what each value's own call reads, long values included.
TEST_F(RegistryTest, ValuesOfAKeyAreWrittenAndReadInOneOpening) {
  const std::string key = kTestKey + "\\Record";
  const std::string longText(700, 'x');  // longer than the first read's buffer
  const std::vector<platform::ValueToStore> values{
      {"VOICEDIR", platform::kRegSz, "C:\\音源", 0},
      {"INSTALLED", platform::kRegDword, {}, 1},
      {"LONG", platform::kRegSz, longText, 0},
      {"EMPTY", platform::kRegSz, "", 0},
  };
  std::vector<std::string> names{"VOICEDIR", "INSTALLED", "LONG", "EMPTY", "MISSING"};
  EXPECT_EQ(registry.ReadValues(key, names), std::vector<std::optional<platform::RegistryValue>>(5));  // no key

  ASSERT_EQ(registry.SetValues(key, values), 0);
  const auto read = registry.ReadValues(key, names);
  ASSERT_EQ(read.size(), names.size());
  for (std::size_t i = 0; i < values.size(); ++i) {
    EXPECT_EQ(read[i], values[i].Stored()) << names[i];
    EXPECT_EQ(read[i], registry.ReadValue(key, names[i])) << names[i];
  }
  EXPECT_FALSE(read[4].has_value());
  EXPECT_EQ(registry.ReadValue(key, "LONG")->data.size(), longText.size() + 1);

}

TEST_F(RegistryTest, OpenCreateAndDeleteFollowThePlainCalls) {
  const std::string key = kTestKey + "\\A\\B";
  EXPECT_NE(registry.OpenKey(key), 0);
  EXPECT_EQ(registry.CreateKey(key), 0);  // with its parents
  EXPECT_EQ(registry.OpenKey(key), 0);
  EXPECT_EQ(registry.CreateKey(key), 0);  // again: opens it
  EXPECT_NE(registry.DeleteKey(kTestKey + "\\A"), 0);  // has a subkey
  EXPECT_TRUE(wine_test::KeyExists(kTestKey + "\\A"));
  EXPECT_EQ(registry.DeleteKey(key), 0);
  EXPECT_EQ(registry.DeleteKey(kTestKey + "\\A"), 0);
  EXPECT_NE(registry.DeleteKey(kTestKey + "\\A"), 0);  // gone
  EXPECT_NE(registry.OpenKey(kTestKey + "\\A"), 0);
  EXPECT_EQ(registry.SetString(kTestKey + "\\New", "v", "x"), 0);  // creates the key it writes to
}

TEST_F(RegistryTest, DeleteKeyTreeTakesEverySubkeyAndKeepsTheParent) {
  ASSERT_EQ(registry.SetString(kTestKey + "\\Voice\\vvoice", "v", "x"), 0);
  ASSERT_EQ(registry.SetDword(kTestKey + "\\Voice\\Presets\\Soft", "n", 1), 0);
  ASSERT_EQ(registry.SetString(kTestKey + "\\Voice", "NAME", "x"), 0);
  EXPECT_EQ(registry.DeleteKeyTree(kTestKey + "\\Voice"), 0);
  EXPECT_FALSE(wine_test::KeyExists(kTestKey + "\\Voice"));
  EXPECT_TRUE(wine_test::KeyExists(kTestKey));
  EXPECT_NE(registry.DeleteKeyTree(kTestKey + "\\Voice"), 0);  // gone
}

// ---- Files ----

TEST(FileSystem, LocateTellsWhatIsThereAndWhichFolderHoldsIt) {
  TempFolder folder;
  platform::win32::FileSystem files;
  CreateDirectoryW(Widen(folder / "音源").c_str(), nullptr);
  wine_test::WriteBytes(folder / "音源\\Ilvo.ddb", "x");
  const auto top = files.Locate(folder.Path());
  const auto voice = files.Locate(folder / "音源");
  const auto file = files.Locate(folder / "音源\\Ilvo.ddb");
  ASSERT_TRUE(top && voice && file);
  for (const auto* entry : {&*voice, &*file}) {
    EXPECT_FALSE(entry->isLink);
    ASSERT_TRUE(entry->identity && entry->holder);
  }
  EXPECT_EQ(*voice->holder, *top->identity);
  EXPECT_EQ(*file->holder, *voice->identity);
  EXPECT_NE(*file->identity, *voice->identity);
  // The same entry by another spelling is the same entry.
  std::string upper = folder / "音源\\ILVO.DDB";
  const auto again = files.Locate(upper);
  ASSERT_TRUE(again);
  EXPECT_EQ(again->identity, file->identity);
  EXPECT_EQ(again->holder, file->holder);
  EXPECT_FALSE(files.Locate(folder / "missing"));
}

TEST(FileSystem, DirFollowsTheAttributeRule) {
  TempFolder folder;
  platform::win32::FileSystem files;
  struct Case {
    const char* name;
    DWORD attributes;  // 0: a plain file; FILE_ATTRIBUTE_DIRECTORY: a folder
    bool foundNormal, foundFolders;
  };
  const Case cases[] = {
      {"plain.txt", FILE_ATTRIBUTE_NORMAL, true, true},
      {"archive.txt", FILE_ATTRIBUTE_ARCHIVE, true, true},
      {"readonly.txt", FILE_ATTRIBUTE_READONLY, true, true},
      {"hidden.txt", FILE_ATTRIBUTE_HIDDEN, false, false},
      {"system.txt", FILE_ATTRIBUTE_SYSTEM, false, false},
      {"folder", FILE_ATTRIBUTE_DIRECTORY, false, true},
      {"hidden folder", FILE_ATTRIBUTE_DIRECTORY | FILE_ATTRIBUTE_HIDDEN, false, false},
      {"音源.ddb", FILE_ATTRIBUTE_NORMAL, true, true},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    const std::string path = folder / c.name;
    if (c.attributes & FILE_ATTRIBUTE_DIRECTORY) {
      wine_test::CreateFolder(path);
      if (c.attributes != FILE_ATTRIBUTE_DIRECTORY) wine_test::SetAttributes(path, c.attributes);
    } else {
      wine_test::WriteBytes(path, "x");
      wine_test::SetAttributes(path, c.attributes);
    }
    EXPECT_EQ(files.Dir(path, SearchAttributes::Normal), c.foundNormal ? c.name : "");
    EXPECT_EQ(files.Dir(path, SearchAttributes::Folders), c.foundFolders ? c.name : "");
  }
  EXPECT_EQ(files.Dir(folder / "missing.txt", SearchAttributes::Normal), "");
  EXPECT_EQ(files.Dir(folder / "no folder\\x.txt", SearchAttributes::Folders), "");
  // A pattern is searched for; hidden and system matches are passed over.
  EXPECT_EQ(files.Dir(folder / "plain.*", SearchAttributes::Normal), "plain.txt");
  EXPECT_EQ(files.Dir(folder / "sys*.txt", SearchAttributes::Normal), "");
}

TEST(FileSystem, DeleteFailsOnAFileInUseOrReadOnlyAndRemoveOnAFullFolder) {
  TempFolder folder;
  platform::win32::FileSystem files;
  const std::string held = folder / "held.ddi";
  const std::string readOnly = folder / "readonly.vvd";
  const std::string plain = folder / "plain.ddb";
  wine_test::WriteBytes(held, "held");
  wine_test::WriteBytes(readOnly, "ro");
  wine_test::SetAttributes(readOnly, FILE_ATTRIBUTE_READONLY);
  wine_test::WriteBytes(plain, "plain");
  {
    wine_test::FileHolder holder(Helper(), held);
    ASSERT_TRUE(holder.Holding());
    EXPECT_FALSE(files.DeleteFile(held));
    EXPECT_TRUE(wine_test::Exists(held));
  }
  EXPECT_TRUE(files.DeleteFile(held));  // released
  EXPECT_FALSE(files.DeleteFile(readOnly));
  EXPECT_TRUE(wine_test::Exists(readOnly));
  EXPECT_FALSE(files.DeleteFile(folder / "missing"));

  const std::string sub = folder / "sub";
  wine_test::CreateFolder(sub);
  wine_test::WriteBytes(sub + "\\left.txt", "");
  EXPECT_FALSE(files.RemoveFolder(sub));
  EXPECT_TRUE(files.DeleteFile(sub + "\\left.txt"));
  EXPECT_TRUE(files.RemoveFolder(sub));
  EXPECT_FALSE(files.RemoveFolder(sub));
  EXPECT_TRUE(files.DeleteFile(plain));
}

TEST(FileSystem, WrittenTextIsAnsiWhereTheCodePageHoldsItElseUtf16) {
  TempFolder folder;
  platform::win32::FileSystem files;
  struct Case {
    const char* name;
    std::vector<std::string> lines;
    std::string bytes;
  };
  const Case cases[] = {
      {"chinese", {"\"VOICEDIR\"=\"D:\\\\语音\"", ""}, "\"VOICEDIR\"=\"D:\\\\\xD3\xEF\xD2\xF4\"\r\n\r\n"},
      {"no lines", {}, ""},
      {"hangul", {"\"VOICEDIR\"=\"C:\\\\음성\""},
       "\xFF\xFE" + wine_test::Utf16Le("\"VOICEDIR\"=\"C:\\\\음성\"\r\n")},
      // One character the code page lacks makes the whole file UTF-16.
      {"one hangul line of three", {"Windows Registry Editor Version 5.00", "语音", "음"},
       "\xFF\xFE" + wine_test::Utf16Le("Windows Registry Editor Version 5.00\r\n语音\r\n음\r\n")},
      {"a latin letter 936 lacks", {"Dvořák"}, "\xFF\xFE" + wine_test::Utf16Le("Dvořák\r\n")},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    const std::string path = folder / "out.reg";
    EXPECT_TRUE(files.WriteText(path, c.lines));
    EXPECT_EQ(wine_test::ReadBytes(path), c.bytes);
  }
  EXPECT_EQ(wine_test::FolderEntries(folder.Path()), std::vector<std::string>{"out.reg"}) << "nothing else is left";
}

// The export's way: the new text beside the old file, then in its place.
TEST(FileSystem, WrittenTextTakesTheOldFilesPlaceUnlessItIsReadOnly) {
  platform::win32::FileSystem files;
  struct Case {
    const char* name;
    DWORD oldAttributes;
    bool replaced;
  };
  const Case cases[] = {
      {"plain", FILE_ATTRIBUTE_NORMAL, true},
      {"hidden", FILE_ATTRIBUTE_HIDDEN, true},
      {"system", FILE_ATTRIBUTE_SYSTEM, true},
      {"hidden and system", FILE_ATTRIBUTE_HIDDEN | FILE_ATTRIBUTE_SYSTEM, true},
      {"archive", FILE_ATTRIBUTE_ARCHIVE, true},
      {"read-only", FILE_ATTRIBUTE_READONLY, false},
      {"read-only and hidden", FILE_ATTRIBUTE_READONLY | FILE_ATTRIBUTE_HIDDEN, false},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    TempFolder folder("替换 测试");
    const std::string path = folder / "Ilvo.reg";
    const std::string next = folder / "Ilvo.reg.new";
    wine_test::WriteBytes(path, "old text that is longer than the new one\r\n");
    wine_test::SetAttributes(path, c.oldAttributes);

    ASSERT_TRUE(files.WriteText(next, {"new"}));
    EXPECT_EQ(files.Rename(next, path, true), c.replaced);

    EXPECT_EQ(wine_test::ReadBytes(path), c.replaced ? "new\r\n" : "old text that is longer than the new one\r\n");
    const DWORD attributes = wine_test::Attributes(path);
    if (c.replaced) {
      EXPECT_EQ(attributes & (FILE_ATTRIBUTE_HIDDEN | FILE_ATTRIBUTE_SYSTEM | FILE_ATTRIBUTE_READONLY), 0u);
      EXPECT_EQ(files.Dir(path, SearchAttributes::Normal), "Ilvo.reg");
      EXPECT_EQ(wine_test::FolderEntries(folder.Path()), std::vector<std::string>{"Ilvo.reg"});
    } else {
      EXPECT_EQ(attributes & ~FILE_ATTRIBUTE_ARCHIVE, c.oldAttributes);
      EXPECT_EQ(wine_test::ReadBytes(next), "new\r\n");
    }
  }
}

TEST(FileSystem, WriteTextFailsWhereNoFileCanBeWrittenAndLeavesNothing) {
  TempFolder folder;
  platform::win32::FileSystem files;
  // A "folder" that is a file.
  const std::string notAFolder = folder / "file";
  wine_test::WriteBytes(notAFolder, "");
  EXPECT_FALSE(files.WriteText(notAFolder + "\\Ilvo.reg", {"x"}));
  // A folder that does not exist.
  EXPECT_FALSE(files.WriteText(folder / "none\\Ilvo.reg", {"x"}));
  // A path that is a folder.
  wine_test::CreateFolder(folder / "dir");
  EXPECT_FALSE(files.WriteText(folder / "dir", {"x"}));
  EXPECT_EQ(wine_test::FolderEntries(folder.Path()), (std::vector<std::string>{"dir", "file"}));
  EXPECT_TRUE(wine_test::FolderEntries(folder / "dir").empty());
  // A file held open by another program without sharing.
  const std::string held = folder / "held.reg";
  wine_test::WriteBytes(held, "held");
  {
    wine_test::FileHolder holder(wine_test::PathArgument(0), held);
    ASSERT_TRUE(holder.Holding());
    EXPECT_FALSE(files.WriteText(held, {"x"}));
  }
  EXPECT_EQ(wine_test::ReadBytes(held), "held");
  EXPECT_EQ(wine_test::FolderEntries(folder.Path()), (std::vector<std::string>{"dir", "file", "held.reg"}));
}

// Records what Wine does with a read-only folder; it is not a reliable fault
// there (Wine keeps no read-only attribute on folders, and a test run as root
// may write into it).
TEST(FileSystem, ReadOnlyFolderUnderWine) {
  TempFolder folder;
  platform::win32::FileSystem files;
  const std::string sub = folder / "ro";
  wine_test::CreateFolder(sub);
  wine_test::SetAttributes(sub, FILE_ATTRIBUTE_READONLY);
  const bool written = files.WriteText(sub + "\\Ilvo.reg", {"x"});
  std::cout << "[ note ] read-only folder attribute kept: "
            << ((wine_test::Attributes(sub) & FILE_ATTRIBUTE_READONLY) != 0)
            << "; a file could be written in it: " << written << "\n";
}

TEST(FileSystem, CreateFolderMakesOneNewFolderOnly) {
  TempFolder folder;
  platform::win32::FileSystem files;
  wine_test::WriteBytes(folder / "file", "x");
  wine_test::CreateFolder(folder / "there");
  struct Case {
    const char* name;
    bool made;
  };
  const Case cases[] = {
      {"新 文件夹", true},
      {"there", false},       // a folder stands there
      {"file", false},        // a file stands there
      {"none\\below", false},  // no parent
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    EXPECT_EQ(files.CreateFolder(folder / c.name), c.made);
  }
  EXPECT_EQ(wine_test::Attributes(folder / "新 文件夹") & FILE_ATTRIBUTE_DIRECTORY,
            static_cast<DWORD>(FILE_ATTRIBUTE_DIRECTORY));
  EXPECT_EQ(wine_test::ReadBytes(folder / "file"), "x");
  EXPECT_EQ(wine_test::FolderEntries(folder.Path()), (std::vector<std::string>{"file", "there", "新 文件夹"}));
}

TEST(FileSystem, RemoveTreeTakesReadOnlyAndHiddenEntries) {
  TempFolder folder;
  platform::win32::FileSystem files;
  const std::string tree = folder / "staging";
  wine_test::CreateFolder(tree + "\\KT3WQ8ZRMD5LXNVC\\deep");
  wine_test::WriteBytes(tree + "\\KT3WQ8ZRMD5LXNVC\\Ilvo.ddb", "ddb");
  wine_test::WriteBytes(tree + "\\KT3WQ8ZRMD5LXNVC\\deep\\ro.vvd", "ro");
  wine_test::SetAttributes(tree + "\\KT3WQ8ZRMD5LXNVC\\deep\\ro.vvd", FILE_ATTRIBUTE_READONLY);
  wine_test::WriteBytes(tree + "\\hidden.ddi", "hidden");
  wine_test::SetAttributes(tree + "\\hidden.ddi",
                           FILE_ATTRIBUTE_HIDDEN | FILE_ATTRIBUTE_SYSTEM | FILE_ATTRIBUTE_READONLY);
  wine_test::SetAttributes(tree + "\\KT3WQ8ZRMD5LXNVC\\deep", FILE_ATTRIBUTE_READONLY);
  wine_test::SetAttributes(tree, FILE_ATTRIBUTE_READONLY);

  EXPECT_TRUE(files.RemoveTree(tree));

  EXPECT_FALSE(wine_test::Exists(tree));
  EXPECT_TRUE(files.RemoveTree(tree)) << "nothing there is what it wants";
  // A single read-only file is a tree too.
  wine_test::WriteBytes(folder / "one.txt", "1");
  wine_test::SetAttributes(folder / "one.txt", FILE_ATTRIBUTE_READONLY);
  EXPECT_TRUE(files.RemoveTree(folder / "one.txt"));
  EXPECT_EQ(wine_test::FolderEntries(folder.Path()), std::vector<std::string>{});
}

TEST(FileSystem, RemoveTreeNeverActsOnWhatALinkLeadsTo) {
  struct Case {
    const char* name;
    bool linkInside;        // else the link is the path itself
    bool targetHoldsAFile;  // an empty target is what a followed RemoveDirectoryW would take
  };
  const Case cases[] = {
      {"link inside, full target", true, true},
      {"link inside, empty target", true, false},
      {"link at the path, full target", false, true},
      {"link at the path, empty target", false, false},
  };
  platform::win32::FileSystem files;
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    TempFolder folder;
    TempFolder elsewhere("ilvo-link-target");
    if (c.targetHoldsAFile) wine_test::WriteBytes(elsewhere / "keep.txt", "someone else's");
    const std::string tree = folder / "staging";
    wine_test::CreateFolder(tree);
    wine_test::WriteBytes(tree + "\\Ilvo.ddb", "ddb");
    const std::string path = c.linkInside ? tree : folder / "link";
    const wine_test::FolderLink link(c.linkInside ? tree + "\\link" : path, elsewhere.Path());
    ASSERT_TRUE(link.Made());
    // Wine (8) shows a Unix link to a folder as a reparse point, yet every
    // call on its path acts on the folder it leads to: it has to stay.
    const bool removable = link.MadeByWindows();

    EXPECT_EQ(files.RemoveTree(path), removable);

    EXPECT_TRUE(wine_test::Exists(elsewhere.Path()));
    EXPECT_EQ(wine_test::FolderEntries(elsewhere.Path()),
              c.targetHoldsAFile ? std::vector<std::string>{"keep.txt"} : std::vector<std::string>{});
    EXPECT_EQ(wine_test::Exists(path), !removable);
    if (c.linkInside && !removable) {
      EXPECT_EQ(wine_test::FolderEntries(tree), std::vector<std::string>{"link"}) << "the rest is removed";
    }
  }
}

TEST(FileSystem, RemoveTreeRemovesAllItCanAroundAFileInUse) {
  TempFolder folder;
  platform::win32::FileSystem files;
  const std::string tree = folder / "staging";
  wine_test::CreateFolder(tree + "\\a");
  wine_test::CreateFolder(tree + "\\b");
  wine_test::WriteBytes(tree + "\\a\\1.txt", "1");
  wine_test::WriteBytes(tree + "\\a\\held.txt", "held");
  wine_test::WriteBytes(tree + "\\b\\2.txt", "2");
  wine_test::WriteBytes(tree + "\\z.txt", "z");
  {
    wine_test::FileHolder holder(Helper(), tree + "\\a\\held.txt");
    ASSERT_TRUE(holder.Holding());
    EXPECT_FALSE(files.RemoveTree(tree));
    EXPECT_EQ(wine_test::FolderEntries(tree), std::vector<std::string>{"a"});
    EXPECT_EQ(wine_test::FolderEntries(tree + "\\a"), std::vector<std::string>{"held.txt"});
  }
  EXPECT_TRUE(files.RemoveTree(tree));
  EXPECT_FALSE(wine_test::Exists(tree));
}

TEST(FileSystem, ListTreeGivesEachFolderBeforeWhatItHoldsAndDoesNotEnterLinks) {
  TempFolder folder;
  TempFolder elsewhere("ilvo-link-target");
  platform::win32::FileSystem files;
  wine_test::WriteBytes(elsewhere / "not listed.txt", "");
  const std::string tree = folder / "staging";
  wine_test::CreateFolder(tree + "\\KT3WQ8ZRMD5LXNVC\\音源");
  wine_test::CreateFolder(tree + "\\empty");
  wine_test::WriteBytes(tree + "\\KT3WQ8ZRMD5LXNVC\\Ilvo.ddb", "");
  wine_test::WriteBytes(tree + "\\KT3WQ8ZRMD5LXNVC\\音源\\a.vvd", "");
  wine_test::WriteBytes(tree + "\\top.txt", "");
  wine_test::WriteBytes(tree + "\\ro.txt", "");
  wine_test::SetAttributes(tree + "\\ro.txt", FILE_ATTRIBUTE_READONLY | FILE_ATTRIBUTE_HIDDEN);
  const wine_test::FolderLink link(tree + "\\link", elsewhere.Path());
  ASSERT_TRUE(link.Made());

  const auto listed = files.ListTree(tree);

  ASSERT_TRUE(listed);
  using platform::TreeEntry;
  EXPECT_EQ(*listed, (std::vector<TreeEntry>{
                         {"KT3WQ8ZRMD5LXNVC", true, false},
                         {"KT3WQ8ZRMD5LXNVC\\Ilvo.ddb", false, false},
                         {"KT3WQ8ZRMD5LXNVC\\音源", true, false},
                         {"KT3WQ8ZRMD5LXNVC\\音源\\a.vvd", false, false},
                         {"empty", true, false},
                         {"link", true, true},
                         {"ro.txt", false, false},
                         {"top.txt", false, false},
                     }));
  EXPECT_EQ(files.ListTree(tree + "\\empty"), std::vector<TreeEntry>{});
  EXPECT_FALSE(files.ListTree(folder / "missing"));
  EXPECT_FALSE(files.ListTree(tree + "\\top.txt")) << "a file is no folder";
}

TEST(FileSystem, RenameReplacesOnlyWhatItMayAndWithoutReplaceNothing) {
  platform::win32::FileSystem files;
  enum class Target { None, Plain, ReadOnly, Folder };
  struct Case {
    const char* name;
    Target target;
    bool replace;
    bool renamed;
  };
  const Case cases[] = {
      {"no target", Target::None, false, true},
      {"no target, replace", Target::None, true, true},
      {"plain target", Target::Plain, false, false},
      {"plain target, replace", Target::Plain, true, true},
      {"read-only target, replace", Target::ReadOnly, true, false},
      {"read-only target", Target::ReadOnly, false, false},
      {"folder target, replace", Target::Folder, true, false},
      {"folder target", Target::Folder, false, false},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    TempFolder folder;
    const std::string from = folder / "staged.ddb";
    const std::string to = folder / "Ilvo.ddb";
    wine_test::WriteBytes(from, "new");
    if (c.target == Target::Folder) {
      wine_test::CreateFolder(to);
    } else if (c.target != Target::None) {
      wine_test::WriteBytes(to, "old");
      if (c.target == Target::ReadOnly) wine_test::SetAttributes(to, FILE_ATTRIBUTE_READONLY);
    }

    EXPECT_EQ(files.Rename(from, to, c.replace), c.renamed);

    EXPECT_EQ(wine_test::Exists(from), !c.renamed);
    if (c.renamed) {
      EXPECT_EQ(wine_test::ReadBytes(to), "new");
    } else if (c.target == Target::Folder) {
      EXPECT_EQ(wine_test::ReadBytes(from), "new");
      EXPECT_EQ(wine_test::FolderEntries(to), std::vector<std::string>{});
    } else {
      EXPECT_EQ(wine_test::ReadBytes(from), "new");
      EXPECT_EQ(wine_test::ReadBytes(to), "old");
    }
    if (c.target == Target::ReadOnly) {
      EXPECT_NE(wine_test::Attributes(to) & FILE_ATTRIBUTE_READONLY, 0u) << "still read-only";
    }
  }
  TempFolder folder;
  EXPECT_FALSE(files.Rename(folder / "missing", folder / "any", true));
}

TEST(FileSystem, FlushFileKeepsTheContentAndTheAttributes) {
  platform::win32::FileSystem files;
  TempFolder folder;
  const std::pair<const char*, DWORD> cases[] = {
      {"plain", 0},
      {"read-only", FILE_ATTRIBUTE_READONLY},
      {"read-only and hidden", FILE_ATTRIBUTE_READONLY | FILE_ATTRIBUTE_HIDDEN},
  };
  for (const auto& [name, attributes] : cases) {
    SCOPED_TRACE(name);
    const std::string path = folder / name;
    wine_test::WriteBytes(path, "content");
    wine_test::SetAttributes(path, attributes == 0 ? FILE_ATTRIBUTE_NORMAL : attributes);
    EXPECT_TRUE(files.FlushFile(path));
    EXPECT_EQ(wine_test::ReadBytes(path), "content");
    EXPECT_EQ(wine_test::Attributes(path) & ~FILE_ATTRIBUTE_ARCHIVE, attributes);
  }
  EXPECT_FALSE(files.FlushFile(folder / "missing"));
}

// ---- Processes ----

TEST(Processes, StartOfAMissingProgramFails) {
  platform::win32::Processes processes;
  TempFolder folder;
  const std::string missing = folder / "DATA\\Rar.exe";
  EXPECT_FALSE(processes.StartHidden(missing, "\"" + missing + "\" x").has_value());
}

// Runs this thread's message loop, as the program's would, until done() or
// the limit; the rounds it took, each an idle wait for the next message.
int PumpUntil(const std::function<bool()>& done, DWORD limitMs = 10000) {
  int rounds = 0;
  const DWORD start = GetTickCount();
  while (!done() && GetTickCount() - start < limitMs) {
    MsgWaitForMultipleObjectsEx(0, nullptr, 100, QS_ALLINPUT, MWMO_INPUTAVAILABLE);
    platform::win32::ProcessPendingMessages();
    ++rounds;
  }
  return rounds;
}

TEST(Processes, TheEndIsToldAsAMessageWhateverTheExitCode) {
  platform::win32::Processes processes;
  // 259 is the code Windows also reports while a process runs.
  for (const std::uint32_t code : {0u, 1u, 3u, 255u, 259u, 1234567u}) {
    SCOPED_TRACE(code);
    const std::string line = HelperLine("exit " + std::to_string(code) + " 300");
    const std::optional<std::uint32_t> id = processes.StartHidden(Helper(), line);
    ASSERT_TRUE(id.has_value());
    const std::uintptr_t process = processes.Open(*id);
    ASSERT_NE(process, 0u);
    EXPECT_EQ(processes.ExitCode(process), platform::kStillActive);
    std::vector<bool> told;
    const DWORD watcher = GetCurrentThreadId();
    ASSERT_TRUE(processes.WatchForExit(process, [&](bool ended) {
      told.push_back(ended);
      EXPECT_EQ(GetCurrentThreadId(), watcher) << "told on the thread that watches";
    }));
    EXPECT_TRUE(told.empty()) << "told later, not at once";
    const int rounds = PumpUntil([&] { return !told.empty(); });
    EXPECT_EQ(told, std::vector<bool>{true});
    EXPECT_EQ(processes.ExitCode(process), code);
    EXPECT_LE(rounds, 200) << "the loop sleeps while it waits";
    processes.Close(process);
  }
}

TEST(Processes, TheHandleFromTheStartOutlivesTheProgram) {
  platform::win32::Processes processes;
  const std::optional<std::uint32_t> id = processes.StartHidden(Helper(), HelperLine("exit 7"));
  ASSERT_TRUE(id.has_value());
  Sleep(500);  // long ended
  const std::uintptr_t process = processes.Open(*id);
  ASSERT_NE(process, 0u);
  bool ended = false;
  ASSERT_TRUE(processes.WatchForExit(process, [&](bool hasEnded) { ended = hasEnded; }));
  PumpUntil([&] { return ended; });
  EXPECT_TRUE(ended);
  EXPECT_EQ(processes.ExitCode(process), 7u);
  processes.Close(process);
  EXPECT_EQ(processes.Open(*id), 0u) << "closed with Close";
  // No handle, no watch and no exit code.
  EXPECT_EQ(processes.Open(GetCurrentProcessId()), 0u) << "not started by the service";
  EXPECT_FALSE(processes.WatchForExit(0, [](bool) {}));
  EXPECT_FALSE(processes.ExitCode(0).has_value());
}

TEST(Processes, AWatchClosedBeforeTheEndTellsNothing) {
  platform::win32::Processes processes;
  const std::optional<std::uint32_t> id = processes.StartHidden(Helper(), HelperLine("exit 0 300"));
  ASSERT_TRUE(id.has_value());
  HANDLE own = OpenProcess(SYNCHRONIZE, FALSE, *id);
  ASSERT_NE(own, nullptr);
  bool told = false;
  ASSERT_TRUE(processes.WatchForExit(processes.Open(*id), [&](bool) { told = true; }));
  processes.Close(processes.Open(*id));
  EXPECT_EQ(WaitForSingleObject(own, 10000), WAIT_OBJECT_0);
  CloseHandle(own);
  platform::win32::ProcessPendingMessages();
  EXPECT_FALSE(told);
}

// Starts the helper with the arguments; its process handle.
platform::win32::KernelHandle StartHelper(const std::string& arguments) {
  std::wstring line = Widen(HelperLine(arguments));
  STARTUPINFOW startup{};
  startup.cb = sizeof startup;
  PROCESS_INFORMATION info{};
  if (!CreateProcessW(Widen(Helper()).c_str(), line.data(), nullptr, nullptr, FALSE, 0, nullptr, nullptr, &startup,
                      &info)) {
    return {};
  }
  CloseHandle(info.hThread);
  return platform::win32::KernelHandle(info.hProcess);
}

TEST(Processes, AStartedProgramEndsWithTheProgramThatStartedItHoweverThatEnds) {
  struct Case {
    const char* name;
    bool terminated;  // else it calls ExitProcess, no destructor run
  };
  const Case cases[] = {{"terminated", true}, {"exits", false}};
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    TempFolder folder;
    const std::string id = std::to_string(GetCurrentProcessId()) + "-" + c.name;
    const platform::win32::KernelHandle end(CreateEventW(nullptr, TRUE, FALSE, Widen("ilvo-start-end-" + id).c_str()));
    const std::string pidFile = folder / "grandchild.pid";
    const platform::win32::KernelHandle starter = StartHelper("start \"" + Helper() + "\" \"" + pidFile + "\" " + id);
    ASSERT_TRUE(starter);
    ASSERT_TRUE(test_support::WaitUntil([&] { return !wine_test::ReadBytes(pidFile).empty(); }, std::chrono::seconds(30)))
        << "the starter did not start its program";
    const DWORD grandchildId = static_cast<DWORD>(std::stoul(wine_test::ReadBytes(pidFile)));
    const platform::win32::KernelHandle grandchild(OpenProcess(SYNCHRONIZE, FALSE, grandchildId));
    ASSERT_TRUE(grandchild);
    EXPECT_EQ(WaitForSingleObject(grandchild.Get(), 0), static_cast<DWORD>(WAIT_TIMEOUT)) << "runs while its starter runs";

    if (c.terminated) {
      TerminateProcess(starter.Get(), 9);
    } else {
      SetEvent(end.Get());
    }

    EXPECT_EQ(WaitForSingleObject(starter.Get(), 30000), static_cast<DWORD>(WAIT_OBJECT_0));
    EXPECT_EQ(WaitForSingleObject(grandchild.Get(), 30000), static_cast<DWORD>(WAIT_OBJECT_0))
        << "outlived the program that started it";
  }
}

TEST(Processes, AStartedProgramFindsTheEndOfItsInputAtOnce) {
  platform::win32::Processes processes;
  const std::optional<std::uint32_t> id = processes.StartHidden(Helper(), HelperLine("stdin"));
  ASSERT_TRUE(id.has_value());
  const std::uintptr_t process = processes.Open(*id);
  bool ended = false;
  ASSERT_TRUE(processes.WatchForExit(process, [&](bool hasEnded) { ended = hasEnded; }));
  PumpUntil([&] { return ended; }, 30000);
  ASSERT_TRUE(ended) << "still waits for input";
  EXPECT_EQ(processes.ExitCode(process), 0u) << "0: end of input, 1: data, 2: the read failed";
  processes.Close(process);
}

// ---- Application ----

TEST(Application, FolderDropsTheFileNameButKeepsADriveRoot) {
  const std::pair<const char*, const char*> cases[] = {
      {"C:\\Voices\\IlvoInstaller.exe", "C:\\Voices"},
      {"C:\\IlvoInstaller.exe", "C:\\"},
      {"D:\\语音 库\\安装.exe", "D:\\语音 库"},
      {"\\\\server\\share\\x.exe", "\\\\server\\share"},
  };
  for (const auto& [path, folder] : cases) EXPECT_EQ(platform::win32::FolderOfModulePath(path), folder) << path;

  platform::win32::Application application("ilvo-folder-test");
  wchar_t module[MAX_PATH];
  GetModuleFileNameW(nullptr, module, MAX_PATH);
  const std::string modulePath = platform::win32::Narrow(module);
  EXPECT_EQ(application.Folder(), modulePath.substr(0, modulePath.find_last_of('\\')));
}

TEST(Application, PreviousInstanceIsSeenAcrossProcessesWhileTheFirstRuns) {
  const std::string name = "ilvo-instance-test-" + std::to_string(GetCurrentProcessId());
  const std::string line = HelperLine("instance " + name);
  EXPECT_EQ(wine_test::RunAndWait(Helper(), line), 0u);  // none running
  {
    platform::win32::Application first(name);
    EXPECT_FALSE(first.PreviousInstance());
    EXPECT_EQ(wine_test::RunAndWait(Helper(), line), 1u);
    platform::win32::Application second(name);
    EXPECT_TRUE(second.PreviousInstance());
    EXPECT_FALSE(first.PreviousInstance());  // the answer is kept for the run
  }
  EXPECT_EQ(wine_test::RunAndWait(Helper(), line), 0u);  // released with the first
}

int dispatched = 0;

LRESULT CALLBACK CountingProcedure(HWND window, UINT message, WPARAM w, LPARAM l) {
  if (message == WM_APP) ++dispatched;
  return DefWindowProcW(window, message, w, l);
}

TEST(Application, PendingMessagesAreDispatchedAndAQuitLeftForTheMainLoop) {
  WNDCLASSW windowClass{};
  windowClass.lpfnWndProc = CountingProcedure;
  windowClass.hInstance = GetModuleHandleW(nullptr);
  windowClass.lpszClassName = L"IlvoPendingMessagesTest";
  RegisterClassW(&windowClass);
  HWND window =
      CreateWindowW(L"IlvoPendingMessagesTest", L"", 0, 0, 0, 0, 0, HWND_MESSAGE, nullptr, nullptr, nullptr);
  ASSERT_NE(window, nullptr);
  for (int i = 0; i < 2; ++i) PostMessageW(window, WM_APP, 0, 0);
  platform::win32::ProcessPendingMessages();
  EXPECT_EQ(dispatched, 2);
  platform::win32::ProcessPendingMessages();  // an empty queue returns at once

  // The plain pump (the skin's roll animation) leaves a quit for the main loop.
  MSG message;
  PostQuitMessage(6);
  PostMessageW(window, WM_APP, 0, 0);
  platform::win32::ProcessPendingMessages();
  ASSERT_TRUE(PeekMessageW(&message, nullptr, WM_QUIT, WM_QUIT, PM_REMOVE));
  EXPECT_EQ(message.wParam, 6u);
  DestroyWindow(window);
}

// Answers a message box of the given title with a button, from another thread.
void AnswerBox(const std::wstring& title, int button) {
  for (int i = 0; i < 500; ++i) {
    if (HWND box = FindWindowW(L"#32770", title.c_str())) {
      PostMessageW(box, WM_COMMAND, static_cast<WPARAM>(button), 0);
      return;
    }
    Sleep(20);
  }
}

TEST(Application, MessageBoxReturnsTheAnswer) {
  platform::win32::Application application("ilvo-messagebox-test");
  struct Case {
    platform::MessageButtons buttons;
    platform::MessageIcon icon;
    int press;
  };
  const Case cases[] = {
      {platform::MessageButtons::Ok, platform::MessageIcon::None, IDOK},
      {platform::MessageButtons::OkCancel, platform::MessageIcon::Question, IDOK},
      {platform::MessageButtons::OkCancel, platform::MessageIcon::Question, IDCANCEL},
      {platform::MessageButtons::Ok, platform::MessageIcon::Critical, IDOK},
  };
  for (const Case& c : cases) {
    std::thread answer(AnswerBox, L"警告窗口", c.press);
    EXPECT_EQ(application.MessageBox("确定要卸载么？", "警告窗口", c.buttons, c.icon), c.press);
    answer.join();
  }
}

// A message box of the given title as another thread sees it: who owns it,
// and whether that owner was disabled while it showed.
struct BoxSeen {
  HWND owner = nullptr;
  bool ownerEnabled = true;
};

void AnswerAndLook(const std::wstring& title, BoxSeen& seen) {
  for (int i = 0; i < 500; ++i) {
    if (HWND box = FindWindowW(L"#32770", title.c_str())) {
      seen.owner = GetWindow(box, GW_OWNER);
      seen.ownerEnabled = seen.owner != nullptr && IsWindowEnabled(seen.owner);
      PostMessageW(box, WM_COMMAND, IDOK, 0);
      return;
    }
    Sleep(20);
  }
}

TEST(Application, MessageBoxesAreOwnedByTheProgramsWindowWhileAnotherIsInFront) {
  platform::win32::Application application("ilvo-owner-test");
  HWND window = CreateWindowExW(0, L"STATIC", L"installer", WS_OVERLAPPEDWINDOW | WS_VISIBLE, 0, 0, 300, 200,
                                nullptr, nullptr, nullptr, nullptr);
  HWND other = CreateWindowExW(0, L"STATIC", L"another program", WS_OVERLAPPEDWINDOW | WS_VISIBLE, 50, 50, 300, 200,
                               nullptr, nullptr, nullptr, nullptr);
  ASSERT_NE(window, nullptr);
  ASSERT_NE(other, nullptr);
  application.SetOwnerWindow(window);
  SetForegroundWindow(other);
  SetActiveWindow(other);
  ASSERT_EQ(GetActiveWindow(), other);

  BoxSeen seen;
  std::thread answer(AnswerAndLook, L"提示", std::ref(seen));
  EXPECT_EQ(application.MessageBox("音源[安装]成功！", "提示", platform::MessageButtons::Ok,
                                   platform::MessageIcon::None),
            IDOK);
  answer.join();
  EXPECT_EQ(seen.owner, window);
  EXPECT_FALSE(seen.ownerEnabled) << "modal to its owner";
  EXPECT_TRUE(IsWindowEnabled(window)) << "enabled again afterwards";
  DestroyWindow(other);
  DestroyWindow(window);
}

}  // namespace
