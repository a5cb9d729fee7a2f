// The platform tests of the Win32 build, run under Wine by tests/wine/run_platform_tests.sh.
//
//   vokuta_platform_tests [gtest flags]        runs the tests
//   vokuta_platform_tests --cp932-dump FILE    writes Win32Codepage's answers to FILE for the
//                                              native cp932_compare to check against iconv
#include <gtest/gtest.h>

#include <cstdio>
#include <string>

#include "cp932_table.h"
#include "win32/win32_codepage.h"
#include "win32/win32_pc_files.h"

namespace {

int writeDump(const std::wstring& path) {
  vokuta::Win32Codepage codepage;
  const std::string dump = vokuta::platform_test::DumpCodepage(codepage);
  if (!vokuta::Win32PcFiles().writeFile(path, {dump.begin(), dump.end()})) {
    std::fprintf(stderr, "cannot write %ls\n", path.c_str());
    return 1;
  }
  return 0;
}

} // namespace

int wmain(int argc, wchar_t** argv) {
  if (argc >= 2 && std::wstring(argv[1]) == L"--cp932-dump") {
    if (argc != 3) {
      std::fprintf(stderr, "usage: vokuta_platform_tests --cp932-dump FILE\n");
      return 2;
    }
    return writeDump(argv[2]);
  }
  testing::InitGoogleTest(&argc, argv);
  return RUN_ALL_TESTS();
}
