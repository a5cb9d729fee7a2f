// The four forms as the user sees them: every control with its class, text and place, the
// fonts, the states at creation, the icons, the frames and where the forms open.
#include "form_fixture.h"
#include "win32/control_ids.h"

#include <commctrl.h>

#include <array>
#include <vector>

namespace vokuta::platform_test {
namespace {

namespace ids = win32::ids;

enum class Kind { Label, Button, Option, Frame, List, Edit, Progress };

struct Expected {
  int id;
  Kind kind;
  const wchar_t* text;
  int left, top, width, height; ///< twips
  bool shown = true;            ///< visible once the form is
};

struct FormLayout {
  Form form;
  const wchar_t* caption;
  int clientWidth, clientHeight; ///< twips
  std::vector<Expected> controls;
};

const std::vector<FormLayout>& layouts() {
  namespace m = ids::frm1main;
  namespace l = ids::frm2list;
  namespace p = ids::frm3port;
  namespace t = ids::frm4text;
  // Option buttons are placed from the corner of their frame at (120, 240).
  static const std::vector<FormLayout> all = {
      {Form::Frm1Main,
       L"本体アプリケーションインストーラ - Step 1/2",
       5790,
       4230,
       {
           {m::kLabel1, Kind::Label, L"次のファイルを Vokuta本体にインストールします。", 240, 100,
            5295, 255},
           {m::kLabel4, Kind::Label, L"転送先（Vokuta）ファイル名", 240, 340, 5295, 255},
           {m::kList1, Kind::List, L"", 120, 600, 5535, 1320},
           {m::kLblSize, Kind::Label, L"Label5", 240, 2400, 5295, 375},
           {m::kFrame1, Kind::Frame, L"", 120, 2880, 5535, 135},
           {m::kLabel2, Kind::Label, L"● 続けるには、［次へ(N)＞］ボタンを押してください。", 240,
            3120, 5415, 255},
           {m::kLabel3, Kind::Label, L"● 中断する場合は、［ｷｬﾝｾﾙ(C)］ボタンを押してください。", 240,
            3360, 5415, 255},
           {m::kCmd戻る, Kind::Button, L"＜ 戻る(&B)", 240, 3720, 1335, 375},
           {m::kCmd次へ, Kind::Button, L"次へ(&N) ＞", 1800, 3720, 1335, 375},
           {m::kCmdキャンセル, Kind::Button, L"ｷｬﾝｾﾙ(&C)", 4200, 3720, 1335, 375},
           {m::kLblProgress, Kind::Label, L"", 240, 3090, 5415, 255, false},
           {m::kProgress, Kind::Progress, L"", 240, 3360, 5295, 240, false},
       }},
      {Form::Frm2List,
       L"",
       7350,
       4830,
       {
           {l::kLabタイトル, Kind::Label,
            L" no suffix attr    id     font     mmp       file                   app ", 120, 120,
            6255, 255},
           {l::kList1, Kind::List, L"", 120, 360, 7095, 2790},
           {l::kLab追加, Kind::Label, L"", 240, 3600, 6255, 255},
           {l::kLab説明 + 2, Kind::Label, L"● 上記の関連付けを Ravuz.ini に追加するために、", 240,
            3960, 5055, 255},
           {l::kLab説明 + 0, Kind::Label, L"不要な関連付けをリスト中から１つ選択し、", 480, 4200,
            4935, 255},
           {l::kLab説明 + 1, Kind::Label, L"OK ボタンをクリックください。", 480, 4440, 4815, 255},
           {l::kCmdOK, Kind::Button, L"OK", 5760, 4320, 1315, 375},
       }},
      {Form::Frm3Port,
       L"本体アプリケーションインストーラ - Step 2/2",
       6525,
       3525,
       {
           {p::kFrame1, Kind::Frame, L"シリアルポート番号", 120, 240, 6255, 2175},
           {p::kOptポート + 0, Kind::Option, L"シリアルポート１ ( COM１ )", 120 + 360, 240 + 240,
            2655, 375},
           {p::kOptポート + 1, Kind::Option, L"シリアルポート２ ( COM２ )", 120 + 360, 240 + 600,
            2655, 375},
           {p::kOptポート + 2, Kind::Option, L"シリアルポート３ ( COM３ )", 120 + 360, 240 + 960,
            2655, 375},
           {p::kOptポート + 3, Kind::Option, L"シリアルポート４ ( COM４ )", 120 + 360, 240 + 1320,
            2655, 375},
           {p::kOptポート + 4, Kind::Option, L"シリアルポート５ ( COM５ )", 120 + 360, 240 + 1680,
            2655, 375},
           {p::kOptポート + 5, Kind::Option, L"シリアルポート６ ( COM６ )", 120 + 3240, 240 + 240,
            2895, 375},
           {p::kOptポート + 6, Kind::Option, L"シリアルポート７ ( COM７ )", 120 + 3240, 240 + 600,
            2895, 375},
           {p::kOptポート + 7, Kind::Option, L"シリアルポート８ ( COM８ )", 120 + 3240, 240 + 960,
            2895, 375},
           {p::kOptポート + 8, Kind::Option, L"シリアルポート９ ( COM９ )", 120 + 3240, 240 + 1320,
            2895, 375},
           {p::kOptポート + 9, Kind::Option, L"シリアルポート１０ ( COM１０ )", 120 + 3240,
            240 + 1680, 2895, 375},
           {p::kCmd戻る, Kind::Button, L"＜ 戻る(&B)", 240, 3000, 1335, 375},
           {p::kCmd開始, Kind::Button, L"次へ(&N) ＞", 1800, 3000, 1335, 375},
           {p::kCmdキャンセル, Kind::Button, L"ｷｬﾝｾﾙ(&C)", 4920, 3000, 1335, 375},
           {p::kLabel1, Kind::Label,
            L"● シリアルポート番号を選択し、［次へ(N) ＞］ボタンを押してください。", 240, 2640,
            6255, 255},
       }},
      {Form::Frm4Text,
       L"本体アプリケーションインストーラ - ディレクトリ変更",
       4590,
       2070,
       {
           {t::kLabel1, Kind::Label, L"転送先のVokutaのディレクトリ（パス）を変更する", 240, 120,
            4215, 255},
           {t::kLabel2, Kind::Label, L"場合は、下記のパスを変更してください。", 240, 360, 3855,
            255},
           {t::kText1, Kind::Edit, L"Text1", 120, 720, 4335, 270},
           {t::kLabel3, Kind::Label, L"● ［OK(O)］ボタンでパスを変更します。", 120, 1200, 4095,
            255},
           {t::kCmdOK, Kind::Button, L"ＯＫ (&O)", 240, 1560, 1335, 375},
           {t::kCmdキャンセル, Kind::Button, L"ｷｬﾝｾﾙ(&C)", 3000, 1560, 1335, 375},
       }},
  };
  return all;
}

std::wstring textOf(HWND hwnd) {
  wchar_t text[256] = {};
  GetWindowTextW(hwnd, text, 256);
  return text;
}

std::wstring classOf(HWND hwnd) {
  wchar_t name[64] = {};
  GetClassNameW(hwnd, name, 64);
  return name;
}

LONG_PTR styleOf(HWND hwnd) { return GetWindowLongPtrW(hwnd, GWL_STYLE); }

/// The control's class as the user meets it: window class and, for buttons and labels, type.
bool hasKind(HWND hwnd, Kind kind) {
  const std::wstring cls = classOf(hwnd);
  const LONG_PTR style = styleOf(hwnd);
  switch (kind) {
  case Kind::Label:
    return _wcsicmp(cls.c_str(), L"Static") == 0 && (style & SS_TYPEMASK) == SS_LEFT;
  case Kind::Button:
    return _wcsicmp(cls.c_str(), L"Button") == 0 && (style & BS_TYPEMASK) == BS_PUSHBUTTON;
  case Kind::Option:
    return _wcsicmp(cls.c_str(), L"Button") == 0 && (style & BS_TYPEMASK) == BS_AUTORADIOBUTTON;
  case Kind::Frame:
    return _wcsicmp(cls.c_str(), L"Button") == 0 && (style & BS_TYPEMASK) == BS_GROUPBOX;
  case Kind::List:
    return _wcsicmp(cls.c_str(), L"ListBox") == 0 &&
           !(style & (LBS_SORT | LBS_MULTIPLESEL | LBS_EXTENDEDSEL));
  case Kind::Edit:
    return _wcsicmp(cls.c_str(), L"Edit") == 0 && !(style & ES_MULTILINE);
  case Kind::Progress:
    return _wcsicmp(cls.c_str(), PROGRESS_CLASSW) == 0;
  }
  return false;
}

/// left, top, right, bottom: comparable and printable.
using Corners = std::array<LONG, 4>;

Corners cornersOf(const RECT& r) { return {r.left, r.top, r.right, r.bottom}; }

/// The control's rectangle in its form's client area.
Corners placeOf(HWND control) {
  RECT r;
  GetWindowRect(control, &r);
  MapWindowPoints(nullptr, GetParent(control), reinterpret_cast<POINT*>(&r), 2);
  return cornersOf(r);
}

POINT centreOf(HWND hwnd) {
  RECT r;
  GetWindowRect(hwnd, &r);
  return {(r.left + r.right) / 2, (r.top + r.bottom) / 2};
}

using FormsLayout = FormsTest;

TEST_F(FormsLayout, EveryControlHasItsClassTextAndPlace) {
  for (const FormLayout& layout : layouts()) {
    const HWND hwnd = form(layout.form);
    SCOPED_TRACE(testing::Message() << "form " << static_cast<int>(layout.form));
    EXPECT_EQ(textOf(hwnd), layout.caption);
    RECT client;
    GetClientRect(hwnd, &client);
    EXPECT_EQ(cornersOf(client),
              (Corners{0, 0, pixelsX(layout.clientWidth), pixelsY(layout.clientHeight)}));

    int children = 0;
    for (HWND c = GetWindow(hwnd, GW_CHILD); c; c = GetWindow(c, GW_HWNDNEXT)) ++children;
    EXPECT_EQ(children, static_cast<int>(layout.controls.size()));

    for (const Expected& e : layout.controls) {
      SCOPED_TRACE(testing::Message() << "control " << e.id);
      const HWND c = control(layout.form, e.id);
      ASSERT_NE(c, nullptr);
      EXPECT_TRUE(hasKind(c, e.kind))
          << "class " << testing::PrintToString(classOf(c)) << ", style " << std::hex << styleOf(c);
      EXPECT_EQ(textOf(c), e.text);
      const int left = pixelsX(e.left);
      const int top = pixelsY(e.top);
      const Corners place = placeOf(c);
      EXPECT_EQ(place, (Corners{left, top, left + pixelsX(e.width), top + pixelsY(e.height)}));
      EXPECT_TRUE(place[0] >= 0 && place[1] >= 0 && place[2] <= client.right &&
                  place[3] <= client.bottom)
          << "outside the form";
      EXPECT_EQ((styleOf(c) & WS_VISIBLE) != 0, e.shown);
    }
  }
}

TEST_F(FormsLayout, FormsAreFixedWithCloseBoxOnlyAndStartHidden) {
  for (Form f : {Form::Frm1Main, Form::Frm2List, Form::Frm3Port, Form::Frm4Text}) {
    SCOPED_TRACE(static_cast<int>(f));
    const LONG_PTR style = styleOf(form(f));
    EXPECT_EQ(style & (WS_MINIMIZEBOX | WS_MAXIMIZEBOX | WS_THICKFRAME), 0);
    EXPECT_EQ(style & (WS_CAPTION | WS_SYSMENU), WS_CAPTION | WS_SYSMENU);
    EXPECT_FALSE(IsWindowVisible(form(f)));
  }
}

TEST_F(FormsLayout, ControlsUseTheirDesignedFonts) {
  const struct {
    Form form;
    int id;
    const wchar_t* face;
    int hundredths;
  } cases[] = {
      {Form::Frm1Main, ids::frm1main::kLabel1, L"ＭＳ Ｐゴシック", 1050},
      {Form::Frm1Main, ids::frm1main::kCmd次へ, L"ＭＳ Ｐゴシック", 975},
      {Form::Frm1Main, ids::frm1main::kFrame1, L"ＭＳ Ｐゴシック", 825},
      {Form::Frm2List, ids::frm2list::kLabタイトル, L"ＭＳ Ｐゴシック", 1050},
      {Form::Frm2List, ids::frm2list::kList1, L"ＭＳ ゴシック", 975},
      {Form::Frm3Port, ids::frm3port::kOptポート + 9, L"ＭＳ Ｐゴシック", 975},
      {Form::Frm4Text, ids::frm4text::kText1, L"ＭＳ Ｐゴシック", 1050},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.id);
    const auto font =
        reinterpret_cast<HFONT>(SendMessageW(control(c.form, c.id), WM_GETFONT, 0, 0));
    ASSERT_NE(font, nullptr);
    LOGFONTW lf = {};
    ASSERT_EQ(GetObjectW(font, sizeof lf, &lf), static_cast<int>(sizeof lf));
    EXPECT_STREQ(lf.lfFaceName, c.face);
    EXPECT_EQ(lf.lfHeight, -MulDiv(c.hundredths, dpiY(), 7200));
    EXPECT_EQ(lf.lfCharSet, SHIFTJIS_CHARSET);
    EXPECT_EQ(lf.lfWeight, FW_NORMAL);
  }
}

TEST_F(FormsLayout, PortDialogStartsOnCom1WithBackDisabled) {
  namespace p = ids::frm3port;
  for (int i = 0; i < 10; ++i)
    EXPECT_EQ(SendMessageW(control(Form::Frm3Port, p::kOptポート + i), BM_GETCHECK, 0, 0),
              i == 0 ? BST_CHECKED : BST_UNCHECKED)
        << i;
  EXPECT_FALSE(IsWindowEnabled(control(Form::Frm3Port, p::kCmd戻る)));
  // Everything else can be used.
  for (const FormLayout& layout : layouts()) {
    for (const Expected& e : layout.controls) {
      if (layout.form == Form::Frm3Port && e.id == p::kCmd戻る) continue;
      EXPECT_TRUE(IsWindowEnabled(control(layout.form, e.id))) << e.id;
    }
  }
}

TEST_F(FormsLayout, MainWindowAndPortDialogShareTheProgramIcon) {
  const auto icon = [&](Form f, WPARAM size) { return SendMessageW(form(f), WM_GETICON, size, 0); };
  for (WPARAM size : {ICON_BIG, ICON_SMALL}) {
    EXPECT_NE(icon(Form::Frm1Main, size), 0);
    EXPECT_EQ(icon(Form::Frm3Port, size), icon(Form::Frm1Main, size));
    EXPECT_EQ(icon(Form::Frm4Text, size), 0);
    EXPECT_EQ(icon(Form::Frm2List, size), 0);
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
    SCOPED_TRACE(static_cast<int>(c.form));
    ui_.showForm(c.form, false, std::nullopt);
    std::vector<int> order;
    for (std::size_t i = 0; i < c.order.size(); ++i) {
      order.push_back(GetDlgCtrlID(GetFocus()));
      press(VK_TAB);
    }
    EXPECT_EQ(order, c.order);
    EXPECT_EQ(GetDlgCtrlID(GetFocus()), c.order.front());
    ui_.hideForm(c.form);
  }
}

TEST_F(FormsLayout, FormsOpenCentredOnTheScreenOrOnTheirOwner) {
  const POINT screen{GetSystemMetrics(SM_CXSCREEN) / 2, GetSystemMetrics(SM_CYSCREEN) / 2};
  for (Form f : {Form::Frm1Main, Form::Frm4Text}) {
    const POINT centre = centreOf(form(f));
    EXPECT_NEAR(centre.x, screen.x, 1);
    EXPECT_NEAR(centre.y, screen.y, 1);
  }
  // Moved away from the middle, the main window takes the port dialog with it.
  SetWindowPos(form(Form::Frm1Main), nullptr, 20, 30, 0, 0, SWP_NOSIZE | SWP_NOZORDER);
  ui_.showForm(Form::Frm3Port, false, Form::Frm1Main);
  const POINT owner = centreOf(form(Form::Frm1Main));
  const POINT port = centreOf(form(Form::Frm3Port));
  EXPECT_NEAR(port.x, owner.x, 1);
  EXPECT_NEAR(port.y, owner.y, 1);
}

} // namespace
} // namespace vokuta::platform_test
