// vokuta-pkg check: the report of one Setup.inf and its rows.
#pragma once
#include <cstdint>
#include <optional>
#include <string>
#include <vector>

#include "pkg/problem.h"
#include "platform/pc_files.h"
#include "setupinfo/setup_info.h"

namespace vokuta::pkg {

/// One PC file a row matched.
struct CheckedFile {
  std::wstring name; ///< as the file system spells it
  std::uint64_t length = 0;
  std::uint64_t counted = 0; ///< what the installer's size rule counts for it
  std::wstring devicePath;   ///< where the installer uploads it
};

/// One row as the installer stores it, with what it matched on the PC.
struct CheckedRow {
  ParsedRow parsed;
  std::wstring app;               ///< the association's program path as stored (32 characters)
  std::vector<CheckedFile> files; ///< in name order
  std::uint64_t countedBytes = 0; ///< the installer's size of this row
};

enum class IgnoredReason { CommentOrBlank, TooFewCommas, EmptyFileName, SecondPort };

struct IgnoredLine {
  std::size_t line = 0;
  IgnoredReason reason = IgnoredReason::CommentOrBlank;
};

/// The package size of the rows of one device directory.
struct DirectorySize {
  std::wstring deviceDir; ///< as the device names it: upper case, "\" for the root
  std::uint64_t bytes = 0;
  std::size_t files = 0;
};

struct CheckReport {
  std::wstring setupInf;
  std::wstring sourceDir;
  bool readable = false;
  bool utf8 = false;  ///< began with the UTF-8 byte-order mark; else CP932
  bool utf16 = false; ///< began with a UTF-16 byte-order mark: refused, nothing else is read
  std::size_t lineCount = 0;
  std::optional<std::int32_t> port;
  std::size_t portLine = 0;
  std::vector<CheckedRow> rows;
  std::vector<IgnoredLine> ignored;
  std::vector<Problem> problems; ///< by line and column
  bool refused = false;          ///< too many rows or UTF-16: the installer installs nothing
  std::uint64_t totalBytes = 0;  ///< the installer's package size
  std::vector<DirectorySize> directories; ///< in the order they first appear
};

/// Reads Setup.inf at `setupInfPath` as the installer does, with `sourceDir` as the folder the
/// rows' source directories are relative to, and reports on every line.
CheckReport CheckSetupInfo(PcFiles& files, const ShiftJis& sjis, const std::wstring& setupInfPath,
                           const std::wstring& sourceDir);

/// The folder of a Setup.inf path as the command line gave it: everything before its last "\"
/// or "/", or "." when it has neither.
std::wstring SourceDirOf(const std::wstring& setupInfPath);

/// The small icon number as the association table keeps it: its low 16 bits.
inline std::uint16_t KeptFont(std::uint32_t font) { return static_cast<std::uint16_t>(font); }

/// What the installer's size rule counts for a file of `length` bytes.
inline std::uint64_t CountedBytes(std::uint64_t length) { return length / 512 * 512 + 512; }

} // namespace vokuta::pkg
