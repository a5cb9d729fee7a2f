#pragma once
#include "win32/form_window.h"
#include "win32/win32_ui.h"

// The installer's four forms. Each one's control table lies beside its class; the events go to
// the core's handlers.
namespace vokuta::win32 {

/// Frm1Main: the item list with Back, Next and Cancel.
class MainForm final : public FormWindow {
public:
  MainForm(Program& program, HICON big, HICON small, const RunHooks& hooks);
  ~MainForm() override;

private:
  const RunHooks& hooks_;
  void onControl(int id, int code) override;
  void onClose() override;
  /// List1's own keys, which its parent never sees.
  static LRESULT CALLBACK listProcedure(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam,
                                        UINT_PTR id, DWORD_PTR self);
};

/// Frm2List: the choice of the association to give up.
class ChoiceForm final : public FormWindow {
public:
  ChoiceForm(Program& program, const ChoiceHooks& hooks);

private:
  void onControl(int id, int code) override;
  void onClose() override;

  const ChoiceHooks& hooks_;
};

/// Frm3Port: the serial port.
class PortForm final : public FormWindow {
public:
  PortForm(Program& program, HICON big, HICON small);

private:
  void onControl(int id, int code) override;
  void onClose() override;
};

/// Frm4Text: the device directory of one item.
class DirForm final : public FormWindow {
public:
  explicit DirForm(Program& program);

private:
  void onControl(int id, int code) override;
  void onClose() override;
};

} // namespace vokuta::win32
