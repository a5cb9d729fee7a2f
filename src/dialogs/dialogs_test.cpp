#include <gtest/gtest.h>

#include "app/main_window.h"
#include "app/startup.h"
#include "dialogs/choice_dialog.h"
#include "dialogs/dir_dialog.h"
#include "dialogs/port_dialog.h"
#include "link/transfer.h"
#include "mainwin/environment.h"
#include "mainwin/exit_question.h"
#include "mainwin/item_list_view.h"
#include "setupinfo/item_list.h"
#include "support/test_program.h"
#include "util/text.h"

namespace vokuta {
namespace {

class DirDialog : public ::testing::Test {
protected:
  DirDialog() {
    p.setupTable[0] = {L"a.exf", L"\\old", L"C:\\pkg", L""};
    p.setupTable[1] = {L"viewer.exf", L"\\system\\apps", L"C:\\pkg", L"fini"};
    FillItemList(p);
  }
  void open(int item) {
    t.ui.listSelect(Form::Frm1Main, item);
    frm1main::List1_dblClick(p);
  }
  void type(const std::wstring& text) { t.ui.texts[{Form::Frm4Text, Control::Text1}] = text; }
  std::wstring text1() { return t.ui.texts[{Form::Frm4Text, Control::Text1}]; }
  test::TestProgram t;
  Program& p = t.p;
};

TEST_F(DirDialog, CheckDirNameNormalisesAndChecksEveryName) {
  struct Case {
    std::wstring typed, normalised;
    std::int16_t code;
  } cases[] = {
      {L"system\\apps\\", L"\\system\\apps", 0},
      {L"\\\\", L"", 0},
      {L"", L"", 0},
      {L"\\ABCDEFGH", L"\\ABCDEFGH", 0},
      {L"\\ABCDEFGHI", L"\\ABCDEFGHI", 1},
      {L"\\ab.cde", L"\\ab.cde", 0},
      {L"\\ab.cdef", L"\\ab.cdef", 1},
      {L"\\a.b.c", L"\\a.b.c", 0},
      {L"\\あいうえ", L"\\あいうえ", 0},
      {L"\\あいうえお", L"\\あいうえお", 1},
      {L"\\ｱｲｳｴｵｶｷｸ", L"\\ｱｲｳｴｵｶｷｸ", 0},
      {L"\\temp\\データ", L"\\temp\\データ", 0},
      {L"\\temp\\ソ", L"\\temp\\ソ", 2},
      {L"\\ソ.txt", L"\\ソ.txt", 0},
      {L"ABCDEFGHIJ\\apps", L"\\ABCDEFGHIJ\\apps", 1},
      {L"\\a\\\\b", L"\\a\\\\b", 0},
      {L"\\表\\ok", L"\\表\\ok", 2},
      {L"\\apps\u00A5", L"\\apps\u00A5", 2},
      {L"\\a\u00A5b", L"\\a\u00A5b", 0},
  };
  for (const auto& c : cases) {
    test::TestProgram u;
    u.ui.texts[{Form::Frm4Text, Control::Text1}] = c.typed;
    if (c.code != 0) u.ui.answer({kOk});
    EXPECT_EQ(frm4text::CheckDirName(u.p), c.code) << c.normalised.size();
    EXPECT_EQ((u.ui.texts[{Form::Frm4Text, Control::Text1}]), c.normalised);
    EXPECT_EQ(u.ui.boxes.size(), c.code != 0 ? 1u : 0u);
  }
}

TEST_F(DirDialog, WarningTexts) {
  type(L"\\temp\\ソ");
  t.ui.answer({kOk, kOk, kOk});
  frm4text::CheckDirName(p);
  type(L"\\toolongname");
  frm4text::CheckDirName(p);
  type(L"\\apps\u00A5");
  frm4text::CheckDirName(p);
  ASSERT_EQ(t.ui.boxes.size(), 3u);
  EXPECT_EQ(t.ui.boxes[2].text, L"ディレクトリ名の最後に、「¥」は、使用できません。");
  EXPECT_EQ(t.ui.boxes[0].text, L"ディレクトリ名の最後に、「ソ」は、使用できません。");
  EXPECT_EQ(t.ui.boxes[1].text, L"ディレクトリ名は、半角８文字（＋３文字）以内にしてください。");
  for (const auto& box : t.ui.boxes) {
    EXPECT_EQ(box.title, AppTitle + L" - 注意");
    EXPECT_EQ(box.icon, Icon::Exclamation);
    EXPECT_EQ(box.buttons, Buttons::Ok);
  }
  EXPECT_EQ(t.ui.focus[Form::Frm4Text], Control::Text1);
}

TEST_F(DirDialog, OkStoresTheDirectoryAndFollowsWithTheAssociation) {
  open(1);
  EXPECT_EQ(text1(), L"\\system\\apps");
  EXPECT_TRUE(t.ui.shown(Form::Frm4Text));
  type(L"apps\\");
  frm4text::CmdOK_Click(p);
  EXPECT_EQ(p.setupTable[1].DestPath, L"\\apps");
  EXPECT_EQ(t.ui.lists[Form::Frm1Main],
            (std::vector<std::wstring>{L"\\old\\a.exf", L"\\apps\\viewer.exf"}));
  EXPECT_EQ(p.finiTable[1].app, FitWidth(L"\\APPS\\VIEWER.EXF", 32));
  EXPECT_FALSE(t.ui.shown(Form::Frm4Text));

  open(0);
  type(L"\\");
  frm4text::CmdOK_Click(p);
  EXPECT_EQ(p.setupTable[0].DestPath, L"");
  EXPECT_EQ(t.ui.lists[Form::Frm1Main][0], L"\\a.exf");
  EXPECT_EQ(p.finiTable[0], FiniRecord{}); // no association row
}

TEST_F(DirDialog, FailedCheckKeepsTheDialogAndCancelStoresNothing) {
  open(0);
  type(L"\\ABCDEFGHI\\");
  t.ui.answer({kOk});
  frm4text::CmdOK_Click(p);
  EXPECT_TRUE(t.ui.shown(Form::Frm4Text));
  EXPECT_EQ(text1(), L"\\ABCDEFGHI");
  frm4text::Cmdキャンセル_Click(p);
  EXPECT_FALSE(t.ui.shown(Form::Frm4Text));
  EXPECT_EQ(p.setupTable[0].DestPath, L"\\old");
  open(0);
  EXPECT_EQ(text1(), L"\\old");
}

TEST_F(DirDialog, NothingSelectedOpensNothing) {
  t.ui.listSelect(Form::Frm1Main, -1);
  frm1main::List1_dblClick(p);
  EXPECT_FALSE(t.ui.shown(Form::Frm4Text));
}

TEST_F(DirDialog, ARowDeletedWhileTheDialogIsOpenIsNotWrittenBack) {
  open(1);
  t.ui.listSelect(Form::Frm1Main, 1);
  frm1main::List1_KeyDown(p, kKeyDelete, 0);
  type(L"\\new");
  frm4text::CmdOK_Click(p);
  EXPECT_TRUE(p.setupTable[1].terminates());
  EXPECT_EQ(t.ui.lists[Form::Frm1Main], std::vector<std::wstring>{L"\\old\\a.exf"});

  // Deleting a row above the edited one keeps the edit on its row.
  p.setupTable[1] = {L"b", L"\\b", L"C:\\pkg", L""};
  p.setupTable[2] = {};
  FillItemList(p);
  open(1);
  t.ui.listSelect(Form::Frm1Main, 0);
  frm1main::List1_KeyDown(p, kKeyDelete, 0);
  type(L"\\moved");
  frm4text::CmdOK_Click(p);
  EXPECT_EQ(p.setupTable[0].FileName, L"b");
  EXPECT_EQ(p.setupTable[0].DestPath, L"\\moved");
}

class Navigation : public ::testing::Test {
protected:
  Navigation() {
    t.files.addFile(L"C:\\pkg\\Setup.inf", "a.exf,\\apps,.,\r\n");
    p.g.SetupInfPath = L"C:\\pkg\\Setup.inf";
    p.g.SourceDir = L"C:\\pkg";
  }
  test::TestProgram t;
  Program& p = t.p;
};

TEST_F(Navigation, PortDialogNextThenBackKeepsTheChoiceAndRereads) {
  t.ui.showForm(Form::Frm3Port, false, Form::Frm1Main);
  frm3port::Optポート_Click(p, 2);
  frm3port::Cmd開始_Click(p);
  EXPECT_EQ(p.g.PortNumber, 3);
  EXPECT_EQ(p.g.PortSource, kPortChosen);
  EXPECT_TRUE(t.ui.shown(Form::Frm1Main));
  EXPECT_FALSE(t.ui.shown(Form::Frm3Port));
  EXPECT_EQ(t.ui.processedEvents, 1);

  p.setupTable[0].DestPath = L"\\edited";
  frm1main::Cmd戻る_Click(p);
  EXPECT_TRUE(t.ui.shown(Form::Frm3Port));
  EXPECT_FALSE(t.ui.shown(Form::Frm1Main));
  EXPECT_EQ(p.g.PortNumber, 3);
  EXPECT_EQ(p.g.PortSource, kPortUnknown); // a file's port line counts again
  EXPECT_EQ(p.setupTable[0].DestPath, L"\\apps");
  EXPECT_EQ(t.ui.lists[Form::Frm1Main], std::vector<std::wstring>{L"\\apps\\a.exf"});
}

TEST_F(Navigation, BackWithAFixedPortOnlyRereads) {
  p.g.PortSource = kPortFixed;
  t.ui.showForm(Form::Frm1Main, false, std::nullopt);
  p.setupTable[0] = {L"gone", L"\\x", L"", L""};
  frm1main::Cmd戻る_Click(p);
  EXPECT_TRUE(t.ui.shown(Form::Frm1Main));
  EXPECT_FALSE(t.ui.shown(Form::Frm3Port));
  EXPECT_EQ(p.setupTable[0].FileName, L"a.exf");
  EXPECT_EQ(p.g.PortSource, kPortFixed);
}

TEST_F(Navigation, CancelAndCloseBoxesAskTheExitQuestion) {
  frm3port::Optポート_Click(p, 4);
  t.ui.answer({kNo, kNo, kNo, kNo});
  frm1main::Cmdキャンセル_Click(p);
  frm1main::Form_unload(p);
  frm3port::Cmdキャンセル_Click(p);
  frm3port::Form_unload(p);
  ASSERT_EQ(t.ui.boxes.size(), 4u);
  for (const auto& box : t.ui.boxes) EXPECT_EQ(box.title, AppTitle + L" - 終了");
  EXPECT_EQ(p.g.PortNumber, 5); // No keeps the choice
  p.g.Communicating = true;
  t.ui.answer({kOk});
  frm1main::Form_unload(p);
  EXPECT_EQ(t.ui.boxes.back().text, L"通信中は終了できません。");
  t.ui.answer({kYes});
  p.g.Communicating = false;
  EXPECT_THROW(frm3port::Cmdキャンセル_Click(p), test::ProgramEnded);
}

// The error and notice boxes of the run and the merge (their texts are tested where they come).
TEST(Boxes, TitlesButtonsAndIcons) {
  const struct {
    std::function<void(Program&)> show;
    std::wstring title;
    Buttons buttons;
    Icon icon;
  } cases[] = {
      {[](Program& p) { MemoryErrorBox(p); }, L" - メモリ容量エラー", Buttons::Ok, Icon::Stop},
      {[](Program& p) { DeviceFileErrorBox(p, L"a"); }, L" - Vokuta本体ファイルエラー", Buttons::Ok,
       Icon::Stop},
      {[](Program& p) { PcFileErrorBox(p, L"a"); }, L" - PCファイルエラー", Buttons::Ok,
       Icon::Stop},
      {[](Program& p) { (void)CommErrorBox(p, L"a"); }, L" - 通信エラー", Buttons::YesNo,
       Icon::Stop},
      {[](Program& p) { CannotAddBox(p); }, L" - 注意", Buttons::Ok, Icon::Exclamation},
      {[](Program& p) { AppChangeBox(p, 4, 0); }, L" - 注意", Buttons::Ok, Icon::Exclamation},
      {[](Program& p) { (void)RecordChangeBox(p, 4, 0); }, L" - 注意", Buttons::OkCancel,
       Icon::Exclamation},
  };
  for (const auto& c : cases) {
    test::TestProgram u;
    u.ui.answer({kOk});
    c.show(u.p);
    ASSERT_EQ(u.ui.boxes.size(), 1u) << c.title;
    EXPECT_EQ(u.ui.boxes[0].title, AppTitle + c.title);
    EXPECT_EQ(u.ui.boxes[0].buttons, c.buttons) << c.title;
    EXPECT_EQ(u.ui.boxes[0].icon, c.icon) << c.title;
  }
}

TEST_F(Navigation, PortOptionsMapToComPorts) {
  for (int i = 0; i < frm3port::kPortOptions; ++i) {
    frm3port::Optポート_Click(p, i);
    EXPECT_EQ(p.g.PortNumber, i + 1);
  }
}

} // namespace
} // namespace vokuta
