// The install run under one link fault at every call of a fault-free run, every fault kind and
// both answer policies, checked against what must hold after any run; and the refusals that
// keep the device from being asked for what it cannot hold.
#include <gtest/gtest.h>

#include <algorithm>
#include <iostream>
#include <map>

#include "devsim/sim_device.h"
#include "mainwin/environment.h"
#include "run/install_loop.h"
#include "run/install_run.h"
#include "setupinfo/setup_info.h"
#include "support/test_program.h"

namespace vokuta {
namespace {

const std::wstring kDevice = L"C:\\device";
const std::wstring kCache = L"C:\\PcSide\\redirav\\cache";
const std::wstring kWorkCopy = L"C:\\PcSide\\vkapps\\$$Ravuz$.ini";
const std::wstring kIni = L"C:\\device\\SYSTEM\\RAVUZ.INI";
constexpr std::size_t kMaxBoxes = 24; // far beyond any run that ends
struct Endless {};

std::string shown(const std::wstring& text) { return ::testing::PrintToString(text); }

// OK to every notice; Yes to every question, or No to the first one after the run's prompt.
class PolicyUi final : public test::ScriptedUi {
public:
  bool noOnce = false;
  int messageBox(const std::wstring& text, const std::wstring& title, Buttons buttons, Icon icon,
                 int defaultButton) override {
    if (boxes.size() >= kMaxBoxes) throw Endless{};
    const bool no = buttons != Buttons::Ok && noOnce && questions_++ == 1;
    answer({buttons == Buttons::Ok         ? kOk
            : buttons == Buttons::YesNo    ? (no ? kNo : kYes)
            : buttons == Buttons::OkCancel ? (no ? kCancel : kOk)
                                           : (no ? kCancel : kRetry)});
    return ScriptedUi::messageBox(text, title, buttons, icon, defaultButton);
  }

private:
  int questions_ = 0;
};

using Files = std::map<std::wstring, std::string>;

// A package of two new directories and an association onto a device with an older table.
struct World {
  PolicyUi ui;
  test::FakeRegistry registry;
  test::FakePcFiles files;
  Program p{Seams{ui, registry, files, test::TestShiftJis()}};
  std::optional<devsim::SimulatedDevice> dev;
  bool ended = false, endless = false;

  World(devsim::Config config, bool oldTable) {
    registry.setString(kPcSoftwareKey, "InstallDir", "C:\\PcSide");
    files.addDirectory(kDevice);
    files.addDirectory(L"C:\\PcSide\\vkapps");
    files.addDirectory(kCache);
    files.addFile(L"C:\\other\\keep.txt", "keep");
    files.addFile(L"C:\\pkg\\viewer.exf", "viewer");
    files.addFile(L"C:\\pkg\\data\\one.dat", "1");
    files.addFile(L"C:\\pkg\\data\\two.dat", "22");
    if (oldTable) files.addFile(kIni, std::string(4 * 54, '\0') + ".OLD" + std::string(50, 'x'));
    p.g.CacheDir = kCache;
    p.g.FiniPcPath = kWorkCopy;
    p.setupTable[0] = {L"viewer.exf", L"\\system\\apps", L"C:\\pkg", L"Fini"};
    p.setupTable[1] = {L"*.dat", L"\\data", L"C:\\pkg\\data", L""};
    p.finiTable[0].suffix = L".TBL";
    p.finiTable[0].app = FitWidth(L"\\SYSTEM\\APPS\\VIEWER.EXF", 32);
    config.deviceDir = kDevice;
    dev.emplace(config, files, test::TestShiftJis());
    p.link = &*dev;
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
      return f.first.starts_with(UpperAscii(kDevice + L"\\")) ||
             f.first.starts_with(UpperAscii(kCache + L"\\")) || f.first == UpperAscii(kWorkCopy);
    });
    return all;
  }
};

