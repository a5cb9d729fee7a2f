// Win32Ui as the program uses it, acted on as a user would, from the keyboard or from another
// thread that reads what each message box offers and presses one of its buttons: the boxes;
// the four forms, what holds of every control, the places and fonts of a few at 96 and at 144
// dots per inch, the icons, the tab order and where the forms open; showing and hiding them,
// modal and modeless; and the events that reach the core's handlers from the keyboard.
#include <gtest/gtest.h>

#include <algorithm>
#include <array>
#include <cstdlib>
#include <functional>
#include <process.h>
#include <stdexcept>
#include <string>
#include <thread>
#include <tuple>
#include <vector>

#include "mainwin/item_list_view.h"
#include "state/program.h"
#include "util/shift_jis.h"
#include "win32/control_ids.h"
#include "win32/win.h"
#include "win32/win32_codepage.h"
#include "win32/win32_pc_files.h"
#include "win32/win32_registry.h"
#include "win32/win32_ui.h"

namespace vokuta::platform_test {
namespace {

namespace ids = win32::ids;

/// Polls `done` every 10 ms for up to five seconds; true when it came to hold.
bool waitFor(const std::function<bool()>& done) {
  for (int tries = 0; tries < 500; ++tries, Sleep(10))
    if (done()) return true;
  return false;
}

std::wstring textOf(HWND hwnd) {
  wchar_t text[512] = {};
  GetWindowTextW(hwnd, text, 512);
  return text;
}

/// Stands in for the user at the next message box titled `title`, on a thread of its own:
/// waits for it, records what it shows, runs `whileOpen` and presses `button` (IDOK, IDYES, ...;
/// 0 is Escape).
class BoxAnswerer {
public:
  bool seen = false;
  std::wstring text;
  HWND owner = nullptr;
  std::vector<int> buttons; ///< the visible ones, in id order
  int defaultButton = 0;
  HICON icon = nullptr;

  BoxAnswerer(std::wstring title, int button, std::function<void()> whileOpen = {})
      : thread_([this, title = std::move(title), button, whileOpen = std::move(whileOpen)] {
          HWND box = nullptr;
          // Only a visible box of that title is one to answer.
          if (!waitFor([&] {
                for (box = nullptr; (box = FindWindowExW(nullptr, box, L"#32770", title.c_str()));)
                  if (IsWindowVisible(box)) return true;
                return false;
              }))
            return;
          seen = true;
          text = textOf(GetDlgItem(box, 0xFFFF));
          owner = GetWindow(box, GW_OWNER);
          for (int id : {IDOK, IDCANCEL, IDRETRY, IDYES, IDNO}) {
            const HWND b = GetDlgItem(box, id);
            if (!b || !IsWindowVisible(b)) continue;
            buttons.push_back(id);
            if ((GetWindowLongW(b, GWL_STYLE) & BS_TYPEMASK) == BS_DEFPUSHBUTTON)
              defaultButton = id;
          }
          for (HWND c = GetWindow(box, GW_CHILD); c; c = GetWindow(c, GW_HWNDNEXT))
            if (const auto shown = SendMessageW(c, STM_GETICON, 0, 0))
              icon = reinterpret_cast<HICON>(shown);
          if (whileOpen) whileOpen();
          PostMessageW(box, button ? WM_COMMAND : WM_KEYDOWN,
                       button ? MAKEWPARAM(button, BN_CLICKED) : VK_ESCAPE, 0);
        }) {}
  ~BoxAnswerer() { wait(); }

  /// Waits for the helper: then it has seen what it saw.
  const BoxAnswerer& wait() {
    if (thread_.joinable()) thread_.join();
    return *this;
  }

private:
  std::thread thread_;
};

/// The four forms, created hidden, over the real registry and file system.
class Win32UiForms : public testing::Test {
protected:
  Win32UiForms() { ui_.createForms(program_); }

  HWND form(Form f) const { return ui_.handle(f); }
  HWND control(Form f, int id) const { return GetDlgItem(form(f), id); }

