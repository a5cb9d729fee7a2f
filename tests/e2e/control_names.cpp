#include "control_names.h"

#include <map>

#include "script.h"
#include "win32/control_ids.h"

namespace vokuta::drive {
namespace {

namespace ids = vokuta::win32::ids;

// The controls a scenario works with, named as "Form.Control" after the installer's forms.
std::map<std::wstring, int> names() {
  std::map<std::wstring, int> m = {
      {L"Frm1Main.Label1", ids::frm1main::kLabel1},
      {L"Frm1Main.Label4", ids::frm1main::kLabel4},
      {L"Frm1Main.List1", ids::frm1main::kList1},
      {L"Frm1Main.LblSize", ids::frm1main::kLblSize},
      {L"Frm1Main.Label2", ids::frm1main::kLabel2},
      {L"Frm1Main.Label3", ids::frm1main::kLabel3},
      {L"Frm1Main.Cmd戻る", ids::frm1main::kCmd戻る},
      {L"Frm1Main.Cmd次へ", ids::frm1main::kCmd次へ},
      {L"Frm1Main.Cmdキャンセル", ids::frm1main::kCmdキャンセル},
      {L"Frm1Main.LblProgress", ids::frm1main::kLblProgress},
      {L"Frm1Main.Progress", ids::frm1main::kProgress},
      {L"Frm2List.Labタイトル", ids::frm2list::kLabタイトル},
      {L"Frm2List.List1", ids::frm2list::kList1},
      {L"Frm2List.Lab追加", ids::frm2list::kLab追加},
      {L"Frm2List.CmdOK", ids::frm2list::kCmdOK},
      {L"Frm3Port.Frame1", ids::frm3port::kFrame1},
      {L"Frm3Port.Cmd戻る", ids::frm3port::kCmd戻る},
      {L"Frm3Port.Cmd開始", ids::frm3port::kCmd開始},
      {L"Frm3Port.Cmdキャンセル", ids::frm3port::kCmdキャンセル},
      {L"Frm3Port.Label1", ids::frm3port::kLabel1},
      {L"Frm4Text.Label1", ids::frm4text::kLabel1},
      {L"Frm4Text.Label2", ids::frm4text::kLabel2},
      {L"Frm4Text.Text1", ids::frm4text::kText1},
      {L"Frm4Text.Label3", ids::frm4text::kLabel3},
      {L"Frm4Text.CmdOK", ids::frm4text::kCmdOK},
      {L"Frm4Text.Cmdキャンセル", ids::frm4text::kCmdキャンセル},
  };
  for (int i = 0; i < 3; ++i)
    m[L"Frm2List.Lab説明(" + std::to_wstring(i) + L")"] = ids::frm2list::kLab説明 + i;
  for (int i = 0; i < 10; ++i)
    m[L"Frm3Port.Optポート(" + std::to_wstring(i) + L")"] = ids::frm3port::kOptポート + i;
  return m;
}

} // namespace

std::optional<int> ControlId(const std::wstring& name) {
  static const std::map<std::wstring, int> kNames = names();
  if (const auto it = kNames.find(name); it != kNames.end()) return it->second;
  const auto id = ParseNumber(name);
  if (id && *id > 0 && *id <= 0xFFFF) return static_cast<int>(*id);
  return std::nullopt;
}

} // namespace vokuta::drive
