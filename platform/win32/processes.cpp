#include "platform/win32/processes.h"

#include <windows.h>

#include <utility>
#include <vector>

#include "platform/win32/text.h"
#include "platform/win32/window_procedure.h"

namespace platform::win32 {
namespace {

constexpr wchar_t kNotifyClass[] = L"IlvoProcessEnd";
// Posted to the message-only window; lParam is the process handle watched.
constexpr UINT kProcessEnded = WM_APP + 0x3B0;

HANDLE AsHandle(std::uintptr_t process) { return reinterpret_cast<HANDLE>(process); }

}  // namespace

// The watches of one thread: a message-only window that the pool's callbacks
// post to, and whose procedure tells each watcher on that thread.
class ExitNotifier {
 public:
  ExitNotifier() {
    RegisterWindowClass(kNotifyClass, WindowProcedure<ExitNotifier>, 0, nullptr);
    CreateWindowExW(0, kNotifyClass, L"", 0, 0, 0, 0, 0, HWND_MESSAGE, nullptr, GetModuleHandleW(nullptr), this);
  }
  ExitNotifier(const ExitNotifier&) = delete;
  ExitNotifier& operator=(const ExitNotifier&) = delete;
  ~ExitNotifier() {
    while (!watches_.empty()) End(watches_.begin()->first);
  }

  bool Watch(std::uintptr_t process, std::function<void(bool ended)> onEnd) {
    if (!window_.Get() || watches_.count(process) != 0) return false;
    auto watch = std::make_unique<Watched>(Watched{window_.Get(), process, nullptr, std::move(onEnd)});
    if (!RegisterWaitForSingleObject(&watch->wait, AsHandle(process), Posted, watch.get(), INFINITE,
                                     WT_EXECUTEONLYONCE)) {
      return false;
    }
    watches_.emplace(process, std::move(watch));
    return true;
  }

  void End(std::uintptr_t process) {
    const auto found = watches_.find(process);
    if (found == watches_.end()) return;
    // Waits for a callback under way, so that nothing posts for a watch gone.
    UnregisterWaitEx(found->second->wait, INVALID_HANDLE_VALUE);
    watches_.erase(found);
  }

  LRESULT OnMessage(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
    if (message != kProcessEnded) return DefWindowProcW(window, message, wParam, lParam);
    const auto found = watches_.find(static_cast<std::uintptr_t>(lParam));
    if (found == watches_.end() || !found->second->onEnd) return 0;  // closed meanwhile
    // Told once: the watcher may close the process, and with it this watch.
    const std::function<void(bool)> onEnd = std::exchange(found->second->onEnd, nullptr);
    onEnd(true);
    return 0;
  }
  void OnAttached(HWND window) noexcept { window_.Attach(window); }
  void OnDetached() noexcept { window_.Forget(); }

 private:
  struct Watched {
    HWND notify = nullptr;  // where the pool's callback posts
    std::uintptr_t process = 0;
    HANDLE wait = nullptr;  // the registered wait, ended by End
    std::function<void(bool)> onEnd;
  };

  // On a thread of the pool: only post, the watching thread does the rest.
  static void CALLBACK Posted(void* context, BOOLEAN) {
    const Watched& watch = *static_cast<const Watched*>(context);
    PostMessageW(watch.notify, kProcessEnded, 0, static_cast<LPARAM>(watch.process));
  }

  OwnedWindow window_;
  // By process handle; each Watched stays where it is while the pool may post for it.
  std::map<std::uintptr_t, std::unique_ptr<Watched>> watches_;
};

// A job that ends every process in it once its last handle closes: when
// this service goes, or when the program ends however it ends.
KernelHandle MakeKillOnCloseJob() {
  KernelHandle job(CreateJobObjectW(nullptr, nullptr));
  JOBOBJECT_EXTENDED_LIMIT_INFORMATION limits{};
  limits.BasicLimitInformation.LimitFlags = JOB_OBJECT_LIMIT_KILL_ON_JOB_CLOSE;
  if (job && !SetInformationJobObject(job.Get(), JobObjectExtendedLimitInformation, &limits, sizeof limits)) {
    job.Reset();
  }
  return job;
}

// NUL, opened to be inherited as a standard handle.
KernelHandle InheritableNul(DWORD access) {
  SECURITY_ATTRIBUTES inherit{sizeof inherit, nullptr, TRUE};
  return KernelHandle(NoneIfInvalid(CreateFileW(L"NUL", access, FILE_SHARE_READ | FILE_SHARE_WRITE, &inherit,
                                                OPEN_EXISTING, 0, nullptr)));
}

// The attribute list that lets a child inherit these handles and no other
// inheritable handle this program holds.
class InheritOnly {
 public:
  explicit InheritOnly(std::vector<HANDLE> handles) : handles_(std::move(handles)) {
    SIZE_T size = 0;
    InitializeProcThreadAttributeList(nullptr, 1, 0, &size);
    buffer_.resize(size);
    auto* list = reinterpret_cast<LPPROC_THREAD_ATTRIBUTE_LIST>(buffer_.data());
    if (!InitializeProcThreadAttributeList(list, 1, 0, &size)) return;
    list_ = list;
    if (!UpdateProcThreadAttribute(list_, 0, PROC_THREAD_ATTRIBUTE_HANDLE_LIST, handles_.data(),
                                   handles_.size() * sizeof(HANDLE), nullptr, nullptr)) {
      DeleteProcThreadAttributeList(std::exchange(list_, nullptr));
    }
  }
  InheritOnly(const InheritOnly&) = delete;
  InheritOnly& operator=(const InheritOnly&) = delete;
  ~InheritOnly() {
    if (list_ != nullptr) DeleteProcThreadAttributeList(list_);
  }
  LPPROC_THREAD_ATTRIBUTE_LIST List() const { return list_; }  // null when it could not be made

