// Win32Registry and the core's reads over values that run_platform_tests.sh wrote with Wine's
// "reg add" under a Japanese locale. The script passes what the reads must give in
// VOKUTA_EXPECT_INSTALL_DIR and VOKUTA_EXPECT_FILER_PORT: once with the values written, once
// after deleting their keys (an empty directory and port 0).
#include <gtest/gtest.h>

#include <cstdlib>

#include "mainwin/environment.h"
#include "util/shift_jis.h"
#include "win32/win32_codepage.h"
#include "win32/win32_pc_files.h"
#include "win32/win32_registry.h"
#include "win32/win32_ui.h"

namespace vokuta {
namespace {

using Bytes = std::optional<std::vector<std::uint8_t>>;

// Underneath the core's reads, the values come as the ANSI bytes that they decode.
TEST(RegistryTest, ValuesReadAsWrittenInAnsiBytes) {
  const wchar_t* port = _wgetenv(L"VOKUTA_EXPECT_FILER_PORT");
  ASSERT_TRUE(port) << "run through tests/wine/run_platform_tests.sh, which writes the values";
  const wchar_t* dirVariable = _wgetenv(L"VOKUTA_EXPECT_INSTALL_DIR");
  const std::wstring dir = dirVariable ? dirVariable : L"";
  Win32Codepage codepage;
  ShiftJis sjis(codepage);
  Win32Ui ui;
  Win32Registry registry;
  Win32PcFiles files;
  Program program{Seams{ui, registry, files, sjis}};
  EXPECT_EQ(ReadInstallDir(program), dir);
  EXPECT_EQ(ReadFilerPort(program), std::stoi(port));

  // The path with its trailing backslash and the string's NUL; the port as a DWORD.
  const std::string path = sjis.encode(dir + L"\\") + '\0';
  const auto value = static_cast<std::uint8_t>(std::stoi(port));
  EXPECT_EQ(registry.readValue(kPcSoftwareKey, "InstallDir"),
            dir.empty() ? Bytes() : Bytes({path.begin(), path.end()}));
  EXPECT_EQ(registry.readValue(kFilerKey, "PORT"), dir.empty() ? Bytes() : Bytes({value, 0, 0, 0}));
}

} // namespace
} // namespace vokuta
