// The install items as the main window lists them: their text, the package size, removal.
#pragma once
#include <cstdint>
#include <string>

#include "state/program.h"

namespace vokuta {

/// DestPath + "\" + FileName of the row, the pattern unexpanded.
[[nodiscard]] std::wstring ItemText(const SetupTable& table, std::size_t row);
[[nodiscard]] std::wstring ItemText(const Program& p, std::size_t row);

/// Package size in bytes: every matched PC file counts as its length rounded down to a
/// multiple of 512, plus 512. Counted in 64 bits, so packages past 2 GB come out right.
/// `matches` is the match list the search fills row by row.
[[nodiscard]] std::uint64_t 合計容量(const SetupTable& table, PcFiles& files, MatchList& matches);
[[nodiscard]] std::uint64_t 合計容量(Program& p);

/// `bytes` in K bytes as the size label writes it: a leading blank, no leading zero before the
/// point, a fraction only when there is one (" 1.5", " .5", " 0", " 10").
[[nodiscard]] std::wstring FormatKBytes(std::uint64_t bytes);

/// Removes row `row` from the setup table and the package's associations; the rows after it
/// move up.
void RemoveRow(SetupTable& setup, FiniTable& fini, std::size_t row);
void RemoveRow(Program& p, std::size_t row);

} // namespace vokuta
