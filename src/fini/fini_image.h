// Association records <-> the 54-byte records of "Ravuz.ini"; the free-slot rule.
#pragma once
#include <cstdint>
#include <string>

#include <vector>

#include "state/program.h"

namespace vokuta {

// Text positions read from "Ravuz.ini" hold single bytes. A byte that is a character of its own
// in Shift-JIS (ASCII, half-width katakana) becomes that character; any other byte of 33..255
// (a lead byte, 0x80, 0xA0, 0xFD..0xFF) is kept as U+F700 + byte, so that writing the table
// back gives the same bytes.
inline constexpr wchar_t kRawByteBase = 0xF700;

/// The byte a text position is written as: its single-byte code when that is 33..255 (or the
/// kept raw byte), else 0.
std::uint8_t FiniByteOf(const ShiftJis& sjis, wchar_t c);

/// Slots 0..63 of a device table from the image; later slots are blank.
[[nodiscard]] DeviceFiniTable FiniB2rR(const FiniImage& image, const ShiftJis& sjis);
/// The program's device table from its image; always 0.
std::int16_t FiniB2rR(Program& p);

/// The whole image from slots 0..63 of the device table. Numbers keep their low bits.
[[nodiscard]] FiniImage rR2FiniB(const DeviceFiniTable& table, const ShiftJis& sjis);
/// The program's image from its device table; always 0.
std::int16_t rR2FiniB(Program& p);

/// The last 4 (8) digits of the number in upper-case hexadecimal, zero-padded; negative
/// numbers as their 32-bit two's complement.
std::wstring Hex4(std::int64_t n);
std::wstring Hex8(std::int64_t n);

/// Device text as the user sees it: kept raw bytes show as '?'.
std::wstring Shown(const std::wstring& text);

/// A slot from 4 on is free when the first position of its suffix holds no single-byte
/// character of code 33..255.
[[nodiscard]] bool IsFreeSlot(const DeviceFiniTable& table, const ShiftJis& sjis, std::size_t slot);
[[nodiscard]] bool IsFreeSlot(const Program& p, std::size_t slot);

/// The file's bytes: slots 0..3 always, later slots only when their suffix is not all 0.
std::vector<std::uint8_t> FiniFileBytes(const FiniImage& image);

/// The image of a file: its first 64 records; missing bytes are 0.
FiniImage FiniImageOf(const std::vector<std::uint8_t>& bytes);

} // namespace vokuta
