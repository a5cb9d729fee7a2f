#include "app/startup.h"

#include <gtest/gtest.h>

#include "app/startup.h"
#include "dialogs/port_dialog.h"
#include "mainwin/environment.h"
#include "mainwin/exit_question.h"
#include "support/test_program.h"

namespace vokuta {
namespace {

TEST(LocateSetupInf, CommandLineRules) {
  struct Case {
    std::wstring cmd, currentDir, path, source;
  } cases[] = {
      {L"", L"C:\\pkg", L"C:\\pkg\\Setup.inf", L"C:\\pkg"},
      {L"apps\\Setup.inf", L"D:\\x", L"C:\\PcSide\\apps\\Setup.inf", L"C:\\PcSide\\apps"},
      {L"Setup.inf", L"D:\\x", L"C:\\PcSide\\Setup.inf", L"C:\\PcSide\\"},
      {L"\\pkg\\Setup.inf", L"D:\\work", L"D:\\pkg\\Setup.inf", L"D:\\pkg"},
      // Full paths, as Windows passes a file dropped on the program, stand as they are.
      {L"Z:\\pkg\\Setup.inf", L"D:\\x", L"Z:\\pkg\\Setup.inf", L"Z:\\pkg"},
      {L"\"E:\\新しい フォルダ\\Setup.inf\"", L"D:\\x", L"E:\\新しい フォルダ\\Setup.inf",
       L"E:\\新しい フォルダ"},
      {L"\\\\server\\share\\Setup.inf", L"D:\\x", L"\\\\server\\share\\Setup.inf",
       L"\\\\server\\share"},
      {L"\"apps\\Setup.inf\"", L"D:\\x", L"C:\\PcSide\\apps\\Setup.inf", L"C:\\PcSide\\apps"},
      // A drive-relative path without a backslash after the colon stays relative, as before.
      {L"C:Setup.inf", L"D:\\x", L"C:\\PcSide\\C:Setup.inf", L"C:\\PcSide\\"},
      {L"1:\\Setup.inf", L"D:\\x", L"C:\\PcSide\\1:\\Setup.inf", L"C:\\PcSide\\1:"},
      // Only a pair of quotes is taken off; "" alone is an empty command line.
      {L"\"\"", L"C:\\pkg", L"C:\\pkg\\Setup.inf", L"C:\\pkg"},
      {L"a\"", L"D:\\x", L"C:\\PcSide\\a\"", L"C:\\PcSide\\"},
  };
  for (const auto& c : cases) {
    const SetupInfLocation where = LocateSetupInf(c.cmd, L"C:\\PcSide", c.currentDir);
    EXPECT_EQ(where.SetupInfPath, c.path) << c.cmd.size();
    EXPECT_EQ(where.SourceDir, c.source) << c.cmd.size();
  }
}

class Startup : public ::testing::Test {
protected:
  Startup() {
    t.registry.setString(kPcSoftwareKey, "InstallDir", "C:\\PcSide\\");
    t.files.addDrive(L'D');
    t.files.addDirectory(L"D:\\pkg");
    t.files.setCurrentDirectory(L"D:\\pkg");
    t.files.addDirectory(L"C:\\PcSide");
  }
  test::TestProgram t;
  Program& p = t.p;
};

TEST_F(Startup, NoPortKnownShowsThePortDialogFirst) {
  t.files.addFile(L"D:\\pkg\\Setup.inf", "a.exf,\\apps,.,\r\n");
  t.files.addFile(L"D:\\pkg\\a.exf", std::string(100, 'x'));
  Form_Load(p, {L"", false});
  EXPECT_EQ(p.g.SetupInfPath, L"D:\\pkg\\Setup.inf");
  EXPECT_EQ(p.g.CacheDir, L"C:\\PcSide\\redirav\\cache");
  EXPECT_EQ(p.g.FiniPcPath, L"C:\\PcSide\\vkapps\\$$Ravuz$.ini");
  EXPECT_EQ(p.g.FilerTempPath, L"C:\\PcSide\\ReDirav\\Temp\\$filer$.tmp");
  // The install directory's drive became current; its own current directory is kept.
  EXPECT_EQ(t.files.currentDirectory(), L"C:\\");
  EXPECT_EQ(t.ui.lists[Form::Frm1Main], std::vector<std::wstring>{L"\\apps\\a.exf"});
  EXPECT_EQ((t.ui.texts[{Form::Frm1Main, Control::LblSize}]),
            L"インストールするファイルの合計は、 .5 "
            L"Kバイトです。\r\nVokuta本体の空き容量を確認してください。");
  EXPECT_EQ(t.ui.captions[Form::Frm1Main], AppTitle);
  EXPECT_EQ(t.ui.captions[Form::Frm3Port], AppTitle);
  EXPECT_TRUE(t.ui.shown(Form::Frm3Port));
  EXPECT_FALSE(t.ui.shown(Form::Frm1Main));
  EXPECT_EQ(t.ui.owners[Form::Frm3Port], Form::Frm1Main);
  frm3port::Cmd開始_Click(p); // the options untouched: COM1
  EXPECT_EQ(p.g.PortNumber, 1);
  EXPECT_FALSE(p.g.RunFailed);
}

TEST_F(Startup, APortFromTheRegistryOrTheFileShowsTheMainWindow) {
  for (bool fromRegistry : {true, false}) {
    test::TestProgram u;
    u.registry.setString(kPcSoftwareKey, "InstallDir", "C:\\PcSide");
    if (fromRegistry) u.registry.setDword(kFilerKey, "PORT", 3);
    u.files.addFile(L"C:\\PcSide\\apps\\Setup.inf", fromRegistry ? "" : "[PORT]=3\r\n");
    Form_Load(u.p, {L"apps\\Setup.inf", false});
    EXPECT_EQ(u.p.g.PortNumber, 3);
    EXPECT_EQ(u.p.g.PortSource, kPortFixed);
    EXPECT_TRUE(u.ui.shown(Form::Frm1Main));
    EXPECT_FALSE(u.ui.shown(Form::Frm3Port));
    EXPECT_EQ(u.ui.captions.count(Form::Frm3Port), 0u); // keeps its design caption
  }
}

TEST_F(Startup, ASecondCopyEndsSilently) {
  EXPECT_THROW(Form_Load(p, {L"", true}), test::ProgramEnded);
  EXPECT_TRUE(t.ui.boxes.empty());
  EXPECT_EQ(t.registry.reads, 0);
}

TEST_F(Startup, AMissingSetupInfEndsTheProgramNamingThePath) {
  t.ui.answer({kOk});
  EXPECT_THROW(Form_Load(p, {L"C:\\pkg\\Setup.inf", false}), test::ProgramEnded);
  ASSERT_EQ(t.ui.boxes.size(), 1u);
  EXPECT_NE(t.ui.boxes[0].text.find(L"\r\nC:\\pkg\\Setup.inf"), std::wstring::npos);
}

} // namespace
} // namespace vokuta
