#pragma once
// Owners of GDI and icon handles, and scopes that put a DC back as it was.
#include <windows.h>

#include <utility>

#include "platform/win32/unique_handle.h"

namespace platform::win32 {

// An HBITMAP, HFONT, HRGN, HPEN or HBRUSH made by this program.
inline void DeleteGdiObject(HGDIOBJ object) { DeleteObject(object); }
template <typename Handle>
using GdiObject = UniqueHandle<Handle, &DeleteGdiObject>;

using BitmapHandle = GdiObject<HBITMAP>;
using FontHandle = GdiObject<HFONT>;
using RegionHandle = GdiObject<HRGN>;
using PenHandle = GdiObject<HPEN>;
using BrushHandle = GdiObject<HBRUSH>;

inline void DestroyIconHandle(HICON icon) { DestroyIcon(icon); }
using IconHandle = UniqueHandle<HICON, &DestroyIconHandle>;

inline void DeleteMemoryDc(HDC dc) { DeleteDC(dc); }
// A memory DC compatible with the screen.
class MemoryDc {
 public:
  HDC Get() const { return dc_.Get(); }

 private:
  UniqueHandle<HDC, &DeleteMemoryDc> dc_{CreateCompatibleDC(nullptr)};
};

// GetDC / ReleaseDC; a null window gives the screen.
class WindowDc {
 public:
  explicit WindowDc(HWND window) : window_(window), dc_(GetDC(window)) {}
  ~WindowDc() {
    if (dc_) ReleaseDC(window_, dc_);
  }
  WindowDc(const WindowDc&) = delete;
  WindowDc& operator=(const WindowDc&) = delete;
  HDC Get() const { return dc_; }

 private:
  HWND window_;
  HDC dc_;
};

class PaintDc {
 public:
  explicit PaintDc(HWND window) : window_(window) { dc_ = BeginPaint(window, &paint_); }
  ~PaintDc() { EndPaint(window_, &paint_); }
  PaintDc(const PaintDc&) = delete;
  PaintDc& operator=(const PaintDc&) = delete;
  HDC Get() const { return dc_; }

 private:
  HWND window_;
  PAINTSTRUCT paint_{};
  HDC dc_;
};

// Selects an object into a DC and puts the previous one back.
class SelectedObject {
 public:
  SelectedObject(HDC dc, HGDIOBJ object) : dc_(dc), previous_(SelectObject(dc, object)) {}
  ~SelectedObject() {
    if (previous_ && previous_ != HGDI_ERROR) SelectObject(dc_, previous_);
  }
  SelectedObject(const SelectedObject&) = delete;
  SelectedObject& operator=(const SelectedObject&) = delete;

 private:
  HDC dc_;
  HGDIOBJ previous_;
};

// SaveDC / RestoreDC around drawing that changes clipping or modes.
class SavedDcState {
 public:
  explicit SavedDcState(HDC dc) : dc_(dc), saved_(SaveDC(dc)) {}
  ~SavedDcState() {
    if (saved_) RestoreDC(dc_, saved_);
  }
  SavedDcState(const SavedDcState&) = delete;
  SavedDcState& operator=(const SavedDcState&) = delete;

 private:
  HDC dc_;
  int saved_;
};

}  // namespace platform::win32
