#include "fake_services.h"

#include <algorithm>
#include <cctype>
#include <cstdlib>
#include <utility>

namespace fakes {
namespace {

// Windows compares paths without regard to case and reads a run of
// backslashes inside a path as one.
std::string KeyOf(const std::string& path) {
  std::string key;
  for (std::size_t i = 0; i < path.size(); ++i) {
    const char c = path[i];
    if (c == '\\' && i > 1 && path[i - 1] == '\\') continue;
    key += static_cast<char>(std::toupper(static_cast<unsigned char>(c)));
  }
  while (key.size() > 3 && key.back() == '\\') key.pop_back();
  return key;
}

std::string ParentOf(const std::string& key) {
  const std::size_t slash = key.find_last_of('\\');
  return slash == std::string::npos ? std::string{} : key.substr(0, slash);
}

std::string NameOf(const std::string& path) {
  const std::size_t slash = path.find_last_of('\\');
  return slash == std::string::npos ? path : path.substr(slash + 1);
}

bool IsDrive(const std::string& key) { return key.size() == 2 && key[1] == ':'; }

bool InSet(const std::set<std::string>& paths, const std::string& key) {
  return std::any_of(paths.begin(), paths.end(), [&](const std::string& path) { return KeyOf(path) == key; });
}

void Note(CallLog* log, std::string line) {
  if (log != nullptr) log->push_back(std::move(line));
}

}  // namespace

// ---- FakeRegistry ----

long FakeRegistry::OpenKey(const std::string& path) {
  Note(log, "OpenKey " + path);
  if (failReads) return kErrorAccessDenied;
  return HasKey(path) ? 0 : kErrorFileNotFound;
}

bool FakeRegistry::Closed(const std::string& path) const {
  return !closedKey.empty() && (KeyOf(path) + "\\").rfind(KeyOf(closedKey) + "\\", 0) == 0;
}

long FakeRegistry::CreateKey(const std::string& path) {
  Note(log, "CreateKey " + path);
  if (failWrites || Closed(path)) return kErrorAccessDenied;
  for (std::string key = KeyOf(path); !key.empty(); key = ParentOf(key)) keys_[key];
  return 0;
}

long FakeRegistry::Write(const std::string& path, const std::string& name, Value value) {
  if (failWrites || Closed(path)) return kErrorAccessDenied;
  for (std::string key = KeyOf(path); !key.empty(); key = ParentOf(key)) keys_[key];
  auto& values = keys_[KeyOf(path)].values;
  auto same = std::find_if(values.begin(), values.end(), [&](const auto& v) { return KeyOf(v.first) == KeyOf(name); });
  if (same != values.end()) {
    same->second = std::move(value);
  } else {
    values.emplace_back(name, std::move(value));
  }
  return 0;
}

long FakeRegistry::SetString(const std::string& path, const std::string& name, const std::string& value) {
  Note(log, "SetString " + path + " " + name + "=" + value);
  if (refuseValues) return kErrorAccessDenied;
  return Write(path, name, Value{1, storedText ? storedText(value) : value, 0});
}

long FakeRegistry::SetDword(const std::string& path, const std::string& name, std::uint32_t value) {
  Note(log, "SetDword " + path + " " + name + "=" + std::to_string(value));
  if (refuseValues) return kErrorAccessDenied;
  return Write(path, name, Value{4, {}, value});
}

std::optional<platform::RegistryValue> FakeRegistry::ReadValue(const std::string& path, const std::string& name) {
  Note(log, "ReadValue " + path + " " + name);
  const Value* value = failReads ? nullptr : Find(path, name);
  if (value == nullptr) return std::nullopt;
  return value->type == 4 ? platform::RegistryValue::Dword(value->dword) : platform::RegistryValue::String(value->text);
}

long FakeRegistry::DeleteKey(const std::string& path) {
  Note(log, "DeleteKey " + path);
  if (failWrites || Closed(path)) return kErrorAccessDenied;
  const std::string key = KeyOf(path);
  auto found = keys_.find(key);
  if (found == keys_.end()) return kErrorFileNotFound;
  auto child = keys_.lower_bound(key + "\\");
  if (child != keys_.end() && child->first.rfind(key + "\\", 0) == 0) return kErrorAccessDenied;  // has subkeys
  keys_.erase(found);
  return 0;
}

long FakeRegistry::DeleteKeyTree(const std::string& path) {
  Note(log, "DeleteKeyTree " + path);
  if (failWrites || treesStay || Closed(path)) return kErrorAccessDenied;
  const std::string key = KeyOf(path);
  if (keys_.count(key) == 0) return kErrorFileNotFound;
  std::erase_if(keys_, [&](const auto& entry) { return entry.first == key || entry.first.rfind(key + "\\", 0) == 0; });
  return 0;
}

long FakeRegistry::SetValues(const std::string& path, const std::vector<platform::ValueToStore>& values) {
  const long created = CreateKey(path);
  if (created != 0) return created;
  long result = 0;
  for (const platform::ValueToStore& value : values) {
    const long set = value.type == platform::kRegDword ? SetDword(path, value.name, value.number)
                                                       : SetString(path, value.name, value.text);
    if (result == 0) result = set;
  }
  return result;
}

std::vector<std::optional<platform::RegistryValue>> FakeRegistry::ReadValues(const std::string& path,
                                                                             const std::vector<std::string>& names) {
  std::vector<std::optional<platform::RegistryValue>> values;
  for (const std::string& name : names) values.push_back(ReadValue(path, name));
  return values;
}

bool FakeRegistry::HasKey(const std::string& path) const { return keys_.count(KeyOf(path)) != 0; }

const FakeRegistry::Value* FakeRegistry::Find(const std::string& path, const std::string& name) const {
  auto key = keys_.find(KeyOf(path));
  if (key == keys_.end()) return nullptr;
  for (const auto& [valueName, value] : key->second.values) {
    if (KeyOf(valueName) == KeyOf(name)) return &value;
  }
  return nullptr;
}

std::vector<std::string> FakeRegistry::ValueNames(const std::string& path) const {
  std::vector<std::string> names;
  auto key = keys_.find(KeyOf(path));
  if (key != keys_.end()) {
    for (const auto& value : key->second.values) names.push_back(value.first);
  }
  return names;
}

// ---- FakeFileSystem ----

void FakeFileSystem::AddFolder(const std::string& path, std::uint32_t attributes) {
  const std::string key = KeyOf(path);
  if (IsDrive(key) || key.empty()) return;
  if (const std::size_t slash = path.find_last_of('\\'); slash != std::string::npos) AddFolder(path.substr(0, slash));
  auto& stored = entries_[key];
  if (stored.path.empty()) stored.path = path;
  stored.entry.attributes = attributes | kFolder;
}

void FakeFileSystem::AddFile(const std::string& path, std::string content, std::uint32_t attributes) {
  AddFolder(path.substr(0, path.find_last_of('\\')));
  entries_[KeyOf(path)] = Stored{path, Entry{.attributes = attributes, .content = std::move(content), .inUse = false, .linkTarget = {}, .reparsePoint = false, .noFinalPath = false}};
}

void FakeFileSystem::MakeLink(const std::string& path, const std::string& target, bool reparsePoint) {
  Entry* entry = Get(path);
  if (entry == nullptr) throw std::logic_error("no entry to make a link: " + path);
  entry->linkTarget = target;
  entry->reparsePoint = reparsePoint;
}

bool FakeFileSystem::Exists(const std::string& path) const { return entries_.count(KeyOf(path)) != 0; }

FakeFileSystem::Entry* FakeFileSystem::Get(const std::string& path) {
  auto found = entries_.find(KeyOf(path));
  return found == entries_.end() ? nullptr : &found->second.entry;
}

const FakeFileSystem::Entry* FakeFileSystem::Get(const std::string& path) const {
  auto found = entries_.find(KeyOf(path));
  return found == entries_.end() ? nullptr : &found->second.entry;
}

std::vector<std::string> FakeFileSystem::Paths() const {
  std::vector<std::string> paths;
  for (const auto& [key, stored] : entries_) paths.push_back(stored.path);
  return paths;
}

bool FakeFileSystem::HasChildren(const std::string& key) const {
  auto child = entries_.lower_bound(key + "\\");
  return child != entries_.end() && child->first.rfind(key + "\\", 0) == 0;
}

std::string FakeFileSystem::Dir(const std::string& path, platform::SearchAttributes attributes) {
  Note(log, "Dir " + path);
  const Entry* entry = Get(path);
  if (entry == nullptr || (entry->attributes & (kHidden | kSystem)) != 0) return {};
  if ((entry->attributes & kFolder) != 0 && attributes != platform::SearchAttributes::Folders) return {};
  return NameOf(entries_.at(KeyOf(path)).path);
}

bool FakeFileSystem::DeleteFile(const std::string& path) {
  Note(log, "DeleteFile " + path);
  auto found = entries_.find(KeyOf(path));
  if (found == entries_.end()) return false;
  const Entry& entry = found->second.entry;
  if ((entry.attributes & (kFolder | kReadOnly)) != 0 || entry.inUse) return false;
  entries_.erase(found);
  return true;
}

bool FakeFileSystem::RemoveFolder(const std::string& path) {
  Note(log, "RemoveFolder " + path);
  const std::string key = KeyOf(path);
  auto found = entries_.find(key);
  if (found == entries_.end()) return false;
  const Entry& entry = found->second.entry;
  if ((entry.attributes & kFolder) == 0 || entry.inUse || HasChildren(key)) return false;
  entries_.erase(found);
  return true;
}

bool FakeFileSystem::EntryExists(const std::string& path) {
  Note(log, "EntryExists " + path);
  return Exists(path);
}

std::optional<std::uint64_t> FakeFileSystem::FileSize(const std::string& path) {
  const Entry* entry = Get(path);
  if (entry == nullptr || (entry->attributes & kFolder) != 0) return std::nullopt;
  return entry->content.size();
}

bool FakeFileSystem::WriteText(const std::string& path, const std::vector<std::string>& lines) {
  Note(log, "WriteText " + path);
  const std::string key = KeyOf(path);
  for (const auto& bad : unwritable) {
    if (KeyOf(bad) == key) return false;
  }
  const std::string parent = ParentOf(key);
  if (!IsDrive(parent)) {
    const Entry* folder = Get(parent);
    if (folder == nullptr || (folder->attributes & kFolder) == 0) return false;
  }
  if (const Entry* old = Get(path)) {
    if ((old->attributes & (kFolder | kReadOnly | kHidden | kSystem)) != 0 || old->inUse) return false;
  }
  std::string content;
  for (const std::string& line : lines) content += line + "\r\n";
  entries_[key] = Stored{path, Entry{.attributes = 0,
                                     .content = std::move(content),
                                     .inUse = false,
                                     .linkTarget = {},
                                     .reparsePoint = false,
                                     .noFinalPath = false}};
  return true;
}

bool FakeFileSystem::CreateFolder(const std::string& path) {
  Note(log, "CreateFolder " + path);
  const std::string key = KeyOf(path);
  if (Exists(path) || InSet(unwritable, key)) return false;
  const std::string parent = ParentOf(key);
  if (!IsDrive(parent)) {
    const Entry* folder = Get(parent);
    if (folder == nullptr || (folder->attributes & kFolder) == 0) return false;
  }
  entries_[key] = Stored{path, Entry{.attributes = kFolder, .content = {}, .inUse = false, .linkTarget = {}, .reparsePoint = false, .noFinalPath = false}};
  return true;
}

bool FakeFileSystem::RemoveTree(const std::string& path) {
  Note(log, "RemoveTree " + path);
  const std::string key = KeyOf(path);
  // Deepest first, so that a folder is empty by its turn; below a link is
  // only its view of the target, which goes with it.
  const auto end = entries_.lower_bound(key + "\\\xFF");
  std::vector<std::string> keys;
  for (auto it = entries_.lower_bound(key); it != end; ++it) {
    if (it->first == key || it->first.rfind(key + "\\", 0) == 0) keys.push_back(it->first);
  }
  for (auto it = keys.rbegin(); it != keys.rend(); ++it) {
    const Entry& entry = entries_.at(*it).entry;
    const bool link = !entry.linkTarget.empty();
    if (entry.inUse || ((entry.attributes & kFolder) != 0 && !link && HasChildren(*it))) continue;
    entries_.erase(*it);
  }
  return !Exists(path);
}

std::optional<std::vector<platform::TreeEntry>> FakeFileSystem::ListTree(const std::string& folder) {
  Note(log, "ListTree " + folder);
  const std::string key = KeyOf(folder);
  const Entry* top = Get(folder);
  if (top == nullptr || (top->attributes & kFolder) == 0 || InSet(unreadable, key)) return std::nullopt;
  std::vector<platform::TreeEntry> tree;
  std::string linkBelow;  // entries below a link are not entered
  for (auto it = entries_.lower_bound(key + "\\"); it != entries_.end() && it->first.rfind(key + "\\", 0) == 0; ++it) {
    if (!linkBelow.empty() && it->first.rfind(linkBelow + "\\", 0) == 0) continue;
    const Entry& entry = it->second.entry;
    const bool link = !entry.linkTarget.empty();
    if (link) linkBelow = it->first;
    tree.push_back({it->second.path.substr(key.size() + 1), (entry.attributes & kFolder) != 0, link});
  }
  return tree;
}

bool FakeFileSystem::FlushFile(const std::string& path) {
  Note(log, "FlushFile " + path);
  const Entry* entry = Get(path);
  return entry != nullptr && (entry->attributes & kFolder) == 0 && !InSet(unflushable, KeyOf(path));
}

bool FakeFileSystem::Rename(const std::string& from, const std::string& to, bool replace) {
  Note(log, std::string(replace ? "Rename+ " : "Rename ") + from + " -> " + to);
  const auto source = entries_.find(KeyOf(from));
  if (source == entries_.end() || (source->second.entry.attributes & kFolder) != 0 || source->second.entry.inUse) {
    return false;
  }
  const std::string target = KeyOf(to);
  if (!IsDrive(ParentOf(target))) {
    const Entry* folder = Get(ParentOf(target));
    if (folder == nullptr || (folder->attributes & kFolder) == 0) return false;
  }
  if (const Entry* old = Get(to)) {
    if (!replace || (old->attributes & (kFolder | kReadOnly)) != 0 || old->inUse) return false;
  }
  Entry moved = source->second.entry;
  entries_.erase(source);
  entries_[target] = Stored{to, std::move(moved)};
  return true;
}

std::optional<platform::FileLocation> FakeFileSystem::Locate(const std::string& path) {
  Note(log, "Locate " + path);
  const Entry* entry = Get(path);
  if (entry == nullptr) return std::nullopt;
  std::string resolved;
  std::size_t start = 0;
  while (start <= path.size()) {
    std::size_t end = path.find('\\', start);
    if (end == std::string::npos) end = path.size();
    if (end == start) {  // a doubled or trailing backslash
      start = end + 1;
      continue;
    }
    if (!resolved.empty()) resolved += '\\';
    resolved.append(path, start, end - start);
    if (const Entry* step = Get(resolved); step != nullptr && !step->linkTarget.empty()) resolved = step->linkTarget;
    start = end + 1;
  }
  // Identities from the resolved path: one entry, one identity, whatever
  // spelling led to it; the volume is the drive.
  const auto identityOf = [](const std::string& resolvedPath) {
    const std::string key = KeyOf(resolvedPath);
    return platform::FileIdentity{static_cast<std::uint64_t>(key.empty() ? 0 : key[0]), 0,
                                  static_cast<std::uint64_t>(std::hash<std::string>{}(key))};
  };
  std::optional<platform::FileIdentity> holder;
  if (!entry->noFinalPath) {
    if (const std::size_t slash = resolved.find_last_of('\\'); slash != std::string::npos) {
      holder = identityOf(resolved.substr(0, slash));
    }
  }
  return platform::FileLocation{.isLink = entry->reparsePoint, .identity = identityOf(resolved), .holder = holder};
}

// ---- FakeProcesses ----

std::optional<std::uint32_t> FakeProcesses::StartHidden(const std::string& applicationPath,
                                                        const std::string& commandLine) {
  Note(log, "StartHidden " + commandLine);
  if (startFails) return std::nullopt;
  starts.push_back({applicationPath, commandLine});
  if (onStart) onStart(starts.back());
  return nextProcessId;
}

std::uintptr_t FakeProcesses::Open(std::uint32_t processId) {
  Note(log, "OpenProcess " + std::to_string(processId));
  return openFails ? 0 : kHandle;
}

bool FakeProcesses::WatchForExit(std::uintptr_t process, std::function<void(bool ended)> onEnd) {
  if (process == 0 || watchFails) return false;
  Note(log, "WatchForExit");
  watch_ = std::move(onEnd);
  return true;
}

bool FakeProcesses::End() {
  ended_ = true;
  return Tell(true);
}

bool FakeProcesses::LoseWatch() { return Tell(false); }

bool FakeProcesses::Tell(bool ended) {
  if (!watch_) return false;
  Note(log, ended ? "Watched end told" : "Watch failed");
  std::exchange(watch_, nullptr)(ended);
  return true;
}

std::optional<std::uint32_t> FakeProcesses::ExitCode(std::uintptr_t process) {
  ++exitCodeCalls;
  Note(log, "ExitCode");
  if (process == 0) return std::nullopt;
  return ended_ ? exitCode : std::optional<std::uint32_t>{platform::kStillActive};
}

void FakeProcesses::Close(std::uintptr_t process) {
  Note(log, "CloseProcess");
  closed.push_back(process);
}

// ---- FakeApplication ----

std::string FakeApplication::Folder() {
  ++folderReads;
  return folder;
}

void FakeApplication::EndProgram() { std::abort(); }

void FakeApplication::RunMessageLoopUntil(const std::function<bool()>& done) {
  Note(log, "RunMessageLoop");
  while (!done() && deliverMessage && deliverMessage()) {
  }
}

int FakeApplication::MessageBox(const std::string& text, const std::string& title, platform::MessageButtons buttons,
                                platform::MessageIcon icon) {
  Note(log, "MessageBox " + title + ": " + text);
  boxes.push_back({text, title, buttons, icon});
  if (answers.empty()) return platform::kAnswerOk;
  const int answer = answers.front();
  answers.pop_front();
  return answer;
}

// ---- FakeServices ----

FakeServices::FakeServices() {
  registry.log = &log;
  files.log = &log;
  processes.log = &log;
  app.log = &log;
  app.deliverMessage = [this] { return processes.End(); };
}

}  // namespace fakes
