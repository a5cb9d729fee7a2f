#include "support/scripted_ui.h"

#include <string>

namespace vokuta::test {

// Indexed by Form.
constexpr const wchar_t* kFormNames[] = {L"Frm1Main", L"Frm2List", L"Frm3Port", L"Frm4Text"};

int ScriptedUi::messageBox(const std::wstring& text, const std::wstring& title, Buttons buttons,
                           Icon icon, int defaultButton) {
  if (answers_.empty() && otherwise) answers_.push_back(otherwise(buttons));
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

void ScriptedUi::showForm(Form form, bool modal, std::optional<Form> owner) {
  visible_.insert(form);
  owners[form] = owner;
  windowLog.push_back(std::wstring(L"show ") + kFormNames[static_cast<int>(form)] +
                      (modal ? L" modal" : L" modeless"));
  if (!modal) return;
  if (!onModal) throw std::logic_error("modal form shown with no onModal script");
  onModal(form);
  if (shown(form)) throw std::logic_error("modal form still shown after its script");
}

void ScriptedUi::hideForm(Form form) {
  if (visible_.erase(form))
    windowLog.push_back(std::wstring(L"hide ") + kFormNames[static_cast<int>(form)]);
}

void ScriptedUi::listClear(Form form) {
  lists[form].clear();
  selection[form] = -1;
}

void ScriptedUi::listInsert(Form form, int index, const std::wstring& item) {
  auto& list = lists[form];
  list.insert(list.begin() + index, item);
  if (selection.count(form) && selection[form] >= index) ++selection[form];
}

void ScriptedUi::listRemove(Form form, int index) {
  auto& list = lists[form];
  list.erase(list.begin() + index);
  if (!selection.count(form)) return;
  int& s = selection[form];
  s = s == index ? -1 : s - (s > index);
}

} // namespace vokuta::test
