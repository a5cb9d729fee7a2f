#include "win32/control_ids.h"
#include "win32/forms.h"

namespace vokuta::win32 {
namespace {

namespace id = ids::frm2list;

/// Fixed pitch, so that the list's columns stand under the header.
constexpr wchar_t kListFace[] = L"ＭＳ ゴシック";

// In tab order. Read top to bottom, the Lab説明 labels are (2), (0), (1).
constexpr ControlDef kControls[] = {
    {id::kList1, ControlKind::List, L"", 120, 360, 7095, 2790, 975, 0, kListFace},
    {id::kCmdOK, ControlKind::Button, L"OK", 5760, 4320, 1315, 375, 975},
    {id::kLab説明 + 0, ControlKind::Label, L"不要な関連付けをリスト中から１つ選択し、", 480, 4200,
     4935, 255, 975},
    {id::kLabタイトル, ControlKind::Label,
     L" no suffix attr    id     font     mmp       file                   app ", 120, 120, 6255,
     255, 1050},
    {id::kLab説明 + 1, ControlKind::Label, L"OK ボタンをクリックください。", 480, 4440, 4815, 255,
     975},
    {id::kLab説明 + 2, ControlKind::Label, L"● 上記の関連付けを Ravuz.ini に追加するために、", 240,
     3960, 5055, 255, 975},
    {id::kLab追加, ControlKind::Label, L"", 240, 3600, 6255, 255, 975},
};

// The caption is set before every show. A dialog frame, which shows no icon.
constexpr FormDef kForm{L"", 7350, 4830, WS_EX_DLGMODALFRAME, true, kControls};

} // namespace

ChoiceForm::ChoiceForm(Program& program, const ChoiceHooks& hooks)
    : FormWindow(program, kForm), hooks_(hooks) {}

void ChoiceForm::onControl(int control, int code) {
  if (control != id::kCmdOK || code != BN_CLICKED) return;
  if (hooks_.ok)
    hooks_.ok(program());
  else
    program().ui.hideForm(Form::Frm2List);
}

void ChoiceForm::onClose() {
  if (hooks_.closed)
    hooks_.closed(program());
  else
    program().ui.hideForm(Form::Frm2List);
}

} // namespace vokuta::win32
