#include "pkg/check.h"

#include <filesystem>
#include <map>
#include <set>

#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include "devsim/sim_device.h"
#include "mainwin/item_list_view.h"
#include "pkg/device_names.h"
#include "pkg/posix_files.h"
#include "setupinfo/item_list.h"
#include "support/test_program.h"
#include "util/text.h"

namespace vokuta::pkg {
namespace {

using ::testing::ElementsAre;
using M = MessageId;

// The problems found, as "key@line:column" joined by blanks.
std::string found(const CheckReport& r) {
  std::string out;
  for (const Problem& p : r.problems)
    out += (out.empty() ? "" : " ") + std::string(KeyOf(p.id)) + "@" + std::to_string(p.line) +
           ":" + std::to_string(p.column);
  return out;
}

// A package folder C:\pkg with a few files; each test writes its Setup.inf. (The packages of
// tests/packages show each kind of problem once; these cases are the edges around them.)
struct Package {
  Package() {
    t.files.addFile(L"C:\\pkg\\a.dat", std::string(10, 'a'));
    t.files.addFile(L"C:\\pkg\\b.dat", std::string(600, 'b'));
    t.files.addFile(L"C:\\pkg\\x.exf", std::string(1024, 'x'));
    t.files.addFile(L"C:\\pkg\\longname9.dat", "l");
    t.files.addFile(L"C:\\pkg\\apps\\viewer.exf", std::string(513, 'v'));
  }
  CheckReport check(const std::string& bytes) {
    t.files.addFile(L"C:\\pkg\\Setup.inf", bytes);
    return CheckSetupInfo(t.files, test::TestShiftJis(), L"C:\\pkg\\Setup.inf", L"C:\\pkg");
  }
  CheckReport check(const std::wstring& text) { return check(test::Sjis(text)); }
  // The installer's own reading of the last Setup.inf checked.
  void readAsTheInstaller() {
    t.p.g.SetupInfPath = L"C:\\pkg\\Setup.inf";
    t.p.g.SourceDir = L"C:\\pkg";
    ASSERT_EQ(ReadSetupInfo(t.p), ReadResult::Ok);
  }

