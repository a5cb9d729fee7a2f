// Win32LinkLibrary against the link libraries that run_link_tests.sh places beside this program,
// which runs in that folder. Each suite belongs to one folder and is run there alone
// (--gtest_filter=Suite.*):
//   WithSimulatedDevice  V370rsh32.dll, V370rsh32.ini beside it: device "本体", port 2,
//                        capacity 4096, log "calls.log"
//   WithInjectedFaults   V370rsh32.dll, settings named by VOKUTA_DEVSIM_CONFIG: device "本体",
//                        port 4, fail = u_mkdir 1 -7, fail = u_upload 2 5, log "calls.log"; the
//                        V370rsh32.ini beside the DLL (port 3) must not be read
//   WithDefaults         V370rsh32.dll alone
//   WithoutLibrary       no V370rsh32.dll
//   WithoutDir           a V370rsh32.dll that lacks u_dir
// What the simulated device does with the files is its own tests' concern; these check what
// crosses the binding: the arguments (in the device's log), the results and the status words.
#include <gtest/gtest.h>

#include <cstring>
#include <set>
#include <string>
#include <tuple>
#include <utility>
#include <vector>

#include "state/program.h"
#include "support/scripted_ui.h"
#include "util/shift_jis.h"
#include "win32/link_binding.h"
#include "win32/win.h"
#include "win32/win32_pc_files.h"

namespace vokuta {
namespace {

constexpr std::intptr_t kWindow = 0x1234;
using Results = std::vector<std::pair<std::int32_t, std::int32_t>>; ///< result, status

class LinkTest : public testing::Test {
protected:
  void write(const std::string& content) {
    ASSERT_TRUE(files.writeFile(L"a.bin", {content.begin(), content.end()}));
  }
  std::wstring log() {
    const auto bytes = files.readFile(L"calls.log").value_or(std::vector<std::uint8_t>{});
    return DecodeUtf8(std::string(bytes.begin(), bytes.end()));
  }

  // u_end, u_nego, u_mkdir, u_upload, u_download and u_dir (into `listing` and `freeBytes`) on
  // `port`, with the modes 4 to 9: what each one returns and writes to its status word.
  Results callEach(std::int32_t port) {
    Results results;
    std::int32_t out = 99;
    const auto add = [&](std::int32_t result) {
      results.emplace_back(result, std::exchange(out, 99));
    };
    add(link.u_end(kWindow, port, 1, 4, &out));
    add(link.u_nego(kWindow, port, 1, 5, &out));
    add(link.u_mkdir(kWindow, port, -2, 6, "\\APPS", &out));
    add(link.u_upload(kWindow, port, -1, 7, "a.bin", "\\A.BIN", &out));
    add(link.u_download(kWindow, port, -1, 8, "\\A.BIN", "a.bin", &out));
    add(link.u_dir(kWindow, port, 0, 9, "\\", listing, sizeof listing, &freeBytes, &out));
    return results;
  }

  // The one box, which tells of a missing library or function.
  void expectOneBox(const std::wstring& missing) {
    ASSERT_EQ(ui.boxes.size(), 1u);
    EXPECT_EQ(
        std::tuple(ui.boxes[0].text, ui.boxes[0].title, ui.boxes[0].buttons, ui.boxes[0].icon),
        std::tuple(missing + L"\r\nVokutaのPCソフトをインストールし直してください。",
                   AppTitle + L" - 接続エラー", Buttons::Ok, Icon::Stop));
  }

