// The main window's item list and size label.
#include "mainwin/item_list_view.h"

#include "setupinfo/item_list.h"

namespace vokuta {

void FillItemList(Program& p) {
  p.ui.listClear(Form::Frm1Main);
  for (std::size_t row = 0; !p.setupTable[row].terminates(); ++row)
    p.ui.listAdd(Form::Frm1Main, ItemText(p, row));
}

void ShowTotalSize(Program& p) {
  p.ui.setText(Form::Frm1Main, Control::LblSize,
               L"インストールするファイルの合計は、" + FormatKBytes(合計容量(p)) +
                   L" Kバイトです。\r\nVokuta本体の空き容量を確認してください。");
}

int SelectedItem(Program& p, Form form) {
  for (int i = p.ui.listCount(form) - 1; i >= 0; --i)
    if (p.ui.listSelected(form, i)) return i;
  return -1;
}

} // namespace vokuta
