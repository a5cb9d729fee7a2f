#pragma once
#include <cstdint>
#include <map>
#include <optional>
#include <set>
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

  // Setting up a test. Paths may be absolute or relative, as for the PcFiles calls.
  void addDrive(wchar_t drive);
  void addDirectory(const std::wstring& path);   ///< with every missing parent
  void addFile(const std::wstring& path, const std::string& bytes, std::uint32_t attributes = 0);
  void setCurrentDirectory(const std::wstring& path); ///< makes its drive current as well
  /// Reads and writes of this path fail from now on (a locked file).
  void lock(const std::wstring& path);

  // Looking at the result.
  bool exists(const std::wstring& path) const;
  bool isDirectory(const std::wstring& path) const;
  std::optional<std::string> contents(const std::wstring& path) const;
  std::optional<std::uint32_t> attributes(const std::wstring& path) const;
  /// Full paths of every file below `dir` (recursively), in sorted order.
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
  bool deleteFile(const std::wstring& path) override;
  bool setAttributes(const std::wstring& path, std::uint32_t attributes) override;
  bool makeDirectory(const std::wstring& path) override;
  std::wstring currentDirectory() override;
  bool setCurrentDrive(wchar_t drive) override;

private:
  struct Node {
    std::wstring name; ///< as created
    bool directory = false;
    std::uint32_t attributes = 0;
    std::string bytes;
  };
  /// Full path in upper case ("C:\PKG\A.TXT"; a drive root is "C:") or std::nullopt when the
  /// path cannot be resolved (no drive, ".." above the root, an empty name).
  std::optional<std::wstring> resolve(const std::wstring& path) const;
  std::optional<std::wstring> parentOf(const std::wstring& key) const;

  std::map<std::wstring, Node> nodes_;              // key: resolved upper-case path
  std::map<wchar_t, std::wstring> currentDirs_;     // drive letter -> upper-case key
  std::map<wchar_t, std::wstring> currentDirNames_; // drive letter -> path as set
  wchar_t currentDrive_ = L'C';
  std::set<std::wstring> locked_;
};

} // namespace vokuta::test
