#include "pkg/cli.h"

#include <filesystem>
#include <fstream>
#include <regex>
#include <sstream>

#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include "pkg/posix_files.h"
#include "pkg/read_only_files.h"
#include "pkg/utf8.h"
#include "support/test_program.h"

namespace vokuta::pkg {
namespace {

using ::testing::HasSubstr;

std::vector<std::wstring> wordsOf(const std::wstring& text) {
  std::vector<std::wstring> out;
  std::wistringstream in(text);
  for (std::wstring w; in >> w;) out.push_back(w);
  return out;
}

class PkgCli : public ::testing::Test {
protected:
  PkgCli() {
    t.files.addFile(
        L"C:\\pkg\\Setup.inf",
        test::Sjis(L"[PORT]=2\r\ncalc.exf,\\system\\apps,.\\apps,Fini,.TBL,86EC,264B7A\r\n"));
    t.files.addFile(L"C:\\pkg\\apps\\calc.exf", std::string(1200, 'c'));
    t.files.addFile(L"C:\\pkg\\broken.inf", test::Sjis(L"none.dat,\\d,.,\r\n"));
    t.files.addFile(L"C:\\pkg\\warned.inf", test::Sjis(L"calc.exf,\\d,.\\apps,\r\nx\r\n"));
    std::string ravuz(6 * 54, '\0');
    t.files.addFile(L"C:\\device\\SYSTEM\\RAVUZ.INI", ravuz);
    t.files.addFile(L"C:\\other.ini", ravuz.replace(5 * 54, 4, ".DOC"));
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
  const std::pair<int, std::vector<std::wstring>> cases[] = {
      {0,
       {L"check", L"check C:\\pkg\\Setup.inf", L"ravuz C:\\device\\SYSTEM\\RAVUZ.INI",
        L"ravuz --diff C:\\other.ini C:\\other.ini", L"plan --device C:\\device", L"--help",
        L"help"}},
      {1, {L"check warned.inf", L"ravuz --diff C:\\device\\SYSTEM\\RAVUZ.INI C:\\other.ini"}},
      {2,
       {L"check broken.inf", L"check none.inf", L"ravuz Setup.inf",
        L"plan broken.inf --device C:\\device", L"plan --device C:\\device --capacity 2000"}},
      {kUsageStatus,
       {L"", L"install", L"check --verbose", L"check a.inf b.inf", L"check --device C:\\device",
        L"--lang fr check", L"--lang", L"ravuz", L"ravuz a b", L"ravuz --diff a", L"check --diff",
        L"plan", L"plan --device C:\\device --capacity lots"}}};
  for (const auto& [status, commands] : cases) {
    for (const std::wstring& command : commands) {
      EXPECT_EQ(run(wordsOf(command)), status) << test::Sjis(command);
      EXPECT_EQ(err.empty(), status != kUsageStatus || out.find(L"Usage") != std::wstring::npos)
          << test::Sjis(command);
    }
  }
  run({L"--lang", L"ja", L"--help"});
  EXPECT_THAT(out, HasSubstr(L"使い方"));
}

// The reports of the tool tests' cases, made in-process from the source tree, must be the ones
// kept in tools/pkg/expected.
TEST(PkgReports, AreTheOnesKept) {
  namespace fs = std::filesystem;
  const fs::path src = fs::path(VOKUTA_TEST_PACKAGES) / "../..", home = fs::current_path();
  std::ifstream cases(src / "tools/pkg/report_cases.sh");
  const std::regex caseLine("^ *\"([^|]+)\\|([^|]+)\\|([^\"]+)\"$");
  std::size_t seen = 0;
  for (std::string line; std::getline(cases, line);) {
    std::smatch c;
    if (!std::regex_match(line, c, caseLine)) continue;
    ++seen;
    std::wstring out, err;
    fs::current_path(src / c[2].str());
    PosixFiles files;
    const int status =
        RunPkgTool(wordsOf(DecodeUtf8(c[3].str())), files, test::TestShiftJis(), out, err);
    fs::current_path(home);
    std::ifstream kept(src / "tools/pkg/expected" / (c[1].str() + ".txt"), std::ios::binary);
    EXPECT_EQ(EncodeUtf8(out) + "[exit " + std::to_string(status) + "]\n",
              std::string(std::istreambuf_iterator<char>(kept), {}))
        << c[1];
  }
  EXPECT_GE(seen, 19u);
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
  EXPECT_FALSE(view.writeFile(L"C:\\pkg\\b.dat", {'x'}) ||
               view.copyFile(L"C:\\pkg\\a.dat", L"C:\\pkg\\c.dat") ||
               view.moveFile(L"C:\\pkg\\a.dat", L"C:\\pkg\\d.dat") ||
               view.deleteFile(L"C:\\pkg\\a.dat") ||
               view.setAttributes(L"C:\\pkg\\a.dat", kAttrHidden) ||
               view.makeDirectory(L"C:\\pkg\\sub") || view.setCurrentDrive(L'C'));
  EXPECT_TRUE(files.log.empty());
}

} // namespace
} // namespace vokuta::pkg