TEST(InstallFaults, EveryFaultAtEveryCallEndsCleanly) {
  World clean({}, true), fresh({}, false);
  clean.run();
  fresh.run();
  const Files before = World({}, true).under(kDevice), after = clean.under(kDevice);
  // A table the device reports missing is rightly replaced by the package's associations.
  ASSERT_TRUE(fresh.files.contents(kIni));
  const std::string tableOnNothing = *fresh.files.contents(kIni);
  std::vector<std::string> calls;
  for (const auto& c : clean.dev->calls()) calls.push_back(c.function);
  // The link's start (2) and end, the free space, 4 levels, 4 uploads, the table's download.
  ASSERT_EQ(calls.size(), 13u);

  const struct {
    const char* name;
    std::optional<std::int32_t> status; ///< none: the link drops from that call on
  } kinds[] = {{"broken link", 0},
               {"memory full", link_status::kMemoryFull},
               {"file missing", link_status::kNoSuchFile},
               {"link dropped", std::nullopt}};
  std::vector<std::string> violations;
  std::size_t runs = 0;
  for (std::size_t at = 0; at < calls.size(); ++at) {
    const int nth = static_cast<int>(std::count(calls.begin(), calls.begin() + at + 1, calls[at]));
    for (const auto& kind : kinds) {
      for (const bool noOnce : {false, true}) {
        devsim::Config config;
        if (kind.status)
          config.faults = {{calls[at], nth, *kind.status}};
        else
          config.dropAfter = static_cast<int>(at);
        World w(config, true);
        w.ui.noOnce = noOnce;
        const Files outsideBefore = w.outside();
        w.run();
        ++runs;
        const std::string where = std::string(kind.name) + " at call " + std::to_string(at + 1) +
                                  " (" + calls[at] + ")" + (noOnce ? ", No once" : ", Yes") + ": ";
        auto fail = [&](const std::string& what) { violations.push_back(where + what); };
        const auto closing = std::count_if(w.ui.boxes.begin(), w.ui.boxes.end(), [](auto& b) {
          return b.title == AppTitle + L" - 正常終了" || b.title == AppTitle + L" - エラー終了";
        });
        if (w.endless) fail("the questions never end");
        if (closing != (w.ended ? 1 : 0)) fail("closing boxes: " + std::to_string(closing));
        const bool success = w.ended && w.ui.boxes.back().title == AppTitle + L" - 正常終了";
        const Files device = w.under(kDevice);
        const bool missingTable = kind.status == link_status::kNoSuchFile &&
                                  calls[at] == "u_download" &&
                                  w.files.contents(kIni) == tableOnNothing;
        for (const auto& [path, bytes] : device) {
          const bool old = before.count(path) && before.at(path) == bytes;
          const bool isNew = (after.count(path) && after.at(path) == bytes) ||
                             (missingTable && path == UpperAscii(kIni));
          if (!old && !isNew) fail("neither old nor new: " + shown(path));
          if (success && !isNew) fail("success without " + shown(path));
        }
        if (success && device.size() != after.size()) fail("success with files missing");
        if (w.files.exists(kWorkCopy)) fail("the work copy is left");
        for (const auto& [path, bytes] : w.under(kCache)) {
          const auto onDevice = w.files.contents(kDevice + path.substr(kCache.size()));
          if (onDevice != bytes) fail("the cache holds what the device lacks: " + shown(path));
        }
        if (w.outside() != outsideBefore) fail("written outside its folders");
        // A level that failed is asked for again, so a Yes to every question gets there.
        if (!noOnce && kind.status == 0 && calls[at] == "u_mkdir" && !success)
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
    World w({}, true);
    w.files.addFile(L"C:\\pkg\\data\\two.data", "2");
    w.p.setupTable[1] = c.row;
    w.p.setupLines[1] = 7;
    w.run();
    ASSERT_TRUE(w.ended);
    ASSERT_EQ(w.ui.boxes.size(), 1u) << shown(w.ui.boxes[0].text);
    const std::wstring& text = w.ui.boxes[0].text;
    EXPECT_EQ(text.find(L"セットアップ情報の 7 行目"), 0u) << shown(text);
    EXPECT_NE(text.find(L"\r\n" + c.path + L"\r\n"), std::wstring::npos) << shown(text);
    EXPECT_NE(text.find(c.why), std::wstring::npos) << shown(text);
    EXPECT_EQ(w.ui.boxes[0].title, AppTitle + L" - ｾｯﾄｱｯﾌﾟ情報");
    EXPECT_TRUE(w.dev->calls().empty());
  }
}

TEST(InstallFaults, TheCacheMirrorNeverOpensAReservedName) {
  World w({}, true);
  w.p.setupTable[0] = {L"con.dat", L"\\data", L"C:\\pkg", L""};
  w.p.setupTable[1] = {L"viewer.exf", L"\\lpt1", L"C:\\pkg", L""};
  w.files.addFile(L"C:\\pkg\\con.dat", "c");
  // The device holds such names, so the installer installs them; only the mirror skips them.
  EXPECT_FALSE(FindUnholdablePath(w.p).has_value());
  InstallFiles(w.p);
  EXPECT_EQ(w.files.contents(L"C:\\device\\DATA\\CON.DAT"), "c");
  EXPECT_EQ(w.files.contents(L"C:\\device\\LPT1\\VIEWER.EXF"), "viewer");
  EXPECT_TRUE(w.files.filesUnder(kCache).empty());
  EXPECT_TRUE(w.files.isDirectory(kCache + L"\\DATA"));
  EXPECT_FALSE(w.files.exists(kCache + L"\\LPT1"));
}

} // namespace
} // namespace vokuta
