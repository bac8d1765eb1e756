#include "platform/win32/file_system.h"

#include <windows.h>

#include "platform/paths.h"
#include "platform/win32/text.h"

// windows.h maps these names to their A/W forms; the service keeps its own.
#undef DeleteFile

namespace platform::win32 {
namespace {

bool Matches(DWORD attributes, SearchAttributes wanted) {
  if ((attributes & (FILE_ATTRIBUTE_HIDDEN | FILE_ATTRIBUTE_SYSTEM)) != 0) return false;
  if ((attributes & FILE_ATTRIBUTE_DIRECTORY) != 0) return wanted == SearchAttributes::Folders;
  return true;
}

// A search handle, closed when it goes out of scope.
class Search {
 public:
  explicit Search(HANDLE handle) : handle_(handle) {}
  Search(const Search&) = delete;
  Search& operator=(const Search&) = delete;
  ~Search() {
    if (Valid()) FindClose(handle_);
  }
  bool Valid() const { return handle_ != INVALID_HANDLE_VALUE; }
  HANDLE Get() const { return handle_; }

 private:
  HANDLE handle_;
};

class File final : public TextFile {
 public:
  explicit File(HANDLE handle) : handle_(handle) {}
  File(const File&) = delete;
  File& operator=(const File&) = delete;
  ~File() override { Close(); }

  bool WriteLine(const std::string& line) override {
    if (handle_ == INVALID_HANDLE_VALUE) return false;
    const std::string bytes = ToAnsi(line) + "\r\n";
    DWORD written = 0;
    const BOOL ok = WriteFile(handle_, bytes.data(), static_cast<DWORD>(bytes.size()), &written, nullptr);
    if (!ok || written != bytes.size()) failed_ = true;
    return !failed_;
  }

  bool Close() override {
    if (handle_ == INVALID_HANDLE_VALUE) return !failed_;
    if (!CloseHandle(handle_)) failed_ = true;
    handle_ = INVALID_HANDLE_VALUE;
    return !failed_;
  }

 private:
  HANDLE handle_;
  bool failed_ = false;
};

// A file or folder opened only to ask about it, closed when it goes out of scope.
class Entry {
 public:
  Entry(const std::wstring& path, DWORD flags)
      : handle_(CreateFileW(path.c_str(), 0, FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE, nullptr,
                            OPEN_EXISTING, FILE_FLAG_BACKUP_SEMANTICS | flags, nullptr)) {}
  Entry(const Entry&) = delete;
  Entry& operator=(const Entry&) = delete;
  ~Entry() {
    if (Valid()) CloseHandle(handle_);
  }
  bool Valid() const { return handle_ != INVALID_HANDLE_VALUE; }
  HANDLE Get() const { return handle_; }

 private:
  HANDLE handle_;
};

std::optional<std::wstring> FinalPathOf(HANDLE handle) {
  std::wstring buffer(MAX_PATH, L'\0');
  for (;;) {
    const DWORD length = GetFinalPathNameByHandleW(handle, buffer.data(), static_cast<DWORD>(buffer.size()),
                                                   FILE_NAME_NORMALIZED | VOLUME_NAME_DOS);
    if (length == 0) return std::nullopt;
    if (length < buffer.size()) {
      buffer.resize(length);
      return buffer;
    }
    buffer.resize(length + 1);  // too small: length is the size needed
  }
}

}  // namespace

std::string FileSystem::Dir(const std::string& path, SearchAttributes attributes) {
  WIN32_FIND_DATAW found{};
  Search search(FindFirstFileW(Widen(path).c_str(), &found));
  if (!search.Valid()) return {};
  do {
    if (Matches(found.dwFileAttributes, attributes)) return Narrow(found.cFileName);
  } while (FindNextFileW(search.Get(), &found));
  return {};
}

bool FileSystem::DeleteFile(const std::string& path) { return DeleteFileW(Widen(path).c_str()) != 0; }

bool FileSystem::RemoveFolder(const std::string& path) { return RemoveDirectoryW(Widen(path).c_str()) != 0; }

std::unique_ptr<TextFile> FileSystem::OpenForAppend(const std::string& path) {
  HANDLE handle = CreateFileW(Widen(path).c_str(), GENERIC_WRITE, FILE_SHARE_READ, nullptr, OPEN_ALWAYS,
                              FILE_ATTRIBUTE_NORMAL, nullptr);
  if (handle == INVALID_HANDLE_VALUE) return nullptr;
  auto file = std::make_unique<File>(handle);
  if (SetFilePointer(handle, 0, nullptr, FILE_END) == INVALID_SET_FILE_POINTER && GetLastError() != NO_ERROR) {
    return nullptr;  // closed by the file's destructor
  }
  return file;
}

std::optional<FileLocation> FileSystem::Locate(const std::string& path) {
  const std::wstring widePath = Widen(path);
  Entry itself(widePath, FILE_FLAG_OPEN_REPARSE_POINT);
  if (!itself.Valid()) return std::nullopt;
  BY_HANDLE_FILE_INFORMATION information{};
  if (!GetFileInformationByHandle(itself.Get(), &information)) return std::nullopt;
  Entry followed(widePath, 0);
  if (!followed.Valid()) return FileLocation{.isLink = true, .finalPath = {}};  // a link that leads nowhere
  const std::optional<std::wstring> finalPath = FinalPathOf(followed.Get());
  if (!finalPath) return FileLocation{.isLink = false, .finalPath = {}};  // nowhere it can name
  return FileLocation{.isLink = (information.dwFileAttributes & FILE_ATTRIBUTE_REPARSE_POINT) != 0,
                      .finalPath = WithoutExtendedPrefix(Narrow(*finalPath))};
}

}  // namespace platform::win32
