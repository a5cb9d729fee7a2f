// Text helpers: fields, quotes, backslashes, blanks, widths, ASCII upper case.
#pragma once
#include <cstdint>
#include <string>
#include <string_view>

#include "util/shift_jis.h"

namespace vokuta {

// Text helpers shared by the reader, the item list, the merge and the dialogs. Positions are
// characters; a double-byte Japanese character is one character.

/// The part of `text` before the first `delimiter` (ASCII letters compared without regard to
/// case; full-width forms are other characters); the whole text when it does not occur.
std::wstring TextBefore(std::wstring_view text, std::wstring_view delimiter);

/// Field `n` (from 1) of `text` split at single `delimiter`s; empty fields count, nothing is
/// trimmed. Empty for n <= 0 and for n beyond the last field.
std::wstring FieldOf(std::wstring_view text, std::wstring_view delimiter, std::int32_t n);

/// How many characters of `text` equal `ch` exactly; 0 when `ch` is not one character.
std::int32_t CountChar(std::wstring_view text, std::wstring_view ch);

/// The last `width` characters of `width` blanks followed by `text`.
std::wstring PadLeft(std::wstring_view text, std::size_t width);

std::wstring StripLeadingQuotes(std::wstring_view text);
std::wstring StripTrailingQuotes(std::wstring_view text);
std::wstring StripQuotes(std::wstring_view text);
std::wstring StripLeadingBackslashes(std::wstring_view text);
std::wstring StripTrailingBackslashes(std::wstring_view text);
std::wstring StripBackslashes(std::wstring_view text);

/// `text` without the characters of code 0..32 (controls and the half-width blank).
std::wstring RemoveBlanks(std::wstring_view text);

/// Length of `text` in Shift-JIS bytes.
std::int32_t ByteWidth(std::wstring_view text, const ShiftJis& sjis);

/// The path up to and including its last backslash; empty when it has none.
std::wstring DirPart(std::wstring_view path);

/// `text` with the letters a-z turned into A-Z; every other character stays.
std::wstring UpperAscii(std::wstring_view text);

/// `text` without leading and trailing half-width blanks.
std::wstring TrimBlanks(std::wstring_view text);

/// `text` cut or blank-padded on the right to exactly `width` characters.
std::wstring FitWidth(std::wstring_view text, std::size_t width);

} // namespace vokuta
