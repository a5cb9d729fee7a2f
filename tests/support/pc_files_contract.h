#pragma once
// What every PcFiles does, the fake as much as the real file system: a test program includes
// this header in one source file and instantiates PcFilesContract with a PcFilesWorld of its
// own, so that the fake is held to what Windows does.
#include <gtest/gtest.h>

#include <algorithm>
#include <memory>
#include <optional>
#include <string>
#include <vector>

#include "platform/pc_files.h"

namespace vokuta::test {

/// A fresh empty directory with the PcFiles under test. Setting up and looking go around that
/// PcFiles, so that its faults cannot hide themselves.
class PcFilesWorld {
public:
  virtual ~PcFilesWorld() = default;
  virtual PcFiles& files() = 0;
  /// The directory, absolute, without a trailing backslash.
  virtual std::wstring root() = 0;
  /// Makes a file, or a directory when `name` ends in a backslash, below the root.
  virtual void make(const std::wstring& name, const std::string& bytes,
                    std::uint32_t attributes) = 0;
  /// Read-only, hidden, system and directory bits of an entry below the root (not archive,
  /// which Wine gives every file); std::nullopt when there is none.
  virtual std::optional<std::uint32_t> attributesOf(const std::wstring& name) = 0;
  /// False where the read-only bit does not keep a file from being written (Wine run by root).
  virtual bool readOnlyHolds() { return true; }
};

using MakeWorld = std::unique_ptr<PcFilesWorld> (*)();

class PcFilesContract : public testing::TestWithParam<MakeWorld> {
protected:
  void SetUp() override { world_ = GetParam()(); }

  PcFiles& files() { return world_->files(); }
  std::wstring path(const std::wstring& name) { return world_->root() + L"\\" + name; }
  void make(const std::wstring& name, const std::string& bytes = "x", std::uint32_t attr = 0) {
    world_->make(name, bytes, attr);
  }
  /// The names found, sorted (the file system's order is its own), each with ":attributes"
  /// without the archive bit when `withAttributes`.
  std::vector<std::wstring> found(const std::wstring& pattern, std::uint32_t include,
                                  bool withAttributes) {
    std::vector<std::wstring> out;
    for (const FoundFile& f : files().find(path(pattern), include))
      out.push_back(withAttributes ? f.name + L":" + std::to_wstring(f.attributes & ~kAttrArchive)
                                   : f.name);
    std::sort(out.begin(), out.end());
    return out;
  }
  std::string contents(const std::wstring& name) {
    const auto bytes = files().readFile(path(name));
    return bytes ? std::string(bytes->begin(), bytes->end()) : "<unreadable>";
  }