  test::TestProgram t;
};

class PkgCheck : public ::testing::Test, protected Package {};

TEST_F(PkgCheck, NamesEachProblemByLineAndColumn) {
  const std::pair<std::wstring, std::string> cases[] = {
      {L"a.dat,\\d,.\r\n  junk\r\n", "no-rows@0:0 too-few-commas@1:1 too-few-commas@2:3"},
      {L"a.dat,\\d,.,\r\n\\\\,\\d,.,\r\n", "empty-file-name@2:1"},
      {L"[PORT]=9\r\na.dat,,.,\r\n[port]=2 ;again\r\n", "second-port@3:1"},
      {L"[PORT]=123\r\na.dat,,.,\r\n", "port-unclear@1:8"},
      {L"\"a.dat, \\d,.,\"\r\n", "blanks-kept@1:8"},
      {L"a.dat,\\d,.,,.TBL\r\n", "association-columns-unused@1:13"},
      {L"a.dat,\\d,.,\r\n\\none.dat,\\d,.,\r\n", "source-missing@2:2"},
      {L"long*.dat,\\d,.,\r\n", "name-too-long@1:1"},
      {L"a.dat,\\d,.,\r\nA.DAT,\\D,.,\r\n?.dat,\\e,.,\r\n", "same-device-path@2:1"},
      {L"x.exf,\\d,.,Fini, .TB,1,2\r\n", "suffix-looks-free@1:17"},
      {L"x.exf,\\d,.,fini\r\n", "suffix-looks-free@1:16"},
      {L"x.exf,\\d,.,Fini,.X,100000000,1\r\n", "small-icon-too-large@1:20"},
      {L"x.exf,\\abcdefgh\\abcdefgh\\abcdefg,.,Fini,.X,1,2\r\n", ""}, // 32 bytes: not cut
      {L"", "no-rows@0:0"},
  };
  for (const auto& [file, problems] : cases) {
    Package fresh;
    EXPECT_EQ(found(fresh.check(file)), problems) << test::Sjis(file);
  }
  EXPECT_EQ(found(CheckSetupInfo(t.files, test::TestShiftJis(), L"C:\\none.inf", L"C:\\")),
            "cannot-read@0:0");
}

TEST_F(PkgCheck, ProblemsCarryTheTextsTheirMessagesNeed) {
  const CheckReport r = check(L"a.dat,\\d,.,\r\nA.DAT,\\D,.,\r\nnone.dat,\\d,.,\r\n"
                              L"x.exf,\\d,.,Fini,.X,12349,1\r\n"
                              L"x.exf,\\e,.,Fini,.Y,FFFFFFFFFF,FFFFFFFFFZ\r\n");
  std::vector<std::wstring> args;
  for (const Problem& p : r.problems) {
    args.emplace_back();
    for (const std::wstring& a : p.args) args.back() += a + L"|";
  }
  // What the table keeps of a number too large: its low bits, as the installer reads it.
  EXPECT_THAT(args, ElementsAre(L"\\D\\A.DAT|1|", L"C:\\pkg\\.\\none.dat|", L"12349|2349|",
                                L"FFFFFFFFFF|FFFF|", L"FFFFFFFFFZ|", L"FFFFFFFFFZ|Z|FFFFFFFF|"));
}

// 199 rows are taken, 200 refused; nor is big-endian UTF-16 taken.
TEST_F(PkgCheck, MoreThan199RowsAreRefused) {
  std::wstring text;
  for (int i = 1; i < 200; ++i) text += L"a.dat,\\d" + std::to_wstring(i) + L",.,\r\n";
  CheckReport r = check(text);
  EXPECT_EQ(std::tuple(r.refused, found(r)), std::tuple(false, ""));
  EXPECT_TRUE(check(text + L"a.dat,\\d,.,\r\n").refused);
  r = check("\xFE\xFF" + test::Sjis(text));
  EXPECT_TRUE(r.refused && r.utf16 && r.rows.empty());
  EXPECT_EQ(found(r), "utf16@0:0");
}

TEST_F(PkgCheck, RowsAndIgnoredLinesAreWhatTheInstallerStores) {
  const CheckReport r =
      check(L";head\r\n\r\n   \r\n[PORT]=1\r\n"
            L"\"x.exf,\\\\sys\\apps\\,.\\apps\\,Fini,.TBLX,86EC,264B7A\" ;note\r\n"
            L"a.dat,,.,\r\nb,c\r\n,x,y,z\r\n[PORT]=2\r\n\"\"\r\n"
            L"\\b.dat\\, d ,sub,other\r\n"
            L"表.exf,\\文書,.,fini,.A\r");
  readAsTheInstaller();
  const Program& p = t.p;
  ASSERT_EQ(r.rows.size(), 4u);
  const std::size_t lines[] = {5, 6, 11, 12};
  for (std::size_t i = 0; i < r.rows.size(); ++i) {
    const ParsedRow& g = r.rows[i].parsed;
    const SetupRow& s = p.setupTable[i];
    EXPECT_EQ(std::tie(g.line, g.row.FileName, g.row.DestPath, g.row.SourcePath, g.row.Control),
              std::tie(lines[i], s.FileName, s.DestPath, s.SourcePath, s.Control));
    if (s.isFini())
      EXPECT_EQ(std::tie(g.suffix, g.font, g.mmp, r.rows[i].app),
                std::tie(p.finiTable[i].suffix, p.finiTable[i].font, p.finiTable[i].mmp,
                         p.finiTable[i].app));
    else
      EXPECT_TRUE(r.rows[i].app.empty());
  }
  EXPECT_TRUE(p.setupTable[4].terminates());
  EXPECT_EQ(r.rows[0].app, FitWidth(L"\\SYS\\APPS\\X.EXF", 32));

  // Line: reason (0 comment or blank, 1 too few commas, 2 empty file name, 3 second port).
  std::vector<std::string> ignored;
  for (const IgnoredLine& i : r.ignored)
    ignored.push_back(std::to_string(i.line) + ":" + std::to_string(static_cast<int>(i.reason)));
  EXPECT_THAT(ignored, ElementsAre("1:0", "2:0", "3:0", "7:1", "8:2", "9:3", "10:0"));
  EXPECT_EQ(std::tie(r.port, r.portLine, r.lineCount), std::tuple(std::optional(1), 4u, 12u));
}

TEST_F(PkgCheck, SizesFollowTheInstallersRule) {
  const CheckReport r = check(L"*.dat,\\data,.,\r\nx.exf,\\DATA,.,\r\nviewer.exf,,.\\apps,\r\n"
                              L"none.dat,\\other,.,\r\n");
  readAsTheInstaller();
  // Files and rows as the kept reports show them; the sum as the installer counts it, with x.exf
  // of 1024 bytes counting 1536; a directory by its device name, whatever case the rows give.
  EXPECT_EQ(r.totalBytes, 合計容量(t.p));
  std::vector<std::tuple<std::wstring, std::uint64_t, std::size_t>> dirs;
  for (const DirectorySize& d : r.directories) dirs.emplace_back(d.deviceDir, d.bytes, d.files);
  EXPECT_THAT(dirs, ElementsAre(std::tuple{L"\\DATA", 3584u, 4u}, std::tuple{L"\\", 1024u, 1u},
                                std::tuple{L"\\OTHER", 0u, 0u}));
}

// The example packages of tests/packages, each broken in one way (and "good" in none), read from
// the real file system as vokuta-pkg reads them.
// Every package folder must be listed here with what check finds in it.
const std::map<std::string, std::string> kPackages = {
    {"good", ""},
    {"utf8-with-bom", ""},
    {"too-few-commas", "too-few-commas@3:1"},
    {"empty-file-name", "empty-file-name@3:1"},
    {"second-port", "second-port@3:1"},
    {"port-unclear", "port-unclear@1:8"},
    {"no-character", "no-character@1:2"},
    {"utf8-without-bom", "utf8-without-bom@1:2 no-character@1:3"},
    {"blanks-kept", "blanks-kept@2:7"},
    {"control", "unknown-control@2:15 control-blanks@3:15 association-columns-unused@3:21"},
    {"file-name-backslash", "file-name-backslash@2:1"},
    {"source-missing", "source-missing@3:1"},
    {"wildcard-no-match", "wildcard-no-match@2:1"},
    {"name-too-long", "name-too-long@2:1 name-too-long@3:8"},
    {"name-last-byte-5c", "name-last-byte-5c@2:8 name-last-byte-5c@3:1"},
    {"name-unusable", "name-dots@2:1 name-bad-character@3:8 name-empty@4:10"},
    {"name-reserved", "name-reserved@2:8 name-reserved@3:13"},
    {"same-device-path", "same-device-path@3:1"},
    {"suffix-cut", "suffix-cut@2:26"},
    {"suffix-looks-free", "suffix-looks-free@2:22"},
    {"suffix-not-single-byte", "suffix-not-single-byte@2:23"},
    {"icon-too-large", "small-icon-too-large@2:27 large-icon-too-large@2:38"},
    {"suffix-no-dot", "suffix-no-dot@2:22"},
    {"utf16", "utf16@0:0"},
    {"control-char", "source-missing@2:1 name-bad-character@2:1 name-bad-character@2:12"},
    {"icon-not-hex", "icon-not-hex@2:32"},
    {"repeated-suffix", "repeated-suffix@3:22"},
    {"app-path", "app-path-not-single-byte@2:1 app-path-cut@3:1 app-path-wildcard@4:1"},
    {"too-many-rows", "too-many-rows@201:1"},
    {"no-rows", "no-rows@0:0"},
};

// Every package folder has its expectation, and every kind of problem that check can find has a
// package that shows it, but for a Setup.inf that cannot be read, which no package can be.
TEST(PkgPackages, EachReportsWhatItIsBrokenBy) {
  namespace fs = std::filesystem;
  PosixFiles files;
  std::set<std::string> seen;
  std::set<MessageId> shown = {M::CannotRead};
  for (const auto& entry : fs::directory_iterator(VOKUTA_TEST_PACKAGES)) {
    const std::string name = entry.path().filename().string();
    const auto it = kPackages.find(name);
    if (!fs::exists(entry.path() / "Setup.inf")) continue;
    ASSERT_TRUE(it != kPackages.end()) << name << " has no expectation here";
    seen.insert(name);
    const std::wstring dir = DecodeUtf8(entry.path().string());
    const CheckReport r = CheckSetupInfo(files, test::TestShiftJis(), dir + L"/Setup.inf", dir);
    for (const Problem& p : r.problems) shown.insert(p.id);
    EXPECT_EQ(found(r), it->second) << name;
  }
  EXPECT_EQ(seen.size(), kPackages.size());
  EXPECT_EQ(shown.size(), static_cast<std::size_t>(kLastMessageId) + 1);
}

TEST(PkgSourceDirOf, IsTheFolderAsGiven) {
  const std::pair<const wchar_t*, const wchar_t*> cases[] = {{L"Setup.inf", L"."},
                                                             {L"pkg/Setup.inf", L"pkg"},
                                                             {L"C:\\pkg\\Setup.inf", L"C:\\pkg"},
                                                             {L"/Setup.inf", L""}};
  for (const auto& [inf, dir] : cases) EXPECT_EQ(SourceDirOf(inf), dir) << test::Sjis(inf);
}

// Names by the fault the device's rule finds in them. Shift-JIS names count in bytes: 表計算表.TX
// is 8 + 2, half-width katakana take one byte each. 表 is 0x95 0x5C, ソ 0x83 0x5C; in 能力 the
// 0x5C of 能 is not the last byte. é has no Shift-JIS code, U+FFFD stands for a byte that was
// no character.
const std::pair<std::optional<MessageId>, std::vector<const wchar_t*>> kNames[] = {
    {std::nullopt,
     {L"A", L"ABCDEFGH.EXF", L"表計算表.TX", L"ｱｲｳｴｵｶｷｸ.ｹｺｻ", L"MY APP.EXF", L"表.DAT", L"能力",
      L"COM0", L"CONS.TXT"}},
    {M::NameTooLong, {L"ABCDEFGHI", L"A.EXFX", L"表計算表計算", L"A.表計"}},
    {M::NameDots, {L".EXF", L"A.B.C", L".", L".."}},
    {M::NameBadCharacter,
     {L"A*B", L"A?", L"A:B", L"A\"B", L"A/B", L"A<B>", L"A|B", L"A\tB", L"Aé", L"A\xFFFD"}},
    {M::NameLastByte5C, {L"ソ", L"一覧表"}},
    {M::NameReserved, {L"con", L"Com1.exf", L"LPT9", L"NUL .TXT"}}};

// All but the 0x5C and reserved-name rules are the simulated device's own.
TEST(PkgDeviceNames, FollowTheDevicesRuleAsTheSimulatedDeviceDoes) {
  test::FakePcFiles files;
  devsim::Config config;
  config.deviceDir = L"C:\\device";
  const devsim::SimulatedDevice device(config, files, test::TestShiftJis());
  for (const auto& [expected, names] : kNames) {
    for (const wchar_t* name : names) {
      SCOPED_TRACE(test::Sjis(name));
      const auto fault = DeviceNameFault(name, test::TestShiftJis());
      EXPECT_EQ(fault ? std::optional(fault->id) : std::nullopt, expected);
      const bool deviceTakes =
          device.hostPath(test::TestShiftJis().encode(L"\\" + std::wstring(name))).has_value();
      EXPECT_EQ(deviceTakes,
                !expected || expected == M::NameLastByte5C || expected == M::NameReserved);
    }
  }
}

TEST(PkgDeviceNames, EveryDirectoryOfAPathIsChecked) {
  std::vector<std::tuple<std::size_t, MessageId, std::vector<std::wstring>>> got;
  for (const auto& f : DeviceDirFaults(L"\\SYSTEM\\toolongname\\\\一覧表", test::TestShiftJis()))
    got.emplace_back(f.offset, f.fault.id,
                     f.fault.id == M::NameTooLong ? f.fault.args : std::vector<std::wstring>());
  EXPECT_EQ(got, (decltype(got){{8, M::NameTooLong, {L"toolongname", L"11", L"0"}},
                                {20, M::NameEmpty, {}},
                                {21, M::NameLastByte5C, {}}}));
}

} // namespace
} // namespace vokuta::pkg
