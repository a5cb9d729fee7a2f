#include "util/text.h"

#include <gtest/gtest.h>

#include "support/test_codepage.h"

namespace vokuta {
namespace {

struct FieldCase {
  std::wstring text;
  std::int32_t n;
  std::wstring expected;
};

TEST(FieldOf, SplitsAtSingleDelimitersWithoutTrimming) {
  const FieldCase cases[] = {
      {L"a,b,c", 2, L"b"},
      {L"a,b,c", 3, L"c"},
      {L"a,,c", 2, L""},
      {L"a,b,", 3, L""},
      {L"abc", 1, L"abc"},
      {L"abc", 0, L""},
      {L"a, b ,c", 2, L" b "},
      {L"", 1, L""},
      {L"a,b", 3, L""},
      {L"a,b", -1, L""},
      {L",", 2, L""},
      {L"x,y,z,w,v,u,t,s", 7, L"t"},
      // Only the ASCII comma separates; the full-width comma is part of a field.
      {L"a，b,c", 1, L"a，b"},
      {L"ファイル,データ", 2, L"データ"},
  };
  for (const auto& c : cases) EXPECT_EQ(FieldOf(c.text, L",", c.n), c.expected) << c.n;
}

TEST(TextBefore, CutsAtFirstAsciiDelimiter) {
  EXPECT_EQ(TextBefore(L"abc", L";"), L"abc");
  EXPECT_EQ(TextBefore(L";abc", L";"), L"");
  EXPECT_EQ(TextBefore(L"", L";"), L"");
  EXPECT_EQ(TextBefore(L";", L";"), L"");
  EXPECT_EQ(TextBefore(L"abc", L""), L"abc");
  EXPECT_EQ(TextBefore(L"[PORT]=1        ;シリアルポート番号", L";"), L"[PORT]=1        ");
  EXPECT_EQ(TextBefore(L"a；b;c", L";"), L"a；b");
  // Letters compare without regard to case.
  EXPECT_EQ(TextBefore(L"xxABcyy", L"abc"), L"xx");
}

TEST(CountChar, CountsExactMatchesOfOneCharacter) {
  EXPECT_EQ(CountChar(L"a,b,,c", L","), 3);
  EXPECT_EQ(CountChar(L"", L","), 0);
  EXPECT_EQ(CountChar(L"a,b", L",,"), 0);
  EXPECT_EQ(CountChar(L"a，b，c", L","), 0);
  EXPECT_EQ(CountChar(L"aAa", L"a"), 2);
}

TEST(PadLeft, RightAlignsAndCutsFromTheLeft) {
  EXPECT_EQ(PadLeft(L"7", 4), L"   7");
  EXPECT_EQ(PadLeft(L"12345", 3), L"345");
  EXPECT_EQ(PadLeft(L"abc", 0), L"");
  EXPECT_EQ(PadLeft(L" 4", 3), L"  4");
}

TEST(Strip, RemovesOnlyTheOuterRuns) {
  EXPECT_EQ(StripQuotes(L"\"\"abc\"\""), L"abc");
  EXPECT_EQ(StripQuotes(L"\"a\"b\""), L"a\"b");
  EXPECT_EQ(StripQuotes(L"\"\"\""), L"");
  EXPECT_EQ(StripBackslashes(L"\\\\system\\apps\\"), L"system\\apps");
  EXPECT_EQ(StripBackslashes(L"\\"), L"");
  EXPECT_EQ(StripBackslashes(L"\\a\\b\\"), L"a\\b");
  EXPECT_EQ(StripLeadingBackslashes(L"\\\\x\\"), L"x\\");
  EXPECT_EQ(StripTrailingBackslashes(L"C:\\a\\\\"), L"C:\\a");
  EXPECT_EQ(StripTrailingBackslashes(L""), L"");
}

TEST(RemoveBlanks, DropsControlsAndHalfWidthBlankOnly) {
  EXPECT_EQ(RemoveBlanks(L" A B\tC"), L"ABC");
  EXPECT_EQ(RemoveBlanks(std::wstring(L"a\0b\x1F\x21", 5)), L"ab!");
  EXPECT_EQ(RemoveBlanks(L"あ　ｱ"), L"あ　ｱ");
  EXPECT_EQ(RemoveBlanks(L""), L"");
}

TEST(ByteWidth, CountsShiftJisBytes) {
  const ShiftJis& sjis = test::TestShiftJis();
  EXPECT_EQ(ByteWidth(L"ABC", sjis), 3);
  EXPECT_EQ(ByteWidth(L"ｱｲｳ", sjis), 3);
  EXPECT_EQ(ByteWidth(L"あい", sjis), 4);
  EXPECT_EQ(ByteWidth(L"", sjis), 0);
  EXPECT_EQ(ByteWidth(L"データ.t", sjis), 8);
}

TEST(DirPart, KeepsTheLastBackslash) {
  EXPECT_EQ(DirPart(L"C:\\a\\b.exe"), L"C:\\a\\");
  EXPECT_EQ(DirPart(L"C:\\a\\"), L"C:\\a\\");
  EXPECT_EQ(DirPart(L"abc"), L"");
  EXPECT_EQ(DirPart(L"\\"), L"\\");
}

TEST(UpperAscii, ChangesOnlyAsciiLetters) {
  EXPECT_EQ(UpperAscii(L"\\system\\apps\\viewer.exf"), L"\\SYSTEM\\APPS\\VIEWER.EXF");
  EXPECT_EQ(UpperAscii(L"ａｂｃàデータ"), L"ａｂｃàデータ");
}

} // namespace
} // namespace vokuta
