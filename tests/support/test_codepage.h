#pragma once
#include <string>

#include "util/shift_jis.h"

namespace vokuta::test {

/// One ShiftJis for all tests, built from iconv once.
const ShiftJis& TestShiftJis();

/// CP932 bytes of a UTF-8 literal, for building test files.
std::string Sjis(const std::wstring& text);

} // namespace vokuta::test
