// Win32PcFiles against the real file system of a Wine prefix, in a fresh directory per test:
// the contract every PcFiles keeps, and the current drives, which only the real one has.
#include <gtest/gtest.h>

#include <cwctype>
#include <filesystem>
#include <fstream>

#include "../support/pc_files_contract.h"
#include "win32/win.h"
#include "win32/win32_pc_files.h"

namespace vokuta {
namespace {

// Deletes a tree whatever the attributes of its files.
void removeTree(const std::filesystem::path& dir) {
  std::error_code ignored;
  SetFileAttributesW(dir.c_str(), FILE_ATTRIBUTE_NORMAL);
  for (const auto& entry : std::filesystem::recursive_directory_iterator(dir, ignored))
    SetFileAttributesW(entry.path().c_str(), FILE_ATTRIBUTE_NORMAL);
  std::filesystem::remove_all(dir, ignored);
}

// A fresh directory below the temporary one, set up and looked at apart from Win32PcFiles so
// that a fault of it cannot hide itself.
class Win32World : public test::PcFilesWorld {
public:
  Win32World() {
    removeTree(dir_);
    EXPECT_TRUE(std::filesystem::create_directory(dir_));
  }
  ~Win32World() override { removeTree(dir_); }
  PcFiles& files() override { return files_; }
  std::wstring root() override { return dir_; }
  void make(const std::wstring& name, const std::string& bytes, std::uint32_t attr) override {
    const std::filesystem::path path = dir_ + L"\\" + name;
    EXPECT_TRUE(name.ends_with(L'\\')
                    ? std::filesystem::create_directory(path)
                    : static_cast<bool>(std::ofstream(path, std::ios::binary) << bytes))
        << "cannot create " << testing::PrintToString(name);
    EXPECT_TRUE(!attr || SetFileAttributesW(path.c_str(), attr));
  }
  bool readOnlyHolds() override {
    const std::wstring probe = dir_ + L".ro"; // beside the directory, which must stay empty
    CloseHandle(CreateFileW(probe.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS,
                            FILE_ATTRIBUTE_READONLY, nullptr));
    const HANDLE h =
        CreateFileW(probe.c_str(), GENERIC_WRITE, 0, nullptr, OPEN_EXISTING, 0, nullptr);
    CloseHandle(h);
    removeTree(probe);
    return h == INVALID_HANDLE_VALUE;
  }
  std::optional<std::uint32_t> attributesOf(const std::wstring& name) override {
    const DWORD attributes = GetFileAttributesW((dir_ + L"\\" + name).c_str());
    if (attributes == INVALID_FILE_ATTRIBUTES) return std::nullopt;
    return attributes & (kAttrReadOnly | kAttrHidden | kAttrSystem | kAttrDirectory);
  }

private:
  static inline int counter_ = 0;
  Win32PcFiles files_;
  const std::wstring dir_ = (std::filesystem::temp_directory_path() / L"vokuta-").wstring() +
                            std::to_wstring(GetCurrentProcessId()) + L"-" +
                            std::to_wstring(++counter_);
};

using test::PcFilesContract;
INSTANTIATE_TEST_SUITE_P(Win32, PcFilesContract, testing::Values(+[] {
                           return std::unique_ptr<test::PcFilesWorld>(new Win32World);
                         }));

TEST(Win32PcFilesTest, EachDriveKeepsItsCurrentDirectory) {
  Win32World world;
  PcFiles& files = world.files();
  struct Restore {
    wchar_t dir[MAX_PATH] = {};
    ~Restore() { SetCurrentDirectoryW(dir); }
  } restore;
  GetCurrentDirectoryW(MAX_PATH, restore.dir);
  ASSERT_TRUE(SetCurrentDirectoryW(world.root().c_str()));
  const std::wstring here = files.currentDirectory();
  EXPECT_EQ(_wcsicmp(here.c_str(), world.root().c_str()), 0) << testing::PrintToString(here);
  ASSERT_EQ(here.substr(1, 2), L":\\");
  const wchar_t other = std::towupper(here[0]) == L'Z' ? L'C' : L'Z';
  EXPECT_TRUE(files.setCurrentDrive(other));
  EXPECT_EQ(files.currentDirectory().substr(0, 3), (std::wstring{other, L':', L'\\'}));
  EXPECT_TRUE(files.setCurrentDrive(here[0]));
  EXPECT_EQ(files.currentDirectory(), here);

  // A letter that names no drive leaves the current directory alone.
  int unused = 25;
  while (unused >= 0 && (GetLogicalDrives() & (1u << unused))) --unused;
  ASSERT_GE(unused, 0);
  EXPECT_FALSE(files.setCurrentDrive(static_cast<wchar_t>(L'A' + unused)));
  EXPECT_EQ(files.currentDirectory(), here);
}

} // namespace
} // namespace vokuta
