#pragma once
#include "app/program.h"

namespace vokuta {

/// The install run started by the main window's Next button.
void 開始ボタン(Program& p);

} // namespace vokuta
