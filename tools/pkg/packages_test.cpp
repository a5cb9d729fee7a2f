// The example packages of tests/packages, each broken in one way (and "good" in none), read from
// the real file system as vokuta-pkg reads them.
#include <filesystem>
#include <map>
#include <set>

#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include "pkg/check.h"
#include "pkg/posix_files.h"
#include "support/test_codepage.h"
#include "util/shift_jis.h"

namespace vokuta::pkg {
namespace {

using M = MessageId;

struct Expected {
  MessageId id;
  std::size_t line;
  std::size_t column;
  bool operator==(const Expected&) const = default;
};

void PrintTo(const Expected& e, std::ostream* os) {
  *os << KeyOf(e.id) << "@" << e.line << ":" << e.column;
}

// Every package folder must be listed here with what check finds in it.
const std::map<std::string, std::vector<Expected>> kPackages = {
    {"good", {}},
    {"utf8-with-bom", {}},
    {"too-few-commas", {{M::TooFewCommas, 3, 1}}},
    {"empty-file-name", {{M::EmptyFileName, 3, 1}}},
    {"second-port", {{M::SecondPort, 3, 1}}},
    {"port-unclear", {{M::PortUnclear, 1, 8}}},
    {"no-character", {{M::NoCharacter, 1, 2}}},
    {"utf8-without-bom", {{M::Utf8WithoutBom, 1, 2}, {M::NoCharacter, 1, 3}}},
    {"blanks-kept", {{M::BlanksKept, 2, 7}}},
    {"control",
     {{M::UnknownControl, 2, 15}, {M::ControlBlanks, 3, 15}, {M::AssocColumnsUnused, 3, 21}}},
    {"file-name-backslash", {{M::FileNameBackslash, 2, 1}}},
    {"source-missing", {{M::SourceMissing, 3, 1}}},
    {"wildcard-no-match", {{M::WildcardNoMatch, 2, 1}}},
    {"name-too-long", {{M::NameTooLong, 2, 1}, {M::NameTooLong, 3, 8}}},
    {"name-last-byte-5c", {{M::NameLastByte5C, 2, 8}, {M::NameLastByte5C, 3, 1}}},
    {"name-unusable", {{M::NameDots, 2, 1}, {M::NameBadCharacter, 3, 8}, {M::NameEmpty, 4, 10}}},
    {"name-reserved", {{M::NameReserved, 2, 8}, {M::NameReserved, 3, 13}}},
    {"same-device-path", {{M::SameDevicePath, 3, 1}}},
    {"suffix-cut", {{M::SuffixCut, 2, 26}}},
    {"suffix-looks-free", {{M::SuffixLooksFree, 2, 22}}},
    {"suffix-not-single-byte", {{M::SuffixNotSingleByte, 2, 23}}},
    {"icon-too-large", {{M::SmallIconTooLarge, 2, 27}, {M::LargeIconTooLarge, 2, 38}}},
    {"suffix-no-dot", {{M::SuffixNoDot, 2, 22}}},
    {"utf16", {{M::Utf16, 0, 0}}},
    {"control-char",
     {{M::SourceMissing, 2, 1}, {M::NameBadCharacter, 2, 1}, {M::NameBadCharacter, 2, 12}}},
    {"icon-not-hex", {{M::IconNotHex, 2, 32}}},
    {"repeated-suffix", {{M::RepeatedSuffix, 3, 22}}},
    {"app-path",
     {{M::AppPathNotSingleByte, 2, 1}, {M::AppPathCut, 3, 1}, {M::AppPathWildcard, 4, 1}}},
    {"too-many-rows", {{M::TooManyRows, 201, 1}}},
    {"no-rows", {{M::NoRows, 0, 0}}},
};

TEST(PkgPackages, EachReportsWhatItIsBrokenBy) {
  namespace fs = std::filesystem;
  PosixFiles files;
  std::size_t seen = 0;
  for (const auto& entry : fs::directory_iterator(VOKUTA_TEST_PACKAGES)) {
    if (!fs::exists(entry.path() / "Setup.inf")) continue;
    const std::string name = entry.path().filename().string();
    const auto it = kPackages.find(name);
    if (it == kPackages.end()) {
      ADD_FAILURE() << name << " has no expectation here";
      continue;
    }
    ++seen;
    const std::wstring dir = DecodeUtf8(entry.path().string());
    const CheckReport r = CheckSetupInfo(files, test::TestShiftJis(), dir + L"/Setup.inf", dir);
    std::vector<Expected> got;
    for (const Problem& p : r.problems) got.push_back({p.id, p.line, p.column});
    EXPECT_THAT(got, ::testing::ElementsAreArray(it->second)) << name;
  }
  EXPECT_EQ(seen, kPackages.size());
}

// Every kind of problem that check can find has a package that shows it, but for a Setup.inf
// that cannot be read, which no package can be.
TEST(PkgPackages, CoverEveryKindOfProblem) {
  std::set<MessageId> shown;
  for (const auto& [name, problems] : kPackages)
    for (const Expected& e : problems) shown.insert(e.id);
  for (int i = 0; i <= static_cast<int>(kLastMessageId); ++i) {
    const auto id = static_cast<MessageId>(i);
    if (id == M::CannotRead) continue;
    EXPECT_TRUE(shown.count(id)) << KeyOf(id);
  }
}

} // namespace
} // namespace vokuta::pkg
