#include "setupinfo/setup_info.h"

#include <gtest/gtest.h>

#include "app/startup.h"
#include "mainwin/environment.h"
#include "support/test_program.h"

namespace vokuta {
namespace {

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

} // namespace
} // namespace vokuta
