// Association records <-> the bytes of "Ravuz.ini".
#include "fini/fini_image.h"

#include <algorithm>

namespace vokuta {

std::uint8_t FiniByteOf(const ShiftJis& sjis, wchar_t c) {
  if (c > kRawByteBase + 32 && c <= kRawByteBase + 0xFF)
    return static_cast<std::uint8_t>(c - kRawByteBase);
  const std::string code = sjis.codeOf(c);
  if (code.size() != 1) return 0;
  const auto b = static_cast<std::uint8_t>(code[0]);
  return b >= 33 ? b : 0;
}

namespace {

wchar_t charOf(const ShiftJis& sjis, std::uint8_t b) {
  if (b <= 32) return L' ';
  const std::wstring c = sjis.decode(std::string(1, static_cast<char>(b)));
  return c[0] == ShiftJis::kReplacement ? static_cast<wchar_t>(kRawByteBase + b) : c[0];
}

void putText(const ShiftJis& sjis, const std::wstring& text, std::uint8_t* out, std::size_t width) {
  for (std::size_t i = 0; i < width; ++i) out[i] = i < text.size() ? FiniByteOf(sjis, text[i]) : 0;
}

std::wstring getText(const ShiftJis& sjis, const std::uint8_t* in, std::size_t width) {
  std::wstring text(width, L' ');
  for (std::size_t i = 0; i < width; ++i) text[i] = charOf(sjis, in[i]);
  return text;
}

std::wstring hex(std::int64_t n, int digits) {
  auto v = static_cast<std::uint32_t>(n);
  std::wstring out(static_cast<std::size_t>(digits), L'0');
  for (int i = digits - 1; i >= 0; --i, v >>= 4)
    out[static_cast<std::size_t>(i)] = L"0123456789ABCDEF"[v & 0xF];
  return out;
}

} // namespace

DeviceFiniTable FiniB2rR(const FiniImage& image, const ShiftJis& sjis) {
  DeviceFiniTable table{};
  for (std::size_t k = 0; k < kFiniSlots; ++k) {
    const auto& b = image[k];
    FiniRecord& r = table[k];
    r.attr = b[4] | b[5] << 8;
    r.id = b[6] | b[7] << 8;
    r.font = static_cast<std::uint32_t>(b[8] | b[9] << 8);
    r.mmp = std::uint32_t{b[10]} | std::uint32_t{b[11]} << 8 | std::uint32_t{b[12]} << 16 |
            std::uint32_t{b[13]} << 24;
    r.suffix = getText(sjis, &b[0], FiniRecord::kSuffixWidth);
    r.file = getText(sjis, &b[14], FiniRecord::kFileWidth);
    r.app = getText(sjis, &b[22], FiniRecord::kAppWidth);
  }
  return table;
}

std::int16_t FiniB2rR(Program& p) {
  p.deviceFiniTable = FiniB2rR(p.finiImage, p.sjis);
  return 0;
}

FiniImage rR2FiniB(const DeviceFiniTable& table, const ShiftJis& sjis) {
  FiniImage image{};
  for (std::size_t k = 0; k < kFiniSlots; ++k) {
    const FiniRecord& r = table[k];
    auto& b = image[k];
    const auto attr = static_cast<std::uint32_t>(r.attr), id = static_cast<std::uint32_t>(r.id);
    b[4] = static_cast<std::uint8_t>(attr), b[5] = static_cast<std::uint8_t>(attr >> 8);
    b[6] = static_cast<std::uint8_t>(id), b[7] = static_cast<std::uint8_t>(id >> 8);
    b[8] = static_cast<std::uint8_t>(r.font), b[9] = static_cast<std::uint8_t>(r.font >> 8);
    for (int i = 0; i < 4; ++i) b[10 + i] = static_cast<std::uint8_t>(r.mmp >> (8 * i));
    putText(sjis, r.suffix, &b[0], FiniRecord::kSuffixWidth);
    putText(sjis, r.file, &b[14], FiniRecord::kFileWidth);
    putText(sjis, r.app, &b[22], FiniRecord::kAppWidth);
  }
  return image;
}

std::int16_t rR2FiniB(Program& p) {
  p.finiImage = rR2FiniB(p.deviceFiniTable, p.sjis);
  return 0;
}

std::wstring Hex4(std::int64_t n) { return hex(n, 4); }
std::wstring Hex8(std::int64_t n) { return hex(n, 8); }

std::wstring Shown(const std::wstring& text) {
  std::wstring out = text;
  for (wchar_t& c : out)
    if (c > kRawByteBase && c <= kRawByteBase + 0xFF) c = L'?';
  return out;
}

bool IsFreeSlot(const DeviceFiniTable& table, const ShiftJis& sjis, std::size_t slot) {
  const std::wstring& suffix = table[slot].suffix;
  return suffix.empty() || FiniByteOf(sjis, suffix[0]) == 0;
}

bool IsFreeSlot(const Program& p, std::size_t slot) {
  return IsFreeSlot(p.deviceFiniTable, p.sjis, slot);
}

std::vector<std::uint8_t> FiniFileBytes(const FiniImage& image) {
  std::vector<std::uint8_t> bytes;
  for (std::size_t k = 0; k < kFiniSlots; ++k) {
    const auto& slot = image[k];
    if (k < kReservedSlots || slot[0] || slot[1] || slot[2] || slot[3])
      bytes.insert(bytes.end(), slot.begin(), slot.end());
  }
  return bytes;
}

FiniImage FiniImageOf(const std::vector<std::uint8_t>& bytes) {
  FiniImage image{};
  const std::size_t n = std::min(bytes.size(), kFiniSlots * kFiniRecordBytes);
  for (std::size_t i = 0; i < n; ++i) image[i / kFiniRecordBytes][i % kFiniRecordBytes] = bytes[i];
  return image;
}

} // namespace vokuta
