#pragma once
// Mouse and keyboard input through the system's input queue, as a person
// gives it: the windows see the same messages, in the same order, as from a
// real mouse, including what the system's modal loops take for themselves.
#include <windows.h>

namespace test_support {

// A mouse whose held button is released when it goes, so that no test leaves
// a button down for the tests after it.
class RealMouse {
 public:
  RealMouse() = default;
  ~RealMouse();
  RealMouse(const RealMouse&) = delete;
  RealMouse& operator=(const RealMouse&) = delete;

  // Moves the pointer to a screen pixel.
  void MoveTo(POINT screen);
  void Press();
  void Release();
  // Press and release where the pointer is.
  void Click();
  // Two clicks in a row, well within the double-click time and distance.
  void DoubleClick();
  // Press here, move to the target in a few steps, release there.
  void Drag(POINT from, POINT to);

 private:
  bool held_ = false;
};

// Presses and releases the key, nothing held afterwards.
void TapKey(WORD virtualKey);

// A window's client point on the screen.
POINT ScreenPoint(HWND window, int x, int y);

}  // namespace test_support
