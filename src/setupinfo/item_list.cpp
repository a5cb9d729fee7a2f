#include "setupinfo/item_list.h"

#include "util/text.h"

namespace vokuta {

std::wstring ItemText(const Program& p, std::size_t row) {
  return p.setupTable[row].DestPath + L"\\" + p.setupTable[row].FileName;
}

void FillItemList(Program& p) {
  p.ui.listClear(Form::Frm1Main);
  for (std::size_t row = 0; !p.setupTable[row].terminates(); ++row)
    p.ui.listAdd(Form::Frm1Main, ItemText(p, row));
}

std::uint64_t 合計容量(Program& p) {
  std::uint64_t total = 0;
  for (std::size_t row = 0; !p.setupTable[row].terminates(); ++row) {
    const SetupRow& r = p.setupTable[row];
    ListMatchingFiles(p.files, r.SourcePath, r.FileName, p.matchList);
    for (const std::wstring& name : p.matchList) {
      if (auto length = p.files.fileLength(r.SourcePath + L"\\" + name))
        total += *length / 512 * 512 + 512;
    }
  }
  return total;
}

std::wstring FormatKBytes(std::uint64_t bytes) {
  const std::uint64_t whole = bytes / 1024;
  std::uint64_t rest = bytes % 1024;
  std::wstring text = L" ";
  if (whole != 0 || rest == 0) text += std::to_wstring(whole);
  if (rest != 0) {
    text += L'.';
    // rest / 1024 has at most ten decimal digits; write them until nothing is left.
    while (rest != 0) {
      rest *= 10;
      text += static_cast<wchar_t>(L'0' + rest / 1024);
      rest %= 1024;
    }
  }
  return text;
}

void ShowTotalSize(Program& p) {
  p.ui.setText(Form::Frm1Main, Control::LblSize,
               L"インストールするファイルの合計は、" + FormatKBytes(合計容量(p)) +
                   L" Kバイトです。\r\nVokuta本体の空き容量を確認してください。");
}

void RemoveRow(Program& p, std::size_t row) {
  for (std::size_t i = row; i + 1 < kTableSlots && !p.setupTable[i].terminates(); ++i) {
    p.setupTable[i] = p.setupTable[i + 1];
    p.finiTable[i] = p.finiTable[i + 1];
  }
}

int SelectedItem(Program& p, Form form) {
  for (int i = p.ui.listCount(form) - 1; i >= 0; --i)
    if (p.ui.listSelected(form, i)) return i;
  return -1;
}

} // namespace vokuta
