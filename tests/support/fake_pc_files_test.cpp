#include "support/fake_pc_files.h"

#include <stdexcept>

#include <gmock/gmock.h>
#include <gtest/gtest.h>

namespace vokuta::test {
namespace {

using ::testing::ElementsAre;
using ::testing::ElementsAreArray;
using ::testing::IsEmpty;

std::optional<std::string> readText(FakePcFiles& files, const std::wstring& path) {
  auto bytes = files.readFile(path);
  if (!bytes) return std::nullopt;
  return std::string(bytes->begin(), bytes->end());
}

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
  files.addFile(L"C:\\pkg\\ｄａｔａ.txt", "wide");
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
      {L"C:\\PKG\\ＤＡＴＡ.TXT", "wide"},
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
  for (const auto& c : cases) EXPECT_EQ(readText(files, c.path), c.read) << c.path;

  EXPECT_TRUE(files.isDirectory(L"C:\\pkg\\"));
  EXPECT_TRUE(files.isDirectory(L"D:"));
  EXPECT_FALSE(files.exists(L"C:\\pkg\\Setup.inf\\"));
  EXPECT_FALSE(files.writeFile(L"C:\\pkg\\New.inf\\", {}));
  EXPECT_FALSE(files.exists(L"C:\\pkg\\New.inf"));
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

TEST(FakePcFilesTest, WildcardsMatchAsWindowsDoes) {
  FakePcFiles files;
  for (const wchar_t* name :
       {L"Setup.inf", L"README", L"a.exf", L"B.EXF", L"ab.exf", L"data.bin.bak", L"x"})
    files.addFile(std::wstring(L"C:\\pkg\\") + name, "");
  files.addFile(L"C:\\pkg\\deeper\\a.exf", "");

  const struct {
    const wchar_t* pattern;
    std::vector<std::wstring> found;
  } cases[] = {
      {L"*", {L"a.exf", L"ab.exf", L"B.EXF", L"data.bin.bak", L"README", L"Setup.inf", L"x"}},
      {L"*.*", {L"a.exf", L"ab.exf", L"B.EXF", L"data.bin.bak", L"README", L"Setup.inf", L"x"}},
      {L"*.EXF", {L"a.exf", L"ab.exf", L"B.EXF"}},
      {L"?.exf", {L"a.exf", L"B.EXF"}},
      {L"*.", {L"README", L"x"}},
      {L"readme.*", {L"README"}},
      {L"a*", {L"a.exf", L"ab.exf"}},
      {L"*.bak", {L"data.bin.bak"}},
      {L"?", {L"x"}},
      {L"*.ex", {}},
      {L"SETUP.INF", {L"Setup.inf"}},
      {L"deeper\\..\\setup.inf", {L"Setup.inf"}},
  };
  for (const auto& c : cases) {
    EXPECT_THAT(names(files.find(std::wstring(L"C:\\pkg\\") + c.pattern, 0)),
                ElementsAreArray(c.found))
        << c.pattern;
  }
  files.setCurrentDirectory(L"C:\\pkg");
  EXPECT_THAT(names(files.find(L"?.exf", 0)), ElementsAre(L"a.exf", L"B.EXF"));
  EXPECT_THAT(names(files.find(L"C:deeper\\*", 0)), ElementsAre(L"a.exf"));
  EXPECT_THAT(files.find(L"C:\\none\\*", 0), IsEmpty());
  EXPECT_THAT(files.find(L"C:\\pkg\\Setup.inf\\*", 0), IsEmpty());
  EXPECT_THAT(files.find(L"C:\\pkg\\", kAttrDirectory), IsEmpty());
  EXPECT_THAT(files.find(L"C:\\..\\*", 0), IsEmpty());
}

TEST(FakePcFilesTest, FindFiltersByAttributes) {
  FakePcFiles files;
  files.addFile(L"C:\\d\\plain.txt", "");
  files.addFile(L"C:\\d\\ro.txt", "", kAttrReadOnly);
  files.addFile(L"C:\\d\\hidden.txt", "", kAttrHidden);
  files.addFile(L"C:\\d\\system.sys", "", kAttrSystem);
  files.addFile(L"C:\\d\\both.sys", "", kAttrHidden | kAttrSystem);
  files.addDirectory(L"C:\\d\\sub\\inner");
  files.addDirectory(L"C:\\d\\hsub");
  ASSERT_TRUE(files.setAttributes(L"C:\\d\\hsub", kAttrHidden));

  const struct {
    std::uint32_t include;
    std::vector<std::wstring> found;
  } cases[] = {
      {0, {L"plain.txt", L"ro.txt"}},
      {kAttrHidden, {L"hidden.txt", L"plain.txt", L"ro.txt"}},
      {kAttrSystem, {L"plain.txt", L"ro.txt", L"system.sys"}},
      {kAttrHidden | kAttrSystem,
       {L"both.sys", L"hidden.txt", L"plain.txt", L"ro.txt", L"system.sys"}},
      {kAttrDirectory, {L"plain.txt", L"ro.txt", L"sub"}},
      {kAttrDirectory | kAttrHidden, {L"hidden.txt", L"hsub", L"plain.txt", L"ro.txt", L"sub"}},
  };
  for (const auto& c : cases)
    EXPECT_THAT(names(files.find(L"C:\\d\\*.*", c.include)), ElementsAreArray(c.found))
        << c.include;

  const auto found = files.find(L"C:\\d\\*", kAttrDirectory | kAttrHidden);
  ASSERT_EQ(found.size(), 5u);
  EXPECT_EQ(found[1].attributes, kAttrDirectory | kAttrHidden);
  EXPECT_EQ(found[2].attributes, kAttrArchive);
  EXPECT_EQ(found[3].attributes, kAttrReadOnly | kAttrArchive);
  EXPECT_EQ(found[4].attributes, kAttrDirectory);
}

TEST(FakePcFilesTest, RefusesWhatWindowsRefuses) {
  FakePcFiles files;
  files.addFile(L"C:\\pkg\\a.txt", "abc");
  files.addFile(L"C:\\pkg\\ro.txt", "keep", kAttrReadOnly);
  files.addFile(L"C:\\pkg\\locked.txt", "held");
  files.addDirectory(L"C:\\pkg\\sub");
  files.lock(L"c:\\PKG\\locked.TXT");
  files.lock(L"C:\\pkg\\lockedNew.txt");
  files.setCurrentDirectory(L"C:\\pkg");

  for (const wchar_t* path : {L"sub", L"sub\\", L"b.txt", L"locked.txt", L"a.txt\\"}) {
    EXPECT_FALSE(files.readFile(path)) << path;
    EXPECT_FALSE(files.fileLength(path)) << path;
  }
  for (const wchar_t* path :
       {L"C:\\none\\a.txt", L"a.txt\\b", L"sub", L"RO.txt", L"locked.txt", L"lockednew.txt"})
    EXPECT_FALSE(files.writeFile(path, {'x'})) << path;
  for (const wchar_t* path : {L"ro.txt", L"sub", L"b.txt", L"locked.txt"})
    EXPECT_FALSE(files.deleteFile(path)) << path;
  for (const wchar_t* path : {L"SUB", L"a.txt", L"x\\y", L"C:\\"})
    EXPECT_FALSE(files.makeDirectory(path)) << path;
  EXPECT_FALSE(files.setAttributes(L"b.txt", 0));
  const struct {
    const wchar_t* source;
    const wchar_t* target;
  } copies[] = {
      {L"b.txt", L"c.txt"},  {L"locked.txt", L"c.txt"},  {L"a.txt", L"locked.txt"},
      {L"a.txt", L"ro.txt"}, {L"a.txt", L"C:\\none\\a"}, {L"a.txt", L"sub"},
      {L"sub", L"c.txt"},    {L"a.txt", L"A.TXT"},       {L"a.txt", L"c.txt\\"},
  };
  for (const auto& c : copies)
    EXPECT_FALSE(files.copyFile(c.source, c.target)) << c.source << " -> " << c.target;

  EXPECT_THAT(files.filesUnder(L"C:\\"),
              ElementsAre(L"C:\\pkg\\a.txt", L"C:\\pkg\\locked.txt", L"C:\\pkg\\ro.txt"));
  EXPECT_EQ(files.contents(L"C:\\pkg\\ro.txt"), "keep");
  EXPECT_EQ(files.contents(L"C:\\pkg\\locked.txt"), "held");
  EXPECT_TRUE(files.isDirectory(L"C:\\pkg\\sub"));
}

TEST(FakePcFilesTest, ChangesKeepNamesAndAttributesAsWindowsDoes) {
  FakePcFiles files;
  files.addFile(L"C:\\src\\Hidden.DAT", "secret", kAttrHidden | kAttrReadOnly);
  files.addFile(L"C:\\dst\\Target.Txt", "old", kAttrHidden);

  ASSERT_TRUE(files.writeFile(L"C:\\dst\\TARGET.TXT", {'n', 'e', 'w'}));
  EXPECT_THAT(files.filesUnder(L"C:\\dst"), ElementsAre(L"C:\\dst\\Target.Txt"));
  EXPECT_EQ(files.attributes(L"C:\\dst\\target.txt"), kAttrHidden | kAttrArchive);
  EXPECT_EQ(files.fileLength(L"C:\\dst\\target.txt"), 3u);

  ASSERT_TRUE(files.copyFile(L"C:\\src\\hidden.dat", L"C:\\dst\\target.txt"));
  EXPECT_THAT(files.filesUnder(L"C:\\dst"), ElementsAre(L"C:\\dst\\Target.Txt"));
  EXPECT_EQ(files.contents(L"C:\\dst\\Target.Txt"), "secret");
  EXPECT_EQ(files.attributes(L"C:\\dst\\Target.Txt"), kAttrHidden | kAttrReadOnly | kAttrArchive);
  EXPECT_FALSE(files.deleteFile(L"C:\\dst\\Target.Txt"));

  ASSERT_TRUE(files.setAttributes(L"C:\\dst\\Target.Txt", kAttrHidden | kAttrDirectory));
  EXPECT_EQ(files.attributes(L"C:\\dst\\Target.Txt"), kAttrHidden);
  ASSERT_TRUE(files.deleteFile(L"C:\\dst\\Target.Txt"));

  ASSERT_TRUE(files.makeDirectory(L"C:\\dst\\New\\"));
  ASSERT_TRUE(files.writeFile(L"C:\\DST\\NEW\\Made.bin", {0, 0xFF}));
  EXPECT_EQ(files.contents(L"C:\\dst\\new\\made.bin"), std::string("\0\xFF", 2));
  EXPECT_EQ(files.attributes(L"C:\\dst\\new\\made.bin"), kAttrArchive);
  EXPECT_THAT(names(files.find(L"C:\\dst\\*", kAttrDirectory)), ElementsAre(L"New"));
  EXPECT_THAT(files.filesUnder(L"C:\\"),
              ElementsAre(L"C:\\dst\\New\\Made.bin", L"C:\\src\\Hidden.DAT"));
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
  files.deleteFile(L"..\\x");
  files.setAttributes(L"C:\\pkg", 0);
  files.makeDirectory(L"C:\\pkg\\new");
  files.fileLength(L"C:\\missing");
  files.currentDirectory();
  files.setCurrentDrive(L'D');
  EXPECT_THAT(files.log,
              ElementsAre(L"find C:\\pkg\\*.exf", L"read c:\\PKG\\setup.inf", L"write out.bin",
                          L"copy a -> b", L"delete ..\\x", L"attrib C:\\pkg", L"mkdir C:\\pkg\\new",
                          L"length C:\\missing", L"cwd", L"drive D"));
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
