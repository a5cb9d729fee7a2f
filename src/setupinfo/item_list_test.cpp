#include "mainwin/item_list_view.h"
#include "setupinfo/item_list.h"

#include <gtest/gtest.h>

#include "app/main_window.h"
#include "support/test_program.h"

namespace vokuta {
namespace {

TEST(FormatKBytes, HalvesAndWholes) {
  const std::pair<std::uint64_t, std::wstring> cases[] = {
      {0, L" 0"},
      {512, L" .5"},
      {1024, L" 1"},
      {1536, L" 1.5"},
      {10240, L" 10"},
      {3072, L" 3"},
      {5ull << 30, L" 5242880"},
      {(5ull << 30) + 512, L" 5242880.5"},
      {256, L" .25"},
  };
  for (const auto& [bytes, text] : cases) EXPECT_EQ(FormatKBytes(bytes), text) << bytes;
}

class ItemList : public ::testing::Test {
protected:
  void row(std::size_t i, std::wstring name, std::wstring dest, std::wstring control = L"") {
    p.setupTable[i] = {std::move(name), std::move(dest), L"C:\\pkg", std::move(control)};
    p.setupTable[i + 1] = {};
  }
  std::wstring sizeLabel() { return t.ui.text(Form::Frm1Main, Control::LblSize); }
  test::TestProgram t;
  Program& p = t.p;
};

TEST_F(ItemList, SizeCountsEveryMatchedFileInWholeBlocksPlusOne) {
  t.files.addFile(L"C:\\pkg\\a.dat", std::string(600, 'a'));
  t.files.addFile(L"C:\\pkg\\b.dat", std::string(600, 'b'), kAttrHidden);
  t.files.addFile(L"C:\\pkg\\c.dat", std::string(600, 'c'), kAttrSystem);
  t.files.addDirectory(L"C:\\pkg\\d.dat");
  t.files.addFile(L"C:\\pkg\\e.exf", std::string(511, 'e'));
  t.files.addFile(L"C:\\pkg\\f.exf", std::string(512, 'f'));
  t.files.addFile(L"C:\\pkg\\g.exf", "");
  row(0, L"*.dat", L"\\data");
  row(1, L"e.exf", L"");
  row(2, L"f.exf", L"\\apps", L"Fini");
  row(3, L"g.exf", L"\\apps");
  row(4, L"missing.exf", L"\\apps");
  EXPECT_EQ(合計容量(p), 3u * 1024 + 512 + 1024 + 512);
  FillItemList(p);
  EXPECT_EQ(t.ui.lists[Form::Frm1Main],
            (std::vector<std::wstring>{L"\\data\\*.dat", L"\\e.exf", L"\\apps\\f.exf",
                                       L"\\apps\\g.exf", L"\\apps\\missing.exf"}));
}

TEST_F(ItemList, ManyMatchesAreAllCounted) {
  for (int i = 0; i < 500; ++i) t.files.addFile(L"C:\\pkg\\f" + std::to_wstring(i) + L".dat", "x");
  row(0, L"*.dat", L"\\data");
  EXPECT_EQ(合計容量(p), 500u * 512);
}

TEST_F(ItemList, EmptyTableShowsZero) {
  ShowTotalSize(p);
  EXPECT_EQ(sizeLabel(), L"インストールするファイルの合計は、 0 "
                         L"Kバイトです。\r\nVokuta本体の空き容量を確認してください。");
}

TEST_F(ItemList, DeleteMovesTheRowsAndTheirAssociationsUp) {
  t.files.addFile(L"C:\\pkg\\a", "1");
  t.files.addFile(L"C:\\pkg\\b", "1");
  t.files.addFile(L"C:\\pkg\\c", "1");
  row(0, L"a", L"\\x");
  row(1, L"b", L"\\x", L"Fini");
  row(2, L"c", L"\\x");
  p.finiTable[1].suffix = L".BBB";
  FillItemList(p);

  t.ui.listSelect(Form::Frm1Main, 0);
  frm1main::List1_KeyDown(p, kKeyDelete, 0);
  EXPECT_EQ(p.setupTable[0].FileName, L"b");
  EXPECT_EQ(p.finiTable[0].suffix, L".BBB");
  EXPECT_EQ(p.setupTable[1].FileName, L"c");
  EXPECT_TRUE(p.setupTable[2].terminates());
  EXPECT_EQ(t.ui.lists[Form::Frm1Main], (std::vector<std::wstring>{L"\\x\\b", L"\\x\\c"}));
  EXPECT_NE(sizeLabel().find(L" 1 Kバイト"), std::wstring::npos);

  t.ui.listSelect(Form::Frm1Main, 1);
  frm1main::List1_KeyDown(p, kKeyDelete, 0);
  EXPECT_EQ(p.setupTable[0].FileName, L"b");
  EXPECT_TRUE(p.setupTable[1].terminates());
  EXPECT_NE(sizeLabel().find(L" .5 Kバイト"), std::wstring::npos);
}

TEST_F(ItemList, DeleteNeedsTheBareKeyAndASelection) {
  row(0, L"a", L"\\x");
  FillItemList(p);
  t.ui.listSelect(Form::Frm1Main, 0);
  for (int shift : {1, 2, 4}) frm1main::List1_KeyDown(p, kKeyDelete, shift);
  frm1main::List1_KeyDown(p, 45, 0);
  EXPECT_EQ(p.setupTable[0].FileName, L"a");
  t.ui.listSelect(Form::Frm1Main, -1);
  frm1main::List1_KeyDown(p, kKeyDelete, 0);
  EXPECT_EQ(p.setupTable[0].FileName, L"a");
  EXPECT_EQ(t.ui.lists[Form::Frm1Main].size(), 1u);
}

} // namespace
} // namespace vokuta
