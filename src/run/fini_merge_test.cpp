#include "run/fini_merge.h"

#include <gtest/gtest.h>

#include "dialogs/choice_dialog.h"
#include "fini/fini_image.h"
#include "fini/fini_slots.h"
#include "link/fini_file.h"
#include "support/linked_program.h"
#include "util/text.h"

namespace vokuta {
namespace {

using test::Association;
using test::kDeviceIni;
using test::kWorkCopy;
using Texts = std::vector<std::wstring>;

// Writes an association file with these records from slot 4 on (0..3 are reserved).
void Has(test::LinkedProgram& t, const std::vector<FiniRecord>& records,
         const std::wstring& path = kDeviceIni) {
  test::TestProgram scratch;
  for (std::size_t i = 0; i < records.size(); ++i) scratch.p.deviceFiniTable[4 + i] = records[i];
  rR2FiniB(scratch.p);
  const auto bytes = FiniFileBytes(scratch.p.finiImage);
  t.files.addFile(path, std::string(bytes.begin(), bytes.end()));
}

class Merge : public ::testing::Test {
protected:
  Merge() {
    t.connect();
    t.ui.onModal = [this](Form form) {
      ASSERT_EQ(form, Form::Frm2List);
      modalSeen = true;
      choose();
    };
  }
  void use(std::vector<devsim::Fault> faults) {
    t.withFaults(std::move(faults));
    t.connect();
  }
  int count(const std::string& function) {
    return static_cast<int>(std::count_if(t.dev->calls().begin(), t.dev->calls().end(),
                                          [&](const auto& c) { return c.function == function; }));
  }

