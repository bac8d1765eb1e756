// The export: the question, the twelve lines byte for byte, and an old file
// that stays whole whatever goes wrong.
#include <gtest/gtest.h>

#include "voice_installer_rig.h"

namespace {

using namespace rig;

TEST(Registration, ImportTextDoublesEveryBackslash) {
  const std::pair<std::string, std::string> cases[] = {
      {"", ""},
      {"Voices", "Voices"},
      {"C:\\", "C:\\\\"},
      {"C:\\Voices", "C:\\\\Voices"},
      {"D:\\语音\\库\\", "D:\\\\语音\\\\库\\\\"},
      {"\\\\server\\share", "\\\\\\\\server\\\\share"},
  };
  for (const auto& [in, out] : cases) {
    EXPECT_EQ(installer::registration::DoubleBackslashes(in), out) << in;
  }
}

// On 64-bit Windows the key lines name the 32-bit view, where the record is.
std::string ExportText(const std::string& dirInFile, bool sixtyFourBitWindows = false) {
  const std::string software = sixtyFourBitWindows ? "Software\\WOW6432Node" : "Software";
  return "Windows Registry Editor Version 5.00\r\n"
         "\r\n"
         "[HKEY_LOCAL_MACHINE\\" + software + "\\TIRELUNA2\\DATABASE\\VOICE]\r\n"
         "\"VOICEDIR\"=\"" + dirInFile + "\"\r\n"
         "\r\n"
         "[HKEY_LOCAL_MACHINE\\" + software + "\\TIRELUNA2\\DATABASE\\VOICE\\KT3WQ8ZRMD5LXNVC]\r\n"
         "\"INSTALLED\"=dword:00000001\r\n"
         "\"NAME\"=\"TIRELUNA2 Voice DB (Ilvo)\"\r\n"
         "\"TIME\"=\"R4NXC8VJ2TQM6WHE\"\r\n"
         "\"DRP\"=\"050010\"\r\n"
         "\"INSTALLDIR\"=\"" + dirInFile + "\"\r\n"
         "\r\n";
}

TEST(Export, AsksThenWritesTheTwelveLinesByteForByte) {
  const std::pair<const char*, const char*> folders[] = {
      {"C:\\Voices", "C:\\\\Voices"}, {"C:\\", "C:\\\\"}, {"D:\\语音 库", "D:\\\\语音 库"}};
  for (const bool sixtyFourBit : {false, true}) {
    for (const auto& [folder, inFile] : folders) {
      SCOPED_TRACE(folder + std::string(sixtyFourBit ? ", 64-bit Windows" : ", 32-bit Windows"));
      Rig rig(folder);
      rig.s.app.sixtyFourBitWindows = sixtyFourBit;
      rig.Load();
      rig.logic.AskThenExport();
      EXPECT_EQ(rig.view.questions, std::vector<installer::Question>{installer::Question::Export});
      ASSERT_TRUE(rig.s.files.Exists(rig.ExportFile()));
      EXPECT_EQ(rig.s.files.Get(rig.ExportFile())->content, ExportText(inFile, sixtyFourBit));
      EXPECT_TRUE(rig.view.reports.empty());
      EXPECT_TRUE(rig.view.finishes.empty()) << "the window stays";
    }
  }
  const installer::MessageBoxText box = installer::BoxFor(installer::Question::Export);
  EXPECT_EQ(box.text, "需要导出注册表到文件目录么？");
  EXPECT_EQ(box.title, "提示");
  EXPECT_EQ(box.buttons, platform::MessageButtons::OkCancel);
  EXPECT_EQ(box.icon, MessageIcon::Question);
}

TEST(Export, ReplacesOrFailsWithoutLeavingAPartialFile) {
  struct Case {
    const char* name;
    bool answer;
    bool oldFile;
    std::uint32_t oldAttributes;
    bool unwritable;  // the new text cannot be written
    // expected
    bool failureMessage;
    const char* content;  // the export file afterwards, or null when there is none
  };
  const std::string full = ExportText("C:\\\\Voices");
  // clang-format off
  const Case cases[] = {
    {"new file",                    true,  false, 0,                         false, false, full.c_str()},
    {"replaces an old one",         true,  true,  0,                         false, false, full.c_str()},
    {"replaces a hidden old one",   true,  true,  FakeFileSystem::kHidden,   false, false, full.c_str()},
    {"replaces a system old one",   true,  true,  FakeFileSystem::kSystem,   false, false, full.c_str()},
    {"declined",                    false, true,  0,                         false, false, "old"},
    {"declined, no old file",       false, false, 0,                         false, false, nullptr},
    {"old one read-only",           true,  true,  FakeFileSystem::kReadOnly, false, true,  "old"},
    {"cannot be written",           true,  false, 0,                         true,  true,  nullptr},
    {"cannot be written, old kept", true,  true,  FakeFileSystem::kHidden,   true,  true,  "old"},
  };
  // clang-format on
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    Rig rig;
    rig.AddData();
    if (c.oldFile) rig.s.files.AddFile(rig.ExportFile(), "old", c.oldAttributes);
    if (c.unwritable) rig.s.files.unwritable.insert(rig.ExportFile() + ".new");
    rig.Load();
    rig.view.answers = {c.answer};

    rig.logic.AskThenExport();

    EXPECT_TRUE(rig.view.finishes.empty()) << "the window stays";
    if (c.failureMessage) {
      ASSERT_EQ(rig.view.reports.size(), 1u);
      const installer::MessageBoxText box = installer::BoxFor(rig.view.reports[0]);
      EXPECT_EQ(box.text, "注册表导出失败！");
      EXPECT_EQ(box.title, "错误");
      EXPECT_EQ(box.buttons, platform::MessageButtons::Ok);
      EXPECT_EQ(box.icon, MessageIcon::Critical);
    } else {
      EXPECT_TRUE(rig.view.reports.empty());
    }
    if (!c.answer) {
      EXPECT_EQ(rig.s.log, std::vector<std::string>{"Ask export"});
    }
    const auto* file = rig.s.files.Get(rig.ExportFile());
    if (c.content == nullptr) {
      EXPECT_EQ(file, nullptr);
    } else {
      ASSERT_NE(file, nullptr);
      EXPECT_EQ(file->content, c.content);
      if (c.content == full.c_str()) {
        EXPECT_EQ(file->attributes, 0u) << "a plain file, found by the next search";
      }
    }
    EXPECT_FALSE(rig.s.files.Exists(rig.ExportFile() + ".new"));
  }
}

}  // namespace
