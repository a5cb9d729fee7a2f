// The install run under one link fault at every call of a fault-free run, every fault kind and
// both answer policies, checked against what must hold after any run; and the refusals that
// keep the device from being asked for what it cannot hold.
#include <gtest/gtest.h>

#include <algorithm>
#include <iostream>
#include <map>

#include "run/install_loop.h"
#include "run/install_run.h"
#include "setupinfo/setup_info.h"
#include "support/linked_program.h"

namespace vokuta {
namespace {

using test::kCacheDir;
using test::kDeviceDir;
using test::kDeviceIni;
using test::kWorkCopy;
using Files = std::map<std::wstring, std::string>;
struct Endless {};

std::string shown(const std::wstring& text) { return ::testing::PrintToString(text); }

// The package onto a device with an older table. Every notice gets OK; every question Yes, or
// No to the first one after the run's prompt with `noOnce`.
struct World : test::LinkedProgram {
  bool ended = false, endless = false;

  World(devsim::Config config, bool noOnce) {
    addPackage();
    files.addFile(L"C:\\other\\keep.txt", "keep");
    files.addFile(kDeviceIni, std::string(4 * 54, '\0') + ".OLD" + std::string(50, 'x'));
    use(config);
    ui.otherwise = [this, noOnce, questions = 0](Buttons buttons) mutable {
      if (ui.boxes.size() >= 24) throw Endless{}; // far beyond any run that ends
      const bool no = buttons != Buttons::Ok && noOnce && questions++ == 1;
      return buttons == Buttons::Ok         ? kOk
             : buttons == Buttons::YesNo    ? (no ? kNo : kYes)
             : buttons == Buttons::OkCancel ? (no ? kCancel : kOk)
                                            : (no ? kCancel : kRetry);
    };
  }
  void run() {
    try {
      開始ボタン(p);
    } catch (const test::ProgramEnded&) {
      ended = true;
    } catch (const Endless&) {
      endless = true;
    }
  }
  Files under(const std::wstring& dir) const {
    Files out;
    for (const auto& path : files.filesUnder(dir)) out[UpperAscii(path)] = *files.contents(path);
    return out;
  }
  Files outside() const {
    Files all = under(L"C:");
    std::erase_if(all, [](const auto& f) {
      return f.first.starts_with(UpperAscii(kDeviceDir + L"\\")) ||
             f.first.starts_with(UpperAscii(kCacheDir + L"\\")) || f.first == UpperAscii(kWorkCopy);
    });
    return all;
  }
};

TEST(InstallFaults, EveryFaultAtEveryCallEndsCleanly) {
  World clean({}, false), fresh({}, false);
  fresh.files.deleteFile(kDeviceIni);
  clean.run();
  fresh.run();
  const Files before = World({}, false).under(kDeviceDir), after = clean.under(kDeviceDir);
  // A table the device reports missing is rightly replaced by the package's associations.
  ASSERT_TRUE(fresh.files.contents(kDeviceIni));
  const std::string tableOnNothing = *fresh.files.contents(kDeviceIni);
  std::vector<std::string> calls;
  for (const auto& c : clean.dev->calls()) calls.push_back(c.function);
  // The link's start (2) and end, the free space, 4 levels, 4 uploads, the table's download.
  ASSERT_EQ(calls.size(), 13u);

  // A status, or none: the link drops from that call on.
  const std::pair<const char*, std::optional<std::int32_t>> kinds[] = {
      {"broken link", 0},
      {"memory full", link_status::kMemoryFull},
      {"file missing", link_status::kNoSuchFile},
      {"link dropped", std::nullopt}};
  std::vector<std::string> violations;
  std::size_t runs = 0;
  for (std::size_t at = 0; at < calls.size(); ++at) {
    const int nth = static_cast<int>(std::count(calls.begin(), calls.begin() + at + 1, calls[at]));
    for (const auto& [kind, status] : kinds) {
      for (const bool noOnce : {false, true}) {
        devsim::Config config;
        if (status)
          config.faults = {{calls[at], nth, *status}};
        else
          config.dropAfter = static_cast<int>(at);
        World w(config, noOnce);
        const Files outsideBefore = w.outside();
        w.run();
        ++runs;
        const std::string where = std::string(kind) + " at call " + std::to_string(at + 1) + " (" +
                                  calls[at] + ")" + (noOnce ? ", No once" : ", Yes") + ": ";
        auto fail = [&](const std::string& what) { violations.push_back(where + what); };
        const auto titles = w.titles();
        const auto closing = std::count_if(titles.begin(), titles.end(), [](auto& title) {
          return title == L" - 正常終了" || title == L" - エラー終了";
        });
        if (w.endless) fail("the questions never end");
        if (closing != (w.ended ? 1 : 0)) fail("closing boxes: " + std::to_string(closing));
        const bool success = w.ended && titles.back() == L" - 正常終了";
        const Files device = w.under(kDeviceDir);
        const bool missingTable = status == link_status::kNoSuchFile && calls[at] == "u_download" &&
                                  w.files.contents(kDeviceIni) == tableOnNothing;
        for (const auto& [path, bytes] : device) {
          const bool old = before.count(path) && before.at(path) == bytes;
          const bool isNew = (after.count(path) && after.at(path) == bytes) ||
                             (missingTable && path == UpperAscii(kDeviceIni));
          if (!old && !isNew) fail("neither old nor new: " + shown(path));
          if (success && !isNew) fail("success without " + shown(path));
        }
        if (success && device.size() != after.size()) fail("success with files missing");
        if (w.files.exists(kWorkCopy)) fail("the work copy is left");
        for (const auto& [path, bytes] : w.under(kCacheDir)) {
          const auto onDevice = w.files.contents(kDeviceDir + path.substr(kCacheDir.size()));
          if (onDevice != bytes) fail("the cache holds what the device lacks: " + shown(path));
        }
        if (w.outside() != outsideBefore) fail("written outside its folders");
        // A level that failed is asked for again, so a Yes to every question gets there.
        if (!noOnce && status == 0 && calls[at] == "u_mkdir" && !success)
          fail("a failed level is never made again");
      }
    }
  }
  EXPECT_EQ(runs, calls.size() * 8);
  EXPECT_TRUE(violations.empty()) << ::testing::PrintToString(violations);
  std::cout << "fault matrix: " << runs << " runs, " << violations.size() << " violations\n";
}

TEST(InstallFaults, APathTheDeviceCannotHoldRefusesThePackageUntouched) {
  const struct {
    SetupRow row;
    std::wstring path, why;
  } cases[] = {
      {{L"a.dat", L"\\da:ta", L"C:\\pkg\\data", L""},
       L"\\DA:TA\\A.DAT",
       L"名前に使えない文字「:」"},
      {{L"*.d*", L"\\data", L"C:\\pkg\\data", L""}, L"\\DATA\\TWO.DATA", L"8.3 形式に収まりません"},
      {{L"一覧表", L"", L"C:\\pkg", L""}, L"\\一覧表", L"最後の文字「表」"},
      {{L"a.dat", L"\\a\\\\b", L"C:\\pkg", L""}, L"\\A\\\\B\\A.DAT", L"空の名前"},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(shown(c.path));
    World w({}, false);
    w.files.addFile(L"C:\\pkg\\data\\two.data", "2");
    w.p.setupTable[1] = c.row;
    w.p.setupLines[1] = 7;
    w.run();
    ASSERT_TRUE(w.ended);
    ASSERT_EQ(w.titles(), std::vector<std::wstring>{L" - ｾｯﾄｱｯﾌﾟ情報"});
    const std::wstring& text = w.ui.boxes[0].text;
    EXPECT_EQ(text.find(L"セットアップ情報の 7 行目"), 0u) << shown(text);
    EXPECT_NE(text.find(L"\r\n" + c.path + L"\r\n"), std::wstring::npos) << shown(text);
    EXPECT_NE(text.find(c.why), std::wstring::npos) << shown(text);
    EXPECT_TRUE(w.dev->calls().empty());
  }
}

TEST(InstallFaults, TheCacheMirrorNeverOpensAReservedName) {
  World w({}, false);
  w.p.setupTable[0] = {L"con.dat", L"\\data", L"C:\\pkg", L""};
  w.p.setupTable[1] = {L"viewer.exf", L"\\lpt1", L"C:\\pkg", L""};
  w.files.addFile(L"C:\\pkg\\con.dat", "c");
  // The device holds such names, so the installer installs them; only the mirror skips them.
  EXPECT_FALSE(FindUnholdablePath(w.p).has_value());
  InstallFiles(w.p);
  EXPECT_EQ(w.deviceFiles(), (std::vector<std::wstring>{L"\\DATA\\CON.DAT", L"\\LPT1\\VIEWER.EXF",
                                                        L"\\SYSTEM\\RAVUZ.INI"}));
  EXPECT_TRUE(w.files.filesUnder(kCacheDir).empty());
  EXPECT_TRUE(w.files.exists(kCacheDir + L"\\DATA\\"));
  EXPECT_FALSE(w.files.exists(kCacheDir + L"\\LPT1"));
}

} // namespace
} // namespace vokuta
