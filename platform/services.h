#pragma once
// The services of Windows that the installer logic calls. Each has a Win32
// implementation (platform/win32) and a fake for native tests (tests/fakes).
// All text is UTF-8; the Win32 side converts it to UTF-16 for the wide calls,
// and to the ANSI code page only for an export file that code page can hold.
#include <cstddef>
#include <cstdint>
#include <functional>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace platform {

inline constexpr std::uint32_t kRegSz = 1;
inline constexpr std::uint32_t kRegDword = 4;

// A registry value as it is stored.
struct RegistryValue {
  std::uint32_t type = 0;
  // REG_SZ: the stored UTF-16 text in UTF-8, with every NUL it holds (the one
  // that ends it included); other types: the stored bytes.
  std::string data;

  // What SetString and SetDword store.
  static RegistryValue String(const std::string& text) { return {kRegSz, text + '\0'}; }
  static RegistryValue Dword(std::uint32_t value) {
    std::string bytes(4, '\0');
    for (std::size_t i = 0; i < 4; ++i) bytes[i] = static_cast<char>((value >> (8 * i)) & 0xFF);
    return {kRegDword, bytes};
  }
  bool operator==(const RegistryValue&) const = default;
};

// A value to store: REG_SZ text or a REG_DWORD number.
struct ValueToStore {
  std::string name;
  std::uint32_t type = kRegSz;  // kRegSz or kRegDword
  std::string text;             // kRegSz
  std::uint32_t number = 0;     // kRegDword
  // What ReadValues gives once it is stored.
  RegistryValue Stored() const { return type == kRegDword ? RegistryValue::Dword(number) : RegistryValue::String(text); }
};

class Registry {
 public:
  virtual ~Registry() = default;
  // All paths are below HKEY_LOCAL_MACHINE. Results are Win32 error codes,
  // 0 for success.
  virtual long OpenKey(const std::string& path) = 0;  // the probe; the handle is closed again
  // Creates or opens the key, then stores each value (REG_SZ: the text in
  // UTF-16 with one terminating NUL, whatever characters it holds); 0, or the
  // first error. A key that cannot be made or opened stores nothing.
  virtual long SetValues(const std::string& path, const std::vector<ValueToStore>& values) = 0;
  // Each value as stored, in the order of names; nothing for one that cannot
  // be read, or for all when the key cannot be.
  virtual std::vector<std::optional<RegistryValue>> ReadValues(const std::string& path,
                                                               const std::vector<std::string>& names) = 0;
  virtual long DeleteKey(const std::string& path) = 0;  // fails on a key with subkeys
  // Removes the key with all its subkeys and values.
  virtual long DeleteKeyTree(const std::string& path) = 0;
};

// The result of OpenKey for a key that is not there (ERROR_FILE_NOT_FOUND).
inline constexpr long kKeyNotFound = 2;

enum class SearchAttributes : int { Normal = 0, Folders = 16 };

// Which file or folder an entry is, whatever path leads to it: the serial
// number of its volume and its id there (the 128-bit id where the system has
// one, else the 64-bit file index).
struct FileIdentity {
  std::uint64_t volume = 0;
  std::uint64_t idHigh = 0;
  std::uint64_t idLow = 0;
  bool operator==(const FileIdentity&) const = default;
};

// Where a file or folder really is.
struct FileLocation {
  bool isLink = false;  // a reparse point: symbolic link, junction, mount point
  std::optional<FileIdentity> identity;  // what the path leads to, every link followed
  // The folder that really holds it; nothing where the system cannot name
  // that folder (a volume without a path it can give).
  std::optional<FileIdentity> holder;
};

// An entry below a folder, as ListTree gives it.
struct TreeEntry {
  std::string relativePath;  // from the folder, its parts joined by backslashes
  bool isFolder = false;
  bool isLink = false;  // a reparse point (symbolic link, junction): listed, never entered
  bool operator==(const TreeEntry&) const = default;
};

