#include "fini/fini_image.h"

#include <random>

#include <gtest/gtest.h>

#include "support/test_program.h"
#include "util/text.h"

namespace vokuta {
namespace {

using Bytes = std::vector<std::uint8_t>;

Bytes record(std::initializer_list<std::pair<std::size_t, Bytes>> parts) {
  Bytes r(kFiniRecordBytes, 0);
  for (const auto& [offset, bytes] : parts)
    std::copy(bytes.begin(), bytes.end(), r.begin() + offset);
  return r;
}

Bytes ascii(const std::string& s) { return Bytes(s.begin(), s.end()); }

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
  test::TestProgram t;
  Program& p = t.p;
};

TEST_F(FiniCodec, EncodesTheDocumentedRecords) {
  FiniRecord& r = p.deviceFiniTable[0];
  r.suffix = L".TBL";
  r.font = 0x86E;
  r.mmp = 0x264B7A;
  r.app = FitWidth(L"\\SYSTEM\\APPS\\CHARTER.EXF", 32);
  p.deviceFiniTable[1].suffix = L".A  ";
  p.deviceFiniTable[2].attr = 0x1234;
  p.deviceFiniTable[2].suffix = L".X  ";
  rR2FiniB(p);
  const Bytes expected = record({{0, ascii(".TBL")},
                                 {8, {0x6E, 0x08}},
                                 {10, {0x7A, 0x4B, 0x26, 0x00}},
                                 {22, ascii("\\SYSTEM\\APPS\\CHARTER.EXF")}});
  EXPECT_EQ(Bytes(p.finiImage[0].begin(), p.finiImage[0].end()), expected);
  EXPECT_EQ(Bytes(p.finiImage[1].begin(), p.finiImage[1].begin() + 4), (Bytes{0x2E, 0x41, 0, 0}));
  EXPECT_EQ(Bytes(p.finiImage[2].begin() + 4, p.finiImage[2].begin() + 6), (Bytes{0x34, 0x12}));
}

TEST_F(FiniCodec, ReadsAtMost64RecordsAndClearsTheRest) {
  for (std::size_t count : {3u, 64u, 70u}) {
    Bytes file;
    for (std::size_t i = 0; i < count; ++i) {
      Bytes r = record({{0, ascii(".S" + std::to_string(i % 10) + "X")},
                        {4, {static_cast<std::uint8_t>(i), 0}}});
      file.insert(file.end(), r.begin(), r.end());
    }
    p.deviceFiniTable[10].app = L"stale";
    load(file);
    const std::size_t kept = std::min<std::size_t>(count, 64);
    for (std::size_t k = 0; k < 64; ++k) {
      EXPECT_EQ(p.deviceFiniTable[k].attr, k < kept ? static_cast<std::int32_t>(k) : 0) << count;
      EXPECT_EQ(IsFreeSlot(p, k), k >= kept) << count << " slot " << k;
    }
    EXPECT_EQ(p.deviceFiniTable[10].app, std::wstring(32, L' '));
    // The four reserved slots are always written.
    EXPECT_EQ(save().size(), std::max<std::size_t>(kept, 4) * kFiniRecordBytes) << count;
  }
}

TEST_F(FiniCodec, TextBytesBlanksAndTheBytesOfOtherCharacters) {
  // Blank, tab and control bytes read as blanks and are written as 0; half-width katakana and
  // bytes that are no character of their own come back unchanged.
  const Bytes app = {'\\', 0x20, 0x09, 0x01, 0xB1, 0xDF, 0x81, 0x80, 0xA0, 0xFD, 0xFF, 0x7F, 'Z'};
  load(record({{0, {'.', 0x83, 0x5C, 0x20}}, {22, app}, {13, {0x80}}}));
  const FiniRecord& r = p.deviceFiniTable[0];
  EXPECT_EQ(r.app.substr(0, 6), L"\\   ｱﾟ");
  EXPECT_EQ(Shown(r.app.substr(6, 5)), L"?????");
  EXPECT_EQ(r.mmp, 0x80000000u);
  EXPECT_EQ(Shown(r.suffix), L".?\\ ");
  const Bytes written = save();
  Bytes expectedApp = app;
  expectedApp[1] = expectedApp[2] = expectedApp[3] = 0;
  EXPECT_EQ(Bytes(written.begin() + 22, written.begin() + 22 + app.size()), expectedApp);
  EXPECT_EQ(Bytes(written.begin(), written.begin() + 4), (Bytes{'.', 0x83, 0x5C, 0}));
  EXPECT_EQ(written[13], 0x80);
}

TEST_F(FiniCodec, PackageTextWithDoubleByteCharactersKeepsItsPositions) {
  p.deviceFiniTable[0].app = FitWidth(L"\\表\\A.EXF", 32);
  p.deviceFiniTable[0].font = 0x12345; // from a long column: the low 16 bits stay
  save();
  EXPECT_EQ(Bytes(p.finiImage[0].begin() + 22, p.finiImage[0].begin() + 30),
            (Bytes{'\\', 0, '\\', 'A', '.', 'E', 'X', 'F'}));
  EXPECT_EQ(Bytes(p.finiImage[0].begin() + 8, p.finiImage[0].begin() + 10), (Bytes{0x45, 0x23}));
}

TEST_F(FiniCodec, WhichSlotsAreWritten) {
  for (std::size_t k : {0u, 1u, 3u, 4u, 5u, 6u, 7u, 8u, 9u})
    p.deviceFiniTable[k].suffix = L".S" + std::to_wstring(k) + L" ";
  p.deviceFiniTable[2] = FiniRecord{};   // empty reserved slot: written as zeros
  p.deviceFiniTable[6].suffix = L"    "; // no suffix: dropped
  p.deviceFiniTable[6].app = L"\\GONE";
  const Bytes file = save();
  ASSERT_EQ(file.size(), 9 * kFiniRecordBytes);
  EXPECT_EQ(Bytes(file.begin() + 2 * 54, file.begin() + 3 * 54), Bytes(54, 0));
  load(file);
  EXPECT_EQ(p.deviceFiniTable[6].suffix, L".S7 ");
  EXPECT_EQ(p.deviceFiniTable[7].suffix, L".S8 ");
  EXPECT_TRUE(IsFreeSlot(p, 9));
}

TEST_F(FiniCodec, HexDigits) {
  EXPECT_EQ(Hex4(0x86E), L"086E");
  EXPECT_EQ(Hex4(0x12345), L"2345");
  EXPECT_EQ(Hex8(0x264B7A), L"00264B7A");
  EXPECT_EQ(Hex4(-1), L"FFFF");
  EXPECT_EQ(Hex8(-1), L"FFFFFFFF");
  EXPECT_EQ(Hex8(0x80000000u), L"80000000");
}

// Random tables and files: what the format can hold survives a trip through it unchanged.
TEST_F(FiniCodec, RoundTripsOverManySeeds) {
  std::mt19937 rng(20261206);
  auto pick = [&](int lo, int hi) { return std::uniform_int_distribution<int>(lo, hi)(rng); };
  auto textByte = [&] { return static_cast<std::uint8_t>(pick(0, 3) == 0 ? 0 : pick(33, 255)); };
  for (int round = 0; round < 300; ++round) {
    // Records to bytes and back.
    for (std::size_t k = 0; k < kFiniSlots; ++k) {
      FiniRecord& r = p.deviceFiniTable[k];
      Bytes raw(44);
      for (auto& b : raw) b = textByte();
      raw[0] = static_cast<std::uint8_t>(pick(33, 255));
      load(record(
          {{0, Bytes(raw.begin(), raw.begin() + 4)}, {14, Bytes(raw.begin() + 4, raw.end())}}));
      r = p.deviceFiniTable[0];
      r.attr = pick(0, 65535);
      r.id = pick(0, 65535);
      r.font = static_cast<std::uint32_t>(pick(0, 65535));
      r.mmp = static_cast<std::uint32_t>(rng());
    }
    const DeviceFiniTable before = p.deviceFiniTable;
    rR2FiniB(p);
    FiniB2rR(p);
    for (std::size_t k = 0; k < kFiniSlots; ++k)
      ASSERT_EQ(p.deviceFiniTable[k], before[k]) << round;

    // Bytes to records and back, for a file of up to 64 records that the format allows.
    const std::size_t count = static_cast<std::size_t>(pick(6, 64));
    Bytes file;
    for (std::size_t k = 0; k < count; ++k) {
      Bytes r(kFiniRecordBytes);
      for (auto& b : r) b = static_cast<std::uint8_t>(pick(0, 255));
      for (std::size_t i : {0, 1, 2, 3}) r[i] = textByte();
      for (std::size_t i = 14; i < 54; ++i) r[i] = textByte();
      if (k >= 4) r[pick(0, 3)] = static_cast<std::uint8_t>(pick(33, 255));
      file.insert(file.end(), r.begin(), r.end());
    }
    load(file);
    ASSERT_EQ(save(), file) << round;

    // Other text bytes become 0, and records from slot 4 on without a suffix are dropped.
    Bytes odd = file;
    odd[14] = 0x0A;
    std::fill(odd.begin() + 5 * 54, odd.begin() + 5 * 54 + 4, std::uint8_t{0x20});
    load(odd);
    const Bytes written = save();
    ASSERT_EQ(written.size(), file.size() - 54) << round;
    EXPECT_EQ(written[14], 0) << round;
  }
}

} // namespace
} // namespace vokuta
