// The directory-name dialog: the device's 8.3 rule per directory name, and storing the path.
#include "dialogs/dir_dialog.h"

#include "mainwin/item_list_view.h"
#include "setupinfo/item_list.h"
#include "setupinfo/setup_info.h"
#include "util/device_path.h"
#include "util/text.h"

namespace vokuta::frm4text {
namespace {

std::int16_t checkName(const std::wstring& name, const ShiftJis& sjis) {
  const std::size_t dot = name.find(L'.');
  const std::wstring base = name.substr(0, dot);
  const std::wstring extension = dot == std::wstring::npos ? std::wstring() : name.substr(dot + 1);
  if (ByteWidth(extension, sjis) >= 4 || ByteWidth(base, sjis) >= 9) return kDirNameTooLong;
  // A last byte 0x5C would read as a path separator on the device ('ソ' is 0x83 0x5C). The
  // yen sign has no code of its own, but Windows' conversion makes it that byte.
  if (!name.empty()) {
    if (name.back() == L'\u00A5') return kDirNameBadLastChar;
    const std::string code = sjis.codeOf(name.back());
    if (!code.empty() && static_cast<unsigned char>(code.back()) == 0x5C)
      return kDirNameBadLastChar;
  }
  return kDirNameOk;
}

} // namespace

void OpenFor(Program& p) {
  const int row = SelectedItem(p, Form::Frm1Main);
  if (row < 0) return;
  p.g.EditRow = row;
  p.ui.setText(Form::Frm4Text, Control::Text1,
               p.setupTable[static_cast<std::size_t>(row)].DestPath);
  p.ui.showForm(Form::Frm4Text, false, Form::Frm1Main);
  p.ui.setFocus(Form::Frm4Text, Control::Text1);
}

std::int16_t CheckDirName(Program& p) {
  std::wstring path = StripTrailingBackslashes(p.ui.text(Form::Frm4Text, Control::Text1));
  path = L"\\" + StripLeadingBackslashes(path);
  if (path == L"\\") {
    p.ui.setText(Form::Frm4Text, Control::Text1, L"");
    return kDirNameOk;
  }
  p.ui.setText(Form::Frm4Text, Control::Text1, path);

  std::int16_t code = kDirNameOk;
  std::wstring offending;
  for (const DeviceName& n : DeviceNames(path)) {
    code = checkName(n.name, p.sjis);
    if (code == kDirNameBadLastChar) offending = n.name.substr(n.name.size() - 1);
    if (code != kDirNameOk) break;
  }
  if (code == kDirNameOk) return code;
  p.ui.messageBox(code == kDirNameTooLong
                      ? L"ディレクトリ名は、半角８文字（＋３文字）以内にしてください。"
                      : L"ディレクトリ名の最後に、「" + offending + L"」は、使用できません。",
                  AppTitle + L" - 注意", Buttons::Ok, Icon::Exclamation);
  p.ui.setFocus(Form::Frm4Text, Control::Text1);
  return code;
}

void CmdOK_Click(Program& p) {
  if (CheckDirName(p) != kDirNameOk) return;
  // The row may have been deleted from the list while this modeless dialog was open; storing
  // into a slot that is no row any more would bring stale rows back into the table.
  const int row = p.g.EditRow;
  if (row >= 0 && !p.setupTable[static_cast<std::size_t>(row)].terminates()) {
    const auto r = static_cast<std::size_t>(row);
    p.setupTable[r].DestPath = p.ui.text(Form::Frm4Text, Control::Text1);
    p.ui.listInsert(Form::Frm1Main, row, ItemText(p, r));
    p.ui.listRemove(Form::Frm1Main, row + 1);
    if (p.setupTable[r].isFini()) SetAppPath(p, r);
  }
  p.ui.hideForm(Form::Frm4Text);
}

void Cmdキャンセル_Click(Program& p) { p.ui.hideForm(Form::Frm4Text); }
void Form_unload(Program& p) { p.ui.hideForm(Form::Frm4Text); }

} // namespace vokuta::frm4text
