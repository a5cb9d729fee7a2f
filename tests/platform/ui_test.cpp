// Win32Ui as the program uses it, acted on as a user would, from the keyboard or from another
// thread that reads what each message box offers and presses one of its buttons: the boxes;
// the four forms, what holds of every control, the places and fonts of a few at 96 and at 144
// dots per inch, the icons, the tab order and where the forms open; showing and hiding them,
// modal and modeless; the events that reach the core's handlers from the keyboard; and what a
// run shows: the progress bar as drawn on the screen and the wait cursor.
#include <gtest/gtest.h>

#include <array>
#include <cstdlib>
#include <functional>
#include <numeric>
#include <process.h>
#include <stdexcept>
#include <string>
#include <thread>
#include <tuple>
#include <utility>
#include <vector>

#include "mainwin/item_list_view.h"
#include "state/program.h"
#include "util/shift_jis.h"
#include "win32/control_ids.h"
#include "win32/progress_bar.h"
#include "win32/run_monitor.h"
#include "win32/win.h"
#include "win32/win32_codepage.h"
#include "win32/win32_pc_files.h"
#include "win32/win32_registry.h"
#include "win32/win32_ui.h"

#include <commctrl.h>

namespace vokuta::platform_test {
namespace {

namespace ids = win32::ids;
using enum Form;

/// Polls `done` every 10 ms for up to five seconds; true when it came to hold.
bool waitFor(const std::function<bool()>& done) {
  for (int tries = 0; tries < 500; ++tries, Sleep(10))
    if (done()) return true;
  return false;
}

/// Stands in for the user at the next message box titled `title`, on a thread of its own:
/// waits for it, records what it shows, runs `whileOpen` and presses `button` (IDOK, IDYES, ...;
/// 0 is Escape).
struct BoxAnswerer {
  std::wstring text; ///< empty until a box is seen
  HWND owner = nullptr;
  std::vector<int> buttons; ///< the visible ones, in id order
  int defaultButton = 0;
  HICON icon = nullptr;
  std::thread thread;

  BoxAnswerer(std::wstring title, int button, std::function<void()> whileOpen = {})
      : thread([=, this] {
          HWND box = nullptr;
          if (!waitFor([&] {
                return (box = FindWindowW(L"#32770", title.c_str())) && IsWindowVisible(box);
              }))
            return;
          wchar_t shown[512] = {};
          GetDlgItemTextW(box, 0xFFFF, shown, 512);
          text = shown;
          owner = GetWindow(box, GW_OWNER);
          for (int id : {IDOK, IDCANCEL, IDRETRY, IDYES, IDNO})
            if (const HWND b = GetDlgItem(box, id); b && IsWindowVisible(b)) {
              buttons.push_back(id);
              if ((GetWindowLongW(b, GWL_STYLE) & BS_TYPEMASK) == BS_DEFPUSHBUTTON)
                defaultButton = id;
            }
          for (HWND c = GetWindow(box, GW_CHILD); c; c = GetWindow(c, GW_HWNDNEXT))
            if (const auto i = SendMessageW(c, STM_GETICON, 0, 0))
              icon = reinterpret_cast<HICON>(i);
          if (whileOpen) whileOpen();
          PostMessageW(box, button ? WM_COMMAND : WM_KEYDOWN,
                       button ? MAKEWPARAM(button, BN_CLICKED) : VK_ESCAPE, 0);
        }) {}
  ~BoxAnswerer() { wait(); }

  /// Waits for the helper: then it has seen what it saw.
  const BoxAnswerer& wait() {
    if (thread.joinable()) thread.join();
    return *this;
  }
};

/// The four forms, created hidden, over the real registry and file system.
class Win32UiForms : public testing::Test {
protected:
  Win32UiForms() { ui_.createForms(program_); }

  HWND form(Form f) const { return ui_.handle(f); }
  HWND control(Form f, int id) const { return GetDlgItem(form(f), id); }

