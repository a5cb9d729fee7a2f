#pragma once
#include <string>

#include "util/shift_jis.h"

namespace vokuta::platform_test {

/// ShiftJis's answers as text, one line per question: the decoding of each byte 0x00-0xFF and
/// of each lead byte with each trail byte, then the code of each character 0x0000-0xFFFF. Codes
/// and characters in hex, "-" for no answer. Two platforms that dump the same text read and
/// write the program's Shift-JIS files alike.
std::string DumpShiftJis(const ShiftJis& sjis);

} // namespace vokuta::platform_test
