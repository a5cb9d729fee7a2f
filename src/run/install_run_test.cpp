#include "run/install_run.h"

#include <gtest/gtest.h>

#include "app/startup.h"
#include "devsim/sim_device.h"
#include "fini/fini_image.h"
#include "mainwin/environment.h"
#include "mainwin/exit_question.h"
#include "run/install_loop.h"
#include "support/test_program.h"
#include "util/text.h"

namespace vokuta {
namespace {

using test::ProgramEnded;

const std::wstring kSuccess = L"「Vokuta本体ソフト インストーラ」は正常に終了しました。";
const std::wstring kFailure = L"「Vokuta本体ソフト インストーラ」は正常に終了しませんでした。\r\n"
                              L"はじめから「Vokuta本体ソフト インストーラ」を実行してください。";
const std::wstring kWorkCopy = L"C:\\PcSide\\vkapps\\$$Ravuz$.ini";
const std::wstring kDeviceIni = L"C:\\device\\SYSTEM\\RAVUZ.INI";

class InstallRun : public ::testing::Test {
protected:
  InstallRun() {
    t.registry.setString(kPcSoftwareKey, "InstallDir", "C:\\PcSide");
    t.files.addDirectory(L"C:\\device");
    t.files.addDirectory(L"C:\\PcSide\\vkapps");
    t.files.addDirectory(L"C:\\PcSide\\redirav\\cache");
    t.files.addFile(L"C:\\pkg\\viewer.exf", "viewer");
    t.files.addFile(L"C:\\pkg\\data\\one.dat", "1");
    t.files.addFile(L"C:\\pkg\\data\\two.dat", "22");
    p.g.CacheDir = L"C:\\PcSide\\redirav\\cache";
    p.g.FiniPcPath = kWorkCopy;
    p.setupTable[0] = {L"viewer.exf", L"\\system\\apps", L"C:\\pkg", L"Fini"};
    p.setupTable[1] = {L"*.dat", L"\\data", L"C:\\pkg\\data", L""};
    p.finiTable[0].suffix = L".TBL";
    p.finiTable[0].font = 0x86E;
    p.finiTable[0].mmp = 0x264B7A;
    p.finiTable[0].app = FitWidth(L"\\SYSTEM\\APPS\\VIEWER.EXF", 32);
    use(devsim::Config());
  }
  void use(devsim::Config config) {
    config.deviceDir = L"C:\\device";
    dev.emplace(config, t.files, test::TestShiftJis());
    p.link = &*dev;
  }
  // Runs Next; true when the program ended.
  bool run(std::initializer_list<int> answers) {
    t.ui.boxes.clear();
    t.ui.answer(answers);
    bool ended = false;
    try {
      開始ボタン(p);
    } catch (const ProgramEnded&) {
      ended = true;
    }
    EXPECT_EQ(t.ui.unusedAnswers(), 0u);
    return ended;
  }
  std::vector<std::string> calls() {
    std::vector<std::string> out;
    for (const auto& c : dev->calls()) out.push_back(c.function + " " + c.arguments);
    return out;
  }
  std::vector<std::wstring> texts() {
    std::vector<std::wstring> out;
    for (const auto& box : t.ui.boxes) out.push_back(box.text);
    return out;
  }

