#include "pkg/plan.h"

#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include "fini/fini_image.h"
#include "pkg/ravuz.h"
#include "support/test_program.h"
#include "util/text.h"

namespace vokuta::pkg {
namespace {

using ::testing::ElementsAre;

using Kind = PlanStep::Kind;

// What a step did, for comparing: line, kind, path and bytes, or the association's outcome.
std::string summary(const PlanStep& s) {
  static const char* const kinds[] = {"mkdir", "write", "replace", "fail", "assoc"};
  static const char* const merges[] = {"added", "unchanged", "updated", "needs-slot"};
  std::string out = std::to_string(s.line) + " " + kinds[static_cast<int>(s.kind)] + " " +
                    test::Sjis(s.kind == Kind::Association ? s.suffix : s.devicePath);
  if (s.kind == Kind::Write || s.kind == Kind::Replace) out += " " + std::to_string(s.bytes);
  if (s.kind == Kind::Replace) out += " was " + std::to_string(s.oldBytes);
  if (s.kind == Kind::Fail) out += " reason " + std::to_string(static_cast<int>(s.reason));
  if (s.kind != Kind::Association) return out;
  out += std::string(" ") + merges[static_cast<int>(s.merge)];
  if (s.merge != Merge::NeedsSlot) out += " slot " + std::to_string(s.slot);
  return out + (s.notice ? " notice" : "") + (s.asks ? " asks" : "");
}

class PkgPlan : public ::testing::Test {
protected:
  PkgPlan() {
    t.files.addFile(L"C:\\pkg\\apps\\calc.exf", std::string(1200, 'c'));
    t.files.addFile(L"C:\\pkg\\apps\\viewer.exf", std::string(300, 'v'));
    t.files.addFile(L"C:\\pkg\\data\\a.dat", std::string(100, 'a'));
    t.files.addFile(L"C:\\device\\SYSTEM\\APPS\\VIEWER.EXF", std::string(280, 'o'));
    device({test::Association(L".TXT", L"\\SYSTEM\\EDIT.EXF", 0x810, 0x201000),
            test::Association(L".TBL", L"\\SYSTEM\\APPS\\OLDCALC.EXF", 0x86EC, 0x264B7A)});
  }
  // The device's association file: slots 0..3 reserved and empty, then `records`.
  void device(const std::vector<FiniRecord>& records) {
    test::TestProgram scratch;
    for (std::size_t i = 0; i < records.size(); ++i) scratch.p.deviceFiniTable[4 + i] = records[i];
    rR2FiniB(scratch.p);
    const auto bytes = FiniFileBytes(scratch.p.finiImage);
    t.files.addFile(kRavuz, std::string(bytes.begin(), bytes.end()));
  }
  Plan plan(const std::wstring& setupInf, std::uint64_t capacity = 2 * 1024 * 1024) {
    t.files.addFile(L"C:\\pkg\\Setup.inf", test::Sjis(setupInf));
    t.files.log.clear();
    Plan p = MakePlan(t.files, test::TestShiftJis(), L"C:\\pkg\\Setup.inf", L"C:\\pkg",
                      L"C:\\device", capacity);
    // A dry run only looks.
    for (const std::wstring& call : t.files.log) {
      const std::wstring verb = call.substr(0, call.find(L' '));
      EXPECT_TRUE(verb == L"find" || verb == L"read" || verb == L"length") << test::Sjis(call);
    }
    return p;
  }

