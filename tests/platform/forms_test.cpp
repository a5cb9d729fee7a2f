// The four forms as the user sees them: what holds of every control, the places and fonts of a
// few at 96 and at 144 dots per inch, the icons, the tab order and where the forms open.
#include <array>
#include <cstdlib>
#include <process.h>

#include "form_fixture.h"

namespace vokuta::platform_test {
namespace {

using Corners = std::array<LONG, 4>; ///< left, top, right, bottom: comparable and printable

/// The control's rectangle in its form's client area.
Corners placeOf(HWND control) {
  RECT r;
  GetWindowRect(control, &r);
  MapWindowPoints(nullptr, GetParent(control), reinterpret_cast<POINT*>(&r), 2);
  return {r.left, r.top, r.right, r.bottom};
}

bool overlap(const Corners& a, const Corners& b) {
  return a[0] < b[2] && b[0] < a[2] && a[1] < b[3] && b[1] < a[3];
}

POINT centreOf(HWND hwnd) {
  RECT r;
  GetWindowRect(hwnd, &r);
  return {(r.left + r.right) / 2, (r.top + r.bottom) / 2};
}

LONG_PTR styleOf(HWND hwnd) { return GetWindowLongPtrW(hwnd, GWL_STYLE); }

/// Shown with its form, and something the user acts on rather than a label or a frame.
bool actedOn(HWND control) {
  return (styleOf(control) & WS_VISIBLE) &&
         !(SendMessageW(control, WM_GETDLGCODE, 0, 0) & DLGC_STATIC);
}

bool isOption(HWND control) { return (styleOf(control) & BS_TYPEMASK) == BS_AUTORADIOBUTTON; }

using FormsLayout = FormsTest;

// Fixed size with a close box only, hidden until shown; every control inside the client area
// and enabled but the port dialog's Back; the controls the user acts on apart, but for the
// options of a group, which the design stacks a pixel into each other.
TEST_F(FormsLayout, EveryFormKeepsItsControlsInsideAndApart) {
  for (Form f : {Form::Frm1Main, Form::Frm2List, Form::Frm3Port, Form::Frm4Text}) {
    SCOPED_TRACE(static_cast<int>(f));
    const LONG_PTR fixed =
        WS_MINIMIZEBOX | WS_MAXIMIZEBOX | WS_THICKFRAME | WS_CAPTION | WS_SYSMENU;
    EXPECT_EQ(styleOf(form(f)) & fixed, WS_CAPTION | WS_SYSMENU);
    EXPECT_FALSE(IsWindowVisible(form(f)));
    RECT client;
    GetClientRect(form(f), &client);
    std::vector<HWND> children;
    for (HWND c = GetWindow(form(f), GW_CHILD); c; c = GetWindow(c, GW_HWNDNEXT))
      children.push_back(c);
    for (HWND c : children) {
      const int id = GetDlgCtrlID(c);
      const Corners place = placeOf(c);
      EXPECT_TRUE(place[0] >= 0 && place[1] >= 0 && place[2] <= client.right &&
                  place[3] <= client.bottom)
          << id << " outside the form";
      EXPECT_EQ(IsWindowEnabled(c) != FALSE, f != Form::Frm3Port || id != ids::frm3port::kCmd戻る)
          << id;
      for (HWND other : children)
        EXPECT_FALSE(other != c && actedOn(c) && actedOn(other) &&
                     !(isOption(c) && isOption(other)) && overlap(place, placeOf(other)))
            << id << " overlaps " << GetDlgCtrlID(other);
    }
  }
}

// Run again at 144 dots per inch by FormsAt144Dpi.
TEST_F(FormsLayout, PlacesAndFontsInPixelsOfTheScreen) {
  using enum Form;
  namespace p = ids::frm3port;
  const wchar_t* const kP = L"ＭＳ Ｐゴシック";
  const wchar_t* const kFixed = L"ＭＳ ゴシック";
  const struct {
    Form form;
    int id; ///< 0: the form's client area
    Corners at96, at144;
    const wchar_t* face;
    int heightAt96, heightAt144; ///< of the font, in pixels
  } cases[] = {
      {Frm1Main, 0, {0, 0, 386, 282}, {0, 0, 579, 423}, nullptr, 0, 0},
      {Frm1Main, ids::frm1main::kCmd次へ, {120, 248, 209, 273}, {180, 372, 314, 410}, kP, 13, 20},
      {Frm1Main, ids::frm1main::kFrame1, {8, 192, 377, 201}, {12, 288, 566, 302}, kP, 11, 17},
      {Frm2List, ids::frm2list::kList1, {8, 24, 481, 210}, {12, 36, 722, 315}, kFixed, 13, 20},
      {Frm3Port, p::kOptポート + 5, {224, 32, 417, 57}, {336, 48, 626, 86}, kP, 13, 20},
      {Frm4Text, ids::frm4text::kText1, {8, 48, 297, 66}, {12, 72, 446, 99}, kP, 14, 21},
  };
  const HDC screen = GetDC(nullptr);
  const int dpiX = GetDeviceCaps(screen, LOGPIXELSX), dpiY = GetDeviceCaps(screen, LOGPIXELSY);
  ReleaseDC(nullptr, screen);
  const bool at144 = _wgetenv(L"VOKUTA_TEST_DPI") != nullptr;
  ASSERT_EQ(dpiX, at144 ? 144 : 96);
  ASSERT_EQ(dpiY, dpiX);
  for (const auto& c : cases) {
    SCOPED_TRACE(c.id);
    RECT client;
    GetClientRect(form(c.form), &client);
    const HWND h = control(c.form, c.id);
    const Corners whole{client.left, client.top, client.right, client.bottom};
    EXPECT_EQ(c.id ? placeOf(h) : whole, at144 ? c.at144 : c.at96);
    if (!c.id) continue;
    LOGFONTW font = {};
    GetObjectW(reinterpret_cast<HFONT>(SendMessageW(h, WM_GETFONT, 0, 0)), sizeof font, &font);
    EXPECT_STREQ(font.lfFaceName, c.face);
    EXPECT_EQ(-font.lfHeight, at144 ? c.heightAt144 : c.heightAt96);
    EXPECT_EQ(font.lfCharSet, SHIFTJIS_CHARSET);
    EXPECT_EQ(font.lfWeight, FW_NORMAL);
  }
}

TEST(FormsAt144Dpi, PlacesAndFontsFollowTheScreen) {
  const auto setDpi = [](DWORD dpi) {
    return RegSetKeyValueW(HKEY_CURRENT_USER, L"Control Panel\\Desktop", L"LogPixels", REG_DWORD,
                           &dpi, sizeof dpi);
  };
  wchar_t exe[MAX_PATH];
  GetModuleFileNameW(nullptr, exe, MAX_PATH);
  ASSERT_EQ(setDpi(144), ERROR_SUCCESS);
  _wputenv(L"VOKUTA_TEST_DPI=144");
  const auto status =
      _wspawnl(_P_WAIT, exe, L"child", L"--gtest_filter=FormsLayout.PlacesAndFonts*", nullptr);
  _wputenv(L"VOKUTA_TEST_DPI=");
  setDpi(96); // the resolution the other tests assert
  EXPECT_EQ(status, 0);
}

TEST_F(FormsLayout, MainWindowAndPortDialogShareTheProgramIcon) {
  const auto icon = [&](Form f, WPARAM size) { return SendMessageW(form(f), WM_GETICON, size, 0); };
  for (WPARAM size : {ICON_BIG, ICON_SMALL}) {
    EXPECT_NE(icon(Form::Frm1Main, size), 0);
    EXPECT_EQ((std::vector{icon(Form::Frm3Port, size), icon(Form::Frm2List, size),
                           icon(Form::Frm4Text, size)}),
              (std::vector<LRESULT>{icon(Form::Frm1Main, size), 0, 0}));
  }
  ICONINFO info = {};
  ASSERT_TRUE(GetIconInfo(reinterpret_cast<HICON>(icon(Form::Frm1Main, ICON_BIG)), &info));
  BITMAP bitmap = {};
  GetObjectW(info.hbmColor, sizeof bitmap, &bitmap);
  EXPECT_EQ(bitmap.bmWidth, GetSystemMetrics(SM_CXICON));
  DeleteObject(info.hbmColor);
  DeleteObject(info.hbmMask);
}

TEST_F(FormsLayout, TabVisitsTheControlsInDesignedOrder) {
  namespace m = ids::frm1main;
  namespace l = ids::frm2list;
  namespace p = ids::frm3port;
  namespace t = ids::frm4text;
  const struct {
    Form form;
    std::vector<int> order; ///< from the first focus, until Tab comes back to it
  } cases[] = {
      {Form::Frm1Main, {m::kCmd次へ, m::kCmdキャンセル, m::kList1, m::kCmd戻る}},
      {Form::Frm2List, {l::kList1, l::kCmdOK}},
      // The disabled Back button is passed over.
      {Form::Frm3Port, {p::kOptポート, p::kCmd開始, p::kCmdキャンセル}},
      {Form::Frm4Text, {t::kText1, t::kCmdキャンセル, t::kCmdOK}},
  };
  for (const auto& c : cases) {
    ui_.showForm(c.form, false, std::nullopt);
    std::vector<int> order;
    for (std::size_t i = 0; i < c.order.size(); ++i, press(VK_TAB))
      order.push_back(GetDlgCtrlID(GetFocus()));
    EXPECT_EQ(order, c.order);
    EXPECT_EQ(GetDlgCtrlID(GetFocus()), c.order.front());
    ui_.hideForm(c.form);
  }
}

TEST_F(FormsLayout, FormsOpenCentredOnTheScreenOrOnTheirOwner) {
  const POINT screen{GetSystemMetrics(SM_CXSCREEN) / 2, GetSystemMetrics(SM_CYSCREEN) / 2};
  for (Form f : {Form::Frm1Main, Form::Frm4Text}) {
    EXPECT_NEAR(centreOf(form(f)).x, screen.x, 1);
    EXPECT_NEAR(centreOf(form(f)).y, screen.y, 1);
  }
  // Moved away from the middle, the main window takes the port dialog with it.
  SetWindowPos(form(Form::Frm1Main), nullptr, 20, 30, 0, 0, SWP_NOSIZE | SWP_NOZORDER);
  ui_.showForm(Form::Frm3Port, false, Form::Frm1Main);
  EXPECT_NEAR(centreOf(form(Form::Frm3Port)).x, centreOf(form(Form::Frm1Main)).x, 1);
  EXPECT_NEAR(centreOf(form(Form::Frm3Port)).y, centreOf(form(Form::Frm1Main)).y, 1);
}

} // namespace
} // namespace vokuta::platform_test
