#pragma once
#include <cstdint>

#include "app/program.h"

namespace vokuta {

/// Bytes kept free on the device beyond the package itself.
inline constexpr std::int64_t kFreeSpaceReserve = 10240;

/// Asks the device for its free memory and, when it is below the package size plus the
/// reserve, whether to go on. 1 to go on, 7 to stop.
std::int16_t CheckFreeSpace(Program& p);

/// The question box; kYes or kNo.
int FreeSpaceWarning(Program& p, std::int64_t total, std::int32_t freeBytes);

} // namespace vokuta
