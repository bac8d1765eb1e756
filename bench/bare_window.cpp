// A window of the installer's client size and frame style and nothing else:
// the yardstick for how long the installer takes to show its window. Posted
// kShowMessage, it shows the installer's success message, the yardstick for
// how long a message box takes to come up at all.
#include <windows.h>

#include "bench/reference_window.h"

namespace {

constexpr wchar_t kClassName[] = L"IlvoBareWindow";
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
  explicit MainWindow(HINSTANCE instance)
      : window_(bench::CreateReferenceWindow(instance, kClassName, L"Bare", WindowProcedure, nullptr)) {}
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
  return bench::RunMessageLoop();
}
