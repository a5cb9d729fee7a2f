#pragma once
#include <deque>
#include <functional>
#include <map>
#include <set>
#include <stdexcept>
#include <string>
#include <vector>

#include "platform/ui.h"

namespace vokuta::test {

/// Thrown by ScriptedUi::endProgram in place of ending the process.
struct ProgramEnded {};

/// A Ui that answers message boxes from a script, keeps the forms' state as plain data and
/// records every box and window change it was asked for.
class ScriptedUi : public Ui {
public:
  struct Box {
    std::wstring text, title;
    Buttons buttons;
    Icon icon;
    int defaultButton, answer;
  };

  /// Answers for the coming boxes, in order. A box with nothing scripted goes to `otherwise`,
  /// or fails the test when there is none.
  void answer(const std::vector<int>& answers) {
    answers_.insert(answers_.end(), answers.begin(), answers.end());
  }
  std::size_t unusedAnswers() const { return answers_.size(); }
  std::function<int(Buttons)> otherwise;

  /// Called while a modal form is shown: stands for the user, who must end up hiding it (with
  /// the form's OK handler, say). Without one, a modal show fails the test.
  std::function<void(Form)> onModal;

  int messageBox(const std::wstring& text, const std::wstring& title, Buttons buttons, Icon icon,
                 int defaultButton) override;
  [[noreturn]] void endProgram() override { throw ProgramEnded{}; }
  void showForm(Form form, bool modal, std::optional<Form> owner) override;
  void hideForm(Form form) override;
  void setCaption(Form form, const std::wstring& caption) override { captions[form] = caption; }
  void setText(Form form, Control control, const std::wstring& t) override {
    texts[{form, control}] = t;
  }
  std::wstring text(Form form, Control control) override { return texts[{form, control}]; }
  void setFocus(Form form, Control control) override { focus[form] = control; }
  void listClear(Form form) override;
  void listAdd(Form form, const std::wstring& item) override { lists[form].push_back(item); }
  void listInsert(Form form, int index, const std::wstring& item) override;
  void listRemove(Form form, int index) override;
  int listCount(Form form) override { return static_cast<int>(lists[form].size()); }
  bool listSelected(Form form, int index) override {
    return selection.count(form) && selection[form] == index;
  }
  void listSelect(Form form, int index) override { selection[form] = index; }
  void processEvents() override { ++processedEvents; }
  std::intptr_t mainWindowHandle() override { return 0x1234; }

  bool shown(Form form) const { return visible_.count(form) != 0; }

  std::vector<Box> boxes;
  /// "show Frm3Port modeless", "show Frm2List modal", "hide Frm1Main", in order.
  std::vector<std::wstring> windowLog;
  std::map<Form, std::wstring> captions;
  std::map<std::pair<Form, Control>, std::wstring> texts;
  std::map<Form, Control> focus;
  std::map<Form, std::optional<Form>> owners;
  std::map<Form, std::vector<std::wstring>> lists;
  std::map<Form, int> selection; ///< -1 or absent: nothing selected
  int processedEvents = 0;

private:
  std::deque<int> answers_;
  std::set<Form> visible_;
};

} // namespace vokuta::test
