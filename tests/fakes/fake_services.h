#pragma once
// Fakes of the platform services for native tests: an in-memory registry and
// file system, a scripted process table and an application whose message
// boxes are recorded and answered from a queue. All paths compare without
// regard to ASCII case, as on Windows. Every fake can write what it is asked
// into one shared call log, so a test can check the order across services.
#include <cstdint>
#include <deque>
#include <functional>
#include <map>
#include <optional>
#include <set>
#include <stdexcept>
#include <string>
#include <vector>

#include "platform/services.h"

namespace fakes {

using CallLog = std::vector<std::string>;

// Windows error codes the fakes return.
inline constexpr long kErrorFileNotFound = 2;
inline constexpr long kErrorAccessDenied = 5;

class FakeRegistry : public platform::Registry {
 public:
  struct Value {
    std::uint32_t type = 0;  // 1 REG_SZ, 4 REG_DWORD
    std::string text;        // REG_SZ
    std::uint32_t dword = 0;  // REG_DWORD
  };

  CallLog* log = nullptr;
  bool failWrites = false;   // CreateKey, SetString, SetDword and DeleteKey answer access denied
  bool refuseValues = false;  // SetString and SetDword answer access denied; keys can still be made
  bool failReads = false;    // OpenKey and ReadValue answer access denied
  bool treesStay = false;    // DeleteKeyTree answers access denied (a key the user may not delete)
  // Keys below this one (and it) cannot be made or written, nor deleted: a
  // part of the registry closed to this user. Empty: none.
  std::string closedKey;
  // What a string value is stored as; by default the text itself. Stands for
  // a store that silently changes the text (a code page without its characters).
  std::function<std::string(const std::string&)> storedText;

  long OpenKey(const std::string& path) override;
  // As the Win32 service: the key made or opened first (logged as
  // CreateKey), then each value (SetString, SetDword); nothing is stored
  // when the key cannot be.
  long SetValues(const std::string& path, const std::vector<platform::ValueToStore>& values) override;
  std::vector<std::optional<platform::RegistryValue>> ReadValues(const std::string& path,
                                                                 const std::vector<std::string>& names) override;
  long DeleteKey(const std::string& path) override;
  long DeleteKeyTree(const std::string& path) override;

  // One key or value at a time: what SetValues and ReadValues do for each,
  // and for tests to arrange the registry.
  long CreateKey(const std::string& path);
  long SetString(const std::string& path, const std::string& name, const std::string& value);
  long SetDword(const std::string& path, const std::string& name, std::uint32_t value);
  std::optional<platform::RegistryValue> ReadValue(const std::string& path, const std::string& name);

  bool HasKey(const std::string& path) const;
  const Value* Find(const std::string& path, const std::string& name) const;
  // Value names of a key in the order they were first set.
  std::vector<std::string> ValueNames(const std::string& path) const;
  std::size_t KeyCount() const { return keys_.size(); }

 private:
  struct Key {
    std::vector<std::pair<std::string, Value>> values;  // first-set order
  };
  long Write(const std::string& path, const std::string& name, Value value);
  bool Closed(const std::string& path) const;
  std::map<std::string, Key> keys_;  // by upper-case path
};

class FakeFileSystem : public platform::FileSystem {
 public:
  // Attribute bits as Windows has them.
  static constexpr std::uint32_t kReadOnly = 1, kHidden = 2, kSystem = 4, kFolder = 16;

  struct Entry {
    std::uint32_t attributes = 0;
    std::string content;  // files: what was written (UTF-8, lines ended by CR LF)
    bool inUse = false;   // held open by another program without sharing
    std::string linkTarget;     // a link: the path it leads to; empty for none
    bool reparsePoint = false;  // the link shows as a reparse point
    bool noFinalPath = false;   // on a volume the system can give no path for: its holder is unknown
  };

  CallLog* log = nullptr;
  // WriteText of these paths cannot write its file (an unwritable
  // place, a full disk).
  std::set<std::string> unwritable;
  // ListTree of these folders fails (no right to read them).
  std::set<std::string> unreadable;

  // Adds a file (creating its folders) or a folder.
  void AddFile(const std::string& path, std::string content = {}, std::uint32_t attributes = 0);
  void AddFolder(const std::string& path, std::uint32_t attributes = 0);
  // Makes an existing entry a link to target; Locate resolves through it.
  void MakeLink(const std::string& path, const std::string& target, bool reparsePoint);
  bool Exists(const std::string& path) const;
  Entry* Get(const std::string& path);
  const Entry* Get(const std::string& path) const;
  std::vector<std::string> Paths() const;  // every entry, sorted

