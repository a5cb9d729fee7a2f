#include "support/test_codepage.h"

#include "posix/iconv_codepage.h"

namespace vokuta::test {

const ShiftJis& TestShiftJis() {
  static IconvCodepage platform;
  static const ShiftJis sjis(platform);
  return sjis;
}

std::string Sjis(const std::wstring& text) { return TestShiftJis().encode(text); }

} // namespace vokuta::test
