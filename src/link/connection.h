// Opening and closing the device link: the connect prompt, the connection check, EndLink.
#pragma once
#include <cstdint>

#include "state/program.h"

namespace vokuta {

/// Asks the user to connect the device and make it ready. kYes or kNo.
[[nodiscard]] int ConnectPrompt(Program& p);

/// Result of CheckConnection; the values are the installer's own.
enum ConnectionResult : std::int16_t { kConnected = 0, kNotConnected = -1 };

/// Ends any link left open and negotiates a new one on PortNumber; kNotConnected after the
/// connection error box.
[[nodiscard]] ConnectionResult CheckConnection(Program& p);

/// u_end with the program's window, port and mode. The library's result: 0 when the link
/// closed; only the run's closing message looks at it.
std::int32_t EndLink(Program& p);

} // namespace vokuta
