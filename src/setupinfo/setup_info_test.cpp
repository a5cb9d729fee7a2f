#include "mainwin/item_list_view.h"
#include "setupinfo/item_list.h"
#include "setupinfo/setup_info.h"

#include <gtest/gtest.h>

#include "app/startup.h"
#include "mainwin/environment.h"
#include "support/test_program.h"

namespace vokuta {
namespace {

using test::Association;
using Texts = std::vector<std::wstring>;

// The columns of each row up to the end of the table.
std::vector<Texts> rowsOf(const Program& p) {
  std::vector<Texts> out;
  for (const SetupRow* r = &p.setupTable[0]; !r->terminates(); ++r)
    out.push_back({r->FileName, r->DestPath, r->SourcePath, r->Control});
  return out;
}

class SetupInfo : public ::testing::Test {
protected:
  SetupInfo() {
    p.g.SourceDir = L"C:\\pkg";
    p.g.SetupInfPath = L"C:\\pkg\\Setup.inf";
  }
  // Writes Setup.inf in CP932 from UTF-8 text, lines as given (line ends included).
  void file(const std::wstring& text) { bytes(test::Sjis(text)); }
  void bytes(const std::string& raw) { t.files.addFile(p.g.SetupInfPath, raw); }
  std::vector<Texts> rows() const { return rowsOf(p); }
  test::TestProgram t;
  Program& p = t.p;
};

TEST_F(SetupInfo, NormalisesTheColumnsOfARow) {
  const std::pair<std::wstring, Texts> cases[] = {
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
  for (const auto& [line, row] : cases) {
    file(line + L"\r\n");
    ASSERT_EQ(ReadSetupInfo(p), ReadResult::Ok);
    EXPECT_EQ(rows(), std::vector<Texts>{row});
  }
  bytes("\xEF\xBB\xBF"
        "データ.dat,\\文書,.,\r\n"); // UTF-8 with its byte-order mark
  ASSERT_EQ(ReadSetupInfo(p), ReadResult::Ok);
  EXPECT_EQ(rows(), (std::vector<Texts>{{L"データ.dat", L"\\文書", L"C:\\pkg\\.", L""}}));
}

// Comments, blank lines and lines with fewer than three commas are no rows; a row without a
// file name takes a slot that the next row overwrites. A new read replaces the table but leaves
// the records of rows that are no association rows alone.
TEST_F(SetupInfo, SkipsWhatIsNoRowAndRereadsOverTheOldTable) {
  file(L"a,\\x,.,Fini,.AAA,1,2\r\nb,\\y,.,\r\nc,\\z,.,\r\n");
  ASSERT_EQ(ReadSetupInfo(p), ReadResult::Ok);
  file(L";ヴォクタセットアップ情報\r\n;  １項:ファイル名\r\n\r\na,b,c\r\n,\\dir,src,\r\n"
       L"\\\\,\\dir,src,\r\none,\\x,s,\r\n;two,\\x,s,\r\nthree,\\y,s,");
  ASSERT_EQ(ReadSetupInfo(p), ReadResult::Ok);
  EXPECT_EQ(rows(), (std::vector<Texts>{{L"one", L"\\x", L"C:\\pkg\\s", L""},
                                        {L"three", L"\\y", L"C:\\pkg\\s", L""}}));
  EXPECT_EQ(p.finiTable[0].suffix, L".AAA");
}

TEST_F(SetupInfo, AssociationRowsFillThePackageRecord) {
  file(L"viewer.exf,\\system\\apps,.\\viewer,Fini,.TBL,86EC,264B7A\r\n"
       L"b.exf,,.,fini,.TBLX,FFFF,00FFFF\r\nc.exf,\\x,.,FINI,.A\r\nd.exf,\\x,.,Fini ,.B,1,2\r\n"
       L"e.exf,\\x,.,Fini,.C, 8 6e ,FFFFFFFFF1\r\nf.exf,\\x,.,FIN,.D\r\ng.exf,\\x,.,FINI2,.E\r\n"
       L"averyveryverylongname.exf,\\system\\applications,.,Fini,.X,1,1\r\n");
  ASSERT_EQ(ReadSetupInfo(p), ReadResult::Ok);
  // Missing columns read as empty; "Fini ", "FIN" and "FINI2" are no control word; blanks
  // inside a number are skipped and a longer number keeps its low 32 bits.
  EXPECT_EQ(p.finiTable[0], Association(L".TBL", L"\\SYSTEM\\APPS\\VIEWER.EXF", 34540, 2509690));
  EXPECT_EQ(p.finiTable[1], Association(L".TBL", L"\\B.EXF", 65535, 65535));
  EXPECT_EQ(p.finiTable[2], Association(L".A", L"\\X\\C.EXF", 0, 0));
  EXPECT_EQ(p.finiTable[4], Association(L".C", L"\\X\\E.EXF", 0x86E, 0xFFFFFFF1));
  EXPECT_EQ(p.finiTable[7], Association(L".X", L"\\SYSTEM\\APPLICATIONS\\AVERYVERYVE", 1, 1));
  for (std::size_t row : {3, 5, 6}) EXPECT_EQ(p.finiTable[row], FiniRecord{}) << row;
}

TEST_F(SetupInfo, HexColumns) {
  const std::pair<std::wstring, std::uint32_t> cases[] = {
      {L"86EC", 34540}, {L"a0ff", 0xA0FF}, {L"264B7A", 2509690},       {L"", 0},  {L"xyz", 0},
      {L"12G4", 0x12},  {L" 1 0", 0x10},   {L"123456789", 0x23456789}, {L"-1", 0}};
  for (const auto& [text, value] : cases) EXPECT_EQ(ParseHexColumn(text), value) << text.size();
}

// The first "[PORT]=" line at a line's start fixes the port (two digits at most); a port from
// the registry wins over it.
TEST_F(SetupInfo, PortLineRules) {
  const struct {
    std::wstring text;
    std::uint32_t registry;
    std::int32_t port, source;
  } cases[] = {
      {L"[PORT]=1  ;番号\r\n", 0, 1, kPortFixed},   {L"[port]=9x\r\n", 0, 9, kPortFixed},
      {L"[PORT]=10\r\n", 0, 10, kPortFixed},        {L"[PORT]=123\r\n", 0, 12, kPortFixed},
      {L"[PORT]= 4\r\n", 0, 4, kPortFixed},         {L"[PORT]=\r\n", 0, 0, kPortFixed},
      {L"\"[PORT]=5\"\r\n", 0, 5, kPortFixed},      {L"[PORT]=2\r\n[PORT]=7\r\n", 0, 2, kPortFixed},
      {L";[PORT]=2\r\n", 0, 1, kPortUnknown},       {L" [PORT]=2\r\n", 0, 1, kPortUnknown},
      {L"[PORT]=5\r\na,b,c,\r\n", 3, 3, kPortFixed}};
  for (const auto& c : cases) {
    test::TestProgram fresh;
    fresh.p.g.SetupInfPath = L"C:\\Setup.inf";
    fresh.files.addFile(L"C:\\Setup.inf", test::Sjis(c.text));
    if (c.registry != 0) fresh.registry.setDword(kFilerKey, "PORT", c.registry);
    LoadSetupInfo(fresh.p);
    EXPECT_EQ(fresh.p.g.PortNumber, c.port) << c.text.size();
    EXPECT_EQ(fresh.p.g.PortSource, c.source) << c.text.size();
  }
}

// A file that cannot be read ends the program with a box naming it; the tables stay as they
// were. 199 rows are taken, 200 refused; either UTF-16 byte order is refused whole, while a
// lone FF or FE first is a broken CP932 character.
TEST_F(SetupInfo, UnreadableFilesEndTheProgramAndChangeNothing) {
  std::string rows199;
  for (int i = 0; i < 199; ++i) rows199 += "f" + std::to_string(i) + ",\\d,.,\r\n";
  const std::string row16("a\0,\0\\\0d\0,\0.\0,\0", 14);
  const std::wstring utf16 =
      L"下記のセットアップ情報は UTF-16 で保存されています（Shift-JIS で保存してください）。";
  const struct {
    std::optional<std::string> bytes;
    std::wstring box; // empty: the file is read
    std::size_t rows;
  } cases[] = {
      {std::nullopt, L"下記のセットアップ情報が見つかりません。", 1},
      {rows199 + "f199,\\d,.,\r\n", L"セットアップ情報の項目数が上限（199）を超えています。", 1},
      {"\xFF\xFE" + row16, utf16, 1},
      {"\xFE\xFF" + row16, utf16, 1},
      {"\xFF" + row16, L"", 1},
      {"\xFE\xFE" + row16, L"", 1},
      {rows199, L"", 199},
      {"", L"", 0},
  };
  for (const auto& c : cases) {
    test::TestProgram u;
    u.p.g.SetupInfPath = L"C:\\pkg\\Setup.inf";
    u.p.setupTable[0] = {L"keep", L"\\x", L"", L""};
    if (c.bytes) u.files.addFile(u.p.g.SetupInfPath, *c.bytes);
    u.ui.answer({kOk});
    if (c.box.empty())
      LoadSetupInfo(u.p);
    else
      EXPECT_THROW(LoadSetupInfo(u.p), test::ProgramEnded);
    EXPECT_EQ(u.ui.boxes.size(), c.box.empty() ? 0u : 1u);
    for (const auto& b : u.ui.boxes)
      EXPECT_EQ(
          std::tuple(b.text, b.title, b.buttons, b.icon),
          std::tuple(c.box + L"\r\nインストールできません。終了します。\r\nC:\\pkg\\Setup.inf",
                     AppTitle + L" - ｾｯﾄｱｯﾌﾟ情報", Buttons::Ok, Icon::Stop));
    const std::vector<Texts> got = rowsOf(u.p);
    ASSERT_EQ(got.size(), c.rows) << c.box;
    EXPECT_EQ(!got.empty() && got[0][0] == L"keep", !c.box.empty()) << c.box;
  }
}

TEST_F(SetupInfo, LineEndsAndBrokenBytesKeepTheRowsApart) {
  // CR LF, a lone CR and a lone LF each end a line; a lead byte before a comma or a line end
  // does not take the comma or the line end with it.
  const std::string raw = std::string("a\x81,\\d,.,\r\n") + "b,\\d,.,\r" + "; note\n\n" +
                          "c,\\d\x82\r\n" + "d,\\d,.,\x82";
  bytes(raw);
  ASSERT_EQ(ReadSetupInfo(p), ReadResult::Ok);
  EXPECT_EQ(rows(), (std::vector<Texts>{{L"a\uFFFD", L"\\d", L"C:\\pkg\\.", L""},
                                        {L"b", L"\\d", L"C:\\pkg\\.", L""},
                                        {L"d", L"\\d", L"C:\\pkg\\.", L"\uFFFD"}}));
  EXPECT_EQ(SetupInfoLines({raw.begin(), raw.end()}, p.sjis, nullptr).size(), 6u);
}

TEST(FormatKBytes, HalvesAndWholes) {
  Texts got;
  for (std::uint64_t bytes :
       {0ull, 512ull, 1024ull, 1536ull, 10240ull, 3072ull, 256ull, 5368709120ull, 5368709632ull})
    got.push_back(FormatKBytes(bytes));
  EXPECT_EQ(got, (Texts{L" 0", L" .5", L" 1", L" 1.5", L" 10", L" 3", L" .25", L" 5242880",
                        L" 5242880.5"}));
}

// Every matched file counts in whole 512-byte blocks plus one, hidden and system files too;
// directories and missing files count nothing.
TEST_F(SetupInfo, ItemSizeCountsEveryMatchedFileInWholeBlocksPlusOne) {
  const std::tuple<const wchar_t*, std::size_t, std::uint32_t> files[] = {
      {L"a.dat", 600, 0}, {L"b.dat", 600, kAttrHidden}, {L"c.dat", 600, kAttrSystem},
      {L"e.exf", 511, 0}, {L"f.exf", 512, 0},           {L"g.exf", 0, 0}};
  for (const auto& [name, size, attributes] : files)
    t.files.addFile(L"C:\\pkg\\" + std::wstring(name), std::string(size, 'x'), attributes);
  t.files.addDirectory(L"C:\\pkg\\d.dat");
  p.setupTable[0] = {L"*.dat", L"\\data", L"C:\\pkg", L""};
  p.setupTable[1] = {L"e.exf", L"", L"C:\\pkg", L""};
  p.setupTable[2] = {L"f.exf", L"\\apps", L"C:\\pkg", L"Fini"};
  p.setupTable[3] = {L"g.exf", L"\\apps", L"C:\\pkg", L""};
  p.setupTable[4] = {L"missing.exf", L"\\apps", L"C:\\pkg", L""};
  EXPECT_EQ(合計容量(p), 3u * 1024 + 512 + 1024 + 512);
  FillItemList(p);
  EXPECT_EQ(t.ui.lists[Form::Frm1Main], (Texts{L"\\data\\*.dat", L"\\e.exf", L"\\apps\\f.exf",
                                               L"\\apps\\g.exf", L"\\apps\\missing.exf"}));
}

} // namespace
} // namespace vokuta
