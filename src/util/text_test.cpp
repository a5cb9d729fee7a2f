#include "util/device_path.h"
#include "util/shift_jis.h"
#include "util/text.h"
#include "util/wildcard.h"

#include <gtest/gtest.h>

#include "support/test_codepage.h"

namespace vokuta {
namespace {

using Texts = std::vector<std::wstring>;

const ShiftJis& sjis() { return test::TestShiftJis(); }

// Fields split at single ASCII delimiters, keep empty fields and blanks, and are empty out of
// range; TextBefore cuts at the first ASCII delimiter whatever the case of its letters.
TEST(Text, FieldsAndCuts) {
  auto f = [](const wchar_t* text, std::int32_t n) { return FieldOf(text, L",", n); };
  EXPECT_EQ(
      (Texts{f(L"a,b,c", 2), f(L"a,b,c", 3), f(L"a,,c", 2), f(L"a,b,", 3), f(L"abc", 1),
             f(L"abc", 0), f(L"a, b ,c", 2), f(L"", 1), f(L"a,b", 3), f(L"a,b", -1), f(L",", 2),
             f(L"x,y,z,w,v,u,t,s", 7), f(L"a，b,c", 1), f(L"ファイル,データ", 2)}),
      (Texts{L"b", L"c", L"", L"", L"abc", L"", L" b ", L"", L"", L"", L"", L"t", L"a，b",
             L"データ"}));
  EXPECT_EQ((Texts{TextBefore(L"abc", L";"), TextBefore(L";abc", L";"), TextBefore(L"", L";"),
                   TextBefore(L";", L";"), TextBefore(L"abc", L""), TextBefore(L"a；b;c", L";"),
                   TextBefore(L"[PORT]=1   ;番号", L";"), TextBefore(L"xxABcyy", L"abc")}),
            (Texts{L"abc", L"", L"", L"", L"abc", L"a；b", L"[PORT]=1   ", L"xx"}));
}

// Device names Windows reserves in any folder, and how a character is shown in a message.
TEST(Text, ReservedNamesAndShownCharacters) {
  Texts reserved;
  for (const wchar_t* name : {L"con", L"Prn.txt", L"AUX", L"nul .x", L"COM1", L"lpt9", L"COM0",
                              L"COMX", L"CON1", L"LPT", L"NULL"})
    if (IsReservedName(name)) reserved.push_back(name);
  EXPECT_EQ(reserved, (Texts{L"con", L"Prn.txt", L"AUX", L"nul .x", L"COM1", L"lpt9"}));
  EXPECT_EQ((Texts{ShowChar(L'a'), ShowChar(L'\x1F'), ShowChar(L'\x7F'), ShowChar(L'\xFFFD')}),
            (Texts{L"a", L"U+001F", L"U+007F", L"U+FFFD"}));
}

// Invalid bytes become U+FFFD without swallowing the comma or line end after them; an
// unassigned pair's ASCII trail is read on its own, a non-ASCII trail makes one error.
TEST(ShiftJis, DecodesAndNeverSwallowsTheNeighboursOfInvalidBytes) {
  const std::pair<std::string, std::wstring> cases[] = {
      {"abc\\~", L"abc\\~"},         {"\xB1\xB2\xDF", L"ｱｲﾟ"},
      {"\x83\x5C\x82\xA0", L"ソあ"}, {"\x87\x40\xFA\x40", L"①ⅰ"},
      {"\x81,x", L"\uFFFD,x"},       {"a\x82\r\n", L"a\uFFFD\r\n"},
      {"\x82", L"\uFFFD"},           {"\x80\xA0\xFD\xFE\xFF", L"\uFFFD\uFFFD\uFFFD\uFFFD\uFFFD"},
      {"\x85\x40z", L"\uFFFD@z"},    {"\x85\x9Fz", L"\uFFFDz"},
      {"\x81\x7F", L"\uFFFD\x7F"},   {"\x85\x80z", L"\uFFFDz"}};
  for (const auto& [bytes, text] : cases) EXPECT_EQ(sjis().decode(bytes), text);
  EXPECT_EQ(sjis().decode(std::string("a\0b", 3)), std::wstring(L"a\0b", 3));
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

// Truncated, overlong, surrogate and beyond-the-basic-plane sequences become U+FFFD; U+FFFF is
// still of the basic plane.
TEST(DecodeUtf8, ReplacesWhatIsNoBasicPlaneCharacter) {
  const std::pair<std::string, std::wstring> cases[] = {
      {"a\xE3\x81\x82z", L"aあz"}, {"\xE3\x81,", L"\uFFFD,"},   {"\xF0\x9F\x98\x80", L"\uFFFD"},
      {"\xC0\x80", L"\uFFFD"},     {"\xED\xA0\x80", L"\uFFFD"}, {"\xFF\r\n", L"\uFFFD\r\n"},
      {"\xEF\xBF\xBF", L"\xFFFF"}, {"\xC2\x80", L"\x80"}};
  for (const auto& [bytes, text] : cases) EXPECT_EQ(DecodeUtf8(bytes), text);
}

// Trailing stars match nothing, "*." takes names without a dot; Latin-1 folds up to thorn, Greek
// from alpha, the full-width letters up to z.
TEST(Wildcard, TrailingStarsDotsAndFoldedLetters) {
  EXPECT_TRUE(WildcardMatch(L"ab**", L"ab"));
  EXPECT_TRUE(WildcardMatch(L"*.", L"README"));
  EXPECT_FALSE(WildcardMatch(L"*.", L"a.txt"));
  EXPECT_EQ(FoldName(L"\xFE\xE0\xFF\xF7\x3B1\xFF5A"), L"\xDE\xC0\x178\xF7\x391\xFF3A");
}

} // namespace
} // namespace vokuta
