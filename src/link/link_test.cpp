#include <gtest/gtest.h>

#include "devsim/sim_device.h"
#include "link/connection.h"
#include "link/free_space.h"
#include "link/transfer.h"
#include "support/test_program.h"
#include "util/device_path.h"

namespace vokuta {
namespace {

const std::wstring kCommTitle = AppTitle + L" - 通信エラー";
const std::wstring kConnectTitle = AppTitle + L" - 接続";

class Link : public ::testing::Test {
protected:
  Link() {
    t.files.addDirectory(L"C:\\device");
    t.files.addDirectory(L"C:\\PcSide\\redirav\\cache");
    t.files.addFile(L"C:\\pkg\\a.exf", "aaa");
    t.files.addFile(L"C:\\pkg\\b.exf", "bbb");
    p.g.CacheDir = L"C:\\PcSide\\redirav\\cache";
    use(devsim::Config());
  }
  void use(devsim::Config config) {
    config.deviceDir = L"C:\\device";
    dev.emplace(config, t.files, test::TestShiftJis());
    p.link = &*dev;
    seen = 0;
  }
  void connect() {
    std::int32_t s = 0;
    dev->u_nego(0, 1, 1, 4, &s);
  }
  // The device's calls since the last look, as "function arguments".
  std::vector<std::string> calls() {
    std::vector<std::string> out;
    for (std::size_t i = seen; i < dev->calls().size(); ++i)
      out.push_back(dev->calls()[i].function + " " + dev->calls()[i].arguments);
    seen = dev->calls().size();
    return out;
  }
  std::vector<std::wstring> titles() {
    std::vector<std::wstring> out;
    for (const auto& box : t.ui.boxes) out.push_back(box.title);
    return out;
  }
  std::int16_t upload(const std::wstring& dir, const std::wstring& name) {
    return TransferFile(p, kUpload, 1, dir, name, L"C:\\pkg\\" + name);
  }

