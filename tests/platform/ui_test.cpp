// Win32Ui's message boxes, answered by a helper thread that reads what each box offers and
// presses one of its buttons, as a user would.
#include <gtest/gtest.h>

#include <algorithm>
#include <string>
#include <vector>

#include "win32/win.h"
#include "win32/win32_ui.h"

namespace vokuta {
namespace {

struct Answering {
  std::wstring title; ///< of the box to wait for
  int press = 0;      ///< button id to press; 0 closes the box with Escape
  // What the box offered:
  bool seen = false;
  std::vector<int> buttons;
  int defaultButton = 0;
  std::wstring text;
};

DWORD WINAPI answerBox(void* param) {
  auto& job = *static_cast<Answering*>(param);
  for (int tries = 0; tries < 500; ++tries, Sleep(10)) {
    HWND box = FindWindowW(L"#32770", job.title.c_str());
    if (!box || !IsWindowVisible(box)) continue;
    job.seen = true;
    for (int id : {IDOK, IDCANCEL, IDRETRY, IDYES, IDNO}) {
      HWND button = GetDlgItem(box, id);
      if (!button || !IsWindowVisible(button)) continue;
      job.buttons.push_back(id);
      if ((GetWindowLongW(button, GWL_STYLE) & BS_TYPEMASK) == BS_DEFPUSHBUTTON)
        job.defaultButton = id;
    }
    wchar_t text[256] = {};
    GetDlgItemTextW(box, 0xFFFF, text, 256);
    job.text = text;
    if (job.press)
      PostMessageW(box, WM_COMMAND, MAKEWPARAM(job.press, BN_CLICKED), 0);
    else
      PostMessageW(box, WM_KEYDOWN, VK_ESCAPE, 0);
    return 0;
  }
  return 1;
}

struct Case {
  Buttons buttons;
  int defaultButton;
  int press;
  std::vector<int> offered;
  int expectedDefault;
  int answer;
};

TEST(Win32Ui, MessageBoxOffersTheButtonsAskedForAndGivesTheAnswer) {
  const Case cases[] = {
      {Buttons::Ok, 1, IDOK, {IDOK}, IDOK, kOk},
      {Buttons::OkCancel, 1, IDCANCEL, {IDOK, IDCANCEL}, IDOK, kCancel},
      {Buttons::OkCancel, 2, 0, {IDOK, IDCANCEL}, IDCANCEL, kCancel},
      {Buttons::YesNo, 1, IDYES, {IDYES, IDNO}, IDYES, kYes},
      {Buttons::YesNo, 2, IDNO, {IDYES, IDNO}, IDNO, kNo},
      {Buttons::RetryCancel, 1, IDRETRY, {IDCANCEL, IDRETRY}, IDRETRY, kRetry},
      {Buttons::RetryCancel, 1, 0, {IDCANCEL, IDRETRY}, IDRETRY, kCancel},
  };
  Win32Ui ui;
  int n = 0;
  for (const Case& c : cases) {
    Answering job;
    job.title = L"Win32Ui テスト " + std::to_wstring(++n);
    job.press = c.press;
    HANDLE helper = CreateThread(nullptr, 0, answerBox, &job, 0, nullptr);
    ASSERT_NE(helper, nullptr);
    const int answer =
        ui.messageBox(L"確認してください。", job.title, c.buttons, Icon::Question, c.defaultButton);
    WaitForSingleObject(helper, INFINITE);
    CloseHandle(helper);

    SCOPED_TRACE(n);
    ASSERT_TRUE(job.seen);
    std::sort(job.buttons.begin(), job.buttons.end());
    EXPECT_EQ(job.buttons, c.offered);
    EXPECT_EQ(job.defaultButton, c.expectedDefault);
    EXPECT_EQ(job.text, L"確認してください。");
    EXPECT_EQ(answer, c.answer);
  }
}

} // namespace
} // namespace vokuta
