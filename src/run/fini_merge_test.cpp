#include "run/fini_merge.h"

#include "dialogs/choice_dialog.h"
#include "fini/fini_slots.h"

#include <gtest/gtest.h>

#include "devsim/sim_device.h"
#include "fini/fini_image.h"
#include "link/fini_file.h"
#include "support/test_program.h"
#include "util/text.h"

namespace vokuta {
namespace {

const std::wstring kNotice = AppTitle + L" - 注意";
const std::wstring kWorkCopy = L"C:\\PcSide\\vkapps\\$$Ravuz$.ini";
const std::wstring kDeviceFile = L"C:\\device\\SYSTEM\\RAVUZ.INI";

class Merge : public ::testing::Test {
protected:
  Merge() {
    t.files.addDirectory(L"C:\\device\\SYSTEM");
    t.files.addDirectory(L"C:\\PcSide\\vkapps");
    t.files.addDirectory(L"C:\\PcSide\\redirav\\cache");
    p.g.FiniPcPath = kWorkCopy;
    p.g.CacheDir = L"C:\\PcSide\\redirav\\cache";
    use(devsim::Config());
    t.ui.onModal = [this](Form form) {
      ASSERT_EQ(form, Form::Frm2List);
      modalSeen = true;
      choose();
    };
  }
  void use(devsim::Config config) {
    config.deviceDir = L"C:\\device";
    dev.emplace(config, t.files, test::TestShiftJis());
    p.link = &*dev;
    std::int32_t s;
    dev->u_nego(0, 1, 1, 4, &s);
  }
  // Writes the device's association file from records (slots 0..3 reserved and empty).
  void deviceHas(const std::vector<FiniRecord>& records) {
    test::TestProgram scratch;
    for (std::size_t i = 0; i < records.size(); ++i) scratch.p.deviceFiniTable[4 + i] = records[i];
    rR2FiniB(scratch.p);
    const auto bytes = FiniFileBytes(scratch.p.finiImage);
    t.files.addFile(kDeviceFile, std::string(bytes.begin(), bytes.end()));
  }
  void package(std::int16_t row, const FiniRecord& r) {
    p.finiTable[static_cast<std::size_t>(row)] = r;
  }
  std::vector<std::wstring> titles() {
    std::vector<std::wstring> out;
    for (const auto& box : t.ui.boxes) out.push_back(box.title);
    return out;
  }
  int calls(const std::string& function) {
    int n = 0;
    for (const auto& c : dev->calls()) n += c.function == function;
    return n;
  }

