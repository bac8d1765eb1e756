// A window of the installer's client size and frame style and nothing else:
// the yardstick for how long the installer takes to show its window.
// Started with "/extractor <program>" and posted kShowMessage, it starts that
// program as the installer starts its extractor and, on the same signal, its
// end, does what the installer cannot skip before its success message, in
// the fewest calls: it writes the voice's record and its entry in the list of
// installed programs, reads every value back, and shows the message. The
// benchmark removes the record again.
// Started with "/structure" it also wears the installer's icon and has seven
// empty child windows where the installer has its controls: what that
// structure costs the window system at start, with nothing drawn in it.
#include <windows.h>

#include <string>
#include <string_view>
#include <utility>
#include <vector>

#include "bench/reference_window.h"
#include "installer/voice_identity.h"
#include "platform/win32/step_trace.h"

namespace {

namespace record = installer::record;

struct Value {
  std::wstring name;
  DWORD type;
  std::wstring text;  // REG_SZ
  DWORD number;       // REG_DWORD
};

struct KeyValues {
  std::wstring key;
  std::vector<Value> values;
};

std::wstring Wide(std::string_view text) { return std::wstring(text.begin(), text.end()); }

std::wstring ProgramFolder() {
  wchar_t path[MAX_PATH];
  const DWORD length = GetModuleFileNameW(nullptr, path, MAX_PATH);
  std::wstring folder(path, length);
  return folder.substr(0, folder.find_last_of(L'\\'));
}

// The installer's record: the same keys, names, types and lengths of text.
std::vector<KeyValues> Record() {
  using Voice = installer::VoiceIdentity;
  const std::wstring folder = ProgramFolder();
  const std::wstring program = folder + L"\\IlvoInstaller.exe";
  const std::wstring uninstall = L"\"" + program + L"\" /uninstall";
  const std::wstring name = Wide(record::NameText(Voice::kVoiceName));
  return {
      {Wide(record::kParentKey), {{Wide(record::kVoiceDir), REG_SZ, folder, 0}}},
      {Wide(record::VoiceKey(Voice::kVoiceId)),
       {{Wide(record::kInstalled), REG_DWORD, {}, 1},
        {Wide(record::kName), REG_SZ, name, 0},
        {Wide(record::kTime), REG_SZ, Wide(record::kTimeText), 0},
        {Wide(record::kDrp), REG_SZ, Wide(Voice::kDrpValue), 0},
        {Wide(record::kInstallDir), REG_SZ, folder, 0}}},
      {Wide(record::UninstallKey(Voice::kVoiceName, Voice::kVoiceId)),
       {{L"DisplayName", REG_SZ, name, 0},
        {L"DisplayIcon", REG_SZ, program, 0},
        {L"DisplayVersion", REG_SZ, L"1.0.0.0", 0},
        {L"Publisher", REG_SZ, L"Ilvo", 0},
        {L"InstallLocation", REG_SZ, folder, 0},
        {L"UninstallString", REG_SZ, uninstall, 0},
        {L"QuietUninstallString", REG_SZ, uninstall + L" /quiet", 0},
        {L"EstimatedSize", REG_DWORD, {}, 1},
        {L"NoModify", REG_DWORD, {}, 1},
        {L"NoRepair", REG_DWORD, {}, 1}}},
  };
}

// One create a key, one write and one read a value, in the 32-bit view.
bool WriteAndReadBack(const std::vector<KeyValues>& keys) {
  bool same = true;
  for (const KeyValues& key : keys) {
    HKEY handle = nullptr;
    if (RegCreateKeyExW(HKEY_LOCAL_MACHINE, key.key.c_str(), 0, nullptr, 0, KEY_SET_VALUE | KEY_QUERY_VALUE | KEY_WOW64_32KEY,
                        nullptr, &handle, nullptr) != ERROR_SUCCESS)
      return false;
    for (const Value& value : key.values) {
      const auto* data = value.type == REG_SZ ? reinterpret_cast<const BYTE*>(value.text.c_str())
                                              : reinterpret_cast<const BYTE*>(&value.number);
      const DWORD size = value.type == REG_SZ ? static_cast<DWORD>((value.text.size() + 1) * sizeof(wchar_t))
                                              : static_cast<DWORD>(sizeof value.number);
      same &= RegSetValueExW(handle, value.name.c_str(), 0, value.type, data, size) == ERROR_SUCCESS;
    }
    for (const Value& value : key.values) {
      BYTE stored[1024];
      DWORD type = 0;
      DWORD size = sizeof stored;
      same &= RegQueryValueExW(handle, value.name.c_str(), nullptr, &type, stored, &size) == ERROR_SUCCESS &&
              type == value.type;
    }
    RegCloseKey(handle);
  }
  return same;
}

constexpr wchar_t kClassName[] = L"IlvoBareWindow";
constexpr UINT kShowMessage = WM_APP + 1;  // the benchmark posts the same number
constexpr UINT kExtractorEnded = WM_APP + 2;

// The extractor whose end is the signal, watched as the installer watches it:
// a one-shot wait of the pool that posts to the window.
struct Extraction {
  std::wstring program;  // none: the message comes at the request itself
  HWND window = nullptr;
  HANDLE process = nullptr;
  HANDLE wait = nullptr;
};

void CALLBACK PostEnd(void* context, BOOLEAN) {
  PostMessageW(static_cast<const Extraction*>(context)->window, kExtractorEnded, 0, 0);
}

// Hidden and with no console, as the installer starts it.
bool Start(Extraction& extraction) {
  STARTUPINFOW startup{};
  startup.cb = sizeof startup;
  startup.dwFlags = STARTF_USESHOWWINDOW;
  startup.wShowWindow = SW_HIDE;
  PROCESS_INFORMATION info{};
  std::wstring line = L"\"" + extraction.program + L"\"";
  if (!CreateProcessW(extraction.program.c_str(), line.data(), nullptr, nullptr, FALSE, DETACHED_PROCESS, nullptr,
                      nullptr, &startup, &info))
    return false;
  CloseHandle(info.hThread);
  extraction.process = info.hProcess;
  return RegisterWaitForSingleObject(&extraction.wait, extraction.process, PostEnd, &extraction, INFINITE,
                                     WT_EXECUTEONLYONCE) != FALSE;
}

void ShowEndMessage(HWND window, Extraction& extraction) {
  const platform::win32::StepTrace trace;
  trace.Mark("extractor end told");
  if (extraction.process) {
    UnregisterWaitEx(extraction.wait, INVALID_HANDLE_VALUE);
    DWORD code = 0;
    GetExitCodeProcess(extraction.process, &code);
    CloseHandle(extraction.process);
    extraction.process = nullptr;
  }
  const bool written = WriteAndReadBack(Record());
  trace.Mark("record written and read back");
  if (written)
    MessageBoxW(window, L"音源[安装]成功！", L"提示", MB_OK);
  else
    MessageBoxW(window, L"无法写入注册表", L"错误", MB_OK | MB_ICONERROR);
}

LRESULT CALLBACK WindowProcedure(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
  if (message == WM_NCCREATE) {
    auto* extraction = static_cast<Extraction*>(reinterpret_cast<const CREATESTRUCTW*>(lParam)->lpCreateParams);
    extraction->window = window;
    SetWindowLongPtrW(window, GWLP_USERDATA, reinterpret_cast<LONG_PTR>(extraction));
  }
  auto* extraction = reinterpret_cast<Extraction*>(GetWindowLongPtrW(window, GWLP_USERDATA));
  if (message == WM_DESTROY) {
    PostQuitMessage(0);
    return 0;
  }
  if (message == kShowMessage && extraction) {
    if (extraction->program.empty() || !Start(*extraction)) ShowEndMessage(window, *extraction);
    return 0;
  }
  if (message == kExtractorEnded && extraction) {
    ShowEndMessage(window, *extraction);
    return 0;
  }
  return DefWindowProcW(window, message, wParam, lParam);
}

constexpr wchar_t kChildClass[] = L"IlvoBareChild";
constexpr int kChildren = 7;

class MainWindow {
 public:
  MainWindow(HINSTANCE instance, Extraction& extraction)
      : window_(bench::CreateReferenceWindow(instance, kClassName, L"Bare", WindowProcedure, &extraction)) {}

