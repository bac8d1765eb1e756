#include "platform/win32/window_timers.h"

namespace platform::win32 {

struct WindowTimers::Registry {
  struct Entry {
    std::shared_ptr<std::function<void()>> tick;
    bool running = false;
  };
  HWND window = nullptr;  // not owned
  UINT_PTR nextId = 1;
  std::map<UINT_PTR, Entry> entries;
};

namespace {

class WindowTimer final : public Timer {
 public:
  WindowTimer(std::weak_ptr<WindowTimers::Registry> registry, UINT_PTR id, int interval, bool enabled)
      : registry_(std::move(registry)), id_(id), interval_(interval), enabled_(enabled) {
    Arm();
  }
  ~WindowTimer() override {
    if (auto registry = registry_.lock()) {
      if (registry->window) KillTimer(registry->window, id_);
      registry->entries.erase(id_);
    }
  }
  WindowTimer(const WindowTimer&) = delete;
  WindowTimer& operator=(const WindowTimer&) = delete;

  void SetEnabled(bool enabled) override {
    enabled_ = enabled;
    Arm();
  }
  bool Enabled() const override { return enabled_; }
  void SetInterval(int milliseconds) override {
    // The same interval set again inside this timer's own tick changes
    // nothing: the count started again when the tick came. Re-arming would
    // cost a round trip to the window system on every tick of an animation.
    if (milliseconds == interval_ && InOwnTick()) return;
    interval_ = milliseconds;
    Arm();
  }
  int Interval() const override { return interval_; }

 private:
  // Setting either property starts the count again, as SetTimer does.
  void Arm() {
    auto registry = registry_.lock();
    if (!registry || !registry->window) return;
    if (enabled_ && interval_ > 0)
      SetTimer(registry->window, id_, static_cast<UINT>(interval_), nullptr);
    else
      KillTimer(registry->window, id_);
  }

  bool InOwnTick() const {
    auto registry = registry_.lock();
    if (!registry || !enabled_) return false;
    const auto entry = registry->entries.find(id_);
    return entry != registry->entries.end() && entry->second.running;
  }

  std::weak_ptr<WindowTimers::Registry> registry_;
  UINT_PTR id_;
  int interval_;
  bool enabled_;
};

}  // namespace

WindowTimers::WindowTimers() : registry_(std::make_shared<Registry>()) {}

WindowTimers::~WindowTimers() {
  if (registry_->window)
    for (const auto& [id, entry] : registry_->entries) KillTimer(registry_->window, id);
}

void WindowTimers::SetWindow(HWND window) { registry_->window = window; }

std::unique_ptr<Timer> WindowTimers::Create(int intervalMs, bool enabled, std::function<void()> tick) {
  const UINT_PTR id = registry_->nextId++;
  registry_->entries[id].tick = std::make_shared<std::function<void()>>(std::move(tick));
  return std::make_unique<WindowTimer>(registry_, id, intervalMs, enabled);
}

bool WindowTimers::Dispatch(UINT_PTR id) {
  auto found = registry_->entries.find(id);
  if (found == registry_->entries.end()) return false;
  // A tick that waits in a message loop must not be entered again by its own
  // next tick.
  if (found->second.running) return true;
  const auto tick = found->second.tick;  // the tick may delete its own timer
  if (!tick || !*tick) return true;
  std::weak_ptr<Registry> registry = registry_;
  found->second.running = true;
  struct Finish {
    std::weak_ptr<Registry> registry;
    UINT_PTR id;
    ~Finish() {
      if (auto alive = registry.lock()) {
        auto entry = alive->entries.find(id);
        if (entry != alive->entries.end()) entry->second.running = false;
      }
    }
  } finish{registry, id};
  (*tick)();
  return true;
}

}  // namespace platform::win32
