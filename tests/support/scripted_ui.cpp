#include "support/scripted_ui.h"

#include <string>

namespace vokuta::test {

const wchar_t* FormName(Form form) {
  switch (form) {
  case Form::Frm1Main:
    return L"Frm1Main";
  case Form::Frm2List:
    return L"Frm2List";
  case Form::Frm3Port:
    return L"Frm3Port";
  case Form::Frm4Text:
    return L"Frm4Text";
  }
  return L"?";
}

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

void ScriptedUi::showForm(Form form, bool modal, std::optional<Form> owner) {
  visible_.insert(form);
  owners[form] = owner;
  windowLog.push_back(std::wstring(L"show ") + FormName(form) + (modal ? L" modal" : L" modeless"));
  if (!modal) return;
  if (!onModal) throw std::logic_error("modal form shown with no onModal script");
  onModal(form);
  if (shown(form)) throw std::logic_error("modal form still shown after its script");
}

void ScriptedUi::hideForm(Form form) {
  if (visible_.erase(form)) windowLog.push_back(std::wstring(L"hide ") + FormName(form));
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
  if (s == index)
    s = -1;
  else if (s > index)
    --s;
}

bool ScriptedUi::listSelected(Form form, int index) {
  return selection.count(form) && selection[form] == index;
}

void ScriptedUi::listSelect(Form form, int index) { selection[form] = index; }

} // namespace vokuta::test
