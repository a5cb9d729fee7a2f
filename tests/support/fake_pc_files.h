#pragma once
#include <cstdint>
#include <map>
#include <optional>
#include <string>
#include <vector>

#include "platform/pc_files.h"

namespace vokuta::test {

/// An in-memory PC file system with Windows semantics: drive letters with a current directory
/// each, case-insensitive names that keep the case they were created with, "." and ".."
/// components, hidden/system/read-only attributes, wildcard search with "*" and "?" in the
/// last component. Every call is recorded in `log`.
class FakePcFiles : public PcFiles {
public:
  /// Drive C: exists, with its root as the current directory.
  FakePcFiles();

  // Setting up a test. Paths may be absolute or relative, as for the PcFiles calls. These are
  // not logged; a path they cannot use (no such drive, a file in the way) throws
  // std::invalid_argument, as that is a mistake in the test.
  void addDrive(wchar_t drive);
  void addDirectory(const std::wstring& path); ///< with every missing parent
  /// Creates or replaces a file, with every missing parent directory. The file gets
  /// kAttrArchive besides `attributes`, as every newly written file does.
  void addFile(const std::wstring& path, const std::string& bytes, std::uint32_t attributes = 0);
  /// Makes its drive current as well; the directory is created when missing. The drive letter
  /// is kept in upper case, the rest as given.
  void setCurrentDirectory(const std::wstring& path);

  // Looking at the result. A path ending in a backslash names directories only.
  bool exists(const std::wstring& path) const { return lookup(path) != nullptr; }
  std::optional<std::string> contents(const std::wstring& path) const;
  std::optional<std::uint32_t> attributes(const std::wstring& path) const;
  /// Full paths of every file below `dir` (recursively), with the names' case as created,
  /// sorted without regard to case.
  std::vector<std::wstring> filesUnder(const std::wstring& dir) const;

  /// One line per call: "find C:\pkg\*.exf", "read C:\pkg\Setup.inf", "write ...", "copy A -> B",
  /// "delete ...", "attrib ...", "mkdir ...", "length ...", "cwd", "drive D".
  std::vector<std::wstring> log;

  // PcFiles
  std::vector<FoundFile> find(const std::wstring& pattern, std::uint32_t include) override;
  std::optional<std::uint64_t> fileLength(const std::wstring& path) override;
  std::optional<std::vector<std::uint8_t>> readFile(const std::wstring& path) override;
  bool writeFile(const std::wstring& path, const std::vector<std::uint8_t>& bytes) override;
  bool copyFile(const std::wstring& source, const std::wstring& target) override;
  bool moveFile(const std::wstring& source, const std::wstring& target) override;
  bool deleteFile(const std::wstring& path) override;
  bool setAttributes(const std::wstring& path, std::uint32_t attributes) override;
  bool makeDirectory(const std::wstring& path) override;
  std::wstring currentDirectory() override;
  bool setCurrentDrive(wchar_t drive) override;

private:
  struct Node {
    std::wstring path; ///< the full path with each name as created; "C:" for a drive root
    std::uint32_t attributes = 0;
    std::string bytes;
    bool directory() const { return (attributes & kAttrDirectory) != 0; }
  };
  /// The absolute path with "." and ".." resolved and the names spelt as the caller spelt them
  /// ("C:\pkg\A.txt"; a drive root is "C:"), or std::nullopt when the path cannot be resolved
  /// (no such drive, ".." above the root, a name with a character Windows forbids).
  std::optional<std::wstring> normalize(const std::wstring& path) const;
  /// The key of `path` in nodes_: its normalized form in upper case.
  std::optional<std::wstring> resolve(const std::wstring& path) const;
  // The const ones hand out writable nodes: the fake's own calls change what they find.
  Node* nodeAt(const std::optional<std::wstring>& key) const;
  Node* lookup(const std::wstring& path) const;
  /// The file `path` names when it is neither missing nor a directory.
  Node* fileAt(const std::wstring& path) const;
  /// Whether the directory that would hold `key` exists.
  bool hasParent(const std::wstring& key) const;
  /// The full path, as created, of a new entry at a normalized path whose parent exists.
  std::wstring createdPath(const std::wstring& normalized) const;
  /// Creates every missing directory of a normalized path.
  void ensureDirectories(const std::wstring& normalized);
  /// copyFile, or moveFile with `move`.
  bool transfer(const std::wstring& source, const std::wstring& target, bool move);
  /// Entries of `dirKey` whose name matches `pattern`, filtered by `include`.
  std::vector<FoundFile> list(const std::wstring& dirKey, const std::wstring& pattern,
                              std::uint32_t include) const;

  std::map<std::wstring, Node> nodes_;          // key: normalized path in upper case
  std::map<wchar_t, std::wstring> currentDirs_; // drive letter -> normalized path as set
  wchar_t currentDrive_ = L'C';
};

} // namespace vokuta::test
