// The main window's item list and size label, and the selection of a form's list.
#pragma once
#include "state/program.h"

namespace vokuta {

inline constexpr int kKeyDelete = 46;

/// Refills the main window's list with one item per row of the setup table.
void FillItemList(Program& p);

/// Sets the size label of the main window from 合計容量.
void ShowTotalSize(Program& p);

/// Index of the selected item of a form's list, scanning from the last; -1 when none is.
[[nodiscard]] int SelectedItem(Program& p, Form form);

} // namespace vokuta
