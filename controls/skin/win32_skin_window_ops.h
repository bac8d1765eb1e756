#pragma once
// The skin's window calls on real Windows.
#include <functional>

#include "controls/skin/skin_window_ops.h"

namespace controls::skin {

class Win32SkinWindowOps : public SkinWindowOps {
 public:
  // endProgram ends the program; without one the process exits at once.
  explicit Win32SkinWindowOps(std::function<void()> endProgram = {});

  ScreenRect WindowRect(std::uintptr_t window) override;
  std::string WindowText(std::uintptr_t window) override;
  std::int32_t ReadWindowLong(std::uintptr_t window, int index) override;
  std::int32_t WriteWindowLong(std::uintptr_t window, int index, std::int32_t value) override;
  void SetWindowPos(std::uintptr_t window, std::uintptr_t insertAfter, int x, int y, int width, int height,
                    std::uint32_t flags) override;
  void SetRoundRegion(std::uintptr_t window, int right, int bottom, int ellipse) override;
  void BeginTitleDrag(std::uintptr_t window) override;
  void Minimise(std::uintptr_t window) override;
  std::uintptr_t ParentOf(std::uintptr_t window) override;
  MonitorArea MonitorOf(std::uintptr_t window) override;
  void InvertFocusRect(const ScreenRect& rect) override;
  void DoEvents() override;
  void EndProgram() override;

 private:
  std::function<void()> endProgram_;
};

}  // namespace controls::skin
