#include "pkg/cli.h"

#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include "fini/fini_image.h"
#include "pkg/read_only_files.h"
#include "support/test_program.h"
#include "util/text.h"

namespace vokuta::pkg {
namespace {

using ::testing::HasSubstr;

// A JSON syntax check, enough to catch a writer that forgets a comma or an escape.
class JsonSyntax {
public:
  explicit JsonSyntax(const std::wstring& text) : s_(text) {}
  bool valid() {
    blanks();
    if (!value()) return false;
    blanks();
    return i_ == s_.size();
  }

private:
  void blanks() {
    while (i_ < s_.size() && (s_[i_] == L' ' || s_[i_] == L'\n')) ++i_;
  }
  bool eat(wchar_t c) {
    blanks();
    if (i_ < s_.size() && s_[i_] == c) return ++i_, true;
    return false;
  }
  bool word(const wchar_t* w) {
    const std::wstring_view v(w);
    if (s_.compare(i_, v.size(), v) != 0) return false;
    i_ += v.size();
    return true;
  }
  bool string() {
    if (!eat(L'"')) return false;
    while (i_ < s_.size() && s_[i_] != L'"') {
      if (s_[i_] < 0x20) return false;
      if (s_[i_] == L'\\') {
        ++i_;
        if (i_ >= s_.size() || std::wstring_view(L"\"\\/bfnrtu").find(s_[i_]) == std::wstring::npos)
          return false;
      }
      ++i_;
    }
    return eat(L'"');
  }
  template <class Item> bool list(wchar_t close, Item item) {
    if (eat(close)) return true;
    do {
      if (!item()) return false;
    } while (eat(L','));
    return eat(close);
  }
  bool value() {
    blanks();
    if (i_ >= s_.size()) return false;
    if (s_[i_] == L'{') return ++i_, list(L'}', [&] { return string() && eat(L':') && value(); });
    if (s_[i_] == L'[') return ++i_, list(L']', [&] { return value(); });
    if (s_[i_] == L'"') return string();
    if (word(L"true") || word(L"false") || word(L"null")) return true;
    const std::size_t start = i_;
    while (i_ < s_.size() && s_[i_] >= L'0' && s_[i_] <= L'9') ++i_;
    return i_ > start;
  }
  std::wstring s_;
  std::size_t i_ = 0;
};

class PkgCli : public ::testing::Test {
protected:
  PkgCli() {
    t.files.addFile(
        L"C:\\pkg\\Setup.inf",
        test::Sjis(L"[PORT]=2\r\ncalc.exf,\\system\\apps,.\\apps,Fini,.TBL,86EC,264B7A\r\n"
                   L"a.dat,\\データ,.,;comment\r\n"));
    t.files.addFile(L"C:\\pkg\\apps\\calc.exf", std::string(1200, 'c'));
    t.files.addFile(L"C:\\pkg\\a.dat", "a");
    t.files.addFile(L"C:\\pkg\\broken.inf", test::Sjis(L"none.dat,\\d,.,\r\n"));
    t.files.addFile(L"C:\\pkg\\warned.inf", test::Sjis(L"a.dat,\\d,.,\r\nx\r\n"));
    t.files.addDirectory(L"C:\\device");
    test::TestProgram scratch;
    scratch.p.deviceFiniTable[4].suffix = L".TXT";
    scratch.p.deviceFiniTable[4].app = FitWidth(L"\\EDIT.EXF", 32);
    rR2FiniB(scratch.p);
    const auto one = FiniFileBytes(scratch.p.finiImage);
    t.files.addFile(L"C:\\device\\SYSTEM\\RAVUZ.INI", std::string(one.begin(), one.end()));
    scratch.p.deviceFiniTable[5].suffix = L".DOC";
    rR2FiniB(scratch.p);
    const auto two = FiniFileBytes(scratch.p.finiImage);
    t.files.addFile(L"C:\\other.ini", std::string(two.begin(), two.end()));
    t.files.setCurrentDirectory(L"C:\\pkg");
  }
  int run(std::vector<std::wstring> args) {
    out.clear();
    err.clear();
    t.files.log.clear();
    const int status = RunPkgTool(args, t.files, test::TestShiftJis(), out, err);
    for (const std::wstring& call : t.files.log) {
      const std::wstring verb = call.substr(0, call.find(L' '));
      EXPECT_TRUE(verb == L"find" || verb == L"read" || verb == L"length") << test::Sjis(call);
    }
    return status;
  }

