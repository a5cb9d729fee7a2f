#include "util/shift_jis.h"

#include <gtest/gtest.h>

#include "support/test_codepage.h"

namespace vokuta {
namespace {

const ShiftJis& sjis() { return test::TestShiftJis(); }

TEST(ShiftJis, DecodesSingleAndDoubleByteCharacters) {
  EXPECT_EQ(sjis().decode("abc\\~"), L"abc\\~");
  EXPECT_EQ(sjis().decode("\xB1\xB2\xDF"), L"ｱｲﾟ");
  EXPECT_EQ(sjis().decode("\x83\x5C\x82\xA0"), L"ソあ");
  EXPECT_EQ(sjis().decode("\x87\x40\xFA\x40"), L"①ⅰ");
  EXPECT_EQ(sjis().decode(std::string("a\0b", 3)), std::wstring(L"a\0b", 3));
}

TEST(ShiftJis, InvalidBytesNeverSwallowTheirNeighbours) {
  struct Case {
    std::string bytes;
    std::wstring expected;
  } cases[] = {
      {"\x81,x", L"\uFFFD,x"},       // lead byte before a comma
      {"a\x82\r\n", L"a\uFFFD\r\n"}, // lead byte before the line end
      {"\x82", L"\uFFFD"},           // lead byte at the very end
      {"\x80\xA0\xFD\xFE\xFF", L"\uFFFD\uFFFD\uFFFD\uFFFD\uFFFD"},
      {"\x85\x40z", L"\uFFFD@z"},  // unassigned pair: its ASCII trail is read on its own
      {"\x85\x9Fz", L"\uFFFDz"},   // unassigned pair with a non-ASCII trail: one error
      {"\x81\x7F", L"\uFFFD\x7F"}, // 0x7F is no trail byte
  };
  for (const auto& c : cases) EXPECT_EQ(sjis().decode(c.bytes), c.expected);
}

TEST(ShiftJis, EncodeRoundTripsAndPrefersTheStandardCodes) {
  const std::wstring text = L"Vokuta本体ソフト インストーラ ｶﾅ ①\\";
  EXPECT_EQ(sjis().decode(sjis().encode(text)), text);
  // Characters with several codes take the one Windows writes.
  EXPECT_EQ(sjis().encode(L"≒ⅰ￢"), "\x81\xE0\xFA\x40\x81\xCA");
  EXPECT_EQ(sjis().encode(L"€😀"), "??");
  EXPECT_EQ(sjis().codeOf(L'\xFFFD'), "");
  EXPECT_EQ(sjis().byteWidth(L'ソ'), 2);
  EXPECT_EQ(sjis().byteWidth(L'ｿ'), 1);
}

TEST(DecodeUtf8, ReplacesWhatIsNoBasicPlaneCharacter) {
  struct Case {
    std::string bytes;
    std::wstring expected;
  } cases[] = {
      {"a\xE3\x81\x82z", L"aあz"},
      {"\xE3\x81,", L"\uFFFD,"},       // truncated sequence keeps the comma
      {"\xF0\x9F\x98\x80", L"\uFFFD"}, // beyond the basic plane
      {"\xC0\x80", L"\uFFFD"},         // overlong
      {"\xED\xA0\x80", L"\uFFFD"},     // surrogate
      {"\xFF\r\n", L"\uFFFD\r\n"},
  };
  for (const auto& c : cases) EXPECT_EQ(DecodeUtf8(c.bytes), c.expected);
}

} // namespace
} // namespace vokuta
