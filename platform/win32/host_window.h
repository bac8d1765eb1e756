#pragma once
// A top-level window that hosts controls: it places them in twips, keeps
// their stacking order, visibility and tab order, runs the keyboard focus and
// tells its owner when the focus moves to another control.
//
// How a window places a control:
//
//   platform::win32::HostWindow window({.caption = "Ilvo", .clientWidth = 245, .clientHeight = 168,
//                                       .iconResourceId = 1});
//   // Added front to back: a later control lies behind the earlier ones.
//   auto& site = window.AddControl({.name = "QORButtonAZ", .rect = {2280, 240, 1215, 375}, .tabIndex = 1});
//   site.SetAccessibleRole(platform::win32::AccessibleRole::PushButton);
//   controls::QORButton button(site);      // declared after the window, so it goes first
//   button.UserControl_ReadProperties(design.Find("QORButtonAZ")->properties);
//   site.ReportSize();                      // the control's first Resize
//   window.SetGotFocusHandler([&](const std::string& name) { /* start the action of that control */ });
//   window.SetCloseRequestHandler([&] { return busy; });  // true keeps the window open
//   window.Show();                          // the first focusable control takes the focus
//   window.Run();                           // until the window is destroyed
#include <windows.h>

#include <functional>
#include <memory>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "platform/runtime/timer.h"
#include "platform/win32/control_site.h"
#include "platform/win32/gdi_handles.h"
#include "platform/win32/picture_element.h"
#include "platform/win32/window_procedure.h"
#include "platform/win32/window_timers.h"

namespace platform::win32 {

struct HostWindowOptions {
  std::string caption;  // UTF-8
  int clientWidth = 0;  // pixels
  int clientHeight = 0;
  int iconResourceId = 0;  // an ICON resource of the program; 0 for none
};

struct ControlPlacement {
  std::string name;
  TwipsRect rect;
  int tabIndex = -1;  // below 0: not reached by Tab
  bool focusable = true;
};

class HostWindow {
 public:
  // Creates the window hidden, centred on the screen, with a fixed frame, a
  // caption and a close box, on the system's window background colour.
  explicit HostWindow(const HostWindowOptions& options);
  ~HostWindow();
  HostWindow(const HostWindow&) = delete;
  HostWindow& operator=(const HostWindow&) = delete;

  HWND Handle() const { return window_.Get(); }  // null once destroyed
  void SetCaption(const std::string& text);
  std::string Caption() const;

  // The control's surface window, behind every control added before it.
  Win32ControlSite& AddControl(const ControlPlacement& placement);
  // A picture element (no focus, no tab stop), behind those added before.
  PictureElement& AddPicture(const std::string& name, int leftTwips, int topTwips);
  Win32ControlSite* FindControl(std::string_view name) const;

  // The container's visibility of a control or picture; hiding the focused
  // control passes the focus on in tab order.
  void SetControlVisible(std::string_view name, bool visible);
  bool ControlVisible(std::string_view name) const;

  std::unique_ptr<Timer> CreateTimer(int intervalMs, bool enabled, std::function<void()> tick);

  // Raised, from the message queue, when another control of this window takes
  // the focus; not when the window merely gets activated again.
  void SetGotFocusHandler(std::function<void(const std::string& control)> handler);
  // Asked on a close request (close box, Alt+F4, Close()); true keeps the
  // window open.
  void SetCloseRequestHandler(std::function<bool()> cancelClose);
  // Asked when the session is about to end (WM_QUERYENDSESSION): a reason
  // holds the session up and is shown by the system
  // (ShutdownBlockReasonCreate); nothing lets it end. ended runs when the
  // session ends all the same (WM_ENDSESSION with TRUE).
  struct EndSessionHandlers {
    std::function<std::optional<std::string>()> blockReason;
    std::function<void()> ended;
  };
  void SetEndSessionHandlers(EndSessionHandlers handlers);
  // Asked when a quit message reaches Run; true drops it and the loop goes
  // on (something under way ends the program itself, later).
  void SetQuitRefusal(std::function<bool()> refuseQuit);

  // Shows and activates the window; the first visible, enabled, focusable
  // control in tab order takes the focus.
  void Show();
  // Runs the message loop until the window is destroyed.
  void Run();
  // A close request, as the close box gives it.
  void Close();

  // Name of the control that holds the focus in this window, or empty.
  std::string FocusedControl() const;

  LRESULT OnMessage(HWND window, UINT message, WPARAM wParam, LPARAM lParam);
  void OnAttached(HWND window) noexcept;
  void OnDetached() noexcept;

 private:
  struct Element {
    std::string name;
    HWND window;  // not owned: the site or picture owns it
    int tabIndex;
    bool focusable;
    std::unique_ptr<Win32ControlSite> site;
    std::unique_ptr<PictureElement> picture;
  };

  Element* Find(std::string_view name) const;
  Element* Find(HWND window) const;
  void PlaceBehindOthers(HWND window);
  bool CanTakeFocus(const Element& element) const;
  // The next control after from in tab order that can take the focus,
  // wrapping; from itself only when no other one can.
  HWND NextInTabOrder(HWND from, bool backward) const;
  void OnChildGotFocus(HWND child);
  void OnChildLeftTabOrder(HWND child);
  void OnOwnFocus();
  void RaiseGotFocus(HWND child);
  BOOL OnQueryEndSession(HWND window);

  std::function<void(const std::string&)> gotFocus_;
  std::function<bool()> cancelClose_;
  EndSessionHandlers endSession_;
  std::function<bool()> refuseQuit_;
  IconHandle bigIcon_;
  IconHandle smallIcon_;
  WindowTimers timers_;
  std::vector<std::unique_ptr<Element>> elements_;  // front to back
  HWND focused_ = nullptr;   // the control that has, or gets back, the focus
  HWND reported_ = nullptr;  // the control GotFocus was last raised for
  bool tearingDown_ = false;
  OwnedWindow window_;  // last: destroyed first, after the elements (see the destructor)
};

}  // namespace platform::win32
