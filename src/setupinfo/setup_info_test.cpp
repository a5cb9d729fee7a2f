#include "setupinfo/setup_info.h"

#include <gtest/gtest.h>

#include "app/startup.h"
#include "mainwin/environment.h"
#include "mainwin/exit_question.h"
#include "support/test_program.h"
#include "util/text.h"

namespace vokuta {
namespace {

using test::ProgramEnded;

class SetupInfo : public ::testing::Test {
protected:
  SetupInfo() {
    p.g.SourceDir = L"C:\\pkg";
    p.g.SetupInfPath = L"C:\\pkg\\Setup.inf";
  }
  // Writes Setup.inf in CP932 from UTF-8 text, lines as given (line ends included).
  void file(const std::wstring& text) { t.files.addFile(p.g.SetupInfPath, test::Sjis(text)); }
  std::size_t rowCount() const {
    std::size_t n = 0;
    while (!p.setupTable[n].terminates()) ++n;
    return n;
  }
  test::TestProgram t;
  Program& p = t.p;
};

TEST_F(SetupInfo, NormalisesTheColumnsOfARow) {
  struct Case {
    std::wstring line;
    SetupRow row;
  } cases[] = {
      {L"a.exf,\\system\\apps,.\\bin,", {L"a.exf", L"\\system\\apps", L"C:\\pkg\\.\\bin", L""}},
      {L"\\a.exf\\,system\\apps\\,bin\\\\,x", {L"a.exf", L"\\system\\apps", L"C:\\pkg\\bin", L"x"}},
      {L"a,\\\\system\\apps,,", {L"a", L"\\system\\apps", L"C:\\pkg\\", L""}},
      {L"a,\\,.,", {L"a", L"", L"C:\\pkg\\.", L""}},
      {L"a,,.,", {L"a", L"", L"C:\\pkg\\.", L""}},
      {L" a , b , c , d ,e", {L" a ", L"\\ b ", L"C:\\pkg\\ c ", L" d "}},
      {L"\"a,b,c,d\"", {L"a", L"\\b", L"C:\\pkg\\c", L"d"}},
      {L"x,\"b\",c,d", {L"x", L"\\\"b\"", L"C:\\pkg\\c", L"d"}},
      {L"a,b,c,   ;comment,x,y", {L"a", L"\\b", L"C:\\pkg\\c", L"   "}},
      {L"データ.dat,\\文書,素材,", {L"データ.dat", L"\\文書", L"C:\\pkg\\素材", L""}},
  };
  for (const auto& c : cases) {
    file(c.line + L"\r\n");
    ASSERT_EQ(ReadSetupInfo(p), ReadResult::Ok);
    EXPECT_EQ(p.setupTable[0].FileName, c.row.FileName) << c.line;
    EXPECT_EQ(p.setupTable[0].DestPath, c.row.DestPath) << c.line;
    EXPECT_EQ(p.setupTable[0].SourcePath, c.row.SourcePath) << c.line;
    EXPECT_EQ(p.setupTable[0].Control, c.row.Control) << c.line;
    EXPECT_TRUE(p.setupTable[1].terminates()) << c.line;
  }
}

TEST_F(SetupInfo, SkipsWhatIsNoRow) {
  file(L";ヴォクタセットアップ情報\r\n"
       L";  １項:ファイル名,ワイルドカード使用可能\r\n"
       L"\r\n"
       L"a,b,c\r\n"           // two commas
       L",\\dir,src,\r\n"     // empty file name: overwritten by the next row
       L"\\\\,\\dir,src,\r\n" // a name of backslashes only is empty too
       L"one,\\x,s,\r\n"
       L";two,\\x,s,\r\n"
       L"three,\\y,s,"); // no final line end
  ASSERT_EQ(ReadSetupInfo(p), ReadResult::Ok);
  ASSERT_EQ(rowCount(), 2u);
  EXPECT_EQ(p.setupTable[0].FileName, L"one");
  EXPECT_EQ(p.setupTable[1].FileName, L"three");
}

TEST_F(SetupInfo, AssociationRowsFillThePackageRecord) {
  file(L"viewer.exf,\\system\\apps,.\\viewer,Fini,.TBL,86EC,264B7A\r\n"
       L"b.exf,,.,fini,.TBLX,FFFF,00FFFF\r\n"
       L"c.exf,\\x,.,FINI,.A\r\n"
       L"d.exf,\\x,.,Fini ,.B,1,2\r\n"
       L"e.exf,\\x,.,Fini,.C, 8 6e ,FFFFFFFFF1\r\n"
       L"f.exf,\\x,.,FIN,.D\r\ng.exf,\\x,.,FINI2,.E\r\n");
  ASSERT_EQ(ReadSetupInfo(p), ReadResult::Ok);
  const FiniTable& f = p.finiTable;
  EXPECT_EQ(f[0].suffix, L".TBL");
  EXPECT_EQ(f[0].font, 34540u);
  EXPECT_EQ(f[0].mmp, 2509690u);
  EXPECT_EQ(f[0].app, FitWidth(L"\\SYSTEM\\APPS\\VIEWER.EXF", 32));
  EXPECT_EQ(f[1].suffix, L".TBL");
  EXPECT_EQ(f[1].font, 65535u);
  EXPECT_EQ(f[1].mmp, 65535u);
  EXPECT_EQ(f[1].app, FitWidth(L"\\B.EXF", 32));
  EXPECT_EQ(f[2].suffix, L".A  "); // missing columns read as empty
  EXPECT_EQ(f[2].font, 0u);
  EXPECT_EQ(f[2].mmp, 0u);
  EXPECT_EQ(f[3], FiniRecord{});    // "Fini " is no control word, nor "FIN" or "FINI2"
  EXPECT_EQ(f[4].font, 0x86Eu);     // blanks inside are skipped
  EXPECT_EQ(f[4].mmp, 0xFFFFFFF1u); // the low 32 bits of a longer number
  EXPECT_EQ(f[5], FiniRecord{});
  EXPECT_EQ(f[6], FiniRecord{});
}

TEST_F(SetupInfo, HexColumns) {
  const std::pair<std::wstring, std::uint32_t> cases[] = {
      {L"86EC", 34540}, {L"a0ff", 0xA0FF}, {L"264B7A", 2509690},       {L"", 0},   {L"xyz", 0},
      {L"12G4", 0x12},  {L" 1 0", 0x10},   {L"123456789", 0x23456789}, {L"-1", 0},
  };
  for (const auto& [text, value] : cases) EXPECT_EQ(ParseHexColumn(text), value) << text.size();
}

TEST_F(SetupInfo, AppPathIsCutAfter32Characters) {
  file(L"averyveryverylongname.exf,\\system\\applications,.,Fini,.X,1,1\r\n");
  ASSERT_EQ(ReadSetupInfo(p), ReadResult::Ok);
  EXPECT_EQ(p.finiTable[0].app, L"\\SYSTEM\\APPLICATIONS\\AVERYVERYVE");
}

TEST_F(SetupInfo, PortLineRules) {
  struct Case {
    std::wstring text;
    std::int32_t port;
    std::int32_t source;
  } cases[] = {
      {L"[PORT]=1        ;シリアルポート番号\r\n", 1, kPortFixed},
      {L"[port]=9x\r\n", 9, kPortFixed},
      {L"[PORT]=12\r\n", 12, kPortFixed},
      {L"[PORT]=123\r\n", 12, kPortFixed},
      {L"[PORT]= 4\r\n", 4, kPortFixed},
      {L"[PORT]=\r\n", 0, kPortFixed},
      {L"\"[PORT]=5\"\r\n", 5, kPortFixed},
      {L"[PORT]=2\r\n[PORT]=7\r\n", 2, kPortFixed},
      {L";[PORT]=2\r\n", 1, kPortUnknown},
      {L" [PORT]=2\r\n", 1, kPortUnknown},
  };
  for (const auto& c : cases) {
    test::TestProgram fresh;
    fresh.p.g.SetupInfPath = L"C:\\Setup.inf";
    fresh.files.addFile(L"C:\\Setup.inf", test::Sjis(c.text));
    ASSERT_EQ(ReadSetupInfo(fresh.p), ReadResult::Ok);
    EXPECT_EQ(fresh.p.g.PortNumber, c.port) << c.text.size();
    EXPECT_EQ(fresh.p.g.PortSource, c.source) << c.text.size();
  }
}

TEST_F(SetupInfo, RegistryPortWinsOverThePortLine) {
  t.registry.setDword(kFilerKey, "PORT", 3);
  file(L"[PORT]=5\r\na,b,c,\r\n");
  LoadSetupInfo(p);
  EXPECT_EQ(p.g.PortNumber, 3);
  EXPECT_EQ(p.g.PortSource, kPortFixed);
}

TEST_F(SetupInfo, ReReadOverwritesAndLeavesOtherRecordsAlone) {
  file(L"a,\\x,.,Fini,.AAA,1,2\r\nb,\\y,.,\r\nc,\\z,.,\r\n");
  ASSERT_EQ(ReadSetupInfo(p), ReadResult::Ok);
  p.setupTable[1].DestPath = L"\\edited";
  file(L"b2,\\y,.,\r\nc2,\\z,.,\r\n");
  ASSERT_EQ(ReadSetupInfo(p), ReadResult::Ok);
  EXPECT_EQ(rowCount(), 2u);
  EXPECT_EQ(p.setupTable[1].DestPath, L"\\z");
  // Row 0 is no association row any more; its record is not read and keeps what it had.
  EXPECT_EQ(p.finiTable[0].suffix, L".AAA");
}

TEST_F(SetupInfo, EmptyAndCommentOnlyFilesGiveAnEmptyTable) {
  for (const std::wstring text : {L"", L";a,b,c,d\r\n; only comments\r\n"}) {
    p.setupTable[0] = {L"stale", L"\\x", L"", L""};
    file(text);
    ASSERT_EQ(ReadSetupInfo(p), ReadResult::Ok);
    EXPECT_TRUE(p.setupTable[0].terminates());
  }
}

TEST_F(SetupInfo, MissingFileEndsTheProgramAndChangesNothing) {
  p.setupTable[0] = {L"keep", L"\\x", L"", L""};
  EXPECT_EQ(ReadSetupInfo(p), ReadResult::CannotOpen);
  EXPECT_EQ(p.setupTable[0].FileName, L"keep");
  t.ui.answer({kOk});
  EXPECT_THROW(LoadSetupInfo(p), ProgramEnded);
  ASSERT_EQ(t.ui.boxes.size(), 1u);
  EXPECT_EQ(t.ui.boxes[0].text, L"下記のセットアップ情報が見つかりません。\r\nインストールできませ"
                                L"ん。終了します。\r\nC:\\pkg\\Setup.inf");
  EXPECT_EQ(t.ui.boxes[0].title, L"Vokuta本体ソフト インストーラ - ｾｯﾄｱｯﾌﾟ情報");
  EXPECT_EQ(t.ui.boxes[0].buttons, Buttons::Ok);
  EXPECT_EQ(t.ui.boxes[0].icon, Icon::Stop);
}

TEST_F(SetupInfo, At199RowsTheFileIsTakenAndAt200Refused) {
  std::wstring text;
  for (int i = 0; i < 199; ++i) text += L"f" + std::to_wstring(i) + L",\\d,.,\r\n";
  file(text);
  ASSERT_EQ(ReadSetupInfo(p), ReadResult::Ok);
  EXPECT_EQ(rowCount(), 199u);
  EXPECT_EQ(p.setupTable[198].FileName, L"f198");

  file(text + L"f199,\\d,.,\r\n");
  EXPECT_EQ(ReadSetupInfo(p), ReadResult::TooManyRows);
  t.ui.answer({kOk});
  EXPECT_THROW(LoadSetupInfo(p), ProgramEnded);
  ASSERT_EQ(t.ui.boxes.size(), 1u);
  EXPECT_EQ(t.ui.boxes[0].text, L"セットアップ情報の項目数が上限（199）を超えています。\r\nインスト"
                                L"ールできません。終了します。\r\nC:\\pkg\\Setup.inf");
  EXPECT_EQ(t.ui.boxes[0].title, AppTitle + L" - ｾｯﾄｱｯﾌﾟ情報");
}

TEST_F(SetupInfo, Utf16IsRefusedAtStartUp) {
  // Either byte order is refused whole; a lone FF or FE first is a broken CP932 character.
  const std::string row("a\0,\0\\\0d\0,\0.\0,\0", 14);
  for (const std::string start : {"\xFF\xFE", "\xFE\xFF", "\xFF", "\xFE\xFE"}) {
    p.setupTable[0] = {L"keep", L"\\x", L"", L""};
    t.files.addFile(p.g.SetupInfPath, start + row);
    const bool bom = start.size() == 2 && start[0] != start[1];
    EXPECT_EQ(ReadSetupInfo(p), bom ? ReadResult::Utf16 : ReadResult::Ok) << start.size();
    EXPECT_EQ(p.setupTable[0].FileName == L"keep", bom);
  }
  t.ui.answer({kOk});
  t.files.addFile(p.g.SetupInfPath, "\xFE\xFF");
  EXPECT_THROW(LoadSetupInfo(p), ProgramEnded);
  ASSERT_EQ(t.ui.boxes.size(), 1u);
  EXPECT_EQ(t.ui.boxes[0].text,
            L"下記のセットアップ情報は UTF-16 で保存されています（Shift-JIS で保存してください）。"
            L"\r\nインストールできません。終了します。\r\nC:\\pkg\\Setup.inf");
  EXPECT_EQ(t.ui.boxes[0].title, AppTitle + L" - ｾｯﾄｱｯﾌﾟ情報");
  EXPECT_EQ(t.ui.boxes[0].icon, Icon::Stop);
}

TEST_F(SetupInfo, LineEndsAndBrokenBytesKeepTheRowsApart) {
  // CR LF, a lone CR and a lone LF each end a line; a lead byte before a comma or a line end
  // does not take the comma or the line end with it.
  const std::string bytes = std::string("a\x81,\\d,.,\r\n") + "b,\\d,.,\r" + "; note\n\n" +
                            "c,\\d\x82\r\n" + "d,\\d,.,\x82";
  t.files.addFile(p.g.SetupInfPath, bytes);
  ASSERT_EQ(ReadSetupInfo(p), ReadResult::Ok);
  ASSERT_EQ(rowCount(), 3u);
  EXPECT_EQ(p.setupTable[0].FileName, L"a\uFFFD");
  EXPECT_EQ(p.setupTable[1].FileName, L"b");
  EXPECT_EQ(p.setupTable[2].FileName, L"d");
  EXPECT_EQ(p.setupTable[2].Control, L"\uFFFD");
  EXPECT_EQ(SetupInfoLines({bytes.begin(), bytes.end()}, p.sjis, nullptr).size(), 6u);
}

TEST_F(SetupInfo, Utf8WithByteOrderMark) {
  t.files.addFile(p.g.SetupInfPath, "\xEF\xBB\xBF"
                                    "データ.dat,\\文書,.,\r\n");
  ASSERT_EQ(ReadSetupInfo(p), ReadResult::Ok);
  EXPECT_EQ(p.setupTable[0].FileName, L"データ.dat");
  EXPECT_EQ(p.setupTable[0].DestPath, L"\\文書");
}

TEST_F(SetupInfo, GarbageNeitherCrashesNorLosesTheNextLine) {
  std::string bytes(65536, ',');
  bytes += "\r\n";
  bytes += std::string("\0\0,\0,\0,\0\r\n", 10);
  bytes += std::string(70000, 'x') + ",\\d,.,\r\n";
  bytes += "last,\\d,.,\r\n";
  t.files.addFile(p.g.SetupInfPath, bytes);
  ASSERT_EQ(ReadSetupInfo(p), ReadResult::Ok);
  ASSERT_EQ(rowCount(), 3u);
  EXPECT_EQ(p.setupTable[0].FileName, std::wstring(L"\0\0", 2));
  EXPECT_EQ(p.setupTable[1].FileName.size(), 70000u);
  EXPECT_EQ(p.setupTable[2].FileName, L"last");
}

} // namespace
} // namespace vokuta
