#include "cp932_table.h"

#include <cstdio>

namespace vokuta::platform_test {

std::string DumpShiftJis(const ShiftJis& sjis) {
  std::string out;
  const auto put = [&out](const char* format, unsigned value) {
    char buf[8];
    std::snprintf(buf, sizeof buf, format, value);
    out += buf;
  };
  const auto putBytes = [&](std::string_view bytes) {
    for (char c : bytes) put("%02X", static_cast<unsigned char>(c));
  };
  const auto decode = [&](const std::string& code) {
    putBytes(code);
    for (wchar_t c : sjis.decode(code)) put(" U+%04X", static_cast<unsigned>(c) & 0xFFFFu);
    out += '\n';
  };
  for (unsigned b = 0; b < 256; ++b) {
    decode(std::string(1, static_cast<char>(b)));
    if (!ShiftJis::isLeadByte(static_cast<std::uint8_t>(b))) continue;
    for (unsigned trail = 0x40; trail <= 0xFC; ++trail)
      if (trail != 0x7F) decode({static_cast<char>(b), static_cast<char>(trail)});
  }
  for (unsigned c = 0; c <= 0xFFFF; ++c) {
    const std::string code = sjis.codeOf(static_cast<wchar_t>(c));
    put("U+%04X ", c);
    if (code.empty()) out += '-';
    putBytes(code);
    out += '\n';
  }
  return out;
}

} // namespace vokuta::platform_test