  test::TestProgram t;
  std::wstring out, err;
};

TEST_F(PkgCli, ExitStatusesFollowWhatWasFound) {
  const struct {
    std::vector<std::wstring> args;
    int status;
  } cases[] = {
      {{L"check"}, 0},
      {{L"check", L"C:\\pkg\\Setup.inf"}, 0},
      {{L"check", L"warned.inf"}, 1},
      {{L"check", L"broken.inf"}, 2},
      {{L"check", L"none.inf"}, 2},
      {{L"ravuz", L"C:\\device\\SYSTEM\\RAVUZ.INI"}, 0},
      {{L"ravuz", L"Setup.inf"}, 2},
      {{L"ravuz", L"--diff", L"C:\\device\\SYSTEM\\RAVUZ.INI", L"C:\\other.ini"}, 1},
      {{L"ravuz", L"--diff", L"C:\\other.ini", L"C:\\other.ini"}, 0},
      {{L"plan", L"--device", L"C:\\device"}, 0},
      {{L"plan", L"broken.inf", L"--device", L"C:\\device"}, 2},
      {{L"plan", L"--device", L"C:\\device", L"--capacity", L"2000"}, 2},
      {{L"--help"}, 0},
      {{L"help"}, 0},
      {{}, kUsageStatus},
      {{L"install"}, kUsageStatus},
      {{L"check", L"--verbose"}, kUsageStatus},
      {{L"check", L"a.inf", L"b.inf"}, kUsageStatus},
      {{L"check", L"--device", L"C:\\device"}, kUsageStatus},
      {{L"--lang", L"fr", L"check"}, kUsageStatus},
      {{L"--lang"}, kUsageStatus},
      {{L"ravuz"}, kUsageStatus},
      {{L"ravuz", L"a", L"b"}, kUsageStatus},
      {{L"ravuz", L"--diff", L"a"}, kUsageStatus},
      {{L"check", L"--diff"}, kUsageStatus},
      {{L"plan"}, kUsageStatus},
      {{L"plan", L"--device", L"C:\\device", L"--capacity", L"lots"}, kUsageStatus},
  };
  for (const auto& c : cases) {
    EXPECT_EQ(run(c.args), c.status) << ::testing::PrintToString(c.args);
    EXPECT_EQ(err.empty(), c.status != kUsageStatus || out.find(L"Usage") != std::wstring::npos)
        << ::testing::PrintToString(c.args);
  }
}

TEST_F(PkgCli, EveryReportIsOneJsonDocumentInEitherLanguage) {
  const std::vector<std::vector<std::wstring>> commands = {
      {L"check"},
      {L"check", L"broken.inf"},
      {L"check", L"none.inf"},
      {L"ravuz", L"C:\\device\\SYSTEM\\RAVUZ.INI"},
      {L"ravuz", L"Setup.inf"},
      {L"ravuz", L"--diff", L"C:\\device\\SYSTEM\\RAVUZ.INI", L"C:\\other.ini"},
      {L"plan", L"--device", L"C:\\device"},
      {L"plan", L"broken.inf", L"--device", L"C:\\device"},
  };
  for (const wchar_t* lang : {L"en", L"ja"}) {
    for (auto args : commands) {
      args.insert(args.begin(), {L"--lang", lang, L"--json"});
      const int status = run(args);
      EXPECT_TRUE(JsonSyntax(out).valid()) << test::Sjis(out);
      EXPECT_THAT(out, HasSubstr(L"\"exitStatus\": " + std::to_wstring(status))) << test::Sjis(out);
    }
  }
}

TEST_F(PkgCli, TextReportsNameTheirFindings) {
  run({L"check", L"broken.inf"});
  EXPECT_THAT(out, HasSubstr(L"broken.inf:1:1: error: .\\.\\none.dat does not exist"));
  run({L"--lang", L"ja", L"check", L"broken.inf"});
  EXPECT_THAT(out, HasSubstr(L"broken.inf:1:1: エラー: .\\.\\none.dat がありません"));
  run({L"check"});
  EXPECT_THAT(out, HasSubstr(L"Port: 2 (line 1)"));
  EXPECT_THAT(out, HasSubstr(L"line 3: a.dat -> \\データ  from .\\."));
  EXPECT_THAT(out, HasSubstr(L"Package size by the installer's rule: 2048 bytes"));
  run({L"plan", L"--device", L"C:\\device"});
  EXPECT_THAT(out, HasSubstr(L"create directory \\SYSTEM\\APPS"));
  EXPECT_THAT(out, HasSubstr(L"association .TBL -> \\SYSTEM\\APPS\\CALC.EXF: added in slot 5"));
  EXPECT_THAT(out, HasSubstr(L"Nothing is written."));
  run({L"--lang", L"ja", L"--help"});
  EXPECT_THAT(out, HasSubstr(L"使い方"));
}

// Whatever the platform's files would do, the tool's view of them writes nothing.
TEST(PkgReadOnlyFiles, PassesReadsOnAndRefusesChanges) {
  test::FakePcFiles files;
  files.addFile(L"C:\\pkg\\a.dat", "abc");
  ReadOnlyFiles view(files);
  EXPECT_EQ(view.readFile(L"C:\\pkg\\a.dat"), (std::vector<std::uint8_t>{'a', 'b', 'c'}));
  EXPECT_EQ(view.fileLength(L"C:\\pkg\\a.dat"), 3u);
  EXPECT_EQ(view.find(L"C:\\pkg\\*", 0).size(), 1u);
  files.log.clear();
  EXPECT_FALSE(view.writeFile(L"C:\\pkg\\b.dat", {'x'}));
  EXPECT_FALSE(view.copyFile(L"C:\\pkg\\a.dat", L"C:\\pkg\\c.dat"));
  EXPECT_FALSE(view.moveFile(L"C:\\pkg\\a.dat", L"C:\\pkg\\d.dat"));
  EXPECT_FALSE(view.deleteFile(L"C:\\pkg\\a.dat"));
  EXPECT_FALSE(view.setAttributes(L"C:\\pkg\\a.dat", kAttrHidden));
  EXPECT_FALSE(view.makeDirectory(L"C:\\pkg\\sub"));
  EXPECT_FALSE(view.setCurrentDrive(L'C'));
  EXPECT_TRUE(files.log.empty());
  EXPECT_EQ(files.filesUnder(L"C:\\pkg"), (std::vector<std::wstring>{L"C:\\pkg\\a.dat"}));
  EXPECT_EQ(files.attributes(L"C:\\pkg\\a.dat"), kAttrArchive);
}

} // namespace
} // namespace vokuta::pkg
