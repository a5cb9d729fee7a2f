// The association choice dialog Frm2List: its list, its boxes, its handlers and showing it.
#pragma once
#include <cstddef>

#include "state/program.h"

namespace vokuta {

/// One line per slot 4..63 in the choice dialog's list, the last one selected.
void FillChoiceList(Program& p);

void CannotAddBox(Program& p);
void AppChangeBox(Program& p, std::size_t slot, std::size_t row);
/// kOk or kCancel.
[[nodiscard]] int RecordChangeBox(Program& p, std::size_t slot, std::size_t row);

namespace frm2list {

/// Shows the dialog modally for the association `incoming`, which finds no free slot, and
/// returns the list position the user chose to give up (0 for slot 4), or -1 for none.
[[nodiscard]] int ChooseSlotToDrop(Program& p, const FiniRecord& incoming);

/// OK: the selected position becomes the choice and the dialog closes.
void CmdOK_Click(Program& p);
/// The close box: no association is given up.
void Form_unload(Program& p);

} // namespace frm2list
} // namespace vokuta
