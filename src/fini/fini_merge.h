#pragma once
#include <cstdint>
#include <string>

#include "app/program.h"

namespace vokuta {

/// Enters the association of setup row `row` into the device's table: updates the entry of the
/// same suffix, or takes the first free slot, or replaces the entry the user gives up in the
/// choice dialog. The first call of a run reads the device's file. 0, or -2 when that read
/// failed so that the run must stop.
std::int16_t Filerini変更(Program& p, std::int16_t row);

/// First slot from `start` to 63 that is in use and holds `suffix` (ASCII letters compared
/// without regard to case); -1 when none does.
std::int16_t FindSuffixSlot(Program& p, std::int16_t start, const std::wstring& suffix);

/// First free slot from `start` to 63; -1 when none is.
std::int16_t FindFreeSlot(Program& p, std::int16_t start);

/// One line per slot 4..63 in the choice dialog's list, the last one selected.
void FillChoiceList(Program& p);

void CannotAddBox(Program& p);
void AppChangeBox(Program& p, std::size_t slot, std::size_t row);
/// kOk or kCancel.
int RecordChangeBox(Program& p, std::size_t slot, std::size_t row);

/// The line of one slot in the choice list.
std::wstring ChoiceLine(const Program& p, std::size_t slot);

// The association choice dialog Frm2List.
namespace frm2list {
void CmdOK_Click(Program& p);
/// The close box: no association is given up.
void Form_unload(Program& p);
} // namespace frm2list

} // namespace vokuta
