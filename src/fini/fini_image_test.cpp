#include "fini/fini_image.h"

#include <gtest/gtest.h>

#include "support/test_program.h"
#include "util/text.h"

namespace vokuta {
namespace {

using Bytes = std::vector<std::uint8_t>;

// One 54-byte record with the given bytes at their offsets, the rest 0.
Bytes record(std::initializer_list<std::pair<std::size_t, Bytes>> parts) {
  Bytes r(kFiniRecordBytes, 0);
  for (const auto& [offset, bytes] : parts)
    std::copy(bytes.begin(), bytes.end(), r.begin() + offset);
  return r;
}

Bytes ascii(const std::string& s) { return Bytes(s.begin(), s.end()); }

Bytes operator+(Bytes a, const Bytes& b) {
  a.insert(a.end(), b.begin(), b.end());
  return a;
}

class FiniCodec : public ::testing::Test {
protected:
  // Loads file bytes the way the installer does and turns them into records.
  void load(const Bytes& file) {
    p.finiImage = FiniImageOf(file);
    FiniB2rR(p);
  }
  Bytes save() {
    rR2FiniB(p);
    return FiniFileBytes(p.finiImage);
  }
  FiniRecord& slot(std::size_t k) { return p.deviceFiniTable[k]; }
  test::TestProgram t;
  Program& p = t.p;
};

TEST_F(FiniCodec, EncodesTheDocumentedRecords) {
  slot(0) = test::Association(L".TBL", L"\\SYSTEM\\APPS\\CHARTER.EXF");
  slot(1).suffix = L".A  ";
  slot(2).attr = 0x1234;
  slot(2).suffix = L".X  ";
  slot(3).font = 0x12345; // from a long column: the low 16 bits stay
  slot(3).app = FitWidth(L"\\表\\A.EXF", 32);
  slot(4).app = L"\\GONE"; // no suffix after the reserved slots: dropped
  slot(5).suffix = L"  Y"; // any byte of the suffix is enough to be kept
  slot(6).suffix = L" Z";
  EXPECT_EQ(save(),
            record({{0, ascii(".TBL")},
                    {8, {0x6E, 0x08}},
                    {10, {0x7A, 0x4B, 0x26, 0x00}},
                    {22, ascii("\\SYSTEM\\APPS\\CHARTER.EXF")}}) +
                record({{0, ascii(".A")}}) + record({{0, ascii(".X")}, {4, {0x34, 0x12}}}) +
                record({{8, {0x45, 0x23}}, {22, {'\\', 0, '\\', 'A', '.', 'E', 'X', 'F'}}}) +
                record({{2, ascii("Y")}}) + record({{1, ascii("Z")}}));
  EXPECT_EQ((std::vector{Hex4(0x86E), Hex4(0x12345), Hex8(0x264B7A), Hex4(-1), Hex8(-1),
                         Hex8(0x80000000u)}),
            (std::vector<std::wstring>{L"086E", L"2345", L"00264B7A", L"FFFF", L"FFFFFFFF",
                                       L"80000000"}));
}

// A file's first 64 records are read; the slots it does not fill are cleared, and the four
// reserved ones are always written.
TEST_F(FiniCodec, ReadsAtMost64RecordsAndClearsTheRest) {
  Bytes file;
  for (int i = 0; i < 70; ++i)
    file = file + record({{0, ascii(".S" + std::to_string(i % 10))}, {4, {std::uint8_t(i), 1}}});
  load(file);
  EXPECT_EQ(save(), Bytes(file.begin(), file.begin() + 64 * 54));
  EXPECT_EQ(slot(63).attr, 0x13F);
  slot(10).app = L"stale";
  load(Bytes(file.begin(), file.begin() + 3 * 54));
  EXPECT_EQ(slot(10).app, std::wstring(32, L' '));
  for (std::size_t k = 0; k < 64; ++k) EXPECT_EQ(IsFreeSlot(p, k), k >= 3) << k;
  EXPECT_EQ(save(), Bytes(file.begin(), file.begin() + 3 * 54) + Bytes(54, 0));
}

TEST_F(FiniCodec, TextBytesBlanksAndTheBytesOfOtherCharacters) {
  // Blank, tab and control bytes read as blanks and are written as 0; half-width katakana and
  // bytes that are no character of their own come back unchanged.
  const Bytes app = {'\\', '!',  0x20, 0x09, 0x01, 0xB1, 0xDF,
                     0x81, 0x80, 0xA0, 0xFD, 0xFF, 0x7F, 'Z'};
  load(record({{0, {'.', 0x83, 0x5C, 0x20}}, {22, app}, {13, {0x80}}, {14, {0x0A}}}));
  EXPECT_EQ(slot(0).app.substr(0, 7), L"\\!   ｱﾟ");
  EXPECT_EQ(Shown(slot(0).app.substr(7, 5)), L"?????");
  EXPECT_EQ(slot(0).mmp, 0x80000000u);
  EXPECT_EQ(Shown(slot(0).suffix), L".?\\ ");
  Bytes expectedApp = app;
  expectedApp[2] = expectedApp[3] = expectedApp[4] = 0;
  EXPECT_EQ(save(), record({{0, {'.', 0x83, 0x5C, 0}}, {22, expectedApp}, {13, {0x80}}}) +
                        Bytes(3 * kFiniRecordBytes, 0));
}

} // namespace
} // namespace vokuta
