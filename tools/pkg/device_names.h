// The device's rule for file and directory names, with the faults the package tool reports.
#pragma once
#include <optional>
#include <string>
#include <vector>

#include "pkg/problem.h"
#include "util/device_path.h"
#include "util/shift_jis.h"

namespace vokuta::pkg {

/// Why a name cannot be one file or directory name on the device.
struct NameFault {
  MessageId id;
  std::vector<std::wstring> args;
};

/// Checks one name by the installer's rule (`CheckDeviceName`) and words its fault.
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

} // namespace vokuta::pkg
