#include "dialogs/port_dialog.h"
#include "win32/control_ids.h"
#include "win32/forms.h"

namespace vokuta::win32 {
namespace {

namespace id = ids::frm3port;

// The options lie in Frame1 and are placed from its corner.
constexpr int kFrameLeft = 120;
constexpr int kFrameTop = 240;
constexpr int kOptionHeight = 375;

constexpr ControlDef option(int index, const wchar_t* text, int left, int width, int top,
                            DWORD style = 0) {
  return {id::kOptポート + index,
          ControlKind::Option,
          text,
          kFrameLeft + left,
          kFrameTop + top,
          width,
          kOptionHeight,
          975,
          style};
}

// The ten options make one block right after their frame, so that the arrow keys go through
// all of them in index order; the dialog manager reaches a group with Tab only once anyway, at
// its selected option. The rest follows in tab order.
constexpr ControlDef kControls[] = {
    {id::kFrame1, ControlKind::Frame, L"シリアルポート番号", kFrameLeft, kFrameTop, 6255, 2175,
     975},
    option(0, L"シリアルポート１ ( COM１ )", 360, 2655, 240, WS_GROUP | WS_TABSTOP),
    option(1, L"シリアルポート２ ( COM２ )", 360, 2655, 600),
    option(2, L"シリアルポート３ ( COM３ )", 360, 2655, 960),
    option(3, L"シリアルポート４ ( COM４ )", 360, 2655, 1320),
    option(4, L"シリアルポート５ ( COM５ )", 360, 2655, 1680),
    option(5, L"シリアルポート６ ( COM６ )", 3240, 2895, 240),
    option(6, L"シリアルポート７ ( COM７ )", 3240, 2895, 600),
    option(7, L"シリアルポート８ ( COM８ )", 3240, 2895, 960),
    option(8, L"シリアルポート９ ( COM９ )", 3240, 2895, 1320),
    option(9, L"シリアルポート１０ ( COM１０ )", 3240, 2895, 1680),
    {id::kCmd戻る, ControlKind::Button, L"＜ 戻る(&B)", 240, 3000, 1335, 375, 975, WS_DISABLED},
    {id::kCmd開始, ControlKind::Button, L"次へ(&N) ＞", 1800, 3000, 1335, 375, 975},
    {id::kCmdキャンセル, ControlKind::Button, L"ｷｬﾝｾﾙ(&C)", 4920, 3000, 1335, 375, 975},
    {id::kLabel1, ControlKind::Label,
     L"● シリアルポート番号を選択し、［次へ(N) ＞］ボタンを押してください。", 240, 2640, 6255, 255,
     975},
};

constexpr FormDef kForm{id::kDesignCaption, 6525, 3525, 0, true, kControls};

} // namespace

PortForm::PortForm(Program& program, HICON big, HICON small) : FormWindow(program, kForm) {
  setIcon(big, small);
  // Port 1 is chosen until the user picks another; the dialog is never made again.
  SendMessageW(control(id::kOptポート), BM_SETCHECK, BST_CHECKED, 0);
}

void PortForm::onControl(int control, int code) {
  if (code != BN_CLICKED) return;
  if (control >= id::kOptポート && control < id::kOptポート + frm3port::kPortOptions) {
    frm3port::Optポート_Click(program(), control - id::kOptポート);
    return;
  }
  // Cmd戻る stays disabled and has no handler.
  switch (control) {
  case id::kCmd開始:
    frm3port::Cmd開始_Click(program());
    break;
  case id::kCmdキャンセル:
    frm3port::Cmdキャンセル_Click(program());
    break;
  default:
    break;
  }
}

void PortForm::onClose() { frm3port::Form_unload(program()); }

} // namespace vokuta::win32
