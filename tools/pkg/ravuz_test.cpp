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
  const struct {
    std::size_t length;
    RavuzFile::Status status;
  } cases[] = {
      {0, RavuzFile::Status::Ok},
      {54, RavuzFile::Status::Ok},
      {64 * 54, RavuzFile::Status::Ok},
      {53, RavuzFile::Status::NotWholeRecords},
      {100, RavuzFile::Status::NotWholeRecords},
      {64 * 54 + 1, RavuzFile::Status::NotWholeRecords},
      {65 * 54, RavuzFile::Status::TooManyRecords},
  };
  for (const auto& c : cases) {
    const RavuzFile f = RavuzOf(std::vector<std::uint8_t>(c.length, 0x41), test::TestShiftJis());
    EXPECT_EQ(f.status, c.status) << c.length;
    EXPECT_EQ(f.records.size(), c.status == RavuzFile::Status::Ok ? c.length / 54 : 0u);
    EXPECT_EQ(ExitStatusOf(f), c.status == RavuzFile::Status::Ok ? 0 : 2) << c.length;
  }
}

TEST(PkgRavuz, FlagsWhatTheInstallerTreatsAsFreeOrDrops) {
  const RavuzFile f = RavuzOf(file({kReserved, kEmpty, kReserved, kReserved,
                                    record(".TXT", 0x810, 0x201000, "\\SYSTEM\\EDIT.EXF"),
                                    record("", 0x811, 0, "\\SYSTEM\\LOST.EXF"),
                                    record(" .BA", 0x812, 0, "\\SYSTEM\\BASIC.EXF"), kEmpty,
                                    record("  \t\x01", 0x814), // written back as 0
                                    record(".DOC", 0x813, 0, "\\SYSTEM\\WORD.EXF")}),
                              test::TestShiftJis());
  ASSERT_EQ(f.status, RavuzFile::Status::Ok);
  ASSERT_EQ(f.records.size(), 10u);
  struct Flags {
    bool reserved, free, empty, dropped, atRisk;
    std::optional<std::size_t> movesTo;
    bool operator==(const Flags&) const = default;
  };
  std::vector<Flags> got;
  for (const RavuzRecord& r : f.records)
    got.push_back({r.reserved, r.free, r.empty, r.dropped, r.atRisk(), r.movesTo});
  EXPECT_THAT(
      got,
      ElementsAre(
          Flags{true, false, false, false, false, {}},
          Flags{true, false, true, false, false, {}}, // kept: reserved
          Flags{true, false, false, false, false, {}}, Flags{true, false, false, false, false, {}},
          Flags{false, false, false, false, false, {}}, Flags{false, true, false, true, true, {}},
          Flags{false, true, false, false, true, 5}, Flags{false, true, true, true, false, {}},
          Flags{false, true, false, true, true, {}}, Flags{false, false, false, false, false, 6}));
  EXPECT_EQ(f.records[4].record.font, 0x810u);
  EXPECT_EQ(f.records[4].record.mmp, 0x201000u);
  EXPECT_EQ(ShownField(f.records[4].record.app), L"\\SYSTEM\\EDIT.EXF");
  EXPECT_EQ(ExitStatusOf(f), 1);
}

TEST(PkgRavuz, LeadBytesInTextShowAsTheInstallerShowsThem) {
  const RavuzFile f = RavuzOf(
      file({kReserved, kReserved, kReserved, kReserved, record("\x83\x41X", 0, 0, "\\A\x95\x5C")}),
      test::TestShiftJis());
  ASSERT_EQ(f.records.size(), 5u);
  EXPECT_FALSE(f.records[4].free);
  EXPECT_EQ(ShownField(f.records[4].record.suffix), L"?AX");
  EXPECT_EQ(ShownField(f.records[4].record.app), L"\\A?\\");
}

TEST(PkgRavuz, DiffShowsWhatChangedSlotBySlot) {
  const auto a = file({kReserved, kReserved, kReserved, kReserved,
                       record(".TXT", 0x810, 1, "\\SYSTEM\\EDIT.EXF"),
                       record(".TBL", 0x86E, 2, "\\SYSTEM\\OLD.EXF"),
                       record(".DOC", 0x813, 3, "\\SYSTEM\\WORD.EXF")});
  auto bBytes = file({kReserved, kReserved, kReserved, kReserved,
                      record(".TXT", 0x810, 1, "\\SYSTEM\\EDIT.EXF"),
                      record(".TBL", 0x86F, 2, "\\SYSTEM\\NEW.EXF"), kEmpty,
                      record(".VWR", 0x900, 4, "\\SYSTEM\\VIEW.EXF")});
  bBytes[4 * 54 + 42] = ' '; // a blank where A has 0: shows alike
  RavuzFile fa = RavuzOf(a, test::TestShiftJis()), fb = RavuzOf(bBytes, test::TestShiftJis());
  const RavuzDiff d = DiffRavuz(fa, fb, test::TestShiftJis());
  ASSERT_EQ(d.changes.size(), 4u);
  EXPECT_EQ(d.changes[0].slot, 4u);
  EXPECT_EQ(d.changes[0].kind, SlotChange::Kind::Changed);
  ASSERT_EQ(d.changes[0].fields.size(), 1u);
  EXPECT_STREQ(d.changes[0].fields[0].field, "app");
  EXPECT_NE(d.changes[0].fields[0].before, d.changes[0].fields[0].after);

  EXPECT_EQ(d.changes[1].slot, 5u);
  ASSERT_EQ(d.changes[1].fields.size(), 2u);
  EXPECT_STREQ(d.changes[1].fields[0].field, "font");
  EXPECT_EQ(d.changes[1].fields[0].before, L"086E");
  EXPECT_EQ(d.changes[1].fields[0].after, L"086F");
  EXPECT_EQ(d.changes[1].fields[1].after, L"\\SYSTEM\\NEW.EXF");
  EXPECT_EQ(d.changes[2].slot, 6u);
  EXPECT_EQ(d.changes[2].kind, SlotChange::Kind::Removed);
  EXPECT_EQ(d.changes[3].slot, 7u);
  EXPECT_EQ(d.changes[3].kind, SlotChange::Kind::Added);
  EXPECT_EQ(ExitStatusOf(d), 1);

  EXPECT_TRUE(DiffRavuz(fa, fa, test::TestShiftJis()).changes.empty());
  EXPECT_EQ(ExitStatusOf(DiffRavuz(fa, fa, test::TestShiftJis())), 0);
  const RavuzFile broken = RavuzOf(std::vector<std::uint8_t>(10), test::TestShiftJis());
  EXPECT_EQ(ExitStatusOf(DiffRavuz(fa, broken, test::TestShiftJis())), 2);
}

} // namespace
} // namespace vokuta::pkg
