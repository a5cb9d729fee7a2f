// The device's rule for file and directory names, with the faults the package tool reports.
#pragma once
#include <optional>
#include <string>
#include <vector>

#include "pkg/problem.h"
#include "util/shift_jis.h"

namespace vokuta::pkg {

/// Why a name cannot be one file or directory name on the device.
struct NameFault {
  MessageId id;
  std::vector<std::wstring> args;
};

/// Checks one name against the device: a base name and at most one dot, no character without a
/// Shift-JIS code nor one of "*/:<>?| or a control, at most 8 bytes before the dot and 3 after
/// it in Shift-JIS, and no last character whose code ends in 0x5C (the device would read a
/// path separator there). All but the last are the simulated device's own rule; the last is
/// the installer's directory-name dialog's.
std::optional<NameFault> DeviceNameFault(const std::wstring& name, const ShiftJis& sjis);

/// A fault of one directory name of a device directory, with the name's position in the path.
struct DirFault {
  std::size_t offset; ///< of the name in the path, from 0
  NameFault fault;
};

/// Faults of the directory names of `destPath` ("\dir\sub" or empty for the root); an empty
/// name between two backslashes is one too.
std::vector<DirFault> DeviceDirFaults(const std::wstring& destPath, const ShiftJis& sjis);

/// True when `name` holds "*" or "?".
bool HasWildcard(const std::wstring& name);

/// A character for a message: itself, or U+XXXX when it cannot be shown.
std::wstring ShowChar(wchar_t c);

} // namespace vokuta::pkg
