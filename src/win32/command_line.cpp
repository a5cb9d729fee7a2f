#include "win32/command_line.h"

namespace vokuta::win32 {
namespace {
bool isBlank(wchar_t c) { return c == L' ' || c == L'\t'; }
} // namespace

std::wstring ArgumentsOf(std::wstring_view commandLine) {
  std::size_t i = 0;
  if (!commandLine.empty() && commandLine[0] == L'"') {
    // No escapes in a program's name: the next quote ends it, whatever follows.
    const std::size_t close = commandLine.find(L'"', 1);
    i = close == std::wstring_view::npos ? commandLine.size() : close + 1;
  } else {
    while (i < commandLine.size() && !isBlank(commandLine[i])) ++i;
  }
  while (i < commandLine.size() && isBlank(commandLine[i])) ++i;
  return std::wstring(commandLine.substr(i));
}

} // namespace vokuta::win32
