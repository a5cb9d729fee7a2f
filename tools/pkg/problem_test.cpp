#include "pkg/problem.h"

#include <set>

#include <gtest/gtest.h>

#include "pkg/json.h"
#include "pkg/messages.h"

namespace vokuta::pkg {
namespace {

TEST(PkgMessages, EveryProblemHasANameAndTwoFilledTexts) {
  using M = MessageId;
  std::set<std::string> keys;
  for (int i = 0; i <= static_cast<int>(kLastMessageId); ++i) {
    const Problem p = MakeProblem(static_cast<MessageId>(i), 1, 1, {L"A", L"B", L"C"});
    SCOPED_TRACE(KeyOf(p.id));
    EXPECT_TRUE(keys.insert(KeyOf(p.id)).second);
    const std::wstring en = MessageOf(p, Lang::En), ja = MessageOf(p, Lang::Ja);
    EXPECT_NE(en, ja);
    EXPECT_TRUE(!en.empty() && !ja.empty() && (en + ja).find(L'{') == std::wstring::npos);
  }
  const auto w = MakeProblem(M::SuffixCut, 1, 1), e = MakeProblem(M::SourceMissing, 1, 1);
  EXPECT_EQ(std::tuple(ExitStatusOf({}), ExitStatusOf({w, w}), ExitStatusOf({w, e})),
            std::tuple(0, 1, 2));
}

TEST(PkgMessages, FillTakesItsArgumentsByNumber) {
  EXPECT_EQ(Fill(L"{2} after {1}; {1} again, {3} missing, {x} kept", {L"a", L"b"}),
            L"b after a; a again,  missing, {x} kept");
}

TEST(PkgJson, EscapesWhatJsonMust) {
  EXPECT_EQ(JsonString(L"a\"b\\c\r\n\t\x01\x7F表"), L"\"a\\\"b\\\\c\\r\\n\\t\\u0001\\u007f表\"");
}

TEST(PkgJson, IndentsByNesting) {
  JsonWriter j;
  j.beginObject().key("a").number(1).key("b").beginArray().value(L"x").flag(false).null();
  j.endArray().key("c").beginObject().endObject().key("d").beginArray().endArray().endObject();
  EXPECT_EQ(j.str(), L"{\n  \"a\": 1,\n  \"b\": [\n    \"x\",\n    false,\n    null\n  ],\n"
                     L"  \"c\": {},\n  \"d\": []\n}\n");
}

} // namespace
} // namespace vokuta::pkg