  std::unique_ptr<PcFilesWorld> world_;
};

using Names = std::vector<std::wstring>;

TEST_P(PcFilesContract, FindListsHiddenSystemAndDirectoriesOnlyWhenAsked) {
  const std::uint32_t ro = kAttrReadOnly, hid = kAttrHidden, sys = kAttrSystem,
                      dir = kAttrDirectory;
  const std::pair<const wchar_t*, std::uint32_t> entries[] = {
      {L"plain.txt", 0},        {L"ro.txt", ro}, {L"hidden.txt", hid},   {L"system.sys", sys},
      {L"both.sys", hid | sys}, {L"sub\\", 0},   {L"sub\\inner.txt", 0}, {L"hidsub\\", hid}};
  for (const auto& [name, attr] : entries) make(name, "x", attr);

  // Attributes as numbers: 1 read-only, 2 hidden, 4 system, 16 directory.
  const std::pair<std::uint32_t, Names> cases[] = {
      {0, {L"plain.txt:0", L"ro.txt:1"}},
      {hid, {L"hidden.txt:2", L"plain.txt:0", L"ro.txt:1"}},
      {sys, {L"plain.txt:0", L"ro.txt:1", L"system.sys:4"}},
      {hid | sys, {L"both.sys:6", L"hidden.txt:2", L"plain.txt:0", L"ro.txt:1", L"system.sys:4"}},
      {dir, {L"plain.txt:0", L"ro.txt:1", L"sub:16"}},
      {hid | dir, {L"hidden.txt:2", L"hidsub:18", L"plain.txt:0", L"ro.txt:1", L"sub:16"}}};
  for (const auto& [include, expected] : cases) EXPECT_EQ(found(L"*", include, true), expected);
}

TEST_P(PcFilesContract, FindMatchesWildcardsAsWindowsDoes) {
  for (const wchar_t* name : {L"Setup.inf", L"README", L"a.exf", L"B.EXF", L"ab.exf",
                              L"data.bin.bak", L"x", L"a22.dat", L"deeper\\", L"deeper\\a.exf"})
    make(name);
  const Names all{L"B.EXF",   L"README", L"Setup.inf",    L"a.exf",
                  L"a22.dat", L"ab.exf", L"data.bin.bak", L"x"};
  const std::pair<const wchar_t*, Names> cases[] = {
      {L"*", all},
      {L"*.*", all},
      {L"*.EXF", {L"B.EXF", L"a.exf", L"ab.exf"}},
      {L"?.exf", {L"B.EXF", L"a.exf"}},
      {L"a?2.DAT", {L"a22.dat"}},
      {L"readme.*", {L"README"}},
      {L"a*", {L"a.exf", L"a22.dat", L"ab.exf"}},
      {L"*.bak", {L"data.bin.bak"}},
      {L"?", {L"x"}},
      {L"*.ex", {}},
      {L"SETUP.INF", {L"Setup.inf"}},
      {L"deeper\\..\\setup.inf", {L"Setup.inf"}},
      {L"missing\\*", {}},
      {L"Setup.inf\\*", {}},
  };
  for (const auto& [pattern, expected] : cases)
    EXPECT_EQ(found(pattern, 0, false), expected) << testing::PrintToString(pattern);
}

TEST_P(PcFilesContract, WriteThenReadGivesTheSameBytes) {
  std::vector<std::uint8_t> all(3 * 256);
  for (std::size_t i = 0; i < all.size(); ++i) all[i] = static_cast<std::uint8_t>(i);
  ASSERT_TRUE(files().writeFile(path(L"all.bin"), all));
  EXPECT_EQ(files().readFile(path(L"ALL.BIN")), all);
  EXPECT_EQ(files().fileLength(path(L"all.bin")), all.size());

  // Replacing truncates and keeps the name as it was created; text is not translated.
  ASSERT_TRUE(files().writeFile(path(L"ALL.BIN"), {'a', '\n', 'b'}));
  EXPECT_EQ(contents(L"all.bin"), "a\nb");
  EXPECT_EQ(found(L"*", 0, false), Names{L"all.bin"});
  // A search just before may answer a length, but only with what the disk holds.
  EXPECT_EQ(files().fileLength(path(L"ALL.BIN")), 3u);
  ASSERT_TRUE(files().writeFile(path(L"all.bin"), {}));
  EXPECT_EQ(files().fileLength(path(L"all.bin")), 0u);
}

TEST_P(PcFilesContract, RefusesWhatWindowsRefuses) {
  make(L"a.txt", "abc");
  make(L"ro.txt", "keep", kAttrReadOnly);
  make(L"sub\\", "", 0);

  for (const wchar_t* name : {L"sub", L"sub\\", L"none.txt", L"a.txt\\"})
    EXPECT_FALSE(files().readFile(path(name)) || files().fileLength(path(name)))
        << testing::PrintToString(name);
  for (const wchar_t* name : {L"none\\a.txt", L"a.txt\\b", L"sub", L"new.txt\\"})
    EXPECT_FALSE(files().writeFile(path(name), {'x'})) << testing::PrintToString(name);
  for (const wchar_t* name : {L"ro.txt", L"sub", L"none.txt"})
    EXPECT_FALSE(files().deleteFile(path(name))) << testing::PrintToString(name);
  for (const wchar_t* name : {L"SUB", L"a.txt", L"none\\sub"})
    EXPECT_FALSE(files().makeDirectory(path(name))) << testing::PrintToString(name);
  EXPECT_FALSE(files().setAttributes(path(L"none.txt"), 0));
  // Windows renames a directory too, and may take a trailing backslash for a rename.
  const std::tuple<const wchar_t*, const wchar_t*, bool> copies[] = {
      {L"none.txt", L"c.txt", true}, {L"a.txt", L"none\\a", true},  {L"a.txt", L"sub", true},
      {L"sub", L"c.txt", false},     {L"a.txt", L"c.txt\\", false}, {L"a.txt", L"A.TXT", false}};
  if (world_->readOnlyHolds()) {
    EXPECT_FALSE(files().writeFile(path(L"RO.txt"), {'x'}));
    EXPECT_FALSE(files().copyFile(path(L"a.txt"), path(L"ro.txt")));
    EXPECT_FALSE(files().moveFile(path(L"a.txt"), path(L"ro.txt")));
  }
  for (const auto& [source, target, move] : copies) {
    const auto what = testing::PrintToString(source) + " to " + testing::PrintToString(target);
    EXPECT_FALSE(files().copyFile(path(source), path(target))) << what;
    EXPECT_FALSE(move && files().moveFile(path(source), path(target))) << what;
  }

  EXPECT_EQ(found(L"*", kAttrDirectory, false), (Names{L"a.txt", L"ro.txt", L"sub"}));
  EXPECT_EQ(found(L"sub\\*", 0, false), Names{});
  EXPECT_FALSE(world_->attributesOf(L"none")); // no missing parent was made
  EXPECT_EQ(contents(L"a.txt"), "abc");
  EXPECT_EQ(contents(L"ro.txt"), "keep");
}

TEST_P(PcFilesContract, CopyAndMoveReplaceTheTarget) {
  make(L"new.txt", "new", kAttrHidden);
  make(L"Old.txt", "old and longer");
  ASSERT_TRUE(files().copyFile(path(L"new.txt"), path(L"OLD.TXT")));
  EXPECT_EQ(contents(L"old.txt"), "new");
  EXPECT_EQ(contents(L"new.txt"), "new");
  EXPECT_EQ(found(L"*", kAttrHidden, false), (Names{L"Old.txt", L"new.txt"}));

  ASSERT_TRUE(files().setAttributes(path(L"old.txt"), kAttrArchive));
  ASSERT_TRUE(files().moveFile(path(L"old.txt"), path(L"Moved.txt")));
  ASSERT_TRUE(files().moveFile(path(L"new.txt"), path(L"Moved.txt")));
  EXPECT_EQ(found(L"*", kAttrHidden, false), Names{L"Moved.txt"});
  EXPECT_EQ(contents(L"moved.txt"), "new");
}

TEST_P(PcFilesContract, ReadOnlyFileIsDeletedOnlyAfterItsAttributesAreCleared) {
  make(L"locked.ini", "x", kAttrReadOnly | kAttrHidden);
  EXPECT_FALSE(files().deleteFile(path(L"locked.ini")));
  EXPECT_TRUE(world_->attributesOf(L"locked.ini"));

  ASSERT_TRUE(files().setAttributes(path(L"LOCKED.INI"), kAttrArchive));
  EXPECT_EQ(world_->attributesOf(L"locked.ini"), 0u);
  EXPECT_TRUE(files().deleteFile(path(L"locked.ini")));
  EXPECT_FALSE(world_->attributesOf(L"locked.ini"));
  EXPECT_FALSE(files().deleteFile(path(L"locked.ini")));
}

TEST_P(PcFilesContract, MakeDirectoryCreatesOneLevel) {
  EXPECT_TRUE(files().makeDirectory(path(L"Sub")));
  EXPECT_EQ(world_->attributesOf(L"sub"), kAttrDirectory);
  EXPECT_TRUE(files().makeDirectory(path(L"sub\\inner\\")));
  EXPECT_EQ(world_->attributesOf(L"SUB\\INNER"), kAttrDirectory);
}

} // namespace vokuta::test