class FileSystem {
 public:
  virtual ~FileSystem() = default;
  // Directory search for the exact path. Normal: files with no attribute but
  // read-only or archive; hidden, system and folder entries are not found.
  // Folders: folders are found too. Returns the found name, or empty.
  virtual std::string Dir(const std::string& path, SearchAttributes attributes) = 0;
  virtual bool DeleteFile(const std::string& path) = 0;    // false: in use, read-only, missing
  virtual bool RemoveFolder(const std::string& path) = 0;  // false: not empty, in use, missing
  // Whether anything stands at the path: a file or folder, hidden, system or
  // a link as it may be.
  virtual bool EntryExists(const std::string& path) = 0;
  // The size of a file in bytes; nothing when it cannot be had.
  virtual std::optional<std::uint64_t> FileSize(const std::string& path) = 0;
  // Opens the file or folder itself and asks what it is and which folder
  // holds it; nothing when it cannot be opened (missing, say).
  virtual std::optional<FileLocation> Locate(const std::string& path) = 0;
  // Makes the lines, each ended by CR LF, the whole content of the file, in
  // the ANSI code page when it can hold every character, else in UTF-16LE
  // after a byte-order mark, written through to the disk. A file there is
  // replaced unless it is read-only, hidden or system. False when this cannot
  // be done; no partial file is left then (nor what stood there). Meant for a
  // new file that then takes the place of another through Rename.
  virtual bool WriteText(const std::string& path, const std::vector<std::string>& lines) = 0;
  // Makes one new folder. False when anything stands at the path already,
  // its parent is missing, or it cannot be made: a folder it returns true
  // for is one this call made.
  virtual bool CreateFolder(const std::string& path) = 0;
  // Removes what stands at the path and, for a folder, everything in it.
  // Read-only attributes are cleared first; a link, at the path or inside,
  // is removed itself and never followed. True when nothing stands at the
  // path any more (also when nothing stood there); false when something
  // stays (in use), after removing all it could.
  virtual bool RemoveTree(const std::string& path) = 0;
  // Every entry below the folder, each folder before what it holds; links
  // are listed but not entered. Nothing when the folder cannot be read.
  virtual std::optional<std::vector<TreeEntry>> ListTree(const std::string& folder) = 0;
  // Writes the file's data that the system still holds through to the disk.
  virtual bool FlushFile(const std::string& path) = 0;
  // Renames a file within its volume, written through to the disk. With
  // replace it takes the place of a file at the target, but never of a
  // read-only file or of a folder; without, it fails when anything stands
  // there.
  virtual bool Rename(const std::string& from, const std::string& to, bool replace) = 0;
};

// The exit code Windows reports for a process that still runs; a program
// can end with it too, so only the end of the process tells that it ended.
inline constexpr std::uint32_t kStillActive = 259;

class Processes {
 public:
  virtual ~Processes() = default;
  // Starts the program named by its full path with the given command line and
  // a hidden window; returns its process id, or nothing when it cannot start.
  virtual std::optional<std::uint32_t> StartHidden(const std::string& applicationPath,
                                                   const std::string& commandLine) = 0;
  // The handle kept from the start of that process, an opaque value; 0 when
  // there is none. It stays the service's until Close.
  virtual std::uintptr_t Open(std::uint32_t processId) = 0;
  // Tells onEnd, once, as a message to this thread, that the process has
  // ended (true) or can no longer be watched (false). The program's message
  // loop delivers it, so nothing waits in the meantime. False when the
  // watch cannot be set up; onEnd is then never called.
  virtual bool WatchForExit(std::uintptr_t process, std::function<void(bool ended)> onEnd) = 0;
  // The exit code; meaningful once the watch has said the process ended.
  // Nothing when it cannot be read.
  virtual std::optional<std::uint32_t> ExitCode(std::uintptr_t process) = 0;
  // Ends the watch, if any, and gives the handle back.
  virtual void Close(std::uintptr_t process) = 0;
};

enum class MessageButtons { Ok, OkCancel };
enum class MessageIcon { None, Question, Critical };
inline constexpr int kAnswerOk = 1;
inline constexpr int kAnswerCancel = 2;

class Application {
 public:
  virtual ~Application() = default;
  virtual std::string Folder() = 0;  // no trailing backslash but at a drive root
  virtual std::string ProgramPath() = 0;  // the running program's own file
  virtual bool PreviousInstance() = 0;
  // Whether Windows is a 64-bit one (this program a 32-bit one under WOW64,
  // or a 64-bit build); decided once, at start. Its registry then has two
  // views, and a 64-bit program reaches the 32-bit one below WOW6432Node.
  virtual bool SixtyFourBitWindows() = 0;
  [[noreturn]] virtual void EndProgram() = 0;  // at once, without unload handling
  // The message loop of a program without a window (the command-line mode),
  // which delivers what WatchForExit posts, until done() says the job has
  // come out; a quit message ends nothing here.
  virtual void RunMessageLoopUntil(const std::function<bool()>& done) = 0;
  virtual int MessageBox(const std::string& text, const std::string& title, MessageButtons buttons,
                         MessageIcon icon) = 0;
  // A named point in the program's work, timed for the benchmark when its
  // step trace is on; nothing otherwise.
  virtual void Mark(std::string_view /*step*/) {}
};

// The bundle the installer logic is given.
struct Services {
  Registry& registry;
  FileSystem& files;
  Processes& processes;
  Application& app;
};

}  // namespace platform
