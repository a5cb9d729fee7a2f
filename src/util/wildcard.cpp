// Windows wildcard matching and name folding.
#include "util/wildcard.h"

namespace vokuta {
namespace {

// "*" and "?" against a name; both already folded.
bool globMatch(std::wstring_view pattern, std::wstring_view name) {
  std::size_t p = 0, n = 0, star = std::wstring_view::npos, resume = 0;
  while (n < name.size()) {
    if (p < pattern.size() && (pattern[p] == L'?' || pattern[p] == name[n])) {
      ++p;
      ++n;
    } else if (p < pattern.size() && pattern[p] == L'*') {
      star = p++;
      resume = n;
    } else if (star != std::wstring_view::npos) {
      p = star + 1;
      n = ++resume;
    } else {
      return false;
    }
  }
  while (p < pattern.size() && pattern[p] == L'*') ++p;
  return p == pattern.size();
}

} // namespace

// Simple upper case as the file system's case table has it, for the letters a Japanese
// system's names can hold: ASCII, Latin-1, Greek, Cyrillic and the full-width forms.
wchar_t FoldNameChar(wchar_t c) {
  const auto shifted = [c](int by) { return static_cast<wchar_t>(c - by); };
  if (c >= L'a' && c <= L'z') return shifted(0x20);
  if (c >= 0xE0 && c <= 0xFE && c != 0xF7) return shifted(0x20);
  if (c == 0xFF) return static_cast<wchar_t>(0x178);
  if (c == 0x3C2) return static_cast<wchar_t>(0x3A3); // final sigma
  if (c >= 0x3B1 && c <= 0x3C9) return shifted(0x20);
  if (c >= 0x430 && c <= 0x44F) return shifted(0x20);
  if (c >= 0x450 && c <= 0x45F) return shifted(0x50);
  if (c >= 0xFF41 && c <= 0xFF5A) return shifted(0x20);
  return c;
}

std::wstring FoldName(std::wstring_view text) {
  std::wstring out(text);
  for (wchar_t& c : out) c = FoldNameChar(c);
  return out;
}

// Windows also lets "name.*" and "*.*" take a name without a dot, and "*." only such names.
bool WildcardMatch(std::wstring_view pattern, std::wstring_view name) {
  if (globMatch(pattern, name)) return true;
  if (name.find(L'.') != std::wstring_view::npos) return false;
  if (pattern.ends_with(L".*")) return globMatch(pattern.substr(0, pattern.size() - 2), name);
  if (pattern.ends_with(L'.')) return globMatch(pattern.substr(0, pattern.size() - 1), name);
  return false;
}

} // namespace vokuta
