#include "pkg/ravuz.h"

#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include "support/test_codepage.h"

namespace vokuta::pkg {
namespace {

using ::testing::ElementsAre;

// One record's bytes: suffix, attr, id, font, mmp, file, app.
std::vector<std::uint8_t> record(const std::string& suffix, std::uint16_t font = 0,
                                 std::uint32_t mmp = 0, const std::string& app = "") {
  std::vector<std::uint8_t> b(kFiniRecordBytes, 0);
  std::copy(suffix.begin(), suffix.end(), b.begin());
  b[8] = static_cast<std::uint8_t>(font), b[9] = static_cast<std::uint8_t>(font >> 8);
  for (int i = 0; i < 4; ++i) b[10 + i] = static_cast<std::uint8_t>(mmp >> (8 * i));
  std::copy(app.begin(), app.end(), b.begin() + 22);
  return b;
}

std::vector<std::uint8_t> file(std::initializer_list<std::vector<std::uint8_t>> records) {
  std::vector<std::uint8_t> bytes;
  for (const auto& r : records) bytes.insert(bytes.end(), r.begin(), r.end());
  return bytes;
}

const std::vector<std::uint8_t> kReserved = record(".EXF", 1, 2, "\\SYSTEM\\SHELL.EXF");
const std::vector<std::uint8_t> kEmpty = record("");

TEST(PkgRavuz, RefusesWhatIsNoWholeTable) {
  using S = RavuzFile::Status;
  const std::pair<std::size_t, S> cases[] = {{0, S::Ok},
                                             {54, S::Ok},
                                             {64 * 54, S::Ok},
                                             {53, S::NotWholeRecords},
                                             {100, S::NotWholeRecords},
                                             {64 * 54 + 1, S::NotWholeRecords},
                                             {65 * 54, S::TooManyRecords}};
  for (const auto& [length, status] : cases) {
    const RavuzFile f = RavuzOf(std::vector<std::uint8_t>(length, 0x41), test::TestShiftJis());
    EXPECT_EQ(std::tuple(f.status, f.records.size(), ExitStatusOf(f)),
              std::tuple(status, status == S::Ok ? length / 54 : 0u, status == S::Ok ? 0 : 2))
        << length;
  }
}

// A record's flags: Reserved, Free, Empty, Dropped, at risk (!), and where it moves.
std::string flags(const RavuzRecord& r) {
  const std::string out = std::string(r.reserved ? "R" : "") + (r.free ? "F" : "") +
                          (r.empty ? "E" : "") + (r.dropped ? "D" : "") + (r.atRisk() ? "!" : "");
  return r.movesTo ? out + ">" + std::to_string(*r.movesTo) : out;
}

TEST(PkgRavuz, FlagsWhatTheInstallerTreatsAsFreeOrDrops) {
  const RavuzFile f = RavuzOf(file({kReserved, kEmpty, kReserved, kReserved,
                                    record(".TXT", 0x810, 0x201000, "\\SYSTEM\\EDIT.EXF"),
                                    record("", 0x811, 0, "\\SYSTEM\\LOST.EXF"),
                                    record(" .BA", 0x812, 0, "\\SYSTEM\\BASIC.EXF"), kEmpty,
                                    record("  \t\x01", 0x814), // written back as 0
                                    record(".DOC", 0x813, 0, "\\SYSTEM\\WORD.EXF")}),
                              test::TestShiftJis());
  std::vector<std::string> got;
  for (const RavuzRecord& r : f.records) got.push_back(flags(r));
  EXPECT_THAT(got, ElementsAre("R", "RE", "R", "R", "", "FD!", "F!>5", "FED", "FD!", ">6"));
  EXPECT_EQ(ExitStatusOf(f), 1);
}

TEST(PkgRavuz, DiffShowsWhatChangedSlotBySlot) {
  const auto a = file({kReserved, kReserved, kReserved, kReserved,
                       record(".TX", 0x810, 1, "\\SYSTEM\\EDIT.EXF"),
                       record(".DOC", 0x813, 3, "\\SYSTEM\\WORD.EXF")});
  auto bBytes = file({kReserved, kReserved, kReserved, kReserved,
                      record(".TX", 0x810, 1, "\\SYSTEM\\EDIT.EXF"), kEmpty,
                      record(".VWR", 0x900, 4, "\\SYSTEM\\VIEW.EXF")});
  bBytes[4 * 54 + 3] = ' '; // a blank where A has 0: shows alike
  RavuzFile fa = RavuzOf(a, test::TestShiftJis()), fb = RavuzOf(bBytes, test::TestShiftJis());
  const RavuzDiff d = DiffRavuz(fa, fb, test::TestShiftJis());
  using K = SlotChange::Kind;
  std::vector<std::string> got;
  for (const SlotChange& c : d.changes) {
    got.push_back(std::to_string(c.slot) + (c.kind == K::Added     ? " added"
                                            : c.kind == K::Removed ? " removed"
                                                                   : " changed"));
    for (const auto& f : c.fields)
      got.back() +=
          std::string(" ") + f.field + " " + test::Sjis(f.before) + ">" + test::Sjis(f.after);
  }
  EXPECT_THAT(got, ElementsAre("4 changed suffix 2E 54 58 00>2E 54 58 20",
                               "5 removed suffix .DOC> font 0813>0000 mmp 00000003>00000000 app "
                               "\\SYSTEM\\WORD.EXF>",
                               "6 added suffix >.VWR font 0000>0900 mmp 00000000>00000004 app "
                               ">\\SYSTEM\\VIEW.EXF"));
  EXPECT_EQ(ExitStatusOf(d), 1);
  EXPECT_EQ(ExitStatusOf(DiffRavuz(fa, fa, test::TestShiftJis())), 0);
  const RavuzFile broken = RavuzOf(std::vector<std::uint8_t>(10), test::TestShiftJis());
  EXPECT_EQ(ExitStatusOf(DiffRavuz(fa, broken, test::TestShiftJis())), 2);
}

} // namespace
} // namespace vokuta::pkg