 private:
  std::vector<HANDLE> handles_;
  std::vector<unsigned char> buffer_;
  LPPROC_THREAD_ATTRIBUTE_LIST list_ = nullptr;
};

Processes::Processes() : job_(MakeKillOnCloseJob()) {}

Processes::~Processes() {
  notifier_.reset();  // no watch may outlive the handles it waits on
}

std::optional<std::uint32_t> Processes::StartHidden(const std::string& applicationPath,
                                                    const std::string& commandLine) {
  if (!job_) return std::nullopt;  // never run one that could outlive the program
  const std::wstring application = Widen(applicationPath);
  std::wstring line = Widen(commandLine);
  std::vector<wchar_t> mutableLine(line.begin(), line.end());  // CreateProcessW may write to it
  mutableLine.push_back(L'\0');

  const KernelHandle input = InheritableNul(GENERIC_READ);
  const KernelHandle output = InheritableNul(GENERIC_WRITE);
  if (!input || !output) return std::nullopt;
  const InheritOnly inherited({input.Get(), output.Get()});
  if (inherited.List() == nullptr) return std::nullopt;

  STARTUPINFOEXW startup{};
  startup.StartupInfo.cb = sizeof startup;
  startup.StartupInfo.dwFlags = STARTF_USESHOWWINDOW | STARTF_USESTDHANDLES;
  startup.StartupInfo.wShowWindow = SW_HIDE;
  startup.StartupInfo.hStdInput = input.Get();
  startup.StartupInfo.hStdOutput = output.Get();
  startup.StartupInfo.hStdError = output.Get();
  startup.lpAttributeList = inherited.List();
  PROCESS_INFORMATION info{};
  // No console at all: a question to the user reads the end of its input
  // at once, and nothing reaches the caller's console or redirected output.
  // Suspended until it is in the job. Breaking away from a job this program
  // may be in lets Windows without nested jobs take it into ours.
  const DWORD flags = DETACHED_PROCESS | CREATE_SUSPENDED | EXTENDED_STARTUPINFO_PRESENT;
  const auto create = [&](DWORD extra) {
    return CreateProcessW(application.c_str(), mutableLine.data(), nullptr, nullptr, TRUE, flags | extra, nullptr,
                          nullptr, &startup.StartupInfo, &info) != 0;
  };
  if (!create(CREATE_BREAKAWAY_FROM_JOB) && !create(0)) return std::nullopt;
  KernelHandle process(info.hProcess);
  const KernelHandle thread(info.hThread);
  if (!AssignProcessToJobObject(job_.Get(), process.Get()) || ResumeThread(thread.Get()) == static_cast<DWORD>(-1)) {
    TerminateProcess(process.Get(), 1);
    return std::nullopt;
  }
  if (auto old = started_.find(info.dwProcessId); old != started_.end()) {
    Close(reinterpret_cast<std::uintptr_t>(old->second.Get()));
  }
  started_[info.dwProcessId] = std::move(process);
  return info.dwProcessId;
}

std::uintptr_t Processes::Open(std::uint32_t processId) {
  const auto started = started_.find(processId);
  return started == started_.end() ? 0 : reinterpret_cast<std::uintptr_t>(started->second.Get());
}

bool Processes::WatchForExit(std::uintptr_t process, std::function<void(bool ended)> onEnd) {
  if (process == 0) return false;
  if (!notifier_) notifier_ = std::make_unique<ExitNotifier>();
  return notifier_->Watch(process, std::move(onEnd));
}

std::optional<std::uint32_t> Processes::ExitCode(std::uintptr_t process) {
  DWORD code = 0;
  if (process == 0 || !GetExitCodeProcess(AsHandle(process), &code)) return std::nullopt;
  return code;
}

void Processes::Close(std::uintptr_t process) {
  if (notifier_) notifier_->End(process);
  std::erase_if(started_, [process](const auto& started) {
    return reinterpret_cast<std::uintptr_t>(started.second.Get()) == process;
  });
}

}  // namespace platform::win32