  /// Posts a key to the window with the focus, with `held` (a modifier) down in the thread's
  /// key state, and runs the events it causes.
  void press(UINT key, int held = 0) {
    BYTE state[256] = {};
    state[held] = held ? 0x80 : 0;
    SetKeyboardState(state);
    PostMessageW(GetFocus(), WM_KEYDOWN, key, 1);
    PostMessageW(GetFocus(), WM_KEYUP, key, 0xC0000001);
    ui_.processEvents();
    state[held] = 0;
    SetKeyboardState(state);
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

// Every box is modal to the whole program: without an active window (at start-up) it has no
// owner and is task-modal; over the forms it belongs to the active one and holds the others.
TEST_F(Win32UiForms, MessageBoxOffersTheButtonsAndIconAskedForAndGivesTheAnswer) {
  using enum Buttons;
  using enum Icon;
  const struct {
    Buttons buttons;
    Icon icon;
    const wchar_t* systemIcon; ///< the shared icon Windows shows for it
    int defaultButton, press, expectedDefault, answer;
    std::vector<int> offered;
    bool overForms;
  } cases[] = {
      {Ok, Stop, IDI_HAND, 1, IDOK, IDOK, kOk, {IDOK}, false},
      {OkCancel, Exclamation, IDI_EXCLAMATION, 1, IDCANCEL, IDOK, kCancel, {IDOK, IDCANCEL}, false},
      {OkCancel, Information, IDI_ASTERISK, 2, 0, IDCANCEL, kCancel, {IDOK, IDCANCEL}, false},
      {YesNo, Question, IDI_QUESTION, 1, IDYES, IDYES, kYes, {IDYES, IDNO}, false},
      {RetryCancel, Stop, IDI_HAND, 1, IDRETRY, IDRETRY, kRetry, {IDCANCEL, IDRETRY}, false},
      {Ok, Information, IDI_ASTERISK, 1, IDOK, IDOK, kOk, {IDOK}, true},
  };
  const auto enabled = [&](Form f) { return IsWindowEnabled(form(f)) != FALSE; };
  for (const auto& c : cases) {
    if (c.overForms) {
      ui_.showForm(Frm1Main, false, std::nullopt);
      ui_.showForm(Frm4Text, false, Frm1Main);
    }
    const std::wstring title = L"Win32Ui テスト " + std::to_wstring(&c - cases);
    bool mainEnabled = true;
    BoxAnswerer user(title, c.press, [&] { mainEnabled = enabled(Frm1Main); });
    const int answer =
        ui_.messageBox(L"確認してください。", title, c.buttons, c.icon, c.defaultButton);
    const BoxAnswerer& box = user.wait();
    EXPECT_EQ(std::tuple(box.owner, box.buttons, box.defaultButton, box.icon, box.text, answer,
                         mainEnabled, enabled(Frm1Main), enabled(Frm4Text)),
              std::tuple(c.overForms ? form(Frm4Text) : HWND{}, c.offered, c.expectedDefault,
                         LoadIconW(nullptr, c.systemIcon), std::wstring(L"確認してください。"),
                         c.answer, false, true, true))
        << &c - cases;
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

/// Whether the window's middle is within a pixel of `middle`'s (nullptr: the screen's).
bool centredOn(HWND hwnd, HWND middle) {
  RECT a, b = {0, 0, GetSystemMetrics(SM_CXSCREEN), GetSystemMetrics(SM_CYSCREEN)};
  GetWindowRect(hwnd, &a);
  if (middle) GetWindowRect(middle, &b);
  return std::abs(a.left + a.right - b.left - b.right) <= 2 &&
         std::abs(a.top + a.bottom - b.top - b.bottom) <= 2;
}

// Fixed size with a close box only, hidden until shown; the controls the user acts on (not
// labels or frames) apart, but for the options of a group, which the design stacks a pixel into
// each other. That they lie inside their forms, at 96 and at 144 dots per inch, is the
// end-to-end scenarios' concern.
TEST_F(Win32UiForms, EveryFormIsFixedAndKeepsItsControlsApart) {
  const auto style = [](HWND h) { return GetWindowLongPtrW(h, GWL_STYLE); };
  const auto actedOn = [&](HWND h) {
    return (style(h) & WS_VISIBLE) && !(SendMessageW(h, WM_GETDLGCODE, 0, 0) & DLGC_STATIC);
  };
  const auto isOption = [&](HWND h) { return (style(h) & BS_TYPEMASK) == BS_AUTORADIOBUTTON; };
  for (Form f : {Frm1Main, Frm2List, Frm3Port, Frm4Text}) {
    const LONG_PTR fixed =
        WS_MINIMIZEBOX | WS_MAXIMIZEBOX | WS_THICKFRAME | WS_CAPTION | WS_SYSMENU | WS_VISIBLE;
    EXPECT_EQ(style(form(f)) & fixed, WS_CAPTION | WS_SYSMENU) << static_cast<int>(f);
    for (HWND c = GetWindow(form(f), GW_CHILD); c; c = GetWindow(c, GW_HWNDNEXT)) {
      for (HWND o = GetWindow(form(f), GW_CHILD); o; o = GetWindow(o, GW_HWNDNEXT)) {
        const Corners a = placeOf(c), b = placeOf(o);
        EXPECT_FALSE(o != c && actedOn(c) && actedOn(o) && !(isOption(c) && isOption(o)) &&
                     a[0] < b[2] && b[0] < a[2] && a[1] < b[3] && b[1] < a[3])
            << GetDlgCtrlID(c) << " overlaps " << GetDlgCtrlID(o);
      }
    }
  }
}

// Run again at 144 dots per inch by FormsAt144Dpi. The forms' client sizes at both are the
// end-to-end scenarios' concern.
TEST_F(Win32UiForms, PlacesAndFontsInPixelsOfTheScreen) {
  const wchar_t *const kP = L"ＭＳ Ｐゴシック", *const kFixed = L"ＭＳ ゴシック";
  const struct {
    Form form;
    int id;
    Corners at96, at144;
    const wchar_t* face;
    int heightAt96, heightAt144; ///< of the font, in pixels
  } cases[] = {
      {Frm1Main, ids::frm1main::kCmd次へ, {120, 248, 209, 273}, {180, 372, 314, 410}, kP, 13, 20},
      {Frm1Main, ids::frm1main::kFrame1, {8, 192, 377, 201}, {12, 288, 566, 302}, kP, 11, 17},
      {Frm2List, ids::frm2list::kList1, {8, 24, 481, 210}, {12, 36, 722, 315}, kFixed, 13, 20},
      {Frm3Port, ids::frm3port::kOptポート + 5, {224, 32, 417, 57}, {336, 48, 626, 86}, kP, 13, 20},
      {Frm4Text, ids::frm4text::kText1, {8, 48, 297, 66}, {12, 72, 446, 99}, kP, 14, 21},
  };
  const bool at144 = _wgetenv(L"VOKUTA_TEST_DPI") != nullptr;
  for (const auto& c : cases) {
    const HWND h = control(c.form, c.id);
    LOGFONTW font = {};
    GetObjectW(reinterpret_cast<HFONT>(SendMessageW(h, WM_GETFONT, 0, 0)), sizeof font, &font);
    EXPECT_EQ(std::tuple(placeOf(h), std::wstring(font.lfFaceName), -font.lfHeight, font.lfCharSet,
                         font.lfWeight),
              std::tuple(at144 ? c.at144 : c.at96, std::wstring(c.face),
                         at144 ? c.heightAt144 : c.heightAt96, BYTE{SHIFTJIS_CHARSET},
                         LONG{FW_NORMAL}))
        << c.id;
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
      _wspawnl(_P_WAIT, exe, L"child", L"--gtest_filter=Win32UiForms.PlacesAndFonts*", nullptr);
  _wputenv(L"VOKUTA_TEST_DPI=");
  setDpi(96); // the resolution the other tests assert
  EXPECT_EQ(status, 0);
}

// In the sizes Windows shows; the other forms have none.
TEST_F(Win32UiForms, MainWindowAndPortDialogShareTheProgramIcon) {
  const auto icon = [&](Form f, WPARAM size) { return SendMessageW(form(f), WM_GETICON, size, 0); };
  for (auto [size, width] : {std::pair(ICON_BIG, SM_CXICON), std::pair(ICON_SMALL, SM_CXSMICON)}) {
    EXPECT_EQ((std::vector{icon(Frm3Port, size), icon(Frm2List, size), icon(Frm4Text, size)}),
              (std::vector<LRESULT>{icon(Frm1Main, size), 0, 0}));
    ICONINFO info = {};
    ASSERT_TRUE(GetIconInfo(reinterpret_cast<HICON>(icon(Frm1Main, size)), &info));
    BITMAP bitmap = {};
    GetObjectW(info.hbmColor, sizeof bitmap, &bitmap);
    EXPECT_EQ(bitmap.bmWidth, GetSystemMetrics(width));
    DeleteObject(info.hbmColor), DeleteObject(info.hbmMask);
  }
}

// The control with the focus where each form starts and after each key. In the port dialog the
// arrow keys choose the port as clicks do, and Tab comes back into the options at the chosen one;
// the disabled Back button is passed over.
TEST_F(Win32UiForms, KeysMoveTheFocusInDesignedOrder) {
  namespace m = ids::frm1main;
  namespace l = ids::frm2list;
  namespace p = ids::frm3port;
  namespace t = ids::frm4text;
  constexpr UINT kTab = VK_TAB;
  const int opt = p::kOptポート;
  const struct {
    Form form;
    std::vector<UINT> keys;
    std::vector<int> focus;
  } cases[] = {
      {Frm1Main,
       {kTab, kTab, kTab, kTab},
       {m::kCmd次へ, m::kCmdキャンセル, m::kList1, m::kCmd戻る, m::kCmd次へ}},
      {Frm2List, {kTab, kTab}, {l::kList1, l::kCmdOK, l::kList1}},
      {Frm4Text, {kTab, kTab, kTab}, {t::kText1, t::kCmdキャンセル, t::kCmdOK, t::kText1}},
      {Frm3Port,
       {VK_DOWN, VK_DOWN, VK_UP, VK_LEFT, VK_UP, VK_RIGHT, VK_UP, kTab, kTab, kTab},
       {opt, opt + 1, opt + 2, opt + 1, opt, opt + 9, opt, opt + 9, p::kCmd開始, p::kCmdキャンセル,
        opt + 9}},
  };
  for (const auto& c : cases) {
    ui_.showForm(c.form, false, std::nullopt);
    std::vector<int> focus{GetDlgCtrlID(GetFocus())};
    for (UINT key : c.keys) {
      press(key);
      focus.push_back(GetDlgCtrlID(GetFocus()));
    }
    EXPECT_EQ(focus, c.focus);
    ui_.hideForm(c.form);
  }
  EXPECT_EQ(
      std::pair(SendMessageW(control(Frm3Port, opt + 9), BM_GETCHECK, 0, 0), program_.g.PortNumber),
      std::pair(LRESULT{BST_CHECKED}, 10));
}

// Forms open centred on the screen, or on the form that owns them; showing one changes no other.
// Hiding is the end-to-end scenarios' concern.
TEST_F(Win32UiForms, ShowChangesOnlyTheFormAskedFor) {
  EXPECT_TRUE(centredOn(form(Frm1Main), nullptr));
  SetWindowPos(form(Frm1Main), nullptr, 20, 30, 0, 0, SWP_NOSIZE | SWP_NOZORDER);
  ui_.showForm(Frm3Port, false, Frm1Main);
  EXPECT_TRUE(centredOn(form(Frm3Port), form(Frm1Main)));
  EXPECT_EQ(std::tuple(GetActiveWindow(), GetWindow(form(Frm3Port), GW_OWNER),
                       IsWindowVisible(form(Frm1Main))),
            std::tuple(form(Frm3Port), form(Frm1Main), FALSE));
  EXPECT_EQ(ui_.mainWindowHandle(), reinterpret_cast<std::intptr_t>(form(Frm1Main)));
  EXPECT_THROW(ui_.setText(Frm3Port, Control::Text1, L"x"), std::invalid_argument);
}

// A modal show holds its owner until the form is hidden, by a click or the close box; the
// choice dialog's OK and close box go through its hooks when it has any, else just hide it.
TEST_F(Win32UiForms, ModalShowHoldsTheOwnerUntilTheFormIsHidden) {
  namespace l = ids::frm2list;
  const struct {
    Form form, owner;
    int click;                 ///< 0: the close box
    const wchar_t* hookCalled; ///< with the choice hooks set, the one that runs; nullptr: none set
  } cases[] = {
      {Frm4Text, Frm1Main, ids::frm4text::kCmdキャンセル, nullptr},
      {Frm2List, Frm3Port, l::kCmdOK, L"ok"},
      {Frm2List, Frm3Port, 0, L"closed"},
      {Frm2List, Frm3Port, l::kCmdOK, nullptr},
      {Frm2List, Frm3Port, 0, nullptr},
  };
  std::wstring called;
  const auto hook = [&](const wchar_t* name) {
    return [&called, name](Program& p) {
      called += name;
      p.ui.hideForm(Frm2List);
    };
  };
  for (const auto& c : cases) {
    called.clear();
    ui_.setChoiceHooks(c.hookCalled ? ChoiceHooks{hook(L"ok"), hook(L"closed")} : ChoiceHooks{});
    ui_.showForm(c.owner, false, std::nullopt);
    const HWND dialog = form(c.form);
    bool ownerHeld = false, hidden = false;
    std::thread user([&] {
      if (!waitFor([&] { return IsWindowVisible(dialog) != FALSE; })) return;
      ownerHeld = !IsWindowEnabled(form(c.owner)) && IsWindowEnabled(dialog);
      PostMessageW(c.click ? control(c.form, c.click) : dialog, c.click ? BM_CLICK : WM_CLOSE, 0,
                   0);
      hidden = waitFor([&] { return !IsWindowVisible(dialog); });
      if (!hidden) PostMessageW(dialog, WM_CLOSE, 0, 0); // so that the show, and the test, ends
    });
    ui_.showForm(c.form, true, c.owner);
    user.join();
    EXPECT_EQ(std::tuple(ownerHeld, hidden, IsWindowEnabled(form(c.owner)) != FALSE,
                         GetWindow(dialog, GW_OWNER), called),
              std::tuple(true, true, true, form(c.owner), c.hookCalled ? c.hookCalled : L""))
        << &c - cases;
  }
}

// Shift, Ctrl and Alt are read from the key state of the list's own thread.
TEST_F(Win32UiForms, DeleteInTheListRemovesTheItemUnlessAModifierIsHeld) {
  ui_.showForm(Frm1Main, false, std::nullopt);
  for (int held : {0, VK_SHIFT, VK_CONTROL, VK_MENU}) {
    program_.setupTable = {};
    program_.setupTable[0] = {L"a", L"\\d", L"C:\\vokuta-test-none", L""};
    program_.setupTable[1] = {L"b", L"\\d", L"C:\\vokuta-test-none", L""};
    FillItemList(program_);
    ui_.listSelect(Frm1Main, 0);
    SetFocus(control(Frm1Main, ids::frm1main::kList1));
    press(VK_DELETE, held);
    EXPECT_EQ(std::pair(ui_.listCount(Frm1Main), program_.setupTable[0].FileName),
              held ? std::pair(2, std::wstring(L"a")) : std::pair(1, std::wstring(L"b")))
        << held;
  }
}

TEST_F(Win32UiForms, AnExceptionInAHandlerIsReportedAndGoesNoFurther) {
  ui_.setChoiceHooks({[](Program&) { throw std::runtime_error("choice failed"); }, {}});
  ui_.showForm(Frm2List, false, std::nullopt);
  BoxAnswerer user(AppTitle + L" - エラー", IDOK);
  SendMessageW(control(Frm2List, ids::frm2list::kCmdOK), BM_CLICK, 0, 0);
  EXPECT_NE(user.wait().text.find(L"choice failed"), std::wstring::npos) << user.text;
  EXPECT_TRUE(IsWindowVisible(form(Frm2List)));
}

// No button is the default or the cancel button; an access key acts without Alt too, unless the
// focus is in the text box, which takes the letter. Escape, and Alt with an access key, where
// the focus is in a box are the end-to-end scenarios' concern.
TEST_F(Win32UiForms, OnlyAFocusedButtonOrAnAccessKeyActsOnTheKeyboard) {
  namespace t = ids::frm4text;
  // The control with the focus, the key (WM_KEYDOWN) or character (WM_CHAR) it gets, and
  // whether the form acts on it: its buttons hide it.
  const std::tuple<int, UINT, WPARAM, bool> cases[] = {
      {t::kText1, WM_KEYDOWN, VK_RETURN, false},
      {t::kCmdキャンセル, WM_KEYDOWN, VK_RETURN, true},
      {t::kText1, WM_CHAR, L'c', false},
      {t::kCmdOK, WM_CHAR, L'c', true},
  };
  for (const auto& [focus, message, key, hides] : cases) {
    ui_.showForm(Frm4Text, false, std::nullopt);
    SetFocus(control(Frm4Text, focus));
    PostMessageW(GetFocus(), message, key, 1);
    ui_.processEvents();
    EXPECT_EQ(!IsWindowVisible(form(Frm4Text)), hides) << focus << " " << message << " " << key;
  }
}

// A new position drawn over the old one gives what a whole repaint gives, and the fill grows
// with the position in its range, which holds it.
TEST(ProgressBar, DrawsEachPositionAsAWholeRepaintWould) {
  ASSERT_TRUE(win32::RegisterProgressBarClass());
  const int width = 200;
  const HWND bar =
      CreateWindowExW(WS_EX_TOPMOST, win32::kProgressBarClass, L"", WS_POPUP | WS_VISIBLE, 0, 0,
                      width, 16, nullptr, nullptr, GetModuleHandleW(nullptr), nullptr);
  ASSERT_NE(bar, nullptr);
  // The middle row of pixels as on the screen, after a whole repaint or not.
  const auto row = [&](bool repaint) {
    if (repaint) RedrawWindow(bar, nullptr, nullptr, RDW_INVALIDATE | RDW_UPDATENOW);
    std::vector<COLORREF> pixels;
    const HDC dc = GetDC(bar);
    for (int x = 0; x < width; ++x) pixels.push_back(GetPixel(dc, x, 8));
    ReleaseDC(bar, dc);
    return pixels;
  };
  SendMessageW(bar, PBM_SETRANGE32, 0, 1000);
  const std::vector<COLORREF> empty = row(true);
  const auto filled = [&](const std::vector<COLORREF>& pixels) {
    return std::inner_product(pixels.begin(), pixels.end(), empty.begin(), 0, std::plus<>(),
                              std::not_equal_to<>());
  };
  // Full is the whole track but its edge, a pixel each side. Then the position asked for and
  // the one held: back to 0, up in steps, past the end and below 0.
  SendMessageW(bar, PBM_SETPOS, 1000, 0);
  EXPECT_EQ(filled(row(false)), width - 2);
  const std::pair<int, int> steps[] = {{0, 0}, {250, 250}, {600, 600}, {2000, 1000}, {-5, 0}};
  for (const auto& [asked, held] : steps) {
    SendMessageW(bar, PBM_SETPOS, static_cast<WPARAM>(asked), 0);
    EXPECT_EQ(SendMessageW(bar, PBM_GETPOS, 0, 0), held) << asked;
    const std::vector<COLORREF> drawn = row(false);
    EXPECT_NEAR(filled(drawn), (width - 2) * held / 1000, 1) << asked;
    EXPECT_EQ(drawn, row(true)) << asked;
  }
  DestroyWindow(bar);
}

/// A link library whose every call finds the wait cursor up.
struct CursorSpy final : LinkLibrary {
  using I = std::int32_t;
  using S = const std::string&;
  static I seen() {
    EXPECT_EQ(GetCursor(), LoadCursorW(nullptr, IDC_WAIT));
    return 0;
  }
  I u_nego(std::intptr_t, I, I, I, I*) override { return seen(); }
  I u_end(std::intptr_t, I, I, I, I*) override { return seen(); }
  I u_mkdir(std::intptr_t, I, I, I, S, I*) override { return seen(); }
  I u_upload(std::intptr_t, I, I, I, S, S, I*) override { return seen(); }
  I u_download(std::intptr_t, I, I, I, S, S, I*) override { return seen(); }
  I u_dir(std::intptr_t, I, I, I, S, char*, I, I*, I*) override { return seen(); }
};

// The wait cursor goes up with a run's first link call and stays through the work between two
// calls, until the run waits for the user or ends; a call outside a run takes it down at once.
TEST_F(Win32UiForms, TheWaitCursorLastsFromARunsFirstCallUntilItWaitsForTheUser) {
  CursorSpy link;
  RunLog log(L"");
  RunMonitor monitor(link, log, [this] { return form(Frm1Main); });
  const HCURSOR arrow = LoadCursorW(nullptr, IDC_ARROW), wait = LoadCursorW(nullptr, IDC_WAIT);
  SetCursor(arrow);
  std::int32_t status = 0;
  const std::pair<std::function<void()>, HCURSOR> steps[] = {
      {[&] { monitor.u_end(0, 1, 1, 4, &status); }, arrow},
      {[&] { monitor.runStarting(program_); }, arrow},
      {[&] { monitor.u_nego(0, 1, 1, 4, &status); }, wait},
      {[&] { monitor.u_mkdir(0, 1, -2, 4, "\\A", &status); }, wait},
      {[&] { monitor.waitsForUser(); }, arrow},
      {[&] { monitor.u_end(0, 1, 1, 4, &status); }, wait},
      {[&] { monitor.runReturned(); }, arrow}};
  for (std::size_t i = 0; i < std::size(steps); ++i) {
    steps[i].first();
    EXPECT_EQ(GetCursor(), steps[i].second) << i;
  }
}

} // namespace
} // namespace vokuta::platform_test
