#include "win32/win32_ui.h"

#include "win32/win.h"

namespace vokuta {
namespace {

UINT buttonStyle(Buttons buttons) {
  switch (buttons) {
  case Buttons::Ok:
    return MB_OK;
  case Buttons::OkCancel:
    return MB_OKCANCEL;
  case Buttons::YesNo:
    return MB_YESNO;
  case Buttons::RetryCancel:
    return MB_RETRYCANCEL;
  }
  return MB_OK;
}

UINT iconStyle(Icon icon) {
  switch (icon) {
  case Icon::Stop:
    return MB_ICONSTOP;
  case Icon::Exclamation:
    return MB_ICONEXCLAMATION;
  case Icon::Information:
    return MB_ICONINFORMATION;
  case Icon::Question:
    return MB_ICONQUESTION;
  }
  return 0;
}

// The answer of a box that could not be shown: the one its closing would give.
int closingAnswer(Buttons buttons) {
  switch (buttons) {
  case Buttons::Ok:
    return kOk;
  case Buttons::YesNo:
    return kNo;
  case Buttons::OkCancel:
  case Buttons::RetryCancel:
    return kCancel;
  }
  return kCancel;
}

} // namespace

int Win32Ui::messageBox(const std::wstring& text, const std::wstring& title, Buttons buttons,
                        Icon icon, int defaultButton) {
  // Task-modal: until the program's own windows exist there is no owner, yet every window of
  // the thread must wait for the answer.
  const UINT style = buttonStyle(buttons) | iconStyle(icon) |
                     (defaultButton == 2 ? MB_DEFBUTTON2 : MB_DEFBUTTON1) | MB_TASKMODAL;
  switch (MessageBoxW(nullptr, text.c_str(), title.c_str(), style)) {
  case IDOK:
    return kOk;
  case IDCANCEL:
    return kCancel;
  case IDRETRY:
    return kRetry;
  case IDYES:
    return kYes;
  case IDNO:
    return kNo;
  default:
    return closingAnswer(buttons);
  }
}

void Win32Ui::endProgram() { ExitProcess(0); }

} // namespace vokuta
