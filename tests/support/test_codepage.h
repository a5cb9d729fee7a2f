#pragma once
#include <string>

#include "posix/iconv_codepage.h"
#include "util/shift_jis.h"

namespace vokuta::test {

/// One ShiftJis for all tests, built from iconv once.
inline const ShiftJis& TestShiftJis() {
  static IconvCodepage platform;
  static const ShiftJis sjis(platform);
  return sjis;
}

/// CP932 bytes of a UTF-8 literal, for building test files.
inline std::string Sjis(const std::wstring& text) { return TestShiftJis().encode(text); }

} // namespace vokuta::test
