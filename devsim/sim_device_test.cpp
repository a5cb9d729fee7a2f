#include "devsim/sim_device.h"

#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <sstream>

#include "support/fake_pc_files.h"
#include "support/test_codepage.h"

namespace vokuta::devsim {
namespace {

using ::testing::ElementsAre;
using Outcomes = std::vector<std::string>;

class Device : public ::testing::Test {
protected:
  Device() {
    files.addDirectory(L"C:\\device");
    files.addFile(L"C:\\pc\\one.bin", "1");
    files.addFile(L"C:\\pc\\big.bin", std::string(1000, 'b'));
  }
  void device(const Config& settings) {
    config = settings;
    config.deviceDir = L"C:\\device";
    dev.emplace(config, files, test::TestShiftJis());
  }
  // Runs each command on the device's port ("nego [PORT]", "end", "mkdir DIR", "upload PC DEV",
  // "download DEV PC", "free") and gives its outcome: "ok", the status it failed with, or the
  // free bytes.
  Outcomes run(const std::vector<std::string>& commands) {
    Outcomes out;
    for (const std::string& command : commands) {
      std::istringstream in(command);
      std::string verb, a, b;
      in >> verb >> a >> b;
      const std::int32_t port = config.port;
      std::int32_t free = -7, r = 0, status = 99;
      char buffer[64];
      if (verb == "nego") r = dev->u_nego(0, a.empty() ? port : std::stoi(a), 1, 4, &status);
      if (verb == "end") r = dev->u_end(0, port, 1, 4, &status);
      if (verb == "mkdir") r = dev->u_mkdir(0, port, -2, 4, a, &status);
      if (verb == "upload") r = dev->u_upload(0, port, -1, 4, a, b, &status);
      if (verb == "download") r = dev->u_download(0, port, -1, 4, a, b, &status);
      if (verb == "free") dev->u_dir(0, port, 0, 4, "\\", buffer, sizeof buffer, &free, &status);
      out.push_back(verb == "free" ? std::to_string(free) : r ? std::to_string(status) : "ok");
    }
    return out;
  }

