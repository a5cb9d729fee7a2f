#pragma once
// What the driver reads and writes on disk around an installation: the simulated device's
// folder, the PC's cache mirror, the association file "Ravuz.ini" and the link library's log.
#include <cstdint>
#include <optional>
#include <string>
#include <vector>

namespace vokuta::drive {

using Bytes = std::vector<std::uint8_t>;

std::optional<Bytes> ReadBytes(const std::wstring& path);
/// Replaces the file, creating it when missing; false on failure.
bool WriteBytes(const std::wstring& path, const Bytes& bytes);

/// The text in code page `codepage` (CP_UTF8, 932); std::nullopt when a character has no code.
std::optional<Bytes> Encode(const std::wstring& text, unsigned codepage);

/// Every directory and file below `dir`, depth first, each folder's entries in ordinal name
/// order; paths relative to `dir`, directories ending in a backslash. The names are those on
/// disk, so a check sees their case. std::nullopt when `dir` is no directory.
std::optional<std::vector<std::wstring>> Tree(const std::wstring& dir);

/// Size of one association record, and the most a "Ravuz.ini" holds.
inline constexpr std::size_t kRecordBytes = 54;
inline constexpr std::size_t kMaxRecords = 64;

/// Record `slot` of an association file as text: suffix, attr, id, font, mmp, file, app.
/// Numbers in upper-case hexadecimal (4 digits, mmp 8); texts as their single-byte characters
/// in code page 932 without the trailing zero bytes, a zero byte inside as U+0000 and a byte
/// that is no character of its own as U+FFFD. std::nullopt when the file is too short.
std::optional<std::vector<std::wstring>> RecordFields(const Bytes& file, std::size_t slot);
inline constexpr const wchar_t* kRecordFieldNames[] = {L"suffix", L"attr", L"id", L"font",
                                                       L"mmp",    L"file", L"app"};

/// An association file of `count` records (4..64): slots 0..2 hold the device's own
/// associations (.EXF, .INI, .BMP), slot 3 is empty, and every slot k from 4 on is taken by the
/// made-up suffix ".Xkk" (kk two decimal digits): attr 0, id 0, font 0900 + k,
/// mmp 00300000 + k * 100 (hexadecimal), no file, app \SYSTEM\APPS\Xkk.EXF.
Bytes MadeUpRavuz(std::size_t count);

} // namespace vokuta::drive
