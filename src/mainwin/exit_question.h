// The exit question every window asks before the program ends.
#pragma once
#include "state/program.h"

namespace vokuta {

/// The exit question. Ends the program on Yes; otherwise (and always while the link is held)
/// returns false.
bool ConfirmExit(Program& p);

} // namespace vokuta
