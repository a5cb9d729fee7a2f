#include "devsim/sim_device.h"

#include <gtest/gtest.h>

#include <functional>

#include "support/fake_pc_files.h"
#include "support/test_codepage.h"

namespace vokuta::devsim {
namespace {

class Device : public ::testing::Test {
protected:
  Device() {
    files.addDirectory(L"C:\\device");
    files.addFile(L"C:\\pc\\one.bin", "1");
    files.addFile(L"C:\\pc\\big.bin", std::string(1000, 'b'));
  }
  SimulatedDevice& device(Config config = Config()) {
    if (config.deviceDir.empty()) config.deviceDir = L"C:\\device";
    dev.emplace(config, files, test::TestShiftJis());
    return *dev;
  }
  std::int32_t nego(std::int32_t port = 1) { return dev->u_nego(0, port, 1, 4, &status); }
  std::int32_t end() { return dev->u_end(0, 1, 1, 4, &status); }
  std::int32_t mkdir(const std::string& d) { return dev->u_mkdir(0, 1, -2, 4, d, &status); }
  std::int32_t upload(const std::string& pc, const std::string& d) {
    return dev->u_upload(0, 1, -1, 4, pc, d, &status);
  }
  std::int32_t download(const std::string& d, const std::string& pc) {
    return dev->u_download(0, 1, -1, 4, d, pc, &status);
  }
  std::int32_t freeSpace() {
    std::int32_t free = -7;
    char buffer[64];
    dev->u_dir(0, 1, 0, 4, "\\", buffer, sizeof buffer, &free, &status);
    return free;
  }

