#pragma once
// The installer's logic against the fakes, in C:\Voices unless told
// otherwise, with what the tests of each operation share.
#include <gtest/gtest.h>

#include <algorithm>
#include <functional>
#include <string>
#include <vector>

#include "fake_form_view.h"
#include "installer/voice_installer.h"
#include "tests/fakes/fake_services.h"

namespace rig {

using fakes::FakeFileSystem;
using installer::Operation;
using installer::Outcome;
using installer::VoiceState;
using platform::MessageIcon;

inline const std::string kVoiceKey = "Software\\TIRELUNA2\\DATABASE\\VOICE\\KT3WQ8ZRMD5LXNVC";
inline const std::string kParentKey = "Software\\TIRELUNA2\\DATABASE\\VOICE";
inline const std::string kEntryKey =
    "Software\\Microsoft\\Windows\\CurrentVersion\\Uninstall\\Ilvo_KT3WQ8ZRMD5LXNVC";

// Bits of the voice files for the tables.
enum : unsigned { Vvd = 1, Ddi = 2, Ddb = 4, AllFiles = 7 };
inline const char* const kExts[] = {".vvd", ".ddi", ".ddb"};
inline const unsigned kBits[] = {Vvd, Ddi, Ddb};

struct Rig {
  explicit Rig(std::string folder = "C:\\Voices") {
    s.app.folder = std::move(folder);
    s.files.AddFolder(s.app.folder);
  }
  std::string AppDir() const { return s.app.folder + "\\"; }
  std::string Voice(const char* ext) const { return AppDir() + "KT3WQ8ZRMD5LXNVC\\Ilvo" + ext; }
  std::string VoiceFolder() const { return AppDir() + "KT3WQ8ZRMD5LXNVC"; }
  std::string Archive() const { return AppDir() + "DATA\\Ilvo.yin"; }
  std::string Extractor() const { return AppDir() + "DATA\\Rar.exe"; }
  std::string ExportFile() const { return AppDir() + "Ilvo.reg"; }
  std::string Staging() const { return AppDir() + "Ilvo.staging"; }
  // What the extractor leaves in the staging folder, as it extracts there.
  std::string Staged(const char* ext) const { return Staging() + "\\KT3WQ8ZRMD5LXNVC\\Ilvo" + ext; }

  void AddVoiceFiles(unsigned mask, std::uint32_t attributes = 0) {
    for (int i = 0; i < 3; ++i) {
      if (mask & kBits[i]) s.files.AddFile(Voice(kExts[i]), std::string(kExts[i] + 1), attributes);
    }
  }
  void AddStagedFiles(unsigned mask, std::uint32_t attributes = 0) {
    for (int i = 0; i < 3; ++i) {
      if (mask & kBits[i]) s.files.AddFile(Staged(kExts[i]), "new " + std::string(kExts[i] + 1), attributes);
    }
  }
  // The extractor, once started, extracts these voice files.
  void ExtractorExtracts(unsigned mask) {
    s.processes.onStart = [this, mask](const fakes::FakeProcesses::Start&) { AddStagedFiles(mask); };
  }
  void AddData(bool archive = true, bool extractor = true) {
    s.files.AddFolder(AppDir() + "DATA");
    if (archive) s.files.AddFile(Archive(), "archive");
    if (extractor) s.files.AddFile(Extractor(), "rar");
  }
  void AddKey() { s.registry.CreateKey(kVoiceKey); }

  // The start-up, with the log cleared before and after.
  installer::StartResult Load() {
    s.log.clear();
    const installer::StartResult result = logic.Start();
    s.log.clear();
    return result;
  }
  // Presses install or repair, whichever the state offers, and lets the
  // extractor end when it runs.
  void InstallOrRepair() {
    logic.InstallOrRepair();
    s.processes.End();
  }
  // The outcome the program ended with; fails the test unless it ended once.
  Outcome Finished() const {
    EXPECT_EQ(view.finishes.size(), 1u);
    return view.finishes.empty() ? Outcome{} : view.finishes.back();
  }

  std::vector<std::string> LogWith(const std::vector<std::string>& prefixes) const {
    std::vector<std::string> lines;
    for (const std::string& line : s.log) {
      if (std::any_of(prefixes.begin(), prefixes.end(),
                      [&](const std::string& prefix) { return line.rfind(prefix, 0) == 0; })) {
        lines.push_back(line);
      }
    }
    return lines;
  }
  // Where the first or last line of the log with the prefix is; -1: none.
  long First(const std::string& prefix) const {
    for (std::size_t i = 0; i < s.log.size(); ++i) {
      if (s.log[i].rfind(prefix, 0) == 0) return static_cast<long>(i);
    }
    return -1;
  }
  long Last(const std::string& prefix) const {
    for (std::size_t i = s.log.size(); i-- > 0;) {
      if (s.log[i].rfind(prefix, 0) == 0) return static_cast<long>(i);
    }
    return -1;
  }

  fakes::FakeServices s;
  fakes::FakeFormView view{&s.log};
  installer::VoiceInstaller logic{s.Services(), view};
};

// What stands in each voice file's place, .vvd, .ddi, .ddb: its content, or
// "" for nothing.
inline std::vector<std::string> VoiceContents(const Rig& rig) {
  std::vector<std::string> contents;
  for (const char* ext : kExts) {
    const FakeFileSystem::Entry* entry = rig.s.files.Get(rig.Voice(ext));
    contents.push_back(entry == nullptr ? "" : entry->content);
  }
  return contents;
}

}  // namespace rig
