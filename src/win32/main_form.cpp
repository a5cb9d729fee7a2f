#include "app/main_window.h"
#include "win32/control_ids.h"
#include "win32/forms.h"

#include <commctrl.h>

namespace vokuta::win32 {
namespace {

namespace id = ids::frm1main;

// In tab order; sizes of fonts in hundredths of a point. Frame1, a group box without a caption,
// is the horizontal rule above the hints.
constexpr ControlDef kControls[] = {
    {id::kCmd次へ, ControlKind::Button, L"次へ(&N) ＞", 1800, 3720, 1335, 375, 975},
    {id::kCmdキャンセル, ControlKind::Button, L"ｷｬﾝｾﾙ(&C)", 4200, 3720, 1335, 375, 975},
    {id::kList1, ControlKind::List, L"", 120, 600, 5535, 1320, 1050},
    {id::kCmd戻る, ControlKind::Button, L"＜ 戻る(&B)", 240, 3720, 1335, 375, 975},
    {id::kLabel1, ControlKind::Label, L"次のファイルを Vokuta本体にインストールします。", 240, 100,
     5295, 255, 1050},
    {id::kLabel2, ControlKind::Label, L"● 続けるには、［次へ(N)＞］ボタンを押してください。", 240,
     3120, 5415, 255, 975},
    {id::kLabel3, ControlKind::Label, L"● 中断する場合は、［ｷｬﾝｾﾙ(C)］ボタンを押してください。",
     240, 3360, 5415, 255, 975},
    {id::kLabel4, ControlKind::Label, L"転送先（Vokuta）ファイル名", 240, 340, 5295, 255, 1050},
    {id::kLblSize, ControlKind::Label, L"Label5", 240, 2400, 5295, 375, 975},
    {id::kFrame1, ControlKind::Frame, L"", 120, 2880, 5535, 135, 825},
    {id::kLblProgress, ControlKind::Label, L"", 240, 3090, 5415, 255, 975},
    {id::kProgress, ControlKind::Progress, L"", 240, 3360, 5295, 240, 975},
};

constexpr FormDef kForm{id::kDesignCaption, 5790, 4230, 0, false, kControls};

constexpr UINT_PTR kListSubclass = 1;

/// The shift argument of a key event: 1 Shift, 2 Ctrl, 4 Alt, added.
int shiftState() {
  return (GetKeyState(VK_SHIFT) < 0 ? 1 : 0) | (GetKeyState(VK_CONTROL) < 0 ? 2 : 0) |
         (GetKeyState(VK_MENU) < 0 ? 4 : 0);
}

} // namespace

MainForm::MainForm(Program& program, HICON big, HICON small, const RunHooks& hooks)
    : FormWindow(program, kForm), hooks_(hooks) {
  setIcon(big, small);
  // The progress of a run is shown only while one goes on.
  ShowWindow(control(id::kLblProgress), SW_HIDE);
  ShowWindow(control(id::kProgress), SW_HIDE);
  SetWindowSubclass(control(id::kList1), listProcedure, kListSubclass,
                    reinterpret_cast<DWORD_PTR>(this));
}

MainForm::~MainForm() { RemoveWindowSubclass(control(id::kList1), listProcedure, kListSubclass); }

void MainForm::onControl(int control, int code) {
  switch (control) {
  case id::kCmd次へ:
    if (code == BN_CLICKED) {
      if (hooks_.starting) hooks_.starting(program());
      frm1main::Cmd次へ_Click(program());
      // A run that gets past the free-space check ends the program instead.
      if (hooks_.returned) hooks_.returned();
    }
    break;
  case id::kCmd戻る:
    if (code == BN_CLICKED) frm1main::Cmd戻る_Click(program());
    break;
  case id::kCmdキャンセル:
    if (code == BN_CLICKED) frm1main::Cmdキャンセル_Click(program());
    break;
  case id::kList1:
    if (code == LBN_DBLCLK) frm1main::List1_dblClick(program());
    break;
  default:
    break;
  }
}

void MainForm::onClose() { frm1main::Form_unload(program()); }

LRESULT CALLBACK MainForm::listProcedure(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam,
                                         UINT_PTR, DWORD_PTR self) {
  // The handler runs first, as for a key event, and the list box then handles the key as
  // usual. Alt turns a key into WM_SYSKEYDOWN.
  if (message == WM_KEYDOWN || message == WM_SYSKEYDOWN) {
    auto* form = reinterpret_cast<MainForm*>(self);
    guarded(
        [&] { frm1main::List1_KeyDown(form->program(), static_cast<int>(wParam), shiftState()); });
  }
  return DefSubclassProc(hwnd, message, wParam, lParam);
}

} // namespace vokuta::win32
