#include "run/install_run.h"

#include <gtest/gtest.h>

#include "mainwin/exit_question.h"
#include "support/linked_program.h"

namespace vokuta {
namespace {

using test::kDeviceIni;
using test::kWorkCopy;
using Texts = std::vector<std::wstring>;

const std::string kTable(4 * 54, '\0');
const std::wstring kViewer = L"\\SYSTEM\\APPS\\VIEWER.EXF", kIni = L"\\SYSTEM\\RAVUZ.INI";

// Next with these answers; true when the program ended.
bool Next(test::LinkedProgram& t, const std::vector<int>& answers) {
  t.ui.boxes.clear();
  t.ui.answer(answers);
  bool ended = false;
  try {
    開始ボタン(t.p);
  } catch (const test::ProgramEnded&) {
    ended = true;
  }
  EXPECT_EQ(t.ui.unusedAnswers(), 0u);
  return ended;
}

class InstallRun : public ::testing::Test {
protected:
  InstallRun() { t.addPackage(); }
  test::LinkedProgram t;
  Program& p = t.p;
};

TEST_F(InstallRun, AFreshDeviceGetsEveryFileAndTheAssociation) {
  bool communicating = false; // while a file goes over, closing the window is refused
  t.dev->onCall = [&](const auto& call) {
    communicating |= call.function == "u_upload" && p.g.Communicating;
  };
  ASSERT_TRUE(Next(t, {kYes, kOk, kOk}));
  EXPECT_TRUE(communicating);
  EXPECT_FALSE(p.g.Communicating);
  EXPECT_EQ(
      t.calls(),
      (std::vector<std::string>{
          "u_end 1 1 4", "u_nego 1 1 4", "u_dir 1 0 4 \\ 2816", "u_mkdir 1 -2 4 \\SYSTEM",
          "u_mkdir 1 -2 4 \\SYSTEM\\APPS",
          "u_upload 1 -1 4 C:\\pkg\\viewer.exf \\SYSTEM\\APPS\\VIEWER.EXF",
          "u_download 1 -1 4 \\SYSTEM\\RAVUZ.INI C:\\PcSide\\vkapps\\$$Ravuz$.ini",
          "u_mkdir 1 -2 4 \\DATA", "u_upload 1 -1 4 C:\\pkg\\data\\one.dat \\DATA\\ONE.DAT",
          "u_upload 1 -1 4 C:\\pkg\\data\\two.dat \\DATA\\TWO.DAT", "u_mkdir 1 -2 4 \\SYSTEM",
          "u_upload 1 -1 4 C:\\PcSide\\vkapps\\$$Ravuz$.ini \\SYSTEM\\RAVUZ.INI", "u_end 1 1 4"}));
  EXPECT_EQ(t.titles(), (Texts{L" - 接続", L" - Vokuta本体ファイルエラー", L" - 正常終了"}));
  EXPECT_EQ(t.texts().back(), L"「Vokuta本体ソフト インストーラ」は正常に終了しました。");
  EXPECT_EQ(t.ui.boxes.back().icon, Icon::Information);
  EXPECT_EQ(t.files.contents(L"C:\\PcSide\\redirav\\cache\\data\\two.dat"), "22");
  const auto ini = t.files.contents(kDeviceIni);
  EXPECT_EQ(ini ? ini->substr(4 * 54, 4) + std::to_string(ini->size()) : "", ".TBL270");
  EXPECT_FALSE(t.files.exists(kWorkCopy));

  // The same package again writes no association file.
  t.use({});
  p.g.LastDeviceDir.clear();
  ASSERT_TRUE(Next(t, {kYes, kOk}));
  EXPECT_EQ(t.titles(), (Texts{L" - 接続", L" - 正常終了"}));
  for (const auto& call : t.calls()) EXPECT_EQ(call.find("\\SYSTEM\\RAVUZ.INI", 20), call.npos);
  EXPECT_EQ(t.files.contents(kDeviceIni), ini);
}

TEST_F(InstallRun, EarlyStopsReturnToTheMainWindow) {
  // No to the prompt: the link is not touched.
  EXPECT_FALSE(Next(t, {kNo}));
  EXPECT_TRUE(t.calls().empty());
  EXPECT_TRUE(t.ui.shown(Form::Frm1Main));

  // No device on the port: one connection error, and closing is not refused.
  p.g.PortNumber = 2;
  EXPECT_FALSE(Next(t, {kYes, kOk}));
  EXPECT_EQ(t.calls(), (std::vector<std::string>{"u_end 2 1 4", "u_nego 2 1 4"}));
  t.ui.answer({kNo});
  EXPECT_FALSE(ConfirmExit(p));
  EXPECT_EQ(t.titles(), (Texts{L" - 接続", L" - 接続エラー", L" - 終了"}));

  // Too little room, declined: the link is ended once more.
  p.g.PortNumber = 1;
  devsim::Config small;
  small.capacity = 4096;
  t.use(small);
  EXPECT_FALSE(Next(t, {kYes, kNo}));
  EXPECT_EQ(t.calls(), (std::vector<std::string>{"u_end 1 1 4", "u_nego 1 1 4",
                                                 "u_dir 1 0 4 \\ 2816", "u_end 1 1 4"}));
  EXPECT_FALSE(p.g.Communicating);
  EXPECT_TRUE(t.deviceFiles().empty());

  // The PC file manager started since start-up: Next asks about it before the link, and ends.
  t.files.addFile(L"C:\\PcSide\\ReDirav\\Temp\\$filer$.tmp", "");
  EXPECT_TRUE(Next(t, {kCancel, kYes}));
  EXPECT_EQ(t.titles()[0], L" - 起動エラー");
}

// Runs onto a device with an empty association file that end with the failure box. A failed
// row stops the run; a reconnection that fails marks it but the rest is tried.
TEST(InstallRuns, ThatFail) {
  const std::wstring mem = L" - メモリ容量エラー", comm = L" - 通信エラー", end = L" - エラー終了";
  const std::wstring one = L"\\DATA\\ONE.DAT", two = L"\\DATA\\TWO.DAT",
                     apps = L"\\APPS\\VIEWER.EXF";
  const SetupRow viewer{L"viewer.exf", L"\\system\\apps", L"C:\\pkg", L"Fini"},
      tbl{L"*.tbl", L"\\data", L"C:\\pkg\\data", L""},
      dats{L"*.dat", L"\\data", L"C:\\pkg\\data", L""},
      atApps{L"viewer.exf", L"\\apps", L"C:\\pkg", L"fini"};
  const devsim::Fault cut{"u_upload", 1, 0}, noNego{"u_nego", 2, 0};
  const std::vector<int> twice{kYes, kYes, kYes, kOk, kYes, kYes, kOk};
  const struct {
    std::vector<devsim::Fault> faults;
    std::vector<SetupRow> rows; ///< in place of the package's, when given
    std::vector<int> answers;
    std::wstring second; ///< the second box's title
    Texts device;
  } cases[] = {
      {{{"u_upload", 2, 5}}, {}, {kYes, kOk, kOk}, mem, {kViewer, kIni}},
      {{}, {viewer, tbl}, {kYes, kOk, kOk}, L" - PCファイルエラー", {kViewer, kIni}},
      {{{"u_end", 2, 0}}, {}, {kYes, kOk}, end, {one, two, kViewer, kIni}},
      // The association file cannot be written back.
      {{{"u_upload", 4, 5}}, {}, {kYes, kOk, kOk}, mem, {one, two, kViewer, kIni}},
      // one.dat: error, Yes, Yes, the reconnection fails; two.dat: error (no link), Yes, Yes.
      {{cut, noNego}, {dats, atApps}, twice, comm, {apps, two, kIni}},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(&c - cases);
    test::LinkedProgram t;
    t.addPackage();
    t.files.addFile(kDeviceIni, kTable);
    t.withFaults(c.faults);
    for (std::size_t i = 0; i < c.rows.size(); ++i) t.p.setupTable[i] = c.rows[i];
    ASSERT_TRUE(Next(t, c.answers));
    ASSERT_GE(t.ui.boxes.size(), 2u);
    EXPECT_EQ(t.titles()[1], c.second);
    // Only the end of the link fails after all went well: then the table was written.
    EXPECT_EQ(t.p.g.RunFailed, c.second != end);
    EXPECT_EQ(t.deviceFiles(), c.device);
    EXPECT_EQ(t.files.contents(kDeviceIni)->size(), (c.second == end ? 5u : 4u) * 54);
    EXPECT_FALSE(t.files.exists(kWorkCopy));
    EXPECT_EQ(std::tuple(t.titles().back(), t.texts().back(), t.ui.boxes.back().icon),
              std::tuple(end,
                         L"「Vokuta本体ソフト インストーラ」は正常に終了しませんでした。\r\n"
                         L"はじめから「Vokuta本体ソフト インストーラ」を実行してください。",
                         Icon::Exclamation));
  }
}

} // namespace
} // namespace vokuta
