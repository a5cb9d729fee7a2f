// Win32Codepage against Windows' own tables: codes that are one character, codes that are
// none, and characters whose code Windows must not approximate.
#include <gtest/gtest.h>

#include "cp932_table.h"
#include "win32/win32_codepage.h"

namespace vokuta {
namespace {

using platform_test::HexChar;
using platform_test::HexCode;

struct DecodeCase {
  std::string code;
  std::optional<wchar_t> ch;
};

TEST(Win32Codepage, DecodesOneCodeToOneCharacterOrNone) {
  const DecodeCase cases[] = {
      {"A", L'A'},
      {std::string(1, '\0'), L'\0'},
      {"\x5C", L'\\'},            // a backslash, not a yen sign
      {"\xB1", L'\xFF71'},        // half-width katakana
      {"\x82\xA0", L'\x3042'},    // hiragana
      {"\x81\x5F", L'\xFF3C'},    // full-width backslash
      {"\x87\x40", L'\x2460'},    // the NEC row
      {"\xED\x40", L'\x7E8A'},    // NEC's copy of the IBM extensions
      {"\xFA\x40", L'\x2170'},    // the IBM extensions
      {"\x85\x40", std::nullopt}, // unassigned pair
      {"\x81", std::nullopt},     // lead byte without its trail
      {"AB", std::nullopt},       // two characters, not one
      {"\x82\xA0"
       "A",
       std::nullopt},
      {"", std::nullopt},
  };
  Win32Codepage cp;
  for (const auto& c : cases) {
    EXPECT_EQ(HexChar(cp.decodeChar(c.code)), HexChar(c.ch)) << "code " << HexCode(c.code);
  }
}

struct EncodeCase {
  wchar_t ch;
  std::optional<std::string> code;
};

TEST(Win32Codepage, EncodesRoundTripCodesOnlyWithoutBestFit) {
  const EncodeCase cases[] = {
      {L'A', "A"},
      {L'\x3042', "\x82\xA0"},
      {L'\xFF71', "\xB1"},
      {L'\x2252', "\x81\xE0"},   // also at 0x8790 in the NEC row; the JIS code wins
      {L'\xFFE2', "\x81\xCA"},   // also at 0xEEF9 and 0xFA54
      {L'\x2170', "\xFA\x40"},   // also at 0xEEEF among NEC's copies
      {L'\x00E9', std::nullopt}, // best fit would give 'e'
      {L'\x00A5', std::nullopt}, // best fit would give 0x5C, a backslash
      {L'\xAC00', std::nullopt},
      {L'\xD800', std::nullopt}, // half of a surrogate pair
  };
  Win32Codepage cp;
  for (const auto& c : cases) {
    const auto code = cp.encodeChar(c.ch);
    EXPECT_EQ(code ? HexCode(*code) : "none", c.code ? HexCode(*c.code) : "none")
        << "character " << HexChar(c.ch);
  }
}

} // namespace
} // namespace vokuta
