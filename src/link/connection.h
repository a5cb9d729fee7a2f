#pragma once
#include <cstdint>

#include "app/program.h"

namespace vokuta {

/// Asks the user to connect the device and make it ready. kYes or kNo.
int ConnectPrompt(Program& p);

/// Ends any link left open and negotiates a new one on PortNumber. 0 when the link is up; -1
/// after the connection error box.
std::int16_t CheckConnection(Program& p);

/// u_end with the program's window, port and mode; the result is the library's.
std::int32_t EndLinkCall(Program& p);

} // namespace vokuta
