// Win32PcFiles against the real file system of a Wine prefix, in a fresh directory per test.
// The set-up uses the Win32 API directly so that a fault of Win32PcFiles cannot hide itself.
#include <gtest/gtest.h>

#include <algorithm>
#include <cwctype>

#include "win32/win.h"
#include "win32/win32_pc_files.h"

namespace vokuta {
namespace {

std::wstring win32CurrentDirectory() {
  wchar_t buf[MAX_PATH];
  const DWORD n = GetCurrentDirectoryW(MAX_PATH, buf);
  return std::wstring(buf, n < MAX_PATH ? n : 0);
}

bool sameName(const std::wstring& a, const std::wstring& b) {
  return a.size() == b.size() &&
         std::equal(a.begin(), a.end(), b.begin(),
                    [](wchar_t x, wchar_t y) { return std::towupper(x) == std::towupper(y); });
}

// Deletes a tree whatever the attributes of its files.
void removeTree(const std::wstring& dir) {
  WIN32_FIND_DATAW data;
  HANDLE h = FindFirstFileW((dir + L"\\*").c_str(), &data);
  if (h != INVALID_HANDLE_VALUE) {
    do {
      const std::wstring name = data.cFileName;
      if (name == L"." || name == L"..") continue;
      const std::wstring path = dir + L"\\" + name;
      SetFileAttributesW(path.c_str(), FILE_ATTRIBUTE_NORMAL);
      if (data.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY)
        removeTree(path);
      else
        DeleteFileW(path.c_str());
    } while (FindNextFileW(h, &data));
    FindClose(h);
  }
  RemoveDirectoryW(dir.c_str());
}

class PcFilesTest : public testing::Test {
protected:
  void SetUp() override {
    wchar_t temp[MAX_PATH];
    const DWORD n = GetTempPathW(MAX_PATH, temp);
    ASSERT_GT(n, 0u);
    dir_ = std::wstring(temp, n) + L"vokuta-" + std::to_wstring(GetCurrentProcessId()) + L"-" +
           std::to_wstring(++counter_);
    removeTree(dir_);
    ASSERT_TRUE(CreateDirectoryW(dir_.c_str(), nullptr));
    initialDir_ = win32CurrentDirectory();
  }

  void TearDown() override {
    SetCurrentDirectoryW(initialDir_.c_str());
    removeTree(dir_);
  }

  std::wstring path(const std::wstring& name) const { return dir_ + L"\\" + name; }

  void create(const std::wstring& name, const std::string& bytes = "x", DWORD attributes = 0) {
    HANDLE h = CreateFileW(path(name).c_str(), GENERIC_WRITE, 0, nullptr, CREATE_NEW,
                           FILE_ATTRIBUTE_NORMAL, nullptr);
    ASSERT_NE(h, INVALID_HANDLE_VALUE) << "cannot create " << testing::PrintToString(name);
    DWORD written = 0;
    WriteFile(h, bytes.data(), static_cast<DWORD>(bytes.size()), &written, nullptr);
    CloseHandle(h);
    ASSERT_EQ(written, bytes.size());
    if (attributes) {
      ASSERT_TRUE(SetFileAttributesW(path(name).c_str(), attributes));
    }
  }

  void createDirectory(const std::wstring& name, DWORD attributes = 0) {
    ASSERT_TRUE(CreateDirectoryW(path(name).c_str(), nullptr));
    if (attributes) {
      ASSERT_TRUE(SetFileAttributesW(path(name).c_str(), attributes | FILE_ATTRIBUTE_DIRECTORY));
    }
  }

  bool exists(const std::wstring& name) const {
    return GetFileAttributesW(path(name).c_str()) != INVALID_FILE_ATTRIBUTES;
  }

  /// "name:attributes" of every entry found, sorted: the file system's order is its own. Without
  /// the archive bit, which Wine reports for every file and Windows only where it was set.
  std::vector<std::wstring> found(const std::wstring& pattern, std::uint32_t include) {
    std::vector<std::wstring> out;
    for (const FoundFile& f : files_.find(path(pattern), include))
      out.push_back(f.name + L":" + std::to_wstring(f.attributes & ~kAttrArchive));
    std::sort(out.begin(), out.end());
    return out;
  }

  /// The names alone, sorted.
  std::vector<std::wstring> names(const std::wstring& pattern) {
    std::vector<std::wstring> out;
    for (const FoundFile& f : files_.find(path(pattern), 0)) out.push_back(f.name);
    std::sort(out.begin(), out.end());
    return out;
  }

