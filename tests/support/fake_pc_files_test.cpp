#include "support/fake_pc_files.h"

#include <stdexcept>

#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include "support/pc_files_contract.h"

namespace vokuta::test {
namespace {

using ::testing::ElementsAre;
using ::testing::IsEmpty;

// The contract's directory is C:\t.
class FakeWorld : public PcFilesWorld {
public:
  FakeWorld() { fake_.addDirectory(root()); }
  PcFiles& files() override { return fake_; }
  std::wstring root() override { return L"C:\\t"; }
  void make(const std::wstring& name, const std::string& bytes, std::uint32_t attr) override {
    if (name.ends_with(L'\\')) {
      fake_.addDirectory(root() + L"\\" + name);
      fake_.setAttributes(root() + L"\\" + name, attr);
    } else {
      fake_.addFile(root() + L"\\" + name, bytes, attr);
    }
  }
  std::optional<std::uint32_t> attributesOf(const std::wstring& name) override {
    const auto attributes = fake_.attributes(root() + L"\\" + name);
    if (!attributes) return std::nullopt;
    return *attributes & ~kAttrArchive;
  }

private:
  FakePcFiles fake_;
};

INSTANTIATE_TEST_SUITE_P(Fake, PcFilesContract, testing::Values(+[] {
                           return std::unique_ptr<PcFilesWorld>(new FakeWorld);
                         }));

std::vector<std::wstring> names(const std::vector<FoundFile>& found) {
  std::vector<std::wstring> out;
  for (const FoundFile& f : found) out.push_back(f.name);
  return out;
}

TEST(FakePcFilesTest, ResolvesPathsLikeWindows) {
  FakePcFiles files;
  files.addDrive(L'D');
  files.addFile(L"C:\\top.txt", "c-root");
  files.addFile(L"C:\\pkg\\Setup.inf", "c-pkg");
  files.addFile(L"C:\\pkg\\ｄａｔａ\u00E0z\u0430\u045F.txt", "wide");
  files.addFile(L"D:\\top.txt", "d-root");
  files.addFile(L"D:\\work\\a.txt", "d-work");
  files.setCurrentDirectory(L"D:\\work");
  files.setCurrentDirectory(L"C:\\pkg");

  const struct {
    const wchar_t* path;
    std::optional<std::string> read;
  } cases[] = {
      {L"C:\\pkg\\Setup.inf", "c-pkg"},
      {L"c:\\PKG\\setup.INF", "c-pkg"},
      {L"C:\\PKG\\ＤＡＴＡ\u00C0Z\u0410\u040F.TXT", "wide"},
      {L"Setup.inf", "c-pkg"},
      {L"\\top.txt", "c-root"},
      {L"..\\top.txt", "c-root"},
      {L"C:\\pkg\\..\\pkg\\.\\Setup.inf", "c-pkg"},
      {L"C:\\\\pkg\\\\\\Setup.inf", "c-pkg"},
      {L"D:a.txt", "d-work"},
      {L"D:..\\top.txt", "d-root"},
      {L"d:\\top.txt", "d-root"},
      {L"C:\\..\\top.txt", std::nullopt},
      {L"..\\..\\top.txt", std::nullopt},
      {L"E:\\top.txt", std::nullopt},
      {L"C:\\pkg\\Set?p.inf", std::nullopt},
      {L"\\\\pkg\\Setup.inf", std::nullopt},
      {L"", std::nullopt},
      {L"C:\\pkg", std::nullopt},
  };
  for (const auto& c : cases) {
    const auto bytes = files.readFile(c.path);
    EXPECT_EQ(bytes ? std::optional<std::string>({bytes->begin(), bytes->end()}) : std::nullopt,
              c.read)
        << testing::PrintToString(c.path);
  }
  EXPECT_THAT(names(files.find(L"set*", 0)), ElementsAre(L"Setup.inf"));
  EXPECT_THAT(names(files.find(L"D:*", 0)), ElementsAre(L"a.txt"));
  EXPECT_THAT(files.find(L"C:\\..\\*", 0), IsEmpty());
  EXPECT_TRUE(files.isDirectory(L"C:\\pkg\\"));
  EXPECT_TRUE(files.isDirectory(L"D:"));
  EXPECT_FALSE(files.exists(L"C:\\pkg\\Setup.inf\\"));
}

TEST(FakePcFilesTest, EveryDriveKeepsItsOwnCurrentDirectory) {
  FakePcFiles files;
  EXPECT_EQ(files.currentDirectory(), L"C:\\");
  EXPECT_FALSE(files.setCurrentDrive(L'D'));
  EXPECT_EQ(files.currentDirectory(), L"C:\\");

  files.setCurrentDirectory(L"c:\\Pkg\\Sub\\..");
  files.addDrive(L'D');
  ASSERT_TRUE(files.setCurrentDrive(L'd'));
  EXPECT_EQ(files.currentDirectory(), L"D:\\");
  ASSERT_TRUE(files.writeFile(L"new.txt", {'x'}));
  EXPECT_EQ(files.contents(L"D:\\new.txt"), "x");

  ASSERT_TRUE(files.setCurrentDrive(L'C'));
  EXPECT_EQ(files.currentDirectory(), L"C:\\Pkg");
  ASSERT_TRUE(files.writeFile(L"new.txt", {'y'}));
  EXPECT_EQ(files.contents(L"C:\\PKG\\NEW.TXT"), "y");
  EXPECT_EQ(files.contents(L"D:\\new.txt"), "x");
}

// The archive bit, which the contract leaves out: every written file gets it, and it is the
// only bit besides read-only, hidden and system that setAttributes keeps.
TEST(FakePcFilesTest, WrittenFilesGetTheArchiveBit) {
  FakePcFiles files;
  files.addFile(L"C:\\dst\\Target.Txt", "old", kAttrHidden);
  EXPECT_EQ(files.attributes(L"C:\\dst\\target.txt"), kAttrHidden | kAttrArchive);
  ASSERT_TRUE(files.setAttributes(L"C:\\dst\\Target.Txt", kAttrHidden | kAttrDirectory));
  EXPECT_EQ(files.attributes(L"C:\\dst\\Target.Txt"), kAttrHidden);
  ASSERT_TRUE(files.writeFile(L"C:\\dst\\TARGET.TXT", {'n', 'e', 'w'}));
  EXPECT_EQ(files.attributes(L"C:\\dst\\target.txt"), kAttrHidden | kAttrArchive);
  ASSERT_TRUE(files.writeFile(L"C:\\DST\\Made.bin", {0, 0xFF}));
  EXPECT_EQ(files.contents(L"C:\\dst\\made.bin"), std::string("\0\xFF", 2));
  EXPECT_EQ(files.attributes(L"C:\\dst\\made.bin"), kAttrArchive);
  EXPECT_EQ(files.attributes(L"C:\\dst"), kAttrDirectory);
  // As Windows does (Wine leaves the target's attributes alone).
  ASSERT_TRUE(files.copyFile(L"C:\\dst\\Target.txt", L"C:\\dst\\made.bin"));
  EXPECT_EQ(files.attributes(L"C:\\dst\\Made.bin"), kAttrHidden | kAttrArchive);
}

TEST(FakePcFilesTest, FilesUnderListsOnlyThatTree) {
  FakePcFiles files;
  files.addFile(L"C:\\Pkg\\b.txt", "");
  files.addFile(L"C:\\Pkg\\A\\Z.txt", "");
  files.addFile(L"C:\\Pkg2\\other.txt", "");
  files.addFile(L"C:\\Pkg.old\\other.txt", "");
  files.addDirectory(L"C:\\Pkg\\empty");
  EXPECT_THAT(files.filesUnder(L"c:\\pkg\\"), ElementsAre(L"C:\\Pkg\\A\\Z.txt", L"C:\\Pkg\\b.txt"));
  EXPECT_THAT(files.filesUnder(L"C:\\Pkg\\b.txt"), IsEmpty());
  EXPECT_THAT(files.filesUnder(L"C:\\missing"), IsEmpty());
}

TEST(FakePcFilesTest, LogsEveryCallWithThePathAsGiven) {
  FakePcFiles files;
  files.addFile(L"C:\\pkg\\Setup.inf", "x");
  files.find(L"C:\\pkg\\*.exf", kAttrHidden);
  files.readFile(L"c:\\PKG\\setup.inf");
  files.writeFile(L"out.bin", {});
  files.copyFile(L"a", L"b");
  files.moveFile(L"c", L"d");
  files.deleteFile(L"..\\x");
  files.setAttributes(L"C:\\pkg", 0);
  files.makeDirectory(L"C:\\pkg\\new");
  files.fileLength(L"C:\\missing");
  files.currentDirectory();
  files.setCurrentDrive(L'D');
  EXPECT_THAT(files.log,
              ElementsAre(L"find C:\\pkg\\*.exf", L"read c:\\PKG\\setup.inf", L"write out.bin",
                          L"copy a -> b", L"move c -> d", L"delete ..\\x", L"attrib C:\\pkg",
                          L"mkdir C:\\pkg\\new", L"length C:\\missing", L"cwd", L"drive D"));
}

TEST(FakePcFilesTest, SetupMistakesThrow) {
  FakePcFiles files;
  files.addFile(L"C:\\a.txt", "");
  EXPECT_THROW(files.addFile(L"E:\\a.txt", ""), std::invalid_argument);
  EXPECT_THROW(files.addFile(L"C:\\a.txt\\b.txt", ""), std::invalid_argument);
  EXPECT_THROW(files.addDirectory(L"C:\\a.txt"), std::invalid_argument);
  EXPECT_THROW(files.setCurrentDirectory(L"C:\\.."), std::invalid_argument);
  EXPECT_THAT(files.log, IsEmpty());
}

} // namespace
} // namespace vokuta::test
