// ShiftJis: Shift-JIS text <-> bytes with tables asked once from the Codepage seam.
#pragma once
#include <array>
#include <cstdint>
#include <string>
#include <string_view>
#include <unordered_map>
#include <vector>

#include "platform/codepage.h"

namespace vokuta {

/// Converts whole texts between code page 932 bytes and Unicode.
///
/// The platform answers once per code; the tables built from its answers are then used for
/// every text, so the Win32 and the iconv build split a byte sequence in the same places.
/// Bytes that are no character become U+FFFD one at a time and never take the following byte
/// with them unless it completes a well-formed pair.
class ShiftJis {
public:
  static constexpr wchar_t kReplacement = 0xFFFD;

  explicit ShiftJis(Codepage& platform);

  static bool isLeadByte(std::uint8_t b) {
    return (b >= 0x81 && b <= 0x9F) || (b >= 0xE0 && b <= 0xFC);
  }
  static bool isTrailByte(std::uint8_t b) { return b >= 0x40 && b <= 0xFC && b != 0x7F; }

  std::wstring decode(std::string_view bytes) const;
  std::wstring decode(const std::vector<std::uint8_t>& bytes) const {
    return decode(std::string_view(reinterpret_cast<const char*>(bytes.data()), bytes.size()));
  }

  /// Characters without a code become '?'.
  std::string encode(std::wstring_view text) const;

  /// The code of one character (one or two bytes), or the empty text when it has none.
  std::string codeOf(wchar_t ch) const;

  /// Bytes the character takes in Shift-JIS: 2 for a double-byte character, else 1 (a
  /// character without a code is written as the one byte '?').
  int byteWidth(wchar_t ch) const { return codeOf(ch).size() == 2 ? 2 : 1; }

  /// Single-byte codes whose characters differ between platforms; they decode to U+FFFD
  /// everywhere (the tables of Windows give them private-use or C1 characters, iconv none).
  static constexpr std::array<std::uint8_t, 5> kUnmappedSingleBytes{0x80, 0xA0, 0xFD, 0xFE, 0xFF};

private:
  static constexpr int kTrailCount = 0xFD - 0x40;
  static int leadIndex(std::uint8_t b) { return b <= 0x9F ? b - 0x81 : b - 0xE0 + 31; }

  std::array<wchar_t, 256> single_{}; // 0 = no character
  std::vector<wchar_t> double_;       // [leadIndex][trail - 0x40], 0 = none
  std::unordered_map<wchar_t, std::string> encode_;
};

/// Decodes UTF-8; malformed sequences and characters beyond the basic plane become U+FFFD.
std::wstring DecodeUtf8(std::string_view bytes);

} // namespace vokuta
