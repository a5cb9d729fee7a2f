// The free-space check before a run: the device's free memory against the package.
#pragma once
#include <cstdint>

#include "state/program.h"

namespace vokuta {

/// Bytes kept free on the device beyond the package itself.
inline constexpr std::int64_t kFreeSpaceReserve = 10240;

/// Result of CheckFreeSpace; the values are the installer's own.
enum FreeSpaceResult : std::int16_t { kSpaceGoOn = 1, kSpaceStop = 7 };

/// Asks the device for its free memory and, when it is below the package size plus the
/// reserve, whether to go on.
[[nodiscard]] FreeSpaceResult CheckFreeSpace(Program& p);

/// The question box; kYes or kNo.
[[nodiscard]] int FreeSpaceWarning(Program& p, std::int64_t total, std::int32_t freeBytes);

} // namespace vokuta
