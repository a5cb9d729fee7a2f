// The installer's arguments as it cuts them from the command line Windows gives it.
#include <gtest/gtest.h>

#include "win32/command_line.h"

namespace vokuta::win32 {
namespace {

TEST(ArgumentsOf, SkipsTheProgramNameAndTheBlanksAfterIt) {
  const struct {
    const wchar_t* commandLine;
    const wchar_t* arguments;
  } cases[] = {
      {L"vokuta-setup.exe", L""},
      {L"vokuta-setup.exe \t  sub\\Setup.inf", L"sub\\Setup.inf"},
      // Quotes and blanks of the arguments stay; the core removes quotes around the whole.
      {L"vokuta-setup.exe \"C:\\My Files\\Setup.inf\"", L"\"C:\\My Files\\Setup.inf\""},
      {L"vokuta-setup.exe a  b ", L"a  b "},
      // A quoted name may hold blanks and ends at its closing quote, even without a blank after.
      {L"\"C:\\Program Files\\vokuta-setup.exe\" \\pkg\\Setup.inf", L"\\pkg\\Setup.inf"},
      {L"\"C:\\a b\\vokuta-setup.exe\"Setup.inf", L"Setup.inf"},
      {L"\"C:\\a b\\vokuta-setup.exe\"", L""},
      {L"\"unterminated name", L""},
      {L"", L""},
  };
  for (const auto& c : cases) EXPECT_EQ(ArgumentsOf(c.commandLine), c.arguments) << c.commandLine;
}

} // namespace
} // namespace vokuta::win32
