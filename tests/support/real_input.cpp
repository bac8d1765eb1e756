#include "tests/support/real_input.h"

namespace test_support {
namespace {

void SendMouse(DWORD flags, LONG dx = 0, LONG dy = 0) {
  INPUT input{};
  input.type = INPUT_MOUSE;
  input.mi.dwFlags = flags;
  input.mi.dx = dx;
  input.mi.dy = dy;
  SendInput(1, &input, sizeof input);
}

// The absolute coordinate (0 to 65535 across the screen) whose pixel is the
// one given: the system maps it back by multiplying with the size.
LONG Normalised(LONG pixel, int size) { return static_cast<LONG>((pixel * 65536LL + size - 1) / size); }

}  // namespace

RealMouse::~RealMouse() {
  if (held_) Release();
}

void RealMouse::MoveTo(POINT screen) {
  SendMouse(MOUSEEVENTF_MOVE | MOUSEEVENTF_ABSOLUTE, Normalised(screen.x, GetSystemMetrics(SM_CXSCREEN)),
            Normalised(screen.y, GetSystemMetrics(SM_CYSCREEN)));
}

void RealMouse::Press() {
  SendMouse(MOUSEEVENTF_LEFTDOWN);
  held_ = true;
}

void RealMouse::Release() {
  SendMouse(MOUSEEVENTF_LEFTUP);
  held_ = false;
}

void RealMouse::Click() {
  Press();
  Release();
}

void RealMouse::DoubleClick() {
  Click();
  Click();
}

void RealMouse::Drag(POINT from, POINT to) {
  MoveTo(from);
  Press();
  constexpr int kSteps = 4;
  for (int step = 1; step <= kSteps; ++step)
    MoveTo(POINT{from.x + (to.x - from.x) * step / kSteps, from.y + (to.y - from.y) * step / kSteps});
  Release();
}

void TapKey(WORD virtualKey) {
  INPUT inputs[2] = {};
  inputs[0].type = INPUT_KEYBOARD;
  inputs[0].ki.wVk = virtualKey;
  inputs[1].type = INPUT_KEYBOARD;
  inputs[1].ki.wVk = virtualKey;
  inputs[1].ki.dwFlags = KEYEVENTF_KEYUP;
  SendInput(2, inputs, sizeof(INPUT));
}

POINT ScreenPoint(HWND window, int x, int y) {
  POINT point{x, y};
  ClientToScreen(window, &point);
  return point;
}

}  // namespace test_support
