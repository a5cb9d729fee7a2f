#pragma once
#include <string>

namespace vokuta {

enum class Buttons { Ok, OkCancel, YesNo, RetryCancel };
enum class Icon { Stop, Exclamation, Information, Question };

/// Answers of a message box, as the numbers the program compares them with.
enum Answer : int { kOk = 1, kCancel = 2, kRetry = 4, kYes = 6, kNo = 7 };

/// What the program shows the user. Abstract so it can be scripted in tests.
class Ui {
public:
  virtual ~Ui() = default;

  /// Shows a modal message box and waits for the answer. `defaultButton` is 1 for the first
  /// button, 2 for the second. Returns kOk, kCancel, kRetry, kYes or kNo; closing a box that has
  /// a Cancel or No button gives that answer, a lone OK box gives kOk.
  virtual int messageBox(const std::wstring& text, const std::wstring& title, Buttons buttons,
                         Icon icon, int defaultButton = 1) = 0;

  /// Ends the program at once: every window closes, no closing event runs, nothing more is
  /// shown. Never returns.
  [[noreturn]] virtual void endProgram() = 0;
};

} // namespace vokuta
