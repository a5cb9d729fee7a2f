// The directory-name dialog Frm4Text: opening it, the 8.3 check of a device path, its handlers.
#pragma once
#include <cstdint>

#include "state/program.h"

namespace vokuta {

// The directory-name dialog Frm4Text: changes the device directory of one install item.
namespace frm4text {

enum DirNameCheck : std::int16_t { kDirNameOk = 0, kDirNameTooLong = 1, kDirNameBadLastChar = 2 };

/// Double-click on the main window's list: opens the dialog for the selected row. Nothing
/// happens while no item is selected.
void OpenFor(Program& p);

/// Normalises Text1 to the stored form of a device path and checks every directory name
/// against the device's 8.3 rule in Shift-JIS bytes; shows the warning for a failure.
std::int16_t CheckDirName(Program& p);

void CmdOK_Click(Program& p);
void Cmdキャンセル_Click(Program& p);
/// The close box acts like Cancel.
void Form_unload(Program& p);

} // namespace frm4text
} // namespace vokuta
