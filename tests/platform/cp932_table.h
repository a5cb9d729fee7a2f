#pragma once
#include <map>
#include <optional>
#include <string>
#include <vector>

#include "platform/codepage.h"

namespace vokuta::platform_test {

/// Every code ShiftJis asks a Codepage about: each byte 0x00-0xFF, then each lead byte
/// (0x81-0x9F, 0xE0-0xFC) with each trail byte (0x40-0x7E, 0x80-0xFC).
std::vector<std::string> Cp932Codes();

/// A Codepage's answers as text, one line per question: "d <code> <char>" for every code of
/// Cp932Codes(), "e <char> <code>" for every character 0x0000-0xFFFF; codes and characters in
/// hex, "-" for no answer.
std::string DumpCodepage(Codepage& codepage);

/// The answers of a dump, replayed. Asking what the dump does not hold throws: the dump and the
/// comparison must cover the same ground.
class RecordedCodepage final : public Codepage {
public:
  /// Throws std::runtime_error on a malformed line.
  explicit RecordedCodepage(const std::string& dump);

  std::optional<wchar_t> decodeChar(std::string_view code) override;
  std::optional<std::string> encodeChar(wchar_t ch) override;

  std::size_t decodeCount() const { return decode_.size(); }
  std::size_t encodeCount() const { return encode_.size(); }

private:
  std::map<std::string, std::optional<wchar_t>> decode_;
  std::map<wchar_t, std::optional<std::string>> encode_;
};

/// "8140" for the code 0x81 0x40.
std::string HexCode(std::string_view code);
/// "U+3000", or "none".
std::string HexChar(std::optional<wchar_t> ch);

} // namespace vokuta::platform_test
