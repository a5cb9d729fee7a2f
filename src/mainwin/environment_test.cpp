#include "app/startup.h"
#include "mainwin/environment.h"
#include "mainwin/exit_question.h"

#include <gtest/gtest.h>

#include "support/test_program.h"

namespace vokuta {
namespace {

using test::ProgramEnded;

const std::wstring kFilerBox =
    L"RE Diravが起動しています。\r\nRE Diravを終了後、再試行してください。";
const std::wstring kExitQuestion = L"「Vokuta本体ソフト インストーラ」を終了してよろしいですか？";

class Environment : public ::testing::Test {
protected:
  void installDir(const std::wstring& dir) {
    t.registry.setString(kPcSoftwareKey, "InstallDir", test::Sjis(dir));
  }
  test::TestProgram t;
  Program& p = t.p;
};

TEST_F(Environment, ReadInstallDirDropsOneTrailingBackslashAndDecodesShiftJis) {
  const std::pair<std::wstring, std::wstring> cases[] = {
      {L"C:\\PcSide\\", L"C:\\PcSide"},
      {L"C:\\PcSide\\\\", L"C:\\PcSide\\"},
      {L"C:\\ヴォクタ\\表示\\", L"C:\\ヴォクタ\\表示"},
      {L"C:\\", L"C:"},
  };
  for (const auto& [stored, expected] : cases) {
    installDir(stored);
    EXPECT_EQ(ReadInstallDir(p), expected);
  }
}

TEST_F(Environment, ReadInstallDirIsEmptyWithoutAUsableValue) {
  EXPECT_EQ(ReadInstallDir(p), L""); // no key
  t.registry.addKey(kPcSoftwareKey);
  EXPECT_EQ(ReadInstallDir(p), L""); // no value
  t.registry.set(kPcSoftwareKey, "InstallDir", {});
  EXPECT_EQ(ReadInstallDir(p), L""); // size 0
  t.registry.set(kPcSoftwareKey, "InstallDir", {'C', ':', 0, 'x'});
  EXPECT_EQ(ReadInstallDir(p), L"C:"); // text ends at the NUL
}

TEST_F(Environment, ReadFilerPortReadsFourLittleEndianBytes) {
  EXPECT_EQ(ReadFilerPort(p), 0);
  t.registry.setDword(kFilerKey, "PORT", 3);
  EXPECT_EQ(ReadFilerPort(p), 3);
  t.registry.setDword(kFilerKey, "PORT", 0x01020304);
  EXPECT_EQ(ReadFilerPort(p), 0x01020304);
  t.registry.set(kFilerKey, "PORT", {7});
  EXPECT_EQ(ReadFilerPort(p), 7);
  t.registry.set(kFilerKey, "PORT", {1, 0, 0, 0, 0}); // does not fit a 4-byte read
  EXPECT_EQ(ReadFilerPort(p), 0);
}

TEST_F(Environment, MissingInstallDirEndsTheProgramWithItsBox) {
  EXPECT_THROW(
      {
        t.ui.answer({kOk});
        CheckEnvironment(p);
      },
      ProgramEnded);
  ASSERT_EQ(t.ui.boxes.size(), 1u);
  EXPECT_EQ(t.ui.boxes[0].text, L"作業ﾃﾞｨﾚｸﾄﾘの指定がありません。\r\n再ｲﾝｽﾄｰﾙしてください。");
  EXPECT_EQ(t.ui.boxes[0].title, AppTitle);
  EXPECT_EQ(t.ui.boxes[0].buttons, Buttons::Ok);
  EXPECT_EQ(t.ui.boxes[0].icon, Icon::Stop);
}

TEST_F(Environment, NoMarkerFileMeansNoQuestion) {
  installDir(L"C:\\PcSide\\");
  CheckEnvironment(p);
  EXPECT_TRUE(t.ui.boxes.empty());
  EXPECT_EQ(p.g.FilerTempPath, L"C:\\PcSide\\ReDirav\\Temp\\$filer$.tmp");
}

TEST_F(Environment, HiddenSystemMarkerCountsAsRunning) {
  installDir(L"C:\\PcSide");
  t.files.addFile(L"C:\\PcSide\\ReDirav\\Temp\\$filer$.tmp", "", kAttrHidden | kAttrSystem);
  t.ui.answer({kCancel, kYes});
  EXPECT_THROW(CheckEnvironment(p), ProgramEnded);
  ASSERT_EQ(t.ui.boxes.size(), 2u);
  EXPECT_EQ(t.ui.boxes[0].text, kFilerBox);
  EXPECT_EQ(t.ui.boxes[0].title, AppTitle + L" - 起動エラー");
  EXPECT_EQ(t.ui.boxes[0].buttons, Buttons::RetryCancel);
  EXPECT_EQ(t.ui.boxes[0].icon, Icon::Exclamation);
  EXPECT_EQ(t.ui.boxes[1].text, kExitQuestion);
  EXPECT_EQ(t.ui.boxes[1].title, AppTitle + L" - 終了");
  EXPECT_EQ(t.ui.boxes[1].buttons, Buttons::YesNo);
  EXPECT_EQ(t.ui.boxes[1].icon, Icon::Question);
}

// A Ui whose Retry closes the PC file manager after a given number of boxes.
TEST_F(Environment, RetryAsksAgainUntilTheMarkerIsGone) {
  installDir(L"C:\\PcSide");
  const std::wstring marker = L"C:\\PcSide\\ReDirav\\Temp\\$filer$.tmp";
  t.files.addFile(marker, "");
  struct ClosingUi : test::ScriptedUi {
    test::FakePcFiles* files;
    std::wstring marker;
    int boxesBeforeClose = 0;
    int messageBox(const std::wstring& text, const std::wstring& title, Buttons b, Icon i,
                   int d) override {
      if (--boxesBeforeClose == 0) files->deleteFile(marker);
      return ScriptedUi::messageBox(text, title, b, i, d);
    }
  } ui;
  ui.files = &t.files;
  ui.marker = marker;
  ui.boxesBeforeClose = 3;
  Program q{Seams{ui, t.registry, t.files, test::TestShiftJis()}};
  ui.answer({kRetry, kRetry, kRetry});
  CheckEnvironment(q);
  EXPECT_EQ(ui.boxes.size(), 3u);
  for (const auto& box : ui.boxes) EXPECT_EQ(box.text, kFilerBox);
}

TEST_F(Environment, CancelThenNoReturnsToTheCheck) {
  installDir(L"C:\\PcSide");
  t.files.addFile(L"C:\\PcSide\\ReDirav\\Temp\\$filer$.tmp", "");
  t.ui.answer({kCancel, kNo, kRetry, kCancel, kYes});
  EXPECT_THROW(CheckEnvironment(p), ProgramEnded);
  std::vector<std::wstring> texts;
  for (const auto& box : t.ui.boxes) texts.push_back(box.text);
  EXPECT_EQ(texts, (std::vector<std::wstring>{kFilerBox, kExitQuestion, kFilerBox, kFilerBox,
                                              kExitQuestion}));
}

TEST_F(Environment, ConfirmExitRefusesWhileCommunicating) {
  p.g.Communicating = true;
  t.ui.answer({kOk});
  EXPECT_FALSE(ConfirmExit(p));
  ASSERT_EQ(t.ui.boxes.size(), 1u);
  EXPECT_EQ(t.ui.boxes[0].text, L"通信中は終了できません。");
  EXPECT_EQ(t.ui.boxes[0].title, AppTitle + L" - 終了禁止");
  EXPECT_EQ(t.ui.boxes[0].icon, Icon::Stop);

  p.g.Communicating = false;
  t.ui.answer({kNo});
  EXPECT_FALSE(ConfirmExit(p));
  EXPECT_FALSE(t.ui.ended);
  t.ui.answer({kYes});
  EXPECT_THROW(ConfirmExit(p), ProgramEnded);
}

} // namespace
} // namespace vokuta