  const std::wstring kRavuz = L"C:\\device\\SYSTEM\\RAVUZ.INI";
  test::TestProgram t;
};

// The kept reports show an association added and one updated that asks the user, and a plan
// that stops at a missing PC file.
TEST_F(PkgPlan, AssociationsMergeAsTheInstallerMergesThem) {
  std::vector<FiniRecord> full;
  for (int i = 4; i < 64; ++i)
    full.push_back(test::Association(L".A" + std::to_wstring(i), L"\\X.EXF", 1, 2));
  const std::pair<std::vector<FiniRecord>, std::string> cases[] = {
      {{test::Association(L".TBL", L"\\SYSTEM\\APPS\\CALC.EXF", 0x86EC, 0x264B7A)},
       "1 assoc .TBL unchanged slot 4, exit 0"},
      {full, "1 assoc .TBL needs-slot, exit 1"}};
  for (const auto& [records, expected] : cases) {
    device(records);
    const Plan p = plan(L"calc.exf,\\system\\apps,.\\apps,Fini,.TBL,86EC,264B7A\r\n");
    ASSERT_GE(p.steps.size(), 2u) << expected;
    EXPECT_EQ(summary(p.steps[1]) + ", exit " + std::to_string(ExitStatusOf(p)), expected);
  }
}

TEST_F(PkgPlan, StopsWhereTheInstallerStops) {
  t.files.addFile(L"C:\\device\\BLOCK", "a file, not a directory");
  const struct {
    std::wstring setupInf;
    std::uint64_t capacity;
    std::string stop; // the step, and the rows not reached
  } cases[] = {
      {L"a.dat,\\toolongdir,.\\data,\r\n", 1 << 20, "1 fail \\TOOLONGDIR\\A.DAT reason 1, 0"},
      // Refused by the device before the first row of it is written.
      {L"a.dat,\\d,.\\data,\r\n一覧表,\\d,.\\data,\r\n", 1 << 20,
       test::Sjis(L"2 fail \\D\\一覧表 reason 1, 1")},
      {L"a.dat,\\block\\sub,.\\data,\r\n", 1 << 20, "1 fail \\BLOCK\\SUB\\A.DAT reason 2, 0"},
      {L"a.dat,\\d,.\\data,\r\ncalc.exf,\\d,.\\apps,\r\n", 2048,
       "2 fail \\D\\CALC.EXF reason 3, 0"}};
  for (const auto& c : cases) {
    const Plan p = plan(c.setupInf, c.capacity);
    ASSERT_TRUE(p.stoppedAt) << c.stop;
    EXPECT_EQ(summary(p.steps[*p.stoppedAt]) + ", " + std::to_string(p.rowsNotReached), c.stop);
    EXPECT_TRUE(*p.stoppedAt == p.steps.size() - 1 && !p.ravuzWritten && ExitStatusOf(p) == 2)
        << c.stop;
  }
}

TEST_F(PkgPlan, TheFreeSpaceCheckCountsTheReserve) {
  // Used: 1024. The package counts 512 (a.dat), so the check wants 512 + 10240 free.
  for (const std::uint64_t free : {10240u, 10239u}) {
    const Plan p = plan(L"a.dat,\\d,.\\data,\r\n", 1024 + 512 + free);
    EXPECT_EQ(std::tuple(p.spaceAsks, ExitStatusOf(p), p.freeReported),
              std::tuple(free < 10240, free < 10240 ? 1 : 0, 512 + free));
  }
}

TEST_F(PkgPlan, ADeviceWithoutAssociationFileStartsAnEmptyTable) {
  t.files.deleteFile(kRavuz);
  const Plan p = plan(L"calc.exf,\\system\\apps,.\\apps,Fini,.TBL,86EC,264B7A\r\n"
                      L"*.dat,\\data\\sub,.\\data,\r\n");
  EXPECT_FALSE(p.ravuzFound);
  std::vector<std::string> steps;
  for (const PlanStep& s : p.steps) steps.push_back(summary(s));
  EXPECT_THAT(steps,
              ElementsAre("1 write \\SYSTEM\\APPS\\CALC.EXF 1200", "1 assoc .TBL added slot 4",
                          "2 mkdir \\DATA", "2 mkdir \\DATA\\SUB", "2 write \\DATA\\SUB\\A.DAT 100",
                          "0 write \\SYSTEM\\RAVUZ.INI 270"));
  EXPECT_EQ(ExitStatusOf(p), 1);
}

TEST_F(PkgPlan, ATableTheInstallerRefusesPlansNothing) {
  std::wstring rows;
  for (int i = 0; i < 200; ++i) rows += L"a.dat,\\d,.\\data,\r\n";
  EXPECT_EQ(plan(rows).load, Plan::Load::TooManyRows);
  const Plan p = MakePlan(t.files, test::TestShiftJis(), L"C:\\pkg\\none.inf", L"C:\\pkg",
                          L"C:\\device", 1000);
  EXPECT_EQ(std::tuple(p.load, p.steps.size(), ExitStatusOf(p)),
            std::tuple(Plan::Load::CannotRead, 0u, 2));
}

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
