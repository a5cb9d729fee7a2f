#pragma once
#include <array>
#include <functional>
#include <memory>
#include <utility>
#include <vector>

#include "platform/ui.h"

struct HWND__; // <windows.h>'s window handle type, which this header need not include

namespace vokuta {

struct Program;

namespace win32 {
class FormWindow;
struct Icons;
} // namespace win32

/// What Frm2List's OK button and close box do. The association merge provides them; a hook
/// left empty hides the dialog, which ends its modal show without anything else happening.
struct ChoiceHooks {
  std::function<void(Program&)> ok;     ///< the OK button
  std::function<void(Program&)> closed; ///< the close box: no choice
};

/// What the Win32 layer does around the program's own handlers: the run log and the progress
/// display. A hook left empty does nothing.
struct RunHooks {
  std::function<void(Program&)> starting; ///< the main window's Next, before its handler
  std::function<void()> returned;         ///< after it, when the run came back to the window
  /// A message box was answered: title, text, answer (kOk, kYes, ...).
  std::function<void(const std::wstring&, const std::wstring&, int)> boxAnswered;
  std::function<void()> ending;  ///< endProgram, before the process ends
  std::function<void()> waiting; ///< a box or a modal form is about to wait for the user
};

/// The user interface of the Win32 build: the four forms, system message boxes and the end of
/// the process.
///
/// Usable for message boxes as soon as it exists; the forms come with `createForms`. Every
/// call runs on the thread that created the forms.
class Win32Ui final : public Ui {
public:
  Win32Ui();
  ~Win32Ui() override;
  Win32Ui(const Win32Ui&) = delete;
  Win32Ui& operator=(const Win32Ui&) = delete;

  /// Creates the main form, hidden, at its designed place; the other three follow the same way
  /// when first used. Their events go to `program`'s handlers. Throws std::runtime_error when
  /// Windows refuses a window (for the others, at their first use).
  void createForms(Program& program);
  void setChoiceHooks(ChoiceHooks hooks) { choiceHooks_ = std::move(hooks); }
  void setRunHooks(RunHooks hooks) { runHooks_ = std::move(hooks); }

  /// The window of a form, for looking at it from outside (tests).
  HWND__* handle(Form form) const;

  /// Runs the message loop until WM_QUIT and returns its exit code.
  int run();

  int messageBox(const std::wstring& text, const std::wstring& title, Buttons buttons, Icon icon,
                 int defaultButton = 1) override;
  [[noreturn]] void endProgram() override;

  void showForm(Form form, bool modal, std::optional<Form> owner) override;
  void hideForm(Form form) override;
  void setCaption(Form form, const std::wstring& caption) override;
  void setText(Form form, Control control, const std::wstring& text) override;
  std::wstring text(Form form, Control control) override;
  void setFocus(Form form, Control control) override;

  void listClear(Form form) override;
  void listAdd(Form form, const std::wstring& item) override;
  void listInsert(Form form, int index, const std::wstring& item) override;
  void listRemove(Form form, int index) override;
  int listCount(Form form) override;
  bool listSelected(Form form, int index) override;
  void listSelect(Form form, int index) override;

  void processEvents() override;
  std::intptr_t mainWindowHandle() override;

private:
  /// A modal show in progress: the forms it disabled, enabled again when it ends.
  struct ModalSession {
    Form form;
    std::vector<HWND__*> disabled;
    bool ended = false;
  };

  win32::FormWindow& form(Form f) const;
  HWND__* listOf(Form f) const;
  /// Disables every enabled form but `except`; returns those it disabled.
  std::vector<HWND__*> disableFormsBut(HWND__* except) const;
  static void enable(const std::vector<HWND__*>& windows);

  std::unique_ptr<win32::Icons> icons_;
  Program* program_ = nullptr; ///< set by createForms
  mutable std::array<std::unique_ptr<win32::FormWindow>, 4> forms_;
  ChoiceHooks choiceHooks_;
  RunHooks runHooks_;
  std::vector<ModalSession*> modal_; ///< innermost last
};

} // namespace vokuta
