#include "pkg/posix_files.h"

#include <fstream>

#include <gtest/gtest.h>
#include <unistd.h>

#include "support/test_codepage.h"
#include "util/shift_jis.h"

namespace vokuta::pkg {
namespace {

namespace fs = std::filesystem;

class PkgPosixFiles : public ::testing::Test {
protected:
  PkgPosixFiles() {
    root_ = fs::temp_directory_path() / ("vokuta-pkg-test-" + std::to_string(::getpid()));
    fs::remove_all(root_);
    const std::pair<const char*, const char*> contents[] = {
        {"pkg/Setup.inf", "inf"}, {"pkg/Apps/Viewer.EXF", "viewer"}, {"pkg/data/1月.dat", "one"},
        {"pkg/data/b.DAT", "bb"}, {"pkg/data/README", "readme"},     {"pkg/data/.hidden.dat", "h"}};
    for (const auto& [path, text] : contents) {
      fs::create_directories((root_ / path).parent_path());
      std::ofstream(root_ / path, std::ios::binary) << text;
    }
    fs::create_directories(root_ / "pkg/data/sub.dat");
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

// The names found, joined; a directory's ends in "/".
TEST_F(PkgPosixFiles, SearchesLikeWindows) {
  const std::tuple<const wchar_t*, std::uint32_t, const wchar_t*> cases[] = {
      {L"\\pkg\\data\\*.dat", 0, L"1月.dat b.DAT"},
      {L"\\pkg\\data\\*.dat", kAttrHidden | kAttrDirectory, L".hidden.dat 1月.dat b.DAT sub.dat/"},
      {L"\\pkg\\data\\?.dat", 0, L"b.DAT"},
      {L"\\pkg\\data\\*.*", 0, L"1月.dat b.DAT README"},
      {L"\\pkg\\data\\readme.*", 0, L"README"},
      {L"\\PKG\\APPS\\viewer.exf", 0, L"Viewer.EXF"},
      {L"\\pkg\\data", 0, L""},
      {L"\\pkg\\data", kAttrDirectory, L"data/"},
      {L"\\pkg\\none\\*", kAttrDirectory, L""}};
  for (const auto& [pattern, include, names] : cases) {
    std::wstring got;
    for (const FoundFile& f : files.find(top + pattern, include))
      got += (got.empty() ? L"" : L" ") + f.name + (f.attributes == kAttrDirectory ? L"/" : L"");
    EXPECT_EQ(got, names) << test::Sjis(pattern);
  }
}

} // namespace
} // namespace vokuta::pkg
