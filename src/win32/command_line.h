#pragma once
#include <string>
#include <string_view>

namespace vokuta::win32 {

/// What follows the program's name in a command line as GetCommandLineW gives it, with the
/// blanks before it removed and otherwise unchanged (quotes included). The name runs to the
/// next quote when it begins with one, else to the first blank, as Windows itself reads it.
std::wstring ArgumentsOf(std::wstring_view commandLine);

} // namespace vokuta::win32
