#include "dialogs/dir_dialog.h"
#include "win32/control_ids.h"
#include "win32/forms.h"

namespace vokuta::win32 {
namespace {

namespace id = ids::frm4text;

// In tab order; the two first labels read as one sentence over two lines.
constexpr ControlDef kControls[] = {
    {id::kText1, ControlKind::Edit, L"Text1", 120, 720, 4335, 270, 1050},
    {id::kLabel1, ControlKind::Label, L"転送先のVokutaのディレクトリ（パス）を変更する", 240, 120,
     4215, 255, 1050},
    {id::kLabel2, ControlKind::Label, L"場合は、下記のパスを変更してください。", 240, 360, 3855,
     255, 1050},
    {id::kCmdキャンセル, ControlKind::Button, L"ｷｬﾝｾﾙ(&C)", 3000, 1560, 1335, 375, 975},
    {id::kLabel3, ControlKind::Label, L"● ［OK(O)］ボタンでパスを変更します。", 120, 1200, 4095,
     255, 975},
    {id::kCmdOK, ControlKind::Button, L"ＯＫ (&O)", 240, 1560, 1335, 375, 975},
};

// A dialog frame, which shows no icon.
constexpr FormDef kForm{id::kCaption, 4590, 2070, WS_EX_DLGMODALFRAME, false, kControls};

} // namespace

DirForm::DirForm(Program& program) : FormWindow(program, kForm) {}

void DirForm::onControl(int control, int code) {
  if (code != BN_CLICKED) return;
  switch (control) {
  case id::kCmdOK:
    frm4text::CmdOK_Click(program());
    break;
  case id::kCmdキャンセル:
    frm4text::Cmdキャンセル_Click(program());
    break;
  default:
    break;
  }
}

void DirForm::onClose() { frm4text::Form_unload(program()); }

} // namespace vokuta::win32