  test::FakePcFiles files;
  std::optional<SimulatedDevice> dev;
  std::int32_t status = 99;
};

TEST_F(Device, AnswersOnlyOnItsPortAndOnlyWhileLinked) {
  Config c;
  c.port = 3;
  device(c);
  EXPECT_NE(upload("C:\\pc\\one.bin", "\\ONE.BIN"), 0);
  EXPECT_EQ(status, 0);
  EXPECT_NE(nego(1), 0);
  EXPECT_EQ(nego(3), 0);
  EXPECT_TRUE(dev->linked());
  EXPECT_EQ(dev->u_upload(0, 3, -1, 4, "C:\\pc\\one.bin", "\\ONE.BIN", &status), 0);
  EXPECT_EQ(end(), 0);
  EXPECT_FALSE(dev->linked());
  EXPECT_NE(mkdir("\\X"), 0);
  EXPECT_EQ(status, 0);
}

TEST_F(Device, CountsWholeBlocksAgainstItsCapacity) {
  Config c;
  c.capacity = 1536;
  device(c);
  nego();
  EXPECT_EQ(freeSpace(), 1536);
  EXPECT_EQ(upload("C:\\pc\\one.bin", "\\A.BIN"), 0);
  EXPECT_EQ(freeSpace(), 1024);
  EXPECT_EQ(upload("C:\\pc\\big.bin", "\\B.BIN"), 0); // 1000 bytes take two blocks
  EXPECT_EQ(freeSpace(), 0);
  EXPECT_NE(upload("C:\\pc\\one.bin", "\\C.BIN"), 0);
  EXPECT_EQ(status, 5);
  EXPECT_FALSE(files.exists(L"C:\\device\\C.BIN"));
  // Replacing a file frees its old blocks first.
  EXPECT_EQ(upload("C:\\pc\\one.bin", "\\B.BIN"), 0);
  EXPECT_EQ(freeSpace(), 512);
  EXPECT_EQ(files.filesUnder(L"C:\\device"),
            (std::vector<std::wstring>{L"C:\\device\\A.BIN", L"C:\\device\\B.BIN"}));
}

TEST_F(Device, AFailedUploadLeavesTheOldFile) {
  files.addFile(L"C:\\device\\KEEP.BIN", "old");
  Config c;
  c.faults = {{"u_upload", 2, 0}};
  device(c);
  nego();
  EXPECT_EQ(upload("C:\\pc\\one.bin", "\\KEEP.BIN"), 0);
  files.addFile(L"C:\\pc\\one.bin", "new data");
  EXPECT_NE(upload("C:\\pc\\one.bin", "\\KEEP.BIN"), 0);
  EXPECT_EQ(status, 0);
  EXPECT_EQ(files.contents(L"C:\\device\\KEEP.BIN"), "1");
  EXPECT_EQ(files.filesUnder(L"C:\\device"), std::vector<std::wstring>{L"C:\\device\\KEEP.BIN"});
}

// The count kept while linked must be the one a fresh look at the folder gives, step by step.
TEST_F(Device, KeepsItsCountOfUsedBlocksExact) {
  files.addFile(L"C:\\device\\OLD.BIN", std::string(600, 'o'));
  files.addFile(L"C:\\device\\upload.partial", std::string(900, 'p')); // a broken run's
  files.addFile(L"C:\\pc\\huge.bin", std::string(3000, 'h'));
  Config c;
  c.deviceDir = L"C:\\device";
  c.capacity = 4096;
  c.faults = {{"u_upload", 3, 0}};
  device(c);
  const struct {
    const char* step;
    std::function<void()> act;
    std::int32_t free;
  } steps[] = {
      {"link opened", [&] { nego(); }, 4096 - 1024},
      {"new file", [&] { upload("C:\\pc\\big.bin", "\\NEW.BIN"); }, 4096 - 2048},
      {"replaced by a smaller one", [&] { upload("C:\\pc\\one.bin", "\\OLD.BIN"); }, 4096 - 1536},
      {"upload broken on the way", [&] { upload("C:\\pc\\big.bin", "\\OLD.BIN"); }, 4096 - 1536},
      {"no room", [&] { upload("C:\\pc\\huge.bin", "\\X.BIN"); }, 4096 - 1536},
      {"changed by hand between runs",
       [&] {
         end();
         files.deleteFile(L"C:\\device\\NEW.BIN");
         files.addFile(L"C:\\device\\HAND.BIN", std::string(2000, 'h'));
         nego();
       },
       4096 - 512 - 2048},
  };
  for (const auto& s : steps) {
    s.act();
    EXPECT_EQ(freeSpace(), s.free) << s.step;
    EXPECT_EQ(SimulatedDevice(c, files, test::TestShiftJis()).freeBytes(),
              static_cast<std::uint64_t>(s.free))
        << s.step;
  }
}

TEST_F(Device, StaysInsideItsFolderAndTakesOnlyDeviceNames) {
  files.addDirectory(L"C:\\device\\SYSTEM");
  device();
  nego();
  for (const std::string bad :
       {"\\..\\OUT.BIN", "\\SYSTEM\\..\\..\\OUT.BIN", "C:\\OUT.BIN", "OUT.BIN", "\\TOOLONGNAME.BIN",
        "\\A.LONG", "\\A.B.C", "\\.\\A", "\\A*B", "\\A:B", "\\\\A", "\\.BIN", "\\A\\"}) {
    status = 99;
    EXPECT_NE(upload("C:\\pc\\one.bin", bad), 0) << bad;
    EXPECT_EQ(status, 0) << bad;
  }
  EXPECT_FALSE(files.exists(L"C:\\OUT.BIN"));
  EXPECT_TRUE(files.filesUnder(L"C:\\device").empty());
  // Names are stored in upper case and found in any case; Shift-JIS names count in bytes.
  EXPECT_EQ(upload("C:\\pc\\one.bin", "\\system\\a.exf"), 0);
  EXPECT_TRUE(files.exists(L"C:\\device\\SYSTEM\\A.EXF"));
  EXPECT_EQ(upload("C:\\pc\\one.bin", test::Sjis(L"\\SYSTEM\\表計算ソ.ソ")), 0);
  EXPECT_NE(upload("C:\\pc\\one.bin", test::Sjis(L"\\SYSTEM\\表計算ソフト.EXF")), 0);
}

TEST_F(Device, DirectoriesFilesAndTheirErrors) {
  device();
  nego();
  EXPECT_EQ(mkdir("\\SYSTEM"), 0);
  EXPECT_EQ(mkdir("\\SYSTEM"), 0); // exists already
  EXPECT_NE(mkdir("\\NO\\PARENT"), 0);
  EXPECT_NE(upload("C:\\pc\\missing.bin", "\\SYSTEM\\M.BIN"), 0);
  EXPECT_EQ(status, 0);
  EXPECT_NE(download("\\SYSTEM\\RAVUZ.INI", "C:\\pc\\r.ini"), 0);
  EXPECT_EQ(status, -1);
  EXPECT_EQ(upload("C:\\pc\\big.bin", "\\SYSTEM\\RAVUZ.INI"), 0);
  EXPECT_EQ(download("\\system\\ravuz.ini", "C:\\pc\\r.ini"), 0);
  EXPECT_EQ(files.contents(L"C:\\pc\\r.ini"), std::string(1000, 'b'));
}

TEST_F(Device, InjectedFaultsAndADroppedLink) {
  Config c;
  c.faults = {{"u_download", 1, 3}, {"u_nego", 2, 0}};
  c.dropAfter = 3;
  device(c);
  EXPECT_EQ(nego(), 0);                       // call 1
  EXPECT_NE(download("\\X", "C:\\pc\\x"), 0); // call 2: injected
  EXPECT_EQ(status, 3);
  EXPECT_EQ(mkdir("\\A"), 0); // call 3
  EXPECT_NE(mkdir("\\B"), 0); // call 4: the link is gone
  EXPECT_EQ(status, 0);
  EXPECT_NE(nego(), 0); // not before u_end (and injected)
  EXPECT_EQ(end(), 0);
  EXPECT_EQ(nego(), 0);
  EXPECT_EQ(mkdir("\\B"), 0);
  ASSERT_EQ(dev->calls().size(), 8u);
  EXPECT_EQ(dev->calls()[3].function, "u_mkdir");
  EXPECT_EQ(dev->calls()[3].arguments, "1 -2 4 \\B");
}

TEST_F(Device, DelaysLikeASerialLine) {
  std::chrono::milliseconds waited{0};
  Config c;
  c.bitsPerSecond = 9600;
  device(c);
  dev->sleep = [&](std::chrono::milliseconds ms) { waited += ms; };
  nego();
  upload("C:\\pc\\big.bin", "\\B.BIN");
  EXPECT_EQ(waited.count(), 1000 * 10 * 1000 / 9600);
}

TEST(Config, ReadsSettingsAndReportsBadLines) {
  std::vector<std::wstring> errors;
  const Config c = ParseConfig(L"# a device\n"
                               L"device = C:\\dev ice\n"
                               L"port=2\n"
                               L"capacity = 4096 # small\n"
                               L"fail = u_upload 2 5\n"
                               L"fail = u_nego 1 -1\n"
                               L"drop-after = 7\n"
                               L"speed = 9600\n"
                               L"log = C:\\calls.log\n"
                               L"port = two\n"
                               L"fail = u_dir\n"
                               L"colour = blue\n",
                               &errors);
  EXPECT_EQ(c.deviceDir, L"C:\\dev ice");
  EXPECT_EQ(c.port, 2);
  EXPECT_EQ(c.capacity, 4096u);
  ASSERT_EQ(c.faults.size(), 2u);
  EXPECT_EQ(c.faults[0].function, "u_upload");
  EXPECT_EQ(c.faults[0].nth, 2);
  EXPECT_EQ(c.faults[0].status, 5);
  EXPECT_EQ(c.faults[1].status, -1);
  EXPECT_EQ(c.dropAfter, 7);
  EXPECT_EQ(c.bitsPerSecond, 9600u);
  EXPECT_EQ(c.logFile, L"C:\\calls.log");
  EXPECT_EQ(errors.size(), 3u);
}

} // namespace
} // namespace vokuta::devsim
