// The install run: connect, check the free space, install, report, end.
#include "run/install_run.h"

#include "link/connection.h"
#include "link/free_space.h"
#include "mainwin/environment.h"
#include "run/install_loop.h"
#include "setupinfo/setup_info.h"

namespace vokuta {
namespace {

void backToMainWindow(Program& p) {
  p.ui.hideForm(Form::Frm3Port);
  p.ui.showForm(Form::Frm1Main, false, std::nullopt);
}

std::wstring whyUnholdable(const NameFault& f) {
  switch (f.problem) {
  case NameProblem::Empty:
    return L"空の名前（連続した「\\」）があります。";
  case NameProblem::BadCharacter:
    return L"名前に使えない文字「" + ShowChar(f.character) + L"」があります。";
  case NameProblem::Dots:
    return L"名前の本体がないか、ピリオドが 2 つ以上あります。";
  case NameProblem::TooLong:
    return L"名前が 8.3 形式に収まりません（Shift-JIS で " + std::to_wstring(f.baseBytes) + L"+" +
           std::to_wstring(f.extBytes) + L" バイト）。";
  case NameProblem::LastByte5C:
    return L"最後の文字「" + std::wstring(1, f.character) +
           L"」は Shift-JIS の 2 バイト目が 0x5C で、パスの区切りと読まれます。";
  case NameProblem::Reserved:
    return L"Windows が装置に予約している名前があります。";
  }
  return {};
}

} // namespace

bool RefuseUnholdablePaths(Program& p) {
  const auto bad = FindUnholdablePath(p);
  if (!bad) return false;
  p.ui.messageBox(L"セットアップ情報の " + std::to_wstring(p.setupLines[bad->row]) +
                      L" 行目の転送先は、Vokuta本体に置けません。\r\n" + bad->path + L"\r\n" +
                      whyUnholdable(bad->fault) + L"\r\nインストールできません。終了します。",
                  AppTitle + L" - ｾｯﾄｱｯﾌﾟ情報", Buttons::Ok, Icon::Stop);
  return true;
}

void 開始ボタン(Program& p) {
  // The PC file manager may have been started since start-up.
  CheckEnvironment(p);
  // The device would refuse such a path for ever, which the installer must take for a broken
  // link; the package is refused before the link is touched.
  if (RefuseUnholdablePaths(p)) p.ui.endProgram();
  if (ConnectPrompt(p) != kYes || CheckConnection(p) != kConnected) {
    backToMainWindow(p);
    return;
  }
  p.g.Communicating = true;
  if (CheckFreeSpace(p) == kSpaceGoOn) {
    InstallFiles(p);
    p.g.Communicating = false;
    ShowResult(p);
    p.ui.endProgram();
  }
  backToMainWindow(p);
  p.g.Communicating = false;
  EndLink(p);
}

bool ShowResult(Program& p) {
  const std::int32_t ended = EndLink(p);
  if (ended != 0 || p.g.RunFailed) {
    p.ui.messageBox(L"「" + AppTitle + L"」は正常に終了しませんでした。\r\nはじめから「" +
                        AppTitle + L"」を実行してください。",
                    AppTitle + L" - エラー終了", Buttons::Ok, Icon::Exclamation);
    return true;
  }
  p.ui.messageBox(L"「" + AppTitle + L"」は正常に終了しました。", AppTitle + L" - 正常終了",
                  Buttons::Ok, Icon::Information);
  return false;
}

} // namespace vokuta
