// Checks the ShiftJis answers that vokuta_platform_tests dumped under Wine, over Windows' code
// page 932, against ShiftJis over iconv's:
//
//   cp932_compare DUMP_FILE
//
// The raw tables differ (0x80, private-use characters, iconv's one-way mappings such as the yen
// sign), but only where ShiftJis never looks.
#include <cstdio>
#include <fstream>
#include <sstream>
#include <string>

#include "cp932_table.h"
#include "posix/iconv_codepage.h"

int main(int argc, char** argv) {
  std::ifstream windows(argc == 2 ? argv[1] : "", std::ios::binary);
  if (!windows) {
    std::fprintf(stderr, "usage: cp932_compare DUMP_FILE (a readable one)\n");
    return 2;
  }
  vokuta::IconvCodepage codepage;
  std::istringstream iconv(vokuta::platform_test::DumpShiftJis(vokuta::ShiftJis(codepage)));
  int lines = 0, failures = 0;
  for (std::string w, i;;) {
    const bool moreWindows = static_cast<bool>(std::getline(windows, w));
    const bool moreIconv = static_cast<bool>(std::getline(iconv, i));
    if (!moreWindows && !moreIconv) break;
    ++lines;
    if (moreWindows && moreIconv && w == i) continue;
    std::printf("ShiftJis differs: Windows %s, iconv %s\n", moreWindows ? w.c_str() : "(end)",
                moreIconv ? i.c_str() : "(end)");
    ++failures;
  }
  std::printf("cp932_compare: %d answers; %d differences\n", lines, failures);
  return failures ? 1 : 0;
}
