#include "pkg/plan.h"

#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include "fini/fini_image.h"
#include "pkg/ravuz.h"
#include "support/test_program.h"

namespace vokuta::pkg {
namespace {

using ::testing::ElementsAre;

// A step where a plan stopped: line, kind, path and reason.
std::string summary(const PlanStep& s) {
  static const char* const kinds[] = {"mkdir", "write", "replace", "fail", "assoc"};
  return std::to_string(s.line) + " " + kinds[static_cast<int>(s.kind)] + " " +
         test::Sjis(s.devicePath) + " reason " + std::to_string(static_cast<int>(s.reason));
}

class PkgPlan : public ::testing::Test {
protected:
  PkgPlan() {
    t.files.addFile(L"C:\\pkg\\apps\\calc.exf", std::string(1200, 'c'));
    t.files.addFile(L"C:\\pkg\\data\\a.dat", std::string(100, 'a'));
    t.files.addFile(L"C:\\device\\SYSTEM\\APPS\\VIEWER.EXF", std::string(280, 'o'));
    t.files.addFile(kRavuz, std::string(6 * kFiniRecordBytes, '\0')); // six empty slots
  }
  Plan plan(const std::wstring& setupInf, std::uint64_t capacity) {
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
