// Win32Registry and the environment reads over values that run_platform_tests.sh wrote with
// Wine's "reg add" under a Japanese locale. The script passes what the reads must give in
// VOKUTA_EXPECT_INSTALL_DIR and VOKUTA_EXPECT_FILER_PORT: once with the values written, once
// after deleting their keys.
#include <gtest/gtest.h>

#include "app/startup.h"
#include "mainwin/environment.h"
#include "mainwin/exit_question.h"
#include "util/shift_jis.h"
#include "win32/win.h"
#include "win32/win32_codepage.h"
#include "win32/win32_pc_files.h"
#include "win32/win32_registry.h"
#include "win32/win32_ui.h"

namespace vokuta {
namespace {

/// The variable's value; std::nullopt when it is not set at all (empty is a value).
std::optional<std::wstring> environmentVariable(const wchar_t* name) {
  SetLastError(ERROR_SUCCESS);
  const DWORD needed = GetEnvironmentVariableW(name, nullptr, 0);
  if (needed == 0) {
    if (GetLastError() == ERROR_ENVVAR_NOT_FOUND) return std::nullopt;
    return std::wstring();
  }
  std::wstring value(needed, L'\0');
  value.resize(GetEnvironmentVariableW(name, value.data(), needed));
  return value;
}

class RegistryTest : public testing::Test {
protected:
  void SetUp() override {
    const auto dir = environmentVariable(L"VOKUTA_EXPECT_INSTALL_DIR");
    const auto port = environmentVariable(L"VOKUTA_EXPECT_FILER_PORT");
    ASSERT_TRUE(dir && port) << "run through tests/wine/run_platform_tests.sh, which writes "
                                "the values and sets the expectations";
    expectedDir_ = *dir;
    expectedPort_ = std::stoi(*port);
  }

  Win32Codepage codepage_;
  ShiftJis sjis_{codepage_};
  Win32Ui ui_;
  Win32Registry registry_;
  Win32PcFiles files_;
  Program program_{Seams{ui_, registry_, files_, sjis_}};
  std::wstring expectedDir_;
  std::int32_t expectedPort_ = 0;
};

// The core's reads give what was written; underneath, the values come as the ANSI bytes that
// ReadInstallDir and ReadFilerPort decode.
TEST_F(RegistryTest, ValuesReadAsWrittenInAnsiBytes) {
  EXPECT_EQ(ReadInstallDir(program_), expectedDir_);
  EXPECT_EQ(ReadFilerPort(program_), expectedPort_);
  const auto dir = registry_.readValue(kPcSoftwareKey, "InstallDir");
  const auto port = registry_.readValue(kFilerKey, "PORT");
  if (expectedDir_.empty()) {
    EXPECT_FALSE(dir);
    EXPECT_FALSE(port);
    return;
  }
  // Code page 932 bytes of the path with its trailing backslash, then the string's NUL.
  ASSERT_TRUE(dir);
  std::string expected = sjis_.encode(expectedDir_ + L"\\");
  expected.push_back('\0');
  EXPECT_EQ(std::string(dir->begin(), dir->end()), expected);
  ASSERT_TRUE(port);
  EXPECT_EQ(*port, (std::vector<std::uint8_t>{static_cast<std::uint8_t>(expectedPort_), 0, 0, 0}));
}

} // namespace
} // namespace vokuta
