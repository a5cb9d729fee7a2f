// Windows wildcard matching ("*", "?") and the name folding it compares with.
#pragma once
#include <string>
#include <string_view>

namespace vokuta {

/// Simple upper case of a file-name character as Windows compares names: ASCII, Latin-1,
/// Greek, Cyrillic and the full-width letters.
wchar_t FoldNameChar(wchar_t c);
std::wstring FoldName(std::wstring_view text);

/// "*" and "?" of a file-name pattern against a name, both already folded, with Windows' extras:
/// "name.*" and "*.*" also take a name without a dot, and "*." only such names.
bool WildcardMatch(std::wstring_view pattern, std::wstring_view name);

} // namespace vokuta
