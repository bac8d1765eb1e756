#include "platform/win32/file_system.h"

#include <windows.h>

#include <algorithm>
#include <string_view>

#include "platform/win32/text.h"
#include "platform/win32/unique_handle.h"

// windows.h maps these names to their A/W forms; the service keeps its own.
#undef DeleteFile

namespace platform::win32 {
namespace {

bool Matches(DWORD attributes, SearchAttributes wanted) {
  if ((attributes & (FILE_ATTRIBUTE_HIDDEN | FILE_ATTRIBUTE_SYSTEM)) != 0) return false;
  if ((attributes & FILE_ATTRIBUTE_DIRECTORY) != 0) return wanted == SearchAttributes::Folders;
  return true;
}

void CloseSearch(HANDLE search) { FindClose(search); }
// A directory search, ended when it goes out of scope.
using Search = UniqueHandle<HANDLE, &CloseSearch>;

// The file or folder itself, opened only to ask about it.
KernelHandle OpenEntry(const std::wstring& path, DWORD flags) {
  return KernelHandle(NoneIfInvalid(CreateFileW(path.c_str(), 0, FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE,
                                                nullptr, OPEN_EXISTING, FILE_FLAG_BACKUP_SEMANTICS | flags, nullptr)));
}

std::optional<std::wstring> FinalPathOf(HANDLE handle, DWORD volumeName) {
  std::wstring buffer(MAX_PATH, L'\0');
  for (;;) {
    const DWORD length = GetFinalPathNameByHandleW(handle, buffer.data(), static_cast<DWORD>(buffer.size()),
                                                   FILE_NAME_NORMALIZED | volumeName);
    if (length == 0) return std::nullopt;
    if (length < buffer.size()) {
      buffer.resize(length);
      return buffer;
    }
    buffer.resize(length + 1);  // too small: length is the size needed
  }
}

// FILE_ID_INFO and its class (Windows 8 on): the headers for the oldest
// Windows the program runs on do not name them; there the call fails and
// the 64-bit file index serves.
struct FileIdInformation {
  ULONGLONG volumeSerialNumber;
  BYTE identifier[16];
};
constexpr auto kFileIdInfo = static_cast<FILE_INFO_BY_HANDLE_CLASS>(18);

std::optional<FileIdentity> IdentityOf(HANDLE handle) {
  FileIdInformation id{};
  if (GetFileInformationByHandleEx(handle, kFileIdInfo, &id, sizeof id)) {
    std::uint64_t high = 0;
    std::uint64_t low = 0;
    for (int i = 0; i < 8; ++i) {
      low |= static_cast<std::uint64_t>(id.identifier[i]) << (8 * i);
      high |= static_cast<std::uint64_t>(id.identifier[8 + i]) << (8 * i);
    }
    return FileIdentity{id.volumeSerialNumber, high, low};
  }
  BY_HANDLE_FILE_INFORMATION information{};
  if (!GetFileInformationByHandle(handle, &information)) return std::nullopt;
  return FileIdentity{information.dwVolumeSerialNumber, 0,
                      (static_cast<std::uint64_t>(information.nFileIndexHigh) << 32) | information.nFileIndexLow};
}

// The folder that holds what the handle names, found through the final path
// by drive letter, or else by volume name (a volume mounted only into a
// folder has no drive letter); nothing when neither can be had.
std::optional<FileIdentity> HolderOf(HANDLE handle) {
  for (const DWORD volumeName : {static_cast<DWORD>(VOLUME_NAME_DOS), static_cast<DWORD>(VOLUME_NAME_GUID)}) {
    const std::optional<std::wstring> finalPath = FinalPathOf(handle, volumeName);
    if (!finalPath) continue;
    const std::size_t slash = finalPath->find_last_of(L'\\');
    if (slash == std::wstring::npos || slash + 1 == finalPath->size()) return std::nullopt;  // a volume's root
    // A root keeps its backslash ("\\?\C:\"), a folder below it does not.
    std::wstring holder = finalPath->substr(0, slash);
    if (holder.find(L'\\', 4) == std::wstring::npos) holder += L'\\';
    const KernelHandle folder = OpenEntry(holder, 0);
    return folder ? IdentityOf(folder.Get()) : std::nullopt;
  }
  return std::nullopt;
}

// The text as the export writes it: ANSI when the code page holds all of it,
// else UTF-16LE with a byte-order mark.
std::string EncodeText(const std::string& utf8) {
  if (std::optional<std::string> ansi = ToAnsiExactly(utf8)) return *ansi;
  const std::wstring wide = Widen(utf8);
  std::string bytes = "\xFF\xFE";
  for (const wchar_t unit : wide) {
    bytes += static_cast<char>(unit & 0xFF);
    bytes += static_cast<char>((unit >> 8) & 0xFF);
  }
  return bytes;
}

constexpr DWORD kSharing = FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE;

bool Has(DWORD attributes, DWORD flag) { return (attributes & flag) != 0; }

bool IsMissing(DWORD error) { return error == ERROR_FILE_NOT_FOUND || error == ERROR_PATH_NOT_FOUND; }

// The part of the attributes that SetFileAttributesW takes.
DWORD Settable(DWORD attributes) {
  constexpr DWORD kSettable = FILE_ATTRIBUTE_READONLY | FILE_ATTRIBUTE_ARCHIVE | FILE_ATTRIBUTE_HIDDEN |
                              FILE_ATTRIBUTE_SYSTEM | FILE_ATTRIBUTE_NOT_CONTENT_INDEXED | FILE_ATTRIBUTE_OFFLINE |
                              FILE_ATTRIBUTE_TEMPORARY;
  const DWORD kept = attributes & kSettable;
  return kept == 0 ? FILE_ATTRIBUTE_NORMAL : kept;
}

DWORD WritableAttributes(DWORD attributes) { return Settable(attributes & ~FILE_ATTRIBUTE_READONLY); }

// Clears read-only on a link itself, through a handle of the link, never
// its target's.
void ClearLinkReadOnly(const std::wstring& path, DWORD attributes) {
  const KernelHandle link(NoneIfInvalid(CreateFileW(path.c_str(), FILE_WRITE_ATTRIBUTES, kSharing, nullptr,
                                                    OPEN_EXISTING,
                                                    FILE_FLAG_BACKUP_SEMANTICS | FILE_FLAG_OPEN_REPARSE_POINT, nullptr)));
  if (!link) return;
  FILE_BASIC_INFO basic{};
  basic.FileAttributes = WritableAttributes(attributes);
  SetFileInformationByHandle(link.Get(), FileBasicInfo, &basic, sizeof basic);
}

// Whether the link itself, not what it leads to, is what a call on its path
// acts on. Wine shows a Unix symbolic link to a folder as a reparse point
// but opens, and RemoveDirectoryW removes, the folder it leads to.
bool OpensItself(const std::wstring& path) {
  const KernelHandle itself = OpenEntry(path, FILE_FLAG_OPEN_REPARSE_POINT);
  if (!itself) return false;
  const KernelHandle followed = OpenEntry(path, 0);
  return !followed || IdentityOf(itself.Get()) != IdentityOf(followed.Get());
}

// The entries of one folder, "." and ".." left out, by ordinal name; nothing
// when the folder cannot be searched.
std::optional<std::vector<WIN32_FIND_DATAW>> FolderContents(const std::wstring& folder) {
  std::vector<WIN32_FIND_DATAW> contents;
  WIN32_FIND_DATAW found{};
  const Search search(NoneIfInvalid(
      FindFirstFileExW((folder + L"\\*").c_str(), FindExInfoStandard, &found, FindExSearchNameMatch, nullptr, 0)));
  if (!search) {
    // A drive root has no "." entry: empty, it has no match at all.
    if (GetLastError() == ERROR_FILE_NOT_FOUND) return contents;
    return std::nullopt;
  }
  do {
    const std::wstring_view name = found.cFileName;
    if (name != L"." && name != L"..") contents.push_back(found);
  } while (FindNextFileW(search.Get(), &found));
  if (GetLastError() != ERROR_NO_MORE_FILES) return std::nullopt;
  std::sort(contents.begin(), contents.end(), [](const WIN32_FIND_DATAW& a, const WIN32_FIND_DATAW& b) {
    return std::wstring_view(a.cFileName) < std::wstring_view(b.cFileName);
  });
  return contents;
}

// Removes the entry whose own attributes are given and, for a folder that
// is not a link, all it holds; goes on past what it cannot remove.
bool RemoveEntry(const std::wstring& path, DWORD attributes) {
  const bool folder = Has(attributes, FILE_ATTRIBUTE_DIRECTORY);
  const auto remove = [&] { return (folder ? RemoveDirectoryW(path.c_str()) : DeleteFileW(path.c_str())) != 0; };
  if (Has(attributes, FILE_ATTRIBUTE_REPARSE_POINT)) {
    if (!OpensItself(path)) return false;
    if (remove()) return true;
    if (!Has(attributes, FILE_ATTRIBUTE_READONLY)) return false;
    ClearLinkReadOnly(path, attributes);
    return remove();
  }
  if (Has(attributes, FILE_ATTRIBUTE_READONLY)) SetFileAttributesW(path.c_str(), WritableAttributes(attributes));
  bool all = true;
  if (folder) {
    // Unreadable, the folder's removal below fails and tells it.
    for (const WIN32_FIND_DATAW& entry : FolderContents(path).value_or(std::vector<WIN32_FIND_DATAW>{})) {
      all = RemoveEntry(path + L"\\" + entry.cFileName, entry.dwFileAttributes) && all;
    }
  }
  return remove() && all;
}

bool ListInto(const std::wstring& folder, const std::string& prefix, std::vector<TreeEntry>& entries) {
  const std::optional<std::vector<WIN32_FIND_DATAW>> contents = FolderContents(folder);
  if (!contents) return false;
  for (const WIN32_FIND_DATAW& found : *contents) {
    TreeEntry entry{.relativePath = prefix + Narrow(found.cFileName),
                    .isFolder = Has(found.dwFileAttributes, FILE_ATTRIBUTE_DIRECTORY),
                    .isLink = Has(found.dwFileAttributes, FILE_ATTRIBUTE_REPARSE_POINT)};
    const bool enter = entry.isFolder && !entry.isLink;
    const std::string below = entry.relativePath + "\\";
    entries.push_back(std::move(entry));
    if (enter && !ListInto(folder + L"\\" + found.cFileName, below, entries)) return false;
  }
  return true;
}

}  // namespace

std::string FileSystem::Dir(const std::string& path, SearchAttributes attributes) {
  const std::wstring wide = Widen(path);
  // A path without wildcards names one entry: its attributes tell as much
  // as a search, which under Wine costs a directory listing (milliseconds).
  if (wide.find_first_of(L"*?<>\"") == std::wstring::npos) {
    WIN32_FILE_ATTRIBUTE_DATA data{};
    if (!GetFileAttributesExW(wide.c_str(), GetFileExInfoStandard, &data) || !Matches(data.dwFileAttributes, attributes))
      return {};
    return Narrow(wide.substr(wide.find_last_of(L"\\/") + 1));
  }
  WIN32_FIND_DATAW found{};
  Search search(NoneIfInvalid(FindFirstFileW(wide.c_str(), &found)));
  if (!search) return {};
  do {
    if (Matches(found.dwFileAttributes, attributes)) return Narrow(found.cFileName);
  } while (FindNextFileW(search.Get(), &found));
  return {};
}

bool FileSystem::DeleteFile(const std::string& path) { return DeleteFileW(Widen(path).c_str()) != 0; }

bool FileSystem::RemoveFolder(const std::string& path) { return RemoveDirectoryW(Widen(path).c_str()) != 0; }

bool FileSystem::EntryExists(const std::string& path) {
  return GetFileAttributesW(Widen(path).c_str()) != INVALID_FILE_ATTRIBUTES;
}

std::optional<std::uint64_t> FileSystem::FileSize(const std::string& path) {
  WIN32_FILE_ATTRIBUTE_DATA data{};
  if (!GetFileAttributesExW(Widen(path).c_str(), GetFileExInfoStandard, &data)) return std::nullopt;
  return (static_cast<std::uint64_t>(data.nFileSizeHigh) << 32) | data.nFileSizeLow;
}

bool FileSystem::WriteText(const std::string& path, const std::vector<std::string>& lines) {
  std::string text;
  for (const std::string& line : lines) text += line + "\r\n";
  const std::string bytes = EncodeText(text);
  const std::wstring target = Widen(path);
  // Windows refuses to overwrite a read-only file; Wine, run as root, would not.
  const DWORD oldAttributes = GetFileAttributesW(target.c_str());
  if (oldAttributes != INVALID_FILE_ATTRIBUTES &&
      (oldAttributes & (FILE_ATTRIBUTE_READONLY | FILE_ATTRIBUTE_HIDDEN | FILE_ATTRIBUTE_SYSTEM |
                        FILE_ATTRIBUTE_DIRECTORY)) != 0) {
    return false;
  }
  KernelHandle file(NoneIfInvalid(
      CreateFileW(target.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, FILE_ATTRIBUTE_NORMAL, nullptr)));
  if (!file) return false;
  DWORD written = 0;
  const bool whole = bytes.empty() || (WriteFile(file.Get(), bytes.data(), static_cast<DWORD>(bytes.size()),
                                                 &written, nullptr) &&
                                       written == bytes.size());
  // A close that fails may have lost what the flush left.
  if (whole && FlushFileBuffers(file.Get()) && CloseHandle(file.Release())) return true;
  file.Reset();
  DeleteFileW(target.c_str());
  return false;
}

std::optional<FileLocation> FileSystem::Locate(const std::string& path) {
  const std::wstring widePath = Widen(path);
  const KernelHandle itself = OpenEntry(widePath, FILE_FLAG_OPEN_REPARSE_POINT);
  if (!itself) return std::nullopt;
  BY_HANDLE_FILE_INFORMATION information{};
  if (!GetFileInformationByHandle(itself.Get(), &information)) return std::nullopt;
  const KernelHandle followed = OpenEntry(widePath, 0);
  if (!followed) return FileLocation{.isLink = true, .identity = {}, .holder = {}};  // a link that leads nowhere
  return FileLocation{.isLink = (information.dwFileAttributes & FILE_ATTRIBUTE_REPARSE_POINT) != 0,
                      .identity = IdentityOf(followed.Get()),
                      .holder = HolderOf(followed.Get())};
}

bool FileSystem::CreateFolder(const std::string& path) {
  return CreateDirectoryW(Widen(path).c_str(), nullptr) != 0;
}

bool FileSystem::RemoveTree(const std::string& path) {
  const std::wstring wide = Widen(path);
  const DWORD attributes = GetFileAttributesW(wide.c_str());
  if (attributes == INVALID_FILE_ATTRIBUTES) return IsMissing(GetLastError());
  RemoveEntry(wide, attributes);
  return GetFileAttributesW(wide.c_str()) == INVALID_FILE_ATTRIBUTES && IsMissing(GetLastError());
}

std::optional<std::vector<TreeEntry>> FileSystem::ListTree(const std::string& folder) {
  std::vector<TreeEntry> entries;
  if (!ListInto(Widen(folder), "", entries)) return std::nullopt;
  return entries;
}

bool FileSystem::FlushFile(const std::string& path) {
  const std::wstring wide = Widen(path);
  const auto open = [&] {
    return KernelHandle(NoneIfInvalid(
        CreateFileW(wide.c_str(), GENERIC_WRITE, kSharing, nullptr, OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr)));
  };
  KernelHandle file = open();
  const DWORD attributes = GetFileAttributesW(wide.c_str());
  if (!file && attributes != INVALID_FILE_ATTRIBUTES && !Has(attributes, FILE_ATTRIBUTE_DIRECTORY) &&
      Has(attributes, FILE_ATTRIBUTE_READONLY) &&
      SetFileAttributesW(wide.c_str(), WritableAttributes(attributes))) {
    // The handle keeps its write access once the attribute is back.
    file = open();
    SetFileAttributesW(wide.c_str(), Settable(attributes));
  }
  return file && FlushFileBuffers(file.Get()) != 0;
}

bool FileSystem::Rename(const std::string& from, const std::string& to, bool replace) {
  const std::wstring target = Widen(to);
  const DWORD attributes = GetFileAttributesW(target.c_str());
  if (attributes != INVALID_FILE_ATTRIBUTES &&
      (!replace || Has(attributes, FILE_ATTRIBUTE_READONLY) || Has(attributes, FILE_ATTRIBUTE_DIRECTORY))) {
    return false;
  }
  const DWORD flags = MOVEFILE_WRITE_THROUGH | (replace ? MOVEFILE_REPLACE_EXISTING : 0);
  return MoveFileExW(Widen(from).c_str(), target.c_str(), flags) != 0;
}

}  // namespace platform::win32
