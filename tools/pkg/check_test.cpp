#include "pkg/check.h"

#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include "mainwin/item_list_view.h"
#include "setupinfo/item_list.h"
#include "support/test_program.h"
#include "util/text.h"

namespace vokuta::pkg {
namespace {

using ::testing::ElementsAre;
using ::testing::ElementsAreArray;
using M = MessageId;

// A problem as the tests compare it: what, where.
struct Found {
  MessageId id;
  std::size_t line;
  std::size_t column;
  bool operator==(const Found&) const = default;
};

void PrintTo(const Found& f, std::ostream* os) {
  *os << KeyOf(f.id) << "@" << f.line << ":" << f.column;
}

std::vector<Found> found(const CheckReport& r) {
  std::vector<Found> out;
  for (const Problem& p : r.problems) out.push_back({p.id, p.line, p.column});
  return out;
}

// A package folder C:\pkg with a few files; each test writes its Setup.inf.
struct Package {
  Package() {
    t.files.addFile(L"C:\\pkg\\a.dat", std::string(10, 'a'));
    t.files.addFile(L"C:\\pkg\\b.dat", std::string(600, 'b'));
    t.files.addFile(L"C:\\pkg\\x.exf", std::string(1024, 'x'));
    t.files.addFile(L"C:\\pkg\\表.exf", "j");
    t.files.addFile(L"C:\\pkg\\longname9.dat", "l");
    t.files.addFile(L"C:\\pkg\\a.b.c", "d");
    t.files.addFile(L"C:\\pkg\\sub\\a.dat", "s");
    t.files.addFile(L"C:\\pkg\\apps\\viewer.exf", std::string(513, 'v'));
  }
  CheckReport check(const std::string& bytes) {
    t.files.addFile(L"C:\\pkg\\Setup.inf", bytes);
    return CheckSetupInfo(t.files, test::TestShiftJis(), L"C:\\pkg\\Setup.inf", L"C:\\pkg");
  }
  CheckReport check(const std::wstring& text) { return check(test::Sjis(text)); }

