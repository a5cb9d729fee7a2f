// Win32LinkLibrary against the link libraries that run_link_tests.sh places beside this program.
// Each suite belongs to one folder and is run there alone (--gtest_filter=Suite.*):
//   WithSimulatedDevice  V370rsh32.dll, V370rsh32.ini beside it: device "本体", port 2,
//                        capacity 4096, log "calls.log"
//   WithInjectedFaults   V370rsh32.dll, settings named by VOKUTA_DEVSIM_CONFIG: device "本体",
//                        port 4, fail = u_mkdir 1 -7, fail = u_upload 2 5, log "calls.log"; the
//                        V370rsh32.ini beside the DLL (port 3) must not be read
//   WithDefaults         V370rsh32.dll alone
//   WithoutLibrary       no V370rsh32.dll
//   WithoutDir           a V370rsh32.dll that lacks u_dir
#include <gtest/gtest.h>

#include <set>
#include <string>
#include <vector>

#include "state/program.h"
#include "support/scripted_ui.h"
#include "util/shift_jis.h"
#include "win32/link_binding.h"
#include "win32/win.h"
#include "win32/win32_codepage.h"
#include "win32/win32_pc_files.h"

namespace vokuta {
namespace {

constexpr std::intptr_t kWindow = 0x1234;

std::wstring exeDir() {
  wchar_t path[MAX_PATH];
  const DWORD n = GetModuleFileNameW(nullptr, path, MAX_PATH);
  const std::wstring exe(path, n < MAX_PATH ? n : 0);
  return exe.substr(0, exe.rfind(L'\\'));
}

std::vector<std::uint8_t> bytesOf(const std::string& text) { return {text.begin(), text.end()}; }

class LinkTest : public testing::Test {
protected:
  std::string cp932(const std::wstring& text) const { return sjis.encode(text); }

  void writePcFile(const std::wstring& path, const std::string& content) {
    ASSERT_TRUE(files.writeFile(path, bytesOf(content))) << testing::PrintToString(path);
  }

  // The lines of a UTF-8 log with CR LF line ends.
  std::vector<std::wstring> logLines(const std::wstring& path) {
    std::vector<std::wstring> lines;
    const auto bytes = files.readFile(path);
    if (!bytes) return lines;
    const std::wstring text =
        DecodeUtf8(std::string_view(reinterpret_cast<const char*>(bytes->data()), bytes->size()));
    for (std::size_t start = 0; start < text.size();) {
      std::size_t end = text.find(L"\r\n", start);
      if (end == std::wstring::npos) end = text.size();
      lines.push_back(text.substr(start, end - start));
      start = end + 2;
    }
    return lines;
  }

  // Names in a u_dir listing: CP932, each ended by a NUL.
  std::set<std::string> listing(const char* buffer, std::size_t size) {
    std::set<std::string> names;
    for (std::size_t i = 0; i < size && buffer[i];) {
      const std::string name(buffer + i);
      names.insert(name);
      i += name.size() + 1;
    }
    return names;
  }

  bool isDirectory(const std::wstring& path) {
    const auto found = files.find(path, kAttrDirectory);
    return found.size() == 1 && (found[0].attributes & kAttrDirectory);
  }

