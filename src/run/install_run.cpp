// The install run: connect, check the free space, install, report, end.
#include "run/install_run.h"

#include "link/connection.h"
#include "link/free_space.h"
#include "mainwin/environment.h"
#include "run/install_loop.h"

namespace vokuta {
namespace {

void backToMainWindow(Program& p) {
  p.ui.hideForm(Form::Frm3Port);
  p.ui.showForm(Form::Frm1Main, false, std::nullopt);
}

} // namespace

void 開始ボタン(Program& p) {
  // The PC file manager may have been started since start-up.
  CheckEnvironment(p);
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
