#include <gtest/gtest.h>

#include "link/free_space.h"
#include "link/transfer.h"
#include "support/linked_program.h"
#include "util/device_path.h"

namespace vokuta {
namespace {

using Calls = std::vector<std::string>;

class Link : public ::testing::Test {
protected:
  Link() { t.files.addFile(L"C:\\pkg\\a.exf", "aaa"); }
  // A device with these faults, and the link to it open.
  void use(std::vector<devsim::Fault> faults, std::uint32_t capacity) {
    devsim::Config config;
    config.capacity = capacity;
    config.faults = std::move(faults);
    t.use(config);
    t.connect();
    t.ui.boxes.clear();
  }
  TransferResult upload(const std::wstring& dir, const std::wstring& name) {
    return TransferFile(p, kUpload, 1, dir, name, L"C:\\pkg\\" + name);
  }

  test::LinkedProgram t;
  Program& p = t.p;
};

TEST_F(Link, TheCacheMirrorNeverLeavesTheCache) {
  t.connect(); // nothing exists outside the cache: an escaping mkdir would be tried and logged
  t.ui.answer({kNo}); // the device refuses the name: the communication error, then give up
  EXPECT_EQ(upload(L"\\..\\evil", L"a.exf"), kGiveUp);
  EXPECT_TRUE(t.files.filesUnder(L"C:\\PcSide\\redirav\\evil").empty());
  for (const auto& line : t.files.log) {
    EXPECT_EQ(line.find(L"mkdir C:\\PcSide\\redirav\\cache\\.."), std::wstring::npos);
    EXPECT_EQ(line.find(L"-> C:\\PcSide\\redirav\\cache\\..\\"), std::wstring::npos);
  }
  for (const wchar_t* path : {L"\\a\\..\\b", L"\\C:\\x", L"\\a/../b", L"\\ .. \\b"})
    EXPECT_FALSE(StaysInside(path)) << testing::PrintToString(path);
  EXPECT_TRUE(StaysInside(L"\\SYSTEM\\APPS\\..x"));
}

TEST_F(Link, PcHelpers) {
  t.files.addFile(L"C:\\w\\locked.ini", "x", kAttrReadOnly | kAttrHidden | kAttrSystem);
  PcDeleteFile(p, L"C:\\w\\locked.ini");
  EXPECT_FALSE(t.files.exists(L"C:\\w\\locked.ini"));
  PcDeleteFile(p, L"C:\\w\\missing.ini");
  EXPECT_EQ(MakeCacheDir(p, L"C:\\w\\new"), 0);
  EXPECT_EQ(MakeCacheDir(p, L"C:\\w\\new"), -1);
  EXPECT_EQ(CopyIfExists(p, L"C:\\pkg\\a.exf", L"C:\\w\\a.exf"), -1);
  EXPECT_EQ(CopyIfExists(p, L"C:\\pkg\\none", L"C:\\w\\none"), 0);
  EXPECT_EQ(t.files.contents(L"C:\\w\\a.exf"), "aaa");
}

TEST_F(Link, FreeSpaceAgainstThePackageAndTheReserve) {
  p.setupTable[0] = {L"a.exf", L"\\D", L"C:\\pkg", L""}; // one 3-byte file counts 512 bytes
  const struct {
    std::uint32_t capacity;
    std::vector<devsim::Fault> faults;
    std::vector<int> answers;
    FreeSpaceResult result;
    const wchar_t* shown; ///< the free space in the question
  } cases[] = {
      {512 + 10240, {}, {}, kSpaceGoOn, L""},
      {512 + 10240 - 1, {}, {kYes}, kSpaceGoOn, L" ･ Vokuta本体の空き容量 =  10751 バイト"},
      {512 + 10240 - 512, {}, {kNo}, kSpaceStop, L"空き容量 =  10240 バイト"},
      {512 + 10240, {{"u_dir", 1, 0}}, {kNo}, kSpaceStop, L"空き容量 =  0 バイト"},
  };
  for (const auto& c : cases) {
    use(c.faults, c.capacity);
    t.ui.answer(c.answers);
    EXPECT_EQ(CheckFreeSpace(p), c.result) << c.capacity;
    EXPECT_EQ(t.calls(), Calls{"u_dir 1 0 4 \\ 2816"});
    EXPECT_EQ(t.ui.boxes.size(), c.answers.size());
    EXPECT_NE((t.texts().empty() ? L"" : t.texts()[0]).find(c.shown), std::wstring::npos);
  }
}

} // namespace
} // namespace vokuta
