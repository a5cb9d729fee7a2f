// ShiftJis: the code page's tables, built once, and splitting bytes into characters.
#include "util/shift_jis.h"

#include <algorithm>

namespace vokuta {

ShiftJis::ShiftJis(Codepage& platform) : double_(60 * kTrailCount, 0) {
  auto learn = [&](std::string code, wchar_t& slot) {
    if (auto ch = platform.decodeChar(code); ch && *ch != 0 && *ch != kReplacement) {
      slot = *ch;
      if (!encode_.count(*ch)) {
        if (auto back = platform.encodeChar(*ch)) encode_.emplace(*ch, *back);
      }
    }
  };
  for (int b = 0; b < 256; ++b) {
    const auto byte = static_cast<std::uint8_t>(b);
    if (isLeadByte(byte)) continue;
    if (std::find(kUnmappedSingleBytes.begin(), kUnmappedSingleBytes.end(), byte) !=
        kUnmappedSingleBytes.end())
      continue;
    learn(std::string(1, static_cast<char>(byte)), single_[byte]);
  }
  single_[0] = 0;
  encode_[L'\0'] = std::string(1, '\0');
  for (int lead = 0; lead < 256; ++lead) {
    if (!isLeadByte(static_cast<std::uint8_t>(lead))) continue;
    for (int trail = 0x40; trail <= 0xFC; ++trail) {
      if (!isTrailByte(static_cast<std::uint8_t>(trail))) continue;
      std::string code{static_cast<char>(lead), static_cast<char>(trail)};
      learn(code, double_[leadIndex(static_cast<std::uint8_t>(lead)) * kTrailCount + trail - 0x40]);
    }
  }
}

std::wstring ShiftJis::decode(std::string_view bytes) const {
  std::wstring out;
  out.reserve(bytes.size());
  for (std::size_t i = 0; i < bytes.size();) {
    const auto b = static_cast<std::uint8_t>(bytes[i]);
    if (b == 0) {
      out.push_back(L'\0');
      ++i;
    } else if (!isLeadByte(b)) {
      out.push_back(single_[b] ? single_[b] : kReplacement);
      ++i;
    } else if (i + 1 < bytes.size() && isTrailByte(static_cast<std::uint8_t>(bytes[i + 1]))) {
      const auto t = static_cast<std::uint8_t>(bytes[i + 1]);
      const wchar_t ch = double_[leadIndex(b) * kTrailCount + t - 0x40];
      out.push_back(ch ? ch : kReplacement);
      // A well-formed but unassigned pair gives back an ASCII trail byte to be read on its own.
      i += (ch || t >= 0x80) ? 2 : 1;
    } else {
      out.push_back(kReplacement);
      ++i;
    }
  }
  return out;
}

std::string ShiftJis::codeOf(wchar_t ch) const {
  auto it = encode_.find(ch);
  return it == encode_.end() ? std::string() : it->second;
}

std::string ShiftJis::encode(std::wstring_view text) const {
  std::string out;
  out.reserve(text.size());
  for (wchar_t ch : text) {
    auto it = encode_.find(ch);
    out += it == encode_.end() ? std::string("?") : it->second;
  }
  return out;
}

std::wstring DecodeUtf8(std::string_view bytes) {
  std::wstring out;
  out.reserve(bytes.size());
  std::size_t i = 0;
  while (i < bytes.size()) {
    const auto b = static_cast<std::uint8_t>(bytes[i]);
    int extra = 0;
    std::uint32_t cp = 0;
    std::uint32_t min = 0;
    if (b < 0x80) {
      out.push_back(static_cast<wchar_t>(b));
      ++i;
      continue;
    } else if ((b & 0xE0) == 0xC0) {
      extra = 1, cp = b & 0x1Fu, min = 0x80;
    } else if ((b & 0xF0) == 0xE0) {
      extra = 2, cp = b & 0x0Fu, min = 0x800;
    } else if ((b & 0xF8) == 0xF0) {
      extra = 3, cp = b & 0x07u, min = 0x10000;
    } else {
      out.push_back(ShiftJis::kReplacement);
      ++i;
      continue;
    }
    std::size_t j = 1;
    for (; j <= static_cast<std::size_t>(extra); ++j) {
      if (i + j >= bytes.size()) break;
      const auto c = static_cast<std::uint8_t>(bytes[i + j]);
      if ((c & 0xC0) != 0x80) break;
      cp = (cp << 6) | (c & 0x3Fu);
    }
    if (j <= static_cast<std::size_t>(extra)) {
      // Truncated sequence: replace what was read, keep the byte that broke it.
      out.push_back(ShiftJis::kReplacement);
      i += j;
      continue;
    }
    const bool ok = cp >= min && cp <= 0xFFFF && !(cp >= 0xD800 && cp <= 0xDFFF);
    out.push_back(ok ? static_cast<wchar_t>(cp) : ShiftJis::kReplacement);
    i += j;
  }
  return out;
}

} // namespace vokuta
