#pragma once
#include <filesystem>
#include <map>
#include <optional>
#include <string>
#include <vector>

#include "platform/pc_files.h"

namespace vokuta::pkg {

/// The Linux file system seen through the PcFiles seam, read-only, for vokuta-pkg. Windows path
/// semantics are mapped only as far as the tool needs them:
/// - "\" and "/" both separate names; a path that begins with one starts at "/", any other is
///   relative to the current directory. Drive letters ("C:") name nothing.
/// - "." and ".." are left to the file system.
/// - Trailing blanks and dots of a name are dropped, as Windows drops them.
/// - A name that does not exist as spelt is found without regard to the case of ASCII and
///   full-width letters, as on Windows; when several entries fit, the first in name order.
/// - Names are UTF-8; bytes that are not become U+FFFD (and such a file cannot be opened).
/// - Searches take "*" and "?" in the last name, with Windows' rule that "name.*" and "*.*"
///   also match names without a dot; entries come in name order, as NTFS gives them. A name
///   beginning with "." counts as hidden. There are no system files.
/// Every call that would change something returns false and does nothing. Since nothing changes,
/// each folder is listed and put in name order once, at the first call that needs it.
class PosixFiles final : public PcFiles {
public:
  std::vector<FoundFile> find(const std::wstring& pattern, std::uint32_t include) override;
  std::optional<std::uint64_t> fileLength(const std::wstring& path) override;
  std::optional<std::vector<std::uint8_t>> readFile(const std::wstring& path) override;
  std::wstring currentDirectory() override;

  bool writeFile(const std::wstring&, const std::vector<std::uint8_t>&) override { return false; }
  bool copyFile(const std::wstring&, const std::wstring&) override { return false; }
  bool moveFile(const std::wstring&, const std::wstring&) override { return false; }
  bool deleteFile(const std::wstring&) override { return false; }
  bool setAttributes(const std::wstring&, std::uint32_t) override { return false; }
  bool makeDirectory(const std::wstring&) override { return false; }
  bool setCurrentDrive(wchar_t) override { return false; }

  /// The Linux path a Windows-style path names, by the rules above; std::nullopt for a path
  /// with a drive letter.
  std::optional<std::filesystem::path> resolve(const std::wstring& path);

private:
  struct Entry {
    std::filesystem::directory_entry entry;
    std::wstring name;   ///< as spelt
    std::wstring folded; ///< for comparing without regard to case
  };
  // The entries of a folder, in name order; none when it cannot be read.
  const std::vector<Entry>& entriesOf(const std::filesystem::path& dir);

  std::map<std::filesystem::path, std::vector<Entry>> listed_;
};

} // namespace vokuta::pkg
