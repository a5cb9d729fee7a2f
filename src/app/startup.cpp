// Start-up: the command line, the environment check, Setup.inf and the first window.
#include "app/startup.h"

#include "mainwin/environment.h"
#include "mainwin/item_list_view.h"
#include "setupinfo/setup_info.h"
#include "util/text.h"

namespace vokuta {
namespace {

bool isDriveLetter(wchar_t c) { return (c >= L'A' && c <= L'Z') || (c >= L'a' && c <= L'z'); }

} // namespace

SetupInfLocation LocateSetupInf(const std::wstring& commandLine, const std::wstring& installDir,
                                const std::wstring& currentDir) {
  std::wstring cmd = commandLine;
  if (cmd.size() >= 2 && cmd.front() == L'"' && cmd.back() == L'"')
    cmd = cmd.substr(1, cmd.size() - 2);

  if (cmd.empty()) return {currentDir + L"\\Setup.inf", currentDir};
  const bool drivePath =
      cmd.size() >= 3 && isDriveLetter(cmd[0]) && cmd[1] == L':' && cmd[2] == L'\\';
  const bool networkPath = cmd.rfind(L"\\\\", 0) == 0;
  if (drivePath || networkPath) return {cmd, StripTrailingBackslashes(DirPart(cmd))};
  if (cmd.front() != L'\\')
    return {installDir + L"\\" + cmd, installDir + L"\\" + StripTrailingBackslashes(DirPart(cmd))};
  const std::wstring drive = currentDir.substr(0, 2);
  return {drive + cmd, drive + StripTrailingBackslashes(DirPart(cmd))};
}

void LoadSetupInfo(Program& p) {
  if (const std::int32_t port = ReadFilerPort(p); port != 0) {
    p.g.PortNumber = port;
    p.g.PortSource = kPortFixed;
  }
  std::wstring first;
  switch (ReadSetupInfo(p)) {
  case ReadResult::Ok:
    return;
  case ReadResult::CannotOpen:
    first = L"下記のセットアップ情報が見つかりません。";
    break;
  case ReadResult::TooManyRows:
    first = L"セットアップ情報の項目数が上限（199）を超えています。";
    break;
  case ReadResult::Utf16:
    first = L"下記のセットアップ情報は UTF-16 で保存されています（Shift-JIS で保存してください）。";
    break;
  }
  p.ui.messageBox(first + L"\r\nインストールできません。終了します。\r\n" + p.g.SetupInfPath,
                  AppTitle + L" - ｾｯﾄｱｯﾌﾟ情報", Buttons::Ok, Icon::Stop);
  p.ui.endProgram();
}

void Form_Load(Program& p, const StartupArgs& args) {
  if (args.anotherCopyRunning) p.ui.endProgram();
  CheckEnvironment(p);
  p.g.PortNumber = 1;
  p.g.LinkMode = 4;
  p.g.RunFailed = false;

  const std::wstring installDir = ReadInstallDir(p);
  p.g.CacheDir = installDir + L"\\redirav\\cache";
  const SetupInfLocation where =
      LocateSetupInf(args.commandLine, installDir, p.files.currentDirectory());
  p.g.SetupInfPath = where.SetupInfPath;
  p.g.SourceDir = where.SourceDir;
  p.g.FiniPcPath = installDir + L"\\vkapps\\$$Ravuz$.ini";
  if (installDir.size() >= 2 && installDir[1] == L':') p.files.setCurrentDrive(installDir[0]);
  p.g.Communicating = false;
  p.g.LastDeviceDir.clear();

  LoadSetupInfo(p);
  FillItemList(p);
  ShowTotalSize(p);
  p.ui.setCaption(Form::Frm1Main, AppTitle);
  if (p.g.PortSource == kPortUnknown) {
    p.ui.setCaption(Form::Frm3Port, AppTitle);
    p.ui.showForm(Form::Frm3Port, false, Form::Frm1Main);
  } else {
    p.ui.showForm(Form::Frm1Main, false, std::nullopt);
  }
}

} // namespace vokuta
