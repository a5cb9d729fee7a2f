// Win32Ui as the program uses it: message boxes, answered by a helper thread that reads what
// each box offers and presses one of its buttons, as a user would; showing and hiding the
// forms, modal and modeless; their texts and lists; and the events that reach the core's
// handlers from the keyboard.
#include <stdexcept>

#include "form_fixture.h"
#include "mainwin/item_list_view.h"

namespace vokuta::platform_test {
namespace {

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
    const SeenBox& box = user.result();
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

class Win32UiForms : public FormsTest {
protected:
  HWND option(int index) const {
    return control(Form::Frm3Port, ids::frm3port::kOptポート + index);
  }
  std::vector<int> checkedOptions() const {
    std::vector<int> checked;
    for (int i = 0; i < 10; ++i)
      if (SendMessageW(option(i), BM_GETCHECK, 0, 0) == BST_CHECKED) checked.push_back(i);
    return checked;
  }
};

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
  ASSERT_TRUE(user.result().seen);
  EXPECT_NE(user.result().text.find(L"choice failed"), std::wstring::npos) << user.result().text;
  EXPECT_TRUE(IsWindowVisible(form(Form::Frm2List)));
}

TEST_F(Win32UiForms, MessageBoxBelongsToTheActiveFormAndHoldsTheOthers) {
  ui_.showForm(Form::Frm1Main, false, std::nullopt);
  ui_.showForm(Form::Frm4Text, false, Form::Frm1Main);
  bool mainEnabled = true;
  BoxAnswerer user(L"Win32Ui 所有者", IDOK,
                   [&] { mainEnabled = IsWindowEnabled(form(Form::Frm1Main)); });
  EXPECT_EQ(ui_.messageBox(L"確認", L"Win32Ui 所有者", Buttons::Ok, Icon::Information), kOk);
  EXPECT_EQ(user.result().owner, form(Form::Frm4Text));
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