  // The installer's icon in both sizes and its seven control windows, empty.
  void AddInstallerStructure(HINSTANCE instance) {
    for (const auto& [which, metric] : {std::pair{ICON_BIG, SM_CXICON}, std::pair{ICON_SMALL, SM_CXSMICON}}) {
      const int size = GetSystemMetrics(metric);
      icons_.push_back(static_cast<HICON>(LoadImageW(instance, MAKEINTRESOURCEW(1), IMAGE_ICON, size, size, 0)));
      SendMessageW(window_, WM_SETICON, which, reinterpret_cast<LPARAM>(icons_.back()));
    }
    WNDCLASSW childClass{};
    childClass.lpfnWndProc = DefWindowProcW;
    childClass.hInstance = instance;
    childClass.lpszClassName = kChildClass;
    RegisterClassW(&childClass);
    for (int i = 0; i < kChildren; ++i) {
      CreateWindowExW(0, kChildClass, L"", WS_CHILD | WS_VISIBLE | WS_CLIPSIBLINGS, 8 + 20 * i, 16, 16, 16, window_,
                      nullptr, instance, nullptr);
    }
  }
  MainWindow(const MainWindow&) = delete;
  MainWindow& operator=(const MainWindow&) = delete;
  ~MainWindow() {
    if (IsWindow(window_)) DestroyWindow(window_);
    for (HICON icon : icons_) DestroyIcon(icon);
  }

  bool Created() const { return window_ != nullptr; }
  void Show(int how) const {
    ShowWindow(window_, how);
    UpdateWindow(window_);
  }

 private:
  HWND window_ = nullptr;
  std::vector<HICON> icons_;
};

}  // namespace

int WINAPI wWinMain(HINSTANCE instance, HINSTANCE, PWSTR arguments, int show) {
  const platform::win32::StepTrace trace;
  trace.Mark("main entered");
  const std::wstring_view options(arguments);
  constexpr std::wstring_view kExtractor = L"/extractor ";
  Extraction extraction;
  if (options.starts_with(kExtractor)) extraction.program = options.substr(kExtractor.size());
  MainWindow window(instance, extraction);
  if (!window.Created()) return 1;
  if (options == L"/structure") window.AddInstallerStructure(instance);
  trace.Mark("window created");
  window.Show(show);
  trace.Mark("window shown");
  return bench::RunMessageLoop();
}
