// The Codepage seam: one code page's code for one character, and back.
#pragma once
#include <optional>
#include <string>
#include <string_view>

namespace vokuta {

/// The platform's code page 932 (Shift-JIS as Windows extends it), one character at a time.
/// Whole texts are converted by ShiftJis (util/shift_jis.h), which asks this once per code and
/// keeps the answers, so both platforms split byte sequences the same way.
class Codepage {
public:
  virtual ~Codepage() = default;

  /// The character of one complete code: one byte, or a lead and a trail byte.
  /// std::nullopt when the platform has no character for it.
  virtual std::optional<wchar_t> decodeChar(std::string_view code) = 0;

  /// The code of one character, one or two bytes, without best-fit substitutes.
  /// std::nullopt when the character has no code.
  virtual std::optional<std::string> encodeChar(wchar_t ch) = 0;
};

} // namespace vokuta