  std::string Dir(const std::string& path, platform::SearchAttributes attributes) override;
  bool DeleteFile(const std::string& path) override;
  bool RemoveFolder(const std::string& path) override;
  bool EntryExists(const std::string& path) override;
  std::optional<std::uint64_t> FileSize(const std::string& path) override;  // of a file's content
  // The path as given with every link on the way replaced by its target.
  std::optional<platform::FileLocation> Locate(const std::string& path) override;
  bool WriteText(const std::string& path, const std::vector<std::string>& lines) override;
  // Folders in unwritable cannot be made; a file in use is neither removed
  // with its tree nor renamed; a link is removed as an entry, its target kept.
  bool CreateFolder(const std::string& path) override;
  bool RemoveTree(const std::string& path) override;
  std::optional<std::vector<platform::TreeEntry>> ListTree(const std::string& folder) override;  // not in unreadable
  bool FlushFile(const std::string& path) override;  // files only; not in unflushable
  bool Rename(const std::string& from, const std::string& to, bool replace) override;

  // FlushFile of these paths fails (an error of the disk).
  std::set<std::string> unflushable;

 private:
  struct Stored {
    std::string path;  // as first given
    Entry entry;
  };
  bool HasChildren(const std::string& key) const;
  std::map<std::string, Stored> entries_;  // by upper-case path
};

class FakeApplication;

class FakeProcesses : public platform::Processes {
 public:
  struct Start {
    std::string applicationPath;
    std::string commandLine;
  };

  CallLog* log = nullptr;
  bool startFails = false;
  bool openFails = false;  // Open has no handle to give
  std::uint32_t nextProcessId = 4242;
  // Runs when a program starts (to make its files appear, say).
  std::function<void(const Start&)> onStart;
  bool watchFails = false;  // WatchForExit cannot watch
  // What ExitCode answers once the program has ended; nothing: the call fails.
  std::optional<std::uint32_t> exitCode = 0;

  std::vector<Start> starts;
  int exitCodeCalls = 0;
  std::vector<std::uintptr_t> closed;

  std::optional<std::uint32_t> StartHidden(const std::string& applicationPath,
                                           const std::string& commandLine) override;
  std::uintptr_t Open(std::uint32_t processId) override;
  // Keeps onEnd, as Windows keeps the watch: the end is told later, when a
  // test delivers it (End, LoseWatch), never before this returns.
  bool WatchForExit(std::uintptr_t process, std::function<void(bool ended)> onEnd) override;
  // kStillActive until the end has been told, as Windows answers.
  std::optional<std::uint32_t> ExitCode(std::uintptr_t process) override;
  void Close(std::uintptr_t process) override;

  bool Watching() const { return static_cast<bool>(watch_); }
  // The watched program ends now: its end is told (false: nothing watched).
  bool End();
  // The watch fails while the program runs: told as an end that cannot be seen.
  bool LoseWatch();

  static constexpr std::uintptr_t kHandle = 0x77;

 private:
  bool Tell(bool ended);

  bool ended_ = false;
  std::function<void(bool)> watch_;
};

class FakeApplication : public platform::Application {
 public:
  struct Box {
    std::string text;
    std::string title;
    platform::MessageButtons buttons;
    platform::MessageIcon icon;
  };

  CallLog* log = nullptr;
  std::string folder = "C:\\Voices";
  std::string programPath = "C:\\Voices\\IlvoInstaller.exe";
  bool previousInstance = false;
  bool sixtyFourBitWindows = false;
  // Answers of the message boxes in turn; OK when the queue is empty.
  std::deque<int> answers;
  // What the message loop delivers, one message a call; false when there is
  // none (FakeServices: the watched program's end).
  std::function<bool()> deliverMessage;

  std::vector<Box> boxes;
  int folderReads = 0;

  std::string Folder() override;
  std::string ProgramPath() override { return programPath; }
  bool PreviousInstance() override { return previousInstance; }
  bool SixtyFourBitWindows() override { return sixtyFourBitWindows; }
  // The logic never ends the program: its views do.
  [[noreturn]] void EndProgram() override;
  void RunMessageLoopUntil(const std::function<bool()>& done) override;
  int MessageBox(const std::string& text, const std::string& title, platform::MessageButtons buttons,
                 platform::MessageIcon icon) override;
};

// The four fakes with one call log, and the bundle the logic is given.
struct FakeServices {
  FakeServices();
  FakeServices(const FakeServices&) = delete;
  FakeServices& operator=(const FakeServices&) = delete;

  CallLog log;
  FakeRegistry registry;
  FakeFileSystem files;
  FakeProcesses processes;
  FakeApplication app;

  platform::Services Services() { return {registry, files, processes, app}; }
};

}  // namespace fakes
