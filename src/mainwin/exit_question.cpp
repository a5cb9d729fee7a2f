// The exit question, refused while the install run holds the link.
#include "mainwin/exit_question.h"

namespace vokuta {

bool ConfirmExit(Program& p) {
  if (p.g.Communicating) {
    p.ui.messageBox(L"通信中は終了できません。", AppTitle + L" - 終了禁止", Buttons::Ok,
                    Icon::Stop);
    return false;
  }
  if (p.ui.messageBox(L"「" + AppTitle + L"」を終了してよろしいですか？", AppTitle + L" - 終了",
                      Buttons::YesNo, Icon::Question) == kYes)
    p.ui.endProgram();
  return false;
}

} // namespace vokuta
