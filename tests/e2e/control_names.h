#pragma once
#include <optional>
#include <string>

namespace vokuta::drive {

/// The id of a control named in a script: a name from the installer's control_ids.h, or a
/// number (decimal, or hexadecimal with 0x); std::nullopt for anything else.
std::optional<int> ControlId(const std::wstring& name);

} // namespace vokuta::drive
