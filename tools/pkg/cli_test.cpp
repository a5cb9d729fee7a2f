#include "pkg/cli.h"

#include <filesystem>
#include <fstream>
#include <regex>
#include <sstream>

#include <gmock/gmock.h>
#include <gtest/gtest.h>
#include <unistd.h>

#include "pkg/json.h"
#include "pkg/messages.h"
#include "pkg/posix_files.h"
#include "pkg/utf8.h"
#include "support/test_program.h"

namespace vokuta::pkg {
namespace {

namespace fs = std::filesystem;

using ::testing::HasSubstr;

std::vector<std::wstring> wordsOf(const std::wstring& text) {
  std::vector<std::wstring> out;
  std::wistringstream in(text);
  for (std::wstring w; in >> w;) out.push_back(w);
  return out;
}

// The kept reports show the statuses of what each command finds; these are the other ways out.
TEST(PkgCli, ExitStatusesFollowWhatWasFound) {
  test::FakePcFiles files;
  files.addFile(L"C:\\pkg\\Setup.inf", "calc.exf,\\system\\apps,.\\apps,Fini,.TBL,86EC,264B7A\r\n");
  files.addFile(L"C:\\pkg\\apps\\calc.exf", std::string(1200, 'c'));
  files.addFile(L"C:\\pkg\\broken.inf", "none.dat,\\d,.,\r\n");
  files.addFile(L"C:\\device\\SYSTEM\\RAVUZ.INI", std::string(6 * 54, '\0'));
  files.setCurrentDirectory(L"C:\\pkg");
  std::wstring out, err;
  const std::pair<int, std::vector<std::wstring>> cases[] = {
      {0, {L"plan --device C:\\device", L"--help", L"help"}},
      {2, {L"plan broken.inf --device C:\\device", L"plan --device C:\\device --capacity 2000"}},
      {kUsageStatus,
       {L"", L"install", L"check --verbose", L"check a.inf b.inf", L"check --device C:\\device",
        L"--lang fr check", L"--lang", L"ravuz", L"ravuz a b", L"ravuz --diff a", L"check --diff",
        L"plan", L"plan --device C:\\device --capacity lots",
        L"plan --device C:\\device --capacity 1234567890123"}}};
  for (const auto& [status, commands] : cases)
    for (const std::wstring& command : commands) {
      SCOPED_TRACE(test::Sjis(command));
      out.clear(), err.clear();
      EXPECT_EQ(RunPkgTool(wordsOf(command), files, test::TestShiftJis(), out, err), status);
      EXPECT_EQ(err.empty(), status != kUsageStatus || out.find(L"Usage") != std::wstring::npos);
    }
  RunPkgTool({L"--lang", L"ja", L"--help"}, files, test::TestShiftJis(), out, err);
  EXPECT_THAT(out, HasSubstr(L"使い方"));
}

// The reports of the tool tests' cases, made in-process from the source tree, must be the ones
// kept in tools/pkg/expected.
TEST(PkgReports, AreTheOnesKept) {
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

// Arguments by number; what JSON must escape.
TEST(PkgMessages, FillAndJsonStringTakeTextAsTheyMust) {
  EXPECT_EQ(Fill(L"{2} after {1}; {1} again, {3} {9} missing, {x} {0} kept", {L"a", L"b"}),
            L"b after a; a again,   missing, {x} {0} kept");
  EXPECT_EQ(JsonString(L"a\"b\\c\r\n\t\x01\x7F表"), L"\"a\\\"b\\\\c\\r\\n\\t\\u0001\\u007f表\"");
}

class PkgPosixFiles : public ::testing::Test {
protected:
  PkgPosixFiles() {
    root_ = fs::temp_directory_path() / ("vokuta-pkg-test-" + std::to_string(::getpid()));
    fs::remove_all(root_);
    const std::pair<const char*, const char*> contents[] = {
        {"pkg/Setup.inf", "inf"}, {"pkg/Apps/Viewer.EXF", "viewer"}, {"pkg/data/1月.dat", "one"}};
    for (const auto& [path, text] : contents) {
      fs::create_directories((root_ / path).parent_path());
      std::ofstream(root_ / path, std::ios::binary) << text;
    }
    top = DecodeUtf8(root_.string());
  }
  ~PkgPosixFiles() override { fs::remove_all(root_); }

  fs::path root_;
  std::wstring top;
  PosixFiles files;
};

TEST_F(PkgPosixFiles, ReadsWindowsStylePaths) {
  const std::pair<std::optional<std::string>, std::vector<const wchar_t*>> cases[] = {
      {"inf", {L"/pkg/Setup.inf", L"\\pkg\\setup.INF"}},
      {"viewer",
       {L"\\PKG\\.\\apps\\VIEWER.exf", L"/pkg/data/../Apps/Viewer.EXF",
        L"\\pkg\\Apps \\Viewer.EXF."}},
      {"one", {L"\\pkg\\data\\1月.DAT"}},
      {std::nullopt, {L"\\pkg\\Apps", L"\\pkg\\none.txt"}}};
  for (const auto& [text, paths] : cases) {
    for (const wchar_t* path : paths) {
      SCOPED_TRACE(test::Sjis(path));
      const auto bytes = files.readFile(top + path);
      EXPECT_EQ(bytes ? std::optional(std::string(bytes->begin(), bytes->end())) : std::nullopt,
                text);
      EXPECT_EQ(files.fileLength(top + path),
                text ? std::optional<std::uint64_t>(text->size()) : std::nullopt);
    }
  }
  EXPECT_FALSE(files.resolve(L"C:\\pkg\\Setup.inf"));
}

} // namespace
} // namespace vokuta::pkg