  test::TestProgram t;
  Program& p = t.p;
  std::optional<devsim::SimulatedDevice> dev;
  std::size_t seen = 0;
};

TEST_F(Link, ConnectPromptAndAFailedConnection) {
  t.ui.answer({kYes, kOk});
  EXPECT_EQ(ConnectPrompt(p), kYes);
  p.g.PortNumber = 2; // the device is on port 1
  EXPECT_EQ(CheckConnection(p), -1);
  EXPECT_EQ(calls(), (std::vector<std::string>{"u_end 2 1 4", "u_nego 2 1 4"}));
  ASSERT_EQ(t.ui.boxes.size(), 2u);
  EXPECT_EQ(t.ui.boxes[0].text,
            L"・本体を接続してください。\r\n・本体をﾘﾓｰﾄ準備中にしてください。\r\n\r\n"
            L"  準備はよろしいですか？");
  EXPECT_EQ(t.ui.boxes[0].title, kConnectTitle);
  EXPECT_EQ(t.ui.boxes[0].buttons, Buttons::YesNo);
  EXPECT_EQ(t.ui.boxes[0].icon, Icon::Information);
  EXPECT_EQ(t.ui.boxes[1].text,
            L"本体が正しく接続されていません。\r\nｼﾘｱﾙﾎﾟｰﾄ番号を確認し、本体を再ｾｯﾄしてください。");
  EXPECT_EQ(t.ui.boxes[1].title, AppTitle + L" - 接続エラー");
  EXPECT_EQ(t.ui.boxes[1].icon, Icon::Stop);

  p.g.PortNumber = 1;
  EXPECT_EQ(CheckConnection(p), 0);
  EXPECT_TRUE(dev->linked());
}

TEST_F(Link, UploadsCreateEachDirectoryLevelOnceAndMirrorIntoTheCache) {
  connect();
  calls();
  EXPECT_EQ(upload(L"\\System\\Apps", L"a.exf"), kDone);
  EXPECT_EQ(upload(L"\\System\\Apps", L"b.exf"), kDone);
  EXPECT_EQ(calls(),
            (std::vector<std::string>{"u_mkdir 1 -2 4 \\SYSTEM", "u_mkdir 1 -2 4 \\SYSTEM\\APPS",
                                      "u_upload 1 -1 4 C:\\pkg\\a.exf \\SYSTEM\\APPS\\A.EXF",
                                      "u_upload 1 -1 4 C:\\pkg\\b.exf \\SYSTEM\\APPS\\B.EXF"}));
  EXPECT_EQ(t.files.contents(L"C:\\device\\SYSTEM\\APPS\\B.EXF"), "bbb");
  EXPECT_TRUE(t.files.isDirectory(L"C:\\PcSide\\redirav\\cache\\SYSTEM\\APPS"));
  EXPECT_EQ(t.files.contents(L"C:\\PcSide\\redirav\\cache\\System\\Apps\\a.exf"), "aaa");
  EXPECT_EQ(t.files.contents(L"C:\\PcSide\\redirav\\cache\\System\\Apps\\b.exf"), "bbb");
  EXPECT_EQ(p.g.LastDeviceDir, L"\\System\\Apps\\");

  // The root needs no directory; going back to an earlier directory creates it again.
  EXPECT_EQ(upload(L"", L"a.exf"), kDone);
  EXPECT_EQ(upload(L"\\System\\Apps", L"a.exf"), kDone);
  EXPECT_EQ(calls(),
            (std::vector<std::string>{"u_upload 1 -1 4 C:\\pkg\\a.exf \\A.EXF",
                                      "u_mkdir 1 -2 4 \\SYSTEM", "u_mkdir 1 -2 4 \\SYSTEM\\APPS",
                                      "u_upload 1 -1 4 C:\\pkg\\a.exf \\SYSTEM\\APPS\\A.EXF"}));
  EXPECT_TRUE(t.ui.boxes.empty());
}

TEST_F(Link, TheCacheMirrorNeverLeavesTheCache) {
  connect(); // nothing exists outside the cache: an escaping mkdir would be tried and logged
  t.ui.answer({kNo}); // the device refuses the name: the communication error, then give up
  EXPECT_EQ(upload(L"\\..\\evil", L"a.exf"), kGiveUp);
  EXPECT_TRUE(t.files.filesUnder(L"C:\\PcSide\\redirav\\evil").empty());
  EXPECT_FALSE(t.files.exists(L"C:\\PcSide\\redirav\\cache\\..\\evil\\a.exf"));
  for (const auto& line : t.files.log) {
    EXPECT_EQ(line.find(L"mkdir C:\\PcSide\\redirav\\cache\\.."), std::wstring::npos);
    EXPECT_EQ(line.find(L"-> C:\\PcSide\\redirav\\cache\\..\\"), std::wstring::npos);
  }
  EXPECT_FALSE(StaysInside(L"\\a\\..\\b"));
  EXPECT_FALSE(StaysInside(L"\\C:\\x"));
  EXPECT_FALSE(StaysInside(L"\\a/../b"));
  EXPECT_FALSE(StaysInside(L"\\ .. \\b"));
  EXPECT_TRUE(StaysInside(L"\\SYSTEM\\APPS\\..x"));
}

TEST_F(Link, StatusDecidesWhatAFailedCopyMeans) {
  struct Case {
    const char* name;
    std::int32_t status;
    std::int16_t result;
    std::vector<std::wstring> boxes;
    bool mirrored; ///< the cache holds only what the device holds
  } cases[] = {
      {"memory full", 5, kGiveUp, {AppTitle + L" - メモリ容量エラー"}, false},
      {"counts as copied", 3, kDone, {}, true},
  };
  for (const auto& c : cases) {
    devsim::Config config;
    config.faults = {{"u_upload", 1, c.status}};
    use(config);
    connect();
    t.ui.boxes.clear();
    if (!c.boxes.empty()) t.ui.answer({kOk});
    p.g.LastDeviceDir.clear();
    EXPECT_EQ(upload(L"\\D", L"a.exf"), c.result) << c.name;
    EXPECT_EQ(titles(), c.boxes) << c.name;
    // u_nego, u_mkdir, u_upload: no recovery
    EXPECT_EQ(calls().size(), 3u) << c.name;
    EXPECT_EQ(t.files.exists(L"C:\\PcSide\\redirav\\cache\\D\\a.exf"), c.mirrored) << c.name;
    t.files.deleteFile(L"C:\\PcSide\\redirav\\cache\\D\\a.exf");
  }
}

TEST_F(Link, MemoryErrorText) {
  t.ui.answer({kOk});
  MemoryErrorBox(p);
  EXPECT_EQ(t.ui.boxes[0].text,
            L"Vokuta本体がメモリ容量不足です。\r\n\r\n不要なﾌｧｲﾙを削除後、再試行してください。");
  EXPECT_EQ(t.ui.boxes[0].icon, Icon::Stop);
}

TEST_F(Link, AMissingAssociationFileIsReportedAndCountsAsDone) {
  connect();
  t.ui.answer({kOk});
  EXPECT_EQ(TransferFile(p, kDownload, 0, L"\\System", L"Ravuz.ini", L"C:\\PcSide\\w.ini"), kDone);
  ASSERT_EQ(t.ui.boxes.size(), 1u);
  EXPECT_EQ(t.ui.boxes[0].text, L"Vokuta本体に、Ravuz.iniがありません。\r\n\r\n");
  EXPECT_EQ(t.ui.boxes[0].title, AppTitle + L" - Vokuta本体ファイルエラー");

  // Any other name, or another spelling, goes to the recovery.
  t.ui.answer({kNo});
  EXPECT_EQ(TransferFile(p, kDownload, 0, L"\\System", L"RAVUZ.INI", L"C:\\PcSide\\w.ini"),
            kGiveUp);
  EXPECT_EQ(t.ui.boxes.back().title, kCommTitle);
}

TEST_F(Link, AMissingPcFileStopsTheRunWithoutAQuestion) {
  connect();
  calls();
  t.ui.answer({kOk});
  EXPECT_EQ(TransferFile(p, kUpload, 1, L"\\D", L"*.tbl", L"C:\\pkg\\*.tbl"), kGiveUp);
  EXPECT_EQ(calls(),
            (std::vector<std::string>{"u_mkdir 1 -2 4 \\D",
                                      "u_upload 1 -1 4 C:\\pkg\\*.tbl \\D\\*.TBL", "u_end 1 1 4"}));
  ASSERT_EQ(t.ui.boxes.size(), 1u);
  EXPECT_EQ(t.ui.boxes[0].text, L"C:\\pkg\\*.tbl\r\n\r\nがありません。\r\n\r\n");
  EXPECT_EQ(t.ui.boxes[0].title, AppTitle + L" - PCファイルエラー");
}

TEST_F(Link, RecoveryReconnectsAndRepeatsTheUpload) {
  devsim::Config config;
  config.faults = {{"u_upload", 1, 0}};
  use(config);
  connect();
  calls();
  t.ui.answer({kYes, kYes});
  EXPECT_EQ(upload(L"\\D", L"a.exf"), kDone);
  EXPECT_EQ(calls(), (std::vector<std::string>{
                         "u_mkdir 1 -2 4 \\D", "u_upload 1 -1 4 C:\\pkg\\a.exf \\D\\A.EXF",
                         "u_end 1 1 4", "u_end 1 1 4", "u_end 1 1 4", "u_nego 1 1 4",
                         "u_mkdir 1 -2 4 \\D", "u_upload 1 -1 4 C:\\pkg\\a.exf \\D\\A.EXF"}));
  EXPECT_EQ(titles(), (std::vector<std::wstring>{kCommTitle, kConnectTitle}));
  EXPECT_EQ(t.ui.boxes[0].text,
            L"A.EXF で通信エラー発生\r\n\r\n「Vokuta本体ソフト インストーラ」を続けますか？");
  EXPECT_EQ(t.ui.boxes[0].buttons, Buttons::YesNo);
  EXPECT_EQ(t.files.contents(L"C:\\device\\D\\A.EXF"), "aaa");
}

TEST_F(Link, RecoveryDeclinedOrFailing) {
  struct Case {
    std::vector<int> answers;
    std::int16_t result;
  } cases[] = {
      {{kNo}, kGiveUp},       // do not go on
      {{kYes, kNo}, kGiveUp}, // device not made ready
      {{kYes, kYes, kOk}, kReconnectFailed},
  };
  for (const auto& c : cases) {
    devsim::Config config;
    config.faults = {{"u_upload", 1, -3}, {"u_nego", 2, 0}}; // the reconnection fails
    use(config);
    connect();
    t.ui.boxes.clear();
    for (int a : c.answers) t.ui.answer({a});
    EXPECT_EQ(upload(L"\\D", L"a.exf"), c.result);
    EXPECT_EQ(t.ui.boxes.size(), c.answers.size());
    EXPECT_EQ(t.ui.unusedAnswers(), 0u);
  }
}

TEST_F(Link, ABrokenDownloadOffersTheReconnection) {
  t.files.addFile(L"C:\\device\\SYSTEM\\RAVUZ.INI", "x");
  devsim::Config config;
  config.faults = {{"u_download", 1, 0}};
  use(config);
  connect();
  t.ui.answer({kYes, kYes});
  EXPECT_EQ(TransferFile(p, kDownload, 0, L"\\System", L"Ravuz.ini", L"C:\\PcSide\\w.ini"), kDone);
  EXPECT_EQ(titles(), (std::vector<std::wstring>{kCommTitle, kConnectTitle}));
  EXPECT_EQ(t.files.contents(L"C:\\PcSide\\w.ini"), "x");
}

TEST_F(Link, FreeSpaceAgainstThePackageAndTheReserve) {
  // A package of one 3-byte file counts 512 bytes.
  p.setupTable[0] = {L"a.exf", L"\\D", L"C:\\pkg", L""};
  struct Case {
    std::uint32_t capacity;
    std::vector<int> answers;
    std::int16_t result;
  } cases[] = {
      {512 + 10240, {}, 1},
      {512 + 10240 - 512, {kYes}, 1},
      {512 + 10240 - 512, {kNo}, 7},
  };
  for (const auto& c : cases) {
    devsim::Config config;
    config.capacity = c.capacity;
    use(config);
    connect();
    t.ui.boxes.clear();
    for (int a : c.answers) t.ui.answer({a});
    EXPECT_EQ(CheckFreeSpace(p), c.result);
    EXPECT_EQ(t.ui.boxes.size(), c.answers.size());
  }
  EXPECT_EQ(calls().back(), "u_dir 1 0 4 \\ 2816");
  EXPECT_EQ(t.ui.boxes[0].text, L"Vokuta本体の空き容量が不足しています。\r\n\r\n"
                                L"全てのファイルをインストールできない可能性があります。\r\n\r\n"
                                L"インストールを続けますか?\r\n\r\n"
                                L" ･ Vokuta本体の空き容量 =  10240 バイト\r\n\r\n"
                                L" ･ インストールするファイル容量 =  512 バイト\r\n");
  EXPECT_EQ(t.ui.boxes[0].title, AppTitle + L" - 注意");
  EXPECT_EQ(t.ui.boxes[0].defaultButton, 1);
  EXPECT_EQ(t.ui.boxes[0].icon, Icon::Exclamation);
}

TEST_F(Link, AFailedDirectoryQueryShowsNoFreeSpace) {
  devsim::Config config;
  config.faults = {{"u_dir", 1, 0}};
  use(config);
  connect();
  t.ui.answer({kNo});
  EXPECT_EQ(CheckFreeSpace(p), 7);
  EXPECT_NE(t.ui.boxes[0].text.find(L"空き容量 =  0 バイト"), std::wstring::npos);
  t.ui.answer({kNo});
  EXPECT_EQ(FreeSpaceWarning(p, 0, -5), kNo);
  EXPECT_NE(t.ui.boxes[1].text.find(L"空き容量 = -5 バイト"), std::wstring::npos);
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
