#include <gtest/gtest.h>

#include "link/connection.h"
#include "link/free_space.h"
#include "link/transfer.h"
#include "support/linked_program.h"
#include "util/device_path.h"

namespace vokuta {
namespace {

using Calls = std::vector<std::string>;
using Texts = std::vector<std::wstring>;
const std::wstring kCache = test::kCacheDir;

class Link : public ::testing::Test {
protected:
  Link() {
    t.files.addFile(L"C:\\pkg\\a.exf", "aaa");
    t.files.addFile(L"C:\\pkg\\b.exf", "bbb");
  }
  // A device with these faults, and the link to it open.
  void use(std::vector<devsim::Fault> faults, std::uint32_t capacity = 2 * 1024 * 1024) {
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
  TransferResult download(const std::wstring& name) {
    return TransferFile(p, kDownload, 0, L"\\System", name, L"C:\\PcSide\\w.ini");
  }

  test::LinkedProgram t;
  Program& p = t.p;
};

TEST_F(Link, AFailedConnectionThenAGoodOne) {
  t.ui.answer({kOk});
  p.g.PortNumber = 2; // the device is on port 1
  EXPECT_EQ(CheckConnection(p), -1);
  EXPECT_EQ(t.calls(), (Calls{"u_end 2 1 4", "u_nego 2 1 4"}));
  EXPECT_EQ(t.titles(), Texts{L" - 接続エラー"});
  p.g.PortNumber = 1;
  EXPECT_EQ(CheckConnection(p), 0);
  EXPECT_TRUE(t.dev->linked());
}

TEST_F(Link, UploadsCreateEachDirectoryLevelOnceAndMirrorIntoTheCache) {
  t.connect();
  EXPECT_EQ(upload(L"\\System\\Apps", L"a.exf"), kDone);
  EXPECT_EQ(upload(L"\\System\\Apps", L"b.exf"), kDone);
  EXPECT_EQ(p.g.LastDeviceDir, L"\\System\\Apps\\");
  // The root needs no directory; going back to an earlier directory creates it again.
  EXPECT_EQ(upload(L"", L"a.exf"), kDone);
  EXPECT_EQ(upload(L"\\System\\Apps", L"a.exf"), kDone);
  const std::string levels[] = {"u_mkdir 1 -2 4 \\SYSTEM", "u_mkdir 1 -2 4 \\SYSTEM\\APPS"},
                    a = "u_upload 1 -1 4 C:\\pkg\\a.exf \\SYSTEM\\APPS\\A.EXF";
  EXPECT_EQ(t.calls(),
            (Calls{levels[0], levels[1], a, "u_upload 1 -1 4 C:\\pkg\\b.exf \\SYSTEM\\APPS\\B.EXF",
                   "u_upload 1 -1 4 C:\\pkg\\a.exf \\A.EXF", levels[0], levels[1], a}));
  EXPECT_EQ(t.deviceFiles(),
            (Texts{L"\\A.EXF", L"\\SYSTEM\\APPS\\A.EXF", L"\\SYSTEM\\APPS\\B.EXF"}));
  EXPECT_EQ(t.files.filesUnder(kCache),
            (Texts{kCache + L"\\a.exf", kCache + L"\\SYSTEM\\APPS\\a.exf",
                   kCache + L"\\SYSTEM\\APPS\\b.exf"}));
  EXPECT_TRUE(t.ui.boxes.empty());
}

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

// A failed upload: what the status means, and the recovery with its questions.
TEST_F(Link, FailedUploads) {
  const std::string mk = "u_mkdir 1 -2 4 \\D", up = "u_upload 1 -1 4 C:\\pkg\\a.exf \\D\\A.EXF",
                    e = "u_end 1 1 4", nego = "u_nego 1 1 4";
  const std::wstring comm = L" - 通信エラー", ask = L" - 接続", lost = L" - 接続エラー";
  const devsim::Fault zero{"u_upload", 1, 0}, cut{"u_upload", 1, -3}, bad{"u_nego", 2, 0};
  const struct {
    std::vector<devsim::Fault> faults;
    std::vector<int> answers;
    TransferResult result;
    Calls calls;
    Texts titles;
  } cases[] = {
      {{{"u_upload", 1, 5}}, {kOk}, kGiveUp, {mk, up}, {L" - メモリ容量エラー"}},
      {{{"u_upload", 1, 3}}, {}, kDone, {mk, up}, {}}, // a positive status counts as copied
      {{zero}, {kYes, kYes}, kDone, {mk, up, e, e, e, nego, mk, up}, {comm, ask}},
      {{cut, bad}, {kNo}, kGiveUp, {mk, up, e}, {comm}},
      {{cut, bad}, {kYes, kNo}, kGiveUp, {mk, up, e, e}, {comm, ask}},
      {{cut, bad}, {kYes, kYes, kOk}, kReconnectFailed, {mk, up, e, e, e, nego}, {comm, ask, lost}},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(&c - cases);
    use(c.faults);
    t.ui.answer(c.answers);
    p.g.LastDeviceDir.clear();
    EXPECT_EQ(upload(L"\\D", L"a.exf"), c.result);
    EXPECT_EQ(t.calls(), c.calls);
    EXPECT_EQ(t.titles(), c.titles);
    EXPECT_EQ(t.ui.unusedAnswers(), 0u);
    // The cache holds the file only when the device does.
    EXPECT_EQ(t.files.deleteFile(kCache + L"\\D\\a.exf"), c.result == kDone);
  }
}

TEST_F(Link, DownloadsOfTheAssociationFile) {
  // Missing on the device: reported, and counts as done; any other spelling goes to the recovery.
  t.connect();
  t.ui.answer({kOk, kNo});
  EXPECT_EQ(download(L"Ravuz.ini"), kDone);
  EXPECT_EQ(download(L"RAVUZ.INI"), kGiveUp);
  EXPECT_EQ(t.titles(), (Texts{L" - Vokuta本体ファイルエラー", L" - 通信エラー"}));
  // A broken download offers the reconnection.
  t.files.addFile(test::kDeviceIni, "x");
  use({{"u_download", 1, 0}});
  t.ui.answer({kYes, kYes});
  EXPECT_EQ(download(L"Ravuz.ini"), kDone);
  EXPECT_EQ(t.titles(), (Texts{L" - 通信エラー", L" - 接続"}));
  EXPECT_EQ(t.files.contents(L"C:\\PcSide\\w.ini"), "x");
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

} // namespace
} // namespace vokuta
