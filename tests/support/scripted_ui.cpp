#include "support/scripted_ui.h"

#include <string>

namespace vokuta::test {

int ScriptedUi::messageBox(const std::wstring& text, const std::wstring& title, Buttons buttons,
                           Icon icon, int defaultButton) {
  if (answers_.empty()) {
    // Surfacing the box's text makes an unexpected box easy to read in the failure.
    std::string ascii;
    for (wchar_t c : title + L": " + text) ascii.push_back(c < 128 ? static_cast<char>(c) : '?');
    throw std::logic_error("unscripted message box: " + ascii);
  }
  const int answer = answers_.front();
  answers_.pop_front();
  boxes.push_back({text, title, buttons, icon, defaultButton, answer});
  return answer;
}

} // namespace vokuta::test
