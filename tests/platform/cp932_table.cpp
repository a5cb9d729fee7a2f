#include "cp932_table.h"

#include <cstdio>
#include <sstream>
#include <stdexcept>

#include "util/shift_jis.h"

namespace vokuta::platform_test {
namespace {

constexpr char kNone[] = "-";

std::string hex4(unsigned value) {
  char buf[8];
  std::snprintf(buf, sizeof buf, "%04X", value & 0xFFFFu);
  return buf;
}

std::string parseCode(const std::string& hex) {
  if (hex.empty() || hex.size() % 2 || hex.size() > 4) throw std::runtime_error("bad code " + hex);
  std::string code;
  for (std::size_t i = 0; i < hex.size(); i += 2)
    code.push_back(static_cast<char>(std::stoul(hex.substr(i, 2), nullptr, 16)));
  return code;
}

wchar_t parseChar(const std::string& hex) {
  const unsigned long value = std::stoul(hex, nullptr, 16);
  if (hex.size() != 4 || value > 0xFFFF) throw std::runtime_error("bad character " + hex);
  return static_cast<wchar_t>(value);
}

} // namespace

std::vector<std::string> Cp932Codes() {
  std::vector<std::string> codes;
  for (int b = 0; b < 256; ++b) codes.emplace_back(1, static_cast<char>(b));
  for (int lead = 0; lead < 256; ++lead) {
    if (!ShiftJis::isLeadByte(static_cast<std::uint8_t>(lead))) continue;
    for (int trail = 0x40; trail <= 0xFC; ++trail) {
      if (trail == 0x7F) continue;
      codes.push_back({static_cast<char>(lead), static_cast<char>(trail)});
    }
  }
  return codes;
}

std::string HexCode(std::string_view code) {
  std::string out;
  char buf[4];
  for (char c : code) {
    std::snprintf(buf, sizeof buf, "%02X", static_cast<unsigned>(static_cast<unsigned char>(c)));
    out += buf;
  }
  return out;
}

std::string HexChar(std::optional<wchar_t> ch) {
  return ch ? "U+" + hex4(static_cast<unsigned>(*ch)) : "none";
}

std::string DumpCodepage(Codepage& codepage) {
  std::string out;
  for (const std::string& code : Cp932Codes()) {
    const auto ch = codepage.decodeChar(code);
    out += "d " + HexCode(code) + " " + (ch ? hex4(static_cast<unsigned>(*ch)) : kNone) + "\n";
  }
  for (unsigned c = 0; c <= 0xFFFF; ++c) {
    const auto code = codepage.encodeChar(static_cast<wchar_t>(c));
    out += "e " + hex4(c) + " " + (code ? HexCode(*code) : kNone) + "\n";
  }
  return out;
}

RecordedCodepage::RecordedCodepage(const std::string& dump) {
  std::istringstream in(dump);
  std::string line;
  while (std::getline(in, line)) {
    if (!line.empty() && line.back() == '\r') line.pop_back();
    if (line.empty()) continue;
    std::istringstream fields(line);
    std::string kind, key, value, extra;
    if (!(fields >> kind >> key >> value) || (fields >> extra))
      throw std::runtime_error("bad line: " + line);
    if (kind == "d") {
      decode_[parseCode(key)] =
          value == kNone ? std::nullopt : std::optional<wchar_t>(parseChar(value));
    } else if (kind == "e") {
      encode_[parseChar(key)] =
          value == kNone ? std::nullopt : std::optional<std::string>(parseCode(value));
    } else {
      throw std::runtime_error("bad line: " + line);
    }
  }
}

std::optional<wchar_t> RecordedCodepage::decodeChar(std::string_view code) {
  auto it = decode_.find(std::string(code));
  if (it == decode_.end()) throw std::runtime_error("code not in the dump: " + HexCode(code));
  return it->second;
}

std::optional<std::string> RecordedCodepage::encodeChar(wchar_t ch) {
  auto it = encode_.find(ch);
  if (it == encode_.end()) throw std::runtime_error("character not in the dump: " + HexChar(ch));
  return it->second;
}

} // namespace vokuta::platform_test
