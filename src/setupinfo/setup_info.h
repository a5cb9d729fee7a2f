// Setup.inf: its lines, rows and port as the installer reads them, and filling the tables.
#pragma once
#include <cstdint>
#include <optional>
#include <string>
#include <vector>

#include "state/program.h"
#include "util/device_path.h"

namespace vokuta {

/// One row line of Setup.inf as the installer stores it.
struct ParsedRow {
  std::size_t line = 0; ///< 1-based line number in the file
  SetupRow row;
  // Association columns; meaningful when row.isFini().
  std::wstring suffix;
  std::uint32_t font = 0;
  std::uint32_t mmp = 0;
};

/// What a Setup.inf says, independent of the program's state.
struct ParsedSetupInfo {
  bool utf8 = false; ///< began with the UTF-8 byte-order mark
  std::vector<std::wstring> lines;
  std::vector<ParsedRow> rows;      ///< in file order; may exceed the table's room
  std::optional<std::int32_t> port; ///< from the first "[PORT]=" line
  std::size_t portLine = 0;
};

/// Splits the file into decoded lines. CR LF, CR and LF each end a line; a file that begins
/// with the UTF-8 byte-order mark is UTF-8, anything else CP932.
std::vector<std::wstring> SetupInfoLines(const std::vector<std::uint8_t>& bytes,
                                         const ShiftJis& sjis, bool* utf8 = nullptr);

/// A line without the quotes around it and without its comment.
std::wstring ReduceLine(const std::wstring& line);

/// Unsigned hexadecimal digits: blanks are skipped, reading stops at the first other
/// character, no digits give 0, and only the low 32 bits are kept.
std::uint32_t ParseHexColumn(const std::wstring& text);

/// The port of a reduced line that begins with "[PORT]=" (any case), else std::nullopt.
std::optional<std::int32_t> ParsePortLine(const std::wstring& reduced);

ParsedSetupInfo ParseSetupInfo(const std::vector<std::uint8_t>& bytes, const ShiftJis& sjis,
                               const std::wstring& sourceDir);

/// The file begins with a UTF-16 byte-order mark (FF FE or FE FF).
bool HasUtf16Bom(const std::vector<std::uint8_t>& bytes);

enum class ReadResult { Ok, CannotOpen, TooManyRows, Utf16 };

/// Fills the setup table and the package's associations from SetupInfPath; may set the port.
/// The tables change only on Ok.
[[nodiscard]] ReadResult ReadSetupInfo(Program& p);

/// A device path of the setup table that the device cannot hold.
struct UnholdablePath {
  std::size_t row = 0;
  std::wstring path; ///< the file's device path
  NameFault fault;
};

/// The first device path of the setup table that breaks the device's name rule
/// (`CheckDeviceName`): the row's directory levels, then its file name or, for a pattern, the
/// name of every file it matches. The device would refuse such a path for ever. Reserved names
/// (`IsReservedName`) pass: the device holds them, and the cache mirror skips them.
std::optional<UnholdablePath> FindUnholdablePath(Program& p);

/// The row's association program path: DestPath + "\" + FileName, upper case, 32 positions.
void SetAppPath(const SetupTable& setup, FiniTable& fini, std::size_t row);
void SetAppPath(Program& p, std::size_t row);

} // namespace vokuta
