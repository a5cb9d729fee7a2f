#include "pkg/problem.h"

#include <set>

#include <gtest/gtest.h>

#include "pkg/json.h"
#include "pkg/messages.h"

namespace vokuta::pkg {
namespace {

TEST(PkgMessages, EveryProblemHasANameAndTwoFilledTexts) {
  std::set<std::string> keys;
  for (int i = 0; i <= static_cast<int>(kLastMessageId); ++i) {
    const Problem p = MakeProblem(static_cast<MessageId>(i), 1, 1, {L"A", L"B", L"C"});
    EXPECT_TRUE(keys.insert(KeyOf(p.id)).second) << KeyOf(p.id);
    for (Lang lang : {Lang::En, Lang::Ja}) {
      const std::wstring text = MessageOf(p, lang);
      EXPECT_FALSE(text.empty()) << KeyOf(p.id);
      EXPECT_EQ(text.find(L'{'), std::wstring::npos) << KeyOf(p.id);
    }
    EXPECT_NE(MessageOf(p, Lang::En), MessageOf(p, Lang::Ja)) << KeyOf(p.id);
  }
}

// Errors: the installation fails or installs something else. Everything else only warns.
TEST(PkgMessages, ErrorsAreWhatBreaksTheInstallation) {
  const std::set<MessageId> errors = {
      MessageId::CannotRead,       MessageId::TooManyRows,     MessageId::FileNameBackslash,
      MessageId::SourceMissing,    MessageId::WildcardNoMatch, MessageId::NameTooLong,
      MessageId::NameLastByte5C,   MessageId::NameEmpty,       MessageId::NameDots,
      MessageId::NameBadCharacter, MessageId::SameDevicePath,  MessageId::Utf16,
      MessageId::NameReserved,
  };
  for (int i = 0; i <= static_cast<int>(kLastMessageId); ++i) {
    const auto id = static_cast<MessageId>(i);
    EXPECT_EQ(SeverityOf(id), errors.count(id) ? Severity::Error : Severity::Warning) << KeyOf(id);
  }
  const auto w = MakeProblem(MessageId::SuffixCut, 1, 1);
  const auto e = MakeProblem(MessageId::SourceMissing, 1, 1);
  EXPECT_EQ(ExitStatusOf({}), 0);
  EXPECT_EQ(ExitStatusOf({w, w}), 1);
  EXPECT_EQ(ExitStatusOf({w, e}), 2);
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
