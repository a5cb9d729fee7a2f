// Device paths ("\SYSTEM\APPS\A.EXF"): their names, their directory levels, the joined form.
#pragma once
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "util/shift_jis.h"

namespace vokuta {

/// One name of a device path and where it starts in the path.
struct DeviceName {
  std::size_t offset = 0;
  std::wstring name;
};

/// The names of `path` between its backslashes, after one leading backslash; empty names
/// (two backslashes in a row, a trailing one) are kept, so "\" gives one empty name.
std::vector<DeviceName> DeviceNames(std::wstring_view path);

/// The directory levels an upload into `dir` needs, top first: "\SYSTEM\APPS" gives "\SYSTEM"
/// and "\SYSTEM\APPS"; the root ("") none. A level ends at every backslash after the first
/// character and at the end.
std::vector<std::wstring> DeviceLevels(std::wstring_view dir);

/// The device path a transfer uses: the directory and the name joined by a backslash, ASCII
/// letters in upper case ("\System", "Ravuz.ini" give "\SYSTEM\RAVUZ.INI").
std::wstring DevicePathOf(const std::wstring& deviceDir, const std::wstring& fileName);

/// True when `relative` ("\SYSTEM\APPS", "\SYSTEM\a.exf") stays inside the folder it is
/// appended to: no "." or ".." name, no drive or stream colon, no forward slash.
bool StaysInside(const std::wstring& relative);

/// True for a name that Windows takes for a device whatever folder it is in: CON, PRN, AUX,
/// NUL, COM1-COM9, LPT1-LPT9, in any case, with or without an extension.
bool IsReservedName(const std::wstring& name);

/// True when `relative` may be appended to a PC folder and opened: it stays inside (see
/// `StaysInside`) and names no reserved device (see `IsReservedName`) at any level.
bool SafeOnPc(const std::wstring& relative);

/// Why a name cannot be one file or directory name on the device.
enum class NameProblem { Empty, BadCharacter, Dots, TooLong, LastByte5C, Reserved };

struct NameFault {
  NameProblem problem = NameProblem::Empty;
  wchar_t character = 0;     ///< BadCharacter, LastByte5C: the character
  std::size_t baseBytes = 0; ///< TooLong: Shift-JIS bytes before the dot
  std::size_t extBytes = 0;  ///< TooLong: and after it
};

/// The device's rule for one name, shared by the installer and the package tool: not empty, a
/// base name and at most one dot, no character without a Shift-JIS code nor one of "*/:<>?|
/// or a control, at most 8 bytes before the dot and 3 after it in Shift-JIS, no last character
/// whose code ends in 0x5C (the device would read a path separator there), and no reserved
/// name (the PC cache mirrors the device's names).
std::optional<NameFault> CheckDeviceName(const std::wstring& name, const ShiftJis& sjis);

/// A fault of one directory level of a device directory, with the name's offset in the path.
struct DirFault {
  std::size_t offset = 0;
  NameFault fault;
};

/// A character for a message: itself, or U+XXXX when it cannot be shown.
std::wstring ShowChar(wchar_t c);

/// The faults of the names of `dir` ("\dir\sub"; empty for the root has none).
std::vector<DirFault> CheckDeviceDir(const std::wstring& dir, const ShiftJis& sjis);

} // namespace vokuta
