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

// Arguments by number; what JSON must escape.
TEST(PkgMessages, FillAndJsonStringTakeTextAsTheyMust) {
  EXPECT_EQ(Fill(L"{2} after {1}; {1} again, {3} missing, {x} kept", {L"a", L"b"}),
            L"b after a; a again,  missing, {x} kept");
  EXPECT_EQ(JsonString(L"a\"b\\c\r\n\t\x01\x7F表"), L"\"a\\\"b\\\\c\\r\\n\\t\\u0001\\u007f表\"");
}

} // namespace
} // namespace vokuta::pkg
