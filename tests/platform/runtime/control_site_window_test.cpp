// The surface window's smaller services: cursor shape and position, the
// property-changed notice, and what accessibility clients are told.
#include <windows.h>
#include <oleacc.h>

#include <gtest/gtest.h>

#include <string>

#include "platform/win32/control_site.h"
#include "tests/platform/runtime/win32_test_support.h"

namespace {

using platform::win32::AccessibleRole;
using platform::win32::TwipsRect;
using platform::win32::Win32ControlSite;
using runtime_tests::ParentWindow;
using runtime_tests::PumpUntil;

class SurfaceWindow : public testing::Test {
 protected:
  SurfaceWindow() : parent(200, 120), site(parent.Handle(), TwipsRect{150, 150, 1215, 375}) { parent.Show(); }
  ParentWindow parent;
  Win32ControlSite site;
};

TEST_F(SurfaceWindow, TheCursorShapeFollowsSetCursorOverTheClientArea) {
  const LPARAM overClient = MAKELPARAM(HTCLIENT, WM_MOUSEMOVE);
  site.SetCursor(platform::ControlSite::Cursor::SizeNwSe);
  EXPECT_TRUE(SendMessageW(site.Handle(), WM_SETCURSOR, reinterpret_cast<WPARAM>(site.Handle()), overClient));
  EXPECT_EQ(GetCursor(), LoadCursorW(nullptr, reinterpret_cast<LPCWSTR>(IDC_SIZENWSE)));
  site.SetCursor(platform::ControlSite::Cursor::Default);
  SendMessageW(site.Handle(), WM_SETCURSOR, reinterpret_cast<WPARAM>(site.Handle()), overClient);
  EXPECT_EQ(GetCursor(), LoadCursorW(nullptr, reinterpret_cast<LPCWSTR>(IDC_ARROW)));
}

TEST_F(SurfaceWindow, CursorPositionIsInClientPixels) {
  POINT origin{0, 0};
  ClientToScreen(site.Handle(), &origin);
  SetCursorPos(origin.x + 7, origin.y + 3);
  ASSERT_TRUE(PumpUntil([&] { return site.CursorPosition().x == 7; }));
  EXPECT_EQ(site.CursorPosition().y, 3);
  SetCursorPos(origin.x - 4, origin.y - 2);
  ASSERT_TRUE(PumpUntil([&] { return site.CursorPosition().x == -4; }));
  EXPECT_EQ(site.CursorPosition().y, -2);
}

TEST_F(SurfaceWindow, HandlesAndThePropertyChangedNotice) {
  EXPECT_EQ(site.WindowHandle(), reinterpret_cast<std::uintptr_t>(site.Handle()));
  EXPECT_EQ(site.ParentWindowHandle(), reinterpret_cast<std::uintptr_t>(parent.Handle()));
  site.PropertyChanged("Caption");  // no handler: nothing happens
  std::string changed;
  site.SetPropertyChangedHandler([&](std::string_view name) { changed = name; });
  site.PropertyChanged("BackColor");
  EXPECT_EQ(changed, "BackColor");
}

VARIANT Self() {
  VARIANT self;
  VariantInit(&self);
  self.vt = VT_I4;
  self.lVal = CHILDID_SELF;
  return self;
}

long RoleOf(IAccessible* accessible) {
  VARIANT role;
  VariantInit(&role);
  if (FAILED(accessible->get_accRole(Self(), &role)) || role.vt != VT_I4) return -1;
  return role.lVal;
}

std::wstring NameOf(IAccessible* accessible) {
  const VARIANT self = Self();
  BSTR name = nullptr;
  std::wstring text;
  if (SUCCEEDED(accessible->get_accName(self, &name)) && name) text = name;
  SysFreeString(name);
  return text;
}

TEST_F(SurfaceWindow, AccessibilityClientsGetAProxyNamedAfterTheWindowText) {
  // Without a role the default answer stands.
  EXPECT_EQ(SendMessageW(site.Handle(), WM_GETOBJECT, 0, static_cast<LPARAM>(OBJID_CLIENT)), 0);

  const std::pair<AccessibleRole, long> roles[] = {{AccessibleRole::PushButton, ROLE_SYSTEM_PUSHBUTTON},
                                                   {AccessibleRole::ProgressBar, ROLE_SYSTEM_PROGRESSBAR}};
  for (const auto& [role, systemRole] : roles) {
    site.SetAccessibleRole(role);
    site.SetAccessibleName("安装");
    EXPECT_NE(SendMessageW(site.Handle(), WM_GETOBJECT, 0, static_cast<LPARAM>(OBJID_CLIENT)), 0);
    EXPECT_EQ(SendMessageW(site.Handle(), WM_GETOBJECT, 0, static_cast<LPARAM>(OBJID_WINDOW)), 0);

    IAccessible* accessible = nullptr;
    // __uuidof, not IID_IAccessible: the x86_64 MinGW import library resolves
    // that symbol to an import thunk, whose bytes are then taken for the GUID.
    ASSERT_EQ(AccessibleObjectFromWindow(site.Handle(), static_cast<DWORD>(OBJID_CLIENT), __uuidof(IAccessible),
                                         reinterpret_cast<void**>(&accessible)),
              S_OK);
    ASSERT_NE(accessible, nullptr);
    EXPECT_EQ(NameOf(accessible), L"安装");
    EXPECT_EQ(RoleOf(accessible), systemRole);
    accessible->Release();
  }
}

}  // namespace
