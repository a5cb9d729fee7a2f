// The main window Frm1Main's handlers: Next, Back, Cancel, the close box and the item list.
#pragma once
#include "state/program.h"

namespace vokuta {

// The main window Frm1Main: the item list, Back, Next and Cancel.
namespace frm1main {

void Cmd次へ_Click(Program& p);
void Cmd戻る_Click(Program& p);
void Cmdキャンセル_Click(Program& p);
/// The close box: the exit question; the window stays unless the program ends.
void Form_unload(Program& p);
/// Delete (no Shift, Ctrl or Alt) removes the selected item and its row.
void List1_KeyDown(Program& p, int keyCode, int shift);
/// Opens the directory-name dialog for the selected item.
void List1_dblClick(Program& p);

} // namespace frm1main
} // namespace vokuta
