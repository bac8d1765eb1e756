#pragma once
// A desktop with one parent window for the skin's native tests: it keeps the
// parent's rectangle, styles and title, and records every call in order.
#include <functional>
#include <map>
#include <optional>
#include <string>
#include <tuple>
#include <utility>
#include <vector>

#include "controls/skin/skin_window_ops.h"

namespace skin_tests {

using controls::skin::ScreenRect;

class FakeSkinWindowOps : public controls::skin::SkinWindowOps {
 public:
  static constexpr std::uintptr_t kParent = 0x1000;

  ScreenRect parentRect;
  std::string parentTitle;
  std::map<int, std::int32_t> parentLongs;
  // The window the control sits on; a test may move the control elsewhere.
  std::uintptr_t parentOfControl = kParent;
  // One 1024 x 768 monitor without a taskbar.
  controls::skin::MonitorArea monitor{{0, 0, 1024, 768}, {0, 0, 1024, 768}};
  std::vector<std::uintptr_t> monitorQueries;

  struct PosCall {
    std::uintptr_t window, insertAfter;
    int x, y, width, height;
    std::uint32_t flags;
  };
  std::vector<PosCall> positions;
  struct LongWrite {
    int index;
    std::int32_t value;
  };
  std::vector<LongWrite> longWrites;
  struct Region {
    std::uintptr_t window;
    int right, bottom, ellipse;
  };
  std::vector<Region> regions;
  std::vector<ScreenRect> inversions;
  std::vector<std::string> calls;  // names in call order
  int doEventsCount = 0;
  std::function<void(int)> onDoEvents;  // told the 1-based count
  std::function<void()> onTitleDrag;

  ScreenRect WindowRect(std::uintptr_t window) override {
    return window == kParent ? parentRect : ScreenRect{};
  }
  std::string WindowText(std::uintptr_t window) override { return window == kParent ? parentTitle : ""; }
  std::int32_t ReadWindowLong(std::uintptr_t window, int index) override {
    calls.push_back("ReadWindowLong");
    return window == kParent ? parentLongs[index] : 0;
  }
  std::int32_t WriteWindowLong(std::uintptr_t window, int index, std::int32_t value) override {
    calls.push_back("WriteWindowLong");
    if (window != kParent) return 0;
    longWrites.push_back({index, value});
    return std::exchange(parentLongs[index], value);
  }
  void SetWindowPos(std::uintptr_t window, std::uintptr_t insertAfter, int x, int y, int width, int height,
                    std::uint32_t flags) override {
    calls.push_back("SetWindowPos");
    positions.push_back({window, insertAfter, x, y, width, height, flags});
    if (window != kParent) return;
    if (!(flags & controls::skin::kNoMove)) {
      parentRect.right += x - parentRect.left;
      parentRect.bottom += y - parentRect.top;
      parentRect.left = x;
      parentRect.top = y;
    }
    if (!(flags & controls::skin::kNoSize)) {
      parentRect.right = parentRect.left + width;
      parentRect.bottom = parentRect.top + height;
    }
  }
  void SetRoundRegion(std::uintptr_t window, int right, int bottom, int ellipse) override {
    regions.push_back({window, right, bottom, ellipse});
  }
  void BeginTitleDrag(std::uintptr_t window) override {
    calls.push_back(window == kParent ? "BeginTitleDrag(parent)" : "BeginTitleDrag(other)");
    if (onTitleDrag) onTitleDrag();
  }
  void Minimise(std::uintptr_t window) override {
    calls.push_back(window == kParent ? "Minimise(parent)" : "Minimise(other)");
  }
  std::uintptr_t ParentOf(std::uintptr_t) override { return parentOfControl; }
  controls::skin::MonitorArea MonitorOf(std::uintptr_t window) override {
    monitorQueries.push_back(window);
    return monitor;
  }
  void InvertFocusRect(const ScreenRect& rect) override {
    calls.push_back("InvertFocusRect");
    inversions.push_back(rect);
  }
  void DoEvents() override {
    ++doEventsCount;
    if (onDoEvents) onDoEvents(doEventsCount);
  }
  void EndProgram() override { calls.push_back("EndProgram"); }

  // True when every rectangle inverted onto the screen was inverted back.
  bool ScreenClean() const {
    std::map<std::tuple<int, int, int, int>, int> count;
    for (const auto& r : inversions) ++count[{r.left, r.top, r.right, r.bottom}];
    for (const auto& [rect, n] : count)
      if (n % 2 != 0) return false;
    return true;
  }
};

}  // namespace skin_tests
