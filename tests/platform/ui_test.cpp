// Win32Ui as the program uses it: message boxes, answered by a helper thread that reads what
// each box offers and presses one of its buttons, as a user would; showing and hiding the
// forms, modal and modeless; their texts and lists; and the events that reach the core's
// handlers from the mouse and the keyboard.
#include <gtest/gtest.h>

#include <stdexcept>
#include <string>
#include <thread>
#include <vector>

#include "dialogs/dir_dialog.h"
#include "form_fixture.h"
#include "mainwin/item_list_view.h"
#include "setupinfo/item_list.h"
#include "state/program.h"
#include "win32/control_ids.h"
#include "win32/win.h"
#include "win32/win32_ui.h"

namespace vokuta {
namespace {

struct Case {
  Buttons buttons;
  int defaultButton;
  Icon icon;
  const wchar_t* systemIcon; ///< the shared icon Windows shows for it
  int press;
  std::vector<int> offered;
  int expectedDefault;
  int answer;
};

TEST(Win32Ui, MessageBoxOffersTheButtonsAndIconAskedForAndGivesTheAnswer) {
  using enum Buttons;
  using enum Icon;
  const Case cases[] = {
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
  for (const Case& c : cases) {
    const std::wstring title = L"Win32Ui テスト " + std::to_wstring(++n);
    platform_test::BoxAnswerer user(title, c.press);
    const int answer =
        ui.messageBox(L"確認してください。", title, c.buttons, c.icon, c.defaultButton);
    const auto& box = user.result();
    SCOPED_TRACE(n);
    ASSERT_TRUE(box.seen);
    // No window of the program is active: the box has no owner and is task-modal.
    EXPECT_EQ(box.owner, nullptr);
    EXPECT_EQ(box.buttons, c.offered);
    EXPECT_EQ(box.defaultButton, c.expectedDefault);
    EXPECT_EQ(box.icon, LoadIconW(nullptr, c.systemIcon));
    EXPECT_EQ(box.text, L"確認してください。");
    EXPECT_EQ(answer, c.answer);
  }
}

namespace ids = win32::ids;
using platform_test::BoxAnswerer;
using platform_test::HeldKeys;
using platform_test::waitFor;

std::wstring windowText(HWND hwnd) {
  wchar_t text[256] = {};
  GetWindowTextW(hwnd, text, 256);
  return text;
}

std::vector<std::wstring> itemsOf(HWND list) {
  std::vector<std::wstring> items;
  const auto count = SendMessageW(list, LB_GETCOUNT, 0, 0);
  for (WPARAM i = 0; i < static_cast<WPARAM>(count); ++i) {
    std::wstring item(static_cast<std::size_t>(SendMessageW(list, LB_GETTEXTLEN, i, 0)), L'\0');
    SendMessageW(list, LB_GETTEXT, i, reinterpret_cast<LPARAM>(item.data()));
    items.push_back(item);
  }
  return items;
}

class Win32UiForms : public platform_test::FormsTest {
protected:
  HWND list(Form f) const {
    return control(f, f == Form::Frm1Main ? ids::frm1main::kList1 : ids::frm2list::kList1);
  }
  HWND option(int index) const {
    return control(Form::Frm3Port, ids::frm3port::kOptポート + index);
  }

  /// Install items (file, device directory) whose PC files do not exist, in the main list.
  void setRows(std::initializer_list<std::pair<const wchar_t*, const wchar_t*>> rows) {
    program_.setupTable = {};
    std::size_t row = 0;
    for (const auto& [file, dir] : rows) {
      program_.setupTable[row].FileName = file;
      program_.setupTable[row].DestPath = dir;
      program_.setupTable[row].SourcePath = L"C:\\vokuta-test-no-such-dir";
      ++row;
    }
    FillItemList(program_);
  }
};

TEST_F(Win32UiForms, ShowAndHideChangeOnlyTheFormAskedFor) {
  const HWND main = form(Form::Frm1Main);
  const HWND port = form(Form::Frm3Port);
  ui_.showForm(Form::Frm3Port, false, Form::Frm1Main);
  EXPECT_TRUE(IsWindowVisible(port));
  EXPECT_EQ(GetActiveWindow(), port);
  EXPECT_EQ(GetWindow(port, GW_OWNER), main);
  EXPECT_FALSE(IsWindowVisible(main));

  ui_.hideForm(Form::Frm3Port);
  EXPECT_FALSE(IsWindowVisible(port));

  ui_.showForm(Form::Frm1Main, false, std::nullopt);
  EXPECT_TRUE(IsWindowVisible(main));
  EXPECT_EQ(GetWindow(main, GW_OWNER), nullptr);
  EXPECT_EQ(ui_.mainWindowHandle(), reinterpret_cast<std::intptr_t>(main));

  ui_.setCaption(Form::Frm1Main, AppTitle);
  EXPECT_EQ(windowText(main), AppTitle);
}

TEST_F(Win32UiForms, TextsReadBackAsSet) {
  const struct {
    Form form;
    Control control;
    int id;
    std::wstring text;
  } cases[] = {
      // "&" is a character here, not an access key.
      {Form::Frm1Main, Control::LblSize, ids::frm1main::kLblSize,
       L"合計は、 1.5 Kバイトです。\r\nA&B を確認してください。"},
      {Form::Frm2List, Control::Lab追加, ids::frm2list::kLab追加,
       L"suffix = .TBL , app = \\SYSTEM\\APPS\\表計算.EXF"},
      {Form::Frm4Text, Control::Text1, ids::frm4text::kText1, L"\\データ\\ソフト"},
  };
  for (const auto& c : cases) {
    ui_.setText(c.form, c.control, c.text);
    EXPECT_EQ(ui_.text(c.form, c.control), c.text);
    EXPECT_EQ(windowText(control(c.form, c.id)), c.text);
  }
  EXPECT_THROW(ui_.setText(Form::Frm3Port, Control::Text1, L"x"), std::invalid_argument);
}

TEST_F(Win32UiForms, ListsKeepTheirOrderAndOneSelection) {
  for (Form f : {Form::Frm1Main, Form::Frm2List}) {
    SCOPED_TRACE(static_cast<int>(f));
    ui_.listAdd(f, L"\\system\\apps\\z.exf");
    ui_.listAdd(f, L"\\データ\\a.dat");
    ui_.listInsert(f, 1, L"\\文書\\m.txt");
    EXPECT_EQ(itemsOf(list(f)), (std::vector<std::wstring>{L"\\system\\apps\\z.exf",
                                                           L"\\文書\\m.txt", L"\\データ\\a.dat"}));
    EXPECT_EQ(ui_.listCount(f), 3);
    ui_.listRemove(f, 0);
    EXPECT_EQ(itemsOf(list(f)), (std::vector<std::wstring>{L"\\文書\\m.txt", L"\\データ\\a.dat"}));

    ui_.listSelect(f, 1);
    EXPECT_FALSE(ui_.listSelected(f, 0));
    EXPECT_TRUE(ui_.listSelected(f, 1));
    ui_.listSelect(f, 0);
    EXPECT_TRUE(ui_.listSelected(f, 0));
    EXPECT_FALSE(ui_.listSelected(f, 1));
    ui_.listSelect(f, -1);
    EXPECT_EQ(SendMessageW(list(f), LB_GETCURSEL, 0, 0), LB_ERR);

    ui_.listClear(f);
    EXPECT_EQ(ui_.listCount(f), 0);
  }
}

TEST_F(Win32UiForms, ModalShowHoldsTheOtherFormsUntilTheFormIsHidden) {
  ui_.showForm(Form::Frm1Main, false, std::nullopt);
  const HWND main = form(Form::Frm1Main);
  const HWND dialog = form(Form::Frm4Text);
  const HWND cancel = control(Form::Frm4Text, ids::frm4text::kCmdキャンセル);
  bool shown = false;
  bool mainEnabled = true;
  bool dialogEnabled = false;
  bool hiddenByClick = false;
  std::thread user([&] {
    if (!(shown = waitFor([&] { return IsWindowVisible(dialog) != FALSE; }))) return;
    mainEnabled = IsWindowEnabled(main);
    dialogEnabled = IsWindowEnabled(dialog);
    PostMessageW(cancel, BM_CLICK, 0, 0);
    hiddenByClick = waitFor([&] { return !IsWindowVisible(dialog); });
    // Should the click go nowhere, the close box ends the show, so that the test ends.
    if (!hiddenByClick) PostMessageW(dialog, WM_CLOSE, 0, 0);
  });
  ui_.showForm(Form::Frm4Text, true, Form::Frm1Main);
  user.join();
  ASSERT_TRUE(shown);
  EXPECT_FALSE(mainEnabled);
  EXPECT_TRUE(dialogEnabled);
  EXPECT_TRUE(hiddenByClick);
  EXPECT_FALSE(IsWindowVisible(dialog));
  EXPECT_TRUE(IsWindowEnabled(main));
  EXPECT_EQ(GetWindow(dialog, GW_OWNER), main);
}

TEST_F(Win32UiForms, ChoiceDialogOkAndCloseBoxGoThroughTheHooksOrJustHide) {
  const struct {
    bool hooks;
    bool closeBox;
    std::vector<std::wstring> calls;
  } cases[] = {
      {true, false, {L"ok"}},
      {true, true, {L"closed"}},
      {false, false, {}},
      {false, true, {}},
  };
  std::vector<std::wstring> calls;
  ui_.showForm(Form::Frm3Port, false, Form::Frm1Main);
  for (const auto& c : cases) {
    SCOPED_TRACE(testing::Message() << c.hooks << c.closeBox);
    calls.clear();
    if (c.hooks) {
      ui_.setChoiceHooks({[&](Program& p) {
                            calls.push_back(L"ok");
                            p.ui.hideForm(Form::Frm2List);
                          },
                          [&](Program& p) {
                            calls.push_back(L"closed");
                            p.ui.hideForm(Form::Frm2List);
                          }});
    } else {
      ui_.setChoiceHooks({});
    }
    const HWND dialog = form(Form::Frm2List);
    const HWND ok = control(Form::Frm2List, ids::frm2list::kCmdOK);
    bool hidden = false;
    std::thread user([&] {
      if (!waitFor([&] { return IsWindowVisible(dialog) != FALSE; })) return;
      if (c.closeBox)
        PostMessageW(dialog, WM_CLOSE, 0, 0);
      else
        PostMessageW(ok, BM_CLICK, 0, 0);
      hidden = waitFor([&] { return !IsWindowVisible(dialog); });
      if (!hidden) PostMessageW(dialog, WM_CLOSE, 0, 0); // the default hook ends the show
    });
    ui_.showForm(Form::Frm2List, true, Form::Frm3Port);
    user.join();
    EXPECT_TRUE(hidden);
    EXPECT_EQ(calls, c.calls);
    EXPECT_EQ(GetWindow(dialog, GW_OWNER), form(Form::Frm3Port));
    EXPECT_TRUE(IsWindowEnabled(form(Form::Frm3Port)));
  }
}

TEST_F(Win32UiForms, AnExceptionInAHandlerIsReportedAndGoesNoFurther) {
  ui_.setChoiceHooks({[](Program&) { throw std::runtime_error("choice failed"); }, {}});
  ui_.showForm(Form::Frm2List, false, std::nullopt);
  BoxAnswerer user(AppTitle + L" - エラー", IDOK);
  SendMessageW(control(Form::Frm2List, ids::frm2list::kCmdOK), BM_CLICK, 0, 0);
  const auto& box = user.result();
  ASSERT_TRUE(box.seen);
  EXPECT_NE(box.text.find(L"choice failed"), std::wstring::npos) << box.text;
  EXPECT_TRUE(IsWindowVisible(form(Form::Frm2List)));
}

TEST_F(Win32UiForms, MessageBoxBelongsToTheActiveFormAndHoldsTheOthers) {
  ui_.showForm(Form::Frm1Main, false, std::nullopt);
  ui_.showForm(Form::Frm4Text, false, Form::Frm1Main);
  ASSERT_EQ(GetActiveWindow(), form(Form::Frm4Text));
  bool mainEnabled = true;
  BoxAnswerer user(L"Win32Ui 所有者", IDOK,
                   [&](HWND) { mainEnabled = IsWindowEnabled(form(Form::Frm1Main)); });
  EXPECT_EQ(ui_.messageBox(L"確認", L"Win32Ui 所有者", Buttons::Ok, Icon::Information), kOk);
  const auto& box = user.result();
  ASSERT_TRUE(box.seen);
  EXPECT_EQ(box.owner, form(Form::Frm4Text));
  EXPECT_FALSE(mainEnabled);
  EXPECT_TRUE(IsWindowEnabled(form(Form::Frm1Main)));
  EXPECT_TRUE(IsWindowEnabled(form(Form::Frm4Text)));
}

TEST_F(Win32UiForms, CloseBoxAsksBeforeEndingAndTheFormStaysOnNo) {
  for (Form f : {Form::Frm1Main, Form::Frm3Port}) {
    SCOPED_TRACE(static_cast<int>(f));
    ui_.showForm(f, false, std::nullopt);
    BoxAnswerer user(AppTitle + L" - 終了", IDNO);
    SendMessageW(form(f), WM_CLOSE, 0, 0);
    EXPECT_TRUE(user.result().seen);
    EXPECT_TRUE(IsWindow(form(f)));
    EXPECT_TRUE(IsWindowVisible(form(f)));
  }
  // The directory dialog's close box is its Cancel.
  ui_.showForm(Form::Frm4Text, false, Form::Frm1Main);
  SendMessageW(form(Form::Frm4Text), WM_CLOSE, 0, 0);
  EXPECT_FALSE(IsWindowVisible(form(Form::Frm4Text)));
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
    for (int i = 0; i < 10; ++i)
      EXPECT_EQ(SendMessageW(option(i), BM_GETCHECK, 0, 0) == BST_CHECKED, i == step.chosen) << i;
    EXPECT_EQ(program_.g.PortNumber, step.chosen + 1);
  }

  SendMessageW(option(7), BM_CLICK, 0, 0);
  EXPECT_EQ(program_.g.PortNumber, 8);
  // Tab leaves the group and comes back into it at the chosen port.
  press(VK_TAB);
  EXPECT_EQ(GetFocus(), control(Form::Frm3Port, ids::frm3port::kCmd開始));
  {
    HeldKeys shift{VK_SHIFT};
    press(VK_TAB);
  }
  EXPECT_EQ(GetFocus(), option(7));
  EXPECT_EQ(program_.g.PortNumber, 8);
}

TEST_F(Win32UiForms, DeleteInTheListRemovesTheItemUnlessAModifierIsHeld) {
  const struct {
    int held; ///< 0: none
    bool removes;
  } cases[] = {{0, true}, {VK_SHIFT, false}, {VK_CONTROL, false}, {VK_MENU, false}};
  ui_.showForm(Form::Frm1Main, false, std::nullopt);
  for (const auto& c : cases) {
    SCOPED_TRACE(c.held);
    setRows({{L"a.exf", L"\\system\\apps"}, {L"*.dat", L"\\データ"}, {L"c.txt", L"\\文書"}});
    ui_.listSelect(Form::Frm1Main, 1);
    SetFocus(list(Form::Frm1Main));
    {
      HeldKeys held{c.held};
      press(VK_DELETE);
    }
    if (c.removes) {
      EXPECT_EQ(itemsOf(list(Form::Frm1Main)),
                (std::vector<std::wstring>{L"\\system\\apps\\a.exf", L"\\文書\\c.txt"}));
      EXPECT_EQ(program_.setupTable[1].FileName, L"c.txt");
    } else {
      EXPECT_EQ(ui_.listCount(Form::Frm1Main), 3);
      EXPECT_EQ(program_.setupTable[1].FileName, L"*.dat");
    }
  }
}

TEST_F(Win32UiForms, DoubleClickOnAnItemOpensItsDirectory) {
  ui_.showForm(Form::Frm1Main, false, std::nullopt);
  setRows({{L"a.exf", L"\\system\\apps"}, {L"*.dat", L"\\データ"}});
  const HWND items = list(Form::Frm1Main);
  RECT item;
  SendMessageW(items, LB_GETITEMRECT, 1, reinterpret_cast<LPARAM>(&item));
  const LPARAM at = MAKELPARAM((item.left + item.right) / 2, (item.top + item.bottom) / 2);
  SendMessageW(items, WM_LBUTTONDOWN, MK_LBUTTON, at);
  SendMessageW(items, WM_LBUTTONUP, 0, at);
  EXPECT_FALSE(IsWindowVisible(form(Form::Frm4Text)));
  SendMessageW(items, WM_LBUTTONDBLCLK, MK_LBUTTON, at);
  SendMessageW(items, WM_LBUTTONUP, 0, at);

  EXPECT_TRUE(IsWindowVisible(form(Form::Frm4Text)));
  EXPECT_EQ(program_.g.EditRow, 1);
  EXPECT_EQ(ui_.text(Form::Frm4Text, Control::Text1), L"\\データ");
  EXPECT_EQ(GetFocus(), control(Form::Frm4Text, ids::frm4text::kText1));
}

TEST_F(Win32UiForms, OnlyAFocusedButtonOrAnAccessKeyActsOnTheKeyboard) {
  namespace t = ids::frm4text;
  const struct {
    int focus;
    UINT message;
    WPARAM key;
    bool hides;
  } cases[] = {
      // No default and no cancel button.
      {t::kText1, WM_KEYDOWN, VK_RETURN, false},
      {t::kText1, WM_KEYDOWN, VK_ESCAPE, false},
      {t::kCmdキャンセル, WM_KEYDOWN, VK_ESCAPE, false},
      {t::kCmdキャンセル, WM_KEYDOWN, VK_RETURN, true},
      {t::kCmdキャンセル, WM_KEYDOWN, VK_SPACE, true},
      // Alt+C, Cancel's access key, from the text box.
      {t::kText1, WM_SYSCHAR, L'c', true},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(testing::Message() << c.focus << " " << c.message << " " << c.key);
    ui_.showForm(Form::Frm4Text, false, std::nullopt);
    SetFocus(control(Form::Frm4Text, c.focus));
    if (c.message == WM_KEYDOWN) {
      press(static_cast<UINT>(c.key));
    } else {
      PostMessageW(GetFocus(), c.message, c.key, 0x20000001); // Alt held
      processEvents();
    }
    EXPECT_EQ(!IsWindowVisible(form(Form::Frm4Text)), c.hides);
  }
}

} // namespace
} // namespace vokuta
