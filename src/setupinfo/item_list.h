#pragma once
#include <cstdint>
#include <string>

#include "app/program.h"

namespace vokuta {

inline constexpr int kKeyDelete = 46;

/// DestPath + "\" + FileName of the row, the pattern unexpanded.
std::wstring ItemText(const Program& p, std::size_t row);

/// Refills the main window's list with one item per row of the setup table.
void FillItemList(Program& p);

/// Package size in bytes: every matched PC file counts as its length rounded down to a
/// multiple of 512, plus 512. Counted in 64 bits, so packages past 2 GB come out right.
std::uint64_t 合計容量(Program& p);

/// `bytes` in K bytes as the size label writes it: a leading blank, no leading zero before the
/// point, a fraction only when there is one (" 1.5", " .5", " 0", " 10").
std::wstring FormatKBytes(std::uint64_t bytes);

/// Sets the size label of the main window from 合計容量.
void ShowTotalSize(Program& p);

/// Removes row `row` from the setup table and the package's associations; the rows after it
/// move up.
void RemoveRow(Program& p, std::size_t row);

/// Index of the selected item of a form's list, scanning from the last; -1 when none is.
int SelectedItem(Program& p, Form form);

} // namespace vokuta
