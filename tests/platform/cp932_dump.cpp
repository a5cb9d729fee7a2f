// Writes ShiftJis's answers over iconv's code page 932 to standard output, for
// tests/wine/run_platform_tests.sh to compare with those that vokuta_platform_tests dumped under
// Wine over Windows' code page:
//
//   cp932_dump > FILE
//
// The raw tables differ (0x80, private-use characters, iconv's one-way mappings such as the yen
// sign), but only where ShiftJis never looks.
#include <cstdio>

#include "cp932_table.h"
#include "posix/iconv_codepage.h"

int main() {
  vokuta::IconvCodepage codepage;
  const std::string dump = vokuta::platform_test::DumpShiftJis(vokuta::ShiftJis(codepage));
  return std::fwrite(dump.data(), 1, dump.size(), stdout) == dump.size() ? 0 : 1;
}
