#pragma once
// A picture on a window: a child window showing a picture at its natural
// size. It takes no focus; it reports clicks and double-clicks.
#include <windows.h>

#include <functional>

#include "platform/runtime/picture.h"
#include "platform/win32/backing_image.h"
#include "platform/win32/window_procedure.h"

namespace platform::win32 {

struct PictureHandlers {
  std::function<void()> click;
  std::function<void()> dblClick;
};

class PictureElement {
 public:
  // An empty element at (left, top) twips of parent (not owned).
  PictureElement(HWND parent, int leftTwips, int topTwips);
  PictureElement(const PictureElement&) = delete;
  PictureElement& operator=(const PictureElement&) = delete;

  // Shows the picture; the element takes the picture's size.
  void SetPicture(const Picture& picture);
  void SetHandlers(PictureHandlers handlers) { handlers_ = std::move(handlers); }
  HWND Handle() const { return window_.Get(); }
  COLORREF Pixel(int x, int y) const { return image_.Pixel(x, y); }

  LRESULT OnMessage(HWND window, UINT message, WPARAM wParam, LPARAM lParam);
  void OnAttached(HWND window) noexcept { window_.Attach(window); }
  void OnDetached() noexcept { window_.Forget(); }

 private:
  PictureHandlers handlers_;
  BackingImage image_{0, 0, 0};
  bool pressed_ = false;
  OwnedWindow window_;  // last: destroyed first
};

}  // namespace platform::win32
