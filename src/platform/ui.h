// The Ui seam: message boxes, the four forms, their controls and lists.
#pragma once
#include <cstdint>
#include <optional>
#include <string>

namespace vokuta {

enum class Buttons { Ok, OkCancel, YesNo, RetryCancel };
enum class Icon { Stop, Exclamation, Information, Question };

/// Answers of a message box, as the numbers the program compares them with.
enum Answer : int { kOk = 1, kCancel = 2, kRetry = 4, kYes = 6, kNo = 7 };

/// The four windows of the installer: created once at start-up, afterwards only shown and
/// hidden, never closed.
enum class Form { Frm1Main, Frm2List, Frm3Port, Frm4Text };

/// Controls whose contents the program sets or reads while it runs.
enum class Control { LblSize, List1, Text1, Lab追加 };

/// What the program shows the user. Abstract so it can be scripted in tests.
class Ui {
public:
  virtual ~Ui() = default;

  /// Shows a modal message box, owned by the active window of the program, and waits for the
  /// answer. `defaultButton` is 1 for the first button, 2 for the second. Returns kOk, kCancel,
  /// kRetry, kYes or kNo; closing a box that has a Cancel or No button gives that answer, a lone
  /// OK box gives kOk.
  virtual int messageBox(const std::wstring& text, const std::wstring& title, Buttons buttons,
                         Icon icon, int defaultButton = 1) = 0;

  /// Ends the program at once: every window closes, no closing event runs, nothing more is
  /// shown. Never returns.
  [[noreturn]] virtual void endProgram() = 0;

  /// Shows `form` in front, owned by `owner` when one is given. A modeless show returns at
  /// once. A modal show disables the program's other windows and returns only when the form is
  /// hidden again (by one of its own handlers).
  virtual void showForm(Form form, bool modal, std::optional<Form> owner) = 0;
  /// Hides `form`; nothing happens when it is hidden already.
  virtual void hideForm(Form form) = 0;
  virtual void setCaption(Form form, const std::wstring& caption) = 0;
  /// The text of a label or an edit box.
  virtual void setText(Form form, Control control, const std::wstring& text) = 0;
  virtual std::wstring text(Form form, Control control) = 0;
  virtual void setFocus(Form form, Control control) = 0;

  // The list box List1 of Frm1Main or Frm2List. Items keep the order they are added in.
  virtual void listClear(Form form) = 0;
  virtual void listAdd(Form form, const std::wstring& item) = 0;
  virtual void listInsert(Form form, int index, const std::wstring& item) = 0;
  virtual void listRemove(Form form, int index) = 0;
  virtual int listCount(Form form) = 0;
  virtual bool listSelected(Form form, int index) = 0;
  /// Selects item `index` and scrolls it into view; -1 selects none.
  virtual void listSelect(Form form, int index) = 0;

  /// Runs the window events that are already pending, once.
  virtual void processEvents() = 0;

  /// The main window's handle as a number, for the link library.
  virtual std::intptr_t mainWindowHandle() = 0;
};

} // namespace vokuta
