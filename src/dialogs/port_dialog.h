// The serial-port dialog Frm3Port's handlers.
#pragma once
#include "state/program.h"

namespace vokuta {

// The serial-port dialog Frm3Port: COM1 to COM10, then on to the main window.
namespace frm3port {

inline constexpr int kPortOptions = 10;

/// Option `index` (0..9) became selected, by mouse or keyboard: port index + 1.
void Optポート_Click(Program& p, int index);
void Cmd開始_Click(Program& p);
void Cmdキャンセル_Click(Program& p);
/// The close box: the exit question; the dialog stays unless the program ends.
void Form_unload(Program& p);

} // namespace frm3port
} // namespace vokuta
