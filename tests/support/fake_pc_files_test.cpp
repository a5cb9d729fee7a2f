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
  EXPECT_TRUE(files.exists(L"C:\\pkg\\"));
  EXPECT_EQ(files.attributes(L"D:"), kAttrDirectory);
  EXPECT_FALSE(files.exists(L"C:\\pkg\\Setup.inf\\"));
}

// What the contract leaves out: each drive's own current directory, the archive bit of written
// files (setAttributes keeps only it besides read-only, hidden and system), filesUnder, the
// log, and the set-up's own mistakes.
TEST(FakePcFilesTest, DrivesAttributesListingAndLog) {
  FakePcFiles files;
  EXPECT_FALSE(files.setCurrentDrive(L'D'));
  files.setCurrentDirectory(L"c:\\Pkg\\Sub\\..");
  files.addDrive(L'D');
  ASSERT_TRUE(files.setCurrentDrive(L'd'));
  EXPECT_EQ(files.currentDirectory(), L"D:\\");
  ASSERT_TRUE(files.writeFile(L"new.txt", {'x'}));
  ASSERT_TRUE(files.setCurrentDrive(L'C'));
  EXPECT_EQ(files.currentDirectory(), L"C:\\Pkg");
  files.addFile(L"C:\\Pkg\\Old.txt", "old", kAttrHidden);
  ASSERT_TRUE(files.setAttributes(L"old.txt", kAttrHidden | kAttrDirectory));
  ASSERT_TRUE(files.copyFile(L"old.txt", L"New.txt")); // with the source's attributes
  ASSERT_TRUE(files.writeFile(L"NEW.TXT", {'y'}));     // keeps them, and adds the archive bit
  ASSERT_TRUE(files.makeDirectory(L"C:\\Pkg\\empty"));
  files.addFile(L"C:\\Pkg\\A\\Z.txt", "");
  files.addFile(L"C:\\Pkg_\\other.txt", "");
  EXPECT_EQ(files.contents(L"D:\\new.txt"), "x");
  EXPECT_EQ(files.contents(L"C:\\pkg\\new.txt"), "y");
  EXPECT_EQ(files.attributes(L"D:\\NEW.TXT"), kAttrArchive);
  EXPECT_EQ(files.attributes(L"C:\\pkg\\old.txt"), kAttrHidden);
  EXPECT_EQ(files.attributes(L"C:\\pkg\\new.txt"), kAttrHidden | kAttrArchive);
  EXPECT_THAT(files.filesUnder(L"c:\\pkg\\"),
              ElementsAre(L"C:\\Pkg\\A\\Z.txt", L"C:\\Pkg\\New.txt", L"C:\\Pkg\\Old.txt"));
  EXPECT_THAT(files.filesUnder(L"C:\\Pkg\\old.txt"), IsEmpty());
  EXPECT_THROW(files.addFile(L"E:\\a.txt", ""), std::invalid_argument);
  EXPECT_THROW(files.addFile(L"C:\\Pkg\\old.txt\\b.txt", ""), std::invalid_argument);
  EXPECT_THROW(files.addDirectory(L"C:\\Pkg\\old.txt"), std::invalid_argument);
  EXPECT_THROW(files.setCurrentDirectory(L"C:\\.."), std::invalid_argument);
  files.find(L"*.exf", kAttrHidden);
  files.readFile(L"..\\x");
  files.fileLength(L"C:\\missing");
  files.moveFile(L"c", L"d");
  files.deleteFile(L"e");
  EXPECT_THAT(files.log,
              ElementsAre(L"drive D", L"drive d", L"cwd", L"write new.txt", L"drive C", L"cwd",
                          L"attrib old.txt", L"copy old.txt -> New.txt", L"write NEW.TXT",
                          L"mkdir C:\\Pkg\\empty", L"find *.exf", L"read ..\\x",
                          L"length C:\\missing", L"move c -> d", L"delete e"));
}

} // namespace
} // namespace vokuta::test