  test::ScriptedUi ui;
  Win32LinkLibrary link{ui};
  Win32PcFiles files;
  std::int32_t status = 99, freeBytes = 0;
  char listing[16] = {};
};

using WithSimulatedDevice = LinkTest;
using WithInjectedFaults = LinkTest;
using WithDefaults = LinkTest;
using WithoutLibrary = LinkTest;
using WithoutDir = LinkTest;

TEST_F(WithSimulatedDevice, PassesEveryArgumentAndResultBothWays) {
  write(std::string(1000, 'p'));
  EXPECT_NE(link.u_nego(kWindow, 1, 1, 4, &status), 0) << "the device answers on port 2 only";
  EXPECT_EQ(callEach(2), Results(6, {0, 0}));
  EXPECT_EQ(freeBytes, 4096 - 1024) << "1000 bytes take two blocks";
  // The listing: names, each ended by a NUL, in no particular order.
  std::set<std::string> names;
  for (const char* name = listing; *name; name += std::strlen(name) + 1) names.insert(name);
  EXPECT_EQ(names, (std::set<std::string>{"APPS", "A.BIN"}));
  EXPECT_EQ(log(), L"u_nego 1 1 4 -> -1 status 0\r\n"
                   L"u_end 2 1 4 -> 0 status 0\r\n"
                   L"u_nego 2 1 5 -> 0 status 0\r\n"
                   L"u_mkdir 2 -2 6 \\APPS -> 0 status 0\r\n"
                   L"u_upload 2 -1 7 a.bin \\A.BIN -> 0 status 0\r\n"
                   L"u_download 2 -1 8 \\A.BIN a.bin -> 0 status 0\r\n"
                   L"u_dir 2 0 9 \\ 16 -> 0 status 0\r\n");
  EXPECT_TRUE(ui.boxes.empty());
}

// On the settings' port, not the ini's.
TEST_F(WithInjectedFaults, FailsTheNamedCallsWithTheirStatus) {
  write("old");
  EXPECT_EQ(callEach(4), (Results{{0, 0}, {0, 0}, {-1, -7}, {0, 0}, {0, 0}, {0, 0}}));
  EXPECT_EQ(link.u_mkdir(kWindow, 4, -2, 4, "\\APPS", &status), 0) << "only the first fails";
  EXPECT_EQ(link.u_upload(kWindow, 4, -1, 4, "a.bin", "\\APPS\\A.BIN", &status), -1);
  EXPECT_EQ(status, 5);
}

TEST_F(WithDefaults, KeepsTheDeviceInAFolderBesideTheLibrary) {
  EXPECT_EQ(callEach(1)[1], std::pair(0, 0)) << "u_nego on port 1";
  const auto found = files.find(L"device\\APPS", kAttrDirectory);
  EXPECT_TRUE(found.size() == 1 && (found[0].attributes & kAttrDirectory));
  EXPECT_EQ(freeBytes, 2 * 1024 * 1024);
}

TEST_F(WithoutLibrary, EveryCallFailsAfterOneBoxNamingTheLibrary) {
  ui.answer({kOk});
  EXPECT_EQ(callEach(1), Results(6, {-1, 0}));
  expectOneBox(L"リンクライブラリ V370rsh32.dll が見つかりません。");

  // The user puts the library in place and presses Next again: the new run finds it.
  ui.answer({kOk});
  link.prepareRun();
  EXPECT_EQ(link.u_end(kWindow, 1, 1, 4, &status), -1) << "still missing";
  EXPECT_EQ(ui.boxes.size(), 2u) << "told again";
  ASSERT_TRUE(CopyFileW(L"..\\defaults\\V370rsh32.dll", L"V370rsh32.dll", FALSE));
  EXPECT_EQ(link.u_end(kWindow, 1, 1, 4, &status), -1) << "looked for once a run";
  link.prepareRun();
  EXPECT_NE(GetModuleHandleW(L"V370rsh32.dll"), nullptr) << "loaded before the run's first call";
  EXPECT_EQ(link.u_nego(kWindow, 1, 1, 4, &status), 0);
  EXPECT_EQ(ui.boxes.size(), 2u);
}

TEST_F(WithoutDir, TheOtherFunctionsWorkAndTheMissingOneIsNamedOnce) {
  ui.answer({kOk});
  // This library's functions answer with their port and write their mode to the status.
  EXPECT_EQ(callEach(3), (Results{{3, 4}, {3, 5}, {3, 6}, {3, 7}, {3, 8}, {-1, 0}}));
  EXPECT_EQ(callEach(3).back(), (std::pair(-1, 0)));
  expectOneBox(L"V370rsh32.dll に関数 u_dir がありません。");
}

} // namespace
} // namespace vokuta
