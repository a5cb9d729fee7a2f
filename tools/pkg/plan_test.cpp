#include "pkg/plan.h"

#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include "fini/fini_image.h"
#include "support/test_program.h"
#include "util/text.h"

namespace vokuta::pkg {
namespace {

using Kind = PlanStep::Kind;

// What a step did, for comparing: kind, line, path and bytes, or the association's outcome.
std::string summary(const PlanStep& s) {
  const auto narrow = [](const std::wstring& w) { return test::Sjis(w); };
  std::string out = std::to_string(s.line) + " ";
  switch (s.kind) {
  case Kind::CreateDir:
    return out + "mkdir " + narrow(s.devicePath);
  case Kind::Write:
    return out + "write " + narrow(s.devicePath) + " " + std::to_string(s.bytes);
  case Kind::Replace:
    return out + "replace " + narrow(s.devicePath) + " " + std::to_string(s.bytes) + " was " +
           std::to_string(s.oldBytes);
  case Kind::Fail:
    return out + "fail " + narrow(s.devicePath) + " reason " +
           std::to_string(static_cast<int>(s.reason));
  case Kind::Association:
    break;
  }
  static const char* const merges[] = {"added", "unchanged", "updated", "needs-slot"};
  out += "assoc " + narrow(s.suffix) + " " + merges[static_cast<int>(s.merge)];
  if (s.merge != Merge::NeedsSlot) out += " slot " + std::to_string(s.slot);
  if (s.notice) out += " notice";
  if (s.asks) out += " asks";
  return out;
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
  std::vector<std::string> steps(const Plan& p) {
    std::vector<std::string> out;
    for (const PlanStep& s : p.steps) out.push_back(summary(s));
    return out;
  }

  const std::wstring kRavuz = L"C:\\device\\SYSTEM\\RAVUZ.INI";
  test::TestProgram t;
};

TEST_F(PkgPlan, FollowsTheInstallersOrderWithoutWriting) {
  const Plan p = plan(L"calc.exf,\\system\\apps,.\\apps,Fini,.TBL,86EC,264B7A\r\n"
                      L"viewer.exf,\\system\\apps,.\\apps,\r\n"
                      L"*.dat,\\data\\sub,.\\data,\r\n");
  ASSERT_EQ(p.load, Plan::Load::Ok);
  EXPECT_THAT(steps(p), ::testing::ElementsAre("1 write \\SYSTEM\\APPS\\CALC.EXF 1200",
                                               "1 assoc .TBL updated slot 5 notice",
                                               "2 replace \\SYSTEM\\APPS\\VIEWER.EXF 300 was 280",
                                               "3 mkdir \\DATA", "3 mkdir \\DATA\\SUB",
                                               "3 write \\DATA\\SUB\\A.DAT 100",
                                               "0 replace \\SYSTEM\\RAVUZ.INI 324 was 324"));
  EXPECT_TRUE(p.ravuzFound);
  EXPECT_TRUE(p.ravuzWritten);
  EXPECT_FALSE(p.stoppedAt);
  // Before: Ravuz.ini and the old viewer, a block each. After: calc three blocks more, a.dat one.
  EXPECT_EQ(p.usedBefore, 1024u);
  EXPECT_EQ(p.usedAfter, 3072u);
  EXPECT_EQ(p.freeAfter(), 2 * 1024 * 1024 - 3072u);
  // The installer's rule: 1536 + 512 + 512.
  EXPECT_EQ(p.packageBytes, 2560u);
  EXPECT_FALSE(p.spaceAsks);
  EXPECT_EQ(ExitStatusOf(p), 1); // the program path's change is told
  EXPECT_EQ(t.files.contents(kRavuz)->size(), 324u);
  EXPECT_FALSE(t.files.exists(L"C:\\device\\DATA"));
}

TEST_F(PkgPlan, AssociationsMergeAsTheInstallerMergesThem) {
  std::vector<FiniRecord> full;
  for (int i = 4; i < 64; ++i)
    full.push_back(test::Association(L".A" + std::to_wstring(i), L"\\X.EXF", 1, 2));
  const struct {
    const char* what;
    std::vector<FiniRecord> device;
    std::string step;
    int exit;
  } cases[] = {
      {"same association",
       {test::Association(L".TBL", L"\\SYSTEM\\APPS\\CALC.EXF", 0x86EC, 0x264B7A)},
       "1 assoc .TBL unchanged slot 4",
       0},
      {"other icons",
       {test::Association(L".txt", L"\\X.EXF", 1, 1),
        test::Association(L".tbl", L"\\SYSTEM\\APPS\\CALC.EXF", 0x86ED, 0x264B7A)},
       "1 assoc .TBL updated slot 5 asks",
       1},
      {"new suffix",
       {test::Association(L".TXT", L"\\X.EXF", 1, 1)},
       "1 assoc .TBL added slot 5",
       0},
      {"no free slot", full, "1 assoc .TBL needs-slot", 1},
  };
  for (const auto& c : cases) {
    device(c.device);
    const Plan p = plan(L"calc.exf,\\system\\apps,.\\apps,Fini,.TBL,86EC,264B7A\r\n");
    ASSERT_GE(p.steps.size(), 2u) << c.what;
    EXPECT_EQ(summary(p.steps[1]), c.step) << c.what;
    EXPECT_EQ(ExitStatusOf(p), c.exit) << c.what;
  }
}

TEST_F(PkgPlan, StopsWhereTheInstallerStops) {
  t.files.addFile(L"C:\\device\\BLOCK", "a file, not a directory");
  const struct {
    const char* what;
    std::wstring setupInf;
    std::uint64_t capacity;
    std::string step;
    std::size_t notReached;
  } cases[] = {
      {"missing PC file",
       L"a.dat,\\d,.\\data,\r\nnone.dat,\\d,.\\data,\r\nviewer.exf,\\d,.\\apps,\r\n", 1 << 20,
       "2 fail \\D\\NONE.DAT reason 0", 1},
      {"name the device cannot hold", L"a.dat,\\toolongdir,.\\data,\r\n", 1 << 20,
       "1 fail \\TOOLONGDIR\\A.DAT reason 1", 0},
      {"refused before the first row", L"a.dat,\\d,.\\data,\r\n一覧表,\\d,.\\data,\r\n", 1 << 20,
       test::Sjis(L"2 fail \\D\\一覧表 reason 1"), 1},
      {"a file in the way", L"a.dat,\\block\\sub,.\\data,\r\n", 1 << 20,
       "1 fail \\BLOCK\\SUB\\A.DAT reason 2", 0},
      {"memory full", L"a.dat,\\d,.\\data,\r\ncalc.exf,\\d,.\\apps,\r\n", 2048,
       "2 fail \\D\\CALC.EXF reason 3", 0},
  };
  for (const auto& c : cases) {
    const Plan p = plan(c.setupInf, c.capacity);
    ASSERT_TRUE(p.stoppedAt) << c.what;
    EXPECT_EQ(summary(p.steps[*p.stoppedAt]), c.step) << c.what;
    EXPECT_EQ(*p.stoppedAt, p.steps.size() - 1) << c.what;
    EXPECT_EQ(p.rowsNotReached, c.notReached) << c.what;
    EXPECT_FALSE(p.ravuzWritten) << c.what;
    EXPECT_EQ(ExitStatusOf(p), 2) << c.what;
  }
}

TEST_F(PkgPlan, TheFreeSpaceCheckCountsTheReserve) {
  // Used: 1024. The package counts 512 (a.dat), so the check wants 512 + 10240 free.
  Plan p = plan(L"a.dat,\\d,.\\data,\r\n", 1024 + 512 + 10240);
  EXPECT_FALSE(p.spaceAsks);
  EXPECT_EQ(ExitStatusOf(p), 0);
  p = plan(L"a.dat,\\d,.\\data,\r\n", 1024 + 512 + 10239);
  EXPECT_TRUE(p.spaceAsks);
  EXPECT_EQ(ExitStatusOf(p), 1);
  EXPECT_EQ(p.freeReported, 512u + 10239u);
}

TEST_F(PkgPlan, ADeviceWithoutAssociationFileStartsAnEmptyTable) {
  t.files.deleteFile(kRavuz);
  const Plan p = plan(L"calc.exf,\\system\\apps,.\\apps,Fini,.TBL,86EC,264B7A\r\n");
  EXPECT_FALSE(p.ravuzFound);
  EXPECT_THAT(steps(p), ::testing::ElementsAre("1 write \\SYSTEM\\APPS\\CALC.EXF 1200",
                                               "1 assoc .TBL added slot 4",
                                               "0 write \\SYSTEM\\RAVUZ.INI 270"));
  EXPECT_EQ(ExitStatusOf(p), 1);
}

TEST_F(PkgPlan, ATableTheInstallerRefusesPlansNothing) {
  std::wstring rows;
  for (int i = 0; i < 200; ++i) rows += L"a.dat,\\d,.\\data,\r\n";
  EXPECT_EQ(plan(rows).load, Plan::Load::TooManyRows);
  const Plan p = MakePlan(t.files, test::TestShiftJis(), L"C:\\pkg\\none.inf", L"C:\\pkg",
                          L"C:\\device", 1000);
  EXPECT_EQ(p.load, Plan::Load::CannotRead);
  EXPECT_TRUE(p.steps.empty());
  EXPECT_EQ(ExitStatusOf(p), 2);
}

} // namespace
} // namespace vokuta::pkg
