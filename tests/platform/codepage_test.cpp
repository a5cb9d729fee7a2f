// Win32Codepage on what the code page 932 dump never asks (cp932_compare checks every code and
// character the program's ShiftJis asks about against iconv): codes that are not one code, and
// characters no code decodes to, which Windows must not approximate.
#include <gtest/gtest.h>

#include "cp932_table.h"
#include "win32/win32_codepage.h"

namespace vokuta {
namespace {

using platform_test::HexChar;
using platform_test::HexCode;

TEST(Win32Codepage, DecodesOneCodeToOneCharacterOrNone) {
  const struct {
    std::string code;
    std::optional<wchar_t> ch;
  } cases[] = {
      {"\x82\xA0", L'\x3042'},
      {"\x85\x40", std::nullopt}, // unassigned pair
      {"\x81", std::nullopt},     // lead byte without its trail
      {"AB", std::nullopt},       // two characters, not one
      {"\x82\xA0"
       "A",
       std::nullopt},
      {"", std::nullopt},
  };
  Win32Codepage cp;
  for (const auto& c : cases)
    EXPECT_EQ(HexChar(cp.decodeChar(c.code)), HexChar(c.ch)) << "code " << HexCode(c.code);
}

TEST(Win32Codepage, EncodesRoundTripCodesOnlyWithoutBestFit) {
  const struct {
    wchar_t ch;
    std::optional<std::string> code;
  } cases[] = {
      {L'\x3042', "\x82\xA0"},
      {L'\x00E9', std::nullopt}, // best fit would give 'e'
      {L'\x00A5', std::nullopt}, // best fit would give 0x5C, a backslash
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
