// A window of the installer's client size and frame style and nothing else:
// the yardstick for how long the installer takes to show its window. Posted
// kShowMessage, it shows the installer's success message, the yardstick for
// how long a message box takes to come up at all.
#include <windows.h>

namespace {

constexpr wchar_t kClassName[] = L"IlvoBareWindow";
constexpr DWORD kStyle = WS_OVERLAPPED | WS_CAPTION | WS_SYSMENU | WS_CLIPCHILDREN;
constexpr int kClientWidth = 245;
constexpr int kClientHeight = 168;
constexpr UINT kShowMessage = WM_APP + 1;  // the benchmark posts the same number

LRESULT CALLBACK WindowProcedure(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
  if (message == WM_DESTROY) {
    PostQuitMessage(0);
    return 0;
  }
  if (message == kShowMessage) {
    MessageBoxW(window, L"音源[安装]成功！", L"提示", MB_OK);
    return 0;
  }
  return DefWindowProcW(window, message, wParam, lParam);
}

class MainWindow {
 public:
  explicit MainWindow(HINSTANCE instance) {
    WNDCLASSW windowClass{};
    windowClass.lpfnWndProc = WindowProcedure;
    windowClass.hInstance = instance;
    windowClass.hCursor = LoadCursorW(nullptr, reinterpret_cast<LPCWSTR>(IDC_ARROW));
    windowClass.hbrBackground = reinterpret_cast<HBRUSH>(COLOR_WINDOW + 1);
    windowClass.lpszClassName = kClassName;
    RegisterClassW(&windowClass);
    RECT frame{0, 0, kClientWidth, kClientHeight};
    AdjustWindowRectEx(&frame, kStyle, FALSE, 0);
    const int width = frame.right - frame.left;
    const int height = frame.bottom - frame.top;
    window_ = CreateWindowExW(0, kClassName, L"Bare", kStyle, (GetSystemMetrics(SM_CXSCREEN) - width) / 2,
                              (GetSystemMetrics(SM_CYSCREEN) - height) / 2, width, height, nullptr, nullptr,
                              instance, nullptr);
  }
  MainWindow(const MainWindow&) = delete;
  MainWindow& operator=(const MainWindow&) = delete;
  ~MainWindow() {
    if (IsWindow(window_)) DestroyWindow(window_);
  }

  bool Created() const { return window_ != nullptr; }
  void Show(int how) const {
    ShowWindow(window_, how);
    UpdateWindow(window_);
  }

 private:
  HWND window_ = nullptr;
};

}  // namespace

int WINAPI wWinMain(HINSTANCE instance, HINSTANCE, PWSTR, int show) {
  MainWindow window(instance);
  if (!window.Created()) return 1;
  window.Show(show);
  MSG message;
  while (GetMessageW(&message, nullptr, 0, 0) > 0) {
    TranslateMessage(&message);
    DispatchMessageW(&message);
  }
  return static_cast<int>(message.wParam);
}
