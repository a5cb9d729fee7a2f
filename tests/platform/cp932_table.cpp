#include "cp932_table.h"

#include <cstdio>

namespace vokuta::platform_test {
namespace {

std::string hex(unsigned value, const char* format) {
  char buf[8];
  std::snprintf(buf, sizeof buf, format, value);
  return buf;
}

std::string hexBytes(std::string_view bytes) {
  std::string out;
  for (char c : bytes) out += hex(static_cast<unsigned char>(c), "%02X");
  return out;
}

std::string hexChars(std::wstring_view chars) {
  std::string out;
  for (wchar_t c : chars) out += " U+" + hex(static_cast<unsigned>(c) & 0xFFFFu, "%04X");
  return out;
}

} // namespace

std::string DumpShiftJis(const ShiftJis& sjis) {
  std::string out;
  auto decode = [&](const std::string& code) {
    out += hexBytes(code) + hexChars(sjis.decode(code)) + "\n";
  };
  for (unsigned b = 0; b < 256; ++b) {
    decode(std::string(1, static_cast<char>(b)));
    if (!ShiftJis::isLeadByte(static_cast<std::uint8_t>(b))) continue;
    for (unsigned trail = 0x40; trail <= 0xFC; ++trail)
      if (trail != 0x7F) decode({static_cast<char>(b), static_cast<char>(trail)});
  }
  for (unsigned c = 0; c <= 0xFFFF; ++c) {
    const std::string code = sjis.codeOf(static_cast<wchar_t>(c));
    out += "U+" + hex(c, "%04X") + " " + (code.empty() ? "-" : hexBytes(code)) + "\n";
  }
  return out;
}

} // namespace vokuta::platform_test
