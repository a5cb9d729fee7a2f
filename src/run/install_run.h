// The install run behind the main window's Next button, and its closing message.
#pragma once
#include "state/program.h"

namespace vokuta {

/// The install run started by the main window's Next button: connect, check the free space,
/// copy the package, report. A run that gets past the free-space check ends the program after
/// its closing message; one that stops earlier returns to the main window.
void 開始ボタン(Program& p);

/// Shows the refusal of a package whose setup table holds a device path the device cannot hold
/// (`FindUnholdablePath`), naming the row's line, the path and its fault. True when refused.
bool RefuseUnholdablePaths(Program& p);

/// Ends the link and shows the closing message. True after the failure message.
bool ShowResult(Program& p);

} // namespace vokuta
