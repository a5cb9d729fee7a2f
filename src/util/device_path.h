// Device paths ("\SYSTEM\APPS\A.EXF"): their names, their directory levels, the joined form.
#pragma once
#include <string>
#include <string_view>
#include <vector>

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

} // namespace vokuta
