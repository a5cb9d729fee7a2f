#include "support/fake_pc_files.h"

#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include "support/pc_files_contract.h"

namespace vokuta::test {
namespace {

using ::testing::ElementsAre;
using ::testing::Field;
using ::testing::IsEmpty;

// The contract's directory is C:\t.
class FakeWorld : public PcFilesWorld {
public:
  FakeWorld() { fake_.addDirectory(root()); }
  PcFiles& files() override { return fake_; }
  std::wstring root() override { return L"C:\\t"; }
  void make(const std::wstring& name, const std::string& bytes, std::uint32_t attr) override {
    const std::wstring path = root() + L"\\" + name;
    if (!name.ends_with(L'\\')) return fake_.addFile(path, bytes, attr);
    fake_.addDirectory(path);
    fake_.setAttributes(path, attr);
  }
  std::optional<std::uint32_t> attributesOf(const std::wstring& name) override {
    const auto attributes = fake_.attributes(root() + L"\\" + name);
    return attributes ? std::optional(*attributes & ~kAttrArchive) : std::nullopt;
  }

private:
  FakePcFiles fake_;
};

INSTANTIATE_TEST_SUITE_P(Fake, PcFilesContract, testing::Values(+[] {
                           return std::unique_ptr<PcFilesWorld>(new FakeWorld);
                         }));

TEST(FakePcFilesTest, ResolvesPathsLikeWindows) {
  FakePcFiles files;
  files.addDrive(L'D');
  files.addFile(L"C:\\top.txt", "c-root");
  files.addFile(L"C:\\pkg\\Setup.inf", "c-pkg");
  files.addFile(L"C:\\pkg\\ｄ\u00E0z\u0430\u045F", "wide");
  files.addFile(L"D:\\top.txt", "d-root");
  files.addFile(L"D:\\work\\a.txt", "d-work");
  files.setCurrentDirectory(L"D:\\work");
  files.setCurrentDirectory(L"C:\\pkg");

  const std::pair<std::optional<std::string>, std::vector<const wchar_t*>> cases[] = {
      {"c-pkg",
       {L"C:\\pkg\\Setup.inf", L"c:\\PKG\\setup.INF", L"Setup.inf",
        L"C:\\pkg\\..\\pkg\\.\\Setup.inf", L"C:\\\\pkg\\\\\\Setup.inf"}},
      {"wide", {L"C:\\PKG\\Ｄ\u00C0Z\u0410\u040F"}},
      {"c-root", {L"\\top.txt", L"..\\top.txt"}},
      {"d-work", {L"D:a.txt"}},
      {"d-root", {L"D:..\\top.txt", L"d:\\top.txt"}},
      {std::nullopt,
       {L"C:\\..\\top.txt", L"..\\..\\top.txt", L"E:\\top.txt", L"C:\\pkg\\Set?p.inf",
        L"\\\\pkg\\Setup.inf", L"", L"C:\\pkg"}}};
  for (const auto& [read, paths] : cases)
    for (const wchar_t* path : paths)
      EXPECT_EQ(files.contents(path), read) << testing::PrintToString(path);
  EXPECT_THAT(files.find(L"set*", 0), ElementsAre(Field(&FoundFile::name, L"Setup.inf")));
  EXPECT_THAT(files.find(L"D:*", 0), ElementsAre(Field(&FoundFile::name, L"a.txt")));
  EXPECT_THAT(files.find(L"C:\\..\\*", 0), IsEmpty());
  EXPECT_TRUE(files.exists(L"C:\\pkg\\"));
  EXPECT_EQ(files.attributes(L"D:"), kAttrDirectory);
  EXPECT_FALSE(files.exists(L"C:\\pkg\\Setup.inf\\"));
}

} // namespace
} // namespace vokuta::test