  std::string contents(const std::wstring& name) {
    auto bytes = files_.readFile(path(name));
    return bytes ? std::string(bytes->begin(), bytes->end()) : "<unreadable>";
  }

  static inline int counter_ = 0;
  Win32PcFiles files_;
  std::wstring dir_;
  std::wstring initialDir_;
};

using Names = std::vector<std::wstring>;

TEST_F(PcFilesTest, FindListsHiddenSystemAndDirectoriesOnlyWhenAsked) {
  create(L"plain.txt");
  create(L"ro.txt", "x", FILE_ATTRIBUTE_READONLY);
  create(L"hidden.txt", "x", FILE_ATTRIBUTE_HIDDEN);
  create(L"system.txt", "x", FILE_ATTRIBUTE_SYSTEM);
  create(L"both.txt", "x", FILE_ATTRIBUTE_HIDDEN | FILE_ATTRIBUTE_SYSTEM);
  createDirectory(L"sub");
  createDirectory(L"hidsub", FILE_ATTRIBUTE_HIDDEN);

  // Attributes as numbers: 1 read-only, 2 hidden, 4 system, 16 directory.
  const struct {
    std::uint32_t include;
    Names expected;
  } cases[] = {
      {0, {L"plain.txt:0", L"ro.txt:1"}},
      {kAttrHidden, {L"hidden.txt:2", L"plain.txt:0", L"ro.txt:1"}},
      {kAttrSystem, {L"plain.txt:0", L"ro.txt:1", L"system.txt:4"}},
      {kAttrHidden | kAttrSystem,
       {L"both.txt:6", L"hidden.txt:2", L"plain.txt:0", L"ro.txt:1", L"system.txt:4"}},
      {kAttrDirectory, {L"plain.txt:0", L"ro.txt:1", L"sub:16"}},
      {kAttrHidden | kAttrDirectory,
       {L"hidden.txt:2", L"hidsub:18", L"plain.txt:0", L"ro.txt:1", L"sub:16"}},
  };
  for (const auto& c : cases) {
    EXPECT_EQ(found(L"*", c.include), c.expected) << "include " << c.include;
  }
}

TEST_F(PcFilesTest, FindMatchesWildcardsWithoutRegardToCase) {
  for (const wchar_t* name : {L"a1.dat", L"a22.dat", L"b1.dat", L"Mixed.TXT", L"ac.dat"})
    create(name);

  const struct {
    const wchar_t* pattern;
    Names expected;
  } cases[] = {
      {L"a?.dat", {L"a1.dat", L"ac.dat"}},
      {L"a?2.dat", {L"a22.dat"}},
      {L"a*.dat", {L"a1.dat", L"a22.dat", L"ac.dat"}},
      {L"?1.DAT", {L"a1.dat", L"b1.dat"}},
      {L"*.txt", {L"Mixed.TXT"}},
      {L"MIXED.txt", {L"Mixed.TXT"}},
      {L"b1.dat", {L"b1.dat"}},
      {L"c*", {}},
      {L"missing\\*", {}},
  };
  for (const auto& c : cases) {
    EXPECT_EQ(names(c.pattern), c.expected) << testing::PrintToString(std::wstring(c.pattern));
  }
}

TEST_F(PcFilesTest, FileLengthOfFilesOnly) {
  create(L"three.bin", "abc");
  create(L"empty.bin", "");
  createDirectory(L"sub");
  // The disk's lengths, whether or not a search of the folder came just before.
  for (const bool searched : {false, true}) {
    if (searched) {
      ASSERT_EQ(names(L"*").size(), 2u);
    }
    EXPECT_EQ(files_.fileLength(path(L"three.bin")), 3u) << searched;
    EXPECT_EQ(files_.fileLength(path(L"THREE.BIN")), 3u) << searched;
    EXPECT_EQ(files_.fileLength(path(L"empty.bin")), 0u) << searched;
    EXPECT_EQ(files_.fileLength(path(L"none.bin")), std::nullopt) << searched;
    EXPECT_EQ(files_.fileLength(path(L"sub")), std::nullopt) << searched;
  }
  // A file written right after a search has its new length.
  ASSERT_TRUE(files_.writeFile(path(L"empty.bin"), {'x'}));
  EXPECT_EQ(files_.fileLength(path(L"empty.bin")), 1u);
}

TEST_F(PcFilesTest, WriteThenReadGivesTheSameBytes) {
  std::vector<std::uint8_t> all(3 * 256);
  for (std::size_t i = 0; i < all.size(); ++i) all[i] = static_cast<std::uint8_t>(i);
  ASSERT_TRUE(files_.writeFile(path(L"all.bin"), all));
  EXPECT_EQ(files_.readFile(path(L"all.bin")), all);
  EXPECT_EQ(files_.fileLength(path(L"all.bin")), all.size());

  // Replacing truncates; text is not translated.
  ASSERT_TRUE(files_.writeFile(path(L"all.bin"), {'a', '\n', 'b'}));
  EXPECT_EQ(contents(L"all.bin"), "a\nb");
  ASSERT_TRUE(files_.writeFile(path(L"all.bin"), {}));
  EXPECT_EQ(contents(L"all.bin"), "");

  EXPECT_EQ(files_.readFile(path(L"none.bin")), std::nullopt);
  EXPECT_FALSE(files_.writeFile(path(L"missing\\new.bin"), {'x'}));
}

TEST_F(PcFilesTest, CopyReplacesTheTarget) {
  create(L"new.txt", "new");
  create(L"old.txt", "old and longer");
  ASSERT_TRUE(files_.copyFile(path(L"new.txt"), path(L"old.txt")));
  EXPECT_EQ(contents(L"old.txt"), "new");
  EXPECT_EQ(contents(L"new.txt"), "new");
  ASSERT_TRUE(files_.copyFile(path(L"new.txt"), path(L"fresh.txt")));
  EXPECT_EQ(contents(L"fresh.txt"), "new");
  EXPECT_FALSE(files_.copyFile(path(L"none.txt"), path(L"other.txt")));
  EXPECT_FALSE(exists(L"other.txt"));
}

TEST_F(PcFilesTest, ReadOnlyFileIsDeletedOnlyAfterItsAttributesAreCleared) {
  create(L"locked.ini", "x", FILE_ATTRIBUTE_READONLY | FILE_ATTRIBUTE_HIDDEN);
  EXPECT_FALSE(files_.deleteFile(path(L"locked.ini")));
  EXPECT_TRUE(exists(L"locked.ini"));

  ASSERT_TRUE(files_.setAttributes(path(L"locked.ini"), kAttrArchive));
  EXPECT_EQ(GetFileAttributesW(path(L"locked.ini").c_str()), DWORD{FILE_ATTRIBUTE_ARCHIVE});
  EXPECT_EQ(files_.find(path(L"LOCKED.INI"), 0).size(), 1u);
  EXPECT_TRUE(files_.deleteFile(path(L"locked.ini")));
  EXPECT_FALSE(exists(L"locked.ini"));

  EXPECT_FALSE(files_.deleteFile(path(L"locked.ini")));
  EXPECT_FALSE(files_.setAttributes(path(L"locked.ini"), kAttrArchive));
}

TEST_F(PcFilesTest, MakeDirectoryCreatesOneLevel) {
  EXPECT_TRUE(files_.makeDirectory(path(L"sub")));
  EXPECT_EQ(GetFileAttributesW(path(L"sub").c_str()) & FILE_ATTRIBUTE_DIRECTORY,
            DWORD{FILE_ATTRIBUTE_DIRECTORY});
  EXPECT_FALSE(files_.makeDirectory(path(L"sub")));
  EXPECT_FALSE(files_.makeDirectory(path(L"none\\sub")));
  EXPECT_FALSE(exists(L"none"));
}

TEST_F(PcFilesTest, EachDriveKeepsItsCurrentDirectory) {
  ASSERT_TRUE(SetCurrentDirectoryW(dir_.c_str()));
  const std::wstring here = files_.currentDirectory();
  EXPECT_TRUE(sameName(here, dir_)) << testing::PrintToString(here);
  ASSERT_EQ(here.substr(1, 2), L":\\");
  const wchar_t home = here[0];
  const wchar_t other = std::towupper(home) == L'Z' ? L'C' : L'Z';

  ASSERT_TRUE(files_.setCurrentDrive(other));
  EXPECT_EQ(files_.currentDirectory().substr(0, 3), (std::wstring{other, L':', L'\\'}));
  ASSERT_TRUE(files_.setCurrentDrive(home));
  EXPECT_EQ(files_.currentDirectory(), here);

  // A letter that names no drive leaves the current directory alone.
  const DWORD drives = GetLogicalDrives();
  int unused = 25;
  while (unused >= 0 && (drives & (1u << unused))) --unused;
  ASSERT_GE(unused, 0);
  EXPECT_FALSE(files_.setCurrentDrive(static_cast<wchar_t>(L'A' + unused)));
  EXPECT_EQ(files_.currentDirectory(), here);
}

} // namespace
} // namespace vokuta