  test::ScriptedUi ui;
  Win32LinkLibrary link{ui};
  Win32Codepage codepage;
  ShiftJis sjis{codepage};
  Win32PcFiles files;
  std::int32_t status = 99;
  const std::wstring dir = exeDir();
};

using WithSimulatedDevice = LinkTest;
using WithInjectedFaults = LinkTest;
using WithDefaults = LinkTest;
using WithoutLibrary = LinkTest;
using WithoutDir = LinkTest;

TEST_F(WithSimulatedDevice, CopiesBothWaysReportsFreeSpaceAndLogsEveryCall) {
  const std::wstring device = dir + L"\\本体";
  const std::wstring program = dir + L"\\データ.exf";
  const std::wstring small = dir + L"\\one.bin";
  const std::wstring back = dir + L"\\戻り.exf";
  const std::string content(1000, 'p');
  writePcFile(program, content);
  writePcFile(small, "1");

  EXPECT_EQ(link.u_end(kWindow, 2, 1, 4, &status), 0);
  EXPECT_EQ(status, 0);
  status = 99;
  EXPECT_NE(link.u_nego(kWindow, 1, 1, 4, &status), 0) << "the device answers on port 2 only";
  EXPECT_EQ(status, 0);
  ASSERT_EQ(link.u_nego(kWindow, 2, 1, 4, &status), 0);

  EXPECT_EQ(link.u_mkdir(kWindow, 2, -2, 4, "\\APPS", &status), 0);
  EXPECT_TRUE(isDirectory(device + L"\\APPS"));
  EXPECT_EQ(link.u_upload(kWindow, 2, -1, 4, cp932(program), cp932(L"\\APPS\\テスト.EXF"), &status),
            0);
  EXPECT_EQ(link.u_upload(kWindow, 2, -1, 4, cp932(small), "\\one.bin", &status), 0);
  EXPECT_EQ(files.readFile(device + L"\\APPS\\テスト.EXF"), bytesOf(content));
  EXPECT_EQ(files.readFile(device + L"\\ONE.BIN"), bytesOf("1")) << "device names are upper case";

  EXPECT_EQ(link.u_download(kWindow, 2, -1, 4, cp932(L"\\APPS\\テスト.EXF"), cp932(back), &status),
            0);
  EXPECT_EQ(files.readFile(back), bytesOf(content));

  char buffer[64];
  std::int32_t freeBytes = -7;
  status = 99;
  EXPECT_EQ(link.u_dir(kWindow, 2, 0, 4, "\\", buffer, sizeof buffer, &freeBytes, &status), 0);
  EXPECT_EQ(status, 0);
  EXPECT_EQ(freeBytes, 4096 - 1024 - 512) << "1000 bytes take two blocks, 1 byte one";
  EXPECT_EQ(listing(buffer, sizeof buffer), (std::set<std::string>{"APPS", "ONE.BIN"}));
  EXPECT_EQ(link.u_end(kWindow, 2, 1, 4, &status), 0);

  EXPECT_EQ(logLines(dir + L"\\calls.log"),
            (std::vector<std::wstring>{
                L"u_end 2 1 4 -> 0 status 0",
                L"u_nego 1 1 4 -> -1 status 0",
                L"u_nego 2 1 4 -> 0 status 0",
                L"u_mkdir 2 -2 4 \\APPS -> 0 status 0",
                L"u_upload 2 -1 4 " + program + L" \\APPS\\テスト.EXF -> 0 status 0",
                L"u_upload 2 -1 4 " + small + L" \\one.bin -> 0 status 0",
                L"u_download 2 -1 4 \\APPS\\テスト.EXF " + back + L" -> 0 status 0",
                L"u_dir 2 0 4 \\ 64 -> 0 status 0",
                L"u_end 2 1 4 -> 0 status 0",
            }));
  EXPECT_TRUE(ui.boxes.empty());
}

TEST_F(WithInjectedFaults, FailsTheNamedCallsWithTheirStatus) {
  const std::wstring device = dir + L"\\本体";
  const std::wstring file = dir + L"\\a.bin";
  writePcFile(file, "old");

  ASSERT_EQ(link.u_nego(kWindow, 4, 1, 4, &status), 0) << "the settings' port, not the ini's";
  EXPECT_EQ(link.u_mkdir(kWindow, 4, -2, 4, "\\APPS", &status), -1);
  EXPECT_EQ(status, -7);
  EXPECT_FALSE(isDirectory(device + L"\\APPS"));
  EXPECT_EQ(link.u_mkdir(kWindow, 4, -2, 4, "\\APPS", &status), 0) << "only the first fails";

  EXPECT_EQ(link.u_upload(kWindow, 4, -1, 4, cp932(file), "\\APPS\\A.BIN", &status), 0);
  writePcFile(file, "new");
  EXPECT_EQ(link.u_upload(kWindow, 4, -1, 4, cp932(file), "\\APPS\\A.BIN", &status), -1);
  EXPECT_EQ(status, 5);
  EXPECT_EQ(files.readFile(device + L"\\APPS\\A.BIN"), bytesOf("old"));

  const auto lines = logLines(dir + L"\\calls.log");
  ASSERT_EQ(lines.size(), 5u);
  EXPECT_EQ(lines[1], L"u_mkdir 4 -2 4 \\APPS -> -1 status -7");
  EXPECT_EQ(lines[4], L"u_upload 4 -1 4 " + file + L" \\APPS\\A.BIN -> -1 status 5");
}

TEST_F(WithDefaults, KeepsTheDeviceInAFolderBesideTheLibrary) {
  ASSERT_EQ(link.u_nego(kWindow, 1, 1, 4, &status), 0);
  EXPECT_EQ(link.u_mkdir(kWindow, 1, -2, 4, "\\X", &status), 0);
  EXPECT_TRUE(isDirectory(dir + L"\\device\\X"));
  char buffer[16];
  std::int32_t freeBytes = 0;
  EXPECT_EQ(link.u_dir(kWindow, 1, 0, 4, "\\", buffer, sizeof buffer, &freeBytes, &status), 0);
  EXPECT_EQ(freeBytes, 2 * 1024 * 1024);
}

TEST_F(WithoutLibrary, EveryCallFailsAfterOneBoxNamingTheLibrary) {
  ui.answer({kOk});
  char buffer[16];
  std::int32_t freeBytes = 0;
  const auto check = [&](std::int32_t result, const char* function) {
    EXPECT_EQ(result, -1) << function;
    EXPECT_EQ(status, 0) << function;
    status = 99;
  };
  check(link.u_end(kWindow, 1, 1, 4, &status), "u_end");
  check(link.u_nego(kWindow, 1, 1, 4, &status), "u_nego");
  check(link.u_mkdir(kWindow, 1, -2, 4, "\\APPS", &status), "u_mkdir");
  check(link.u_upload(kWindow, 1, -1, 4, "C:\\a.bin", "\\A.BIN", &status), "u_upload");
  check(link.u_download(kWindow, 1, -1, 4, "\\A.BIN", "C:\\a.bin", &status), "u_download");
  check(link.u_dir(kWindow, 1, 0, 4, "\\", buffer, sizeof buffer, &freeBytes, &status), "u_dir");

  ASSERT_EQ(ui.boxes.size(), 1u);
  const auto& box = ui.boxes[0];
  EXPECT_NE(box.text.find(L"V370rsh32.dll が見つかりません"), std::wstring::npos);
  EXPECT_NE(box.text.find(L"インストールし直して"), std::wstring::npos);
  EXPECT_EQ(box.title, AppTitle + L" - 接続エラー");
  EXPECT_EQ(box.buttons, Buttons::Ok);
  EXPECT_EQ(box.icon, Icon::Stop);

  // The user puts the library in place and presses Next again: the new run finds it.
  ui.answer({kOk});
  link.retryMissingLibrary();
  check(link.u_end(kWindow, 1, 1, 4, &status), "u_end, still missing");
  EXPECT_EQ(ui.boxes.size(), 2u) << "told again";
  ASSERT_TRUE(CopyFileW((dir + L"\\..\\defaults\\V370rsh32.dll").c_str(),
                        (dir + L"\\V370rsh32.dll").c_str(), FALSE));
  EXPECT_EQ(link.u_end(kWindow, 1, 1, 4, &status), -1) << "looked for once a run";
  link.retryMissingLibrary();
  EXPECT_EQ(link.u_nego(kWindow, 1, 1, 4, &status), 0);
  EXPECT_EQ(ui.boxes.size(), 2u);
}

TEST_F(WithoutDir, TheOtherFunctionsWorkAndTheMissingOneIsNamedOnce) {
  char buffer[16];
  std::int32_t freeBytes = 0;
  EXPECT_EQ(link.u_end(kWindow, 3, 1, 4, &status), 3);
  EXPECT_EQ(status, 4);
  EXPECT_EQ(link.u_nego(kWindow, 3, 1, 5, &status), 3);
  EXPECT_EQ(status, 5);
  EXPECT_EQ(link.u_mkdir(kWindow, 3, -2, 6, "\\APPS", &status), 3);
  EXPECT_EQ(status, 6);
  EXPECT_EQ(link.u_upload(kWindow, 3, -1, 7, "C:\\a.bin", "\\A.BIN", &status), 3);
  EXPECT_EQ(status, 7);
  EXPECT_EQ(link.u_download(kWindow, 3, -1, 8, "\\A.BIN", "C:\\a.bin", &status), 3);
  EXPECT_EQ(status, 8);
  EXPECT_TRUE(ui.boxes.empty());

  ui.answer({kOk});
  for (int call = 0; call < 2; ++call) {
    status = 99;
    EXPECT_EQ(link.u_dir(kWindow, 3, 0, 4, "\\", buffer, sizeof buffer, &freeBytes, &status), -1);
    EXPECT_EQ(status, 0);
  }
  ASSERT_EQ(ui.boxes.size(), 1u);
  EXPECT_NE(ui.boxes[0].text.find(L"V370rsh32.dll に関数 u_dir がありません"), std::wstring::npos);
  EXPECT_EQ(ui.boxes[0].title, AppTitle + L" - 接続エラー");
  EXPECT_EQ(ui.boxes[0].icon, Icon::Stop);
}

} // namespace
} // namespace vokuta
