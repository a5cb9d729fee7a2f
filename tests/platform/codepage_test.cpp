// Win32Codepage on what the code page 932 dump never asks (which puts every code and character
// against iconv's answers): codes that are not one code, and characters no code decodes to,
// which Windows must not approximate.
#include <gtest/gtest.h>

#include "win32/win32_codepage.h"

namespace vokuta {
namespace {

TEST(Win32Codepage, AnswersOnlyForOneWholeCodeAndWithoutBestFit) {
  const struct {
    std::string code;
    std::optional<wchar_t> ch;
  } decodes[] = {
      // An unassigned pair, a lead byte without its trail, two codes, a code and a byte more.
      {"\x82\xA0", L'\x3042'}, {"\x85\x40", std::nullopt},     {"\x81", std::nullopt},
      {"AB", std::nullopt},    {"\x82\xA0\x41", std::nullopt}, {"", std::nullopt},
  };
  const struct {
    wchar_t ch;
    std::optional<std::string> code;
  } encodes[] = {
      {L'\x3042', "\x82\xA0"},
      {L'\x00E9', std::nullopt}, // best fit would give 'e'
      {L'\x00A5', std::nullopt}, // best fit would give 0x5C, a backslash
      {L'\xD800', std::nullopt}, // half of a surrogate pair
  };
  Win32Codepage cp;
  for (const auto& c : decodes)
    EXPECT_EQ(cp.decodeChar(c.code), c.ch) << testing::PrintToString(c.code);
  for (const auto& c : encodes) EXPECT_EQ(cp.encodeChar(c.ch), c.code) << static_cast<int>(c.ch);
}

} // namespace
} // namespace vokuta
