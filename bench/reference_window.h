// What the benchmark's reference programs share: a top-level window of the
// installer's client size and frame style, centred like the installer's, and
// the plain message loop that runs it.
#pragma once

#include <windows.h>

namespace bench {

inline constexpr DWORD kReferenceStyle = WS_OVERLAPPED | WS_CAPTION | WS_SYSMENU | WS_CLIPCHILDREN;
inline constexpr int kReferenceClientWidth = 245;
inline constexpr int kReferenceClientHeight = 168;

// Registers className with procedure and creates the window; creationData
// reaches WM_NCCREATE. Nothing is created (nullptr) when either step fails.
inline HWND CreateReferenceWindow(HINSTANCE instance, const wchar_t* className, const wchar_t* title,
                                  WNDPROC procedure, void* creationData) {
  WNDCLASSW windowClass{};
  windowClass.lpfnWndProc = procedure;
  windowClass.hInstance = instance;
  windowClass.hCursor = LoadCursorW(nullptr, reinterpret_cast<LPCWSTR>(IDC_ARROW));
  windowClass.hbrBackground = reinterpret_cast<HBRUSH>(COLOR_WINDOW + 1);
  windowClass.lpszClassName = className;
  RegisterClassW(&windowClass);
  RECT frame{0, 0, kReferenceClientWidth, kReferenceClientHeight};
  AdjustWindowRectEx(&frame, kReferenceStyle, FALSE, 0);
  const int width = frame.right - frame.left;
  const int height = frame.bottom - frame.top;
  return CreateWindowExW(0, className, title, kReferenceStyle, (GetSystemMetrics(SM_CXSCREEN) - width) / 2,
                         (GetSystemMetrics(SM_CYSCREEN) - height) / 2, width, height, nullptr, nullptr, instance,
                         creationData);
}

// Runs the thread's messages until WM_QUIT; its code is the program's.
inline int RunMessageLoop() {
  MSG message;
  while (GetMessageW(&message, nullptr, 0, 0) > 0) {
    TranslateMessage(&message);
    DispatchMessageW(&message);
  }
  return static_cast<int>(message.wParam);
}

}  // namespace bench
