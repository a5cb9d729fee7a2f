// The PcFiles seam: searches, reads and writes of the PC's files with Windows path rules.
#pragma once
#include <cstdint>
#include <optional>
#include <string>
#include <vector>

namespace vokuta {

/// File attribute bits, with the values Windows gives them.
enum FileAttr : std::uint32_t {
  kAttrReadOnly = 0x01,
  kAttrHidden = 0x02,
  kAttrSystem = 0x04,
  kAttrDirectory = 0x10,
  kAttrArchive = 0x20,
};

struct FoundFile {
  std::wstring name; ///< bare name as stored, without its directory
  std::uint32_t attributes = 0;
};

/// The PC's file system with Windows semantics: paths are text with backslashes and drive
/// letters, names compare without regard to case, every drive has a current directory.
/// Abstract so it can be faked in tests.
class PcFiles {
public:
  virtual ~PcFiles() = default;

  /// Directory search for `pattern` (a path whose last component may hold "*" and "?").
  /// Ordinary files always match; hidden files only with kAttrHidden in `include`, system files
  /// only with kAttrSystem, directories only with kAttrDirectory ("." and ".." never). Entries
  /// come in the order the file system gives them; an unusable path gives none.
  virtual std::vector<FoundFile> find(const std::wstring& pattern, std::uint32_t include) = 0;

  /// Length in bytes of the file at `path`; std::nullopt when there is no such file.
  virtual std::optional<std::uint64_t> fileLength(const std::wstring& path) = 0;

  /// The whole content of the file; std::nullopt when it cannot be opened for reading.
  virtual std::optional<std::vector<std::uint8_t>> readFile(const std::wstring& path) = 0;

  /// Creates or replaces the file with `bytes`. False when it cannot be written.
  virtual bool writeFile(const std::wstring& path, const std::vector<std::uint8_t>& bytes) = 0;

  /// Copies a file, replacing the target. False on any failure.
  virtual bool copyFile(const std::wstring& source, const std::wstring& target) = 0;

  /// Renames a file, replacing an existing target (within one volume this is atomic: the
  /// target is either the old or the new file). False on any failure.
  virtual bool moveFile(const std::wstring& source, const std::wstring& target) = 0;

  /// Deletes a file. False on any failure (a read-only file is not deleted).
  virtual bool deleteFile(const std::wstring& path) = 0;

  /// Sets the attributes of a file or directory. False on any failure.
  virtual bool setAttributes(const std::wstring& path, std::uint32_t attributes) = 0;

  /// Creates one directory; its parent must exist. False on any failure.
  virtual bool makeDirectory(const std::wstring& path) = 0;

  /// The current directory of the current drive, such as 'C:\pkg'.
  virtual std::wstring currentDirectory() = 0;

  /// Makes `drive` ('A'..'Z') the current drive, keeping that drive's own current directory.
  /// False when there is no such drive.
  virtual bool setCurrentDrive(wchar_t drive) = 0;
};

} // namespace vokuta
