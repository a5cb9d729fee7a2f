#include "fini/fini_merge.h"

#include "fini/fini_file.h"
#include "fini/fini_image.h"
#include "link/connection.h"
#include "link/transfer.h"
#include "setupinfo/item_list.h"
#include "util/text.h"

namespace vokuta {
namespace {

const std::wstring kNoticeTitle = L" - 注意";

std::wstring slotNumber(std::size_t slot) { return L" " + std::to_wstring(slot); }

std::wstring changeHeading(std::size_t slot) {
  return L"Ravuz.iniの" + slotNumber(slot) + L"番目の関連付けを変更します。\r\n\r\n";
}

std::wstring recordLines(const FiniRecord& r) {
  return L"suffix = " + Shown(r.suffix) + L" , attr = " + Hex4(r.attr) + L" , id = " + Hex4(r.id) +
         L" , font = " + Hex4(r.font) + L"\r\nmmp = " + Hex8(r.mmp) + L" , file = " +
         Shown(RemoveBlanks(r.file)) + L"\r\n";
}

bool sameValues(const FiniRecord& a, const FiniRecord& b) {
  return a.attr == b.attr && a.id == b.id && a.font == b.font && a.mmp == b.mmp &&
         UpperAscii(TrimBlanks(a.file)) == UpperAscii(TrimBlanks(b.file));
}

} // namespace

std::int16_t FindSuffixSlot(Program& p, std::int16_t start, const std::wstring& suffix) {
  const std::wstring wanted = UpperAscii(FitWidth(suffix, FiniRecord::kSuffixWidth));
  for (std::size_t k = static_cast<std::size_t>(std::max<std::int16_t>(start, 0)); k < kFiniSlots;
       ++k) {
    if (IsFreeSlot(p, k)) continue;
    if (UpperAscii(FitWidth(p.deviceFiniTable[k].suffix, FiniRecord::kSuffixWidth)) == wanted)
      return static_cast<std::int16_t>(k);
  }
  return -1;
}

std::int16_t FindFreeSlot(Program& p, std::int16_t start) {
  for (std::size_t k = static_cast<std::size_t>(std::max<std::int16_t>(start, 0)); k < kFiniSlots;
       ++k)
    if (IsFreeSlot(p, k)) return static_cast<std::int16_t>(k);
  return -1;
}

std::wstring ChoiceLine(const Program& p, std::size_t slot) {
  const FiniRecord& r = p.deviceFiniTable[slot];
  return PadLeft(slotNumber(slot), 3) + PadLeft(Shown(r.suffix), 5) + L" " + Hex4(r.attr) + L" " +
         Hex4(r.id) + L" " + Hex4(r.font) + L" " + Hex8(r.mmp) + L" " +
         Shown(FitWidth(r.file, FiniRecord::kFileWidth)) + L" " +
         Shown(FitWidth(r.app, FiniRecord::kAppWidth));
}

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
                             recordLines(p.deviceFiniTable[slot]) + L"変更後\r\n" +
                             recordLines(p.finiTable[row]),
                         AppTitle + kNoticeTitle, Buttons::OkCancel, Icon::Exclamation);
}

std::int16_t Filerini変更(Program& p, std::int16_t row) {
  std::int16_t r = 0;
  if (!p.g.FiniLoaded) {
    r = Filerini読出(p);
    p.g.FiniLoaded = true;
    FiniB2rR(p);
  }
  std::int16_t result = 0;
  if (r != 0) {
    if (p.g.LinkStatus == 5) {
      MemoryErrorBox(p);
      result = kGiveUp;
    } else if (p.g.LinkStatus <= 0) {
      EndLinkCall(p);
      EndLinkCall(p);
      result = kGiveUp;
    }
  }

  const auto pkg = static_cast<std::size_t>(row);
  const FiniRecord& incoming = p.finiTable[pkg];
  const std::int16_t k =
      FindSuffixSlot(p, static_cast<std::int16_t>(kReservedSlots), incoming.suffix);
  if (k != -1) {
    FiniRecord& old = p.deviceFiniTable[static_cast<std::size_t>(k)];
    const std::wstring oldApp = UpperAscii(RemoveBlanks(old.app));
    if (oldApp != UpperAscii(RemoveBlanks(incoming.app))) {
      if (!oldApp.empty()) AppChangeBox(p, static_cast<std::size_t>(k), pkg);
      old.app = incoming.app;
      p.g.FiniChanged = true;
    }
    if (!sameValues(old, incoming) && RecordChangeBox(p, static_cast<std::size_t>(k), pkg) == kOk) {
      old.suffix = incoming.suffix;
      old.attr = incoming.attr;
      old.id = incoming.id;
      old.font = incoming.font;
      old.mmp = incoming.mmp;
      old.file = incoming.file;
      p.g.FiniChanged = true;
    }
    return result;
  }

  if (const std::int16_t e = FindFreeSlot(p, static_cast<std::int16_t>(kReservedSlots)); e != -1) {
    p.deviceFiniTable[static_cast<std::size_t>(e)] = incoming;
    p.g.FiniChanged = true;
    return result;
  }

  CannotAddBox(p);
  FillChoiceList(p);
  p.ui.setCaption(Form::Frm2List, AppTitle + L" - 不要な関連付け選択");
  p.ui.setText(Form::Frm2List, Control::Lab追加,
               L"suffix = " + UpperAscii(FitWidth(incoming.suffix, FiniRecord::kSuffixWidth)) +
                   L" , app = " + UpperAscii(FitWidth(incoming.app, FiniRecord::kAppWidth)));
  p.ui.hideForm(Form::Frm3Port);
  p.ui.showForm(Form::Frm2List, true, Form::Frm3Port);
  const int s = p.g.DropIndex + static_cast<int>(kReservedSlots);
  if (s >= static_cast<int>(kReservedSlots) && s < static_cast<int>(kFiniSlots)) {
    p.deviceFiniTable[static_cast<std::size_t>(s)] = incoming;
    p.g.FiniChanged = true;
  }
  return result;
}

namespace frm2list {

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
