#pragma once
#include <span>
#include <string>
#include <vector>

#include "state/program.h"
#include "win32/unique_handle.h"
#include "win32/window.h"

namespace vokuta::win32 {

enum class ControlKind {
  Label,    ///< static text
  Button,   ///< push button, never the default button
  Option,   ///< automatic radio button
  Frame,    ///< group box
  List,     ///< single-selection, unsorted list box
  Edit,     ///< single-line text box
  Progress, ///< progress bar
};

/// One control of a form as it is designed: place and size in twips in the form's client area.
struct ControlDef {
  int id;
  ControlKind kind;
  const wchar_t* text;
  int left, top, width, height;
  int fontSize;                  ///< in hundredths of a point
  DWORD style = 0;               ///< added to the kind's own (WS_DISABLED, WS_GROUP, ...)
  const wchar_t* face = nullptr; ///< nullptr: the form's face
};

/// A form as it is designed. Its controls are listed in tab order.
struct FormDef {
  const wchar_t* caption;
  int clientWidth, clientHeight; ///< twips
  DWORD exStyle;                 ///< WS_EX_DLGMODALFRAME for the dialogs without an icon
  bool centreOnOwner;            ///< else centred on the screen
  std::span<const ControlDef> controls;
};

/// A form built from its control table: a fixed-size window with a caption and a close box,
/// its controls in tab order, their fonts, and the keyboard handling of a dialog box (with the
/// message loop passing its messages through IsDialogMessage).
///
/// It remembers the focused control while it is inactive or hidden, and gives the focus back
/// when it is activated again; the first time, to the first control in tab order. Enter acts
/// only on a focused push button and Escape not at all: no button is the default or cancel
/// button.
class FormWindow : public Window {
public:
  FormWindow(Program& program, const FormDef& def);
  ~FormWindow() override;

  /// Shows the form in front and activates it. The first show of a form that opens centred on
  /// its owner centres it there.
  void show();
  void hide();
  bool visible() const;
  void setOwner(HWND owner);
  void setIcon(HICON big, HICON small);

  HWND control(int id) const;
  /// Moves the focus to the control, now if the form is active, else when it next is.
  void focus(int id);

protected:
  Program& program() { return program_; }

  /// A button was clicked (by mouse, Space, Enter or its access key), an option became the
  /// selected one of its group, or a list sent a notification (`code`).
  virtual void onControl(int id, int code);
  /// The close box, Alt+F4 or the system menu's Close. The form stays unless the handler
  /// hides it.
  virtual void onClose();

  LRESULT onMessage(UINT message, WPARAM wParam, LPARAM lParam) override;

private:
  const ControlDef* find(int id) const;
  HFONT font(const wchar_t* face, int size, int dpiY);
  void createControls(int dpiX, int dpiY);
  void onCommand(int id, int code, HWND control);
  void selectOption(HWND option);
  void restoreFocus();

  Program& program_;
  const FormDef& def_;
  struct Font {
    std::wstring face;
    int size;
    UniqueFont handle;
  };
  std::vector<Font> fonts_;
  HWND lastFocus_ = nullptr;
  bool shownBefore_ = false;
};

} // namespace vokuta::win32
