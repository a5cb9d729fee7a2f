#include <gtest/gtest.h>

#include "app/main_window.h"
#include "dialogs/choice_dialog.h"
#include "dialogs/dir_dialog.h"
#include "dialogs/port_dialog.h"
#include "link/connection.h"
#include "link/free_space.h"
#include "link/transfer.h"
#include "mainwin/exit_question.h"
#include "mainwin/item_list_view.h"
#include "support/linked_program.h"

namespace vokuta {
namespace {

using Texts = std::vector<std::wstring>;

// The name rule per directory level: 8 bytes and an extension of 3, and no last character
// whose last Shift-JIS byte reads as a backslash ('ソ', '表', the yen sign).
TEST(DirDialog, CheckDirNameNormalisesAndChecksEveryName) {
  const std::pair<std::wstring, std::int16_t> cases[] = {
      {L"system\\apps\\", 0}, {L"\\\\", 0},         {L"", 0},           {L"\\ABCDEFGH", 0},
      {L"\\ABCDEFGHI", 1},    {L"\\ab.cde", 0},     {L"\\ab.cdef", 1},  {L"\\a.b.c", 0},
      {L"\\あいうえ", 0},     {L"\\あいうえお", 1}, {L"\\ｱｲｳｴｵｶｷｸ", 0}, {L"\\temp\\データ", 0},
      {L"\\temp\\ソ", 2},     {L"\\ソ.txt", 0},     {L"\\a\\\\b", 0},   {L"ABCDEFGHIJ\\apps", 1},
      {L"\\表\\ok", 2},       {L"\\apps\u00A5", 2}, {L"\\a\u00A5b", 0}};
  const std::pair<std::wstring, std::wstring> normalised[] = {
      {L"system\\apps\\", L"\\system\\apps"},
      {L"\\\\", L""},
      {L"ABCDEFGHIJ\\apps", L"\\ABCDEFGHIJ\\apps"}};
  Texts warnings;
  for (const auto& [typed, code] : cases) {
    test::TestProgram u;
    u.ui.texts[{Form::Frm4Text, Control::Text1}] = typed;
    if (code != 0) u.ui.answer({kOk});
    EXPECT_EQ(frm4text::CheckDirName(u.p), code) << typed.size();
    std::wstring expected = typed;
    for (const auto& [from, to] : normalised) expected = from == typed ? to : expected;
    EXPECT_EQ((u.ui.texts[{Form::Frm4Text, Control::Text1}]), expected);
    for (const auto& box : u.ui.boxes) {
      warnings.push_back(box.text);
      EXPECT_EQ(std::tuple(box.title, box.icon, box.buttons, u.ui.focus[Form::Frm4Text]),
                std::tuple(AppTitle + L" - 注意", Icon::Exclamation, Buttons::Ok, Control::Text1));
    }
  }
  const std::wstring tooLong = L"ディレクトリ名は、半角８文字（＋３文字）以内にしてください。";
  auto last = [](std::wstring c) {
    return L"ディレクトリ名の最後に、「" + c + L"」は、使用できません。";
  };
  EXPECT_EQ(warnings,
            (Texts{tooLong, tooLong, tooLong, last(L"ソ"), tooLong, last(L"表"), last(L"¥")}));
}

// Delete (the bare key, with a selection) removes a row, moves the rows and their associations
// up and shows the new total. The directory dialog stores into the row it opened with and sets
// its association's program path; it follows that row when a row above goes, stores nothing
// when the row itself goes, and stays open after a failed check.
TEST(MainList, DeleteAndTheDirectoryDialog) {
  test::TestProgram t;
  Program& p = t.p;
  p.setupTable[0] = {L"a.exf", L"\\old", L"C:\\pkg", L""};
  p.setupTable[1] = {L"viewer.exf", L"\\system\\apps", L"C:\\pkg", L"fini"};
  p.setupTable[2] = {L"c", L"\\c", L"C:\\pkg", L""};
  p.finiTable[2].suffix = L".CCC";
  t.files.addFile(L"C:\\pkg\\a.exf", "1");
  t.files.addFile(L"C:\\pkg\\c", "1");
  FillItemList(p);
  std::wstring& text1 = t.ui.texts[{Form::Frm4Text, Control::Text1}];
  // Selects an item, then presses a key on the list or, without one, double-clicks it.
  auto key = [&](int item, int code = 0, int shift = 0) {
    t.ui.listSelect(Form::Frm1Main, item);
    code ? frm1main::List1_KeyDown(p, code, shift) : frm1main::List1_dblClick(p);
  };
  auto ok = [&](const std::wstring& typed) {
    text1 = typed;
    frm4text::CmdOK_Click(p);
  };
  key(-1);
  EXPECT_FALSE(t.ui.shown(Form::Frm4Text));
  key(1);
  EXPECT_EQ(text1, L"\\system\\apps");
  ok(L"apps\\");
  EXPECT_EQ(p.finiTable[1].app, FitWidth(L"\\APPS\\VIEWER.EXF", 32));
  EXPECT_FALSE(t.ui.shown(Form::Frm4Text));
  key(0);
  t.ui.answer({kOk});
  ok(L"\\ABCDEFGHI\\");
  EXPECT_TRUE(t.ui.shown(Form::Frm4Text));
  EXPECT_EQ(text1, L"\\ABCDEFGHI");
  frm4text::Cmdキャンセル_Click(p);
  EXPECT_FALSE(t.ui.shown(Form::Frm4Text));
  key(0);
  EXPECT_EQ(text1, L"\\old");
  ok(L"\\");
  EXPECT_EQ(t.ui.lists[Form::Frm1Main], (Texts{L"\\a.exf", L"\\apps\\viewer.exf", L"\\c\\c"}));

  for (int shift : {1, 2, 4}) key(0, kKeyDelete, shift);
  key(0, 45);
  key(-1, kKeyDelete);
  EXPECT_EQ(t.ui.lists[Form::Frm1Main].size(), 3u);
  key(2);
  key(0, kKeyDelete);
  EXPECT_EQ(p.finiTable[1].suffix, L".CCC");
  EXPECT_NE(t.ui.text(Form::Frm1Main, Control::LblSize).find(L"は、 .5 K"), std::wstring::npos);
  ok(L"\\moved");
  key(0);
  key(0, kKeyDelete);
  ok(L"\\new");
  EXPECT_TRUE(p.setupTable[1].terminates());
  EXPECT_EQ(t.ui.lists[Form::Frm1Main], Texts{L"\\moved\\c"});
}

class Navigation : public ::testing::Test {
protected:
  Navigation() { t.files.addFile(p.g.SetupInfPath = L"C:\\pkg\\Setup.inf", "a.exf,\\apps,.,\r\n"); }
  test::TestProgram t;
  Program& p = t.p;
};

// Back from the main window rereads the file (edits are lost); after a chosen port it shows the
// port dialog again, where a file's port line counts again; with a fixed port it stays.
TEST_F(Navigation, PortDialogNextThenBackKeepsTheChoiceAndRereads) {
  for (int i = 0; i < frm3port::kPortOptions; ++i) {
    frm3port::Optポート_Click(p, i);
    EXPECT_EQ(p.g.PortNumber, i + 1);
  }
  t.ui.showForm(Form::Frm3Port, false, Form::Frm1Main);
  frm3port::Optポート_Click(p, 2);
  frm3port::Cmd開始_Click(p);
  EXPECT_EQ(p.g.PortSource, kPortChosen);
  EXPECT_EQ(t.ui.windowLog.back(), L"show Frm1Main modeless");
  EXPECT_EQ(t.ui.processedEvents, 1);
  for (const bool fixed : {false, true}) {
    if (fixed) p.g.PortSource = kPortFixed;
    p.setupTable[0].DestPath = L"\\edited";
    const std::size_t windows = t.ui.windowLog.size();
    frm1main::Cmd戻る_Click(p);
    EXPECT_EQ(Texts(t.ui.windowLog.begin() + windows, t.ui.windowLog.end()),
              (fixed ? Texts{} : Texts{L"hide Frm1Main", L"show Frm3Port modeless"}));
    EXPECT_EQ(p.g.PortNumber, 3);
    EXPECT_EQ(p.g.PortSource, fixed ? kPortFixed : kPortUnknown);
    EXPECT_EQ(p.setupTable[0].DestPath, L"\\apps");
    EXPECT_EQ(t.ui.lists[Form::Frm1Main], Texts{L"\\apps\\a.exf"});
  }
}

TEST_F(Navigation, CancelAndCloseBoxesAskTheExitQuestion) {
  frm3port::Optポート_Click(p, 4);
  t.ui.answer({kNo, kNo, kNo, kNo, kOk});
  frm1main::Cmdキャンセル_Click(p);
  frm1main::Form_unload(p);
  frm3port::Cmdキャンセル_Click(p);
  frm3port::Form_unload(p);
  p.g.Communicating = true;
  frm1main::Form_unload(p);
  const std::wstring q = L" - 終了";
  ASSERT_EQ(t.titles(), (Texts{q, q, q, q, L" - 終了禁止"}));
  EXPECT_EQ(std::tuple(t.texts()[4], t.ui.boxes[4].icon),
            std::tuple(L"通信中は終了できません。", Icon::Stop));
  EXPECT_EQ(p.g.PortNumber, 5); // No keeps the choice
  t.ui.answer({kYes});
  p.g.Communicating = false;
  EXPECT_THROW(frm3port::Cmdキャンセル_Click(p), test::ProgramEnded);
}

// Every box the run and the merge show on their own, as a user sees it.
TEST(Boxes, TitlesTextsButtonsAndIcons) {
  test::LinkedProgram u;
  Program& p = u.p;
  p.g.PortNumber = 2; // the device is on port 1
  p.deviceFiniTable[4] = test::Association(L".TBL", L"\\OLD.EXF", 0x86E, 0x111);
  p.finiTable[0] = test::Association(L".tbl", L"\\NEW.EXF", 0x86E, 0x222);
  const std::wstring change = L"Ravuz.iniの 4番目の関連付けを変更します。\r\n\r\n変更前\r\n";
  using enum Buttons;
  using enum Icon;
  const struct {
    std::function<void()> show;
    std::wstring title;
    Buttons buttons;
    Icon icon;
    std::wstring text;
  } cases[] = {
      {[&] { MemoryErrorBox(p); }, L" - メモリ容量エラー", Ok, Stop,
       L"Vokuta本体がメモリ容量不足です。\r\n\r\n不要なﾌｧｲﾙを削除後、再試行してください。"},
      {[&] { DeviceFileErrorBox(p, L"Ravuz.ini"); }, L" - Vokuta本体ファイルエラー", Ok, Stop,
       L"Vokuta本体に、Ravuz.iniがありません。\r\n\r\n"},
      {[&] { PcFileErrorBox(p, L"C:\\pkg\\*.tbl"); }, L" - PCファイルエラー", Ok, Stop,
       L"C:\\pkg\\*.tbl\r\n\r\nがありません。\r\n\r\n"},
      {[&] { (void)CommErrorBox(p, L"a.exf"); }, L" - 通信エラー", YesNo, Stop,
       L"A.EXF で通信エラー発生\r\n\r\n「Vokuta本体ソフト インストーラ」を続けますか？"},
      {[&] { CannotAddBox(p); }, L" - 注意", Ok, Exclamation,
       L"Ravuz.iniに関連付けを追加できません。\r\n\r\n"
       L"次の画面で、不要な関連付けを１つ選択してください。\r\n"},
      {[&] { AppChangeBox(p, 4, 0); }, L" - 注意", Ok, Exclamation,
       change + L"app = \\OLD.EXF\r\n変更後\r\napp = \\NEW.EXF"},
      {[&] { (void)RecordChangeBox(p, 4, 0); }, L" - 注意", OkCancel, Exclamation,
       change + L"suffix = .TBL , attr = 0000 , id = 0000 , font = 086E\r\nmmp = 00000111 , file = "
                L"\r\n変更後\r\nsuffix = .tbl , attr = 0000 , id = 0000 , font = 086E\r\n"
                L"mmp = 00000222 , file = \r\n"},
      {[&] { (void)ConnectPrompt(p); }, L" - 接続", YesNo, Information,
       L"・本体を接続してください。\r\n・本体をﾘﾓｰﾄ準備中にしてください。\r\n\r\n  "
       L"準備はよろしいですか？"},
      {[&] { (void)CheckConnection(p); }, L" - 接続エラー", Ok, Stop,
       L"本体が正しく接続されていません。\r\nｼﾘｱﾙﾎﾟｰﾄ番号を確認し、本体を再ｾｯﾄしてください。"},
      {[&] { (void)FreeSpaceWarning(p, 512, -5); }, L" - 注意", YesNo, Exclamation,
       L"Vokuta本体の空き容量が不足しています。\r\n\r\n"
       L"全てのファイルをインストールできない可能性があります。\r\n\r\n"
       L"インストールを続けますか?\r\n\r\n ･ Vokuta本体の空き容量 = -5 バイト\r\n\r\n"
       L" ･ インストールするファイル容量 =  512 バイト\r\n"},
      {[&] { ConfirmExit(p); }, L" - 終了", YesNo, Question,
       L"「Vokuta本体ソフト インストーラ」を終了してよろしいですか？"}};
  u.ui.otherwise = [](Buttons b) { return b == YesNo ? kNo : kOk; };
  for (const auto& c : cases) {
    u.ui.boxes.clear();
    c.show();
    ASSERT_EQ(u.ui.boxes.size(), 1u) << testing::PrintToString(c.title);
    const auto& b = u.ui.boxes[0];
    EXPECT_EQ(std::tuple(b.title, b.text, b.buttons, b.icon, b.defaultButton),
              std::tuple(AppTitle + c.title, c.text, c.buttons, c.icon, 1));
  }
}

} // namespace
} // namespace vokuta
