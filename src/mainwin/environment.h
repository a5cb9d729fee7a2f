// The PC software's registry values and the start-up check of its file manager.
#pragma once
#include <cstdint>
#include <string>

#include "state/program.h"

namespace vokuta {

inline const std::string kPcSoftwareKey = "Software\\NKV\\Vokuta\\PC";
inline const std::string kFilerKey = "Software\\NKV\\Vokuta\\Ravuz";

/// Returns only when the installer may go on: the PC software is installed and its file manager
/// is not running. Otherwise it ends the program.
void CheckEnvironment(Program& p);

/// True when the PC file manager is not running (or was closed after Retry), false on Cancel.
[[nodiscard]] bool CheckReDirav(Program& p);

/// The PC software's install directory without one trailing backslash, or "" when unrecorded.
[[nodiscard]] std::wstring ReadInstallDir(Program& p);

/// The PC file manager's serial port, or 0 when none is recorded.
[[nodiscard]] std::int32_t ReadFilerPort(Program& p);

} // namespace vokuta
