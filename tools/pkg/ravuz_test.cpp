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

TEST(PkgRavuz, RefusesWhatIsNoWholeTable) {
  using S = RavuzFile::Status;
  const std::pair<std::size_t, S> cases[] = {{0, S::Ok},
                                             {54, S::Ok},
                                             {64 * 54, S::Ok},
                                             {53, S::NotWholeRecords},
                                             {64 * 54 + 1, S::NotWholeRecords},
                                             {65 * 54, S::TooManyRecords}};
  for (const auto& [length, status] : cases) {
    const RavuzFile f = RavuzOf(std::vector<std::uint8_t>(length, 0x41), test::TestShiftJis());
    EXPECT_EQ(std::tuple(f.status, f.records.size(), ExitStatusOf(f)),
              std::tuple(status, status == S::Ok ? length / 54 : 0u, status == S::Ok ? 0 : 2))
        << length;
  }
}

// The kept reports show the other flags; bytes up to 32 (blank) read as blanks, and a suffix of
// only those is written back as 0: the record is dropped and the next one moves up.
TEST(PkgRavuz, ASuffixOfBlanksAndControlsIsDropped) {
  const RavuzFile f = RavuzOf(file({kReserved, kReserved, kReserved, kReserved,
                                    record("  \t\x01", 0x814), record(".DOC", 0x813)}),
                              test::TestShiftJis());
  EXPECT_EQ(std::tuple(f.records[4].free, f.records[4].dropped, f.records[5].movesTo),
            std::tuple(true, true, std::optional<std::size_t>(4)));
}

// The kept reports show slots added and changed, and a diff's status when slots differ.
TEST(PkgRavuz, DiffShowsWhatChangedSlotBySlot) {
  const auto a = file({kReserved, kReserved, kReserved, kReserved,
                       record(".TX", 0x810, 1, "\\SYSTEM\\EDIT.EXF"),
                       record(".DOC", 0x813, 3, "\\SYSTEM\\WORD.EXF")});
  auto bBytes = file({kReserved, kReserved, kReserved, kReserved,
                      record(".TX", 0x810, 1, "\\SYSTEM\\EDIT.EXF"), record("")});
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
                               "\\SYSTEM\\WORD.EXF>"));
  EXPECT_EQ(ExitStatusOf(DiffRavuz(fa, fa, test::TestShiftJis())), 0);
  const RavuzFile broken = RavuzOf(std::vector<std::uint8_t>(10), test::TestShiftJis());
  EXPECT_EQ(ExitStatusOf(DiffRavuz(fa, broken, test::TestShiftJis())), 2);
}

} // namespace
} // namespace vokuta::pkg
