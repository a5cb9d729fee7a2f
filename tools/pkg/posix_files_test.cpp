#include "pkg/posix_files.h"

#include <fstream>

#include <gmock/gmock.h>
#include <gtest/gtest.h>
#include <unistd.h>

#include "util/shift_jis.h"

namespace vokuta::pkg {
namespace {

namespace fs = std::filesystem;
using ::testing::ElementsAre;

class PkgPosixFiles : public ::testing::Test {
protected:
  PkgPosixFiles() {
    root_ = fs::temp_directory_path() / ("vokuta-pkg-test-" + std::to_string(::getpid()));
    fs::remove_all(root_);
    file("pkg/Setup.inf", "inf");
    file("pkg/Apps/Viewer.EXF", "viewer");
    file("pkg/data/1月.dat", "one");
    file("pkg/data/b.DAT", "bb");
    file("pkg/data/README", "readme");
    file("pkg/data/.hidden.dat", "h");
    fs::create_directories(root_ / "pkg/data/sub.dat");
    top = DecodeUtf8(root_.string());
  }
  ~PkgPosixFiles() override { fs::remove_all(root_); }
  void file(const std::string& path, const std::string& text) {
    fs::create_directories((root_ / path).parent_path());
    std::ofstream(root_ / path, std::ios::binary) << text;
  }
  std::vector<std::wstring> names(const std::wstring& pattern, std::uint32_t include) {
    std::vector<std::wstring> out;
    for (const FoundFile& f : files.find(top + pattern, include)) out.push_back(f.name);
    return out;
  }

  fs::path root_;
  std::wstring top;
  PosixFiles files;
};

TEST_F(PkgPosixFiles, ReadsWindowsStylePaths) {
  const struct {
    const wchar_t* path;
    std::optional<std::string> text;
  } cases[] = {
      {L"/pkg/Setup.inf", "inf"},
      {L"\\pkg\\setup.INF", "inf"},
      {L"\\PKG\\.\\apps\\VIEWER.exf", "viewer"},
      {L"/pkg/data/../Apps/Viewer.EXF", "viewer"},
      {L"\\pkg\\Apps \\Viewer.EXF.", "viewer"},
      {L"\\pkg\\data\\1月.DAT", "one"},
      {L"\\pkg\\Apps", std::nullopt},
      {L"\\pkg\\none.txt", std::nullopt},
  };
  for (const auto& c : cases) {
    const auto bytes = files.readFile(top + c.path);
    EXPECT_EQ(bytes ? std::optional(std::string(bytes->begin(), bytes->end())) : std::nullopt,
              c.text)
        << ::testing::PrintToString(std::wstring(c.path));
    EXPECT_EQ(files.fileLength(top + c.path),
              c.text ? std::optional<std::uint64_t>(c.text->size()) : std::nullopt);
  }
  EXPECT_FALSE(files.resolve(L"C:\\pkg\\Setup.inf"));
}

TEST_F(PkgPosixFiles, SearchesLikeWindows) {
  EXPECT_THAT(names(L"\\pkg\\data\\*.dat", 0), ElementsAre(L"1月.dat", L"b.DAT"));
  EXPECT_THAT(names(L"\\pkg\\data\\*.dat", kAttrHidden | kAttrDirectory),
              ElementsAre(L".hidden.dat", L"1月.dat", L"b.DAT", L"sub.dat"));
  EXPECT_THAT(names(L"\\pkg\\data\\?.dat", 0), ElementsAre(L"b.DAT"));
  EXPECT_THAT(names(L"\\pkg\\data\\*.*", 0), ElementsAre(L"1月.dat", L"b.DAT", L"README"));
  EXPECT_THAT(names(L"\\pkg\\data\\readme.*", 0), ElementsAre(L"README"));
  EXPECT_THAT(names(L"\\PKG\\APPS\\viewer.exf", 0), ElementsAre(L"Viewer.EXF"));
  EXPECT_THAT(names(L"\\pkg\\data", 0), ElementsAre());
  EXPECT_THAT(names(L"\\pkg\\data", kAttrDirectory), ElementsAre(L"data"));
  EXPECT_THAT(names(L"\\pkg\\none\\*", kAttrDirectory), ElementsAre());
  const auto found = files.find(top + L"\\pkg\\data\\sub.dat", kAttrDirectory);
  ASSERT_EQ(found.size(), 1u);
  EXPECT_EQ(found[0].attributes, kAttrDirectory);
}

TEST_F(PkgPosixFiles, ChangesNothing) {
  const std::wstring inf = top + L"/pkg/Setup.inf";
  EXPECT_FALSE(files.writeFile(inf, {'x'}));
  EXPECT_FALSE(files.writeFile(top + L"/pkg/new.txt", {'x'}));
  EXPECT_FALSE(files.copyFile(inf, top + L"/pkg/copy.inf"));
  EXPECT_FALSE(files.moveFile(inf, top + L"/pkg/moved.inf"));
  EXPECT_FALSE(files.deleteFile(inf));
  EXPECT_FALSE(files.setAttributes(inf, kAttrReadOnly));
  EXPECT_FALSE(files.makeDirectory(top + L"/pkg/newdir"));
  EXPECT_EQ(files.readFile(inf), (std::vector<std::uint8_t>{'i', 'n', 'f'}));
  EXPECT_FALSE(fs::exists(root_ / "pkg/new.txt"));
  EXPECT_FALSE(fs::exists(root_ / "pkg/copy.inf"));
  EXPECT_FALSE(fs::exists(root_ / "pkg/newdir"));
}

} // namespace
} // namespace vokuta::pkg
