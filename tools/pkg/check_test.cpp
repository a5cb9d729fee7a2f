#include "pkg/check.h"

#include <filesystem>
#include <map>
#include <set>

#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include "pkg/posix_files.h"
#include "support/test_program.h"
#include "util/text.h"

namespace vokuta::pkg {
namespace {

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
    t.files.addFile(L"C:\\pkg\\x.exf", std::string(1024, 'x'));
    t.files.addFile(L"C:\\pkg\\longname9.dat", "l");
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

} // namespace
} // namespace vokuta::pkg
