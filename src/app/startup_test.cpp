#include "app/startup.h"

#include <map>

#include <gtest/gtest.h>

#include "dialogs/port_dialog.h"
#include "mainwin/environment.h"
#include "support/test_program.h"

namespace vokuta {
namespace {

// Full paths, as Windows passes a file dropped on the program, stand as they are; others are
// taken from the install directory or, with a leading backslash, the current drive. A
// drive-relative path stays relative; only a pair of quotes is taken off.
TEST(LocateSetupInf, CommandLineRules) {
  const struct {
    std::wstring cmd, path, source;
  } cases[] = {
      {L"", L"D:\\x\\Setup.inf", L"D:\\x"},
      {L"apps\\Setup.inf", L"C:\\PcSide\\apps\\Setup.inf", L"C:\\PcSide\\apps"},
      {L"Setup.inf", L"C:\\PcSide\\Setup.inf", L"C:\\PcSide\\"},
      {L"\\pkg\\Setup.inf", L"D:\\pkg\\Setup.inf", L"D:\\pkg"},
      {L"Z:\\pkg\\Setup.inf", L"Z:\\pkg\\Setup.inf", L"Z:\\pkg"},
      {L"\"E:\\新しい フォルダ\\Setup.inf\"", L"E:\\新しい フォルダ\\Setup.inf",
       L"E:\\新しい フォルダ"},
      {L"\\\\server\\share\\Setup.inf", L"\\\\server\\share\\Setup.inf", L"\\\\server\\share"},
      {L"\"apps\\Setup.inf\"", L"C:\\PcSide\\apps\\Setup.inf", L"C:\\PcSide\\apps"},
      {L"C:Setup.inf", L"C:\\PcSide\\C:Setup.inf", L"C:\\PcSide\\"},
      {L"1:\\Setup.inf", L"C:\\PcSide\\1:\\Setup.inf", L"C:\\PcSide\\1:"},
      {L"\"\"", L"D:\\x\\Setup.inf", L"D:\\x"},
      {L"a\"", L"C:\\PcSide\\a\"", L"C:\\PcSide\\"},
      {L"A:\\", L"A:\\", L"A:"},
  };
  for (const auto& c : cases) {
    const SetupInfLocation where = LocateSetupInf(c.cmd, L"C:\\PcSide", L"D:\\x");
    EXPECT_EQ(std::pair(where.SetupInfPath, where.SourceDir), std::pair(c.path, c.source));
  }
}

// A Program on a PC with the package on D: and the PC software in InstallDir.
struct StartupPc : test::TestProgram {
  explicit StartupPc(const std::string& installDir) {
    registry.setString(kPcSoftwareKey, "InstallDir", installDir);
    files.addDrive(L'D');
    files.addDirectory(L"D:\\pkg");
    files.setCurrentDirectory(L"D:\\pkg");
    files.addFile(L"D:\\pkg\\Setup.inf", "a.exf,\\apps,.,\r\n");
  }
};

TEST(Startup, NoPortKnownShowsThePortDialogFirst) {
  StartupPc t("C:\\PcSide\\");
  t.files.addDirectory(L"C:\\PcSide");
  t.files.addFile(L"D:\\pkg\\a.exf", std::string(100, 'x'));
  // A port value longer than a number's four bytes counts as none.
  t.registry.set(kFilerKey, "PORT", {1, 0, 0, 0, 0});
  Form_Load(t.p, {L"", false});
  EXPECT_EQ(t.p.g.SetupInfPath, L"D:\\pkg\\Setup.inf");
  EXPECT_EQ(t.p.g.CacheDir, L"C:\\PcSide\\redirav\\cache");
  EXPECT_EQ(t.p.g.FiniPcPath, L"C:\\PcSide\\vkapps\\$$Ravuz$.ini");
  EXPECT_EQ(t.ui.lists[Form::Frm1Main], std::vector<std::wstring>{L"\\apps\\a.exf"});
  EXPECT_EQ((t.ui.texts[{Form::Frm1Main, Control::LblSize}]),
            L"インストールするファイルの合計は、 .5 "
            L"Kバイトです。\r\nVokuta本体の空き容量を確認してください。");
  EXPECT_EQ(t.ui.captions[Form::Frm1Main], AppTitle);
  EXPECT_EQ(t.ui.captions[Form::Frm3Port], AppTitle);
  EXPECT_EQ(t.ui.windowLog, std::vector<std::wstring>{L"show Frm3Port modeless"});
  EXPECT_EQ(t.ui.owners[Form::Frm3Port], Form::Frm1Main);
  frm3port::Cmd開始_Click(t.p); // the options untouched: COM1
  EXPECT_EQ(t.p.g.PortNumber, 1);
  EXPECT_FALSE(t.p.g.RunFailed);
}

// The install directory's drive becomes current, keeping its own current directory; a network
// install directory leaves the current drive alone. A known port shows the main window.
TEST(Startup, TheInstallDirectorysDriveBecomesCurrent) {
  const std::pair<std::string, std::wstring> cases[] = {
      {"C:\\PcSide\\", L"C:\\"}, {"C:\\", L"C:\\"}, {"\\\\srv\\share", L"D:\\pkg"}};
  for (const auto& [installDir, current] : cases) {
    StartupPc t(installDir);
    t.registry.setDword(kFilerKey, "PORT", 3);
    Form_Load(t.p, {L"D:\\pkg\\Setup.inf", false});
    EXPECT_EQ(t.files.currentDirectory(), current) << installDir;
    EXPECT_EQ(std::count(t.files.log.begin(), t.files.log.end(), L"drive \\"), 0);
    EXPECT_EQ(t.p.g.PortNumber, 3);
    EXPECT_EQ(t.ui.windowLog, std::vector<std::wstring>{L"show Frm1Main modeless"});
    EXPECT_EQ(t.ui.captions.count(Form::Frm3Port), 0u); // keeps its design caption
  }
}

using test::ProgramEnded;
using Texts = std::vector<std::wstring>;
const std::wstring kMarker = L"C:\\PcSide\\ReDirav\\Temp\\$filer$.tmp";
const std::wstring kFilerBox =
    L"RE Diravが起動しています。\r\nRE Diravを終了後、再試行してください。";
const std::wstring kExitQuestion = L"「Vokuta本体ソフト インストーラ」を終了してよろしいですか？";

// Without an install directory the program ends. A running file manager leaves its marker
// file (hidden and system count too): Retry asks again, Cancel asks the exit question, and No
// there goes back to the check.
TEST(Environment, CheckAsksUntilTheFileManagerIsClosedOrTheUserLeaves) {
  const std::wstring noDir = L"作業ﾃﾞｨﾚｸﾄﾘの指定がありません。\r\n再ｲﾝｽﾄｰﾙしてください。";
  const std::map<std::wstring, std::tuple<std::wstring, Buttons, Icon>> kinds = {
      {noDir, {AppTitle, Buttons::Ok, Icon::Stop}},
      {kFilerBox, {AppTitle + L" - 起動エラー", Buttons::RetryCancel, Icon::Exclamation}},
      {kExitQuestion, {AppTitle + L" - 終了", Buttons::YesNo, Icon::Question}}};
  const struct {
    std::string dir;
    bool marker;
    std::vector<int> answers;
    Texts boxes;
  } cases[] = {{"C:\\PcSide\\", false, {}, {}},
               {"", false, {kOk}, {noDir}},
               {"C:\\PcSide", true, {kCancel, kYes}, {kFilerBox, kExitQuestion}},
               {"C:\\PcSide",
                true,
                {kCancel, kNo, kRetry, kCancel, kYes},
                {kFilerBox, kExitQuestion, kFilerBox, kFilerBox, kExitQuestion}}};
  for (const auto& c : cases) {
    test::TestProgram u;
    if (!c.dir.empty()) u.registry.setString(kPcSoftwareKey, "InstallDir", c.dir);
    if (c.marker) u.files.addFile(kMarker, "", kAttrHidden | kAttrSystem);
    for (int answer : c.answers) u.ui.answer({answer});
    if (c.boxes.empty())
      CheckEnvironment(u.p);
    else
      EXPECT_THROW(CheckEnvironment(u.p), ProgramEnded);
    EXPECT_EQ(u.p.g.FilerTempPath, c.dir.empty() ? L"" : kMarker);
    EXPECT_EQ(u.texts(), c.boxes);
    for (const auto& b : u.ui.boxes)
      EXPECT_EQ(std::tuple(b.title, b.buttons, b.icon), kinds.at(b.text));
  }
}

} // namespace
} // namespace vokuta
