#include "platform/win32/picture_element.h"

#include <windowsx.h>

#include "platform/units.h"
#include "platform/win32/gdi_handles.h"
#include "platform/win32/image_surface.h"

namespace platform::win32 {
namespace {

constexpr wchar_t kPictureClass[] = L"IlvoPicture";

}  // namespace

PictureElement::PictureElement(HWND parent, int leftTwips, int topTwips) {
  RegisterWindowClass(kPictureClass, WindowProcedure<PictureElement>, CS_DBLCLKS, nullptr);
  CreateWindowExW(0, kPictureClass, L"", WS_CHILD | WS_VISIBLE | WS_CLIPSIBLINGS,
                  ImageSurface::ToPixel(leftTwips, Units::Twips), ImageSurface::ToPixel(topTwips, Units::Twips), 0, 0,
                  parent, nullptr, GetModuleHandleW(nullptr), this);
}

void PictureElement::SetPicture(const Picture& picture) {
  image_.Resize(picture.width, picture.height, 0);
  ImageSurface surface(image_, [] {});
  surface.DrawPicture(picture, 0, 0, picture.width, picture.height, 0, 0, picture.width, picture.height);
  if (!window_.Get()) return;
  SetWindowPos(window_.Get(), nullptr, 0, 0, image_.Width(), image_.Height(),
               SWP_NOMOVE | SWP_NOZORDER | SWP_NOACTIVATE);
  InvalidateRect(window_.Get(), nullptr, FALSE);
}

LRESULT PictureElement::OnMessage(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
  switch (message) {
    case WM_ERASEBKGND:
      return 1;
    case WM_PAINT: {
      PaintDc dc(window);
      image_.CopyTo(dc.Get(), 0, 0);
      return 0;
    }
    case WM_PRINTCLIENT:
      image_.CopyTo(reinterpret_cast<HDC>(wParam), 0, 0);
      return 0;
    case WM_LBUTTONDOWN:
      pressed_ = true;
      SetCapture(window);
      return 0;
    case WM_LBUTTONUP: {
      const bool wasPressed = pressed_;
      pressed_ = false;
      ReleaseCapture();
      RECT client{};
      GetClientRect(window, &client);
      const POINT at{GET_X_LPARAM(lParam), GET_Y_LPARAM(lParam)};
      if (wasPressed && PtInRect(&client, at))
        if (auto click = handlers_.click) click();
      return 0;
    }
    case WM_LBUTTONDBLCLK:
      pressed_ = false;
      if (auto dblClick = handlers_.dblClick) dblClick();
      return 0;
    case WM_CAPTURECHANGED:
      if (reinterpret_cast<HWND>(lParam) != window) pressed_ = false;
      return 0;
    default:
      return DefWindowProcW(window, message, wParam, lParam);
  }
}

}  // namespace platform::win32