  test::TestProgram t;
};

class PkgCheck : public ::testing::Test, protected Package {};

TEST_F(PkgCheck, NamesEachProblemByLineAndColumn) {
  const struct {
    const char* what;
    std::string file;
    std::vector<Found> problems;
  } cases[] = {
      {"clean",
       test::Sjis(L";comment\r\n[PORT]=2\r\na.dat,\\d,.,\r\nx.exf,\\d,.,Fini,.X,86E,264B7A\r\n"),
       {}},
      {"too few commas",
       test::Sjis(L"a.dat,\\d,.\r\n  junk\r\n"),
       {{M::NoRows, 0, 0}, {M::TooFewCommas, 1, 1}, {M::TooFewCommas, 2, 3}}},
      {"empty file name",
       test::Sjis(L"a.dat,\\d,.,\r\n\\\\,\\d,.,\r\n"),
       {{M::EmptyFileName, 2, 1}}},
      {"second port",
       test::Sjis(L"[PORT]=1\r\na.dat,,.,\r\n[port]=2 ;again\r\n"),
       {{M::SecondPort, 3, 1}}},
      {"port beyond two characters",
       test::Sjis(L"[PORT]=123\r\na.dat,,.,\r\n"),
       {{M::PortUnclear, 1, 8}}},
      {"port of no digits", test::Sjis(L"[PORT]=COM1\r\na.dat,,.,\r\n"), {{M::PortUnclear, 1, 8}}},
      {"blanks kept, after a quote", test::Sjis(L"\"a.dat, \\d,.,\"\r\n"), {{M::BlanksKept, 1, 8}}},
      {"unknown control", test::Sjis(L"a.dat,\\d,.,Copy\r\n"), {{M::UnknownControl, 1, 12}}},
      {"control with blanks",
       test::Sjis(L"a.dat,\\d,.,Fini ,.X,1,2\r\n"),
       {{M::ControlBlanks, 1, 12}, {M::AssocColumnsUnused, 1, 18}}},
      {"association columns without Fini",
       test::Sjis(L"a.dat,\\d,.,,.TBL\r\n"),
       {{M::AssocColumnsUnused, 1, 13}}},
      {"backslash in the file name",
       test::Sjis(L"sub\\a.dat,\\d,.,\r\n"),
       {{M::FileNameBackslash, 1, 1}}},
      {"missing file",
       test::Sjis(L"a.dat,\\d,.,\r\n\\none.dat,\\d,.,\r\n"),
       {{M::SourceMissing, 2, 2}}},
      {"wildcard matching nothing", test::Sjis(L"*.xyz,\\d,.,\r\n"), {{M::WildcardNoMatch, 1, 1}}},
      {"file name beyond 8.3", test::Sjis(L"longname9.dat,\\d,.,\r\n"), {{M::NameTooLong, 1, 1}}},
      {"matched name beyond 8.3", test::Sjis(L"long*.dat,\\d,.,\r\n"), {{M::NameTooLong, 1, 1}}},
      {"directory name beyond 8.3",
       test::Sjis(L"a.dat,\\sys\\toolongdir,.,\r\n"),
       {{M::NameTooLong, 1, 12}}},
      {"directory name ending in 0x5C",
       test::Sjis(L"a.dat,\\\\ソ,.,\r\n"),
       {{M::NameLastByte5C, 1, 9}}},
      {"empty directory name", test::Sjis(L"a.dat,\\x\\\\y,.,\r\n"), {{M::NameEmpty, 1, 10}}},
      {"two dots", test::Sjis(L"a.b.c,\\d,.,\r\n"), {{M::NameDots, 1, 1}}},
      {"character the device lacks",
       test::Sjis(L"a.dat,\\a|b,.,\r\n"),
       {{M::NameBadCharacter, 1, 8}}},
      {"one device path twice",
       test::Sjis(L"a.dat,\\d,.,\r\nA.DAT,\\D,.,\r\n?.dat,\\e,.,\r\n"),
       {{M::SameDevicePath, 2, 1}}},
      {"suffix cut", test::Sjis(L"x.exf,\\d,.,Fini,.TBLX,1,2\r\n"), {{M::SuffixCut, 1, 21}}},
      {"suffix of a blank",
       test::Sjis(L"x.exf,\\d,.,Fini, .TB,1,2\r\n"),
       {{M::SuffixLooksFree, 1, 17}}},
      {"no suffix", test::Sjis(L"x.exf,\\d,.,fini\r\n"), {{M::SuffixLooksFree, 1, 16}}},
      {"suffix without a dot",
       test::Sjis(L"x.exf,\\d,.,Fini,TBL,1,2\r\n"),
       {{M::SuffixNoDot, 1, 17}}},
      {"suffix of a double-byte character",
       test::Sjis(L"x.exf,\\d,.,Fini,.表,1,2\r\n"),
       {{M::SuffixNotSingleByte, 1, 18}}},
      {"icon numbers too large",
       test::Sjis(L"x.exf,\\d,.,Fini,.X,1FFFF,1000000\r\n"),
       {{M::SmallIconTooLarge, 1, 20}, {M::LargeIconTooLarge, 1, 26}}},
      {"icon number past 32 bits",
       test::Sjis(L"x.exf,\\d,.,Fini,.X,100000000,1\r\n"),
       {{M::SmallIconTooLarge, 1, 20}}},
      {"icon number not hexadecimal",
       test::Sjis(L"x.exf,\\d,.,Fini,.X,0x86E,2\r\n"),
       {{M::IconNotHex, 1, 21}}},
      {"repeated suffix",
       test::Sjis(L"x.exf,\\d,.,Fini,.tbl,1,2\r\napps\\viewer.exf,\\e,.,Fini,.TBL,1,2\r\n"),
       {{M::FileNameBackslash, 2, 1}, {M::RepeatedSuffix, 2, 27}}},
      {"program path cut",
       test::Sjis(L"x.exf,\\aaaaaaaa\\bbbbbbbb\\cccccccc\\dd,.,Fini,.X\r\n"),
       {{M::AppPathCut, 1, 1}}},
      {"program path of double-byte characters",
       test::Sjis(L"表.exf,\\d,.,Fini,.X\r\n"),
       {{M::AppPathNotSingleByte, 1, 1}}},
      {"program path with a wildcard",
       test::Sjis(L"*.exf,\\d,.,Fini,.X\r\n"),
       {{M::AppPathWildcard, 1, 1}}},
      {"bytes that are no character",
       ";\x81\x20\xA0"
       "b\r\na.dat,,.,\r\n",
       {{M::NoCharacter, 1, 2}}},
      {"UTF-8 without a byte-order mark",
       ";データ\r\na.dat,,.,\r\n",
       {{M::Utf8WithoutBom, 1, 2}, {M::NoCharacter, 1, 3}}},
      {"UTF-8 with a byte-order mark", "\xEF\xBB\xBF;データ\r\na.dat,,.,\r\n", {}},
      {"UTF-16 little-endian",
       std::string("\xFF\xFE"
                   "a\0,\0,\0,\0",
                   10),
       {{M::Utf16, 0, 0}}},
      {"UTF-16 big-endian", std::string("\xFE\xFF\0a\0,\0,\0,", 10), {{M::Utf16, 0, 0}}},
      {"no rows", "", {{M::NoRows, 0, 0}}},
  };
  for (const auto& c : cases) {
    Package fresh;
    EXPECT_THAT(found(fresh.check(c.file)), ElementsAreArray(c.problems)) << c.what;
  }
}

TEST_F(PkgCheck, ProblemsCarryTheTextsTheirMessagesNeed) {
  const CheckReport r = check(L"a.dat,\\d,.,\r\nA.DAT,\\D,.,\r\nnone.dat,\\d,.,\r\n"
                              L"x.exf,\\d,.,Fini,.X,12345,1\r\n"
                              L"x.exf,\\e,.,Fini,.Y,FFFFFFFFFF,FFFFFFFFFZ\r\n");
  ASSERT_EQ(r.problems.size(), 6u);
  EXPECT_EQ(r.problems[0].args, (std::vector<std::wstring>{L"\\D\\A.DAT", L"1"}));
  EXPECT_EQ(r.problems[0].severity, Severity::Error);
  EXPECT_EQ(r.problems[1].args, (std::vector<std::wstring>{L"C:\\pkg\\.\\none.dat"}));
  EXPECT_EQ(r.problems[2].args, (std::vector<std::wstring>{L"12345", L"2345"}));
  EXPECT_EQ(r.problems[2].severity, Severity::Warning);
  // What the table keeps: the low bits of the number as the installer reads it.
  EXPECT_EQ(r.problems[3].args, (std::vector<std::wstring>{L"FFFFFFFFFF", L"FFFF"}));
  EXPECT_EQ(r.problems[4].id, M::LargeIconTooLarge);
  EXPECT_EQ(r.problems[5].args, (std::vector<std::wstring>{L"FFFFFFFFFZ", L"Z", L"FFFFFFFF"}));
  EXPECT_EQ(KeptFont(r.rows[4].parsed.font), 0xFFFF);
}

TEST_F(PkgCheck, MoreThan199RowsAreRefused) {
  std::wstring text;
  for (int i = 1; i <= 200; ++i) text += L"a.dat,\\d" + std::to_wstring(i) + L",.,\r\n";
  CheckReport r = check(text);
  EXPECT_TRUE(r.refused);
  EXPECT_THAT(found(r), ElementsAre(Found{M::TooManyRows, 200, 1}));
  EXPECT_EQ(ExitStatusOf(r.problems), 2);

  text.erase(text.rfind(L"a.dat"));
  r = check(text);
  EXPECT_FALSE(r.refused);
  EXPECT_THAT(found(r), ElementsAre());

  r = check(std::string("\xFF\xFE", 2) + test::Sjis(text));
  EXPECT_TRUE(r.refused && r.utf16 && r.rows.empty());
}

TEST_F(PkgCheck, AnUnreadableFileIsAnError) {
  const CheckReport r =
      CheckSetupInfo(t.files, test::TestShiftJis(), L"C:\\pkg\\none.inf", L"C:\\pkg");
  EXPECT_FALSE(r.readable);
  EXPECT_THAT(found(r), ElementsAre(Found{M::CannotRead, 0, 0}));
}

// The report's rows must be what the installer's own ReadSetupInfo stores.
TEST_F(PkgCheck, RowsAreStoredAsTheInstallerStoresThem) {
  const std::wstring text = L";head\r\n"
                            L"\"x.exf,\\\\sys\\apps\\,.\\apps\\,Fini,.TBLX,86EC,264B7A\" ;note\r\n"
                            L"a.dat,,.,\r\n"
                            L"b,c\r\n"
                            L"\\b.dat\\, d ,sub,other\r\n"
                            L"表.exf,\\文書,.,fini,.A\r";
  const CheckReport r = check(text);
  Program& p = t.p;
  p.g.SetupInfPath = L"C:\\pkg\\Setup.inf";
  p.g.SourceDir = L"C:\\pkg";
  ASSERT_EQ(ReadSetupInfo(p), ReadResult::Ok);
  ASSERT_EQ(r.rows.size(), 4u);
  const std::size_t lines[] = {2, 3, 5, 6};
  for (std::size_t i = 0; i < r.rows.size(); ++i) {
    const CheckedRow& row = r.rows[i];
    EXPECT_EQ(row.parsed.line, lines[i]);
    EXPECT_EQ(row.parsed.row.FileName, p.setupTable[i].FileName);
    EXPECT_EQ(row.parsed.row.DestPath, p.setupTable[i].DestPath);
    EXPECT_EQ(row.parsed.row.SourcePath, p.setupTable[i].SourcePath);
    EXPECT_EQ(row.parsed.row.Control, p.setupTable[i].Control);
    if (p.setupTable[i].isFini()) {
      EXPECT_EQ(row.parsed.suffix, p.finiTable[i].suffix);
      EXPECT_EQ(row.parsed.font, p.finiTable[i].font);
      EXPECT_EQ(row.parsed.mmp, p.finiTable[i].mmp);
      EXPECT_EQ(row.app, p.finiTable[i].app);
    } else {
      EXPECT_TRUE(row.app.empty());
    }
  }
  EXPECT_TRUE(p.setupTable[4].terminates());
  EXPECT_EQ(r.rows[0].app, FitWidth(L"\\SYS\\APPS\\X.EXF", 32));
}

TEST_F(PkgCheck, IgnoredLinesSayWhy) {
  const CheckReport r = check(L"; comment\r\n\r\n   \r\n[PORT]=1\r\na,b,c\r\n,x,y,z\r\n[PORT]=2\r\n"
                              L"a.dat,,.,\r\n\"\"\r\n");
  std::vector<std::pair<std::size_t, IgnoredReason>> got;
  for (const IgnoredLine& i : r.ignored) got.emplace_back(i.line, i.reason);
  EXPECT_THAT(got, ElementsAre(std::pair{1u, IgnoredReason::CommentOrBlank},
                               std::pair{2u, IgnoredReason::CommentOrBlank},
                               std::pair{3u, IgnoredReason::CommentOrBlank},
                               std::pair{5u, IgnoredReason::TooFewCommas},
                               std::pair{6u, IgnoredReason::EmptyFileName},
                               std::pair{7u, IgnoredReason::SecondPort},
                               std::pair{9u, IgnoredReason::CommentOrBlank}));
  EXPECT_EQ(r.port, 1);
  EXPECT_EQ(r.portLine, 4u);
  EXPECT_EQ(r.lineCount, 9u);
}

TEST_F(PkgCheck, SizesFollowTheInstallersRule) {
  const std::wstring text = L"*.dat,\\data,.,\r\nx.exf,\\DATA,.,\r\nviewer.exf,,.\\apps,\r\n"
                            L"none.dat,\\other,.,\r\n";
  const CheckReport r = check(text);
  ASSERT_EQ(r.rows.size(), 4u);
  // a.dat 10 -> 512, b.dat 600 -> 1024, longname9.dat 1 -> 512; x.exf 1024 -> 1536.
  EXPECT_EQ(r.rows[0].countedBytes, 2048u);
  EXPECT_EQ(r.rows[1].countedBytes, 1536u);
  EXPECT_EQ(r.rows[2].countedBytes, 1024u);
  EXPECT_EQ(r.rows[3].countedBytes, 0u);
  std::uint64_t perFile = 0;
  for (const CheckedRow& row : r.rows)
    for (const CheckedFile& f : row.files) perFile += f.counted;
  EXPECT_EQ(perFile, r.totalBytes);

  t.p.g.SetupInfPath = L"C:\\pkg\\Setup.inf";
  t.p.g.SourceDir = L"C:\\pkg";
  ASSERT_EQ(ReadSetupInfo(t.p), ReadResult::Ok);
  EXPECT_EQ(r.totalBytes, 合計容量(t.p));

  std::vector<std::tuple<std::wstring, std::uint64_t, std::size_t>> dirs;
  for (const DirectorySize& d : r.directories) dirs.emplace_back(d.deviceDir, d.bytes, d.files);
  EXPECT_THAT(dirs, ElementsAre(std::tuple{L"\\DATA", 3584u, 4u}, std::tuple{L"\\", 1024u, 1u},
                                std::tuple{L"\\OTHER", 0u, 0u}));
  EXPECT_EQ(r.rows[0].files[1].name, L"b.dat");
  EXPECT_EQ(r.rows[0].files[1].devicePath, L"\\DATA\\B.DAT");
}

TEST(PkgSourceDirOf, IsTheFolderAsGiven) {
  EXPECT_EQ(SourceDirOf(L"Setup.inf"), L".");
  EXPECT_EQ(SourceDirOf(L"pkg/Setup.inf"), L"pkg");
  EXPECT_EQ(SourceDirOf(L"C:\\pkg\\Setup.inf"), L"C:\\pkg");
  EXPECT_EQ(SourceDirOf(L"/Setup.inf"), L"");
}

} // namespace
} // namespace vokuta::pkg
