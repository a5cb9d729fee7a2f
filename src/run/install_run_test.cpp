#include "run/install_run.h"

#include <gtest/gtest.h>

#include "mainwin/exit_question.h"
#include "support/linked_program.h"

namespace vokuta {
namespace {

using test::kDeviceIni;
using test::kWorkCopy;
using Texts = std::vector<std::wstring>;

const std::string kTable(4 * 54, '\0');
const std::wstring kViewer = L"\\SYSTEM\\APPS\\VIEWER.EXF", kIni = L"\\SYSTEM\\RAVUZ.INI";

// Next with these answers; true when the program ended.
bool Next(test::LinkedProgram& t, std::initializer_list<int> answers) {
  t.ui.boxes.clear();
  t.ui.answer(answers);
  bool ended = false;
  try {
    開始ボタン(t.p);
  } catch (const test::ProgramEnded&) {
    ended = true;
  }
  EXPECT_EQ(t.ui.unusedAnswers(), 0u);
  return ended;
}

class InstallRun : public ::testing::Test {
protected:
  InstallRun() { t.addPackage(); }
  // A run with these faults onto a device with an empty association file, which must end with
  // the failure box.
  void fail(std::vector<devsim::Fault> faults) {
    mustFail = true;
    t.files.addFile(kDeviceIni, kTable);
    t.withFaults(std::move(faults));
  }
  void TearDown() override {
    if (!mustFail) return;
    ASSERT_FALSE(t.ui.boxes.empty());
    EXPECT_EQ(t.ui.boxes.back().icon, Icon::Exclamation);
    EXPECT_EQ(t.titles().back(), L" - エラー終了");
    EXPECT_FALSE(t.files.exists(kWorkCopy));
    EXPECT_EQ(t.texts().back(), L"「Vokuta本体ソフト インストーラ」は正常に終了しませんでした。\r\n"
                                L"はじめから「Vokuta本体ソフト インストーラ」を実行してください。");
  }
  test::LinkedProgram t;
  Program& p = t.p;
  bool mustFail = false;
};

TEST_F(InstallRun, AFreshDeviceGetsEveryFileAndTheAssociation) {
  bool communicating = false; // while a file goes over, closing the window is refused
  t.dev->onCall = [&](const auto& call) {
    communicating |= call.function == "u_upload" && p.g.Communicating;
  };
  ASSERT_TRUE(Next(t, {kYes, kOk, kOk}));
  EXPECT_TRUE(communicating);
  EXPECT_FALSE(p.g.Communicating);
  EXPECT_EQ(
      t.calls(),
      (std::vector<std::string>{
          "u_end 1 1 4", "u_nego 1 1 4", "u_dir 1 0 4 \\ 2816", "u_mkdir 1 -2 4 \\SYSTEM",
          "u_mkdir 1 -2 4 \\SYSTEM\\APPS",
          "u_upload 1 -1 4 C:\\pkg\\viewer.exf \\SYSTEM\\APPS\\VIEWER.EXF",
          "u_download 1 -1 4 \\SYSTEM\\RAVUZ.INI C:\\PcSide\\vkapps\\$$Ravuz$.ini",
          "u_mkdir 1 -2 4 \\DATA", "u_upload 1 -1 4 C:\\pkg\\data\\one.dat \\DATA\\ONE.DAT",
          "u_upload 1 -1 4 C:\\pkg\\data\\two.dat \\DATA\\TWO.DAT", "u_mkdir 1 -2 4 \\SYSTEM",
          "u_upload 1 -1 4 C:\\PcSide\\vkapps\\$$Ravuz$.ini \\SYSTEM\\RAVUZ.INI", "u_end 1 1 4"}));
  EXPECT_EQ(t.titles(), (Texts{L" - 接続", L" - Vokuta本体ファイルエラー", L" - 正常終了"}));
  EXPECT_EQ(t.texts().back(), L"「Vokuta本体ソフト インストーラ」は正常に終了しました。");
  EXPECT_EQ(t.ui.boxes.back().icon, Icon::Information);
  EXPECT_EQ(t.files.contents(L"C:\\PcSide\\redirav\\cache\\data\\two.dat"), "22");
  const auto ini = t.files.contents(kDeviceIni);
  EXPECT_EQ(ini ? ini->substr(4 * 54, 4) + std::to_string(ini->size()) : "", ".TBL270");
  EXPECT_FALSE(t.files.exists(kWorkCopy));

  // The same package again writes no association file.
  t.use({});
  p.g.LastDeviceDir.clear();
  ASSERT_TRUE(Next(t, {kYes, kOk}));
  EXPECT_EQ(t.titles(), (Texts{L" - 接続", L" - 正常終了"}));
  for (const auto& call : t.calls()) EXPECT_EQ(call.find("\\SYSTEM\\RAVUZ.INI", 20), call.npos);
  EXPECT_EQ(t.files.contents(kDeviceIni), ini);
}

TEST_F(InstallRun, EarlyStopsReturnToTheMainWindow) {
  // No to the prompt: the link is not touched.
  EXPECT_FALSE(Next(t, {kNo}));
  EXPECT_TRUE(t.calls().empty());
  EXPECT_TRUE(t.ui.shown(Form::Frm1Main));

  // No device on the port: one connection error, and closing is not refused.
  p.g.PortNumber = 2;
  EXPECT_FALSE(Next(t, {kYes, kOk}));
  EXPECT_EQ(t.calls(), (std::vector<std::string>{"u_end 2 1 4", "u_nego 2 1 4"}));
  t.ui.answer({kNo});
  EXPECT_FALSE(ConfirmExit(p));
  EXPECT_EQ(t.titles(), (Texts{L" - 接続", L" - 接続エラー", L" - 終了"}));

  // Too little room, declined: the link is ended once more.
  p.g.PortNumber = 1;
  devsim::Config small;
  small.capacity = 4096;
  t.use(small);
  EXPECT_FALSE(Next(t, {kYes, kNo}));
  EXPECT_EQ(t.calls(), (std::vector<std::string>{"u_end 1 1 4", "u_nego 1 1 4",
                                                 "u_dir 1 0 4 \\ 2816", "u_end 1 1 4"}));
  EXPECT_FALSE(p.g.Communicating);
  EXPECT_TRUE(t.deviceFiles().empty());

  // The PC file manager started since start-up: Next asks about it before the link, and ends.
  t.files.addFile(L"C:\\PcSide\\ReDirav\\Temp\\$filer$.tmp", "");
  EXPECT_TRUE(Next(t, {kCancel, kYes}));
  EXPECT_EQ(t.titles()[0], L" - 起動エラー");
}

TEST_F(InstallRun, MemoryFullInTheMiddleStopsAndKeepsTheAssociationFile) {
  fail({{"u_upload", 2, 5}});
  ASSERT_TRUE(Next(t, {kYes, kOk, kOk}));
  EXPECT_EQ(t.texts()[1],
            L"Vokuta本体がメモリ容量不足です。\r\n\r\n不要なﾌｧｲﾙを削除後、再試行してください。");
  EXPECT_EQ(t.deviceFiles(), (Texts{kViewer, kIni}));
  EXPECT_EQ(t.files.contents(kDeviceIni), kTable);
}

TEST_F(InstallRun, AReconnectionThatFailsMarksTheRunButTriesTheRest) {
  p.setupTable[0] = {L"*.dat", L"\\data", L"C:\\pkg\\data", L""};
  p.setupTable[1] = {L"viewer.exf", L"\\apps", L"C:\\pkg", L"fini"};
  fail({{"u_upload", 1, 0}, {"u_nego", 2, 0}});
  // one.dat: error, Yes, Yes, the reconnection fails; two.dat: error (no link), Yes, Yes, works.
  ASSERT_TRUE(Next(t, {kYes, kYes, kYes, kOk, kYes, kYes, kOk}));
  EXPECT_TRUE(p.g.RunFailed);
  EXPECT_EQ(t.deviceFiles(), (Texts{L"\\APPS\\VIEWER.EXF", L"\\DATA\\TWO.DAT", kIni}));
  EXPECT_EQ(t.files.contents(kDeviceIni), kTable); // read, merged, but not written after a failure
}

TEST_F(InstallRun, APatternThatMatchesNothingNamesItsPath) {
  p.setupTable[1] = {L"*.tbl", L"\\data", L"C:\\pkg\\data", L""};
  fail({});
  ASSERT_TRUE(Next(t, {kYes, kOk, kOk}));
  EXPECT_EQ(t.texts()[1], L"C:\\pkg\\data\\*.tbl\r\n\r\nがありません。\r\n\r\n");
  EXPECT_EQ(t.files.contents(kDeviceIni), kTable);
}

TEST_F(InstallRun, AFailedEndOfTheLinkIsAFailure) {
  fail({{"u_end", 2, 0}});
  ASSERT_TRUE(Next(t, {kYes, kOk}));
  EXPECT_FALSE(p.g.RunFailed);
  EXPECT_EQ(t.files.contents(kDeviceIni)->size(), 5u * 54);
}

TEST_F(InstallRun, AnAssociationFileThatCannotBeWrittenBackFailsTheRun) {
  fail({{"u_upload", 4, 5}});
  ASSERT_TRUE(Next(t, {kYes, kOk, kOk}));
  EXPECT_EQ(t.titles()[1], L" - メモリ容量エラー");
}

} // namespace
} // namespace vokuta
