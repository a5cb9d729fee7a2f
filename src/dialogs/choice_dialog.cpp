// The association choice dialog Frm2List and the merge's notices.
#include "dialogs/choice_dialog.h"

#include "fini/fini_image.h"
#include "fini/fini_slots.h"
#include "mainwin/item_list_view.h"
#include "util/text.h"

namespace vokuta {
namespace {

const std::wstring kNoticeTitle = L" - 注意";

std::wstring changeHeading(std::size_t slot) {
  return L"Ravuz.iniの" + SlotNumber(slot) + L"番目の関連付けを変更します。\r\n\r\n";
}

} // namespace

void FillChoiceList(Program& p) {
  p.ui.listClear(Form::Frm2List);
  for (std::size_t k = kReservedSlots; k < kFiniSlots; ++k)
    p.ui.listAdd(Form::Frm2List, ChoiceLine(p, k));
  // OK without a choice gives up the last slot.
  p.ui.listSelect(Form::Frm2List, static_cast<int>(kFiniSlots - kReservedSlots - 1));
}

void CannotAddBox(Program& p) {
  p.ui.messageBox(L"Ravuz.iniに関連付けを追加できません。\r\n\r\n"
                  L"次の画面で、不要な関連付けを１つ選択してください。\r\n",
                  AppTitle + kNoticeTitle, Buttons::Ok, Icon::Exclamation);
}

void AppChangeBox(Program& p, std::size_t slot, std::size_t row) {
  p.ui.messageBox(changeHeading(slot) + L"変更前\r\napp = " +
                      Shown(RemoveBlanks(p.deviceFiniTable[slot].app)) + L"\r\n変更後\r\napp = " +
                      RemoveBlanks(p.finiTable[row].app),
                  AppTitle + kNoticeTitle, Buttons::Ok, Icon::Exclamation);
}

int RecordChangeBox(Program& p, std::size_t slot, std::size_t row) {
  return p.ui.messageBox(changeHeading(slot) + L"変更前\r\n" +
                             RecordLines(p.deviceFiniTable[slot]) + L"変更後\r\n" +
                             RecordLines(p.finiTable[row]),
                         AppTitle + kNoticeTitle, Buttons::OkCancel, Icon::Exclamation);
}

namespace frm2list {

int ChooseSlotToDrop(Program& p, const FiniRecord& incoming) {
  p.ui.setCaption(Form::Frm2List, AppTitle + L" - 不要な関連付け選択");
  p.ui.setText(Form::Frm2List, Control::Lab追加,
               L"suffix = " + UpperAscii(FitWidth(incoming.suffix, FiniRecord::kSuffixWidth)) +
                   L" , app = " + UpperAscii(FitWidth(incoming.app, FiniRecord::kAppWidth)));
  p.ui.hideForm(Form::Frm3Port);
  // Returns when CmdOK_Click hides the dialog; DropIndex holds what it chose.
  p.ui.showForm(Form::Frm2List, true, Form::Frm3Port);
  return p.g.DropIndex;
}

void CmdOK_Click(Program& p) {
  p.g.DropIndex = static_cast<std::int16_t>(SelectedItem(p, Form::Frm2List));
  p.ui.hideForm(Form::Frm2List);
  p.ui.showForm(Form::Frm3Port, false, Form::Frm1Main);
  p.ui.processEvents();
}

void Form_unload(Program& p) {
  p.ui.listSelect(Form::Frm2List, -1);
  CmdOK_Click(p);
}

} // namespace frm2list
} // namespace vokuta
