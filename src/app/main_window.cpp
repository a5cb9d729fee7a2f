// The main window's handlers; the run and the dialogs do the work.
#include "app/main_window.h"

#include "app/startup.h"
#include "dialogs/dir_dialog.h"
#include "mainwin/exit_question.h"
#include "mainwin/item_list_view.h"
#include "run/install_run.h"
#include "setupinfo/item_list.h"

namespace vokuta::frm1main {

void Cmd次へ_Click(Program& p) { 開始ボタン(p); }

void Cmd戻る_Click(Program& p) {
  if (p.g.PortSource == kPortChosen) {
    p.ui.hideForm(Form::Frm1Main);
    p.ui.showForm(Form::Frm3Port, false, Form::Frm1Main);
    p.g.PortSource = kPortUnknown;
  }
  LoadSetupInfo(p);
  FillItemList(p);
  ShowTotalSize(p);
}

void Cmdキャンセル_Click(Program& p) { ConfirmExit(p); }
void Form_unload(Program& p) { ConfirmExit(p); }

void List1_KeyDown(Program& p, int keyCode, int shift) {
  if (keyCode != kKeyDelete || shift != 0) return;
  const int d = SelectedItem(p, Form::Frm1Main);
  if (d < 0) return;
  p.ui.listRemove(Form::Frm1Main, d);
  RemoveRow(p, static_cast<std::size_t>(d));
  // Keep the directory dialog pointing at the row it opened with, or at none.
  if (p.g.EditRow == d)
    p.g.EditRow = -1;
  else if (p.g.EditRow > d)
    --p.g.EditRow;
  ShowTotalSize(p);
}

void List1_dblClick(Program& p) { frm4text::OpenFor(p); }

} // namespace vokuta::frm1main
