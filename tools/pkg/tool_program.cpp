// The quiet Ui's answers.
#include "pkg/tool_program.h"

#include <cstdlib>

namespace vokuta::pkg {

int QuietUi::messageBox(const std::wstring& text, const std::wstring&, Buttons buttons, Icon, int) {
  boxes.push_back({text, buttons});
  switch (buttons) {
  case Buttons::Ok:
  case Buttons::OkCancel:
    return kOk;
  case Buttons::YesNo:
    return kNo;
  case Buttons::RetryCancel:
    return kRetry;
  }
  return kOk;
}

void QuietUi::endProgram() { std::abort(); }

} // namespace vokuta::pkg
