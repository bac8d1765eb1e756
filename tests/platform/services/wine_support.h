#pragma once
// Helpers for the Win32 tests that run under Wine: the build paths handed in
// on the command line, throwaway folders, registry clean-up and a second
// process that holds a file open without sharing.
#include <windows.h>
// windows.h maps these to their A/W forms; the services keep the plain names.
#undef DeleteFile
#undef MessageBox

#include <cstdint>
#include <string>
#include <vector>

namespace wine_test {

// The argument at index (kept by tests/support/e2e_main.cpp), as a Windows
// path in UTF-8; fails the test when missing.
std::string PathArgument(std::size_t index);

// A fresh folder below the temp folder, removed with all it holds (read-only
// entries included) when the object goes. name may hold any characters.
class TempFolder {
 public:
  explicit TempFolder(const std::string& name = "ilvo");
  TempFolder(const TempFolder&) = delete;
  TempFolder& operator=(const TempFolder&) = delete;
  ~TempFolder();
  const std::string& Path() const { return path_; }  // UTF-8, no trailing backslash
  std::string operator/(const std::string& relative) const { return path_ + "\\" + relative; }

 private:
  std::string path_;
};

// Files in UTF-8 paths.
void WriteBytes(const std::string& path, const std::string& bytes);
std::string ReadBytes(const std::string& path);
bool Exists(const std::string& path);
void CreateFolder(const std::string& path);  // with its parents
void CopyInto(const std::string& from, const std::string& to);
DWORD Attributes(const std::string& path);
void SetAttributes(const std::string& path, DWORD attributes);
std::uint64_t WriteTime(const std::string& path);
// The names of the entries in a folder, sorted.
std::vector<std::string> FolderEntries(const std::string& folder);

// Removes a key below HKEY_LOCAL_MACHINE with all its subkeys; silent when absent.
void DeleteTree(const std::string& path);
// A value read back raw.
struct RawValue {
  bool found = false;
  DWORD type = 0;
  std::string bytes;  // exactly the stored bytes (length = the stored byte length)
};
// Read with RegQueryValueExA, as an ANSI program such as the voice host reads it.
RawValue ReadValue(const std::string& key, const std::string& name);
// Read with RegQueryValueExW: a REG_SZ value's UTF-16 bytes as stored.
RawValue ReadWideValue(const std::string& key, const std::string& name);
// The text as UTF-16LE bytes, with no byte-order mark.
std::string Utf16Le(const std::string& utf8);
bool KeyExists(const std::string& key);
std::vector<std::string> ValueNames(const std::string& key);

// The helper program (tests/platform/services/services_helper.cpp) started
// with "hold <path>": it opens the file without sharing and keeps it until
// this object goes.
class FileHolder {
 public:
  FileHolder(const std::string& helperPath, const std::string& filePath);
  FileHolder(const FileHolder&) = delete;
  FileHolder& operator=(const FileHolder&) = delete;
  ~FileHolder();
  bool Holding() const { return holding_; }

 private:
  HANDLE process_ = nullptr;
  HANDLE release_ = nullptr;
  bool holding_ = false;
};

// A link to a folder: CreateSymbolicLinkW where it works, else (Wine 8) a
// Unix symbolic link made with /bin/ln, which Wine shows as a reparse point.
// Removed again when the object goes, with /bin/rm for a Unix one (a Windows
// call could follow it). Neither path may hold a space: Wine splits a Unix
// program's command line at spaces.
class FolderLink {
 public:
  FolderLink(const std::string& link, const std::string& target);
  FolderLink(const FolderLink&) = delete;
  FolderLink& operator=(const FolderLink&) = delete;
  ~FolderLink();
  bool Made() const { return made_; }
  bool MadeByWindows() const { return made_ && unixLink_.empty(); }

 private:
  bool IsLink() const;

  std::wstring link_;
  std::wstring unixLink_;  // empty for a Windows link
  bool made_ = false;
};

// Runs a program with a command line and waits for its exit code (or ~0u).
DWORD RunAndWait(const std::string& applicationPath, const std::string& commandLine);

}  // namespace wine_test
