#pragma once
// The services of Windows that the installer logic calls. Each has a Win32
// implementation (platform/win32) and a fake for native tests (tests/fakes).
// All text is UTF-8; the Win32 side converts to UTF-16 for the wide calls and
// to the ANSI code page where the registry and the export file need it.
#include <cstdint>
#include <memory>
#include <optional>
#include <string>

namespace platform {

class Registry {
 public:
  virtual ~Registry() = default;
  // All paths are below HKEY_LOCAL_MACHINE. Results are Win32 error codes,
  // 0 for success.
  virtual long OpenKey(const std::string& path) = 0;    // RegOpenKeyA probe; the handle is closed again
  virtual long CreateKey(const std::string& path) = 0;  // RegCreateKeyA, default access
  virtual long SetString(const std::string& path, const std::string& name, const std::string& value) = 0;
  virtual long SetDword(const std::string& path, const std::string& name, std::uint32_t value) = 0;
  virtual long DeleteKey(const std::string& path) = 0;  // RegDeleteKeyA: fails on a key with subkeys
  // Removes the key with all its subkeys and values.
  virtual long DeleteKeyTree(const std::string& path) = 0;
};

// The result of OpenKey for a key that is not there (ERROR_FILE_NOT_FOUND).
inline constexpr long kKeyNotFound = 2;

enum class SearchAttributes : int { Normal = 0, Folders = 16 };

class TextFile {
 public:
  virtual ~TextFile() = default;
  // Writes the line in the ANSI code page followed by CR LF.
  virtual bool WriteLine(const std::string& line) = 0;
  virtual bool Close() = 0;  // flushes; false when something could not be written
};

// Where a file or folder really is.
struct FileLocation {
  bool isLink = false;     // a reparse point: symbolic link, junction, mount point
  std::string finalPath;   // every link resolved, without a \\?\ prefix
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
  // Opens for appending, creating the file; null when it cannot be opened.
  virtual std::unique_ptr<TextFile> OpenForAppend(const std::string& path) = 0;
  // Opens the file or folder itself and asks where it is; nothing when it
  // cannot be opened (missing, say).
  virtual std::optional<FileLocation> Locate(const std::string& path) = 0;
};

inline constexpr std::uint32_t kStillActive = 259;

class Processes {
 public:
  virtual ~Processes() = default;
  // Starts the program named by its full path with the given command line and
  // a hidden window; returns its process id, or nothing when it cannot start.
  virtual std::optional<std::uint32_t> StartHidden(const std::string& applicationPath,
                                                   const std::string& commandLine) = 0;
  // OpenProcess(PROCESS_QUERY_INFORMATION | SYNCHRONIZE), an opaque handle or 0.
  virtual std::uintptr_t Open(std::uint32_t processId) = 0;
  // GetExitCodeProcess: kStillActive while it runs; nothing when the call fails.
  virtual std::optional<std::uint32_t> ExitCode(std::uintptr_t process) = 0;
  // Sleeps until the process ends or input arrives for this thread, so that a
  // wait loop pumping events does not spin.
  virtual void WaitForExitOrInput(std::uintptr_t process) = 0;
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
  virtual bool PreviousInstance() = 0;
  [[noreturn]] virtual void EndProgram() = 0;  // at once, without unload handling
  virtual void DoEvents() = 0;                 // runs queued events, returns
  virtual int MessageBox(const std::string& text, const std::string& title, MessageButtons buttons,
                         MessageIcon icon) = 0;
};

// The bundle the installer logic is given.
struct Services {
  Registry& registry;
  FileSystem& files;
  Processes& processes;
  Application& app;
};

}  // namespace platform
