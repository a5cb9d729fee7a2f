// The platform tests of the Win32 build, run under Wine by tests/wine/run_platform_tests.sh.
//
//   vokuta_platform_tests [gtest flags]        runs the tests
//   vokuta_platform_tests --cp932-dump FILE    writes ShiftJis's answers over Windows' code page
//                                              to FILE, to equal the native cp932_dump's
#include <gtest/gtest.h>

#include <string>

#include "cp932_table.h"
#include "win32/win32_codepage.h"
#include "win32/win32_pc_files.h"

int wmain(int argc, wchar_t** argv) {
  if (argc == 3 && std::wstring(argv[1]) == L"--cp932-dump") {
    vokuta::Win32Codepage codepage;
    const std::string dump = vokuta::platform_test::DumpShiftJis(vokuta::ShiftJis(codepage));
    return vokuta::Win32PcFiles().writeFile(argv[2], {dump.begin(), dump.end()}) ? 0 : 1;
  }
  testing::InitGoogleTest(&argc, argv);
  return RUN_ALL_TESTS();
}
