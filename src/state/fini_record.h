// Association records, the package's and the device's tables of them, and the file image.
#pragma once
#include <array>
#include <cstdint>
#include <string>

namespace vokuta {

/// One association of the device file manager: which program opens files of a suffix, and with
/// which icons. Texts have fixed widths, left-aligned and blank-padded.
struct FiniRecord {
  static constexpr std::size_t kSuffixWidth = 4, kFileWidth = 8, kAppWidth = 32;

  std::wstring suffix = std::wstring(kSuffixWidth, L' ');
  std::int32_t attr = 0;
  std::int32_t id = 0;
  std::uint32_t font = 0; ///< small icon number; as read from Setup.inf, may exceed 16 bits
  std::uint32_t mmp = 0;  ///< large icon address; unsigned so every byte pattern survives
  std::wstring file = std::wstring(kFileWidth, L' ');
  std::wstring app = std::wstring(kAppWidth, L' '); ///< device path of the program, upper case

  bool operator==(const FiniRecord&) const = default;
};

inline constexpr std::size_t kTableSlots = 200;

/// The package's associations: record i belongs to SetupTable row i.
using FiniTable = std::array<FiniRecord, kTableSlots>;

/// The device's associations: slot k holds record k of "Ravuz.ini"; only slots 0..63 are used
/// and 0..3 are reserved.
using DeviceFiniTable = std::array<FiniRecord, kTableSlots>;

inline constexpr std::size_t kFiniSlots = 64;
inline constexpr std::size_t kFiniRecordBytes = 54;
inline constexpr std::size_t kReservedSlots = 4;

/// "Ravuz.ini" as 64 slots of 54 bytes.
using FiniImage = std::array<std::array<std::uint8_t, kFiniRecordBytes>, kFiniSlots>;

/// Where the device keeps its association file. The name is compared exactly: only this
/// spelling is the association file whose absence the transfer tolerates.
inline const std::wstring kFiniDeviceDir = L"\\System";
inline const std::wstring kFiniFileName = L"Ravuz.ini";

} // namespace vokuta