  test::TestProgram t;
  Program& p = t.p;
  std::optional<devsim::SimulatedDevice> dev;
  bool modalSeen = false;
  std::function<void()> choose = [this] { frm2list::CmdOK_Click(p); };
};

TEST_F(Merge, AFreshDeviceGetsTheAssociationInSlot4) {
  package(0, test::Association(L".TBL", L"\\SYSTEM\\APPS\\VIEWER.EXF"));
  t.ui.answer({kOk});
  EXPECT_EQ(Filerini変更(p, 0), 0);
  EXPECT_EQ(titles(), std::vector<std::wstring>{AppTitle + L" - Vokuta本体ファイルエラー"});
  EXPECT_EQ(p.deviceFiniTable[4], p.finiTable[0]);
  EXPECT_TRUE(p.g.FiniChanged);
  EXPECT_TRUE(p.g.FiniLoaded);
  // The second row reads nothing again.
  package(1, test::Association(L".TXT", L"\\SYSTEM\\APPS\\VIEWER.EXF"));
  EXPECT_EQ(Filerini変更(p, 1), 0);
  EXPECT_EQ(calls("u_download"), 1);
  EXPECT_EQ(p.deviceFiniTable[5].suffix, L".TXT");
}

TEST_F(Merge, EqualValuesChangeNothing) {
  deviceHas({test::Association(L".tbl", L"\\SYSTEM\\APPS\\VIEWER.EXF")});
  package(0, test::Association(L".TBL", L"\\system\\apps\\viewer.exf"));
  EXPECT_EQ(Filerini変更(p, 0), 0);
  EXPECT_TRUE(t.ui.boxes.empty());
  EXPECT_FALSE(p.g.FiniChanged);
  EXPECT_EQ(p.deviceFiniTable[4].suffix, L".tbl");
}

TEST_F(Merge, ABlankApplicationIsFilledInSilently) {
  deviceHas({test::Association(L".TBL", L"")});
  package(0, test::Association(L".TBL", L"\\NEW.EXF"));
  EXPECT_EQ(Filerini変更(p, 0), 0);
  EXPECT_TRUE(t.ui.boxes.empty());
  EXPECT_EQ(p.deviceFiniTable[4].app, FitWidth(L"\\NEW.EXF", 32));
  EXPECT_TRUE(p.g.FiniChanged);
}

TEST_F(Merge, ChangedValuesAreConfirmed) {
  deviceHas({test::Association(L".TBL", L"\\OLD.EXF", 0x86E, 0x111)});
  package(0, test::Association(L".tbl", L"\\NEW.EXF", 0x86E, 0x222));
  t.ui.answer({kOk, kCancel});
  EXPECT_EQ(Filerini変更(p, 0), 0);
  ASSERT_EQ(t.ui.boxes.size(), 2u);
  EXPECT_EQ(t.ui.boxes[0].text,
            L"Ravuz.iniの 4番目の関連付けを変更します。\r\n\r\n変更前\r\napp = \\OLD.EXF"
            L"\r\n変更後\r\napp = \\NEW.EXF");
  EXPECT_EQ(t.ui.boxes[0].buttons, Buttons::Ok);
  EXPECT_EQ(
      t.ui.boxes[1].text,
      L"Ravuz.iniの 4番目の関連付けを変更します。\r\n\r\n変更前\r\n"
      L"suffix = .TBL , attr = 0000 , id = 0000 , font = 086E\r\nmmp = 00000111 , file = \r\n"
      L"変更後\r\n"
      L"suffix = .tbl , attr = 0000 , id = 0000 , font = 086E\r\nmmp = 00000222 , file = \r\n");
  EXPECT_EQ(t.ui.boxes[1].buttons, Buttons::OkCancel);
  EXPECT_EQ(titles(), (std::vector<std::wstring>{kNotice, kNotice}));
  // Cancel keeps the device's values but not its old application.
  EXPECT_EQ(p.deviceFiniTable[4].mmp, 0x111u);
  EXPECT_EQ(p.deviceFiniTable[4].app, FitWidth(L"\\NEW.EXF", 32));
  EXPECT_TRUE(p.g.FiniChanged);
}

TEST_F(Merge, OnlyTheIconChangedAndTheAnswerDecides) {
  for (int answer : {kCancel, kOk}) {
    deviceHas({test::Association(L".TBL", L"\\A.EXF", 0x100)});
    package(0, test::Association(L".TBL", L"\\A.EXF", 0x200));
    p.g.FiniLoaded = false;
    p.g.FiniChanged = false;
    t.ui.boxes.clear();
    t.ui.answer({answer});
    EXPECT_EQ(Filerini変更(p, 0), 0);
    EXPECT_EQ(t.ui.boxes.size(), 1u);
    EXPECT_EQ(p.deviceFiniTable[4].font, answer == kOk ? 0x200u : 0x100u);
    EXPECT_EQ(p.g.FiniChanged, answer == kOk);
  }
}

TEST_F(Merge, DeviceOnlyValuesAlwaysDifferAndAreReset) {
  FiniRecord device = test::Association(L".TBL", L"\\A.EXF");
  device.attr = 1;
  device.file = FitWidth(L"DATA", 8);
  deviceHas({device});
  package(0, test::Association(L".TBL", L"\\A.EXF"));
  t.ui.answer({kOk});
  Filerini変更(p, 0);
  EXPECT_EQ(p.deviceFiniTable[4].attr, 0);
  EXPECT_EQ(p.deviceFiniTable[4].file, std::wstring(8, L' '));
}

TEST_F(Merge, AFreeSlotInTheMiddleIsTaken) {
  std::vector<FiniRecord> records;
  for (int i = 4; i <= 20; ++i)
    records.push_back(test::Association(L".S" + std::to_wstring(i), L"\\A.EXF"));
  deviceHas(records);
  auto bytes = *t.files.contents(kDeviceFile);
  // Records are in slots 4.. of the file; blank slot 9's suffix with a blank byte.
  std::fill(bytes.begin() + 9 * 54, bytes.begin() + 9 * 54 + 4, ' ');
  t.files.addFile(kDeviceFile, bytes);
  package(0, test::Association(L".NEW", L"\\B.EXF"));
  EXPECT_EQ(Filerini変更(p, 0), 0);
  EXPECT_EQ(p.deviceFiniTable[9].suffix, L".NEW");
}

class FullTable : public Merge {
protected:
  FullTable() {
    std::vector<FiniRecord> records;
    for (int i = 4; i < 64; ++i)
      records.push_back(
          test::Association(L".S" + std::to_wstring(i), L"\\A.EXF", 0x86D6, 0x264447));
    records[0] = test::Association(L".TXT", L"\\SYSTEM\\APPS\\LEAFLET.EXF", 0x86D6, 0x264447);
    deviceHas(records);
    package(0, test::Association(L".new", L"\\system\\b.exf"));
  }
};

TEST_F(FullTable, OkWithoutAChoiceGivesUpTheLastSlot) {
  t.ui.answer({kOk});
  EXPECT_EQ(Filerini変更(p, 0), 0);
  EXPECT_TRUE(modalSeen);
  EXPECT_EQ(t.ui.boxes[0].text, L"Ravuz.iniに関連付けを追加できません。\r\n\r\n"
                                L"次の画面で、不要な関連付けを１つ選択してください。\r\n");
  EXPECT_EQ(t.ui.boxes[0].title, kNotice);
  const auto& list = t.ui.lists[Form::Frm2List];
  ASSERT_EQ(list.size(), 60u);
  EXPECT_EQ(list[0],
            L"  4 .TXT 0000 0000 86D6 00264447          \\SYSTEM\\APPS\\LEAFLET.EXF        ");
  EXPECT_EQ(list[59].substr(0, 8), L" 63 .S63");
  EXPECT_EQ(t.ui.captions[Form::Frm2List], L"Vokuta本体ソフト インストーラ - 不要な関連付け選択");
  EXPECT_EQ((t.ui.texts[{Form::Frm2List, Control::Lab追加}]),
            L"suffix = .NEW , app = " + FitWidth(L"\\SYSTEM\\B.EXF", 32));
  EXPECT_EQ(p.deviceFiniTable[63].suffix, L".new");
  EXPECT_EQ(p.deviceFiniTable[62].suffix, L".S62");
  EXPECT_EQ(p.g.DropIndex, 59);
  EXPECT_TRUE(t.ui.shown(Form::Frm3Port));
  EXPECT_EQ(t.ui.windowLog, (std::vector<std::wstring>{L"show Frm2List modal", L"hide Frm2List",
                                                       L"show Frm3Port modeless"}));
}

TEST_F(FullTable, TheFirstLineReplacesSlot4AndTheCloseBoxNothing) {
  choose = [this] {
    t.ui.listSelect(Form::Frm2List, 0);
    frm2list::CmdOK_Click(p);
  };
  t.ui.answer({kOk});
  Filerini変更(p, 0);
  EXPECT_EQ(p.deviceFiniTable[4].suffix, L".new");

  package(1, test::Association(L".two", L"\\system\\c.exf"));
  choose = [this] { frm2list::Form_unload(p); };
  p.g.FiniChanged = false;
  t.ui.answer({kOk});
  EXPECT_EQ(Filerini変更(p, 1), 0);
  EXPECT_EQ(FindSuffixSlot(p, 4, L".two"), -1);
  EXPECT_FALSE(p.g.FiniChanged);
}

TEST_F(Merge, TwoRowsWithOneSuffix) {
  package(0, test::Association(L".TBL", L"\\A.EXF", 1));
  package(1, test::Association(L".TBL", L"\\A.EXF", 2));
  t.ui.answer({kOk, kOk});
  Filerini変更(p, 0);
  Filerini変更(p, 1);
  EXPECT_EQ(p.deviceFiniTable[4].font, 2u);
  EXPECT_TRUE(IsFreeSlot(p, 5));
}

TEST_F(Merge, AFailedReadDecidesByTheStatus) {
  struct Case {
    std::int32_t status, endStatus; // of the download, of the recovery's u_end
    std::int16_t result;
    int ends;
    std::vector<std::wstring> boxes;
  } cases[] = {
      {5, 0, -2, 0, {AppTitle + L" - メモリ容量エラー", AppTitle + L" - メモリ容量エラー"}},
      {-3, 0, -2, 3, {AppTitle + L" - 通信エラー"}},
      {-3, 3, 0, 1, {AppTitle + L" - 通信エラー"}}, // a positive status is no broken link
  };
  for (const auto& c : cases) {
    devsim::Config config;
    config.faults = {{"u_download", 1, c.status}, {"u_end", 1, c.endStatus}};
    use(config);
    deviceHas({});
    p.g.FiniLoaded = false;
    t.ui.boxes.clear();
    package(0, test::Association(L".TBL", L"\\A.EXF"));
    for (std::size_t i = 0; i < c.boxes.size(); ++i) t.ui.answer({c.status == 5 ? kOk : kNo});
    EXPECT_EQ(Filerini変更(p, 0), c.result) << c.status;
    EXPECT_EQ(titles(), c.boxes) << c.status;
    // The recovery's own u_end, then two more when the link failed.
    EXPECT_EQ(calls("u_end"), c.ends) << c.status;
    EXPECT_EQ(p.deviceFiniTable[4].suffix, L".TBL") << c.status; // the merge still runs
  }
}

TEST_F(Merge, FallsBackToTheStandardFile) {
  deviceHas({});
  FiniRecord standard = test::Association(L".STD", L"\\STD.EXF");
  {
    test::TestProgram scratch;
    scratch.p.deviceFiniTable[4] = standard;
    rR2FiniB(scratch.p);
    const auto bytes = FiniFileBytes(scratch.p.finiImage);
    t.files.addFile(L"C:\\PcSide\\vkapps\\Ravuz.ini", std::string(bytes.begin(), bytes.end()),
                    kAttrHidden);
  }
  devsim::Config config;
  config.faults = {{"u_download", 1, 5}};
  use(config);
  t.ui.answer({kOk, kOk});
  EXPECT_EQ(Filerini読出(p), -2);
  ASSERT_EQ(t.ui.boxes.size(), 2u);
  EXPECT_EQ(t.ui.boxes[1].text, L"標準のRavuz.iniを使い、セットアップを継続します。");
  EXPECT_EQ(t.ui.boxes[1].title, AppTitle);
  EXPECT_EQ(t.ui.boxes[1].icon, Icon::Exclamation);
  FiniB2rR(p);
  EXPECT_EQ(p.deviceFiniTable[4], standard);
}

// A link library that removes its PC target when a download fails, as some do.
class DeletingLink final : public LinkLibrary {
public:
  DeletingLink(LinkLibrary& inner, PcFiles& files) : inner_(inner), files_(files) {}
  std::int32_t u_nego(std::intptr_t w, std::int32_t p, std::int32_t o, std::int32_t m,
                      std::int32_t* s) override {
    return inner_.u_nego(w, p, o, m, s);
  }
  std::int32_t u_end(std::intptr_t w, std::int32_t p, std::int32_t o, std::int32_t m,
                     std::int32_t* s) override {
    return inner_.u_end(w, p, o, m, s);
  }
  std::int32_t u_mkdir(std::intptr_t w, std::int32_t p, std::int32_t o, std::int32_t m,
                       const std::string& d, std::int32_t* s) override {
    return inner_.u_mkdir(w, p, o, m, d, s);
  }
  std::int32_t u_upload(std::intptr_t w, std::int32_t p, std::int32_t o, std::int32_t m,
                        const std::string& pc, const std::string& dev, std::int32_t* s) override {
    return inner_.u_upload(w, p, o, m, pc, dev, s);
  }
  std::int32_t u_download(std::intptr_t w, std::int32_t p, std::int32_t o, std::int32_t m,
                          const std::string& dev, const std::string& pc, std::int32_t* s) override {
    const std::int32_t r = inner_.u_download(w, p, o, m, dev, pc, s);
    if (r != 0) files_.deleteFile(test::TestShiftJis().decode(pc));
    return r;
  }
  std::int32_t u_dir(std::intptr_t w, std::int32_t p, std::int32_t o, std::int32_t m,
                     const std::string& d, char* b, std::int32_t n, std::int32_t* f,
                     std::int32_t* s) override {
    return inner_.u_dir(w, p, o, m, d, b, n, f, s);
  }

private:
  LinkLibrary& inner_;
  PcFiles& files_;
};

TEST_F(Merge, AWorkCopyRemovedByTheLibraryReadsAsAnEmptyTable) {
  DeletingLink link(*dev, t.files);
  p.link = &link;
  package(0, test::Association(L".TBL", L"\\A.EXF"));
  t.ui.answer({kOk});
  EXPECT_EQ(Filerini変更(p, 0), 0);
  ASSERT_EQ(titles(), std::vector<std::wstring>{AppTitle + L" - Vokuta本体ファイルエラー"});
  EXPECT_EQ(calls("u_download"), 1);
  EXPECT_EQ(p.deviceFiniTable[4].suffix, L".TBL") << "merged into an empty table";
  EXPECT_TRUE(IsFreeSlot(p, 5));
}

TEST_F(Merge, AWorkCopyThatCannotBeMadeStopsBeforeTheDevice) {
  p.g.FiniPcPath = L"C:\\PcSide\\novkapps\\$$Ravuz$.ini";
  deviceHas({test::Association(L".TBL", L"\\A.EXF")});
  t.ui.answer({kOk});
  EXPECT_EQ(Filerini変更(p, 0), -2);
  EXPECT_EQ(t.ui.boxes[0].text,
            L"C:\\PcSide\\novkapps\\$$Ravuz$.ini\r\n\r\nがありません。\r\n\r\n");
  EXPECT_EQ(calls("u_download"), 0);

  t.ui.answer({kOk});
  EXPECT_EQ(Filerini書込(p), -2);
  EXPECT_EQ(calls("u_upload"), 0);
}

TEST_F(Merge, WritingReplacesAnOldWorkCopyAndUploads) {
  t.files.addFile(kWorkCopy, "old", kAttrReadOnly | kAttrHidden);
  for (std::size_t k = 4; k <= 8; ++k)
    p.deviceFiniTable[k] = test::Association(L".S" + std::to_wstring(k), L"\\A");
  rR2FiniB(p);
  EXPECT_EQ(Filerini書込(p), 0);
  EXPECT_EQ(t.files.contents(kWorkCopy)->size(), 9u * 54);
  EXPECT_EQ(t.files.contents(kDeviceFile), t.files.contents(kWorkCopy));
}

} // namespace
} // namespace vokuta