  test::LinkedProgram t;
  Program& p = t.p;
  bool modalSeen = false;
  std::function<void()> choose = [this] { frm2list::CmdOK_Click(p); };
};

TEST_F(Merge, AFreshDeviceGetsTheAssociationInSlot4) {
  p.finiTable[0] = Association(L".TBL", L"\\SYSTEM\\APPS\\VIEWER.EXF");
  t.ui.answer({kOk});
  EXPECT_EQ(Filerini変更(p, 0), 0);
  EXPECT_EQ(t.titles(), Texts{L" - Vokuta本体ファイルエラー"});
  EXPECT_EQ(p.deviceFiniTable[4], p.finiTable[0]);
  EXPECT_TRUE(p.g.FiniChanged);
  // The second row reads nothing again.
  p.finiTable[1] = Association(L".TXT", L"\\SYSTEM\\APPS\\VIEWER.EXF");
  EXPECT_EQ(Filerini変更(p, 1), 0);
  EXPECT_EQ(count("u_download"), 1);
  EXPECT_EQ(p.deviceFiniTable[5].suffix, L".TXT");
}

// The device already has the package's suffix: what is kept, and what the user is asked.
TEST(Merges, TheEntryOfTheSameSuffix) {
  const auto A = [](const wchar_t* suffix, const wchar_t* app, std::uint32_t font = 0x86E,
                    std::uint32_t mmp = 0x264B7A) { return Association(suffix, app, font, mmp); };
  FiniRecord extras = A(L".TBL", L"\\A.EXF");
  extras.attr = 1;
  extras.file = FitWidth(L"DATA", 8);
  const struct {
    const char* name;
    FiniRecord device, package;
    int answer; ///< to every box
    std::size_t boxes;
    FiniRecord result;
  } cases[] = {
      {"equal values", A(L".tbl", L"\\SYSTEM\\APPS\\VIEWER.EXF"),
       A(L".TBL", L"\\system\\apps\\viewer.exf"), kOk, 0,
       A(L".tbl", L"\\SYSTEM\\APPS\\VIEWER.EXF")},
      {"blank program", A(L".TBL", L""), A(L".TBL", L"\\NEW.EXF"), kOk, 0,
       A(L".TBL", L"\\NEW.EXF")},
      {"other program, values cancelled", A(L".TBL", L"\\OLD.EXF", 1, 0x111),
       A(L".tbl", L"\\NEW.EXF", 1, 0x222), kCancel, 2, A(L".TBL", L"\\NEW.EXF", 1, 0x111)},
      {"icon cancelled", A(L".TBL", L"\\A.EXF", 0x100), A(L".TBL", L"\\A.EXF", 0x200), kCancel, 1,
       A(L".TBL", L"\\A.EXF", 0x100)},
      {"icon OK", A(L".TBL", L"\\A.EXF", 0x100), A(L".TBL", L"\\A.EXF", 0x200), kOk, 1,
       A(L".TBL", L"\\A.EXF", 0x200)},
      {"values only the device has", extras, A(L".TBL", L"\\A.EXF"), kOk, 1,
       A(L".TBL", L"\\A.EXF")},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.name);
    test::LinkedProgram t;
    t.connect();
    Has(t, {c.device});
    t.p.finiTable[0] = c.package;
    t.ui.otherwise = [&](Buttons buttons) { return buttons == Buttons::Ok ? kOk : c.answer; };
    EXPECT_EQ(Filerini変更(t.p, 0), 0);
    EXPECT_EQ(t.ui.boxes.size(), c.boxes);
    EXPECT_EQ(t.p.deviceFiniTable[4], c.result);
    EXPECT_TRUE(IsFreeSlot(t.p, 5));
    EXPECT_EQ(t.p.g.FiniChanged, c.result != c.device); // marked exactly when it changed
  }
}

// A full table asks which slot to give up: OK without a choice gives up the last one, the first
// line slot 4, and the close box none.
TEST_F(Merge, AFullTable) {
  std::vector<FiniRecord> records;
  for (int i = 4; i < 64; ++i)
    records.push_back(Association(L".S" + std::to_wstring(i), L"\\A.EXF", 0x86D6, 0x264447));
  records[0] = Association(L".TXT", L"\\SYSTEM\\APPS\\LEAFLET.EXF", 0x86D6, 0x264447);
  Has(t, records);
  p.finiTable[0] = Association(L".new", L"\\system\\b.exf");
  p.finiTable[1] = Association(L".two", L"\\system\\c.exf");
  p.finiTable[2] = Association(L".thr", L"\\system\\c.exf");
  t.ui.answer({kOk, kOk, kOk});
  EXPECT_EQ(Filerini変更(p, 0), 0);
  EXPECT_TRUE(modalSeen);
  EXPECT_EQ(t.titles(), Texts{L" - 注意"});
  const auto& list = t.ui.lists[Form::Frm2List];
  ASSERT_EQ(list.size(), 60u);
  EXPECT_EQ(list[0],
            L"  4 .TXT 0000 0000 86D6 00264447          \\SYSTEM\\APPS\\LEAFLET.EXF        ");
  EXPECT_EQ(list[59].substr(0, 8), L" 63 .S63");
  EXPECT_EQ(t.ui.captions[Form::Frm2List], L"Vokuta本体ソフト インストーラ - 不要な関連付け選択");
  EXPECT_EQ((t.ui.texts[{Form::Frm2List, Control::Lab追加}]),
            L"suffix = .NEW , app = " + FitWidth(L"\\SYSTEM\\B.EXF", 32));
  EXPECT_EQ(std::tuple(p.deviceFiniTable[62].suffix, p.deviceFiniTable[63].suffix, p.g.DropIndex),
            std::tuple(L".S62", L".new", 59));
  EXPECT_EQ(t.ui.windowLog,
            (Texts{L"show Frm2List modal", L"hide Frm2List", L"show Frm3Port modeless"}));

  choose = [this] {
    t.ui.listSelect(Form::Frm2List, 0);
    frm2list::CmdOK_Click(p);
  };
  p.g.FiniChanged = false;
  EXPECT_EQ(Filerini変更(p, 1), 0);
  EXPECT_EQ(p.deviceFiniTable[4].suffix, L".two");
  EXPECT_TRUE(p.g.FiniChanged);

  choose = [this] { frm2list::Form_unload(p); };
  p.g.FiniChanged = false;
  EXPECT_EQ(Filerini変更(p, 2), 0);
  EXPECT_EQ(FindSuffixSlot(p, 4, L".thr"), -1);
  EXPECT_FALSE(p.g.FiniChanged);
}

TEST_F(Merge, AFailedReadDecidesByTheStatus) {
  const std::wstring mem = L" - メモリ容量エラー";
  struct Case {
    std::int32_t status, endStatus; // of the download, of the recovery's u_end
    std::int16_t result;
    int ends;
    Texts titles;
  } cases[] = {
      {5, 0, -2, 0, {mem, mem}},
      {-3, 0, -2, 3, {L" - 通信エラー"}},
      {-3, 3, 0, 1, {L" - 通信エラー"}}, // a positive status is no broken link
  };
  for (const auto& c : cases) {
    use({{"u_download", 1, c.status}, {"u_end", 1, c.endStatus}});
    Has(t, {});
    p.g.FiniLoaded = false;
    t.ui.boxes.clear();
    p.finiTable[0] = Association(L".TBL", L"\\A.EXF");
    for (std::size_t i = 0; i < c.titles.size(); ++i) t.ui.answer({c.status == 5 ? kOk : kNo});
    EXPECT_EQ(Filerini変更(p, 0), c.result) << c.status;
    EXPECT_EQ(t.titles(), c.titles) << c.status;
    // The recovery's own u_end, then two more when the link failed.
    EXPECT_EQ(count("u_end"), c.ends) << c.status;
    EXPECT_EQ(p.deviceFiniTable[4].suffix, L".TBL") << c.status; // the merge still runs
  }
}

TEST_F(Merge, FallsBackToTheStandardFile) {
  Has(t, {});
  Has(t, {Association(L".STD", L"\\STD.EXF")}, L"C:\\PcSide\\vkapps\\Ravuz.ini");
  use({{"u_download", 1, 5}});
  t.ui.answer({kOk, kOk});
  EXPECT_EQ(Filerini読出(p), -2);
  EXPECT_EQ(t.titles(), (Texts{L" - メモリ容量エラー", L""}));
  EXPECT_EQ(t.texts()[1], L"標準のRavuz.iniを使い、セットアップを継続します。");
  EXPECT_EQ(t.ui.boxes[1].icon, Icon::Exclamation);
  FiniB2rR(p);
  EXPECT_EQ(p.deviceFiniTable[4], Association(L".STD", L"\\STD.EXF"));
}

TEST_F(Merge, AWorkCopyThatCannotBeMadeStopsBeforeTheDevice) {
  p.g.FiniPcPath = L"C:\\PcSide\\novkapps\\$$Ravuz$.ini";
  Has(t, {Association(L".TBL", L"\\A.EXF")});
  t.ui.answer({kOk, kOk});
  EXPECT_EQ(Filerini変更(p, 0), -2);
  EXPECT_EQ(Filerini書込(p), -2);
  EXPECT_EQ(t.texts()[1], L"C:\\PcSide\\novkapps\\$$Ravuz$.ini\r\n\r\nがありません。\r\n\r\n");
  EXPECT_EQ(count("u_download") + count("u_upload"), 0);
}

} // namespace
} // namespace vokuta
