// The install loop: every row to the device, the associations merged, the table written once.
#pragma once
#include "state/program.h"

namespace vokuta {

/// Copies every row of the setup table to the device, merges the package's associations and
/// writes the association file back once when the whole run went well. Any failure sets
/// RunFailed; a give-up stops the loop. The work copy of the association file is deleted at the
/// end, whatever happened.
void InstallFiles(Program& p);

} // namespace vokuta