  test::FakePcFiles files;
  Config config;
  std::optional<SimulatedDevice> dev;
};

// Each on a fresh device: its settings, the commands and their outcomes.
TEST_F(Device, AnswersOnlyOnItsPortWhileLinkedAndFailsWhereItMust) {
  Config onPort3, faulty;
  onPort3.port = 3;
  faulty.faults = {{"u_download", 1, 3}, {"u_nego", 2, 0}};
  faulty.dropAfter = 3;
  const std::tuple<Config, Outcomes, Outcomes> runs[] = {
      {onPort3,
       {"upload C:\\pc\\one.bin \\ONE.BIN", "nego 1", "nego", "upload C:\\pc\\one.bin \\ONE.BIN",
        "end", "mkdir \\X"},
       {"0", "0", "ok", "ok", "ok", "0"}},
      {Config(),
       {"nego", "mkdir \\SYSTEM", "mkdir \\SYSTEM", "mkdir \\NO\\PARENT",
        "upload C:\\pc\\missing.bin \\SYSTEM\\M.BIN", "download \\SYSTEM\\RAVUZ.INI C:\\pc\\r.ini",
        "upload C:\\pc\\big.bin \\SYSTEM\\RAVUZ.INI", "download \\system\\ravuz.ini C:\\pc\\r.ini"},
       {"ok", "ok", "ok", "0", "0", "-1", "ok", "ok"}},
      // The download is injected; after the third call the link is gone; u_nego again comes
      // before u_end (and is injected).
      {faulty,
       {"nego", "download \\X C:\\pc\\x", "mkdir \\A", "mkdir \\B", "nego", "end", "nego",
        "mkdir \\B"},
       {"ok", "3", "ok", "0", "0", "ok", "ok", "ok"}}};
  for (const auto& [settings, commands, outcomes] : runs) {
    device(settings);
    EXPECT_EQ(run(commands), outcomes) << commands[1];
  }
  EXPECT_EQ(files.contents(L"C:\\pc\\r.ini"), std::string(1000, 'b'));
}

// The count kept while linked must be the one a fresh look at the folder gives, step by step;
// whole blocks of 512 bytes count against the capacity.
TEST_F(Device, KeepsItsCountOfUsedBlocksExact) {
  files.addFile(L"C:\\device\\OLD.BIN", std::string(600, 'o'));
  files.addFile(L"C:\\device\\upload.partial", std::string(900, 'p')); // a broken run's
  files.addFile(L"C:\\pc\\huge.bin", std::string(3000, 'h'));
  config.capacity = 4096;
  config.faults = {{"u_upload", 3, 0}};
  device(config);
  const std::pair<std::string, Outcomes> steps[] = {
      {"nego", {"ok", "3072"}},
      {"upload C:\\pc\\big.bin \\NEW.BIN", {"ok", "2048"}},
      {"upload C:\\pc\\one.bin \\OLD.BIN", {"ok", "2560"}}, // replaced by a smaller one
      {"upload C:\\pc\\big.bin \\OLD.BIN", {"0", "2560"}},  // broken on the way
      {"upload C:\\pc\\huge.bin \\X.BIN", {"5", "2560"}},   // no room
      {"upload C:\\pc\\huge.bin \\NEW.BIN", {"ok", "512"}}, // room with the blocks it replaces
  };
  const auto fresh = [&] {
    return SimulatedDevice(config, files, test::TestShiftJis()).freeBytes();
  };
  for (const auto& [command, outcomes] : steps) {
    EXPECT_EQ(run({command, "free"}), outcomes) << command;
    EXPECT_EQ(std::to_string(fresh()), outcomes[1]) << command;
  }
  EXPECT_EQ(files.contents(L"C:\\device\\OLD.BIN"), "1");
  EXPECT_FALSE(files.exists(L"C:\\device\\upload.partial") || files.exists(L"C:\\device\\X.BIN"));
  // Changed by hand between runs.
  run({"end"});
  files.deleteFile(L"C:\\device\\NEW.BIN");
  files.addFile(L"C:\\device\\HAND.BIN", std::string(2000, 'h'));
  EXPECT_THAT(run({"nego", "free"}), ElementsAre("ok", "1536"));
  EXPECT_EQ(fresh(), 1536u);
}

TEST_F(Device, StaysInsideItsFolderAndTakesOnlyDeviceNames) {
  files.addDirectory(L"C:\\device\\SYSTEM");
  device(config);
  run({"nego"});
  // The rule for each name is held to the package tool's in its tests; these are whole paths.
  for (const char* bad : {"\\..\\OUT.BIN", "\\SYSTEM\\..\\..\\OUT.BIN", "C:\\OUT.BIN", "OUT.BIN",
                          "\\.\\A", "\\\\A", "\\A\\", "\\A.B.C"})
    EXPECT_THAT(run({std::string("upload C:\\pc\\one.bin ") + bad}), ElementsAre("0")) << bad;
  EXPECT_FALSE(files.exists(L"C:\\OUT.BIN"));
  // Names are stored in upper case.
  EXPECT_THAT(run({"upload C:\\pc\\one.bin \\system\\a.exf"}), ElementsAre("ok"));
  EXPECT_THAT(files.filesUnder(L"C:\\device"), ElementsAre(L"C:\\device\\SYSTEM\\A.EXF"));
}

TEST_F(Device, DelaysLikeASerialLine) {
  std::chrono::microseconds waited{0};
  config.bitsPerSecond = 9600;
  device(config);
  // The wait ends the call: the device has stored the file within the line time.
  dev->sleep = [&](std::chrono::microseconds us) {
    EXPECT_TRUE(files.contents(L"C:\\device\\B.BIN"));
    waited += us;
  };
  run({"nego", "upload C:\\pc\\big.bin \\B.BIN"});
  EXPECT_EQ(waited.count(), 1000 * 10 * 1000000LL / 9600);
}

TEST(Config, ReadsSettingsAndReportsBadLines) {
  std::vector<std::wstring> errors;
  const Config c =
      ParseConfig(L"# a device\ndevice = C:\\dev ice\nport=2\ncapacity = 4096 # small\n"
                  L"fail = u_upload 2 5\nfail = u_nego 1 -1\ndrop-after = 7\n"
                  L"speed = 9600\nlog = C:\\calls.log\nport = two\nfail = u_dir\n"
                  L"colour = blue\n",
                  &errors);
  EXPECT_EQ(std::tie(c.deviceDir, c.port, c.capacity, c.dropAfter, c.bitsPerSecond, c.logFile),
            std::tuple(L"C:\\dev ice", 2, 4096u, std::optional(7), 9600u, L"C:\\calls.log"));
  std::string faults;
  for (const Fault& f : c.faults)
    faults += f.function + " " + std::to_string(f.nth) + " " + std::to_string(f.status) + ";";
  EXPECT_EQ(faults, "u_upload 2 5;u_nego 1 -1;");
  EXPECT_EQ(errors.size(), 3u);
}

} // namespace
} // namespace vokuta::devsim
