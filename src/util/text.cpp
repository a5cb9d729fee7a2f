// The text helpers of the reader, the item list, the merge and the dialogs.
#include "util/text.h"

namespace vokuta {
namespace {

wchar_t foldAscii(wchar_t c) { return (c >= L'a' && c <= L'z') ? static_cast<wchar_t>(c - 32) : c; }

// Position (from 0) of the first `delimiter` at or after `from`, or npos.
std::size_t findFolded(std::wstring_view text, std::wstring_view delimiter, std::size_t from) {
  if (delimiter.empty() || delimiter.size() > text.size()) return std::wstring_view::npos;
  for (std::size_t i = from; i + delimiter.size() <= text.size(); ++i) {
    std::size_t k = 0;
    while (k < delimiter.size() && foldAscii(text[i + k]) == foldAscii(delimiter[k])) ++k;
    if (k == delimiter.size()) return i;
  }
  return std::wstring_view::npos;
}

std::wstring stripLeading(std::wstring_view text, wchar_t c) {
  std::size_t i = 0;
  while (i < text.size() && text[i] == c) ++i;
  return std::wstring(text.substr(i));
}

std::wstring stripTrailing(std::wstring_view text, wchar_t c) {
  std::size_t n = text.size();
  while (n > 0 && text[n - 1] == c) --n;
  return std::wstring(text.substr(0, n));
}

} // namespace

std::wstring TextBefore(std::wstring_view text, std::wstring_view delimiter) {
  return std::wstring(text.substr(0, findFolded(text, delimiter, 0)));
}

std::wstring FieldOf(std::wstring_view text, std::wstring_view delimiter, std::int32_t n) {
  if (n <= 0) return {};
  // Positions count from 1 as in the field rule: a missing delimiter sits at length + 1.
  std::size_t previous = 0, current = 0;
  for (std::int32_t i = 0; i < n; ++i) {
    if (current > text.size()) return {}; // asked beyond the last field
    previous = current;
    const std::size_t p = findFolded(text, delimiter, current);
    current = p == std::wstring_view::npos ? text.size() + 1 : p + 1;
  }
  return std::wstring(text.substr(previous, current - previous - 1));
}

std::int32_t CountChar(std::wstring_view text, std::wstring_view ch) {
  if (ch.size() != 1) return 0;
  std::int32_t count = 0;
  for (wchar_t c : text) count += c == ch[0];
  return count;
}

std::wstring PadLeft(std::wstring_view text, std::size_t width) {
  if (text.size() >= width) return std::wstring(text.substr(text.size() - width));
  return std::wstring(width - text.size(), L' ') + std::wstring(text);
}

std::wstring StripLeadingQuotes(std::wstring_view text) { return stripLeading(text, L'"'); }
std::wstring StripTrailingQuotes(std::wstring_view text) { return stripTrailing(text, L'"'); }
std::wstring StripQuotes(std::wstring_view text) {
  return StripTrailingQuotes(StripLeadingQuotes(text));
}
std::wstring StripLeadingBackslashes(std::wstring_view text) { return stripLeading(text, L'\\'); }
std::wstring StripTrailingBackslashes(std::wstring_view text) { return stripTrailing(text, L'\\'); }
std::wstring StripBackslashes(std::wstring_view text) {
  return StripTrailingBackslashes(StripLeadingBackslashes(text));
}

std::wstring RemoveBlanks(std::wstring_view text) {
  std::wstring out;
  for (wchar_t c : text)
    if (static_cast<std::uint32_t>(c) > 32) out.push_back(c);
  return out;
}

std::int32_t ByteWidth(std::wstring_view text, const ShiftJis& sjis) {
  std::int32_t width = 0;
  for (wchar_t c : text) width += sjis.byteWidth(c);
  return width;
}

std::wstring DirPart(std::wstring_view path) {
  const std::size_t p = path.rfind(L'\\');
  return p == std::wstring_view::npos ? std::wstring() : std::wstring(path.substr(0, p + 1));
}

std::wstring UpperAscii(std::wstring_view text) {
  std::wstring out(text);
  for (wchar_t& c : out) c = foldAscii(c);
  return out;
}

std::wstring TrimBlanks(std::wstring_view text) {
  const std::size_t first = text.find_first_not_of(L' ');
  if (first == std::wstring_view::npos) return {};
  return std::wstring(text.substr(first, text.find_last_not_of(L' ') - first + 1));
}

std::wstring FitWidth(std::wstring_view text, std::size_t width) {
  std::wstring out(text.substr(0, width));
  out.resize(width, L' ');
  return out;
}

} // namespace vokuta