  /// Posts a key to the window with the focus and runs the events it causes, with `held` (0:
  /// none) down meanwhile in this thread's keyboard state, where GetKeyState reads it.
  void press(UINT key, int held = 0) {
    BYTE saved[256], state[256];
    GetKeyboardState(saved);
    std::copy(std::begin(saved), std::end(saved), state);
    state[held] |= held ? 0x80 : 0;
    SetKeyboardState(state);
    PostMessageW(GetFocus(), WM_KEYDOWN, key, 1);
    PostMessageW(GetFocus(), WM_KEYUP, key, 0xC0000001);
    ui_.processEvents();
    SetKeyboardState(saved);
  }

  HWND option(int index) const {
    return control(Form::Frm3Port, ids::frm3port::kOptポート + index);
  }
  std::vector<int> checkedOptions() const {
    std::vector<int> checked;
    for (int i = 0; i < 10; ++i)
      if (SendMessageW(option(i), BM_GETCHECK, 0, 0) == BST_CHECKED) checked.push_back(i);
    return checked;
  }

  static const ShiftJis& sjis() {
    // Built once: it asks Windows for every code of the code page.
    static Win32Codepage codepage;
    static const ShiftJis tables(codepage);
    return tables;
  }

  Win32Registry registry_;
  Win32PcFiles files_;
  Win32Ui ui_;
  Program program_{Seams{ui_, registry_, files_, sjis()}};
};

TEST(Win32Ui, MessageBoxOffersTheButtonsAndIconAskedForAndGivesTheAnswer) {
  using enum Buttons;
  using enum Icon;
  const struct {
    Buttons buttons;
    int defaultButton;
    Icon icon;
    const wchar_t* systemIcon; ///< the shared icon Windows shows for it
    int press;
    std::vector<int> offered;
    int expectedDefault;
    int answer;
  } cases[] = {
      {Ok, 1, Stop, IDI_HAND, IDOK, {IDOK}, IDOK, kOk},
      {OkCancel, 1, Exclamation, IDI_EXCLAMATION, IDCANCEL, {IDOK, IDCANCEL}, IDOK, kCancel},
      {OkCancel, 2, Information, IDI_ASTERISK, 0, {IDOK, IDCANCEL}, IDCANCEL, kCancel},
      {YesNo, 1, Question, IDI_QUESTION, IDYES, {IDYES, IDNO}, IDYES, kYes},
      {YesNo, 2, Question, IDI_QUESTION, IDNO, {IDYES, IDNO}, IDNO, kNo},
      {RetryCancel, 1, Stop, IDI_HAND, IDRETRY, {IDCANCEL, IDRETRY}, IDRETRY, kRetry},
      {RetryCancel, 1, Stop, IDI_HAND, 0, {IDCANCEL, IDRETRY}, IDRETRY, kCancel},
  };
  Win32Ui ui;
  int n = 0;
  for (const auto& c : cases) {
    const std::wstring title = L"Win32Ui テスト " + std::to_wstring(++n);
    BoxAnswerer user(title, c.press);
    const int answer =
        ui.messageBox(L"確認してください。", title, c.buttons, c.icon, c.defaultButton);
    const BoxAnswerer& box = user.wait();
    // No window of the program is active: the box has no owner and is task-modal.
    EXPECT_EQ(std::tuple(box.owner, box.buttons, box.defaultButton, box.icon, box.text, answer),
              std::tuple(HWND{}, c.offered, c.expectedDefault, LoadIconW(nullptr, c.systemIcon),
                         std::wstring(L"確認してください。"), c.answer))
        << n;
  }
}

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

using FormsLayout = Win32UiForms;

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
    EXPECT_EQ(
        std::tuple(std::wstring(font.lfFaceName), -font.lfHeight, font.lfCharSet, font.lfWeight),
        std::tuple(std::wstring(c.face), at144 ? c.heightAt144 : c.heightAt96,
                   BYTE{SHIFTJIS_CHARSET}, LONG{FW_NORMAL}));
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

TEST_F(Win32UiForms, ShowAndHideChangeOnlyTheFormAskedFor) {
  ui_.showForm(Form::Frm3Port, false, Form::Frm1Main);
  EXPECT_EQ(GetActiveWindow(), form(Form::Frm3Port));
  EXPECT_EQ(GetWindow(form(Form::Frm3Port), GW_OWNER), form(Form::Frm1Main));
  EXPECT_FALSE(IsWindowVisible(form(Form::Frm1Main)));
  ui_.hideForm(Form::Frm3Port);
  EXPECT_FALSE(IsWindowVisible(form(Form::Frm3Port)));
  EXPECT_EQ(ui_.mainWindowHandle(), reinterpret_cast<std::intptr_t>(form(Form::Frm1Main)));
  EXPECT_THROW(ui_.setText(Form::Frm3Port, Control::Text1, L"x"), std::invalid_argument);
}

// A modal show holds its owner until the form is hidden, by a click or the close box; the
// choice dialog's OK and close box go through its hooks when it has any, else just hide it.
TEST_F(Win32UiForms, ModalShowHoldsTheOwnerUntilTheFormIsHidden) {
  namespace l = ids::frm2list;
  const struct {
    Form form, owner;
    int click; ///< 0: the close box
    bool hooks;
    std::vector<std::wstring> calls;
  } cases[] = {
      {Form::Frm4Text, Form::Frm1Main, ids::frm4text::kCmdキャンセル, false, {}},
      {Form::Frm2List, Form::Frm3Port, l::kCmdOK, true, {L"ok"}},
      {Form::Frm2List, Form::Frm3Port, 0, true, {L"closed"}},
      {Form::Frm2List, Form::Frm3Port, l::kCmdOK, false, {}},
      {Form::Frm2List, Form::Frm3Port, 0, false, {}},
  };
  std::vector<std::wstring> calls;
  const auto hook = [&](const wchar_t* name) {
    return [&calls, name](Program& p) {
      calls.push_back(name);
      p.ui.hideForm(Form::Frm2List);
    };
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(testing::Message() << c.click << c.hooks);
    calls.clear();
    ui_.setChoiceHooks(c.hooks ? ChoiceHooks{hook(L"ok"), hook(L"closed")} : ChoiceHooks{});
    ui_.showForm(c.owner, false, std::nullopt);
    const HWND dialog = form(c.form);
    bool ownerHeld = false, hidden = false;
    std::thread user([&] {
      if (!waitFor([&] { return IsWindowVisible(dialog) != FALSE; })) return;
      ownerHeld = !IsWindowEnabled(form(c.owner)) && IsWindowEnabled(dialog);
      if (c.click)
        PostMessageW(control(c.form, c.click), BM_CLICK, 0, 0);
      else
        PostMessageW(dialog, WM_CLOSE, 0, 0);
      hidden = waitFor([&] { return !IsWindowVisible(dialog); });
      if (!hidden) PostMessageW(dialog, WM_CLOSE, 0, 0); // so that the show, and the test, ends
    });
    ui_.showForm(c.form, true, c.owner);
    user.join();
    EXPECT_TRUE(ownerHeld);
    EXPECT_TRUE(hidden);
    EXPECT_TRUE(IsWindowEnabled(form(c.owner)));
    EXPECT_EQ(GetWindow(dialog, GW_OWNER), form(c.owner));
    EXPECT_EQ(calls, c.calls);
  }
}

TEST_F(Win32UiForms, AnExceptionInAHandlerIsReportedAndGoesNoFurther) {
  ui_.setChoiceHooks({[](Program&) { throw std::runtime_error("choice failed"); }, {}});
  ui_.showForm(Form::Frm2List, false, std::nullopt);
  BoxAnswerer user(AppTitle + L" - エラー", IDOK);
  SendMessageW(control(Form::Frm2List, ids::frm2list::kCmdOK), BM_CLICK, 0, 0);
  ASSERT_TRUE(user.wait().seen);
  EXPECT_NE(user.wait().text.find(L"choice failed"), std::wstring::npos) << user.wait().text;
  EXPECT_TRUE(IsWindowVisible(form(Form::Frm2List)));
}

TEST_F(Win32UiForms, MessageBoxBelongsToTheActiveFormAndHoldsTheOthers) {
  ui_.showForm(Form::Frm1Main, false, std::nullopt);
  ui_.showForm(Form::Frm4Text, false, Form::Frm1Main);
  bool mainEnabled = true;
  BoxAnswerer user(L"Win32Ui 所有者", IDOK,
                   [&] { mainEnabled = IsWindowEnabled(form(Form::Frm1Main)); });
  EXPECT_EQ(ui_.messageBox(L"確認", L"Win32Ui 所有者", Buttons::Ok, Icon::Information), kOk);
  EXPECT_EQ(user.wait().owner, form(Form::Frm4Text));
  EXPECT_FALSE(mainEnabled);
  EXPECT_TRUE(IsWindowEnabled(form(Form::Frm1Main)));
  EXPECT_TRUE(IsWindowEnabled(form(Form::Frm4Text)));
}

TEST_F(Win32UiForms, ArrowKeysChooseThePortLikeClicks) {
  ui_.showForm(Form::Frm3Port, false, Form::Frm1Main);
  ASSERT_EQ(GetFocus(), option(0));
  const struct {
    UINT key;
    int chosen;
  } steps[] = {
      {VK_DOWN, 1}, {VK_DOWN, 2},  {VK_UP, 1},    {VK_LEFT, 0},
      {VK_UP, 9},   {VK_RIGHT, 0}, {VK_RIGHT, 1},
  };
  for (const auto& step : steps) {
    press(step.key);
    EXPECT_EQ(GetFocus(), option(step.chosen));
    EXPECT_EQ(checkedOptions(), std::vector{step.chosen});
    EXPECT_EQ(program_.g.PortNumber, step.chosen + 1);
  }
  SendMessageW(option(7), BM_CLICK, 0, 0);
  EXPECT_EQ(program_.g.PortNumber, 8);
  // Tab leaves the group and comes back into it at the chosen port.
  press(VK_TAB);
  EXPECT_EQ(GetFocus(), control(Form::Frm3Port, ids::frm3port::kCmd開始));
  press(VK_TAB, VK_SHIFT);
  EXPECT_EQ(GetFocus(), option(7));
  EXPECT_EQ(checkedOptions(), std::vector{7});
}

TEST_F(Win32UiForms, DeleteInTheListRemovesTheItemUnlessAModifierIsHeld) {
  ui_.showForm(Form::Frm1Main, false, std::nullopt);
  for (int held : {0, VK_SHIFT, VK_CONTROL, VK_MENU}) {
    program_.setupTable = {};
    program_.setupTable[0] = {L"a", L"\\d", L"C:\\vokuta-test-none", L""};
    program_.setupTable[1] = {L"b", L"\\d", L"C:\\vokuta-test-none", L""};
    FillItemList(program_);
    ui_.listSelect(Form::Frm1Main, 0);
    SetFocus(control(Form::Frm1Main, ids::frm1main::kList1));
    press(VK_DELETE, held);
    EXPECT_EQ(ui_.listCount(Form::Frm1Main), held ? 2 : 1) << held;
    EXPECT_EQ(program_.setupTable[0].FileName, held ? L"a" : L"b") << held;
  }
}

// No button is the default or the cancel button; an access key acts with Alt, and without it
// too unless the focus is in the text box, which takes the letter.
TEST_F(Win32UiForms, OnlyAFocusedButtonOrAnAccessKeyActsOnTheKeyboard) {
  namespace t = ids::frm4text;
  const struct {
    int focus;
    UINT message;
    WPARAM key;
    bool hides;
  } cases[] = {
      {t::kText1, WM_KEYDOWN, VK_RETURN, false},
      {t::kText1, WM_KEYDOWN, VK_ESCAPE, false},
      {t::kCmdキャンセル, WM_KEYDOWN, VK_ESCAPE, false},
      {t::kCmdキャンセル, WM_KEYDOWN, VK_RETURN, true},
      {t::kCmdキャンセル, WM_KEYDOWN, VK_SPACE, true},
      {t::kText1, WM_SYSCHAR, L'c', true},
      {t::kText1, WM_CHAR, L'c', false},
      {t::kCmdOK, WM_CHAR, L'c', true},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(testing::Message() << c.focus << " " << c.message << " " << c.key);
    ui_.showForm(Form::Frm4Text, false, std::nullopt);
    SetFocus(control(Form::Frm4Text, c.focus));
    if (c.message == WM_KEYDOWN) {
      press(static_cast<UINT>(c.key));
    } else {
      PostMessageW(GetFocus(), c.message, c.key, c.message == WM_SYSCHAR ? 0x20000001 : 1);
      ui_.processEvents();
    }
    EXPECT_EQ(!IsWindowVisible(form(Form::Frm4Text)), c.hides);
  }
}

} // namespace
} // namespace vokuta::platform_test
