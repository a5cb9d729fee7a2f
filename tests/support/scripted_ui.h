#pragma once
#include <deque>
#include <stdexcept>
#include <string>
#include <vector>

#include "platform/ui.h"

namespace vokuta::test {

/// Thrown by ScriptedUi::endProgram in place of ending the process.
struct ProgramEnded {};

/// A Ui that answers message boxes from a script and records every box it was shown.
class ScriptedUi : public Ui {
public:
  struct Box {
    std::wstring text;
    std::wstring title;
    Buttons buttons;
    Icon icon;
    int defaultButton;
    int answer;
  };

  /// Answers for the coming boxes, in order. A box with nothing scripted fails the test run.
  void answer(std::initializer_list<int> answers) { answers_.insert(answers_.end(), answers); }

  int messageBox(const std::wstring& text, const std::wstring& title, Buttons buttons, Icon icon,
                 int defaultButton) override;
  [[noreturn]] void endProgram() override {
    ended = true;
    throw ProgramEnded{};
  }

  std::vector<Box> boxes;
  bool ended = false;
  std::size_t unusedAnswers() const { return answers_.size(); }

private:
  std::deque<int> answers_;
};

} // namespace vokuta::test
