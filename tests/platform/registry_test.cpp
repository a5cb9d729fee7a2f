// Win32Registry over values that run_platform_tests.sh wrote with Wine's "reg add" under a
// Japanese locale. The script passes what they hold in VOKUTA_EXPECT_INSTALL_DIR and
// VOKUTA_EXPECT_FILER_PORT: once with the values written, once after deleting their keys (an
// empty directory and port 0). What the core makes of the bytes is its own tests' concern.
#include <gtest/gtest.h>

#include <cstdlib>

#include "mainwin/environment.h"
#include "util/shift_jis.h"
#include "win32/win32_codepage.h"
#include "win32/win32_registry.h"

namespace vokuta {
namespace {

using Bytes = std::optional<std::vector<std::uint8_t>>;

// The values come as the ANSI bytes that the core decodes: the path with its trailing
// backslash and the string's NUL, the port as a DWORD.
TEST(RegistryTest, ValuesReadAsWrittenInAnsiBytes) {
  const wchar_t* port = _wgetenv(L"VOKUTA_EXPECT_FILER_PORT");
  ASSERT_TRUE(port) << "run through tests/wine/run_platform_tests.sh, which writes the values";
  const wchar_t* dir = _wgetenv(L"VOKUTA_EXPECT_INSTALL_DIR");
  Win32Codepage codepage;
  const std::string path = ShiftJis(codepage).encode(std::wstring(dir ? dir : L"") + L"\\") + '\0';
  const auto value = static_cast<std::uint8_t>(std::stoi(port));
  Win32Registry registry;
  EXPECT_EQ(registry.readValue(kPcSoftwareKey, "InstallDir"),
            value ? Bytes({path.begin(), path.end()}) : Bytes());
  EXPECT_EQ(registry.readValue(kFilerKey, "PORT"), value ? Bytes({value, 0, 0, 0}) : Bytes());
}

} // namespace
} // namespace vokuta