  test::TestProgram t;
  Program& p = t.p;
  std::optional<devsim::SimulatedDevice> dev;
};

TEST_F(InstallRun, AFreshDeviceGetsEveryFileAndTheAssociation) {
  bool communicating = false; // while a file goes over, closing the window is refused
  dev->onCall = [&](const auto& call) {
    communicating |= call.function == "u_upload" && p.g.Communicating;
  };
  ASSERT_TRUE(run({kYes, kOk, kOk}));
  EXPECT_TRUE(communicating);
  EXPECT_EQ(
      calls(),
      (std::vector<std::string>{
          "u_end 1 1 4", "u_nego 1 1 4", "u_dir 1 0 4 \\ 2816", "u_mkdir 1 -2 4 \\SYSTEM",
          "u_mkdir 1 -2 4 \\SYSTEM\\APPS",
          "u_upload 1 -1 4 C:\\pkg\\viewer.exf \\SYSTEM\\APPS\\VIEWER.EXF",
          "u_download 1 -1 4 \\SYSTEM\\RAVUZ.INI C:\\PcSide\\vkapps\\$$Ravuz$.ini",
          "u_mkdir 1 -2 4 \\DATA", "u_upload 1 -1 4 C:\\pkg\\data\\one.dat \\DATA\\ONE.DAT",
          "u_upload 1 -1 4 C:\\pkg\\data\\two.dat \\DATA\\TWO.DAT", "u_mkdir 1 -2 4 \\SYSTEM",
          "u_upload 1 -1 4 C:\\PcSide\\vkapps\\$$Ravuz$.ini \\SYSTEM\\RAVUZ.INI", "u_end 1 1 4"}));
  EXPECT_EQ(texts().back(), kSuccess);
  EXPECT_EQ(t.ui.boxes.back().title, AppTitle + L" - 正常終了");
  EXPECT_EQ(t.ui.boxes.back().icon, Icon::Information);
  EXPECT_EQ(t.files.contents(L"C:\\device\\DATA\\TWO.DAT"), "22");
  EXPECT_EQ(t.files.contents(L"C:\\PcSide\\redirav\\cache\\data\\two.dat"), "22");
  const auto ini = t.files.contents(kDeviceIni);
  ASSERT_TRUE(ini);
  EXPECT_EQ(ini->size(), 5u * 54);
  EXPECT_EQ(ini->substr(4 * 54, 4), ".TBL");
  EXPECT_FALSE(t.files.exists(kWorkCopy));
  EXPECT_FALSE(p.g.Communicating);
}

TEST_F(InstallRun, TheSamePackageAgainWritesNoAssociationFile) {
  ASSERT_TRUE(run({kYes, kOk, kOk}));
  const auto first = t.files.contents(kDeviceIni);
  use(devsim::Config());
  p.g.LastDeviceDir.clear();
  ASSERT_TRUE(run({kYes, kOk}));
  EXPECT_EQ(texts(), (std::vector<std::wstring>{texts()[0], kSuccess}));
  for (const auto& call : calls())
    EXPECT_EQ(call.find("\\SYSTEM\\RAVUZ.INI", 20), std::string::npos) << call;
  EXPECT_EQ(t.files.contents(kDeviceIni), first);
}

TEST_F(InstallRun, EarlyStopsReturnToTheMainWindow) {
  // No to the prompt: the link is not touched.
  EXPECT_FALSE(run({kNo}));
  EXPECT_TRUE(calls().empty());
  EXPECT_TRUE(t.ui.shown(Form::Frm1Main));

  // No device on the port: one connection error, Communicating stays false.
  p.g.PortNumber = 2;
  EXPECT_FALSE(run({kYes, kOk}));
  EXPECT_EQ(calls(), (std::vector<std::string>{"u_end 2 1 4", "u_nego 2 1 4"}));
  EXPECT_FALSE(p.g.Communicating);
  t.ui.answer({kNo});
  EXPECT_FALSE(ConfirmExit(p));
  EXPECT_EQ(t.ui.boxes.back().title, AppTitle + L" - 終了");

  // Too little room, declined: the link is ended once more.
  p.g.PortNumber = 1;
  devsim::Config small;
  small.capacity = 4096;
  use(small);
  EXPECT_FALSE(run({kYes, kNo}));
  EXPECT_EQ(calls(), (std::vector<std::string>{"u_end 1 1 4", "u_nego 1 1 4", "u_dir 1 0 4 \\ 2816",
                                               "u_end 1 1 4"}));
  EXPECT_FALSE(p.g.Communicating);
  EXPECT_TRUE(t.files.filesUnder(L"C:\\device").empty());

  // The PC file manager started since start-up: Next asks about it before the link, and ends.
  t.files.addFile(L"C:\\PcSide\\ReDirav\\Temp\\$filer$.tmp", "");
  EXPECT_TRUE(run({kCancel, kYes}));
  EXPECT_EQ(t.ui.boxes[0].title, AppTitle + L" - 起動エラー");
}

TEST_F(InstallRun, MemoryFullInTheMiddleStopsAndKeepsTheAssociationFile) {
  t.files.addFile(kDeviceIni, std::string(4 * 54, '\0'));
  devsim::Config config;
  config.faults = {{"u_upload", 2, 5}};
  use(config);
  ASSERT_TRUE(run({kYes, kOk, kOk}));
  EXPECT_EQ(texts()[1],
            L"Vokuta本体がメモリ容量不足です。\r\n\r\n不要なﾌｧｲﾙを削除後、再試行してください。");
  EXPECT_EQ(texts().back(), kFailure);
  EXPECT_EQ(t.ui.boxes.back().title, AppTitle + L" - エラー終了");
  EXPECT_EQ(t.ui.boxes.back().icon, Icon::Exclamation);
  EXPECT_EQ(t.files.contents(kDeviceIni), std::string(4 * 54, '\0'));
  EXPECT_FALSE(t.files.exists(L"C:\\device\\DATA\\TWO.DAT"));
  EXPECT_FALSE(t.files.exists(kWorkCopy));
}

TEST_F(InstallRun, AReconnectionThatFailsMarksTheRunButTriesTheRest) {
  p.setupTable[0] = {L"*.dat", L"\\data", L"C:\\pkg\\data", L""};
  p.setupTable[1] = {L"viewer.exf", L"\\apps", L"C:\\pkg", L"fini"};
  p.setupTable[2] = {};
  devsim::Config config;
  config.faults = {{"u_upload", 1, 0}, {"u_nego", 2, 0}};
  use(config);
  // one.dat: error, Yes, Yes, the reconnection fails; two.dat: error (no link), Yes, Yes, works.
  ASSERT_TRUE(run({kYes, kYes, kYes, kOk, kYes, kYes, kOk, kOk}));
  EXPECT_TRUE(p.g.RunFailed);
  EXPECT_EQ(t.files.contents(L"C:\\device\\DATA\\TWO.DAT"), "22");
  EXPECT_EQ(t.files.contents(L"C:\\device\\APPS\\VIEWER.EXF"), "viewer");
  EXPECT_FALSE(t.files.exists(kDeviceIni)); // read, merged, but never written after a failure
  EXPECT_EQ(texts().back(), kFailure);
}

TEST_F(InstallRun, APatternThatMatchesNothingNamesItsPath) {
  p.setupTable[1] = {L"*.tbl", L"\\data", L"C:\\pkg\\data", L""};
  ASSERT_TRUE(run({kYes, kOk, kOk, kOk}));
  EXPECT_EQ(texts()[2], L"C:\\pkg\\data\\*.tbl\r\n\r\nがありません。\r\n\r\n");
  EXPECT_EQ(texts().back(), kFailure);
  EXPECT_FALSE(t.files.exists(kDeviceIni));
}

TEST_F(InstallRun, AFailedEndOfTheLinkIsAFailure) {
  devsim::Config config;
  config.faults = {{"u_end", 2, 0}};
  use(config);
  ASSERT_TRUE(run({kYes, kOk, kOk}));
  EXPECT_EQ(texts().back(), kFailure);
  EXPECT_FALSE(p.g.RunFailed);
}

TEST_F(InstallRun, AnAssociationFileThatCannotBeWrittenBackFailsTheRun) {
  devsim::Config config;
  config.faults = {{"u_upload", 4, 5}};
  use(config);
  ASSERT_TRUE(run({kYes, kOk, kOk, kOk}));
  EXPECT_EQ(texts().back(), kFailure);
}

TEST_F(InstallRun, AnEmptyTableStillDeletesTheWorkCopy) {
  p.setupTable[0] = {};
  t.files.addFile(kWorkCopy, "left over", kAttrReadOnly);
  InstallFiles(p);
  EXPECT_TRUE(dev->calls().empty());
  EXPECT_FALSE(t.files.exists(kWorkCopy));
}

} // namespace
} // namespace vokuta
